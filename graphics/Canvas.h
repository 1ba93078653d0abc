// The library's drawing surface over a framework canvas: text drawn and
// measured with its own 15-bit flag word, clip exclusion, colour-aware fills,
// and saved device-context states for painting other controls into it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Colors.h"
#include "framework/Gdi.h"
#include "framework/Graphics.h"

namespace lodo {

// The text flag word; ToDrawTextFormat translates it to DrawText's format.
using TextFlags = std::uint16_t;
constexpr TextFlags tfLeft = 0x0001;
constexpr TextFlags tfRight = 0x0002;
constexpr TextFlags tfHCenter = 0x0004;
constexpr TextFlags tfTop = 0x0008;
constexpr TextFlags tfBottom = 0x0010;
constexpr TextFlags tfVCenter = 0x0020;
constexpr TextFlags tfSingleLine = 0x0040;
constexpr TextFlags tfNoClip = 0x0080;
constexpr TextFlags tfExpandTabs = 0x0100;
constexpr TextFlags tfShowPrefix = 0x0200;
constexpr TextFlags tfWordBreak = 0x0400;
constexpr TextFlags tfEndEllipsis = 0x0800;
constexpr TextFlags tfMeasureOnly = 0x1000;
constexpr TextFlags tfPathEllipsis = 0x2000;
constexpr TextFlags tfNoCharBreak = 0x4000;

UINT ToDrawTextFormat(TextFlags flags);

// One text output as it goes to the system, for tests that watch the route.
struct TTextCall {
  enum TRoute { trDrawText, trExtTextOut } Route;
  std::string Text;
  RECT Rect;
  UINT Format;  // DrawText format, or ExtTextOut options
  COLORREF TextColor;
};
using TTextCallHook = std::function<void(const TTextCall&)>;
// Null removes the hook; returns the previous one. The real call still runs.
TTextCallHook SetTextCallHook(TTextCallHook hook);

class TcxCanvas {
 public:
  // The platform canvas stays the caller's and must outlive the wrapper.
  explicit TcxCanvas(TCanvas* platformCanvas);
  ~TcxCanvas();
  TcxCanvas(const TcxCanvas&) = delete;
  TcxCanvas& operator=(const TcxCanvas&) = delete;

  TCanvas* PlatformCanvas() const { return FCanvas; }
  // The platform canvas's device context, created or validated on demand.
  HDC DeviceContext() const { return FCanvas->Handle(); }
  TFont& Font() const { return FCanvas->Font(); }
  TBrush& Brush() const { return FCanvas->Brush(); }
  TPen& Pen() const { return FCanvas->Pen(); }

  // All text is 8-bit text in the system's ANSI code page.
  void PaintText(const std::string& text, RECT rect, TextFlags flags, bool enabled = true);
  void MeasureTextRect(const std::string& text, RECT& rect, TextFlags flags);
  SIZE TextSize(const std::string& text);

  void ExcludeRect(const RECT& rect);
  void DrawGraphic(int x, int y, TBitmap& bitmap);
  void SetBrushColor(TColor color);
  void FillWithColor(const RECT& rect, TColor color);

  // SaveDC on the device context, the id kept on the canvas's own list;
  // RestoreDC pops it (nothing when the list is empty).
  void SaveDC();
  void RestoreDC();
  int SavedDCCount() const { return static_cast<int>(FSavedDCs.size()); }
  // The clip region (or none) pushed and popped.
  void SaveClipRegion();
  void RestoreClipRegion();
  // Copies of font, brush and pen pushed and popped.
  void SaveState();
  void RestoreState();

 private:
  struct TState {
    TFont Font;
    TColor BrushColor;
    TBrushStyle BrushStyle;
    TColor PenColor;
    TPenStyle PenStyle;
    int PenWidth;
  };

  TCanvas* FCanvas;
  std::vector<int> FSavedDCs;
  std::vector<TRegionHandle> FSavedClipRegions;  // empty entries mean "no clip region"
  std::vector<TState> FStates;
};

// FillRect with a brush from the shared brush cache; the canvas's own brush
// is left alone.
void FillRectSolid(TcxCanvas& canvas, const RECT& rect, TColor color);

}  // namespace lodo

// Graphics objects of the framework: font, brush and pen descriptions that
// create their GDI handle on demand, a canvas over a device context that
// selects them when needed, and a bitmap that can draw through a mask.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/Colors.h"
#include "framework/Gdi.h"
#include "framework/ScopedFlag.h"

namespace lodo {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TSharedFont;

// A logical font: Height is the character height in pixels (lfHeight = -Height).
// Fonts alike share one GDI font (the launcher's sixteen slots have one),
// which goes with the last of them.
class TFont {
 public:
  TFont();
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);

  const std::wstring& Name() const { return FName; }
  void SetName(const std::wstring& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  unsigned Style() const { return FStyle; }
  void SetStyle(unsigned style);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  BYTE Charset() const { return FCharset; }
  void SetCharset(BYTE charset);

  // Takes every property of another font; one change notice.
  void Assign(const TFont& other);
  bool SameAs(const TFont& other) const;

  HFONT Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Called after any change, before the old handle is dropped, so a canvas
  // can deselect it first; Handle() already gives the new font's then.
  std::function<void()> OnChange;

 private:
  void Changed();

  std::wstring FName = L"Tahoma";
  int FHeight = 11;
  unsigned FStyle = 0;
  TColor FColor = clWindowText;
  BYTE FCharset = DEFAULT_CHARSET;
  std::shared_ptr<const TSharedFont> FHandle;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);
  // A clear brush hands out the stock null brush (borrowed). A system colour
  // is made anew when the scheme has changed it since the handle was made.
  HBRUSH Handle();

  std::function<void()> OnChange;

 private:
  void Changed();

  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBrushHandle FHandle;
  COLORREF FHandleRGB = 0;
};

enum TPenStyle { psSolid, psDot, psClear };

class TPen {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  HPEN Handle();

  std::function<void()> OnChange;

 private:
  void Changed();

  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  int FWidth = 1;
  TPenHandle FHandle;
};

class TBitmap;

// A drawing surface over a device context. The canvas selects its font, brush
// and pen only when a drawing call needs them and deselects them (restoring
// the DC's previous objects) when the handle changes or on Refresh.
class TCanvas {
 public:
  TCanvas();
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The device context; a subclass may create one on demand.
  HDC Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void SetHandle(HDC dc);

  TFont& Font() { return FFont; }
  TBrush& Brush() { return FBrush; }
  TPen& Pen() { return FPen; }

  // Makes font, brush and pen current in the DC now.
  void RequireFont();
  void RequireBrush();
  void RequirePen();
  // Drops the selected objects; they are selected again at the next use.
  void Refresh();

  // Locked for the caller's scope; locks nest.
  TScopedFlag<int> Locked() { return {FLockCount, FLockCount + 1}; }
  int LockCount() const { return FLockCount; }

  void FillRect(const RECT& rect);
  void FrameRect(const RECT& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void DrawFocusRect(const RECT& rect);
  void TextOut(int x, int y, const std::wstring& text);
  SIZE TextExtent(const std::wstring& text);
  int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
  int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
  void Draw(int x, int y, TBitmap& bitmap);
  COLORREF Pixel(int x, int y);

 protected:
  virtual void CreateHandle() {}
  void DeselectAll();

 private:
  HDC FHandle = nullptr;
  TFont FFont;
  TBrush FBrush;
  TPen FPen;
  HGDIOBJ FOldFont = nullptr;
  HGDIOBJ FOldBrush = nullptr;
  HGDIOBJ FOldPen = nullptr;
  int FLockCount = 0;
};

// A device-dependent picture with an optional 1-bit mask (white = transparent).
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  // Loads a bitmap resource; with maskId, a monochrome mask resource too.
  bool LoadFromResource(HINSTANCE instance, int id, int maskId = 0);
  // Takes ownership of an image and an optional mask.
  void SetHandles(HBITMAP image, HBITMAP mask);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return !FImage.Valid(); }
  bool Transparent() const { return FMask.Valid(); }
  HBITMAP Handle() const { return FImage.Get(); }
  HBITMAP MaskHandle() const { return FMask.Get(); }

  // Draws at natural size; masked-out pixels leave the destination unchanged.
  void Draw(HDC dc, int x, int y) const;

 private:
  TBitmapHandle FImage;
  TBitmapHandle FMask;
  int FWidth = 0;
  int FHeight = 0;
};

}  // namespace lodo

// The self-drawing radio button: an owner-drawn BUTTON whose glyph comes from
// the painter its look-and-feel chooses, with hot and pressed looks under the
// mouse, a transparent or themed-parent background, and a popup menu.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "controls/MouseTracking.h"
#include "framework/ButtonControl.h"
#include "framework/ControlCanvas.h"
#include "framework/PopupMenu.h"
#include "graphics/Canvas.h"
#include "lookandfeel/LookAndFeel.h"

namespace lodo {

enum TcxRadioGlyphState : std::uint8_t { rgsDisabled, rgsHot, rgsNormal, rgsPressed };

// The painter's state for a glyph state.
ButtonState ToButtonState(TcxRadioGlyphState state);

// How far each side of the caption rectangle moves inwards.
struct TCaptionOffsets {
  int Left, Top, Right, Bottom;
};
TCaptionOffsets CaptionOffsets(bool native, bool wordWrap, TLeftRight alignment);
// The caption's text flags: one line centred vertically, or a wrapped block
// centred the same way; both show the accelerator prefix.
constexpr TextFlags kCaptionLineFlags = tfLeft | tfVCenter | tfSingleLine | tfShowPrefix;
constexpr TextFlags kCaptionWrappedFlags = tfLeft | tfVCenter | tfNoClip | tfShowPrefix | tfWordBreak;
static_assert(kCaptionLineFlags == 609 && kCaptionWrappedFlags == 1697);
constexpr TextFlags CaptionFlags(bool wordWrap) { return wordWrap ? kCaptionWrappedFlags : kCaptionLineFlags; }

// A menu at a screen point, when it pops up by itself; false otherwise.
bool PopupMenuAt(TComponent* caller, TComponent* menu, int x, int y);
// Whether a key message is the shortcut of an item of the menu (and runs it).
bool PopupMenuHandlesKey(TComponent* menu, const TMessage& keyMessage);

class TcxRadioButton : public TRadioButton, public IcxMouseTrackingCaller {
 public:
  explicit TcxRadioButton(TComponent* owner);
  ~TcxRadioButton() override;

  TcxLookAndFeel& LookAndFeel() const { return *FLookAndFeel; }
  // Copies the given settings (local values and master).
  void SetLookAndFeel(TcxLookAndFeel* value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  // Anything but a popup menu is taken as none.
  void SetPopupMenu(TComponent* menu);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

  const RECT& GlyphRect() const { return FGlyphRect; }
  TcxCanvas& PaintCanvas() const { return *FPaintCanvas; }
  TcxRadioGlyphState GlyphState() const { return FGlyphState; }
  void SetGlyphState(TcxRadioGlyphState state);
  void RefreshGlyphStateFromCursor();
  TColor CaptionColor() const;
  RECT GlyphRectFor(SIZE size, bool native) const;

  // Repaints the whole control without erasing it first.
  void Invalidate() override;
  // Read by screen readers as a radio button.
  TAccessible* CreateAccessibleObject() override;
  void WndProc(TMessage& message) override;

  // The pointer has left (the tracking's tick).
  void MouseHasLeft() override { HandleMouseLeave(nullptr); }

  virtual void ExtendCaptionRect(RECT& rect, bool native) const;
  // The caption's rectangle beside the glyph of the last paint.
  RECT CaptionRect(bool native) const;
  virtual bool ShowOwnPopupMenu(TComponent* menu, int x, int y);
  virtual void FillOwnBackground();
  virtual void PaintCaption(TcxCanvas& canvas, bool native);
  virtual bool IsHostedInEditor() const { return false; }
  virtual bool ShowsThemedParentBackground() const;
  virtual bool UsesNativeStyle() const;
  virtual bool IsTransparentNow() const;
  virtual bool HasSeeThroughBackground() const;
  virtual void HandleLookAndFeelChange(TcxLookAndFeel* sender, TcxLookAndFeelValues changed);
  virtual void PaintButton(bool focusChangeOnly);
  virtual void UpdateGlyphState(int buttonCode, TShiftState shift, POINT p);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void FocusEntered() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void DoContextPopup(POINT mousePos, bool& handled) override;
  void Notification(TComponent* component, TOperation operation) override;

  void HandleEnabledChange();
  void HandleMouseEnter(TControl* control);
  void HandleMouseLeave(TControl* control);

 private:
  void RequestFullRepaint();
  void DrawItem(const DRAWITEMSTRUCT& item);
  bool WMEraseBkgnd(TMessage& message);
  bool WMWindowPosChanged(TMessage& message);
  bool BMSetCheck(TMessage& message);
  bool BMGetCheck(TMessage& message);
  bool WMContextMenu(TMessage& message);
  bool RNDrawItem(TMessage& message);
  bool RNMeasureItem(TMessage& message);
  bool RNKeyDown(TMessage& message);
  bool FMEnabledChanged(TMessage& message);
  bool FMMouseEnterLeave(TMessage& message);
  bool FMSysColorChange(TMessage& message);
  bool FMTextChanged(TMessage& message);
  bool FMHintChanged(TMessage& message);

  RECT FGlyphRect{0, 0, 0, 0};
  std::unique_ptr<TControlCanvas> FPlatformCanvas;
  std::unique_ptr<TcxCanvas> FPaintCanvas;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TPopupMenu* FPopupMenu = nullptr;
  TcxRadioGlyphState FGlyphState = rgsNormal;
  bool FTransparent = false;
};

}  // namespace lodo

// The control base: bounds, visibility, text, hint, font, colour, alignment,
// mouse events, and the message dispatch (virtual WndProc, DefaultHandler).
// Graphic controls (no window of their own) are painted by their parent.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Colors.h"
#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"
#include "framework/ScopedFlag.h"

namespace lodo {

class TWinControl;
class TControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorFlag : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

enum TShiftFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = unsigned;

enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

enum TControlStyleFlag : unsigned {
  csCaptureMouse = 1,
  csClickEvents = 2,
  csSetCaption = 4,
  csOpaque = 8,
  csDoubleClicks = 16,
  csAcceptsControls = 32
};
template <>
struct TIsFlag<TControlStyleFlag> : std::true_type {};
using TControlStyle = TFlagSet<TControlStyleFlag>;

enum TControlStateFlag : unsigned {
  csLButtonDown = 1,
  csClicked = 2,
  csPaintCopy = 4,
  csFocusing = 8,
  csCreating = 16,
  csMouseInside = 32
};
template <>
struct TIsFlag<TControlStateFlag> : std::true_type {};
using TControlState = TFlagSet<TControlStateFlag>;

using TNotifyEvent = std::function<void(TControl* sender)>;
using TMouseEvent = std::function<void(TControl* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl* sender, TShiftState shift, int x, int y)>;
using TContextPopupEvent = std::function<void(TControl* sender, POINT mousePos, bool& handled)>;

// Shift state from the key flags of a mouse message.
TShiftState KeysToShiftState(WPARAM keys);
// Shift state of the keyboard and mouse buttons now.
TShiftState CurrentShiftState();

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual RECT ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  unsigned Anchors() const { return FAnchors; }
  void SetAnchors(unsigned anchors);

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to the top is visible too.
  bool IsShowing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);

  // The text is stored as UTF-16; the Ansi accessors convert with the
  // system code page (settings-file text stays 8-bit at the edges).
  std::wstring Caption() const { return Text(); }
  void SetCaption(const std::wstring& text) { SetText(text); }
  virtual std::wstring Text() const { return FText; }
  virtual void SetText(const std::wstring& text);
  std::string CaptionAnsi() const;
  void SetCaptionAnsi(const std::string& text);
  std::string TextAnsi() const;
  void SetTextAnsi(const std::string& text);

  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& hint);
  std::string HintAnsi() const;
  void SetHintAnsi(const std::string& hint);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);

  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  HCURSOR Cursor() const { return FCursor; }
  void SetCursor(HCURSOR cursor) { FCursor = cursor; }

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle style) { FControlStyle = style; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState state) { FControlState = state; }
  void IncludeState(TControlState flags) { FControlState |= flags; }
  void ExcludeState(TControlState flags) { FControlState -= flags; }
  // The flags added for the caller's scope; the state is then put back as it was.
  TScopedFlag<TControlState> ScopedState(TControlState flags) { return {FControlState, FControlState | flags}; }

  // The windowed control this is, or nullptr for a graphic control.
  virtual TWinControl* AsWinControl() { return nullptr; }
  const TWinControl* AsWinControl() const { return const_cast<TControl*>(this)->AsWinControl(); }

  // Sends a message straight to the control's handler, not through the window system.
  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void WndProc(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Whole-control repaint request (never erasing first in subclasses that care).
  virtual void Invalidate();
  void Update();
  void Repaint();

  // Mouse capture for this control (through its window, or the parent's).
  void SetMouseCapture(bool capture);
  bool MouseCapture() const;

  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TContextPopupEvent OnContextPopup;

  // Graphic controls paint here; windowed ones paint in their own WM_PAINT.
  virtual void Paint(TCanvas&) {}

  // Sets position and size to the design values times m/d and the font
  // height to its design value times fontM/fontD. The design values are
  // those the control had when it was first scaled, so that scaling back
  // and forth between resolutions never accumulates rounding.
  virtual void ChangeScale(int m, int d, int fontM, int fontD);

  // The anchor distances are taken from the present bounds and parent size.
  void UpdateAnchorRules();
  // Applies the anchor rules after the parent's client size changed.
  void AnchorToParent(int parentWidth, int parentHeight);

  bool IsRightToLeft() const { return false; }

 protected:
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void DoContextPopup(POINT mousePos, bool& handled);
  virtual void BoundsChanged() {}
  virtual void TextChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged();
  void RequestAlign();
  // Updates the stored text without the change reactions (a window told us).
  void StoreText(const std::wstring& text) { FText = text; }

  // The mouse events of a client-area mouse message.
  void HandleMouseMessage(TMessage& message);

  TFont FFont;

 private:
  friend class TWinControl;

  // Handlers of the messages every control understands; windowed controls add more.
  bool WMMouse(TMessage& message);
  bool FMMouseEnterLeave(TMessage& message);
  bool FMParentFontChanged(TMessage& message);
  bool FMParentColorChanged(TMessage& message);
  bool FMParentShowHintChanged(TMessage& message);
  bool WMContextMenu(TMessage& message);
  // Changes the font without counting it as a change of the control's own
  // (ParentFont stays as it is), then reacts to the new font.
  template <typename TChange>
  void ChangeFontQuietly(TChange&& change) {
    {
      const TScopedFlag updating(FUpdatingFont);
      change(FFont);
    }
    FontChanged();
  }
  void AdoptParentFont();

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  unsigned FAnchors = akLeft | akTop;
  int FAnchorRight = 0, FAnchorBottom = 0;
  bool FVisible = true;
  bool FEnabled = true;
  std::wstring FText;
  std::wstring FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  bool FParentFont = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  HCURSOR FCursor = nullptr;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState;
  bool FUpdatingFont = false;
  bool FHasDesign = false;
  RECT FDesignBounds{};
  int FDesignFontHeight = 0;
  int FDesignAnchorRight = 0;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
  void Invalidate() override;
};

}  // namespace lodo

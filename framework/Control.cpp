// The control base: properties with their change reactions, mouse routing,
// and the default message handling shared by graphic and windowed controls.
#include "framework/Control.h"

#include <windowsx.h>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "framework/WinControl.h"

namespace lodo {

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState CurrentShiftState() {
  BYTE keys[256] = {};
  TShiftState s = 0;
  if (!GetKeyboardState(keys)) return s;
  if (keys[VK_SHIFT] & 0x80) s |= ssShift;
  if (keys[VK_CONTROL] & 0x80) s |= ssCtrl;
  if (keys[VK_MENU] & 0x80) s |= ssAlt;
  if (keys[VK_LBUTTON] & 0x80) s |= ssLeft;
  if (keys[VK_RBUTTON] & 0x80) s |= ssRight;
  if (keys[VK_MBUTTON] & 0x80) s |= ssMiddle;
  return s;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  FFont.OnChange = [this] {
    if (!FUpdatingFont) {
      FParentFont = false;
      FontChanged();
    }
  };
}

TControl::~TControl() {
  Destroying();
  if (Application) Application->ControlDestroyed(this);
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  const bool graphic = AsWinControl() == nullptr;
  if (graphic) Invalidate();
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (graphic) Invalidate();
  UpdateAnchorRules();
  BoundsChanged();
  RequestAlign();
}

POINT TControl::ClientToScreen(POINT p) const {
  if (TWinControl* self = const_cast<TControl*>(this)->AsWinControl(); self && self->HandleAllocated()) {
    ::ClientToScreen(self->Handle(), &p);
    return p;
  }
  POINT r{p.x + FLeft, p.y + FTop};
  if (FParent) return FParent->ClientToScreen(r);
  return p;
}

POINT TControl::ScreenToClient(POINT p) const {
  POINT o = ClientToScreen(POINT{0, 0});
  return {p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  RequestAlign();
}

void TControl::SetAnchors(unsigned anchors) {
  FAnchors = anchors;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!FParent || FAlign != alNone) return;
  const RECT pc = FParent->ClientRect();
  FAnchorRight = pc.right - (FLeft + FWidth);
  FAnchorBottom = pc.bottom - (FTop + FHeight);
}

void TControl::AnchorToParent(int parentWidth, int parentHeight) {
  if (FAlign != alNone) return;
  int left = FLeft, top = FTop, width = FWidth, height = FHeight;
  if (FAnchors & akRight) {
    if (FAnchors & akLeft)
      width = parentWidth - FAnchorRight - left;
    else
      left = parentWidth - FAnchorRight - width;
  }
  if (FAnchors & akBottom) {
    if (FAnchors & akTop)
      height = parentHeight - FAnchorBottom - top;
    else
      top = parentHeight - FAnchorBottom - height;
  }
  const int keepRight = FAnchorRight, keepBottom = FAnchorBottom;
  SetBounds(left, top, width, height);
  // Moving by the rule must not change the rule.
  FAnchorRight = keepRight;
  FAnchorBottom = keepBottom;
}

void TControl::RequestAlign() {
  if (FParent && (FAlign != alNone || (FAnchors & (akRight | akBottom)))) FParent->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  if (!visible) Invalidate();
  FVisible = visible;
  if (visible) Invalidate();
  Perform(FM_VISIBLECHANGED, visible, 0);
  RequestAlign();
}

bool TControl::IsShowing() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Perform(FM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const std::wstring& text) {
  if (text == FText) return;
  FText = text;
  TextChanged();
  Perform(FM_TEXTCHANGED, 0, 0);
}

std::string TControl::CaptionAnsi() const { return WideToAnsi(Caption()); }
void TControl::SetCaptionAnsi(const std::string& text) { SetText(AnsiToWide(text)); }
std::string TControl::TextAnsi() const { return WideToAnsi(Text()); }
void TControl::SetTextAnsi(const std::string& text) { SetText(AnsiToWide(text)); }

void TControl::SetHint(const std::wstring& hint) {
  if (hint == FHint) return;
  FHint = hint;
  Perform(FM_HINTCHANGED, 0, 0);
}
std::string TControl::HintAnsi() const { return WideToAnsi(FHint); }
void TControl::SetHintAnsi(const std::string& hint) { SetHint(AnsiToWide(hint)); }

void TControl::SetShowHint(bool value) {
  FParentShowHint = false;
  if (value == FShowHint) return;
  FShowHint = value;
  Perform(FM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool value) {
  if (value == FParentShowHint) return;
  FParentShowHint = value;
  if (value && FParent && FParent->ShowHint() != FShowHint) {
    FShowHint = FParent->ShowHint();
    Perform(FM_SHOWHINTCHANGED, 0, 0);
  }
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (value && FParent) AdoptParentFont();
}

void TControl::AdoptParentFont() {
  ChangeFontQuietly([this](TFont& font) { font.Assign(FParent->Font()); });
}

void TControl::FontChanged() {
  Invalidate();
  Perform(FM_FONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value && FParent && FParent->Color() != FColor) {
    FColor = FParent->Color();
    ColorChanged();
  }
}

void TControl::ColorChanged() {
  Invalidate();
  Perform(FM_COLORCHANGED, 0, 0);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::Invalidate() {}

void TGraphicControl::Invalidate() {
  TWinControl* parent = Parent();
  if (parent && parent->HandleAllocated() && IsShowing()) {
    RECT r = BoundsRect();
    InvalidateRect(parent->Handle(), &r, FALSE);
  }
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::SetMouseCapture(bool capture) {
  TWinControl* owner = AsWinControl();
  if (!owner) owner = FParent;
  if (!owner || !owner->HandleAllocated()) return;
  if (capture)
    SetCapture(owner->Handle());
  else if (GetCapture() == owner->Handle())
    ReleaseCapture();
  TWinControl::CaptureWindowChanged();
}

bool TControl::MouseCapture() const {
  const TWinControl* owner = AsWinControl();
  if (!owner) owner = FParent;
  return owner && owner->HandleAllocated() && TWinControl::CaptureWindow() == const_cast<TWinControl*>(owner)->Handle();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::DoContextPopup(POINT mousePos, bool& handled) {
  if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::ChangeScale(int m, int d, int fontM, int fontD) {
  if (!FHasDesign) {
    FHasDesign = true;
    FDesignBounds = {FLeft, FTop, FWidth, FHeight};
    FDesignFontHeight = FFont.Height();
    FDesignAnchorRight = FAnchorRight;
  }
  if (!FParentFont) ChangeFontQuietly([&](TFont& font) { font.SetHeight(MulDiv(FDesignFontHeight, fontM, fontD)); });
  const int width = MulDiv(FDesignBounds.right, m, d);
  const int height = MulDiv(FDesignBounds.bottom, m, d);
  int left = MulDiv(FDesignBounds.left, m, d);
  if ((FAnchors & akRight) && !(FAnchors & akLeft) && FParent && FAlign == alNone) {
    // Kept at its scaled distance from the parent's right edge, wherever
    // the parent's width stands now.
    const int right = MulDiv(FDesignAnchorRight, m, d);
    left = FParent->ClientRect().right - right - width;
  }
  SetBounds(left, MulDiv(FDesignBounds.top, m, d), width, height);
}

void TControl::HandleMouseMessage(TMessage& message) {
  const int x = GET_X_LPARAM(message.LParam);
  const int y = GET_Y_LPARAM(message.LParam);
  const TShiftState shift = KeysToShiftState(message.WParam);
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FControlStyle.Contains(csClickEvents)) IncludeState(csClicked);
      if (message.Msg == WM_LBUTTONDBLCLK && FControlStyle.Contains(csDoubleClicks)) DblClick();
      MouseDown(mbLeft, shift | (message.Msg == WM_LBUTTONDBLCLK ? static_cast<unsigned>(ssDouble) : 0u), x, y);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift, x, y);
      break;
    case WM_LBUTTONUP: {
      const bool clicked = FControlState.Contains(csClicked);
      ExcludeState(csClicked);
      const RECT r = ClientRect();
      const POINT p{x, y};
      // A click is a press and a release on the control; releasing outside cancels.
      if (clicked && PtInRect(&r, p)) Click();
      MouseUp(mbLeft, shift, x, y);
      break;
    }
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      break;
    default:
      break;
  }
}

void TControl::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TControl> kMessages[] = {
      {WM_MOUSEMOVE, WM_MBUTTONDBLCLK, &TControl::WMMouse},
      {FM_MOUSEENTER, &TControl::FMMouseEnterLeave},
      {FM_MOUSELEAVE, &TControl::FMMouseEnterLeave},
      {FM_PARENTFONTCHANGED, &TControl::FMParentFontChanged},
      {FM_PARENTCOLORCHANGED, &TControl::FMParentColorChanged},
      {FM_PARENTSHOWHINTCHANGED, &TControl::FMParentShowHintChanged},
      {WM_CONTEXTMENU, &TControl::WMContextMenu},
  };
  if (DispatchMessageTo<TControl>(*this, kMessages, message)) return;
  DefaultHandler(message);
}

bool TControl::WMMouse(TMessage& message) {
  // A windowed control has handled its own mouse messages by now.
  if (AsWinControl()) return false;
  HandleMouseMessage(message);
  return true;
}

bool TControl::FMMouseEnterLeave(TMessage& message) {
  // A control passes the notification on to its parent naming itself; its
  // own event fires only for a notification that names no control.
  if (FParent) FParent->Perform(message.Msg, 0, message.LParam ? message.LParam : reinterpret_cast<LPARAM>(this));
  if (message.LParam == 0) {
    if (message.Msg == FM_MOUSEENTER && OnMouseEnter) OnMouseEnter(this);
    if (message.Msg == FM_MOUSELEAVE && OnMouseLeave) OnMouseLeave(this);
  }
  return true;
}

bool TControl::FMParentFontChanged(TMessage&) {
  if (FParentFont && FParent) AdoptParentFont();
  return true;
}

bool TControl::FMParentColorChanged(TMessage&) {
  if (FParentColor && FParent && FParent->Color() != FColor) {
    FColor = FParent->Color();
    ColorChanged();
  }
  return true;
}

bool TControl::FMParentShowHintChanged(TMessage&) {
  if (FParentShowHint && FParent && FParent->ShowHint() != FShowHint) {
    FShowHint = FParent->ShowHint();
    Perform(FM_SHOWHINTCHANGED, 0, 0);
  }
  return true;
}

bool TControl::WMContextMenu(TMessage& message) {
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (p.x != -1 || p.y != -1) p = ScreenToClient(p);
  bool handled = false;
  // The base's own step, not an override: a class with a menu of its own
  // answers the message itself, and what it passes on (a point outside it,
  // a request it left unhandled) must not open that menu here.
  TControl::DoContextPopup(p, handled);
  message.Result = handled ? 1 : 0;
  if (!handled) DefaultHandler(message);
  return true;
}

void TControl::DefaultHandler(TMessage&) {}

}  // namespace lodo

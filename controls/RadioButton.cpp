// The self-drawing radio button: owner-drawn BUTTON window, glyph state from
// the mouse, the paint (background, glyph, caption, focus rectangle), the
// check on focus entry and the context menu.
#include "controls/RadioButton.h"

#include <windowsx.h>

#include <exception>

#include "controls/ControlHelpers.h"
#include "controls/ParentBackground.h"
#include "controls/RadioButtonAccessible.h"
#include "framework/Application.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "theme/ThemeManager.h"

namespace lodo {

namespace {

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

constexpr TShiftState kHeldKeysAndButtons = ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle;

}  // namespace

ButtonState ToButtonState(TcxRadioGlyphState state) {
  switch (state) {
    case rgsDisabled:
      return btsDisabled;
    case rgsHot:
      return btsHot;
    case rgsPressed:
      return btsPressed;
    default:
      return btsNormal;
  }
}

TCaptionOffsets CaptionOffsets(bool native, bool wordWrap, TLeftRight alignment) {
  const bool left = alignment == taLeftJustify;
  TCaptionOffsets o{};
  if (!native) {
    if (!wordWrap)
      o = left ? TCaptionOffsets{2, -1, 1, 0} : TCaptionOffsets{5, -1, 0, 0};
    else
      o = left ? TCaptionOffsets{2, -1, 6, 0} : TCaptionOffsets{5, -1, 2, 0};
    return o;
  }
  if (!wordWrap)
    o = left ? TCaptionOffsets{0, -1, 1, 0} : TCaptionOffsets{3, -1, 0, 0};
  else
    o = left ? TCaptionOffsets{0, -1, 3, 0} : TCaptionOffsets{3, -1, 0, 0};
  if (StandardDrawingEmulation()) o.Top = o.Bottom = 0;
  return o;
}

bool PopupMenuAt(TComponent* caller, TComponent* menu, int x, int y) {
  auto* popup = dynamic_cast<TPopupMenu*>(menu);
  if (!popup || !popup->AutoPopup()) return false;
  popup->SetPopupComponent(caller);
  popup->Popup(x, y);
  return true;
}

bool PopupMenuHandlesKey(TComponent* menu, const TMessage& keyMessage) {
  auto* popup = dynamic_cast<TPopupMenu*>(menu);
  return popup && popup->HandleAllocated() && popup->IsShortCut(keyMessage.WParam, keyMessage.LParam);
}

TcxRadioButton::TcxRadioButton(TComponent* owner) : TRadioButton(owner) {
  SetControlStyle(ControlStyle() | csDoubleClicks);
  FPlatformCanvas = std::make_unique<TControlCanvas>(this);
  FPaintCanvas = std::make_unique<TcxCanvas>(FPlatformCanvas.get());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnLookAndFeelChanged = [this](TcxLookAndFeel* sender, TcxLookAndFeelValues changed) {
    HandleLookAndFeelChange(sender, changed);
  };
  FGlyphState = rgsNormal;
  SetParentBackground(true);
  RadioButtonImages();
}

TcxRadioButton::~TcxRadioButton() {
  Destroying();
  StopMouseTracking(this);
  SetPopupMenu(nullptr);
  FLookAndFeel.reset();
  FPaintCanvas.reset();
  FPlatformCanvas.reset();
}

void TcxRadioButton::SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->CopyFrom(value); }

void TcxRadioButton::SetPopupMenu(TComponent* menu) { SetReference(FPopupMenu, dynamic_cast<TPopupMenu*>(menu)); }

void TcxRadioButton::Notification(TComponent* component, TOperation operation) {
  TRadioButton::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

void TcxRadioButton::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  RequestFullRepaint();
}

void TcxRadioButton::Invalidate() { RequestFullRepaint(); }

TAccessible* TcxRadioButton::CreateAccessibleObject() { return new TRadioButtonAccessible(*this); }

void TcxRadioButton::RequestFullRepaint() { InvalidateControlRect(this, LocalBounds(this), false); }

void TcxRadioButton::SetGlyphState(TcxRadioGlyphState state) {
  if (state == FGlyphState) return;
  // Going to or from the disabled look comes with a change of Enabled, which
  // is announced by itself.
  const bool pressedChanged =
      (state == rgsPressed) != (FGlyphState == rgsPressed) && state != rgsDisabled && FGlyphState != rgsDisabled;
  FGlyphState = state;
  RECT r = FGlyphRect;
  InflateRect(&r, 1, 1);
  InvalidateControlRect(this, r, false);
  if (pressedChanged) NotifyAccessibleEvent(*this, EVENT_OBJECT_STATECHANGE);
}

void TcxRadioButton::UpdateGlyphState(int, TShiftState shift, POINT p) {
  const RECT bounds = LocalBounds(this);
  if (!Enabled())
    SetGlyphState(rgsDisabled);
  else if (MouseCapture())
    SetGlyphState(Contains(bounds, p) ? rgsPressed : rgsHot);
  else
    SetGlyphState(Contains(bounds, p) && (shift & kHeldKeysAndButtons) == 0 ? rgsHot : rgsNormal);
}

void TcxRadioButton::RefreshGlyphStateFromCursor() {
  if (!HandleAllocated()) return;
  POINT p{-1, -1};
  if (CursorPosition(p))
    ::ScreenToClient(Handle(), &p);
  else
    p = {-1, -1};
  // Held keys and buttons matter only under the pointer; asking for them
  // is a round trip (each slot asks when its window is made).
  UpdateGlyphState(0, Contains(LocalBounds(this), p) ? CurrentShiftState() : 0, p);
}

TColor TcxRadioButton::CaptionColor() const {
  TColor color = clDefault;
  if (Font().Color() == clWindowText) color = FLookAndFeel->CurrentPainter()->CaptionTextColor(!Enabled());
  if (color == clDefault) color = Enabled() ? Font().Color() : clBtnShadow;
  return color;
}

RECT TcxRadioButton::GlyphRectFor(SIZE size, bool native) const {
  RECT r{};
  r.top = (Height() - size.cy) / 2;
  r.bottom = r.top + size.cy;
  if (Alignment() == taRightJustify) {
    r.left = native ? 0 : 1;
    r.right = r.left + size.cx;
  } else {
    r.right = Width();
    r.left = Width() - size.cx;
  }
  return r;
}

RECT TcxRadioButton::CaptionRect(bool native) const {
  RECT rect = LocalBounds(this);
  if (Alignment() == taRightJustify)
    rect.left = FGlyphRect.right;
  else
    rect.right = FGlyphRect.left;
  ExtendCaptionRect(rect, native);
  return rect;
}

void TcxRadioButton::ExtendCaptionRect(RECT& rect, bool native) const {
  const TCaptionOffsets o = CaptionOffsets(native, WordWrap(), Alignment());
  rect.left += o.Left;
  rect.top += o.Top;
  rect.right -= o.Right;
  rect.bottom -= o.Bottom;
}

bool TcxRadioButton::ShowOwnPopupMenu(TComponent* menu, int x, int y) { return PopupMenuAt(this, menu, x, y); }

void TcxRadioButton::FillOwnBackground() {
  if (!HasSeeThroughBackground()) FillRectSolid(*FPaintCanvas, LocalBounds(this), Color());
}

bool TcxRadioButton::UsesNativeStyle() const {
  return FLookAndFeel->NativeStyle() && OpenThemeHandle(tciButton) != nullptr;
}

bool TcxRadioButton::ShowsThemedParentBackground() const {
  return UsesNativeStyle() && ParentBackground() && !IsHostedInEditor() && !FTransparent;
}

bool TcxRadioButton::IsTransparentNow() const { return FTransparent && !IsHostedInEditor(); }

bool TcxRadioButton::HasSeeThroughBackground() const { return ShowsThemedParentBackground() || IsTransparentNow(); }

void TcxRadioButton::HandleLookAndFeelChange(TcxLookAndFeel*, TcxLookAndFeelValues) { RequestFullRepaint(); }

void TcxRadioButton::PaintButton(bool focusChangeOnly) {
  TcxCanvas& canvas = *FPaintCanvas;
  if (!focusChangeOnly) {
    if (IsTransparentNow())
      PaintParentUnderControl(this, canvas, LocalBounds(this), true);
    else if (ShowsThemedParentBackground())
      PaintThemedParentBackground(this, canvas, LocalBounds(this));
    if (UsesNativeStyle()) FillOwnBackground();
  }
  TcxLookAndFeelPainterClass painter = FLookAndFeel->PainterForTheme(tciButton);
  const bool native = UsesNativeStyle();
  FGlyphRect = GlyphRectFor(painter->RadioGlyphSize(), native);
  painter->PaintRadioGlyph(canvas, FGlyphRect.left, FGlyphRect.top, ToButtonState(FGlyphState), Checked(), Focused(),
                           HasSeeThroughBackground() ? clDefault : Color(), false);
  // Outside the native style the background goes around the drawn glyph, so
  // the glyph is never painted over.
  canvas.ExcludeRect(FGlyphRect);
  if (!focusChangeOnly && !native) FillOwnBackground();
  // A repaint of the glyph alone (a state or check change) leaves the
  // caption as it is: its text and focus rectangle lie outside the clip.
  RECT caption = CaptionRect(native);
  InflateRect(&caption, 1, 1);
  if (!RectVisible(canvas.DeviceContext(), &caption)) return;
  PaintCaption(canvas, native);
}

void TcxRadioButton::PaintCaption(TcxCanvas& canvas, bool native) {
  canvas.Font().Assign(Font());
  canvas.PlatformCanvas()->RequireFont();
  canvas.Font().SetColor(CaptionColor());
  RECT r = CaptionRect(native);
  canvas.Brush().SetStyle(bsClear);
  const TextFlags flags = CaptionFlags(WordWrap());
  // The visual style's parent painting may have changed what the DC holds.
  if (ShowsThemedParentBackground()) canvas.PlatformCanvas()->Refresh();
  const bool enabled = FLookAndFeel->CurrentPainter()->CaptionTextColor(true) != clDefault || native || Enabled();
  const std::string caption = CaptionAnsi();
  canvas.PaintText(caption, r, flags, enabled);
  canvas.Brush().SetStyle(bsSolid);
  if (Focused() && !caption.empty()) {
    canvas.MeasureTextRect(caption, r, flags);
    InflateRect(&r, 1, 1);
    r.bottom += 1;
    // A caption font as tall as the button would put the top and bottom
    // lines outside it, where the clip drops them: keep the rectangle whole.
    const RECT bounds = LocalBounds(this);
    IntersectRect(&r, &r, &bounds);
    canvas.Brush().SetColor(Color());
    canvas.Font().SetColor(Font().Color());
    canvas.PlatformCanvas()->RequireFont();
    canvas.PlatformCanvas()->DrawFocusRect(r);
  }
}

void TcxRadioButton::DrawItem(const DRAWITEMSTRUCT& item) {
  // The canvas is bound to the paint's DC for this request only.
  struct TUnbind {
    TControlCanvas& Canvas;
    ~TUnbind() { Canvas.SetHandle(nullptr); }
  } unbind{*FPlatformCanvas};
  FPlatformCanvas->SetHandle(item.hDC);
  // A focus change is painted whole: the dotted focus rectangle is drawn by
  // inverting, so drawing it again over the one already there (the button
  // sends a focus request right after painting a focused button) would wipe
  // it, and losing the focus must clear the old one. The background goes
  // around the glyph and under the caption as in every paint: no flicker.
  PaintButton(false);
}

void TcxRadioButton::CreateParams(TCreateParams& params) {
  TRadioButton::CreateParams(params);
  // Windows draws nothing of the button itself and asks for WM_DRAWITEM.
  params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateHandleDone() {
  TRadioButton::CreateHandleDone();
  RefreshGlyphStateFromCursor();
}

void TcxRadioButton::FocusEntered() {
  if (Checked() || ClicksDisabled()) return;
  // The click fires once even when checking fails; the failure goes on. When
  // the click fails as well, its error is reported here.
  std::exception_ptr failure;
  try {
    const TScopedFlag noClicks = DisableClicks();
    SetChecked(true);
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    if (!IsLoading()) Click();
  } catch (...) {
    if (!failure) throw;
    ReportCurrentException();
  }
  if (failure) std::rethrow_exception(failure);
}

void TcxRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TRadioButton::MouseDown(button, shift, x, y);
  UpdateGlyphState(ToMouseButtonCode(button), shift, {x, y});
}

void TcxRadioButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TRadioButton::MouseUp(button, shift, x, y);
  UpdateGlyphState(ToMouseButtonCode(button), shift, {x, y});
}

void TcxRadioButton::MouseMove(TShiftState shift, int x, int y) {
  TRadioButton::MouseMove(shift, x, y);
  UpdateGlyphState(0, shift, {x, y});
  StartMouseTracking(this, LocalBounds(this), this);
}

void TcxRadioButton::HandleEnabledChange() {
  NotifyAccessibleEvent(*this, EVENT_OBJECT_STATECHANGE);
  RefreshGlyphStateFromCursor();
  RequestFullRepaint();
}

void TcxRadioButton::HandleMouseEnter(TControl*) {
  RefreshGlyphStateFromCursor();
  StartMouseTracking(this, LocalBounds(this), this);
}

void TcxRadioButton::HandleMouseLeave(TControl*) {
  UpdateGlyphState(0, 0, {-1, -1});
  StopMouseTracking(this);
}

void TcxRadioButton::DoContextPopup(POINT mousePos, bool& handled) {
  TRadioButton::DoContextPopup(mousePos, handled);
  if (handled) return;
  POINT q = mousePos.x == -1 && mousePos.y == -1 ? POINT{0, 0} : mousePos;
  q = ClientToScreen(q);
  handled = ShowOwnPopupMenu(FPopupMenu, q.x, q.y);
}

void TcxRadioButton::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TcxRadioButton> kMessages[] = {
      {WM_ERASEBKGND, &TcxRadioButton::WMEraseBkgnd},
      {WM_WINDOWPOSCHANGED, &TcxRadioButton::WMWindowPosChanged},
      {BM_SETCHECK, &TcxRadioButton::BMSetCheck},
      {BM_GETCHECK, &TcxRadioButton::BMGetCheck},
      {WM_CONTEXTMENU, &TcxRadioButton::WMContextMenu},
      {RN_DRAWITEM, &TcxRadioButton::RNDrawItem},
      {RN_MEASUREITEM, &TcxRadioButton::RNMeasureItem},
      {RN_KEYDOWN, &TcxRadioButton::RNKeyDown},
      {RN_SYSKEYDOWN, &TcxRadioButton::RNKeyDown},
      {FM_ENABLEDCHANGED, &TcxRadioButton::FMEnabledChanged},
      {FM_MOUSEENTER, &TcxRadioButton::FMMouseEnterLeave},
      {FM_MOUSELEAVE, &TcxRadioButton::FMMouseEnterLeave},
      {FM_SYSCOLORCHANGE, &TcxRadioButton::FMSysColorChange},
      {FM_TEXTCHANGED, &TcxRadioButton::FMTextChanged},
      {FM_HINTCHANGED, &TcxRadioButton::FMHintChanged},
  };
  if (DispatchMessageTo<TcxRadioButton>(*this, kMessages, message)) return;
  TRadioButton::WndProc(message);
}

bool TcxRadioButton::WMEraseBkgnd(TMessage& message) {
  // Every pixel is painted in WM_DRAWITEM; erasing first would flicker.
  message.Result = 1;
  return true;
}

bool TcxRadioButton::WMWindowPosChanged(TMessage& message) {
  TRadioButton::WndProc(message);
  if (!IsDestroying() && HasSeeThroughBackground()) RequestFullRepaint();
  return true;
}

bool TcxRadioButton::BMSetCheck(TMessage& message) {
  TRadioButton::WndProc(message);
  InvalidateControlRect(this, FGlyphRect, false);
  return true;
}

bool TcxRadioButton::BMGetCheck(TMessage& message) {
  // An owner-drawn button keeps no check state of its own; tools that ask
  // the window (accessibility, automation) get the control's.
  message.Result = Checked() ? BST_CHECKED : BST_UNCHECKED;
  return true;
}

bool TcxRadioButton::WMContextMenu(TMessage& message) {
  if (message.Result != 0) return true;
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (p.x != -1 || p.y != -1) {
    p = ScreenToClient(p);
    // A request for a point outside the button is not the button's.
    if (!Contains(ClientRect(), p)) return false;
  }
  bool handled = false;
  DoContextPopup(p, handled);
  message.Result = handled ? 1 : 0;
  return handled;
}

bool TcxRadioButton::RNDrawItem(TMessage& message) {
  if (!IsDestroying()) DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
  message.Result = TRUE;
  return true;
}

bool TcxRadioButton::RNMeasureItem(TMessage& message) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
  item->itemWidth = static_cast<UINT>(Width());
  item->itemHeight = static_cast<UINT>(Height());
  message.Result = TRUE;
  return true;
}

bool TcxRadioButton::RNKeyDown(TMessage& message) {
  // The popup menu's shortcuts come before the keyboard navigation.
  if (!PopupMenuHandlesKey(FPopupMenu, message)) return false;
  message.Result = 1;
  return true;
}

bool TcxRadioButton::FMEnabledChanged(TMessage& message) {
  TRadioButton::WndProc(message);
  HandleEnabledChange();
  return true;
}

bool TcxRadioButton::FMMouseEnterLeave(TMessage& message) {
  TRadioButton::WndProc(message);
  TControl* named = message.LParam ? reinterpret_cast<TControl*>(message.LParam) : this;
  if (message.Msg == FM_MOUSEENTER)
    HandleMouseEnter(named);
  else
    HandleMouseLeave(named);
  return true;
}

bool TcxRadioButton::FMSysColorChange(TMessage& message) {
  TRadioButton::WndProc(message);
  RequestFullRepaint();
  return true;
}

bool TcxRadioButton::FMTextChanged(TMessage& message) {
  TRadioButton::WndProc(message);
  NotifyAccessibleEvent(*this, EVENT_OBJECT_NAMECHANGE);
  return true;
}

bool TcxRadioButton::FMHintChanged(TMessage& message) {
  // The hint is the accessible description.
  TRadioButton::WndProc(message);
  NotifyAccessibleEvent(*this, EVENT_OBJECT_DESCRIPTIONCHANGE);
  return true;
}

}  // namespace lodo

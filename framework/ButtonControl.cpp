// Check box and radio button behaviour over the system BUTTON class.
#include "framework/ButtonControl.h"

#include <cwctype>

#include "framework/Accessible.h"

namespace lodo {

wchar_t AcceleratorChar(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;  // "&&" shows one ampersand
      continue;
    }
    return caption[i + 1];
  }
  return 0;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  // Clicks come from the button window's own notification, not from the
  // generic press-and-release rule.
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetParentColor(true);
}

void TButtonControl::TextChanged() { Invalidate(); }

void TButtonControl::AcceleratorPressed() { SetFocus(); }

void TButtonControl::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TButtonControl> kMessages[] = {
      {WM_LBUTTONDOWN, &TButtonControl::WMLButtonDown},
      {WM_LBUTTONDBLCLK, &TButtonControl::WMLButtonDown},
      {FM_DIALOGCHAR, &TButtonControl::FMDialogChar},
  };
  if (DispatchMessageTo<TButtonControl>(*this, kMessages, message)) return;
  TWinControl::WndProc(message);
}

bool TButtonControl::WMLButtonDown(TMessage&) {
  // Taking the focus with the mouse must not count as a click; if the focus
  // cannot be taken, the press is dropped.
  if (Focused() || !CanFocus()) return false;
  {
    const TScopedFlag noClicks = DisableClicks();
    ::SetFocus(Handle());
  }
  return !Focused();
}

bool TButtonControl::FMDialogChar(TMessage& message) {
  const wchar_t accel = AcceleratorChar(Caption());
  if (accel && std::towupper(accel) == std::towupper(static_cast<wint_t>(message.WParam)) && CanFocus()) {
    AcceleratorPressed();
    message.Result = 1;
  }
  return true;
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.SystemClass = L"BUTTON";
  params.Style |= BS_CHECKBOX;
}

// A window is made unchecked: only a check needs telling.
void TCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!ClicksDisabled()) Click();
}

void TCheckBox::AcceleratorPressed() {
  SetFocus();
  Toggle();
}

void TCheckBox::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TCheckBox> kMessages[] = {
      {RN_COMMAND, &TCheckBox::RNCommand},
  };
  if (DispatchMessageTo<TCheckBox>(*this, kMessages, message)) return;
  TButtonControl::WndProc(message);
}

bool TCheckBox::RNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == BN_CLICKED && !ClicksDisabled()) Toggle();
  return true;
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.SystemClass = L"BUTTON";
  params.Style |= BS_RADIOBUTTON;
  const bool captionLeft = IsRightToLeft() ? FAlignment == taRightJustify : FAlignment == taLeftJustify;
  if (captionLeft) params.Style |= BS_LEFTTEXT;
  if (FWordWrap) params.Style |= BS_MULTILINE;
}

void TButtonControl::CreateHandleDone() {
  if (FChecked) SendMessageW(Handle(), BM_SETCHECK, BST_CHECKED, 0);
}

void TRadioButton::SetAlignment(TLeftRight alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  RecreateWnd();
}

void TRadioButton::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  SetTabStop(checked);
  if (HandleAllocated()) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // An owner-drawn button keeps no check state, so the system announces no change of it.
    if ((GetWindowLongPtrW(Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW)
      NotifyAccessibleEvent(*this, EVENT_OBJECT_STATECHANGE);
  }
  if (!checked) return;
  if (TWinControl* parent = Parent()) {
    for (TControl* c : std::vector<TControl*>(parent->Controls()))
      if (c != this) c->Perform(FM_GROUPCHECKED, 0, reinterpret_cast<LPARAM>(this));
    parent->Perform(FM_BUTTONCHECKED, 0, reinterpret_cast<LPARAM>(this));
  }
  if (!ClicksDisabled()) Click();
}

// The Windows button reports a click when an unchecked radio button gets the
// focus other than by the mouse (arrow keys, accelerators); Wine's does not,
// so the rule is kept here. The mouse path disables clicks.
void TRadioButton::FocusEntered() {
  if (!FChecked && !ClicksDisabled()) SetChecked(true);
}

void TRadioButton::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TRadioButton> kMessages[] = {
      {WM_SETFOCUS, &TRadioButton::WMSetFocus},
      {RN_COMMAND, &TRadioButton::RNCommand},
      {FM_GROUPCHECKED, &TRadioButton::FMGroupChecked},
  };
  if (DispatchMessageTo<TRadioButton>(*this, kMessages, message)) return;
  TButtonControl::WndProc(message);
}

bool TRadioButton::WMSetFocus(TMessage& message) {
  TButtonControl::WndProc(message);
  FocusEntered();
  return true;
}

bool TRadioButton::RNCommand(TMessage& message) {
  if (ClicksDisabled()) return true;
  switch (HIWORD(message.WParam)) {
    case BN_CLICKED:
      SetChecked(true);
      break;
    default:
      // BN_DOUBLECLICKED included: OnDblClick comes from the double-click
      // message itself, as for every control, and only once.
      break;
  }
  return true;
}

bool TRadioButton::FMGroupChecked(TMessage&) {
  SetChecked(false);
  return true;
}

}  // namespace lodo

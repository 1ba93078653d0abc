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
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Taking the focus with the mouse must not count as a click; if the
      // focus cannot be taken, the press is dropped.
      if (!Focused() && CanFocus()) {
        FClicksDisabled = true;
        ::SetFocus(Handle());
        FClicksDisabled = false;
        if (!Focused()) return;
      }
      break;
    case FM_DIALOGCHAR: {
      const wchar_t accel = AcceleratorChar(Caption());
      if (accel && std::towupper(accel) == std::towupper(static_cast<wint_t>(message.WParam)) && CanFocus()) {
        AcceleratorPressed();
        message.Result = 1;
      }
      return;
    }
    default:
      break;
  }
  TWinControl::WndProc(message);
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

void TCheckBox::CreateHandleDone() { SendMessageW(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0); }

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
  if (message.Msg == RN_COMMAND) {
    if (HIWORD(message.WParam) == BN_CLICKED && !ClicksDisabled()) Toggle();
    return;
  }
  TButtonControl::WndProc(message);
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

void TRadioButton::CreateHandleDone() {
  SendMessageW(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
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
      if (auto* sibling = dynamic_cast<TRadioButton*>(c); sibling && sibling != this) sibling->SetChecked(false);
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
  if (message.Msg == WM_SETFOCUS) {
    TButtonControl::WndProc(message);
    FocusEntered();
    return;
  }
  if (message.Msg == RN_COMMAND) {
    if (ClicksDisabled()) return;
    switch (HIWORD(message.WParam)) {
      case BN_CLICKED:
        SetChecked(true);
        break;
      case BN_DOUBLECLICKED:
        DblClick();
        break;
      default:
        break;
    }
    return;
  }
  TButtonControl::WndProc(message);
}

}  // namespace lodo

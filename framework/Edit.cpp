// The system EDIT class, superclassed.
#include "framework/Edit.h"

#include "framework/AccessibleControls.h"

namespace lodo {

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

std::wstring TEdit::Text() const {
  if (!HandleAllocated()) return TWinControl::Text();
  HWND window = const_cast<TEdit*>(this)->Handle();
  const int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return text;
}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SystemClass = L"EDIT";
  params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

TAccessible* TEdit::CreateAccessibleObject() { return new TLabelledEditAccessible(*this); }

void TEdit::CreateHandleDone() {
  // 0 lifts the default limit of 32767 characters to the maximum.
  SendMessageW(Handle(), EM_LIMITTEXT, 0, 0);
}

}  // namespace lodo

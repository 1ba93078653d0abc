// The radio button as a screen reader reads it: a radio button named by its
// caption as shown, with its checked, hot and pressed states, its address
// hint as the description and the help, and the default action "Check".
#pragma once
#include "framework/Accessible.h"

namespace lodo {

class TcxRadioButton;

class TRadioButtonAccessible : public TAccessible {
 public:
  explicit TRadioButtonAccessible(TcxRadioButton& button);

 protected:
  std::optional<LONG> Role() const override { return ROLE_SYSTEM_RADIOBUTTON; }
  std::optional<std::wstring> Name() const override;
  std::optional<LONG> State() const override;
  std::optional<std::wstring> Description() const override;
  // The address again: UI Automation clients and readers' help commands do
  // not read the description, which MSAA servers are advised to leave.
  std::optional<std::wstring> Help() const override { return Description(); }
  std::optional<std::wstring> KeyboardShortcut() const override;
  std::optional<std::wstring> DefaultAction() const override { return L"Check"; }
  // What a click does: the focus is taken without a click of its own, then
  // the button is checked, which fires its one OnClick.
  void DoDefaultAction() override;

 private:
  TcxRadioButton* Button() const;
};

}  // namespace lodo

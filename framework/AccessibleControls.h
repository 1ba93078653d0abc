// The accessible objects of the framework's own controls: a panel with a
// click handler reads as a push button, an edit is named by its label.
#pragma once
#include "framework/Accessible.h"

namespace lodo {

class TPanel;
class TEdit;

// A push button named by the panel's caption as it is spoken, whose default
// action "Press" runs the click. A panel stays out of the tab order, so it is
// never focusable. Without a click handler it answers as a plain pane.
class TPanelButtonAccessible : public TAccessible {
 public:
  explicit TPanelButtonAccessible(TPanel& panel);

 protected:
  std::optional<LONG> Role() const override;
  std::optional<std::wstring> Name() const override;
  std::optional<LONG> State() const override;
  std::optional<std::wstring> Description() const override;
  std::optional<std::wstring> DefaultAction() const override;
  void DoDefaultAction() override;

 private:
  TPanel* Clickable() const;
};

// An edit whose name is the text of the label just before it among its
// parent's controls, as the system names an edit by the static text window
// before it (a framework label has no window). Everything else is the
// standard edit object's.
class TLabelledEditAccessible : public TAccessible {
 public:
  explicit TLabelledEditAccessible(TEdit& edit);

 protected:
  std::optional<std::wstring> Name() const override;
};

// A label's text as a name: without the closing colon and trailing blanks.
std::wstring LabelName(const std::wstring& caption);

}  // namespace lodo

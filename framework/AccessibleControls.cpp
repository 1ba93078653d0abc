// Panels as push buttons and edits named by their labels.
#include "framework/AccessibleControls.h"

#include <algorithm>

#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Panel.h"

namespace lodo {

TPanelButtonAccessible::TPanelButtonAccessible(TPanel& panel) : TAccessible(panel) {}

TPanel* TPanelButtonAccessible::Clickable() const {
  auto* panel = static_cast<TPanel*>(Control());
  return panel && panel->OnClick ? panel : nullptr;
}

std::optional<LONG> TPanelButtonAccessible::Role() const {
  if (!Clickable()) return std::nullopt;
  return ROLE_SYSTEM_PUSHBUTTON;
}

std::optional<std::wstring> TPanelButtonAccessible::Name() const {
  // The panel paints its caption without accelerator prefixes.
  if (const TPanel* panel = Clickable())
    return panel->SpokenName().empty() ? SpokenCaption(panel->Caption()) : panel->SpokenName();
  return std::nullopt;
}

std::optional<LONG> TPanelButtonAccessible::State() const {
  if (!Clickable()) return std::nullopt;
  return WindowState();
}

std::optional<std::wstring> TPanelButtonAccessible::Description() const {
  if (const TPanel* panel = Clickable()) return panel->Hint();
  return std::nullopt;
}

std::optional<std::wstring> TPanelButtonAccessible::DefaultAction() const {
  if (!Clickable()) return std::nullopt;
  return L"Press";
}

void TPanelButtonAccessible::DoDefaultAction() {
  if (TPanel* panel = Clickable()) panel->Click();
}

TLabelledEditAccessible::TLabelledEditAccessible(TEdit& edit) : TAccessible(edit) {}

std::optional<std::wstring> TLabelledEditAccessible::Name() const {
  TWinControl* edit = Control();
  TWinControl* parent = edit ? edit->Parent() : nullptr;
  if (!parent) return std::nullopt;
  const auto& controls = parent->Controls();
  const auto at = std::find(controls.begin(), controls.end(), edit);
  if (at == controls.begin() || at == controls.end()) return std::nullopt;
  if (const auto* label = dynamic_cast<const TLabel*>(*(at - 1))) return LabelName(label->Caption());
  return std::nullopt;
}

std::wstring LabelName(const std::wstring& caption) {
  std::wstring name = caption;
  while (!name.empty() && (name.back() == L' ' || name.back() == L'\t')) name.pop_back();
  if (!name.empty() && name.back() == L':') name.pop_back();
  while (!name.empty() && name.back() == L' ') name.pop_back();
  return name;
}

}  // namespace lodo

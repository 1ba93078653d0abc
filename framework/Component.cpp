// Ownership, free notifications and the assign protocol.
#include "framework/Component.h"

#include <algorithm>
#include <typeinfo>

#if defined(__GNUC__)
#include <cxxabi.h>

#include <cstdlib>
#endif

#include "framework/Exceptions.h"

namespace lodo {

std::string TPersistent::ClassName() const {
  const char* raw = typeid(*this).name();
  std::string name;
#if defined(__GNUC__)
  int status = 0;
  char* demangled = abi::__cxa_demangle(raw, nullptr, nullptr, &status);
  name = (status == 0 && demangled) ? demangled : raw;
  std::free(demangled);
#else
  name = raw;
  for (const char* prefix : {"class ", "struct "})
    if (name.rfind(prefix, 0) == 0) name.erase(0, std::char_traits<char>::length(prefix));
#endif
  // Drop the namespace: the class name is what users see in messages.
  if (const auto pos = name.rfind("::"); pos != std::string::npos) name.erase(0, pos + 2);
  return name;
}

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError(Format("Cannot assign a %s to a %s", "nil", ClassName()));
}

void TPersistent::AssignTo(TPersistent* dest) {
  throw EConvertError(Format("Cannot assign a %s to a %s", ClassName(), dest ? dest->ClassName() : "nil"));
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell every holder of a reference once, then drop all its links to us.
  const auto notifies = FFreeNotifies;
  FFreeNotifies.clear();
  for (auto it = notifies.begin(); it != notifies.end(); ++it) {
    TComponent* holder = *it;
    if (std::find(notifies.begin(), it, holder) != it) continue;
    holder->Notification(this, TOperation::opRemove);
    std::erase(holder->FFreeNotifies, this);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetDesigning(bool value) {
  if (value)
    FComponentState |= csDesigning;
  else
    FComponentState -= csDesigning;
}

void TComponent::BeginLoading() { FComponentState |= csLoading; }

void TComponent::EndLoading() {
  FComponentState -= csLoading;
  Loaded();
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  // The link is mutual, so whichever dies first unhooks the other. Each
  // subscription adds one entry on both sides: when both ask (a button for
  // its menu, the menu for the button it popped up for), the link lasts
  // until both have ended theirs.
  FFreeNotifies.push_back(component);
  component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  // Ends one subscription on both sides; the other side must not keep a
  // pointer to this component past its destruction.
  const auto own = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
  if (own == FFreeNotifies.end()) return;
  FFreeNotifies.erase(own);
  auto& other = component->FFreeNotifies;
  if (const auto back = std::find(other.begin(), other.end(), this); back != other.end()) other.erase(back);
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->FOwner == this) return;
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this) return;
  Notification(component, TOperation::opRemove);
  std::erase(FComponents, component);
  component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Newest first, so a component never outlives one created after it that may
  // refer to it.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;
    Notification(last, TOperation::opRemove);
    delete last;
  }
}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace lodo

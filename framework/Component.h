// Persistent objects and components: ownership (an owner destroys what it
// owns), free notifications for holders of references, state flags, tag, name.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/FlagSet.h"
#include "framework/ScopedFlag.h"

namespace lodo {

class TPersistent {
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  // The class name of the object's dynamic type, e.g. "TFont".
  std::string ClassName() const;

  // Copies source into this object. The default asks the source to copy
  // itself (AssignTo); a pair that knows nothing of each other fails with
  // "Cannot assign a <source> to a <target>".
  virtual void Assign(TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest);
};

enum TComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2, csDesigning = 4 };
template <>
struct TIsFlag<TComponentStateFlag> : std::true_type {};
using TComponentState = TFlagSet<TComponentStateFlag>;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::vector<TComponent*>& Components() const { return FComponents; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  std::intptr_t Tag() const { return FTag; }
  void SetTag(std::intptr_t tag) { FTag = tag; }

  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return FComponentState.Contains(csLoading); }
  bool IsDestroying() const { return FComponentState.Contains(csDestroying); }
  bool IsDesigning() const { return FComponentState.Contains(csDesigning); }
  void SetDesigning(bool value);
  // Marks the start and end of loading from a description; Loaded() follows.
  void BeginLoading();
  void EndLoading();
  // Loading for the caller's scope, as when a window fills itself from a
  // file: the state is put back on every way out, and Loaded() is not called.
  TScopedFlag<TComponentState> ScopedLoading() { return {FComponentState, FComponentState | csLoading}; }

  // Marks the component as going away; derived destructors call it first so
  // that messages arriving during teardown can tell.
  void Destroying() { FComponentState |= csDestroying; }

  // Asks to be told (Notification opRemove) when `component` is destroyed;
  // `component` is told of this one's end as well. Removing ends one such
  // request on both sides.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Points a reference held by this component at value, moving the free
  // notification from the old target to the new one.
  template <typename T>
  void SetReference(T*& reference, T* value) {
    if (value == reference) return;
    if (reference) RemoveFreeNotification(reference);
    reference = value;
    if (reference) FreeNotification(reference);
  }

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void Loaded() {}

 private:
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  std::intptr_t FTag = 0;
  TComponentState FComponentState;
};

}  // namespace lodo

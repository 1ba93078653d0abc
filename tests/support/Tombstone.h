// A component destroyed in place and replaced by a tombstone at its address:
// a stale pointer to the dead component then reaches the tombstone, which
// counts the call, instead of freed memory, so the fault shows in every run.
#pragma once
#include <cstddef>
#include <new>
#include <stdexcept>
#include <utility>

#include "framework/Component.h"

namespace lodo::test {

class TTombstone : public TComponent {
 public:
  TTombstone() : TComponent(nullptr) {}
  int Calls = 0;

 protected:
  void Notification(TComponent*, TOperation) override { ++Calls; }
};

// Holds one T built in its own storage. Whatever still points at the buried
// component must be destroyed before this holder.
template <typename T>
class TBuried {
 public:
  template <typename... TArgs>
  explicit TBuried(TArgs&&... args) : FObject(new (FStorage) T(std::forward<TArgs>(args)...)) {
    // Other components hold it as a TComponent*: that must be the storage's start.
    if (static_cast<void*>(static_cast<TComponent*>(FObject)) != static_cast<void*>(FStorage))
      throw std::logic_error("the component base does not start the object");
  }
  ~TBuried() {
    if (FObject)
      FObject->~T();
    else
      Tomb()->~TTombstone();
  }
  TBuried(const TBuried&) = delete;
  TBuried& operator=(const TBuried&) = delete;

  T* Get() const { return FObject; }
  T* operator->() const { return FObject; }
  // Runs the component's destructor and puts the tombstone in its place.
  void Bury() {
    FObject->~T();
    FObject = nullptr;
    new (FStorage) TTombstone();
  }
  // Calls that reached the component through a pointer kept past its end.
  int StaleCalls() const { return FObject ? 0 : Tomb()->Calls; }

 private:
  TTombstone* Tomb() const { return std::launder(reinterpret_cast<TTombstone*>(const_cast<unsigned char*>(FStorage))); }

  alignas(std::max_align_t) unsigned char FStorage[sizeof(T) > sizeof(TTombstone) ? sizeof(T) : sizeof(TTombstone)];
  T* FObject;
};

}  // namespace lodo::test

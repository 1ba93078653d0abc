// A flag (or a depth counter, or a set of state flags) given a value for the
// length of a call and put back as it was on every way out, exceptions included.
#pragma once
#include <utility>

namespace lodo {

template <typename T>
class [[nodiscard]] TScopedFlag {
 public:
  TScopedFlag(T& flag, T value) : FFlag(flag), FOld(std::exchange(flag, std::move(value))) {}
  // A yes/no flag, raised.
  explicit TScopedFlag(T& flag) : TScopedFlag(flag, T{true}) {}
  ~TScopedFlag() { FFlag = std::move(FOld); }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

 private:
  T& FFlag;
  T FOld;
};

}  // namespace lodo

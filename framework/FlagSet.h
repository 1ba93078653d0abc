// Typed sets of flags: a set of control styles cannot take a control state or
// a component state, although all of them are small enumerations.
#pragma once
#include <type_traits>

namespace lodo {

template <typename Flag>
class TFlagSet {
  static_assert(std::is_enum_v<Flag>);

 public:
  constexpr TFlagSet() = default;
  // A single flag is a set of one.
  constexpr TFlagSet(Flag flag) : FBits(static_cast<unsigned>(flag)) {}

  constexpr bool Contains(Flag flag) const { return (FBits & static_cast<unsigned>(flag)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }

  constexpr TFlagSet operator|(TFlagSet other) const { return FromBits(FBits | other.FBits); }
  // The set without the other's flags.
  constexpr TFlagSet operator-(TFlagSet other) const { return FromBits(FBits & ~other.FBits); }
  constexpr TFlagSet& operator|=(TFlagSet other) {
    FBits |= other.FBits;
    return *this;
  }
  constexpr TFlagSet& operator-=(TFlagSet other) {
    FBits &= ~other.FBits;
    return *this;
  }
  // The bits both sets hold: non-zero when they share a flag.
  constexpr unsigned operator&(TFlagSet other) const { return FBits & other.FBits; }
  friend constexpr bool operator==(TFlagSet, TFlagSet) = default;

 private:
  static constexpr TFlagSet FromBits(unsigned bits) {
    TFlagSet set;
    set.FBits = bits;
    return set;
  }

  unsigned FBits = 0;
};

// Marks an enumeration as a flag type, so that `a | b` of two of its flags
// makes a set of that type (and never a bare integer).
template <typename Flag>
struct TIsFlag : std::false_type {};

template <typename Flag>
requires TIsFlag<Flag>::value constexpr TFlagSet<Flag> operator|(Flag a, Flag b) { return TFlagSet<Flag>(a) | b; }

}  // namespace lodo

// The small value types the look-and-feel, the painters and the glyph cache
// share: kinds, the set of look-and-feel values, button states, style codes.
#pragma once
#include <cstdint>
#include <initializer_list>

namespace lodo {

enum TcxLookAndFeelKind : std::uint8_t { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
constexpr int kLookAndFeelKindCount = lfOffice11 + 1;

enum TcxLookAndFeelValue : std::uint8_t { lfvKind, lfvNativeStyle, lfvSkinName };

// A set of look-and-feel values in one byte (bit n = value n).
class TcxLookAndFeelValues {
 public:
  constexpr TcxLookAndFeelValues() = default;
  constexpr TcxLookAndFeelValues(std::initializer_list<TcxLookAndFeelValue> values) {
    for (TcxLookAndFeelValue v : values) FBits = static_cast<std::uint8_t>(FBits | Bit(v));
  }
  static constexpr TcxLookAndFeelValues FromBits(std::uint8_t bits) {
    TcxLookAndFeelValues s;
    s.FBits = static_cast<std::uint8_t>(bits & 7);
    return s;
  }
  static constexpr TcxLookAndFeelValues All() { return FromBits(7); }

  constexpr std::uint8_t Bits() const { return FBits; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr bool Contains(TcxLookAndFeelValue v) const { return (FBits & Bit(v)) != 0; }
  constexpr void Include(TcxLookAndFeelValue v) { FBits = static_cast<std::uint8_t>(FBits | Bit(v)); }
  constexpr void Exclude(TcxLookAndFeelValue v) { FBits = static_cast<std::uint8_t>(FBits & ~Bit(v)); }
  constexpr TcxLookAndFeelValues operator&(TcxLookAndFeelValues o) const { return FromBits(FBits & o.FBits); }
  constexpr TcxLookAndFeelValues operator|(TcxLookAndFeelValues o) const { return FromBits(FBits | o.FBits); }
  // The values of this set that are not in o.
  constexpr TcxLookAndFeelValues Without(TcxLookAndFeelValues o) const {
    return FromBits(static_cast<std::uint8_t>(FBits & ~o.FBits));
  }
  constexpr bool operator==(const TcxLookAndFeelValues&) const = default;

 private:
  static constexpr std::uint8_t Bit(TcxLookAndFeelValue v) { return static_cast<std::uint8_t>(1u << v); }
  std::uint8_t FBits = 0;
};

enum ButtonState : std::uint8_t { btsDefault, btsNormal, btsHot, btsPressed, btsDisabled };

// A painter's own style code.
enum PainterStyle : std::uint8_t { psFlat, psStandard, psUltraFlat, psNative, psOffice11 };

enum TextColorKind : std::uint8_t { tckNormal, tckDisabled };

}  // namespace lodo

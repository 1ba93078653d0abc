// Generated settings files for the fuzzing tests: each case is made from a
// fixed seed and its number alone, so any one case can be made again.
#pragma once
#include <cstdint>
#include <string>

namespace lodo::fuzz {

// The seed every run uses unless LODO_FUZZ_SEED names another.
constexpr std::uint64_t kDefaultSeed = 0x6C6F646F2D696E69ull;

enum TFuzzKind {
  fkRandomBytes,
  fkSampleMutation,
  fkGrammar,
  fkHugeAndNul,
  fkManySections,
  fkByteOrderMark,
  fkIntegerEdges,
  fkNameVariants,
  kFuzzKindCount
};

const char* FuzzKindName(TFuzzKind kind);

struct TFuzzFile {
  TFuzzKind Kind = fkRandomBytes;
  std::string Bytes;
  // True for 8-bit text without NUL bytes or stray line breaks, whose lines
  // the platform's writer keeps apart from normalising blanks and line ends.
  bool IsText = false;
};

// A small, fast generator with a state of its own, so that a case never
// depends on the cases made before it.
class TRandom {
 public:
  explicit TRandom(std::uint64_t seed) : FState(seed) {}
  std::uint64_t Next();
  // 0 .. bound-1; bound must be positive.
  unsigned Below(unsigned bound) { return static_cast<unsigned>(Next() % bound); }
  bool Chance(unsigned percent) { return Below(100) < percent; }
  char Byte() { return static_cast<char>(Next() & 0xFF); }

 private:
  std::uint64_t FState;
};

// A text for an integer key: an edge of the integer rule, or a sign, prefix
// and digits built around the 32-bit limits.
std::string IntegerText(TRandom& random);

// The sample settings file shipped beside the launcher.
const std::string& SampleSettings();

// Case `index` of the run with `seed`: the kind follows from the index, so
// every stretch of consecutive cases covers all kinds.
TFuzzFile MakeFuzzFile(std::uint64_t seed, std::uint64_t index);

// The seed of this run (LODO_FUZZ_SEED, decimal or 0x hex, else the default).
std::uint64_t RunSeed();
// True when LODO_FUZZ_SCALE=full: the long run of the "fuzz" label.
bool FullRun();
// A single case to run instead of all (LODO_FUZZ_CASE), or -1.
long long OnlyCase();

}  // namespace lodo::fuzz

// The launcher's integer rule against the reference written for the fuzzing,
// on the rule's own examples and on a great many generated texts.
#include <gtest/gtest.h>

#include <cstdint>

#include "launcher/IniFile.h"
#include "tests/fuzz/FuzzFiles.h"
#include "tests/fuzz/SettingsReference.h"

using namespace lodo;
using namespace lodo::fuzz;

namespace {

struct TKnown {
  const char* Text;
  bool Taken;
  std::int32_t Value;
};

// Examples that follow from the rule as written.
const TKnown kKnown[] = {{"1", true, 1},
                         {"-1", true, -1},
                         {"2", true, 2},
                         {"0x10", true, 16},
                         {"0", true, 0},
                         {"true", false, 0},
                         {"yes", false, 0},
                         {"", false, 0},
                         {"3x", false, 0},
                         {"0x3", true, 3},
                         {"$3", true, 3},
                         {"-$10", true, -16},
                         {"$FFFFFFFF", true, -1},
                         {"0xFFFFFFFF", true, -1},
                         {"$000000000000FFFFFFFF", true, -1},
                         {"0x100000000", false, 0},
                         {"2147483647", true, 2147483647},
                         {"2147483648", false, 0},
                         {"-2147483648", true, -2147483647 - 1},
                         {"-2147483649", false, 0},
                         {"   +7", true, 7},
                         {"\t7", false, 0},
                         {"7 ", false, 0},
                         {"+-7", false, 0},
                         {"0x", false, 0},
                         {"$", false, 0},
                         {"x1F", true, 31},
                         {"X1f", true, 31},
                         {"0X1F", true, 31},
                         {"-0xFFFFFFFD", true, 3},
                         {"00000000000000000012", true, 12},
                         {"- 1", false, 0},
                         {"1e3", false, 0}};

}  // namespace

TEST(IntegerRuleFuzz, ReferenceAndLauncherFollowTheRulesExamples) {
  for (const TKnown& known : kKnown) {
    SCOPED_TRACE(known.Text);
    std::int32_t reference = 0, launcher = 0;
    ASSERT_EQ(ReferenceInteger(known.Text, reference), known.Taken);
    EXPECT_EQ(ParseIniInteger(known.Text, launcher), known.Taken);
    if (!known.Taken) continue;
    EXPECT_EQ(reference, known.Value);
    EXPECT_EQ(launcher, known.Value);
  }
}

TEST(IntegerRuleFuzz, LauncherAgreesWithTheReferenceOnGeneratedTexts) {
  const std::uint64_t seed = RunSeed();
  TRandom random(seed);
  // Built edges, and short texts from the rule's own alphabet.
  const char alphabet[] = " +-$xX0123456789aAfFgG";
  int disagreements = 0;
  for (int i = 0; i < 200000 && disagreements < 5; ++i) {
    std::string text;
    if (i % 2) {
      text = IntegerText(random);
    } else {
      for (unsigned k = 0, n = random.Below(14); k < n; ++k) text += alphabet[random.Below(sizeof(alphabet) - 1)];
    }
    std::int32_t reference = 0, launcher = 0;
    const bool referenceTakes = ReferenceInteger(text, reference);
    const bool launcherTakes = ParseIniInteger(text, launcher);
    if (referenceTakes == launcherTakes && (!referenceTakes || reference == launcher)) continue;
    ++disagreements;
    ADD_FAILURE() << "seed " << seed << " text #" << i << " \"" << text << "\": reference "
                  << (referenceTakes ? std::to_string(reference) : "default") << ", launcher "
                  << (launcherTakes ? std::to_string(launcher) : "default");
  }
}

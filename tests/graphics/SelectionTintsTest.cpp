// The hot and pressed tints: mixing, the black/white rule, clamping, and the
// real system colours they are mixed from.
#include <windows.h>

#include <gtest/gtest.h>

#include <ios>

#include "graphics/SelectionTints.h"
#include "tests/support/SysColorsGuard.h"

using namespace lodo;

namespace {
constexpr TTintSource kClassic = {RGB(212, 208, 200), RGB(10, 36, 106), RGB(255, 255, 255)};
}

TEST(SelectionTints, ClassicColoursGiveTheKnownTints) {
  EXPECT_EQ(MixSystemTint(kClassic, -2, 30, 72), static_cast<TColor>(RGB(183, 191, 212)));
  EXPECT_EQ(MixSystemTint(kClassic, 14, 44, 40), static_cast<TColor>(RGB(136, 147, 177)));
  // Each term rounds on its own: 212*-2/100 = -4.24 -> -4, 255*72/100 = 183.6 -> 184.
  EXPECT_EQ(MixSystemTint({RGB(212, 0, 0), 0x000001, RGB(255, 0, 0)}, -2, 0, 72), static_cast<TColor>(RGB(180, 0, 0)));
}

TEST(SelectionTints, BlackOrWhiteFaceGivesTheHighlight) {
  for (COLORREF face : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
    const TTintSource source{face, RGB(10, 36, 106), RGB(240, 240, 240)};
    EXPECT_EQ(MixSystemTint(source, -2, 30, 72), static_cast<TColor>(RGB(10, 36, 106)));
    EXPECT_EQ(MixSystemTint(source, 14, 44, 40), static_cast<TColor>(RGB(10, 36, 106)));
  }
  // A nearly white face is mixed as usual.
  EXPECT_NE(MixSystemTint({RGB(255, 255, 254), RGB(10, 36, 106), RGB(255, 255, 255)}, -2, 30, 72),
            static_cast<TColor>(RGB(10, 36, 106)));
}

TEST(SelectionTints, ChannelsClampEachOnItsOwn) {
  const TTintSource bright{RGB(200, 100, 50), RGB(200, 200, 200), RGB(250, 250, 250)};
  EXPECT_EQ(MixSystemTint(bright, 127, 127, 127), static_cast<TColor>(RGB(255, 255, 255)));
  EXPECT_EQ(MixSystemTint(bright, -128, -128, -128), static_cast<TColor>(RGB(0, 0, 0)));
  // red 100 - 150 = -50 -> 0, green 200 - 100 = 100, blue 250 + 80 = 330 -> 255.
  const TTintSource mixed{RGB(100, 200, 250), RGB(150, 100, 0), RGB(0, 0, 80)};
  EXPECT_EQ(MixSystemTint(mixed, 100, -100, 100), static_cast<TColor>(RGB(0, 100, 255)));
}

TEST(SelectionTints, NearestScreenColorKeepsWhatTheScreenShows) {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  ASSERT_GE(bits, 24);  // the test display is a true-colour one
  EXPECT_EQ(NearestScreenColor(RGB(183, 191, 212)), static_cast<TColor>(RGB(183, 191, 212)));
  // A true-colour screen shows every colour: each channel comes back, in its
  // own place, down to the lowest bit.
  for (COLORREF c : {RGB(1, 2, 3), RGB(3, 2, 1), RGB(255, 0, 1), RGB(0, 255, 254)})
    EXPECT_EQ(NearestScreenColor(static_cast<TColor>(c)), static_cast<TColor>(c)) << std::hex << c;
}

TEST(SelectionTints, TintsFollowTheRealSystemColours) {
  test::TSysColorsGuard restore;
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_BTNFACE, RGB(212, 208, 200)));
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_HIGHLIGHT, RGB(10, 36, 106)));
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_WINDOW, RGB(255, 255, 255)));
  EXPECT_EQ(SystemTint(-2, 30, 72), static_cast<TColor>(RGB(183, 191, 212)));
  // The face weight is minus two percent: 254 percent would saturate red.
  EXPECT_EQ(HotTrackTint(), static_cast<TColor>(RGB(183, 191, 212)));
  EXPECT_EQ(PressedTint(), static_cast<TColor>(RGB(136, 147, 177)));
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_BTNFACE, RGB(255, 255, 255)));
  EXPECT_EQ(HotTrackTint(), static_cast<TColor>(RGB(10, 36, 106)));
  EXPECT_EQ(PressedTint(), static_cast<TColor>(RGB(10, 36, 106)));
}

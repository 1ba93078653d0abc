// The module start-up order: started in order, stopped in reverse, once each.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/Modules.h"
#include "controls/MouseTracking.h"
#include "graphics/Office2003Colors.h"
#include "tests/support/TestSupport.h"
#include "theme/ThemeManager.h"
#include "theme/UxTheme.h"

using namespace lodo;

TEST(Modules, StartOnceAndStopInReverse) {
  InitializeModules();
  ASSERT_TRUE(ThemeLibraryLoaded());
  const HWND receiver = ThemeReceiverWindow();
  EXPECT_TRUE(IsWindow(receiver));
  InitializeModules();  // already started: nothing new
  EXPECT_EQ(ThemeReceiverWindow(), receiver);
  SetThemeNameSource([] { return TThemeNames{}; });
  FinalizeModules();
  EXPECT_FALSE(ThemeLibraryLoaded());
  EXPECT_FALSE(IsWindow(receiver));
  // The graphics module put the real theme-name source back.
  EXPECT_FALSE(SetThemeNameSource(nullptr));
  FinalizeModules();
  TModulesScope again;
  EXPECT_TRUE(ThemeLibraryLoaded());
}

namespace {

struct TIdleCaller : IcxMouseTrackingCaller {
  void MouseHasLeft() override {}
};

}  // namespace

TEST(Modules, AFailingShutdownStillStopsTheOthersAndIsReported) {
  test::ErrorsSeen().clear();
  TIdleCaller caller;
  {
    TModulesScope modules;
    // A tracking left alive (the whole screen, so the tick never ends it).
    StartMouseTracking(nullptr, {-30000, -30000, 30000, 30000}, &caller);
    ASSERT_TRUE(IsMouseTracked(&caller));
  }
  EXPECT_FALSE(ThemeLibraryLoaded());
  ASSERT_EQ(test::ErrorsSeen().size(), 1u);
  EXPECT_EQ(test::ErrorsSeen()[0], "MouseTrackingTimerList.Count <> 0");
  test::ErrorsSeen().clear();
  // A new start finds the leftover tracking, which can then be ended.
  TModulesScope again;
  EXPECT_TRUE(ThemeLibraryLoaded());
  EXPECT_TRUE(IsMouseTracked(&caller));
  StopMouseTracking(&caller);
  EXPECT_FALSE(IsMouseTracked(&caller));
}

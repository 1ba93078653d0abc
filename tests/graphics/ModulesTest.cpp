// The module start-up order: started in order, stopped in reverse, once each.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/Modules.h"
#include "graphics/Office2003Colors.h"
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

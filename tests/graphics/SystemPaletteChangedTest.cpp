// The distribution of system colour changes: order, errors, re-entrancy and
// the lifetime of the shared listener and its hidden window.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/Modules.h"
#include "graphics/GraphicsModule.h"
#include "graphics/Office2003Colors.h"
#include "graphics/SystemPaletteChanged.h"
#include "tests/support/SysColorsGuard.h"
#include "tests/support/TestSupport.h"
#include "theme/ThemeModule.h"

using namespace lodo;

namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

LRESULT WINAPI LoggingDefaultProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(msg == WM_SYSCOLORCHANGE ? "default" : "default " + std::to_string(msg));
  return DefWindowProcW(window, msg, wParam, lParam);
}

// Modules started; the scheme refresh and the default procedure write to the log.
class Distribution : public testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    test::ErrorsSeen().clear();
    SetThemeNameSource([] {
      Log().push_back("refresh");
      return TThemeNames{};
    });
    FPrevious = SetSystemPaletteDefaultProc(LoggingDefaultProc);
  }
  void TearDown() override {
    SetSystemPaletteDefaultProc(FPrevious);
    test::ErrorsSeen().clear();
  }
  std::unique_ptr<TcxSystemPaletteChangedNotifier> Logging(const std::string& name, bool high) {
    auto notifier = std::make_unique<TcxSystemPaletteChangedNotifier>(high);
    notifier->OnSystemColorsChanged = [name] { Log().push_back(name); };
    return notifier;
  }
  static LRESULT SendColorChange() { return SendMessageW(SystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0); }

  TModulesScope FModules;
  TDefaultWindowProc FPrevious = nullptr;
};

// A notifier of the painter-module kind: its own Notify.
class TRebuildingNotifier : public TcxSystemPaletteChangedNotifier {
 public:
  TRebuildingNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void Notify() override { Log().push_back("rebuild"); }
};

// Only the theme and graphics modules: the other libraries' notifiers (the
// brush cache, the root look-and-feel, the glyph cache) are gone, so the
// test's are the only ones.
class LoneDistribution : public Distribution {
 protected:
  void SetUp() override {
    FinalizeModules();
    InitializeThemeModule();
    InitializeGraphicsModule();
    Distribution::SetUp();
  }
  void TearDown() override {
    Distribution::TearDown();
    FinalizeGraphicsModule();
    FinalizeThemeModule();
  }
};

}  // namespace

TEST_F(Distribution, RefreshThenHighPriorityThenOrdinaryLastFirstThenDefault) {
  auto h1 = Logging("high 1", true);
  auto o1 = Logging("ordinary 1", false);
  auto h2 = std::make_unique<TRebuildingNotifier>();
  auto o2 = Logging("ordinary 2", false);
  auto h3 = Logging("high 3", true);
  Log().clear();
  SendColorChange();
  const std::vector<std::string> expected = {"refresh",    "high 3",     "rebuild", "high 1",
                                             "ordinary 2", "ordinary 1", "default"};
  EXPECT_EQ(Log(), expected);
}

TEST_F(Distribution, AnErrorStopsTheRestButTheMessageStillReachesTheDefault) {
  auto h1 = Logging("high 1", true);
  auto failing = std::make_unique<TcxSystemPaletteChangedNotifier>(true);
  failing->OnSystemColorsChanged = [] {
    Log().push_back("failing");
    throw std::runtime_error("colour notifier failed");
  };
  auto o1 = Logging("ordinary 1", false);
  Log().clear();
  SendColorChange();
  const std::vector<std::string> expected = {"refresh", "failing", "default"};
  EXPECT_EQ(Log(), expected);
  ASSERT_EQ(test::ErrorsSeen().size(), 1u);
  EXPECT_EQ(test::ErrorsSeen()[0], "colour notifier failed");
  // The next change is distributed in full again.
  failing.reset();
  Log().clear();
  SendColorChange();
  const std::vector<std::string> full = {"refresh", "high 1", "ordinary 1", "default"};
  EXPECT_EQ(Log(), full);
}

TEST_F(Distribution, OtherMessagesReachOnlyTheDefault) {
  auto h1 = Logging("high 1", true);
  auto o1 = Logging("ordinary 1", false);
  Log().clear();
  SendMessageW(SystemPaletteListenerWindow(), WM_SETTINGCHANGE, 0, 0);
  SendMessageW(SystemPaletteListenerWindow(), WM_THEMECHANGED, 0, 0);
  const std::vector<std::string> expected = {"default " + std::to_string(WM_SETTINGCHANGE),
                                             "default " + std::to_string(WM_THEMECHANGED)};
  EXPECT_EQ(Log(), expected);
}

TEST_F(LoneDistribution, TheListenerLivesExactlyWhileANotifierExists) {
  EXPECT_EQ(SystemPaletteListenerWindow(), nullptr);
  EXPECT_EQ(SystemPaletteNotifierCount(), 0);
  EXPECT_EQ(Office2003ColorsUsers(), 0);
  auto first = Logging("first", false);
  const HWND window = SystemPaletteListenerWindow();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(Office2003ColorsUsers(), 1);
  EXPECT_EQ(Log(), std::vector<std::string>{"refresh"});  // the listener acquired the colours
  auto second = Logging("second", true);
  EXPECT_EQ(SystemPaletteListenerWindow(), window);
  EXPECT_EQ(SystemPaletteNotifierCount(), 2);
  EXPECT_EQ(Office2003ColorsUsers(), 1);
  first.reset();
  EXPECT_TRUE(IsWindow(window));
  second.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(SystemPaletteListenerWindow(), nullptr);
  EXPECT_EQ(Office2003ColorsUsers(), 0);

  Log().clear();
  auto again = Logging("again", false);
  EXPECT_TRUE(IsWindow(SystemPaletteListenerWindow()));
  EXPECT_EQ(Office2003ColorsUsers(), 1);
  EXPECT_EQ(Log(), std::vector<std::string>{"refresh"});
}

TEST_F(LoneDistribution, NotifiersMayBeDestroyedDuringTheDistribution) {
  auto o1 = Logging("ordinary 1", false);
  std::unique_ptr<TcxSystemPaletteChangedNotifier> o2, h1;
  h1 = Logging("high 1", true);
  o2 = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  // The last ordinary one destroys every notifier, itself and the listener's
  // last hold included, while the listener is still distributing.
  o2->OnSystemColorsChanged = [&] {
    Log().push_back("ordinary 2");
    o1.reset();
    h1.reset();
    o2.reset();
  };
  const HWND window = SystemPaletteListenerWindow();
  Log().clear();
  SendColorChange();
  const std::vector<std::string> expected = {"refresh", "high 1", "ordinary 2", "default"};
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(SystemPaletteNotifierCount(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(SystemPaletteListenerWindow(), nullptr);
  EXPECT_EQ(Office2003ColorsUsers(), 0);
}

TEST_F(Distribution, ARealColourChangeArrivesWithTheColoursAlreadyRefreshed) {
  SetThemeNameSource(nullptr);  // the real names: no Office variant under Wine
  test::TSysColorsGuard restore;
  TColor faceSeen = clNone;
  int told = 0;
  TcxSystemPaletteChangedNotifier notifier(true);
  notifier.OnSystemColorsChanged = [&] {
    ++told;
    faceSeen = Office2003Face();
  };
  const COLORREF face = GetSysColor(COLOR_BTNFACE) == RGB(212, 208, 200) ? RGB(200, 204, 212) : RGB(212, 208, 200);
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_BTNFACE, face));
  ASSERT_TRUE(test::PumpUntil([&] { return told > 0; }));
  EXPECT_EQ(faceSeen, static_cast<TColor>(face));
}

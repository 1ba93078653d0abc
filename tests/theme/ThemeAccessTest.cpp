// The theme binding, handle cache and theme-change receiver against the real
// library under Wine: themed prefix (default), classic prefix, no library.
#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/theme/ThemeTestSupport.h"
#include "theme/ThemeManager.h"
#include "theme/ThemeModule.h"
#include "theme/UxTheme.h"

using namespace lodo;
using test::TThemeCallCounter;
using test::TThemeModuleScope;

namespace {

using test::Lower;

// No visual style: no class has one, no handle opens, and a close finds
// nothing to close.
void ExpectNoVisualStyle() {
  EXPECT_FALSE(VisualStylesAvailableForAll({}));
  EXPECT_FALSE(VisualStylesAvailable(tciButton));
  EXPECT_EQ(OpenThemeHandle(tciButton), nullptr);
  EXPECT_EQ(CloseThemeHandle(tciButton), 1);
}

}  // namespace

TEST(ThemeBinding, BindsAllEntryPointsInOrderFromTheSystemFolder) {
  TThemeModuleScope scope;
  ASSERT_TRUE(ThemeLibraryLoaded());
  for (int i = 0; i < kUxThemeEntryCount; ++i) {
    const auto entry = static_cast<TUxThemeEntry>(i);
    EXPECT_NE(ThemeEntryPoint(entry), nullptr) << kUxThemeEntryNames[i];
    EXPECT_EQ(ThemeEntryPoint(entry), GetProcAddress(ThemeLibraryHandle(), kUxThemeEntryNames[i]))
        << kUxThemeEntryNames[i];
  }
  EXPECT_STREQ(kUxThemeEntryNames[0], "CloseThemeData");
  EXPECT_STREQ(kUxThemeEntryNames[kUxThemeEntryCount - 1], "BufferedPaintSetAlpha");

  char path[MAX_PATH], system[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(ThemeLibraryHandle(), path, MAX_PATH), 0u);
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  EXPECT_EQ(Lower(path), Lower(std::string(system) + "\\uxtheme.dll"));
}

TEST(ThemeBinding, StartAndShutdownAreOrderedAndRepeatable) {
  {
    TThemeModuleScope scope;
    InitializeThemeModule();  // a second start changes nothing
    EXPECT_EQ(test::CountHiddenMessageWindows(), 1);
    const HWND receiver = ThemeReceiverWindow();
    ASSERT_NE(OpenThemeHandle(tciButton), nullptr);
    auto late = std::make_unique<TdxThemeChangedNotificator>();
    FinalizeThemeModule();
    EXPECT_FALSE(ThemeLibraryLoaded());
    EXPECT_FALSE(ThemesActive());
    EXPECT_FALSE(IsWindow(receiver));
    EXPECT_EQ(ThemeReceiverWindow(), nullptr);
    EXPECT_EQ(ThemeData(tciButton).Handle, nullptr);
    EXPECT_TRUE(ThemeData(tciButton).ClassList.empty());
    late.reset();  // outlived the list: removes nothing, breaks nothing
    FinalizeThemeModule();
  }
  TThemeModuleScope again;
  EXPECT_TRUE(ThemesActive());
  EXPECT_NE(OpenThemeHandle(tciButton), nullptr);
}

TEST(ThemeAccess, ThemedStateAnswersYesThroughAHiddenReceiver) {
  TThemeModuleScope scope;
  EXPECT_TRUE(ThemesActive());
  EXPECT_TRUE(VisualStylesAvailableForAll({}));
  EXPECT_TRUE(VisualStylesAvailable(tciButton));
  EXPECT_NE(OpenThemeHandle(tciButton), nullptr);
  const HWND receiver = ThemeReceiverWindow();
  ASSERT_TRUE(IsWindow(receiver));
  EXPECT_FALSE(IsWindowVisible(receiver));
  EXPECT_EQ(GetAncestor(receiver, GA_PARENT), GetDesktopWindow());
  EXPECT_NE(GetWindowLongPtrW(receiver, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  RECT r;
  GetWindowRect(receiver, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
}

TEST(ThemeCache, OpensEachClassOnceAndIgnoresLetterCase) {
  TThemeModuleScope scope;
  TThemeCallCounter calls;
  const HTHEME first = OpenThemeHandle(tciButton);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(OpenThemeHandle(tciButton), first);
  EXPECT_TRUE(VisualStylesAvailable(tciButton));
  EXPECT_EQ(OpenThemeHandle(tciButton, L"bUTTON"), first);
  EXPECT_EQ(calls.Opens(), 1);
  EXPECT_EQ(calls.Closes(), 0);
  EXPECT_EQ(ThemeData(tciButton).ClassList, L"Button");
}

TEST(ThemeCache, ADifferentClassListReplacesTheHandle) {
  TThemeModuleScope scope;
  TThemeCallCounter calls;
  ASSERT_NE(OpenThemeHandle(tciButton), nullptr);
  const HTHEME edit = OpenThemeHandle(tciButton, L"Edit");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(calls.Closes(), 1);
  EXPECT_EQ(calls.Opens(), 2);
  EXPECT_EQ(ThemeData(tciButton).Handle, edit);
  EXPECT_EQ(ThemeData(tciButton).ClassList, L"Edit");
  // Asked without a list, the slot keeps what it holds.
  EXPECT_EQ(OpenThemeHandle(tciButton), edit);
  EXPECT_EQ(calls.Opens(), 2);
}

TEST(ThemeCache, AFailedOpenClearsTheClassListAndIsRetried) {
  TThemeModuleScope scope;
  TThemeCallCounter calls;
  EXPECT_EQ(OpenThemeHandle(tciButton, L"NoSuchVisualStyleClass"), nullptr);
  EXPECT_EQ(ThemeData(tciButton).Handle, nullptr);
  EXPECT_TRUE(ThemeData(tciButton).ClassList.empty());
  EXPECT_NE(OpenThemeHandle(tciButton), nullptr);
  ASSERT_EQ(calls.OpenedClassLists().size(), 2u);
  EXPECT_EQ(calls.OpenedClassLists()[1], L"Button");
}

TEST(ThemeCache, CloseThemeHandleEmptiesTheSlot) {
  TThemeModuleScope scope;
  TThemeCallCounter calls;
  EXPECT_EQ(CloseThemeHandle(tciEdit), S_OK);  // nothing open
  EXPECT_EQ(calls.Closes(), 0);
  ASSERT_NE(OpenThemeHandle(tciEdit, L"edit"), nullptr);
  EXPECT_EQ(CloseThemeHandle(tciEdit), S_OK);
  EXPECT_EQ(calls.Closes(), 1);
  EXPECT_EQ(ThemeData(tciEdit).Handle, nullptr);
  EXPECT_TRUE(ThemeData(tciEdit).ClassList.empty());
}

TEST(ThemeCache, TheEmptySetOpensNothingAndAFullSetOpensEachClass) {
  TThemeModuleScope scope;
  TThemeCallCounter calls;
  EXPECT_TRUE(VisualStylesAvailableForAll({}));
  EXPECT_EQ(calls.Opens(), 0);
  EXPECT_TRUE(VisualStylesAvailableForAll({tciEdit, tciButton}));
  ASSERT_EQ(calls.OpenedClassLists().size(), 2u);
  EXPECT_EQ(calls.OpenedClassLists()[0], L"Button");  // ascending ordinal
  EXPECT_EQ(calls.OpenedClassLists()[1], L"Edit");
  EXPECT_NE(ThemeData(tciButton).Handle, nullptr);
  EXPECT_NE(ThemeData(tciEdit).Handle, nullptr);
  EXPECT_EQ(ThemeData(tciHeader).Handle, nullptr);
}

TEST(ThemeChange, MessageClosesEveryHandleKeepsTheListsAndTellsNotificators) {
  TThemeModuleScope scope;
  ASSERT_NE(OpenThemeHandle(tciButton), nullptr);
  ASSERT_NE(OpenThemeHandle(tciEdit, L"edit"), nullptr);
  TThemeCallCounter calls;
  int told = 0;
  TdxThemeChangedNotificator counting;
  counting.ThemeChangedHandler = [&] {
    ++told;
    // The cache is already closed when a handler runs.
    EXPECT_EQ(ThemeData(tciButton).Handle, nullptr);
  };
  EXPECT_EQ(SendMessageW(ThemeReceiverWindow(), WM_THEMECHANGED, 0, 0), 0);
  EXPECT_EQ(told, 1);
  EXPECT_EQ(calls.Closes(), 2);
  for (int i = 0; i < kThemeClassCount; ++i) EXPECT_EQ(ThemeData(static_cast<ThemeClassId>(i)).Handle, nullptr);
  EXPECT_EQ(ThemeData(tciButton).ClassList, L"Button");
  EXPECT_EQ(ThemeData(tciEdit).ClassList, L"edit");
  EXPECT_TRUE(ThemesActive());
  // The next request reopens with the class list the slot was opened with.
  EXPECT_NE(OpenThemeHandle(tciEdit), nullptr);
  ASSERT_EQ(calls.OpenedClassLists().size(), 1u);
  EXPECT_EQ(calls.OpenedClassLists()[0], L"edit");
}

TEST(ThemeChange, HandlersMayDestroyNotificatorsAndErrorsAreReported) {
  TThemeModuleScope scope;
  ASSERT_NE(OpenThemeHandle(tciButton), nullptr);
  auto first = std::make_unique<TdxThemeChangedNotificator>();
  auto second = std::make_unique<TdxThemeChangedNotificator>();
  int secondCalls = 0;
  // The first handler destroys both, shrinking the list under the round.
  first->ThemeChangedHandler = [&] {
    second.reset();
    first.reset();
  };
  second->ThemeChangedHandler = [&] { ++secondCalls; };
  SendMessageW(ThemeReceiverWindow(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(secondCalls, 0);

  TdxThemeChangedNotificator failing, after;
  int afterCalls = 0;
  failing.ThemeChangedHandler = [] { throw std::runtime_error("theme handler failed"); };
  after.ThemeChangedHandler = [&] { ++afterCalls; };
  ASSERT_NE(OpenThemeHandle(tciButton), nullptr);
  EXPECT_EQ(SendMessageW(ThemeReceiverWindow(), WM_THEMECHANGED, 0, 0), 0);
  ASSERT_EQ(test::ErrorsSeen().size(), 1u);
  EXPECT_EQ(test::ErrorsSeen()[0], "theme handler failed");
  EXPECT_EQ(afterCalls, 0);
  EXPECT_EQ(ThemeData(tciButton).Handle, nullptr);
  test::ErrorsSeen().clear();
}

TEST(ThemeChange, ARealSwitchIsFollowedBothWays) {
  TThemeModuleScope scope;
  test::TVisualStyleGuard restore;
  ASSERT_NE(OpenThemeHandle(tciButton), nullptr);
  int told = 0;
  TdxThemeChangedNotificator notificator;
  notificator.ThemeChangedHandler = [&] { ++told; };

  ASSERT_TRUE(test::SwitchVisualStyleOff());
  ASSERT_TRUE(test::PumpUntil([] { return !ThemesActive(); }));
  EXPECT_GE(told, 1);
  EXPECT_EQ(ThemeData(tciButton).Handle, nullptr);
  ExpectNoVisualStyle();

  ASSERT_TRUE(test::SwitchVisualStyleOn());
  ASSERT_TRUE(test::PumpUntil([] { return ThemesActive(); }));
  EXPECT_TRUE(VisualStylesAvailableForAll({}));
  EXPECT_TRUE(VisualStylesAvailable(tciButton));
  EXPECT_NE(ThemeData(tciButton).Handle, nullptr);
}

TEST(ThemeWrappers, NullEntryPointsAnswerFailureWithoutACall) {
  TThemeModuleScope scope;
  const FARPROC active = ReplaceThemeEntryPoint(uxIsThemeActive, nullptr);
  const FARPROC open = ReplaceThemeEntryPoint(uxOpenThemeData, nullptr);
  const FARPROC size = ReplaceThemeEntryPoint(uxGetThemePartSize, nullptr);
  EXPECT_EQ(lodo::IsThemeActive(), FALSE);
  EXPECT_EQ(lodo::OpenThemeData(nullptr, L"Button"), nullptr);
  SIZE s{};
  EXPECT_EQ(lodo::GetThemePartSize(nullptr, nullptr, 0, 0, TS_TRUE, &s), E_NOTIMPL);
  ReplaceThemeEntryPoint(uxIsThemeActive, active);
  ReplaceThemeEntryPoint(uxOpenThemeData, open);
  ReplaceThemeEntryPoint(uxGetThemePartSize, size);
  EXPECT_NE(lodo::IsThemeActive(), FALSE);
}

TEST(ThemeWrappers, SecondFormsMatchTheFirst) {
  TThemeModuleScope scope;
  const HTHEME button = OpenThemeHandle(tciButton);
  ASSERT_NE(button, nullptr);
  test::TDib a(40, 40), b(40, 40);
  SIZE withRect{}, without{};
  const RECT bounds{0, 0, 40, 40};
  ASSERT_EQ(lodo::GetThemePartSize(button, a.DC(), BP_RADIOBUTTON, RBS_CHECKEDNORMAL, &bounds, TS_TRUE, &withRect),
            S_OK);
  ASSERT_EQ(lodo::GetThemePartSize(button, a.DC(), BP_RADIOBUTTON, RBS_CHECKEDNORMAL, TS_TRUE, &without), S_OK);
  EXPECT_GT(without.cx, 0);
  SIZE direct{};
  using TPartSize = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*);
  reinterpret_cast<TPartSize>(reinterpret_cast<void*>(ThemeEntryPoint(uxGetThemePartSize)))(
      button, a.DC(), BP_RADIOBUTTON, RBS_CHECKEDNORMAL, nullptr, TS_TRUE, &direct);
  EXPECT_EQ(without.cx, direct.cx);
  EXPECT_EQ(without.cy, direct.cy);

  const RECT glyph{4, 4, 4 + without.cx, 4 + without.cy};
  EXPECT_EQ(lodo::DrawThemeBackground(button, a.DC(), BP_RADIOBUTTON, RBS_CHECKEDNORMAL, &glyph, nullptr), S_OK);
  EXPECT_EQ(lodo::DrawThemeBackground(button, b.DC(), BP_RADIOBUTTON, RBS_CHECKEDNORMAL, glyph), S_OK);
  EXPECT_LT(a.Count(RGB(255, 255, 255), bounds), 40 * 40);  // something was drawn
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
}

TEST(ThemeWrappers, AnsiTextDrawsOnlyTheBytesCounted) {
  TThemeModuleScope scope;
  const HTHEME button = OpenThemeHandle(tciButton);
  ASSERT_NE(button, nullptr);
  test::TDib wide(200, 30), ansi(200, 30), whole(200, 30);
  RECT r{0, 0, 200, 30};
  EXPECT_EQ(lodo::DrawThemeText(button, wide.DC(), BP_PUSHBUTTON, PBS_NORMAL, L"Spoji", 3, DT_LEFT | DT_TOP, 0, &r),
            S_OK);
  EXPECT_EQ(lodo::DrawThemeText(button, ansi.DC(), BP_PUSHBUTTON, PBS_NORMAL, std::string_view("Spoji"), 3,
                                DT_LEFT | DT_TOP, 0, &r),
            S_OK);
  EXPECT_EQ(lodo::DrawThemeText(button, whole.DC(), BP_PUSHBUTTON, PBS_NORMAL, std::string_view("Spoji"), -1,
                                DT_LEFT | DT_TOP, 0, &r),
            S_OK);
  bool differs = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x) {
      ASSERT_EQ(wide.Pixel(x, y), ansi.Pixel(x, y)) << x << "," << y;
      differs = differs || wide.Pixel(x, y) != whole.Pixel(x, y);
    }
  EXPECT_TRUE(differs);
}

namespace {

// A parent that selects its own font into the DC it is asked to paint.
LRESULT CALLBACK FontChangingParent(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND || msg == WM_PRINTCLIENT) {
    SelectObject(reinterpret_cast<HDC>(wParam), GetStockObject(ANSI_FIXED_FONT));
    return 1;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

TEST(ThemeWrappers, ParentBackgroundKeepsTheCallersFont) {
  TThemeModuleScope scope;
  WNDCLASSW wc{};
  wc.lpfnWndProc = FontChangingParent;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"lodo.test.FontParent";
  RegisterClassW(&wc);
  HWND parent =
      CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
  HWND child =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, parent, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(child);
  test::TDib dib(50, 20);
  const HGDIOBJ mine = GetStockObject(DEFAULT_GUI_FONT);
  SelectObject(dib.DC(), mine);
  const RECT r{0, 0, 50, 20};
  using TParentBackground = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
  // The library itself leaves the parent's font selected...
  reinterpret_cast<TParentBackground>(reinterpret_cast<void*>(ThemeEntryPoint(uxDrawThemeParentBackground)))(
      child, dib.DC(), &r);
  EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_FONT), GetStockObject(ANSI_FIXED_FONT));
  // ...the wrapper puts the caller's back.
  SelectObject(dib.DC(), mine);
  lodo::DrawThemeParentBackground(child, dib.DC(), &r);
  EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_FONT), mine);
  DestroyWindow(parent);
}

// Run in the classic-style prefix: the library is there, no style is active.
TEST(ThemeClassic, LoadedButInactiveAnswersNoAndWaits) {
  TThemeModuleScope scope;
  TThemeCallCounter calls;
  EXPECT_TRUE(ThemeLibraryLoaded());
  EXPECT_FALSE(ThemesActive());
  ExpectNoVisualStyle();
  EXPECT_EQ(calls.Opens(), 0);
  EXPECT_TRUE(IsWindow(ThemeReceiverWindow()));
  EXPECT_EQ(test::CountHiddenMessageWindows(), 1);
  // A theme message with the style still off changes nothing.
  SendMessageW(ThemeReceiverWindow(), WM_THEMECHANGED, 0, 0);
  EXPECT_FALSE(ThemesActive());
}

// Run with the library disabled.
TEST(ThemeMissing, NotLoadedAnswersNoAndCreatesNoWindow) {
  TThemeModuleScope scope;
  EXPECT_FALSE(ThemeLibraryLoaded());
  EXPECT_FALSE(ThemesActive());
  ExpectNoVisualStyle();
  EXPECT_EQ(ThemeReceiverWindow(), nullptr);
  EXPECT_EQ(test::CountHiddenMessageWindows(), 0);
  EXPECT_EQ(lodo::IsThemeActive(), FALSE);
  for (int i = 0; i < kUxThemeEntryCount; ++i) EXPECT_EQ(ThemeEntryPoint(static_cast<TUxThemeEntry>(i)), nullptr);
  TdxThemeChangedNotificator harmless;
  harmless.ThemeChangedHandler = [] {};
}

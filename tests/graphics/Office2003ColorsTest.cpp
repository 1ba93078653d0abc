// Office 2003 scheme detection from the theme's names and the five colours of
// each scheme, with the name source replaced where Wine has no XP theme.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "controls/Modules.h"
#include "graphics/GraphicsModule.h"
#include "graphics/Office2003Colors.h"
#include "graphics/SelectionTints.h"
#include "graphics/SystemPaletteChanged.h"
#include "tests/support/SysColorsGuard.h"
#include "tests/support/TestSupport.h"
#include "theme/ThemeManager.h"
#include "theme/ThemeModule.h"
#include "theme/UxTheme.h"

using namespace lodo;

namespace {

// Modules started, and the names and version the detection sees.
class Office2003 : public testing::Test {
 protected:
  void Names(std::wstring file, std::wstring color, int major, HRESULT result = S_OK) {
    SetThemeNameSource([=, this] {
      ++FAsked;
      TThemeNames names;
      names.Result = result;
      names.FileName = file;
      names.ColorName = color;
      names.SizeName = L"NormalSize";
      return names;
    });
    SetMajorVersionSource([major] { return major; });
  }
  Office2003Scheme Detect(std::wstring file, std::wstring color, int major) {
    Names(std::move(file), std::move(color), major);
    return DetectOffice2003Scheme();
  }
  void ExpectSystemColours() {
    EXPECT_FALSE(Office2003Themed());
    EXPECT_EQ(Office2003Face(), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(Office2003Highlight(), static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(Office2003Hot(), HotTrackTint());
    EXPECT_EQ(Office2003Pressed(), PressedTint());
    EXPECT_EQ(Office2003Disabled(), static_cast<TColor>(GetSysColor(COLOR_GRAYTEXT)));
  }
  TModulesScope FModules;
  int FAsked = 0;
};

// Only the theme and graphics modules: the notifiers of the libraries above
// (brush cache, root look-and-feel, glyph cache) hold the colours otherwise.
class LoneOffice2003 : public Office2003 {
 protected:
  void SetUp() override {
    FinalizeModules();
    InitializeThemeModule();
    InitializeGraphicsModule();
  }
  void TearDown() override {
    FinalizeGraphicsModule();
    FinalizeThemeModule();
  }
};

constexpr wchar_t kLuna[] = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";

}  // namespace

TEST_F(Office2003, DetectionFollowsTheThemeNames) {
  ASSERT_TRUE(VisualStylesAvailableForAll({}));
  EXPECT_EQ(Detect(kLuna, L"NormalColor", 5), osBlue);
  EXPECT_EQ(Detect(L"c:\\windows\\resources\\themes\\luna\\luna.MSSTYLES", L"homestead", 5), osOlive);
  EXPECT_EQ(Detect(kLuna, L"Metallic", 5), osSilver);
  EXPECT_EQ(Detect(kLuna, L"Royale", 5), osNone);
  // Another theme file on a version-5 system gives none, whatever its colour.
  EXPECT_EQ(Detect(L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", 5), osNone);
  EXPECT_EQ(Detect(L"C:\\Themes\\Luna.msstyles.bak", L"NormalColor", 5), osNone);
  // From version 6 on, the file name does not matter.
  EXPECT_EQ(Detect(L"C:\\Windows\\Resources\\Themes\\Aero\\Aero.msstyles", L"NormalColor", 6), osBlue);
  EXPECT_EQ(Detect(L"light.msstyles", L"normalcolor", 10), osBlue);
  EXPECT_EQ(Detect(L"light.msstyles", L"Blue", 10), osNone);
  // A failing query gives none.
  Names(kLuna, L"NormalColor", 5, E_FAIL);
  EXPECT_EQ(DetectOffice2003Scheme(), osNone);
}

TEST_F(Office2003, WinesOwnThemeIsNoOfficeVariant) {
  const TThemeNames names = CurrentThemeNames();
  ASSERT_EQ(names.Result, S_OK);
  EXPECT_EQ(names.ColorName, L"Blue");
  EXPECT_NE(names.FileName.find(L"light.msstyles"), std::wstring::npos);
  EXPECT_GE(SystemMajorVersion(), 6);
  EXPECT_EQ(DetectOffice2003Scheme(), osNone);
}

TEST_F(Office2003, ThemedSchemesTakeTheirFixedColours) {
  struct {
    const wchar_t* Color;
    Office2003Scheme Scheme;
    COLORREF Face, Highlight;
  } const cases[] = {
      {L"NormalColor", osBlue, RGB(158, 190, 245), RGB(0, 0, 128)},
      {L"HomeStead", osOlive, RGB(217, 217, 167), RGB(63, 93, 56)},
      {L"Metallic", osSilver, RGB(215, 215, 229), RGB(75, 75, 111)},
  };
  for (const auto& c : cases) {
    Names(kLuna, c.Color, 5);
    RefreshOffice2003Colors();
    EXPECT_EQ(Office2003CurrentScheme(), c.Scheme);
    EXPECT_TRUE(Office2003Themed());
    EXPECT_EQ(Office2003Face(), static_cast<TColor>(c.Face));
    EXPECT_EQ(Office2003Highlight(), static_cast<TColor>(c.Highlight));
    EXPECT_EQ(Office2003Hot(), static_cast<TColor>(RGB(255, 244, 204)));
    EXPECT_EQ(Office2003Pressed(), static_cast<TColor>(RGB(255, 211, 142)));
    EXPECT_EQ(Office2003Disabled(), static_cast<TColor>(RGB(141, 141, 141)));
  }
}

TEST_F(Office2003, OtherThemesTakeTheSystemColours) {
  test::TSysColorsGuard restore;
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_BTNFACE, RGB(212, 208, 200)));
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_GRAYTEXT, RGB(128, 128, 120)));
  Names(L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", 5);
  RefreshOffice2003Colors();
  EXPECT_EQ(Office2003CurrentScheme(), osNone);
  ExpectSystemColours();
  EXPECT_EQ(Office2003Face(), static_cast<TColor>(RGB(212, 208, 200)));
  EXPECT_EQ(Office2003Disabled(), static_cast<TColor>(RGB(128, 128, 120)));
}

TEST_F(LoneOffice2003, TheFirstAcquireComputesAndTheCountFollows) {
  ASSERT_EQ(Office2003ColorsUsers(), 0);
  Names(kLuna, L"HomeStead", 5);
  AcquireOffice2003Colors();
  EXPECT_EQ(FAsked, 1);
  EXPECT_EQ(Office2003CurrentScheme(), osOlive);
  AcquireOffice2003Colors();
  EXPECT_EQ(FAsked, 1);  // only the first user computes
  EXPECT_EQ(Office2003ColorsUsers(), 2);
  ReleaseOffice2003Colors();
  ReleaseOffice2003Colors();
  ReleaseOffice2003Colors();  // one too many is ignored
  EXPECT_EQ(Office2003ColorsUsers(), 0);
}

// A visual-style switch alone: WM_THEMECHANGED to every top-level window of
// the thread, as the platform sends it, the theme receiver's and the
// colour-change listener's included. The scheme stays as it was until the
// next system colour change refreshes it. (A real switch under Wine also
// applies the style's colours, which is a colour change of its own.)
TEST_F(LoneOffice2003, AThemeSwitchAloneDoesNotRefreshTheScheme) {
  Names(kLuna, L"HomeStead", 5);
  TcxSystemPaletteChangedNotifier notifier;
  ASSERT_NE(SystemPaletteListenerWindow(), nullptr);
  ASSERT_NE(ThemeReceiverWindow(), nullptr);
  ASSERT_EQ(Office2003CurrentScheme(), osOlive);
  const int asked = FAsked;
  Names(kLuna, L"Metallic", 5);

  int told = 0;
  auto sendThemeChanged = [](HWND window, LPARAM count) -> BOOL {
    SendMessageW(window, WM_THEMECHANGED, 0, 0);
    ++*reinterpret_cast<int*>(count);
    return TRUE;
  };
  EnumThreadWindows(GetCurrentThreadId(), sendThemeChanged, reinterpret_cast<LPARAM>(&told));
  ASSERT_GE(told, 2);
  test::Pump(20);
  EXPECT_EQ(FAsked, asked);
  EXPECT_EQ(Office2003CurrentScheme(), osOlive);
  EXPECT_EQ(Office2003Face(), static_cast<TColor>(RGB(217, 217, 167)));

  SendMessageW(SystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(Office2003CurrentScheme(), osSilver);
  EXPECT_EQ(Office2003Face(), static_cast<TColor>(RGB(215, 215, 229)));
}

// Run in the classic-style prefix: the names are never asked for.
TEST_F(Office2003, ClassicStyleUsesTheSystemColours) {
  ASSERT_FALSE(VisualStylesAvailableForAll({}));
  Names(kLuna, L"NormalColor", 5);
  RefreshOffice2003Colors();
  EXPECT_EQ(FAsked, 0);
  EXPECT_EQ(Office2003CurrentScheme(), osNone);
  ExpectSystemColours();
}

// Run without the visual-styles library.
TEST_F(Office2003, MissingLibraryUsesTheSystemColours) {
  ASSERT_FALSE(ThemeLibraryLoaded());
  Names(kLuna, L"NormalColor", 5);
  RefreshOffice2003Colors();
  EXPECT_EQ(FAsked, 0);
  EXPECT_EQ(Office2003CurrentScheme(), osNone);
  ExpectSystemColours();
}

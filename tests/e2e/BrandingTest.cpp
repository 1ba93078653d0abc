// A helpdesk's own lodo.exe, as its client package holds it, started and read
// from outside: caption, header texts, logo, words, screen-reader names,
// icon and version resource. tests/packaging/branding_test.sh makes the
// package and runs this with LODO_BRANDED_EXE (the exe) and
// LODO_BRANDED_TEXTS (the expected texts, UTF-8 key=value lines); without
// them it is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "framework/DibSection.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Accessibility.h"
#include "tests/support/TestSupport.h"

using namespace lodo::e2e;
using lodo::TDibSection;

namespace {

std::map<std::string, std::wstring> ExpectedTexts(const char* path) {
  std::map<std::string, std::wstring> texts;
  std::ifstream in(HostPath(path), std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t eq = line.find('=');
    if (eq != std::string::npos) texts[line.substr(0, eq)] = lodo::Utf8ToWide(line.substr(eq + 1));
  }
  return texts;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// What a window shows on the screen, its client area from its top-left.
// Read from the screen: another process's window DC gives no pixels.
TDibSection Capture(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  TDibSection picture(client.right, client.bottom);
  lodo::TMemoryDC dc;
  lodo::TSelectGuard select(dc.Get(), picture.Bitmap());
  HDC screen = GetDC(nullptr);
  BitBlt(dc.Get(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return picture;
}

bool Same(const TDibSection& a, const TDibSection& b) {
  return a.PixelCount() == b.PixelCount() && std::equal(a.Bits(), a.Bits() + a.PixelCount(), b.Bits());
}

// The window's picture once it holds still over two reads (a first paint
// reaches the screen when the launcher next waits for messages), at most 5 s.
TDibSection SettledCapture(HWND window) {
  TDibSection last = Capture(window);
  for (int i = 0; i < 50; ++i) {
    lodo::test::Pump(100);
    TDibSection next = Capture(window);
    if (Same(last, next)) return next;
    last = std::move(next);
  }
  return last;
}

// A label's text as GDI draws it in the label's font on the panel's
// background, compared with the header's pixels where the label stands.
::testing::AssertionResult ShowsLabel(const TDibSection& header, POINT at, const std::wstring& text, int height,
                                      bool bold) {
  LOGFONTW lf{};
  lf.lfHeight = -height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcscpy(lf.lfFaceName, L"Tahoma");
  lodo::TGdiObject font(CreateFontIndirectW(&lf));
  TDibSection expected(header.Width(), header.Height());
  const COLORREF background = header.Pixel(header.Width() - 2, header.Height() - 3);
  expected.Fill(background);
  RECT r{at.x, at.y, at.x, at.y};
  {
    lodo::TMemoryDC dc;
    lodo::TSelectGuard select(dc.Get(), expected.Bitmap());
    lodo::TSelectGuard selectFont(dc.Get(), font.Get());
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_NOPREFIX | DT_SINGLELINE);
    GdiFlush();
  }
  int differ = 0, inked = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      differ += header.Pixel(x, y) != expected.Pixel(x, y);
      inked += expected.Pixel(x, y) != background;
    }
  if (differ == 0 && inked > 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differ << " of " << (r.right - r.left) * (r.bottom - r.top)
                                       << " pixels differ from \"" << lodo::WideToUtf8(text) << "\"";
}

bool Reddish(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100; }

}  // namespace

TEST(BrandedWindow, ShowsTheHelpdesksTextsLogoIconAndWords) {
  const char* exe = std::getenv("LODO_BRANDED_EXE");
  const char* textsFile = std::getenv("LODO_BRANDED_TEXTS");
  if (!exe || !textsFile) GTEST_SKIP() << "run by tests/packaging/branding_test.sh";
  const auto texts = ExpectedTexts(textsFile);
  ASSERT_EQ(texts.count("Title") + texts.count("Name") + texts.count("Connect"), 3u);

  lodo::test::TComApartment apartment;
  TProgramFolder folder("lodo branded");
  ASSERT_TRUE(CopyFileA(HostPath(exe).c_str(), folder.ExePath().c_str(), FALSE));
  TLauncher launcher(folder);
  const HWND window = launcher.Window();
  ASSERT_TRUE(window);
  EXPECT_EQ(WindowText(window), texts.at("Title"));

  // The header: four labels in their fonts, and the logo fitted into its box.
  const HWND header = launcher.ChildAt({4, 84});
  const TDibSection picture = SettledCapture(header);
  ASSERT_EQ(picture.Pixel(picture.Width() - 2, picture.Height() - 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(ShowsLabel(picture, {8, 4}, texts.at("Name"), 15, true));
  EXPECT_TRUE(ShowsLabel(picture, {16, 28}, texts.at("Line1"), 11, false));
  EXPECT_TRUE(ShowsLabel(picture, {16, 45}, texts.at("Line2"), 11, false));
  EXPECT_TRUE(ShowsLabel(picture, {16, 60}, texts.at("Line3"), 11, false));
  // The test's 300 x 120 logo, a red rounded box 10 pixels in from each
  // edge: 140 x 56 once fitted, 8 rows from the box's top (at 224, 5).
  const COLORREF background = picture.Pixel(picture.Width() - 2, picture.Height() - 3);
  for (POINT p : {POINT{20, 11}, POINT{20, 62}, POINT{1, 36}, POINT{70, 2}})
    EXPECT_EQ(picture.Pixel(224 + p.x, 5 + p.y), background) << "logo at " << p.x << "," << p.y;
  for (POINT p : {POINT{20, 15}, POINT{20, 58}, POINT{8, 36}, POINT{132, 36}})
    EXPECT_TRUE(Reddish(picture.Pixel(224 + p.x, 5 + p.y))) << "logo at " << p.x << "," << p.y;

  // The words: the panels spell them out, a screen reader reads them whole.
  auto spelled = [](const std::wstring& word) {
    std::wstring s;
    for (wchar_t c : word) s += (s.empty() ? L"" : L" ") + std::wstring(1, c);
    return s;
  };
  for (auto [panel, key] : {std::pair{launcher.ConnectPanel(), "Connect"}, std::pair{launcher.ExitPanel(), "Exit"}}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(WindowText(panel), spelled(texts.at(key)));
    EXPECT_EQ(lodo::test::ReadFacts(lodo::test::ClientObject(panel).Get()).Name, texts.at(key));
  }
  EXPECT_EQ(WindowText(launcher.ChildAt({20, 106})), texts.at("ManualEntry"));
  launcher.ClickManual();
  std::wstring host = texts.at("HostLabel");
  if (!host.empty() && host.back() == L':') host.pop_back();
  EXPECT_EQ(lodo::test::ReadFacts(lodo::test::ClientObject(launcher.HostEdit()).Get()).Name, host);
  launcher.ClickExit();
  EXPECT_TRUE(launcher.WaitExit(15000));

  // The version resource names the helpdesk.
  const std::wstring path = lodo::Utf8ToWide(HostPath(exe));
  std::string info(GetFileVersionInfoSizeW(path.c_str(), nullptr), '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  wchar_t* company = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041A04B0\\CompanyName",
                             reinterpret_cast<void**>(&company), &length));
  EXPECT_EQ(std::wstring(company), texts.count("Company") ? texts.at("Company") : texts.at("Name"));

  // The icon in every size Windows asks for, each of them the helpdesk's
  // (the test's icon is a blue disc).
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module);
  std::set<int> sizes;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(100), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */)) {
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const int count = dir[4] | (dir[5] << 8);
    for (int i = 0; i < count; ++i) sizes.insert(dir[6 + 14 * i] ? dir[6 + 14 * i] : 256);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
  for (int size : sizes) {
    const HICON icon =
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(100), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon) << size;
    TDibSection drawn(size, size);
    {
      lodo::TMemoryDC dc;
      lodo::TSelectGuard select(dc.Get(), drawn.Bitmap());
      drawn.Fill(RGB(255, 255, 255));
      DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
      GdiFlush();
    }
    const COLORREF centre = drawn.Pixel(size / 2, size / 2), corner = drawn.Pixel(0, 0);
    EXPECT_TRUE(GetBValue(centre) > 150 && GetRValue(centre) < 100) << size;
    EXPECT_EQ(corner, RGB(255, 255, 255)) << size;
    DestroyIcon(icon);
  }
  FreeLibrary(module);
}

// Painting the parent's picture under a control into a real DIB section:
// origin shift, clipping, sibling windows with their borders, the themed
// path, and the state put back when a paint fails. Also the small helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controls/ControlHelpers.h"
#include "controls/Modules.h"
#include "controls/ParentBackground.h"
#include "framework/Edit.h"
#include "framework/Exceptions.h"
#include "graphics/Canvas.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/TestSupport.h"
#include "theme/UxTheme.h"

using namespace lodo;

namespace {

constexpr COLORREF kParentColor = RGB(0, 128, 0);
constexpr COLORREF kMarkA = RGB(0, 0, 255);
constexpr COLORREF kMarkB = RGB(255, 0, 0);

// A windowed control of the framework's own class whose paint the test
// writes; it can ask for a plain border.
class TPainted : public TWinControl {
 public:
  explicit TPainted(TComponent* owner, bool border = false) : TWinControl(owner), FBorder(border) {}
  std::function<void(TPainted& self, HDC dc)> OnPaint;
  int Paints = 0;

 protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    if (FBorder) params.Style |= WS_BORDER;
  }
  void PaintWindow(HDC dc) override {
    ++Paints;
    if (OnPaint) OnPaint(*this, dc);
  }

 private:
  bool FBorder;
};

POINT WindowOrigin(HDC dc) {
  POINT p{};
  GetWindowOrgEx(dc, &p);
  return p;
}

void Mark(HDC dc, int x, int y, COLORREF color) { SetPixelV(dc, x, y, color); }

class ParentBackground : public testing::Test {
 protected:
  void SetUp() override {
    FForm.ShowAndWait();
    FParent = new TPainted(FForm.Get());
    FParent->SetParent(FForm.Get());
    FParent->SetBounds(0, 0, 300, 200);
    FParent->SetColor(static_cast<TColor>(kParentColor));
  }

  template <typename T = TWinControl>
  T* AddChild(int left, int top, int width, int height) {
    auto* child = new T(FForm.Get());
    child->SetParent(FParent);
    child->SetBounds(left, top, width, height);
    child->HandleNeeded();
    return child;
  }

  TModulesScope FModules;
  test::TTestForm FForm;
  TPainted* FParent = nullptr;
};

TEST_F(ParentBackground, ParentPaintsWithItsOriginShiftedUnderTheControl) {
  TWinControl* control = AddChild(12, 29, 157, 17);
  test::TOwnDibCanvas target(157, 17);
  POINT originSeen{-1, -1};
  bool copyFlagSeen = false;
  int lockSeen = 0;
  FParent->OnPaint = [&](TPainted& self, HDC dc) {
    originSeen = WindowOrigin(dc);
    copyFlagSeen = (self.ControlState() & csPaintCopy) != 0;
    lockSeen = target.Canvas.Platform().LockCount();
    Mark(dc, 12, 29, kMarkA);
    Mark(dc, 168, 45, kMarkB);
  };
  PaintParentUnderControl(control, *target.Canvas, LocalBounds(control), false);

  EXPECT_EQ(FParent->Paints, 1);
  EXPECT_EQ(originSeen.x, 12);
  EXPECT_EQ(originSeen.y, 29);
  EXPECT_TRUE(copyFlagSeen);
  EXPECT_EQ(lockSeen, 1);
  // The parent's point (12, 29) on the DC's origin, its erase under the rest.
  EXPECT_EQ(target.Dib.Pixel(0, 0), kMarkA);
  EXPECT_EQ(target.Dib.Pixel(156, 16), kMarkB);
  EXPECT_EQ(target.Dib.Count(kParentColor, RECT{0, 0, 157, 17}), 157 * 17 - 2);
  // Everything is as it was.
  const POINT after = WindowOrigin(target.Dib.DC());
  EXPECT_EQ(after.x, 0);
  EXPECT_EQ(after.y, 0);
  EXPECT_EQ(target.Canvas->SavedDCCount(), 0);
  EXPECT_EQ(target.Canvas.Platform().LockCount(), 0);
  EXPECT_EQ(FParent->ControlState() & csPaintCopy, 0u);
}

TEST_F(ParentBackground, NothingIsDrawnWhereTheClipExcludesTheControl) {
  TWinControl* control = AddChild(12, 29, 157, 17);
  test::TOwnDibCanvas target(400, 100);
  // Device pixels (0, 0)-(157, 17) are where the parent's rectangle lands.
  IntersectClipRect(target.Dib.DC(), 200, 50, 400, 100);
  PaintParentUnderControl(control, *target.Canvas, LocalBounds(control), true);
  EXPECT_EQ(FParent->Paints, 0);
  EXPECT_EQ(target.Dib.Count(RGB(255, 255, 255), RECT{0, 0, 400, 100}), 400 * 100);
  EXPECT_EQ(target.Canvas->SavedDCCount(), 0);
  EXPECT_EQ(WindowOrigin(target.Dib.DC()).x, 0);

  // Overlapping the landing place, the parent paints just the clipped part.
  SelectClipRgn(target.Dib.DC(), nullptr);
  IntersectClipRect(target.Dib.DC(), 100, 10, 150, 15);
  PaintParentUnderControl(control, *target.Canvas, LocalBounds(control), true);
  EXPECT_EQ(FParent->Paints, 1);
  EXPECT_EQ(target.Dib.Count(kParentColor, RECT{0, 0, 400, 100}), 50 * 5);

  // A control without a parent gets nothing.
  TWinControl orphan(nullptr);
  orphan.SetBounds(0, 0, 50, 10);
  PaintParentUnderControl(&orphan, *target.Canvas, LocalBounds(&orphan), true);
  EXPECT_EQ(FParent->Paints, 1);
}

TEST_F(ParentBackground, SiblingWindowsBeneathArePaintedWithTheirBorders) {
  auto* edit = AddChild<TEdit>(20, 20, 100, 24);
  edit->SetText(L"Hello there");
  auto* framed = new TPainted(FForm.Get(), true);
  framed->SetParent(FParent);
  framed->SetBounds(150, 40, 40, 15);
  framed->SetColor(static_cast<TColor>(kMarkA));
  framed->HandleNeeded();
  TWinControl* control = AddChild(10, 10, 200, 60);
  auto* later = AddChild<TEdit>(130, 12, 60, 20);
  later->SetColor(static_cast<TColor>(kMarkB));
  test::TOwnDibCanvas target(200, 60);
  PaintParentUnderControl(control, *target.Canvas, LocalBounds(control), true);
  const test::TDib& dib = target.Dib;

  // The edit lies at (10, 10)-(110, 34) in the control: a sunken edge ...
  EXPECT_EQ(dib.Pixel(10, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(dib.Pixel(11, 11), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(dib.Pixel(109, 33), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(dib.Pixel(108, 32), GetSysColor(COLOR_3DLIGHT));
  // ... around its own background and text, which stay inside the edge.
  const RECT content{12, 12, 108, 32};
  const int background = dib.Count(GetSysColor(COLOR_WINDOW), content);
  const int other = 96 * 20 - background;
  EXPECT_GT(background, 96 * 20 / 2);
  EXPECT_GT(other, 20) << "no text drawn";
  EXPECT_EQ(dib.Count(kParentColor, content), 0);
  EXPECT_EQ(edit->ControlState() & csPaintCopy, 0u);

  // The framed sibling at (140, 30)-(180, 45): a one-pixel mono border.
  EXPECT_EQ(dib.Pixel(140, 30), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(dib.Pixel(179, 44), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(dib.Count(kMarkA, RECT{141, 31, 179, 44}), 38 * 13);
  EXPECT_EQ(framed->Paints, 1);

  // The later sibling (120, 2)-(180, 22) lies above the control: not painted.
  EXPECT_EQ(dib.Count(kMarkB, RECT{0, 0, 200, 60}), 0);
  EXPECT_EQ(dib.Pixel(150, 10), kParentColor);
  EXPECT_EQ(dib.Pixel(5, 5), kParentColor);

  // Without the flag only the parent.
  test::TOwnDibCanvas plain(200, 60);
  PaintParentUnderControl(control, *plain.Canvas, LocalBounds(control), false);
  EXPECT_EQ(plain.Dib.Count(kParentColor, RECT{0, 0, 200, 60}), 200 * 60);
  EXPECT_EQ(framed->Paints, 1);
}

TEST_F(ParentBackground, StateIsRestoredWhenAPaintFails) {
  auto* sibling = new TPainted(FForm.Get(), true);
  sibling->SetParent(FParent);
  sibling->SetBounds(20, 20, 50, 30);
  sibling->HandleNeeded();
  TWinControl* control = AddChild(10, 10, 200, 60);
  test::TOwnDibCanvas target(200, 60);
  HDC dc = target.Dib.DC();
  auto expectRestored = [&] {
    EXPECT_EQ(target.Canvas->SavedDCCount(), 0);
    EXPECT_EQ(target.Canvas.Platform().LockCount(), 0);
    EXPECT_EQ(FParent->ControlState() & csPaintCopy, 0u);
    EXPECT_EQ(sibling->ControlState() & csPaintCopy, 0u);
    const POINT origin = WindowOrigin(dc);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, clip), 0) << "a clip region was left behind";
    DeleteObject(clip);
  };

  FParent->OnPaint = [](TPainted&, HDC) { throw Exception("parent paint failed"); };
  EXPECT_THROW(PaintParentUnderControl(control, *target.Canvas, LocalBounds(control), true), Exception);
  EXPECT_EQ(sibling->Paints, 0);
  expectRestored();

  // A sibling failing after its border moved the origin and narrowed the clip.
  FParent->OnPaint = nullptr;
  sibling->OnPaint = [](TPainted&, HDC) { throw Exception("sibling paint failed"); };
  EXPECT_THROW(PaintParentUnderControl(control, *target.Canvas, LocalBounds(control), true), Exception);
  EXPECT_EQ(sibling->Paints, 1);
  expectRestored();
}

// Counts the calls that reach the library's DrawThemeParentBackground.
int gThemedCalls = 0;
HWND gThemedWindow = nullptr;
HDC gThemedDC = nullptr;
HRESULT WINAPI CountThemedCall(HWND window, HDC dc, const RECT*) {
  ++gThemedCalls;
  gThemedWindow = window;
  gThemedDC = dc;
  return S_OK;
}

TEST_F(ParentBackground, DoubleBufferedParentIsCopiedRatherThanThemed) {
  ASSERT_TRUE(ThemeLibraryLoaded());
  TWinControl* control = AddChild(12, 29, 157, 17);
  const FARPROC real = ReplaceThemeEntryPoint(
      uxDrawThemeParentBackground, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&CountThemedCall)));
  gThemedCalls = 0;

  FParent->SetDoubleBuffered(true);
  test::TOwnDibCanvas copied(157, 17);
  PaintThemedParentBackground(control, *copied.Canvas, LocalBounds(control));
  EXPECT_EQ(gThemedCalls, 0);
  EXPECT_EQ(FParent->Paints, 1);
  EXPECT_EQ(copied.Dib.Count(kParentColor, RECT{0, 0, 157, 17}), 157 * 17);

  FParent->SetDoubleBuffered(false);
  test::TOwnDibCanvas themed(157, 17);
  PaintThemedParentBackground(control, *themed.Canvas, LocalBounds(control));
  EXPECT_EQ(gThemedCalls, 1);
  EXPECT_EQ(gThemedWindow, control->Handle());
  EXPECT_EQ(gThemedDC, themed.Dib.DC());
  EXPECT_EQ(FParent->Paints, 1);
  ReplaceThemeEntryPoint(uxDrawThemeParentBackground, real);
}

TEST_F(ParentBackground, HelpersForControls) {
  EXPECT_EQ(ToMouseButtonCode(mbLeft), 1);
  EXPECT_EQ(ToMouseButtonCode(mbRight), 2);
  EXPECT_EQ(ToMouseButtonCode(mbMiddle), 3);
  EXPECT_FALSE(StandardDrawingEmulation());

  // No window: nothing is invalidated and no window is made for it.
  auto* windowless = new TWinControl(FForm.Get());
  windowless->SetBounds(0, 0, 30, 30);
  InvalidateControlRect(windowless, RECT{0, 0, 10, 10}, false);
  EXPECT_FALSE(windowless->HandleAllocated());

  TWinControl* control = AddChild(10, 10, 100, 50);
  const RECT bounds = LocalBounds(control);
  EXPECT_EQ(bounds.right, 100);
  EXPECT_EQ(bounds.bottom, 50);
  test::Pump(30);
  ValidateRect(control->Handle(), nullptr);
  InvalidateControlRect(control, RECT{1, 2, 5, 6}, false);
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(control->Handle(), &update, FALSE));
  EXPECT_EQ(update.left, 1);
  EXPECT_EQ(update.top, 2);
  EXPECT_EQ(update.right, 5);
  EXPECT_EQ(update.bottom, 6);
}

// Run in a process without the visual-styles library.
using ParentBackgroundNoTheme = ParentBackground;

TEST_F(ParentBackgroundNoTheme, ThemedBackgroundFallsBackToTheCopy) {
  ASSERT_FALSE(ThemeLibraryLoaded());
  TWinControl* control = AddChild(12, 29, 157, 17);
  test::TOwnDibCanvas target(157, 17);
  PaintThemedParentBackground(control, *target.Canvas, LocalBounds(control));
  EXPECT_EQ(FParent->Paints, 1);
  EXPECT_EQ(target.Dib.Count(kParentColor, RECT{0, 0, 157, 17}), 157 * 17);
}

}  // namespace

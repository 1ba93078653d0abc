// The observations the benchmarks make of other programs' windows: the main
// window, "nothing left to paint", the painted slot on screen, update areas.
#include <windows.h>

#include <gtest/gtest.h>

#include "bench/WindowWatch.h"
#include "controls/Modules.h"
#include "controls/RadioButton.h"
#include "framework/Panel.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using namespace lodo::bench;

namespace {

class WindowWatch : public testing::Test {
 protected:
  void SetUp() override { FForm->SetColor(clBtnFace); }

  // Two slot columns inside a panel, as the launcher has them.
  TcxRadioButton* AddSlot(TWinControl* parent, int left, int top, const std::wstring& caption) {
    auto* slot = new TcxRadioButton(FForm.Get());
    slot->SetParent(parent);
    slot->SetBounds(left, top, 157, 17);
    slot->SetCaption(caption);
    return slot;
  }
  bool PaintedSoon() {
    return test::PumpUntil([&] { return LauncherPainted(FForm->Handle()); });
  }

  TModulesScope FModules;
  test::TTestForm FForm{384, 200};
};

TEST_F(WindowWatch, MainWindowIsTheVisibleOneWithATitleBar) {
  const DWORD pid = GetCurrentProcessId();
  HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(popup);
  test::Pump();
  EXPECT_EQ(MainWindowOf(pid), nullptr);
  FForm.ShowAndWait();
  EXPECT_EQ(MainWindowOf(pid), FForm->Handle());
  EXPECT_EQ(MainWindowOf(pid + 4), nullptr);
  DestroyWindow(popup);
}

TEST_F(WindowWatch, LauncherCountsAsPaintedOnlyOnceEveryWindowHasDrawnTheLastSlot) {
  auto* panel = new TPanel(FForm.Get());
  panel->SetParent(FForm.Get());
  panel->SetBounds(0, 20, 384, 150);
  panel->SetColor(clBtnFace);
  TcxRadioButton* left = AddSlot(panel, 12, 30, L"Podrška Zagreb");
  TcxRadioButton* last = AddSlot(panel, 215, 30, L"Podrška Koprivnica");
  FForm->Show();
  ASSERT_TRUE(PaintedSoon());
  EXPECT_EQ(LastSlot(FForm->Handle()), last->Handle());

  // Invalidated but not yet painted again: the window system still has work queued.
  RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  EXPECT_FALSE(NothingLeftToPaint(FForm->Handle()));
  EXPECT_FALSE(LauncherPainted(FForm->Handle()));
  EXPECT_TRUE(PaintedSoon());

  // A child's pending paint is enough to wait for.
  InvalidateRect(last->Handle(), nullptr, FALSE);
  EXPECT_FALSE(NothingLeftToPaint(FForm->Handle()));
  EXPECT_FALSE(LauncherPainted(FForm->Handle()));
  EXPECT_TRUE(PaintedSoon());

  // Something else on screen over the slot is not its paint.
  const RECT r = [&] {
    RECT w{};
    GetWindowRect(last->Handle(), &w);
    return w;
  }();
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                               r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(cover);
  test::Pump(50);
  EXPECT_FALSE(LauncherPainted(FForm->Handle()));
  DestroyWindow(cover);
  EXPECT_TRUE(PaintedSoon());

  // A glyph without caption ink is not the complete slot.
  last->SetCaption(L"");
  test::Pump(50);
  EXPECT_FALSE(LauncherPainted(FForm->Handle()));

  // A hidden slot is not the last one.
  last->SetVisible(false);
  EXPECT_EQ(LastSlot(FForm->Handle()), left->Handle());
  EXPECT_TRUE(PaintedSoon());
}

// The same-parts yardstick's slots are the system's own buttons.
TEST_F(WindowWatch, TheLastSlotMayBeASystemButtonDrawnByItsOwner) {
  TcxRadioButton* slot = AddSlot(FForm.Get(), 12, 30, L"Podrška Zagreb");
  FForm.ShowAndWait();
  HWND plain = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 215, 30, 157, 17,
                               FForm->Handle(), nullptr, nullptr, nullptr);
  ASSERT_TRUE(plain);
  EXPECT_EQ(LastSlot(FForm->Handle()), plain);
  // A button that draws itself is no slot.
  SetWindowLongPtrW(plain, GWL_STYLE, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
  EXPECT_EQ(LastSlot(FForm->Handle()), slot->Handle());
  DestroyWindow(plain);
}

TEST_F(WindowWatch, BareWindowCountsAsPaintedInTheButtonFaceColourOnly) {
  FForm.ShowAndWait();
  EXPECT_TRUE(test::PumpUntil([&] { return BarePainted(FForm->Handle()); }));
  InvalidateRect(FForm->Handle(), nullptr, FALSE);
  EXPECT_FALSE(BarePainted(FForm->Handle()));
  FForm->SetColor(clWhite);
  test::Pump(50);
  EXPECT_FALSE(BarePainted(FForm->Handle()));
}

TEST_F(WindowWatch, UpdateAreaCountsOverlapsOnceAndIsEmptyAfterThePaint) {
  FForm.ShowAndWait();
  HWND window = FForm->Handle();
  UpdateWindow(window);
  EXPECT_EQ(UpdateArea(window).Pixels, 0);
  const RECT a{10, 10, 30, 30}, b{20, 20, 40, 40};
  InvalidateRect(window, &a, FALSE);
  InvalidateRect(window, &b, FALSE);
  const TUpdateArea area = UpdateArea(window);
  EXPECT_EQ(area.Pixels, 400 + 400 - 100);
  EXPECT_EQ(area.Box.left, 10);
  EXPECT_EQ(area.Box.top, 10);
  EXPECT_EQ(area.Box.right, 40);
  EXPECT_EQ(area.Box.bottom, 40);
  UpdateWindow(window);
  const TUpdateArea after = UpdateArea(window);
  EXPECT_EQ(after.Pixels, 0);
  EXPECT_TRUE(IsRectEmpty(&after.Box));
}

}  // namespace

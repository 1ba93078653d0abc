// Keyboard navigation: the first focus, Tab and Shift+Tab through nested
// panels, and arrow keys among the children of one parent.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/ButtonControl.h"
#include "framework/Edit.h"
#include "framework/Panel.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

// edit A | panel { edit B, unchecked radio, panel { edit C } } | edit D (disabled) | edit E
struct TLayout {
  TEdit* A;
  TEdit* B;
  TEdit* C;
  TEdit* D;
  TEdit* E;
  TRadioButton* Radio;
};

TLayout Build(TForm& form) {
  TLayout l{};
  auto edit = [&form](TWinControl* parent, int top) {
    auto* e = test::Place<TEdit>(parent);
    e->SetTop(top);
    return e;
  };
  l.A = edit(&form, 0);
  auto* outer = test::Place<TPanel>(&form, 0, 30, 300, 150);
  l.B = edit(outer, 5);
  l.Radio = test::Place<TRadioButton>(outer);
  l.Radio->SetTop(35);
  auto* inner = test::Place<TPanel>(outer, 5, 60, 200, 50);
  l.C = edit(inner, 5);
  l.D = edit(&form, 190);
  l.D->SetEnabled(false);
  l.E = edit(&form, 220);
  return l;
}

TWinControl* Focused() { return TWinControl::FindControl(GetFocus()); }

using test::Press;

}  // namespace

TEST(Focus, TheFirstKeyboardStopInTabOrderGetsTheFirstFocus) {
  test::TTestForm form;
  TLayout l = Build(*form);
  // Tab order, not creation order, decides.
  l.E->SetTabOrder(0);
  form.ShowAndWait();
  EXPECT_TRUE(test::PumpUntil([&] { return l.E->Focused(); }));
  EXPECT_EQ(form->ActiveControl(), l.E);
}

TEST(Focus, TabAndShiftTabWalkThroughNestedPanelsSkippingNonStops) {
  test::TTestForm form;
  TLayout l = Build(*form);
  form.ShowAndWait();
  ASSERT_TRUE(test::PumpUntil([&] { return l.A->Focused(); }));

  const std::vector<TWinControl*> forward{l.B, l.C, l.E, l.A};
  for (TWinControl* expected : forward) {
    Press(VK_TAB);
    EXPECT_EQ(Focused(), expected);
  }
  const std::vector<TWinControl*> backward{l.E, l.C, l.B, l.A};
  for (TWinControl* expected : backward) {
    Press(VK_TAB, true);
    EXPECT_EQ(Focused(), expected);
  }
  EXPECT_EQ(form->ActiveControl(), l.A);

  // A checked radio button is a stop, an unchecked one is not.
  l.Radio->SetChecked(true);
  Press(VK_TAB);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), l.Radio);
}

TEST(Focus, ArrowKeysMoveAmongTheChildrenOfOneParent) {
  test::TTestForm form;
  auto* group = test::Place<TPanel>(form.Get(), 0, 0, 300, 120);
  TRadioButton* radio[3];
  for (int i = 0; i < 3; ++i) radio[i] = test::Place<TRadioButton>(group, 10, 10 + 30 * i, 100, 20);
  auto* outside = test::Place<TEdit>(form.Get());
  outside->SetTop(150);
  radio[0]->SetChecked(true);
  form.ShowAndWait();
  radio[0]->SetFocus();
  ASSERT_TRUE(radio[0]->Focused());

  int clicks[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) radio[i]->OnClick = [&clicks, i](TControl*) { ++clicks[i]; };
  Press(VK_DOWN);
  EXPECT_EQ(Focused(), radio[1]);
  // Arriving by keyboard on an unchecked radio button checks it.
  EXPECT_TRUE(radio[1]->Checked());
  EXPECT_FALSE(radio[0]->Checked());
  EXPECT_EQ(clicks[1], 1);
  Press(VK_RIGHT);
  EXPECT_EQ(Focused(), radio[2]);
  // The walk wraps within the parent and never leaves it.
  Press(VK_DOWN);
  EXPECT_EQ(Focused(), radio[0]);
  Press(VK_UP);
  EXPECT_EQ(Focused(), radio[2]);
  Press(VK_LEFT);
  EXPECT_EQ(Focused(), radio[1]);

  // An edit keeps its arrow keys for the caret.
  outside->SetFocus();
  outside->SetText(L"ab");
  Press(VK_LEFT);
  EXPECT_EQ(Focused(), outside);
}

// Focused() answers from the control's own record of the focus messages:
// after every kind of move it must agree with the system's focus.
TEST(Focus, EveryControlKnowsWhetherItHasTheFocusAsTheSystemDoes) {
  test::TTestForm form;
  TLayout l = Build(*form);
  form.ShowAndWait();
  const std::vector<TWinControl*> all{l.A, l.B, l.C, l.D, l.E, l.Radio, form.Get()};
  auto agree = [&](const char* step) {
    for (TWinControl* c : all)
      EXPECT_EQ(c->Focused(), c->HandleAllocated() && GetFocus() == c->Handle()) << step << ", " << c->Name();
  };
  ASSERT_TRUE(test::PumpUntil([&] { return GetFocus() == l.A->Handle(); }));
  agree("first focus");
  Press(VK_TAB);
  agree("tab");
  l.C->SetFocus();
  agree("SetFocus");
  test::MouseClickAt(l.E->ClientToScreen(POINT{5, 5}));
  agree("click");
  // Hiding the focused control moves the focus on; destroying a window
  // with the focus leaves none behind in it.
  l.E->SetVisible(false);
  test::Pump(20);
  agree("hidden");
  l.B->SetFocus();
  l.B->DestroyHandle();
  test::Pump(20);
  agree("destroyed");
  SetFocus(nullptr);
  agree("no focus");
  l.Radio->SetFocus();
  l.Radio->RecreateWnd();
  agree("made anew");
}

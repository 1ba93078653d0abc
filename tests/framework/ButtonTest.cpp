// The standard radio button's group rule on one parent and the check box's
// click rule, through direct calls, button notifications and the real mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "framework/ButtonControl.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/framework/Recorder.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using test::TRecorder;

namespace {

bool HasTabStopStyle(TWinControl& control) {
  return (GetWindowLongPtrW(control.Handle(), GWL_STYLE) & WS_TABSTOP) != 0;
}

LRESULT WindowCheck(TWinControl& control) { return SendMessageW(control.Handle(), BM_GETCHECK, 0, 0); }

struct TGroup {
  TRecorder<TPanel>* Panel;
  TRadioButton* Radio[3];
  TRadioButton* Elsewhere;
  TCheckBox* Check;
  int Clicks[3] = {0, 0, 0};
};

void MakeGroup(TForm& form, TGroup& g) {
  g.Panel = test::Place<TRecorder<TPanel>>(&form, 0, 0, 300, 150);
  for (int i = 0; i < 3; ++i) {
    g.Radio[i] = test::Place<TRadioButton>(g.Panel, 10, 10 + 25 * i, 120, 20);
    g.Radio[i]->SetCaption(L"slot " + std::to_wstring(i + 1));
    g.Radio[i]->OnClick = [&g, i](TControl*) { ++g.Clicks[i]; };
  }
  g.Check = test::Place<TCheckBox>(g.Panel, 150, 10, 100, 20);
  g.Elsewhere = test::Place<TRadioButton>(&form, 10, 200, 120, 20);
}

}  // namespace

TEST(RadioButton, CheckingUnchecksTheSiblingsAndMovesTheTabStop) {
  test::WithTestForm([](TForm& form) {
    TGroup g;
    MakeGroup(form, g);
    g.Elsewhere->SetChecked(true);
    g.Check->SetChecked(true);
    EXPECT_FALSE(g.Radio[0]->TabStop());

    g.Radio[0]->SetChecked(true);
    EXPECT_TRUE(g.Radio[0]->TabStop());
    EXPECT_TRUE(HasTabStopStyle(*g.Radio[0]));
    EXPECT_EQ(WindowCheck(*g.Radio[0]), BST_CHECKED);
    EXPECT_EQ(g.Clicks[0], 1);

    g.Radio[1]->SetChecked(true);
    EXPECT_FALSE(g.Radio[0]->Checked());
    EXPECT_FALSE(g.Radio[0]->TabStop());
    EXPECT_FALSE(HasTabStopStyle(*g.Radio[0]));
    EXPECT_EQ(WindowCheck(*g.Radio[0]), BST_UNCHECKED);
    EXPECT_TRUE(g.Radio[1]->TabStop());
    EXPECT_EQ(g.Panel->Count(FM_BUTTONCHECKED, reinterpret_cast<LPARAM>(g.Radio[1])), 1);
    // Unchecking fires nothing; other parents and other kinds are left alone.
    EXPECT_EQ(g.Clicks[0], 1);
    EXPECT_EQ(g.Clicks[1], 1);
    EXPECT_TRUE(g.Elsewhere->Checked());
    EXPECT_TRUE(g.Check->Checked());

    g.Radio[1]->SetChecked(true);
    EXPECT_EQ(g.Clicks[1], 1);
    g.Radio[1]->SetChecked(false);
    EXPECT_EQ(g.Clicks[1], 1);
    EXPECT_FALSE(g.Radio[0]->Checked());
    EXPECT_FALSE(g.Radio[2]->Checked());
    EXPECT_FALSE(g.Radio[1]->TabStop());
  });
}

TEST(RadioButton, TheButtonsClickNotificationChecksItOnce) {
  test::WithTestForm([](TForm& form) {
    TGroup g;
    MakeGroup(form, g);
    g.Radio[0]->SetChecked(true);

    SendMessageW(g.Radio[2]->Handle(), BM_CLICK, 0, 0);
    test::Pump(20);
    EXPECT_TRUE(g.Radio[2]->Checked());
    EXPECT_FALSE(g.Radio[0]->Checked());
    EXPECT_EQ(g.Clicks[2], 1);
    // The checked one clicked again: nothing changes, nothing fires.
    SendMessageW(g.Radio[2]->Handle(), BM_CLICK, 0, 0);
    test::Pump(20);
    EXPECT_EQ(g.Clicks[2], 1);

    // While clicks are disabled the notification is dropped.
    g.Radio[1]->SetClicksDisabled(true);
    SendMessageW(g.Panel->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(g.Radio[1]->Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(g.Radio[1]->Handle()));
    EXPECT_FALSE(g.Radio[1]->Checked());
    g.Radio[1]->SetClicksDisabled(false);
    SendMessageW(g.Panel->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(g.Radio[1]->Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(g.Radio[1]->Handle()));
    EXPECT_TRUE(g.Radio[1]->Checked());
    EXPECT_EQ(g.Clicks[1], 1);

    // Checking with clicks disabled still applies the group rule, silently.
    g.Radio[0]->SetClicksDisabled(true);
    g.Radio[0]->SetChecked(true);
    EXPECT_FALSE(g.Radio[1]->Checked());
    EXPECT_EQ(g.Clicks[0], 1);
  });
}

TEST(RadioButton, TakingTheFocusWithTheMouseIsNotAClick) {
  test::WithTestForm([](TForm& form) {
    TGroup g;
    MakeGroup(form, g);
    g.Radio[0]->SetChecked(true);
    g.Radio[0]->SetFocus();
    test::Pump(20);

    // Pressed on an unfocused button and released outside it: no click.
    const POINT inside = g.Radio[1]->ClientToScreen(POINT{8, 10});
    test::MoveMouseTo(inside);
    test::MouseDown();
    EXPECT_TRUE(g.Radio[1]->Focused());
    EXPECT_FALSE(g.Radio[1]->Checked());
    test::MoveMouseTo(g.Panel->ClientToScreen(POINT{280, 140}));
    test::MouseUp();
    EXPECT_FALSE(g.Radio[1]->Checked());
    EXPECT_EQ(g.Clicks[1], 0);
    EXPECT_TRUE(g.Radio[0]->Checked());

    // A whole click on an unfocused one checks it once.
    test::MouseClickAt(g.Radio[2]->ClientToScreen(POINT{8, 10}));
    EXPECT_TRUE(g.Radio[2]->Checked());
    EXPECT_EQ(g.Clicks[2], 1);
    EXPECT_FALSE(g.Radio[0]->Checked());
  });
}

TEST(CheckBox, EveryChangeOfStateClicksAndTheSameStateDoesNot) {
  test::WithTestForm([](TForm& form) {
    auto* check = test::Place<TCheckBox>(&form);
    check->SetCaption(L"manual");
    int clicks = 0;
    check->OnClick = [&clicks](TControl*) { ++clicks; };
    check->SetChecked(true);
    check->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(WindowCheck(*check), BST_CHECKED);
    check->SetChecked(false);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(WindowCheck(*check), BST_UNCHECKED);

    test::MouseClickAt(check->ClientToScreen(POINT{8, 8}));
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(WindowCheck(*check), BST_CHECKED);
    EXPECT_EQ(clicks, 3);
    test::MouseClickAt(check->ClientToScreen(POINT{8, 8}));
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(clicks, 4);

    // A window made later shows the state set before it existed.
    auto* late = new TCheckBox(&form);
    late->SetChecked(true);
    late->SetParent(&form);
    late->SetTop(40);
    EXPECT_EQ(WindowCheck(*late), BST_CHECKED);
  });
}

// One double-click raises OnDblClick once, whichever control takes it: the
// button classes, whose window also reports double-clicks to the parent, and
// the windowed and graphic controls that only see the mouse messages.
TEST(DoubleClick, OneEventPerDoubleClickOnEveryControl) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TPanel>(&form, 0, 0, 380, 280);
    auto* radio = new TRadioButton(&form);
    radio->SetCaption(L"radio");
    auto* check = new TCheckBox(&form);
    check->SetCaption(L"check");
    auto* edit = new TEdit(&form);
    edit->SetText(L"one two");
    auto* label = new TLabel(&form);
    label->SetCaption(L"label label");
    auto* inner = new TPanel(&form);
    std::vector<std::pair<TControl*, int>> cases;
    int top = 10;
    for (TControl* c : std::initializer_list<TControl*>{radio, check, edit, label, inner}) {
      c->SetParent(panel);
      c->SetBounds(20, top, 120, 24);
      top += 40;
      cases.emplace_back(c, 0);
    }
    for (auto& [control, count] : cases) {
      control->OnDblClick = [&count = count](TControl*) { ++count; };
    }
    test::Pump(30);
    for (auto& [control, count] : cases) {
      SCOPED_TRACE(control->ClassName());
      test::MouseDoubleClickAt(control->ClientToScreen(POINT{8, 10}));
      test::Pump(20);
      EXPECT_EQ(count, 1);
      // Far enough apart in time that the next control's first click is no double-click.
      Sleep(GetDoubleClickTime() + 50);
    }
  });
}

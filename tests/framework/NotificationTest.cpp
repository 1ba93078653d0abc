// The framework's own notifications: mouse enter and leave, enabled and
// system-colour changes, accelerators, and the shared tooltip window.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/Application.h"
#include "framework/ButtonControl.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/framework/Recorder.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using test::TRecorder;

namespace {

POINT CentreOnScreen(TControl& control) {
  return control.ClientToScreen(POINT{control.Width() / 2, control.Height() / 2});
}

bool ToolRegistered(HWND tooltip, HWND parent, HWND tool) {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = parent;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  return SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

// The tooltip windows of this thread (the shared one, once made).
std::vector<HWND> ThreadTooltips() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

TEST(Notifications, MouseEnterAndLeaveNameTheControlToItsParent) {
  test::WithTestForm([](TForm& form) {
    auto* outer = test::Place<TRecorder<TPanel>>(&form, 0, 0, 300, 200);
    auto* inner = test::Place<TPanel>(outer, 20, 20, 80, 60);
    auto* label = test::Place<TLabel>(outer);
    label->SetAutoSize(false);
    label->SetBounds(150, 20, 80, 40);
    int innerEnter = 0, innerLeave = 0, outerEnter = 0, labelEnter = 0, labelLeave = 0;
    inner->OnMouseEnter = [&](TControl*) { ++innerEnter; };
    inner->OnMouseLeave = [&](TControl*) { ++innerLeave; };
    outer->OnMouseEnter = [&](TControl*) { ++outerEnter; };
    label->OnMouseEnter = [&](TControl*) { ++labelEnter; };
    label->OnMouseLeave = [&](TControl*) { ++labelLeave; };
    const auto innerId = reinterpret_cast<LPARAM>(inner);
    const auto labelId = reinterpret_cast<LPARAM>(label);

    // A notification naming another control is passed on but fires nothing.
    inner->Perform(FM_MOUSEENTER, 0, labelId);
    EXPECT_EQ(innerEnter, 0);
    EXPECT_EQ(outer->Count(FM_MOUSEENTER, labelId), 1);
    inner->Perform(FM_MOUSEENTER, 0, 0);
    EXPECT_EQ(innerEnter, 1);
    EXPECT_EQ(outer->Count(FM_MOUSEENTER, innerId), 1);
    EXPECT_EQ(outerEnter, 0);

    // The real pointer over a windowed and over a graphic child.
    test::MoveMouseTo(outer->ClientToScreen(POINT{250, 150}));
    outer->Seen.clear();
    innerEnter = 0;
    test::MoveMouseTo(CentreOnScreen(*inner));
    EXPECT_TRUE(test::PumpUntil([&] { return innerEnter == 1; }));
    EXPECT_EQ(outer->Count(FM_MOUSEENTER, innerId), 1);
    test::MoveMouseTo(CentreOnScreen(*label));
    EXPECT_TRUE(test::PumpUntil([&] { return innerLeave == 1 && labelEnter == 1; }));
    EXPECT_EQ(outer->Count(FM_MOUSELEAVE, innerId), 1);
    EXPECT_EQ(outer->Count(FM_MOUSEENTER, labelId), 1);
    test::MoveMouseTo(outer->ClientToScreen(POINT{250, 150}));
    EXPECT_TRUE(test::PumpUntil([&] { return labelLeave == 1; }));
    EXPECT_EQ(outer->Count(FM_MOUSELEAVE, labelId), 1);
    EXPECT_EQ(innerEnter, 1);
    EXPECT_EQ(labelEnter, 1);
  });
}

TEST(Notifications, EnabledChangeIsToldOncePerChange) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TRecorder<TPanel>>(&form);
    auto* label = test::Place<TRecorder<TLabel>>(&form);
    panel->SetEnabled(false);
    panel->SetEnabled(false);
    label->SetEnabled(false);
    EXPECT_EQ(panel->Count(FM_ENABLEDCHANGED), 1);
    EXPECT_EQ(label->Count(FM_ENABLEDCHANGED), 1);
    EXPECT_FALSE(IsWindowEnabled(panel->Handle()));
    panel->SetEnabled(true);
    EXPECT_EQ(panel->Count(FM_ENABLEDCHANGED), 2);
    EXPECT_TRUE(IsWindowEnabled(panel->Handle()));
  });
}

TEST(Notifications, TheFormPassesSystemColourChangesToEveryControl) {
  test::WithTestForm([](TForm& form) {
    auto* outer = test::Place<TRecorder<TPanel>>(&form);
    auto* inner = test::Place<TRecorder<TPanel>>(outer);
    auto* label = test::Place<TRecorder<TLabel>>(inner);
    auto* check = test::Place<TRecorder<TCheckBox>>(inner);
    SendMessageW(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(outer->Count(FM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(inner->Count(FM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(label->Count(FM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(check->Count(FM_SYSCOLORCHANGE), 1);
  });
}

TEST(Notifications, AcceleratorsGiveTheFocusAndConsumeTheKey) {
  EXPECT_EQ(AcceleratorChar(L"&Beta"), L'B');
  EXPECT_EQ(AcceleratorChar(L"Fish && &Chips"), L'C');
  EXPECT_EQ(AcceleratorChar(L"A&&B"), 0);
  EXPECT_EQ(AcceleratorChar(L"End&"), 0);

  test::TTestForm form;
  auto* edit = test::Place<TEdit>(form.Get());
  auto* panel = test::Place<TPanel>(form.Get(), 0, 40, 300, 100);
  auto* check = test::Place<TCheckBox>(panel);
  check->SetCaption(L"&Beta");
  auto* radio = test::Place<TRadioButton>(panel);
  radio->SetTop(30);
  radio->SetCaption(L"&Gamma");
  auto* off = test::Place<TCheckBox>(panel);
  off->SetTop(60);
  off->SetCaption(L"&Off");
  off->SetEnabled(false);
  int clicks = 0;
  check->OnClick = [&clicks](TControl*) { ++clicks; };
  form.ShowAndWait();
  edit->SetFocus();

  // An edit takes plain characters as text, not as accelerators.
  test::SendKeyInput('G');
  test::PumpApplication(50);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->Text(), L"g");

  test::SendKeyInput('B', false, true);
  test::PumpApplication(50);
  EXPECT_TRUE(check->Focused());
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(clicks, 1);

  // From a button a plain character is enough.
  test::SendKeyInput('G');
  test::PumpApplication(50);
  EXPECT_TRUE(radio->Focused());

  // A disabled control cannot take it.
  test::SendKeyInput('O', false, true);
  test::PumpApplication(50);
  EXPECT_TRUE(radio->Focused());
  EXPECT_FALSE(off->Checked());
  EXPECT_EQ(edit->Text(), L"g");
}

TEST(Notifications, AControlWithAHintGetsATipInTheSharedTooltipWindow) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TPanel>(&form, 0, 0, 200, 100);
    auto* tipped = new TPanel(&form);
    tipped->SetHint(L"destination address");
    tipped->SetShowHint(true);
    tipped->SetParent(panel);
    tipped->SetBounds(10, 10, 50, 30);

    const HWND tooltip = Application->TooltipWindow();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
    EXPECT_TRUE(ToolRegistered(tooltip, panel->Handle(), tipped->Handle()));
    // The tip's text is asked for when shown: the control's hint.
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = tooltip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(tipped->Handle());
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = TTF_IDISHWND;
    SendMessageW(panel->Handle(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"destination address");

    // The tip follows the window when the parent makes its windows anew.
    panel->RecreateWnd();
    ASSERT_TRUE(tipped->HandleAllocated());
    EXPECT_TRUE(ToolRegistered(tooltip, panel->Handle(), tipped->Handle()));

    tipped->SetShowHint(false);
    EXPECT_FALSE(ToolRegistered(tooltip, panel->Handle(), tipped->Handle()));
  });
}

TEST(Notifications, TheTooltipWindowComesWithTheFirstHoverAndShowsTheTipFromIt) {
  test::WithTestForm([](TForm& form) {
    test::MoveMouseTo(form.ClientToScreen(POINT{390, 290}));
    auto* tipped = new TPanel(&form);
    tipped->SetHint(L"destination address");
    tipped->SetShowHint(true);
    tipped->SetParent(&form);
    tipped->SetBounds(10, 10, 120, 40);
    test::Pump(50);
    // Shown, with a control that has a hint, and no tooltip window yet.
    EXPECT_TRUE(ThreadTooltips().empty());

    test::MoveMouseTo(CentreOnScreen(*tipped));
    ASSERT_EQ(ThreadTooltips().size(), 1u);
    const HWND tooltip = ThreadTooltips()[0];
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(tooltip) != FALSE; }));
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    ASSERT_TRUE(SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.uId, reinterpret_cast<UINT_PTR>(tipped->Handle()));
    // The application hands out the same window, made once.
    EXPECT_EQ(Application->TooltipWindow(), tooltip);
    test::MoveMouseTo(form.ClientToScreen(POINT{390, 290}));
  });
}

// Message dispatch: windows bound to their objects, the handler chain, errors
// kept inside the window procedure, and notifications handed back to the
// child control they concern.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/ButtonControl.h"
#include "framework/Edit.h"
#include "framework/Exceptions.h"
#include "framework/Label.h"
#include "framework/MessageWindow.h"
#include "framework/Panel.h"
#include "tests/framework/Recorder.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using test::TRecorder;

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// A push button drawn by its owner: the parent's WM_DRAWITEM must come back here.
class TOwnerDrawButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
  int Draws = 0;
  void WndProc(TMessage& message) override {
    if (message.Msg == RN_DRAWITEM) {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
      FillRect(item->hDC, &item->rcItem, red);
      DeleteObject(red);
      ++Draws;
      message.Result = TRUE;
      return;
    }
    TButtonControl::WndProc(message);
  }

 protected:
  void CreateParams(TCreateParams& params) override {
    TButtonControl::CreateParams(params);
    params.SystemClass = L"BUTTON";
    params.Style |= BS_OWNERDRAW;
  }
};

}  // namespace

TEST(Dispatch, EveryWindowIsBoundToItsObjectFromCreationUntilNcDestroy) {
  test::WithTestForm([](TForm& form) {
    auto* panel = new TRecorder<TPanel>(&form);
    auto* edit = new TRecorder<TEdit>(&form);
    auto* check = new TRecorder<TCheckBox>(&form);
    panel->SetParent(&form);
    edit->SetParent(&form);
    check->SetParent(&form);
    check->SetTop(50);

    EXPECT_EQ(ClassOf(panel->Handle()), L"lodo.Window");
    EXPECT_EQ(ClassOf(edit->Handle()), L"lodo.EDIT");
    EXPECT_EQ(ClassOf(check->Handle()), L"lodo.BUTTON");
    EXPECT_EQ(TWinControl::FindControl(panel->Handle()), panel);
    EXPECT_EQ(TWinControl::FindControl(edit->Handle()), edit);
    EXPECT_EQ(TWinControl::FindControl(check->Handle()), check);
    // The creation messages already reached the objects.
    EXPECT_EQ(panel->Count(WM_NCCREATE), 1);
    EXPECT_EQ(edit->Count(WM_CREATE), 1);
    EXPECT_EQ(check->Count(WM_CREATE), 1);

    // The system procedure of the superclassed class still does its work.
    edit->SetText(L"abc");
    EXPECT_EQ(SendMessageW(edit->Handle(), WM_GETTEXTLENGTH, 0, 0), 3);
    SendMessageW(check->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);

    const HWND oldEdit = edit->Handle();
    edit->DestroyHandle();
    EXPECT_EQ(edit->Count(WM_NCDESTROY), 1);
    EXPECT_FALSE(IsWindow(oldEdit));
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_EQ(edit->Text(), L"abc");

    // A window the system destroys behind the framework's back is unbound too.
    const HWND oldCheck = check->Handle();
    DestroyWindow(oldCheck);
    EXPECT_FALSE(check->HandleAllocated());
    EXPECT_EQ(TWinControl::FindControl(oldCheck), nullptr);

    // The next use makes a fresh window, bound to the same object.
    const HWND again = edit->Handle();
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(TWinControl::FindControl(again), edit);
    EXPECT_EQ(edit->Count(WM_NCCREATE), 2);
  });
}

TEST(Dispatch, PerformAndTheWindowSystemReachTheSameHandlerChain) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TRecorder<TPanel>>(&form);
    panel->OnMessage = [](TMessage& m) {
      if (m.Msg != WM_APP + 1) return false;
      m.Result = 40 + static_cast<LRESULT>(m.WParam);
      return true;
    };
    EXPECT_EQ(panel->Perform(WM_APP + 1, 1, 0), 41);
    EXPECT_EQ(SendMessageW(panel->Handle(), WM_APP + 1, 2, 0), 42);
    EXPECT_EQ(panel->Count(WM_APP + 1), 2);

    // What the control does not handle goes to the system's procedure.
    auto* edit = test::Place<TEdit>(&form);
    SetWindowTextW(edit->Handle(), L"hello");
    EXPECT_EQ(edit->Perform(WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(edit->Text(), L"hello");

    // A graphic control has no system procedure behind it.
    auto* label = test::Place<TRecorder<TLabel>>(&form);
    EXPECT_EQ(label->Perform(WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(label->Count(WM_GETTEXTLENGTH), 1);
  });
}

// The control keeps its text; the window's follows it, and a change made
// on the window from outside comes back into the control.
TEST(Dispatch, AControlKeepsItsTextInStepWithItsWindow) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TRecorder<TPanel>>(&form);
    panel->SetCaption(L"one");
    wchar_t shown[16] = {};
    GetWindowTextW(panel->Handle(), shown, 16);
    EXPECT_STREQ(shown, L"one");
    SetWindowTextW(panel->Handle(), L"two");
    EXPECT_EQ(panel->Caption(), L"two");
    SetWindowTextA(panel->Handle(), "three");
    EXPECT_EQ(panel->Caption(), L"three");
    // Reading it asks the window nothing.
    const int asked = panel->Count(WM_GETTEXT) + panel->Count(WM_GETTEXTLENGTH);
    for (int i = 0; i < 3; ++i) (void)panel->Caption();
    EXPECT_EQ(panel->Count(WM_GETTEXT) + panel->Count(WM_GETTEXTLENGTH), asked);
    // A text set on the control after an outside change still changes both.
    panel->SetCaption(L"one");
    GetWindowTextW(panel->Handle(), shown, 16);
    EXPECT_STREQ(shown, L"one");
    EXPECT_EQ(panel->Caption(), L"one");
    // The text a window is made with is the control's.
    panel->RecreateWnd();
    GetWindowTextW(panel->Handle(), shown, 16);
    EXPECT_STREQ(shown, L"one");
  });
}

TEST(Dispatch, AnExceptionNeverCrossesTheWindowProcedure) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TRecorder<TPanel>>(&form, 0, 0, 100, 100);
    bool throwInPaint = false;
    panel->OnMessage = [&throwInPaint](TMessage& m) {
      if (m.Msg == WM_APP + 2) throw Exception("handler failed");
      if (m.Msg == WM_APP + 3) throw 7;
      if (m.Msg == WM_PAINT && throwInPaint) throw EInvalidOperation("paint failed");
      return false;
    };
    test::Pump(30);
    test::ErrorsSeen().clear();

    EXPECT_EQ(SendMessageW(panel->Handle(), WM_APP + 2, 0, 0), 0);
    ASSERT_EQ(test::ErrorsSeen().size(), 1u);
    EXPECT_EQ(test::ErrorsSeen()[0], "handler failed");

    // Through the message loop, and for something that is not a std::exception.
    PostMessageW(panel->Handle(), WM_APP + 3, 0, 0);
    PostMessageW(panel->Handle(), WM_APP + 4, 0, 0);
    test::PumpApplication(30);
    ASSERT_EQ(test::ErrorsSeen().size(), 2u);
    EXPECT_EQ(test::ErrorsSeen()[1], "Unknown error");
    EXPECT_EQ(panel->Count(WM_APP + 4), 1);

    // A failed paint is reported once, not repeated forever.
    throwInPaint = true;
    InvalidateRect(panel->Handle(), nullptr, FALSE);
    test::Pump(100);
    throwInPaint = false;
    EXPECT_EQ(test::ErrorsSeen().size(), 3u);
    EXPECT_EQ(test::ErrorsSeen().back(), "paint failed");

    // An event handler that throws is contained as well.
    auto* check = test::Place<TCheckBox>(&form);
    check->SetTop(120);
    check->OnClick = [](TControl*) { throw Exception("click failed"); };
    SendMessageW(check->Handle(), BM_CLICK, 0, 0);
    test::Pump(30);
    EXPECT_EQ(test::ErrorsSeen().back(), "click failed");
    EXPECT_TRUE(check->Checked());
    test::ErrorsSeen().clear();
  });
}

TEST(Dispatch, ParentsHandCommandsDrawItemsAndColoursBackToTheChild) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TRecorder<TPanel>>(&form, 0, 0, 300, 200);
    auto* check = test::Place<TRecorder<TCheckBox>>(panel, 10, 10, 100, 20);
    SendMessageW(check->Handle(), BM_CLICK, 0, 0);
    test::Pump(20);
    EXPECT_EQ(panel->Count(WM_COMMAND, reinterpret_cast<LPARAM>(check->Handle())), 1);
    ASSERT_EQ(check->Count(RN_COMMAND), 1);
    for (const test::TSeen& s : check->Seen) {
      if (s.Msg == RN_COMMAND) {
        EXPECT_EQ(HIWORD(s.WParam), BN_CLICKED);
      }
    }

    // A command naming no control (a menu or accelerator) is not reflected.
    panel->Perform(WM_COMMAND, 5, 0);
    EXPECT_EQ(check->Count(RN_COMMAND), 1);

    auto* drawn = test::Place<TOwnerDrawButton>(panel, 10, 40, 60, 30);
    test::Pump(50);
    EXPECT_GE(drawn->Draws, 1);
    EXPECT_GE(panel->Count(WM_DRAWITEM), 1);
    test::TDib dib(60, 30);
    dib.CaptureClient(drawn->Handle());
    EXPECT_EQ(dib.Pixel(30, 15), RGB(255, 0, 0));

    // The edit fills its background with the brush its own colour gives.
    auto* edit = test::Place<TRecorder<TEdit>>(panel, 10, 80, 120, 24);
    edit->SetColor(clLime);
    test::Pump(50);
    EXPECT_GE(edit->Count(RN_CTLCOLOREDIT), 1);
    RECT client{};
    GetClientRect(edit->Handle(), &client);
    test::TDib editDib(client.right, client.bottom, RGB(1, 2, 3));
    editDib.CaptureClient(edit->Handle());
    EXPECT_EQ(editDib.Pixel(client.right - 3, client.bottom / 2), RGB(0, 255, 0));
  });
}

TEST(Dispatch, TheFocusedControlSeesKeysBeforeTheirNormalProcessing) {
  test::TTestForm form;
  auto* edit = test::Place<TRecorder<TEdit>>(form.Get());
  edit->OnMessage = [](TMessage& m) {
    if (m.Msg == RN_KEYDOWN && m.WParam == 'Q') {
      m.Result = 1;  // taken: the window never sees the key
      return true;
    }
    if (m.Msg == RN_KEYDOWN && m.WParam == 'X') throw Exception("key failed");
    return false;
  };
  form.ShowAndWait();
  edit->SetFocus();
  test::ErrorsSeen().clear();

  test::SendKeyInput('W');
  test::PumpApplication(50);
  test::SendKeyInput('Q');
  test::PumpApplication(50);
  test::SendKeyInput('X');
  test::PumpApplication(50);

  int reflectedW = -1, normalW = -1, normalQ = 0;
  for (size_t i = 0; i < edit->Seen.size(); ++i) {
    const test::TSeen& s = edit->Seen[i];
    if (s.Msg == RN_KEYDOWN && s.WParam == 'W' && reflectedW < 0) reflectedW = static_cast<int>(i);
    if (s.Msg == WM_KEYDOWN && s.WParam == 'W' && normalW < 0) normalW = static_cast<int>(i);
    if (s.Msg == WM_KEYDOWN && s.WParam == 'Q') ++normalQ;
  }
  ASSERT_GE(reflectedW, 0);
  EXPECT_GT(normalW, reflectedW);
  EXPECT_EQ(normalQ, 0);
  // A key whose handler failed is dropped too.
  EXPECT_EQ(edit->Text(), L"w");
  ASSERT_EQ(test::ErrorsSeen().size(), 1u);
  EXPECT_EQ(test::ErrorsSeen()[0], "key failed");
  test::ErrorsSeen().clear();
}

TEST(Dispatch, HiddenMessageWindowsContainErrorsToo) {
  TMessageWindow window([](TMessage& m) {
    if (m.Msg == WM_APP + 5) throw Exception("listener failed");
    if (m.Msg == WM_APP + 6) throw 6;
    if (m.Msg != WM_APP + 7) return false;
    m.Result = 77;
    return true;
  });
  test::ErrorsSeen().clear();
  EXPECT_EQ(SendMessageW(window.Handle(), WM_APP + 5, 0, 0), 0);
  EXPECT_EQ(SendMessageW(window.Handle(), WM_APP + 6, 0, 0), 0);
  EXPECT_EQ(SendMessageW(window.Handle(), WM_APP + 7, 0, 0), 77);
  EXPECT_EQ(test::ErrorsSeen(), (std::vector<std::string>{"listener failed", "Unknown error"}));
  test::ErrorsSeen().clear();
}

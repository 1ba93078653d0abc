// The radio button read through the real accessibility layer: what
// AccessibleObjectFromWindow gives for it, its default action, the WinEvents
// of every change, and an object kept after the button is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "controls/Modules.h"
#include "controls/RadioButton.h"
#include "framework/Accessible.h"
#include "tests/support/Accessibility.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using test::ComPtr;
using test::StateText;

namespace {

class RadioButtonAccessibleTest : public test::TErrorFreeTest {
 protected:
  void SetUp() override {
    TErrorFreeTest::SetUp();
    FForm.ShowAndWait();
  }

  TcxRadioButton* Add(int top, const std::wstring& caption, const std::wstring& hint) {
    auto* b = test::Place<TcxRadioButton>(FForm.Get(), 12, top, 157, 17);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->OnClick = [this](TControl* sender) { Clicks.push_back(sender); };
    b->HandleNeeded();
    return b;
  }

  std::vector<TControl*> Clicks;
  test::TComApartment FApartment;
  TModulesScope FModules;
  test::TTestForm FForm{300, 200};
};

LONG StatesOf(IAccessible* object) { return test::ReadFacts(object).State; }

// Stands in for the window's standard object, which on Windows takes the
// focus on accSelect (Wine's does nothing), and notes whether it was still
// held once the focus had run the button's code.
class TFocusingStandard : public TAccessible {
 public:
  using TAccessible::TAccessible;
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override {
    ::SetFocus(Window);
    HeldAfterFocus = AddRef() > 2;  // the test's reference, the caller's hold, this one
    Release();
    return S_OK;
  }
  HWND Window = nullptr;
  bool HeldAfterFocus = false;
};
TcxRadioButton* gStandardFor = nullptr;
TFocusingStandard* gStandard = nullptr;

HRESULT WINAPI MakeFocusingStandard(HWND window, LONG, REFIID, void** object) {
  static bool making = false;
  *object = nullptr;
  if (making) return E_FAIL;  // the stand-in's own standard object
  making = true;
  gStandard = new TFocusingStandard(*gStandardFor);
  making = false;
  gStandard->Window = window;
  gStandard->AddRef();  // the test's
  *object = static_cast<IAccessible*>(gStandard);
  return S_OK;
}

LRESULT WINAPI FailToMarshal(REFIID, WPARAM, LPUNKNOWN) { return E_OUTOFMEMORY; }

}  // namespace

TEST_F(RadioButtonAccessibleTest, ReadsAsARadioButtonWithItsCaptionStateAndAddress) {
  TcxRadioButton* split = Add(10, L"Helpdesk &Split", L"split.example::5500");
  TcxRadioButton* rd = Add(35, L"R&&D", L"");
  split->SetChecked(true);
  split->SetFocus();
  test::Pump(20);

  ComPtr<IAccessible> object = test::ClientObject(split->Handle());
  ASSERT_TRUE(object);
  test::TAccessibleFacts facts = test::ReadFacts(object.Get());
  EXPECT_TRUE(facts.Failures.empty());
  EXPECT_EQ(facts.Role, ROLE_SYSTEM_RADIOBUTTON);
  EXPECT_EQ(facts.Name, L"Helpdesk Split");
  EXPECT_EQ(facts.State & ~STATE_SYSTEM_HOTTRACKED,
            STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE)
      << StateText(facts.State);
  EXPECT_EQ(facts.Description, L"split.example::5500");
  BSTR help = nullptr;  // UI Automation reads the help, not the description
  EXPECT_EQ(object->get_accHelp(test::SelfChild(), &help), S_OK);
  EXPECT_EQ(test::Narrow(help ? help : L""), "split.example::5500");
  SysFreeString(help);
  EXPECT_EQ(facts.Shortcut, L"Alt+S");
  EXPECT_EQ(facts.DefaultAction, L"Check");
  RECT window{};
  GetWindowRect(split->Handle(), &window);
  EXPECT_TRUE(EqualRect(&facts.Location, &window));
  // The same object answers every time.
  EXPECT_EQ(test::ClientObject(split->Handle()).Get(), object.Get());

  // Two ampersands show one and give no shortcut; no hint, no description.
  facts = test::ReadFacts(test::ClientObject(rd->Handle()).Get());
  EXPECT_EQ(facts.Name, L"R&D");
  EXPECT_EQ(facts.State & ~STATE_SYSTEM_HOTTRACKED, STATE_SYSTEM_FOCUSABLE) << StateText(facts.State);
  EXPECT_EQ(facts.Shortcut, L"");
  EXPECT_EQ(facts.Description, L"");

  // Parent and navigation come from the window's standard object.
  ComPtr<IDispatch> parent;
  EXPECT_EQ(object->get_accParent(parent.GetAddressOf()), S_OK);
  EXPECT_TRUE(parent);
  HWND found = nullptr;
  EXPECT_EQ(WindowFromAccessibleObject(object.Get(), &found), S_OK);
  EXPECT_EQ(found, split->Handle());
}

TEST_F(RadioButtonAccessibleTest, StateFollowsEnabledVisibleHotAndPressed) {
  TcxRadioButton* b = Add(10, L"Zagreb", L"zg.example");
  b->SetChecked(true);
  ComPtr<IAccessible> object = test::ClientObject(b->Handle());
  ASSERT_TRUE(object);

  test::MoveMouseTo(b->ClientToScreen({5, 150}));
  test::MoveMouseTo(b->ClientToScreen({60, 8}));
  test::Pump(30);
  EXPECT_TRUE(StatesOf(object.Get()) & STATE_SYSTEM_HOTTRACKED) << StateText(StatesOf(object.Get()));
  test::MouseDown();
  test::Pump(30);
  EXPECT_TRUE(StatesOf(object.Get()) & STATE_SYSTEM_PRESSED) << StateText(StatesOf(object.Get()));
  test::MouseUp();
  test::Pump(30);
  EXPECT_FALSE(StatesOf(object.Get()) & STATE_SYSTEM_PRESSED);

  b->SetEnabled(false);
  EXPECT_EQ(StatesOf(object.Get()), STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED)
      << StateText(StatesOf(object.Get()));
  b->SetEnabled(true);
  b->SetVisible(false);
  EXPECT_TRUE(StatesOf(object.Get()) & STATE_SYSTEM_INVISIBLE);
  EXPECT_FALSE(StatesOf(object.Get()) & STATE_SYSTEM_FOCUSABLE);
  test::MoveMouseTo(b->ClientToScreen({5, 150}));
}

TEST_F(RadioButtonAccessibleTest, DefaultActionChecksOnceAfterTheCallReturnsWithOneStateChange) {
  TcxRadioButton* first = Add(10, L"Prvi", L"first.example");
  TcxRadioButton* second = Add(35, L"Drugi", L"second.example");
  first->SetChecked(true);
  Clicks.clear();
  ComPtr<IAccessible> object = test::ClientObject(second->Handle());
  ASSERT_TRUE(object);
  test::TWinEventLog events(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, GetCurrentProcessId());
  ASSERT_TRUE(events.Hooked());

  const VARIANT self = test::SelfChild();
  EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
  // Posted, not run inside the call.
  EXPECT_TRUE(Clicks.empty());
  EXPECT_FALSE(second->Checked());
  test::Pump(50);
  EXPECT_EQ(Clicks, std::vector<TControl*>{second});
  EXPECT_TRUE(second->Checked());
  EXPECT_FALSE(first->Checked());
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, second->Handle()), 1);
  EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, first->Handle()), 1);
  EXPECT_TRUE(StatesOf(object.Get()) & STATE_SYSTEM_CHECKED);

  // Checking the checked one again is no click and no change.
  events.Clear();
  EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
  test::Pump(50);
  EXPECT_EQ(Clicks.size(), 1u);
  EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, second->Handle()), 0);

  // A disabled button cannot be checked from outside either.
  first->SetEnabled(false);
  EXPECT_EQ(test::ClientObject(first->Handle())->accDoDefaultAction(self), E_FAIL);
  test::Pump(50);
  EXPECT_FALSE(first->Checked());
  EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(RadioButtonAccessibleTest, TakingTheFocusThroughTheStandardObjectHoldsItWhileTheButtonsCodeRuns) {
  test::TImportPatch patch("oleacc.dll", "CreateStdAccessibleObject", reinterpret_cast<void*>(&MakeFocusingStandard));
  ASSERT_TRUE(patch.Active());
  TcxRadioButton* b = Add(10, L"Zagreb", L"zg.example");
  gStandardFor = b;
  ComPtr<IAccessible> object = test::ClientObject(b->Handle());
  ASSERT_TRUE(object && gStandard);
  // The click ends the window's objects, as closing the window would.
  b->OnClick = [&](TControl*) { DisconnectAccessible(b->Handle()); };
  EXPECT_EQ(object->accSelect(SELFLAG_TAKEFOCUS, test::SelfChild()), S_OK);
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(gStandard->HeldAfterFocus);
  gStandard->Release();
}

// Where no object of ours can be handed out, the request gets the window's
// default answer (0: the standard object stands in): when marshalling fails,
// and on a thread in the multithreaded apartment, whose callers could reach
// an object from any thread.
TEST(RadioButtonAccessibleFallbackTest, TheStandardObjectAnswersWhereOursCannotBeHandedOut) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  TModulesScope modules;
  test::TTestForm form{300, 200};
  form.ShowAndWait();
  auto* b = test::Place<TcxRadioButton>(form.Get());
  b->SetHint(L"zg.example");
  b->HandleNeeded();
  auto ask = [&] { return SendMessageW(b->Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)); };
  EXPECT_EQ(ask(), 0);
  CoUninitialize();
  {
    test::TImportPatch patch("oleacc.dll", "LresultFromObject", reinterpret_cast<void*>(&FailToMarshal));
    ASSERT_TRUE(patch.Active());
    EXPECT_EQ(ask(), 0);
  }
  ComPtr<IAccessible> ours = test::ClientObject(b->Handle());
  ASSERT_TRUE(ours);
  EXPECT_EQ(test::ReadFacts(ours.Get()).Description, L"zg.example");
}

TEST_F(RadioButtonAccessibleTest, EveryChangeIsAnnouncedOnce) {
  TcxRadioButton* b = Add(10, L"Zagreb", L"zg.example");
  TcxRadioButton* other = Add(35, L"Split", L"st.example");
  test::MoveMouseTo(b->ClientToScreen({5, 150}));
  test::TWinEventLog events(EVENT_OBJECT_CREATE, EVENT_OBJECT_END, GetCurrentProcessId());
  ASSERT_TRUE(events.Hooked());
  const HWND w = b->Handle();
  auto countAfter = [&](const std::function<void()>& change, DWORD event) {
    events.Clear();
    change();
    test::Pump(30);
    return events.Count(event, w);
  };

  EXPECT_EQ(countAfter([&] { b->SetChecked(true); }, EVENT_OBJECT_STATECHANGE), 1);
  EXPECT_EQ(countAfter([&] { b->SetChecked(true); }, EVENT_OBJECT_STATECHANGE), 0);
  EXPECT_EQ(countAfter([&] { other->SetChecked(true); }, EVENT_OBJECT_STATECHANGE), 1);
  EXPECT_EQ(countAfter([&] { b->SetEnabled(false); }, EVENT_OBJECT_STATECHANGE), 1);
  EXPECT_EQ(countAfter([&] { b->SetEnabled(true); }, EVENT_OBJECT_STATECHANGE), 1);
  EXPECT_EQ(countAfter([&] { b->SetCaption(L"Rijeka"); }, EVENT_OBJECT_NAMECHANGE), 1);
  EXPECT_EQ(countAfter([&] { b->SetCaption(L"Rijeka"); }, EVENT_OBJECT_NAMECHANGE), 0);
  EXPECT_EQ(countAfter([&] { b->SetHintAnsi("ri.example"); }, EVENT_OBJECT_DESCRIPTIONCHANGE), 1);
  EXPECT_EQ(countAfter([&] { b->SetHint(L"ri.example"); }, EVENT_OBJECT_DESCRIPTIONCHANGE), 0);

  // Pressing the unchecked button and releasing on it: pressed, checked,
  // released; moving over it (hot) announces nothing.
  EXPECT_EQ(countAfter([&] { test::MoveMouseTo(b->ClientToScreen({60, 8})); }, EVENT_OBJECT_STATECHANGE), 0);
  EXPECT_EQ(countAfter([&] { test::MouseDown(); }, EVENT_OBJECT_STATECHANGE), 1);
  EXPECT_EQ(countAfter([&] { test::MouseUp(); }, EVENT_OBJECT_STATECHANGE), 2);
  EXPECT_TRUE(b->Checked());
  test::MoveMouseTo(b->ClientToScreen({5, 150}));
}

// Screen readers keep their references: once the button is gone, its object
// answers every question with an error and reads nothing of what was freed.
// Also registered to run with Wine's heap poisoning.
TEST_F(RadioButtonAccessibleTest, ObjectKeptAfterTheButtonIsDestroyedAnswersDisconnected) {
  TcxRadioButton* b = Add(10, L"Zagreb", L"zg.example");
  ComPtr<IAccessible> object = test::ClientObject(b->Handle());
  ASSERT_TRUE(object);
  ASSERT_EQ(object->accDoDefaultAction(test::SelfChild()), S_OK);
  delete b;
  test::Pump(30);
  // The posted action went with the window.
  EXPECT_TRUE(Clicks.empty());
  for (HRESULT hr : test::AskEverything(object.Get())) EXPECT_EQ(hr, CO_E_OBJNOTCONNECTED);
  HWND window = nullptr;
  ComPtr<IOleWindow> oleWindow;
  ASSERT_EQ(object.As(&oleWindow), S_OK);
  EXPECT_EQ(oleWindow->GetWindow(&window), CO_E_OBJNOTCONNECTED);
}

TEST_F(RadioButtonAccessibleTest, ANewWindowGetsANewObjectAndTheOldOneIsCutOff) {
  TcxRadioButton* b = Add(10, L"Zagreb", L"zg.example");
  ComPtr<IAccessible> before = test::ClientObject(b->Handle());
  ASSERT_TRUE(before);
  b->SetAlignment(taLeftJustify);  // re-creates the window
  ComPtr<IAccessible> after = test::ClientObject(b->Handle());
  ASSERT_TRUE(after);
  EXPECT_NE(before.Get(), after.Get());
  EXPECT_EQ(test::ReadFacts(after.Get()).Name, L"Zagreb");
  for (HRESULT hr : test::AskEverything(before.Get())) EXPECT_EQ(hr, CO_E_OBJNOTCONNECTED);
}

// A screen reader in another apartment (another process, or as here another
// thread) holds a proxy: once the button is gone the proxy is cut off too.
TEST_F(RadioButtonAccessibleTest, ACallerInAnotherApartmentIsCutOffWhenTheButtonGoes) {
  TcxRadioButton* b = Add(10, L"Zagreb", L"zg.example");
  const HWND window = b->Handle();
  std::atomic<int> stage{0};
  HRESULT before = E_FAIL;
  std::vector<HRESULT> after;
  std::thread reader([&] {
    test::TComApartment apartment;
    ComPtr<IAccessible> object = test::ClientObject(window);
    if (object) before = object->get_accRole(test::SelfChild(), &std::array<VARIANT, 1>{}[0]);
    stage = 1;
    while (stage != 2) Sleep(5);
    if (object) after = test::AskEverything(object.Get());
    object.Reset();
    stage = 3;
  });
  // This thread serves the calls while it pumps.
  const bool read = test::PumpUntil([&] { return stage == 1; }, 10000);
  delete b;
  stage = 2;
  const bool asked = test::PumpUntil([&] { return stage == 3; }, 10000);
  reader.join();
  ASSERT_TRUE(read && asked);
  EXPECT_EQ(before, S_OK);
  ASSERT_FALSE(after.empty());
  // Windows answers for a disconnected object with RPC_E_DISCONNECTED, Wine
  // with the unknown interface of its dropped stub; the object itself would
  // answer CO_E_OBJNOTCONNECTED if the proxy still reached it.
  for (HRESULT hr : after)
    EXPECT_TRUE(hr == RPC_E_DISCONNECTED || hr == HRESULT_FROM_WIN32(RPC_S_UNKNOWN_IF)) << std::hex << hr;
}

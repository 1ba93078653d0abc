// Framework controls read through the real accessibility layer: a panel with
// a click handler as a push button, an edit named by its label, the spoken
// form of spelled-out captions, and objects kept after their control is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Accessible.h"
#include "framework/ButtonControl.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/support/Accessibility.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using test::ComPtr;
using test::StateText;

namespace {

class AccessibleControlsTest : public test::TErrorFreeTest {
 protected:
  void SetUp() override {
    TErrorFreeTest::SetUp();
    FForm.ShowAndWait();
  }

  TPanel* AddPanel(const std::wstring& caption, bool clickable) {
    auto* panel = test::Place<TPanel>(FForm.Get(), 10, 150, 192, 39);
    panel->SetCaption(caption);
    if (clickable) panel->OnClick = [this](TControl*) { ++Clicks; };
    panel->HandleNeeded();
    return panel;
  }

  int Clicks = 0;
  test::TComApartment FApartment;
  test::TTestForm FForm{400, 200};
};

// The window's standard client object, made directly.
ComPtr<IAccessible> StandardObject(HWND window) {
  ComPtr<IAccessible> object;
  CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                            reinterpret_cast<void**>(object.GetAddressOf()));
  return object;
}

}  // namespace

TEST(SpokenCaption, SpelledOutLettersReadAsTheirWord) {
  EXPECT_EQ(SpokenCaption(L"S P A J A N J E"), L"SPAJANJE");
  EXPECT_EQ(SpokenCaption(L"I Z L A Z"), L"IZLAZ");
  EXPECT_EQ(SpokenCaption(L" I Z L A Z "), L"IZLAZ");
  EXPECT_EQ(SpokenCaption(L"S P O J I  S E"), L"SPOJI SE");
  EXPECT_EQ(SpokenCaption(L"\u010C \u0160 \u017D"), L"\u010C\u0160\u017D");
  // Nothing spelled: the caption as it stands, spaces and all.
  for (const wchar_t* same : {L"Ru\u010Dni unos", L"Plan B", L"A  B", L"1 2 3", L"A", L"", L"Glavni  ured"})
    EXPECT_EQ(SpokenCaption(same), same);
}

TEST_F(AccessibleControlsTest, PanelWithAClickHandlerIsAPushButtonThatPressesAfterTheCall) {
  TPanel* panel = AddPanel(L"S P A J A N J E", true);
  ComPtr<IAccessible> object = test::ClientObject(panel->Handle());
  ASSERT_TRUE(object);
  test::TAccessibleFacts facts = test::ReadFacts(object.Get());
  EXPECT_TRUE(facts.Failures.empty());
  EXPECT_EQ(facts.Role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(facts.Name, L"SPAJANJE");
  // Not a keyboard stop, so not focusable.
  EXPECT_EQ(facts.State, 0) << StateText(facts.State);
  EXPECT_EQ(facts.DefaultAction, L"Press");
  EXPECT_EQ(facts.Description, L"");
  RECT window{};
  GetWindowRect(panel->Handle(), &window);
  EXPECT_TRUE(EqualRect(&facts.Location, &window));

  EXPECT_EQ(object->accDoDefaultAction(test::SelfChild()), S_OK);
  EXPECT_EQ(Clicks, 0);
  test::Pump(30);
  EXPECT_EQ(Clicks, 1);
  // The keyboard order is untouched.
  EXPECT_FALSE(panel->TabStop());
  EXPECT_FALSE(GetWindowLongPtrW(panel->Handle(), GWL_STYLE) & WS_TABSTOP);

  panel->SetEnabled(false);
  EXPECT_EQ(test::ReadFacts(object.Get()).State, STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(object->accDoDefaultAction(test::SelfChild()), E_FAIL);
  test::Pump(30);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(AccessibleControlsTest, PanelWithoutAClickHandlerStaysThePlatformsPane) {
  TPanel* panel = AddPanel(L"I Z L A Z", false);
  ComPtr<IAccessible> object = test::ClientObject(panel->Handle());
  ASSERT_TRUE(object);
  const test::TAccessibleFacts facts = test::ReadFacts(object.Get());
  const test::TAccessibleFacts standard = test::ReadFacts(StandardObject(panel->Handle()).Get());
  EXPECT_EQ(facts.Role, standard.Role);
  EXPECT_NE(facts.Role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(facts.Name, standard.Name);
  EXPECT_EQ(facts.DefaultAction, L"");

  // A handler given later makes it a button at the next question.
  panel->OnClick = [this](TControl*) { ++Clicks; };
  object = test::ClientObject(panel->Handle());
  ASSERT_TRUE(object);
  EXPECT_EQ(test::ReadFacts(object.Get()).Role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(test::ReadFacts(object.Get()).Name, L"IZLAZ");
  // And taken away again, the object answers as the pane once more.
  panel->OnClick = nullptr;
  EXPECT_EQ(test::ReadFacts(object.Get()).Role, standard.Role);
  EXPECT_EQ(object->accDoDefaultAction(test::SelfChild()),
            StandardObject(panel->Handle())->accDoDefaultAction(test::SelfChild()));
  test::Pump(30);
  EXPECT_EQ(Clicks, 0);
}

TEST_F(AccessibleControlsTest, EditIsNamedByTheLabelBeforeItAndIsOtherwiseTheStandardEdit) {
  auto* row = test::Place<TPanel>(FForm.Get(), 0, 0, 400, 33);
  test::Place<TCheckBox>(row, 12, 9, 82, 17)->SetCaption(L"Ru\u010Dni unos");
  auto* unnamed = test::Place<TEdit>(row, 100, 5, 60, 24);
  test::Place<TLabel>(row, 170, 8, 0, 0)->SetCaption(L"Hostname:");
  auto* edit = test::Place<TEdit>(row, 240, 5, 150, 24);
  edit->SetText(L"host.example");

  ComPtr<IAccessible> object = test::ClientObject(edit->Handle());
  ASSERT_TRUE(object);
  const test::TAccessibleFacts facts = test::ReadFacts(object.Get());
  const test::TAccessibleFacts standard = test::ReadFacts(StandardObject(edit->Handle()).Get());
  EXPECT_EQ(facts.Name, L"Hostname");
  EXPECT_EQ(facts.Role, standard.Role);
  EXPECT_EQ(facts.State, standard.State) << StateText(facts.State);
  EXPECT_EQ(facts.DefaultAction, standard.DefaultAction);
  // The value (the text, where the platform's edit object gives it) too.
  BSTR value = nullptr, standardValue = nullptr;
  EXPECT_EQ(object->get_accValue(test::SelfChild(), &value),
            StandardObject(edit->Handle())->get_accValue(test::SelfChild(), &standardValue));
  EXPECT_EQ(std::wstring(value ? value : L""), std::wstring(standardValue ? standardValue : L""));
  SysFreeString(value);
  SysFreeString(standardValue);

  // After a check box, not a label: the standard object's name.
  EXPECT_EQ(test::ReadFacts(test::ClientObject(unnamed->Handle()).Get()).Name,
            test::ReadFacts(StandardObject(unnamed->Handle()).Get()).Name);
}

// Also registered to run with Wine's heap poisoning.
TEST_F(AccessibleControlsTest, ObjectsKeptAfterTheirControlsAreDestroyedAnswerDisconnected) {
  TPanel* panel = AddPanel(L"S P A J A N J E", true);
  auto* edit = test::Place<TEdit>(FForm.Get(), 10, 10, 100, 24);
  ComPtr<IAccessible> panelObject = test::ClientObject(panel->Handle());
  ComPtr<IAccessible> editObject = test::ClientObject(edit->Handle());
  ASSERT_TRUE(panelObject);
  ASSERT_TRUE(editObject);
  // An action still on its way when the panel goes is dropped with the window.
  ASSERT_EQ(panelObject->accDoDefaultAction(test::SelfChild()), S_OK);
  delete panel;
  delete edit;
  test::Pump(30);
  EXPECT_EQ(Clicks, 0);
  for (IAccessible* object : {panelObject.Get(), editObject.Get()})
    for (HRESULT hr : test::AskEverything(object)) EXPECT_EQ(hr, CO_E_OBJNOTCONNECTED);
}

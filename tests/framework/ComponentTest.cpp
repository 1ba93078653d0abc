// Ownership and destruction: owners destroy what they own, holders of a
// reference hear of its end, windows go with their parents without leaving
// objects behind, and the assign protocol refuses unknown pairs.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Edit.h"
#include "framework/Exceptions.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/framework/Recorder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/Tombstone.h"

using namespace lodo;

namespace {

std::vector<std::string> gLog;

class TLogged : public TComponent {
 public:
  // Named before joining the owner, so the owner's notice can say who came.
  TLogged(TComponent* owner, std::string name) : TComponent(nullptr) {
    SetName(std::move(name));
    if (owner) owner->InsertComponent(this);
  }
  ~TLogged() override { gLog.push_back("~" + Name()); }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    gLog.push_back(Name() + (operation == TOperation::opInsert ? " +" : " -") + component->Name());
  }
};

class TApple : public TPersistent {};
class TPear : public TPersistent {
 protected:
  // Pears know how to become apples.
  void AssignTo(TPersistent* dest) override {
    if (dynamic_cast<TApple*>(dest)) return;
    TPersistent::AssignTo(dest);
  }
};

}  // namespace

TEST(Component, AnOwnerDestroysWhatItOwnsNewestFirst) {
  gLog.clear();
  auto* owner = new TLogged(nullptr, "owner");
  auto* a = new TLogged(owner, "a");
  new TLogged(owner, "b");
  new TLogged(a, "a1");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(gLog, (std::vector<std::string>{"owner +a", "owner +b", "a +a1"}));

  gLog.clear();
  delete owner;
  EXPECT_EQ(gLog, (std::vector<std::string>{"~owner", "~b", "~a", "~a1"}));

  // An owned component destroyed on its own leaves its owner's list.
  gLog.clear();
  TLogged keeper(nullptr, "keeper");
  delete new TLogged(&keeper, "short");
  EXPECT_EQ(keeper.ComponentCount(), 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"keeper +short", "~short", "keeper -short"}));
}

TEST(Component, FreeNotificationsTellHoldersAndUnhookBothWays) {
  gLog.clear();
  auto holder = std::make_unique<TLogged>(nullptr, "holder");
  auto* target = new TLogged(nullptr, "target");
  holder->FreeNotification(target);
  holder->FreeNotification(target);
  delete target;
  EXPECT_EQ(gLog, (std::vector<std::string>{"~target", "holder -target"}));

  // Whichever dies first unhooks the other.
  gLog.clear();
  auto* other = new TLogged(nullptr, "other");
  holder->FreeNotification(other);
  holder.reset();
  delete other;
  EXPECT_EQ(gLog, (std::vector<std::string>{"~holder", "other -holder", "~other"}));

  // Ending a subscription unhooks both sides: the other one neither hears of
  // this one's end nor keeps a pointer to it afterwards.
  gLog.clear();
  auto* second = new TLogged(nullptr, "second");
  {
    TLogged first(nullptr, "first");
    first.FreeNotification(second);
    first.RemoveFreeNotification(second);
    delete second;
    EXPECT_EQ(gLog, (std::vector<std::string>{"~second"}));
  }
  auto later = std::make_unique<TLogged>(nullptr, "later");
  {
    test::TBuried<TLogged> first(nullptr, "first");
    first->FreeNotification(later.get());
    first->RemoveFreeNotification(later.get());
    first.Bury();
    later.reset();
    EXPECT_EQ(first.StaleCalls(), 0);
  }
}

TEST(Component, ALinkBothSidesAskedForLastsUntilBothEndIt) {
  gLog.clear();
  auto menu = std::make_unique<TLogged>(nullptr, "menu");
  auto* button = new TLogged(nullptr, "button");
  button->FreeNotification(menu.get());
  menu->FreeNotification(button);
  // The button lets go of the menu; the menu still holds the button.
  button->RemoveFreeNotification(menu.get());
  delete button;
  EXPECT_EQ(gLog, (std::vector<std::string>{"~button", "menu -button"}));

  gLog.clear();
  auto* other = new TLogged(nullptr, "other");
  menu->FreeNotification(other);
  other->FreeNotification(menu.get());
  menu->RemoveFreeNotification(other);
  other->RemoveFreeNotification(menu.get());
  delete other;
  menu.reset();
  EXPECT_EQ(gLog, (std::vector<std::string>{"~other", "~menu"}));
}

TEST(Component, DestroyingAParentTakesTheChildWindowsButNotTheirObjects) {
  test::WithTestForm([](TForm& form) {
    auto* panel = new TPanel(nullptr);
    panel->SetParent(&form);
    auto edit = std::make_unique<test::TRecorder<TEdit>>(nullptr);
    edit->SetParent(panel);
    auto label = std::make_unique<TLabel>(nullptr);
    label->SetParent(panel);
    const HWND oldEdit = edit->Handle();
    ASSERT_TRUE(IsWindow(oldEdit));

    delete panel;
    EXPECT_FALSE(IsWindow(oldEdit));
    EXPECT_EQ(edit->Count(WM_NCDESTROY), 1);
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_EQ(edit->Parent(), nullptr);
    EXPECT_EQ(label->Parent(), nullptr);
    EXPECT_EQ(form.ControlCount(), 0);

    // The orphan without a parent window cannot make one: a defined failure.
    EXPECT_THROW(edit->Handle(), EInvalidOperation);
    edit->SetParent(&form);
    EXPECT_TRUE(edit->HandleAllocated());
    EXPECT_EQ(GetParent(edit->Handle()), form.Handle());
    edit.reset();
    EXPECT_EQ(form.ControlCount(), 0);
  });
}

TEST(Component, AFormDestroysItsWindowsBeforeTheControlsItOwns) {
  std::vector<HWND> windows;
  bool windowGoneFirst = true;
  {
    test::TTestForm form;
    auto* panel = test::Place<TPanel>(form.Get());
    for (int i = 0; i < 3; ++i) {
      auto* edit = test::Place<test::TRecorder<TEdit>>(panel);
      edit->SetTop(25 * i);
    }
    form.ShowAndWait();
    for (TControl* c : panel->Controls()) windows.push_back(static_cast<TWinControl*>(c)->Handle());
    for (TComponent* c : form->Components())
      if (auto* e = dynamic_cast<test::TRecorder<TEdit>*>(c))
        e->OnDestroyed = [e, &windowGoneFirst] { windowGoneFirst = windowGoneFirst && e->Count(WM_NCDESTROY) == 1; };
  }
  EXPECT_TRUE(windowGoneFirst);
  for (HWND w : windows) {
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(TWinControl::FindControl(w), nullptr);
  }
}

TEST(Component, RemovingAControlUncoversWhatItCovered) {
  test::WithTestForm([](TForm& form) {
    form.SetColor(clWhite);
    auto* cover = test::Place<TPanel>(&form, 10, 10, 60, 40);
    cover->SetColor(clRed);
    auto* label = test::Place<TLabel>(&form);
    label->SetLeft(100);
    label->SetCaption(L"MMMM");
    label->Font().SetHeight(20);
    label->Font().SetColor(clRed);
    test::Pump(50);
    test::TDib dib(200, 80);
    dib.CaptureClient(form.Handle());
    ASSERT_EQ(dib.Pixel(30, 30), RGB(255, 0, 0));
    const RECT labelArea = label->BoundsRect();
    ASSERT_GT(dib.Count(RGB(255, 0, 0), labelArea), 0);

    delete label;
    // A windowed control taken off its parent takes its window with it.
    cover->SetParent(nullptr);
    test::Pump(50);
    dib.CaptureClient(form.Handle());
    EXPECT_EQ(dib.Count(RGB(255, 0, 0), labelArea), 0);
    EXPECT_EQ(dib.Pixel(30, 30), RGB(255, 255, 255));
    EXPECT_FALSE(cover->HandleAllocated());
    delete cover;
  });
}

TEST(Persistent, AssignRefusesPairsThatKnowNothingOfEachOther) {
  TApple apple;
  TPear pear;
  apple.Assign(&pear);
  try {
    pear.Assign(&apple);
    FAIL() << "assigned an apple to a pear";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TApple to a TPear");
  }
  try {
    apple.Assign(nullptr);
    FAIL() << "assigned nothing";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a nil to a TApple");
  }
  TComponent component(nullptr);
  EXPECT_EQ(component.ClassName(), "TComponent");
  EXPECT_THROW(component.Assign(&apple), EConvertError);
}

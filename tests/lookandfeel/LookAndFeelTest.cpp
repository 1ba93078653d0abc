// Look-and-feel values: inheritance from the root and from explicit masters,
// the setters, listeners, CopyFrom and errors inside a change step.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "lookandfeel/LookAndFeelController.h"
#include "tests/lookandfeel/LookAndFeelTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using namespace lodo::test;

namespace {

using LookAndFeel = TLookAndFeelTest;

const TcxLookAndFeelPainterClass kUltraFlat = TcxUltraFlatLookAndFeelPainter::Instance();
const TcxLookAndFeelPainterClass kOffice11 = TcxOffice11LookAndFeelPainter::Instance();

bool Listens(const TcxLookAndFeel& master, IcxLookAndFeelListener* listener) {
  const auto& list = master.Listeners();
  return std::find(list.begin(), list.end(), listener) != list.end();
}

}  // namespace

TEST_F(LookAndFeel, InheritsFromTheRootUntilAValueIsLocal) {
  TcxLookAndFeel inheriting(nullptr), local(nullptr);
  EXPECT_TRUE(Root().IsRoot());
  EXPECT_EQ(inheriting.EffectiveMaster(), &Root());
  EXPECT_TRUE(Listens(Root(), &inheriting));
  EXPECT_EQ(inheriting.Kind(), lfUltraFlat);
  EXPECT_FALSE(inheriting.NativeStyle());
  EXPECT_TRUE(inheriting.AssignedValues().Empty());
  EXPECT_EQ(inheriting.CurrentPainter(), kUltraFlat);
  EXPECT_EQ(inheriting.PainterForTheme(tciButton), kUltraFlat);

  TValuesLog inheritingLog, localLog;
  Record(inheriting, inheritingLog);
  Record(local, localLog);
  local.SetKind(lfUltraFlat);  // equal to the inherited kind: local, but nobody hears
  EXPECT_EQ(local.AssignedValues(), TcxLookAndFeelValues({lfvKind}));
  EXPECT_TRUE(localLog.empty());

  Root().SetKind(lfOffice11);
  EXPECT_EQ(inheritingLog, TValuesLog({{lfvKind}}));
  EXPECT_EQ(inheriting.Kind(), lfOffice11);
  EXPECT_EQ(inheriting.CurrentPainter(), kOffice11);
  EXPECT_EQ(local.Kind(), lfUltraFlat);
  EXPECT_TRUE(localLog.empty());

  // Giving the value back to the master re-resolves it.
  local.ClearAssignedValues();
  EXPECT_EQ(local.Kind(), lfOffice11);
  EXPECT_EQ(localLog, TValuesLog({{lfvKind}}));
}

TEST_F(LookAndFeel, SettersAssignAndNotifyOnlyRealChanges) {
  TcxLookAndFeel laf(nullptr);
  TValuesLog log;
  Record(laf, log);
  laf.SetNativeStyle(true);
  laf.SetSkinName("No Such Skin");
  laf.SetSkinName("no such skin");  // names compare with their letter case
  laf.SetSkinName("no such skin");
  laf.SetKind(static_cast<TcxLookAndFeelKind>(9));  // no such kind: ignored
  EXPECT_EQ(log, TValuesLog({{lfvNativeStyle}, {lfvSkinName}, {lfvSkinName}}));
  EXPECT_EQ(laf.AssignedValues(), TcxLookAndFeelValues({lfvNativeStyle, lfvSkinName}));
  EXPECT_EQ(laf.SkinPainter(), nullptr);
  EXPECT_EQ(laf.Kind(), lfUltraFlat);

  log.clear();
  laf.SetAssignedValues(laf.AssignedValues());
  EXPECT_TRUE(log.empty());
  laf.SetAssignedValues({lfvNativeStyle});  // the skin name falls back to the root's empty one
  EXPECT_EQ(laf.SkinName(), "");
  laf.ClearAssignedValues();
  EXPECT_EQ(log, TValuesLog({{lfvSkinName}, {lfvNativeStyle}}));

  // What a form description would keep: an explicitly empty skin name too.
  EXPECT_FALSE(laf.IsKindStored() || laf.IsNativeStyleStored() || laf.IsSkinNameStored());
  laf.ReadSkinName("");
  EXPECT_TRUE(laf.IsSkinNameStored());
  EXPECT_TRUE(laf.WritesEmptySkinName());
  laf.SetSkinName("x");
  EXPECT_FALSE(laf.WritesEmptySkinName());
}

TEST_F(LookAndFeel, ExplicitMastersAndTheirDestruction) {
  auto master = std::make_unique<TcxLookAndFeel>(nullptr);
  auto plainMaster = std::make_unique<TcxLookAndFeel>(nullptr);
  TcxLookAndFeel child(nullptr), plainChild(nullptr);
  master->SetKind(lfOffice11);
  TValuesLog log, plainLog;
  Record(child, log);
  Record(plainChild, plainLog);

  child.SetMaster(master.get());
  plainChild.SetMaster(plainMaster.get());
  EXPECT_EQ(log, TValuesLog({{lfvKind}}));
  EXPECT_TRUE(plainLog.empty());
  EXPECT_EQ(child.Kind(), lfOffice11);
  EXPECT_FALSE(Listens(Root(), &child));
  EXPECT_TRUE(Listens(*master, &child));

  // Refused: itself, the root being given a master, and a circle.
  child.SetMaster(&child);
  Root().SetMaster(master.get());
  master->SetMaster(&child);
  EXPECT_EQ(child.Master(), master.get());
  EXPECT_EQ(Root().EffectiveMaster(), nullptr);
  EXPECT_EQ(master->Master(), nullptr);

  // A dying master hands its dependants back to the root; only a value that
  // differs reaches the owner.
  log.clear();
  master.reset();
  plainMaster.reset();
  EXPECT_EQ(log, TValuesLog({{lfvKind}}));
  EXPECT_TRUE(plainLog.empty());
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  EXPECT_EQ(child.Master(), nullptr);
  EXPECT_TRUE(Listens(Root(), &child));
  EXPECT_TRUE(Listens(Root(), &plainChild));

  // A dependant that fails while its master dies does not keep the others
  // from leaving; the error goes to the application's handler.
  auto failingMaster = std::make_unique<TcxLookAndFeel>(nullptr);
  failingMaster->SetKind(lfFlat);
  TcxLookAndFeel failing(nullptr), after(nullptr);
  failing.SetMaster(failingMaster.get());
  after.SetMaster(failingMaster.get());
  failing.OnLookAndFeelChanged = [](TcxLookAndFeel*, TcxLookAndFeelValues) { throw Exception("repaint failed"); };
  ErrorsSeen().clear();
  failingMaster.reset();
  EXPECT_EQ(ErrorsSeen(), std::vector<std::string>({"repaint failed"}));
  EXPECT_EQ(after.Master(), nullptr);
  EXPECT_EQ(after.Kind(), lfUltraFlat);
  failing.OnLookAndFeelChanged = nullptr;
  ErrorsSeen().clear();

  // Setting none on a root inheritor moves it to the end of the root's list.
  child.SetMaster(nullptr);
  EXPECT_EQ(Root().Listeners().back(), &child);
  EXPECT_NE(Root().Listeners().front(), &child);
  EXPECT_TRUE(log.size() == 1 && plainLog.empty());
}

TEST_F(LookAndFeel, ListenersAreTakenOnceAndMayLeaveWhileTold) {
  TcxLookAndFeel master(nullptr);
  TFakeListener first, second, third;
  master.AddListener(&first);
  master.AddListener(&first);
  master.AddListener(nullptr);
  TcxLookAndFeelController controller(nullptr);
  const int controllers = RootControllerCount();
  master.AddListener(&controller);  // only the root takes controllers
  EXPECT_EQ(master.Listeners().size(), 1u);
  EXPECT_EQ(RootControllerCount(), controllers);

  master.AddListener(&second);
  master.AddListener(&third);
  first.Hook = [&] { master.RemoveListener(&first); };
  master.SetKind(lfFlat);
  EXPECT_EQ(first.Changes.size(), 1u);
  EXPECT_EQ(second.Changes, TValuesLog({{lfvKind}}));
  EXPECT_EQ(third.Changes.size(), 1u);

  // One that takes a later one out: that one is not told; nobody is told twice.
  second.Hook = [&] { master.RemoveListener(&third); };
  master.SetKind(lfStandard);
  EXPECT_EQ(second.Changes.size(), 2u);
  EXPECT_EQ(third.Changes.size(), 1u);
  EXPECT_EQ(master.Listeners(), std::vector<IcxLookAndFeelListener*>({&second}));
}

TEST_F(LookAndFeel, CopyFromTakesLocalValuesAndMaster) {
  TcxLookAndFeel master(nullptr), source(nullptr), target(nullptr);
  master.SetKind(lfOffice11);
  source.SetMaster(&master);
  source.SetSkinName("");
  target.SetNativeStyle(true);
  TValuesLog log;
  Record(target, log);
  target.Assign(&source);
  // The new master notifies, and the comparison with the same snapshot again.
  EXPECT_EQ(log, TValuesLog({{lfvKind, lfvNativeStyle}, {lfvKind, lfvNativeStyle}}));
  EXPECT_EQ(target.Master(), &master);
  EXPECT_EQ(target.AssignedValues(), TcxLookAndFeelValues({lfvSkinName}));
  EXPECT_EQ(target.Kind(), lfOffice11);
  EXPECT_FALSE(target.NativeStyle());

  // Same master: one notification.
  log.clear();
  source.SetKind(lfFlat);
  target.CopyFrom(&source);
  EXPECT_EQ(log, TValuesLog({{lfvKind}}));
}

TEST_F(LookAndFeel, CopyFromAnythingElseFailsAndChangesNothing) {
  TcxLookAndFeel target(nullptr);
  target.SetKind(lfFlat);
  TValuesLog log;
  Record(target, log);
  TcxLookAndFeelController controller(nullptr);
  try {
    target.Assign(&controller);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TcxLookAndFeelController to a TcxLookAndFeel");
  }
  EXPECT_THROW(target.CopyFrom(nullptr), EConvertError);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(target.AssignedValues(), TcxLookAndFeelValues({lfvKind}));
  EXPECT_EQ(target.Kind(), lfFlat);
  EXPECT_TRUE(Listens(Root(), &target));
}

TEST_F(LookAndFeel, AnErrorFromAListenerStopsTheChangeStep) {
  TcxLookAndFeel master(nullptr);
  TFakeListener failing, later;
  master.AddListener(&failing);
  master.AddListener(&later);
  TValuesLog log;
  Record(master, log);
  failing.Hook = [] { throw std::runtime_error("listener failed"); };
  EXPECT_THROW(master.SetKind(lfOffice11), std::runtime_error);
  EXPECT_EQ(master.Kind(), lfOffice11);
  EXPECT_EQ(master.CurrentPainter(), kOffice11);
  EXPECT_TRUE(later.Changes.empty());
  EXPECT_TRUE(log.empty());

  // The owner callback's error goes to the setter's caller as well.
  failing.Hook = nullptr;
  master.OnLookAndFeelChanged = [](TcxLookAndFeel*, TcxLookAndFeelValues) { throw std::runtime_error("owner"); };
  EXPECT_THROW(master.SetKind(lfFlat), std::runtime_error);
  EXPECT_EQ(later.Changes.size(), 1u);
}

TEST(LookAndFeelRootGone, ChildrenKeepTheirStateThenResolveTheConstants) {
  auto child = std::make_unique<TcxLookAndFeel>(nullptr);  // no root yet: constants
  TValuesLog log;
  {
    TModulesScope modules;
    auto inheriting = std::make_unique<TcxLookAndFeel>(nullptr);
    RootLookAndFeel()->SetKind(lfOffice11);
    EXPECT_EQ(child->Kind(), lfUltraFlat);  // not the root's: it never registered
    Record(*inheriting, log);
    child.swap(inheriting);
  }
  EXPECT_EQ(RootLookAndFeel(), nullptr);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(child->Kind(), lfOffice11);
  child->SetNativeStyle(true);
  EXPECT_EQ(child->Kind(), lfUltraFlat);
  EXPECT_EQ(log, TValuesLog({{lfvNativeStyle}}));
  child.reset();
}

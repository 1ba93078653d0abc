// The controller: its values become the root's, and the last one to go takes
// them with it; the root's lifetime bounds the controller count.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "lookandfeel/LookAndFeelController.h"
#include "tests/lookandfeel/LookAndFeelTestSupport.h"

using namespace lodo;
using namespace lodo::test;

namespace {

using LookAndFeelController = TLookAndFeelTest;

}  // namespace

TEST_F(LookAndFeelController, EditsTheRootAndTheLastRemovalClearsIt) {
  TcxLookAndFeel inheriting(nullptr), local(nullptr);
  local.SetKind(lfFlat);
  TValuesLog log, localLog;
  Record(inheriting, log);
  Record(local, localLog);
  TComponent owner(nullptr);
  auto* first = new TcxLookAndFeelController(&owner);
  auto second = std::make_unique<TcxLookAndFeelController>(nullptr);
  EXPECT_EQ(RootControllerCount(), 2);
  EXPECT_FALSE(first->IsKindStored() || first->IsNativeStyleStored() || first->IsSkinNameStored());

  first->SetKind(lfOffice11);
  first->SetSkinName("Some Skin");
  EXPECT_EQ(Root().AssignedValues(), TcxLookAndFeelValues({lfvKind, lfvSkinName}));
  EXPECT_EQ(second->Kind(), lfOffice11);
  EXPECT_TRUE(first->IsKindStored() && first->IsSkinNameStored());
  EXPECT_EQ(inheriting.Kind(), lfOffice11);
  EXPECT_EQ(log, TValuesLog({{lfvKind}, {lfvSkinName}}));
  EXPECT_EQ(localLog, TValuesLog({{lfvSkinName}}));

  log.clear();
  second.reset();
  EXPECT_EQ(RootControllerCount(), 1);
  EXPECT_EQ(inheriting.Kind(), lfOffice11);
  EXPECT_TRUE(log.empty());

  // The owner takes the last controller with it.
  owner.DestroyComponents();
  EXPECT_EQ(RootControllerCount(), 0);
  EXPECT_TRUE(Root().AssignedValues().Empty());
  EXPECT_EQ(inheriting.Kind(), lfUltraFlat);
  EXPECT_EQ(inheriting.CurrentPainter(), TcxUltraFlatLookAndFeelPainter::Instance());
  EXPECT_EQ(log, TValuesLog({{lfvKind, lfvSkinName}}));
  EXPECT_EQ(local.Kind(), lfFlat);
}

TEST(LookAndFeelControllerWithoutRoot, ReadsTheConstantsAndWritesNothing) {
  ASSERT_EQ(RootLookAndFeel(), nullptr);
  TcxLookAndFeelController controller(nullptr);
  controller.SetKind(lfOffice11);
  controller.SetNativeStyle(true);
  EXPECT_EQ(controller.Kind(), lfUltraFlat);
  EXPECT_FALSE(controller.NativeStyle());
  EXPECT_EQ(RootControllerCount(), 0);
  // Without any module a look-and-feel still resolves and paints.
  TcxLookAndFeel orphan(nullptr);
  orphan.SetNativeStyle(true);
  orphan.SetSkinName("Skin");
  EXPECT_EQ(orphan.EffectiveMaster(), nullptr);
  EXPECT_EQ(orphan.Kind(), lfUltraFlat);
  EXPECT_EQ(orphan.CurrentPainter(), TcxUltraFlatLookAndFeelPainter::Instance());
  EXPECT_EQ(orphan.PainterForTheme(tciButton), TcxUltraFlatLookAndFeelPainter::Instance());
}

TEST(LookAndFeelControllerWithoutRoot, ALaterRootCountsItsOwnControllersOnly) {
  std::unique_ptr<TcxLookAndFeelController> early;
  {
    TModulesScope modules;
    early = std::make_unique<TcxLookAndFeelController>(nullptr);
    EXPECT_EQ(RootControllerCount(), 1);
  }
  EXPECT_EQ(RootControllerCount(), 0);  // it went with its root
  TModulesScope modules;
  TcxLookAndFeel inheriting(nullptr);
  auto controller = std::make_unique<TcxLookAndFeelController>(nullptr);
  EXPECT_EQ(RootControllerCount(), 1);
  controller->SetKind(lfStandard);
  early.reset();  // never registered with this root
  controller.reset();
  EXPECT_EQ(RootControllerCount(), 0);
  EXPECT_EQ(inheriting.Kind(), lfUltraFlat);
}

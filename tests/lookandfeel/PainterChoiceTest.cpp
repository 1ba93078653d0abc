// The painter a look-and-feel chooses: kind, native style (themed and classic
// prefixes), skins from the registry, redefined slots, and colour changes.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "graphics/SolidBrushCache.h"
#include "graphics/SystemPaletteChanged.h"
#include "tests/lookandfeel/LookAndFeelTestSupport.h"
#include "theme/ThemeManager.h"

using namespace lodo;
using namespace lodo::test;

namespace {

using LookAndFeelPainter = TLookAndFeelTest;
using LookAndFeelSkin = TLookAndFeelTest;
using LookAndFeelClassic = TLookAndFeelTest;
using LookAndFeelSystemColors = TLookAndFeelTest;

class TTestSkinPainter : public TcxUltraFlatLookAndFeelPainter {};
const TTestSkinPainter gSkin, gOtherSkin;

const TcxLookAndFeelPainterClass kWinXP = TcxWinXPLookAndFeelPainter::Instance();
const TcxLookAndFeelPainterClass kUltraFlat = TcxUltraFlatLookAndFeelPainter::Instance();

// Finds a painter for every name it is asked about, whatever the registry holds.
class TOwnSkins : public TcxLookAndFeel {
 public:
  using TcxLookAndFeel::TcxLookAndFeel;
  int ColorChanges = 0;

 protected:
  TcxLookAndFeelKind ResolveKind() const override { return lfFlat; }
  bool FindSkinPainter(const TdxSkinName& name, TcxLookAndFeelPainterClass& painter) const override {
    painter = name.empty() ? nullptr : &gOtherSkin;
    return painter != nullptr;
  }
  void SystemColorsChanged() override {
    ++ColorChanges;
    TcxLookAndFeel::SystemColorsChanged();
  }
};

}  // namespace

TEST_F(LookAndFeelPainter, NativeStyleUsesTheVisualStyleWhereItIsActive) {
  ASSERT_TRUE(VisualStylesAvailable(tciButton));
  TcxLookAndFeel laf(nullptr);
  EXPECT_EQ(laf.PainterForTheme(tciButton), kUltraFlat);  // native style off ignores the theme
  TValuesLog log;
  Record(laf, log);
  laf.SetNativeStyle(true);
  EXPECT_EQ(log, TValuesLog({{lfvNativeStyle}}));
  EXPECT_EQ(laf.PainterForTheme(tciButton), kWinXP);
  EXPECT_EQ(laf.PainterForThemes({tciButton, tciEdit}), kWinXP);
  EXPECT_EQ(laf.CurrentPainter(), kWinXP);
}

TEST_F(LookAndFeelClassic, NativeStyleFallsBackToTheKindPainter) {
  ASSERT_FALSE(ThemesActive());
  TcxLookAndFeel laf(nullptr);
  laf.SetNativeStyle(true);
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    laf.SetKind(kind);
    EXPECT_EQ(laf.PainterForTheme(tciButton), KindPainters[kind]);
    EXPECT_EQ(laf.CurrentPainter(), KindPainters[kind]);
  }
}

TEST_F(LookAndFeelSkin, FoundIgnoringCaseAndIgnoredUnderNativeStyle) {
  TcxExtendedStylePainters& registry = *ExtendedStylePainters();
  registry.Register("Test Skin", &gSkin);
  TcxLookAndFeel laf(nullptr), inheriting(nullptr);
  laf.SetSkinName("");
  EXPECT_EQ(laf.SkinPainter(), nullptr);
  laf.SetSkinName("tEST sKIN");
  EXPECT_EQ(laf.SkinPainter(), &gSkin);
  EXPECT_EQ(laf.CurrentPainter(), &gSkin);
  EXPECT_EQ(laf.PainterForTheme(tciButton), &gSkin);
  EXPECT_TRUE(registry.HasUser(&laf));

  // A skin of the root reaches its inheritors at their next change step.
  Root().SetSkinName("TEST SKIN");
  EXPECT_EQ(inheriting.SkinPainter(), &gSkin);
  EXPECT_TRUE(registry.HasUser(&inheriting));
  EXPECT_EQ(registry.UserCount(), 3);

  laf.SetNativeStyle(true);
  EXPECT_EQ(laf.SkinPainter(), nullptr);
  EXPECT_FALSE(registry.HasUser(&laf));
  EXPECT_EQ(laf.PainterForTheme(tciButton), ThemesActive() ? kWinXP : kUltraFlat);
  {
    TcxLookAndFeel shortLived(nullptr);
    shortLived.SetSkinName("test skin");
    EXPECT_TRUE(registry.HasUser(&shortLived));
  }
  EXPECT_EQ(registry.UserCount(), 2);
}

TEST_F(LookAndFeelSkin, RegistryChangesReachTheUsers) {
  TcxExtendedStylePainters& registry = *ExtendedStylePainters();
  registry.Register("Test Skin", &gSkin);
  TcxLookAndFeel laf(nullptr), other(nullptr);
  laf.SetSkinName("Test Skin");
  other.SetSkinName("Elsewhere");
  TValuesLog log, otherLog;
  Record(laf, log);
  Record(other, otherLog);

  registry.Register("TEST SKIN", &gOtherSkin);  // the same name: replaced
  EXPECT_EQ(registry.Count(), 1);
  EXPECT_EQ(laf.CurrentPainter(), &gOtherSkin);
  registry.Unregister("test skin");
  EXPECT_EQ(registry.Count(), 0);
  EXPECT_EQ(laf.SkinPainter(), nullptr);
  EXPECT_EQ(laf.CurrentPainter(), kUltraFlat);
  EXPECT_FALSE(registry.HasUser(&laf));
  EXPECT_EQ(log, TValuesLog(2, TcxLookAndFeelValues::All()));
  EXPECT_TRUE(otherLog.empty());
}

TEST_F(LookAndFeelSkin, WithoutARegistryNothingIsFound) {
  ExtendedStylePainters()->Register("Test Skin", &gSkin);
  auto laf = std::make_unique<TcxLookAndFeel>(nullptr);
  laf->SetSkinName("Test Skin");
  ASSERT_EQ(laf->SkinPainter(), &gSkin);
  DestroyExtendedStylePainters();  // as after the painter module's shutdown
  laf->SetKind(lfFlat);
  EXPECT_EQ(laf->SkinPainter(), nullptr);
  EXPECT_EQ(laf->CurrentPainter(), TcxFlatLookAndFeelPainter::Instance());
  EXPECT_EQ(laf->SkinName(), "Test Skin");
  laf.reset();
}

TEST_F(LookAndFeelSkin, RedefinedSlotsDecide) {
  TOwnSkins master(nullptr);
  TcxLookAndFeel child(nullptr);
  child.SetMaster(&master);
  master.SetSkinName("anything");
  EXPECT_EQ(master.Kind(), lfFlat);
  EXPECT_EQ(master.CurrentPainter(), &gOtherSkin);
  // The child asks its master's own lookup for the master's skin.
  EXPECT_EQ(child.Kind(), lfFlat);
  EXPECT_EQ(child.SkinPainter(), &gOtherSkin);
  EXPECT_TRUE(ExtendedStylePainters()->HasUser(&child));
}

TEST_F(LookAndFeelSystemColors, EachOwnerHearsOneChangeAfterTheBrushCacheWasEmptied) {
  TcxLookAndFeel inheriting(nullptr), master(nullptr), child(nullptr);
  TOwnSkins subclassed(nullptr);
  child.SetMaster(&master);
  TFakeListener plain;
  Root().AddListener(&plain);
  TcxSolidBrushCache* cache = SharedBrushCache();
  if (cache) cache->BrushFor(static_cast<TColor>(RGB(10, 20, 30)));
  const int filled = cache ? cache->Depth() : 0;
  TValuesLog rootLog, inheritingLog, masterLog, childLog;
  Record(Root(), rootLog);
  Record(inheriting, inheritingLog);
  Record(master, masterLog);
  int depthSeen = -1;
  child.OnLookAndFeelChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues changed) {
    childLog.push_back(changed);
    depthSeen = cache ? cache->Depth() : -1;
  };

  SendMessageW(SystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  const TValuesLog once = {{lfvNativeStyle}};
  EXPECT_EQ(rootLog, once);
  EXPECT_EQ(inheritingLog, once);
  EXPECT_EQ(masterLog, once);
  EXPECT_EQ(childLog, once);
  EXPECT_EQ(plain.Changes, once);
  EXPECT_EQ(subclassed.ColorChanges, 1);
  EXPECT_GT(filled, 0);
  EXPECT_EQ(depthSeen, 0);
  Root().RemoveListener(&plain);
}

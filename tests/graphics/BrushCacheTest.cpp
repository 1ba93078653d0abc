// The solid-brush cache: system brushes without allocation, unsigned order,
// least-used eviction, and emptying on a system colour change.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "controls/Modules.h"
#include "graphics/Canvas.h"
#include "graphics/SolidBrushCache.h"
#include "graphics/SystemPaletteChanged.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/SysColorsGuard.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

class BrushCache : public testing::Test {
 protected:
  TModulesScope FModules;
};

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH lb{};
  GetObjectW(brush, sizeof(lb), &lb);
  return lb.lbColor;
}

}  // namespace

TEST_F(BrushCache, SystemColoursComeFromTheSystemTableWithoutAnEntry) {
  TcxSolidBrushCache cache(4);
  EXPECT_EQ(cache.BrushFor(clBtnFace), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(cache.BrushFor(SystemColor(30)), GetSysColorBrush(30));
  EXPECT_EQ(cache.Depth(), 0);
  EXPECT_EQ(cache.BrushesCreated(), 0);
  // Past the table's last index the value is cached like an explicit colour.
  cache.BrushFor(SystemColor(31));
  EXPECT_EQ(cache.Depth(), 1);
}

TEST_F(BrushCache, EntriesStaySortedAsUnsignedNumbers) {
  TcxSolidBrushCache cache(8);
  const TColor colors[] = {SystemColor(0x40), 0x00FF0000, 0x00000001, static_cast<TColor>(0x80000000u), 0x000000FF};
  for (TColor c : colors) cache.BrushFor(c);
  ASSERT_EQ(cache.Depth(), 5);
  for (int i = 1; i < cache.Depth(); ++i)
    EXPECT_LT(static_cast<std::uint32_t>(cache.ColorAt(i - 1)), static_cast<std::uint32_t>(cache.ColorAt(i)));
  EXPECT_EQ(cache.ColorAt(0), 0x00000001);
  EXPECT_EQ(cache.ColorAt(4), SystemColor(0x40));
  // A hit returns the same brush and counts a use.
  HBRUSH red = cache.BrushFor(0x000000FF);
  EXPECT_EQ(cache.BrushFor(0x000000FF), red);
  EXPECT_EQ(BrushColor(red), RGB(255, 0, 0));
  EXPECT_EQ(cache.UseCountAt(1), 2u);
  EXPECT_EQ(cache.BrushesCreated(), 5);
}

TEST_F(BrushCache, FullCacheEvictsTheLeastUsedLowestColourAndKeepsItsDepth) {
  TcxSolidBrushCache cache(kSharedBrushCacheCapacity);
  for (TColor c = 1; c <= kSharedBrushCacheCapacity; ++c) cache.BrushFor(c * 16);
  // Every colour used once more except 48 and 80: the lower one must go.
  for (TColor c = 1; c <= kSharedBrushCacheCapacity; ++c)
    if (c != 3 && c != 5) cache.BrushFor(c * 16);
  ASSERT_EQ(cache.Depth(), kSharedBrushCacheCapacity);
  cache.BrushFor(0x00ABCDEF);
  EXPECT_EQ(cache.Depth(), kSharedBrushCacheCapacity);
  bool has48 = false, has80 = false, hasNew = false;
  for (int i = 0; i < cache.Depth(); ++i) {
    has48 |= cache.ColorAt(i) == 48;
    has80 |= cache.ColorAt(i) == 80;
    hasNew |= cache.ColorAt(i) == 0x00ABCDEF;
    if (i > 0) {
      EXPECT_LT(cache.ColorAt(i - 1), cache.ColorAt(i));
    }
  }
  EXPECT_FALSE(has48);
  EXPECT_TRUE(has80);
  EXPECT_TRUE(hasNew);
  // An entry before the insertion point going: the new colour lands in order.
  cache.BrushFor(2);
  EXPECT_EQ(cache.ColorAt(0), 2);
  EXPECT_EQ(cache.Depth(), kSharedBrushCacheCapacity);
}

TEST_F(BrushCache, ColourChangeEmptiesTheSharedCacheAndTheNextFillMakesANewBrush) {
  TcxSolidBrushCache* cache = SharedBrushCache();
  ASSERT_NE(cache, nullptr);
  cache->BrushFor(0x00123456);
  EXPECT_EQ(cache->Depth(), 1);
  SendMessageW(SystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(cache->Depth(), 0);
  const int created = cache->BrushesCreated();
  HBRUSH brush = cache->BrushFor(0x00123456);
  EXPECT_EQ(cache->BrushesCreated(), created + 1);
  EXPECT_EQ(BrushColor(brush), static_cast<COLORREF>(0x00123456));
}

TEST_F(BrushCache, FillsDoNotCreateABrushEach) {
  test::TDib dib(20, 20);
  test::TDibCanvas canvas(dib);
  TcxSolidBrushCache* cache = SharedBrushCache();
  const int created = cache->BrushesCreated();
  for (int i = 0; i < 1000; ++i) FillRectSolid(*canvas, {0, 0, 20, 20}, i % 2 ? clBtnFace : clGreen);
  EXPECT_EQ(cache->BrushesCreated(), created + 1);
  EXPECT_EQ(dib.Pixel(3, 3), ColorToRGB(clBtnFace));
}

TEST_F(BrushCache, SystemColourFillsFollowAChangedScheme) {
  test::TSysColorsGuard guard;
  test::TDib dib(20, 20);
  test::TDibCanvas canvas(dib);
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_BTNFACE, RGB(10, 200, 30)));
  test::Pump(20);
  FillRectSolid(*canvas, {0, 0, 20, 20}, clBtnFace);
  EXPECT_EQ(dib.Pixel(3, 3), RGB(10, 200, 30));
}

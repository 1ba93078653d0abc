// The 128 rendered looks: their slots and order, their colours read back from
// drawn pixels, drawing with and without a background, and the rebuild on a
// real system colour change.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "controls/Modules.h"
#include "graphics/Office2003Colors.h"
#include "graphics/SelectionTints.h"
#include "graphics/SolidBrushCache.h"
#include "graphics/SystemPaletteChanged.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/glyphs/GlyphTestSupport.h"
#include "tests/support/ImportPatch.h"

using namespace lodo;
using test::TLook;

namespace {

constexpr COLORREF kCanvas = RGB(255, 0, 255);

COLORREF Sys(int index) { return GetSysColor(index); }
COLORREF Rgb(TColor color) { return ColorToRGB(color); }

// Modules started and every glyph colour distinct before the cache is made.
class GlyphImages : public testing::Test {
 protected:
  // The drawn pixel at the first cell of each pixel kind (CLR_INVALID where
  // the pattern has none).
  static std::array<COLORREF, kGlyphPixelKindCount> Drawn(const TLook& look) {
    const TGlyphPattern& p = GlyphPattern();
    test::TDib dib(p.Width, p.Height, kCanvas);
    test::DrawLook(dib, 0, 0, clDefault, look);
    std::array<COLORREF, kGlyphPixelKindCount> colors{};
    for (int k = 0; k < kGlyphPixelKindCount; ++k) {
      const POINT cell = test::FirstCellOf(p, k);
      colors[static_cast<std::size_t>(k)] = dib.Pixel(cell.x, cell.y);
    }
    return colors;
  }
  static COLORREF Ring(const TLook& look) { return Drawn(look)[pkOuterUpperLeft]; }
  static COLORREF Body(const TLook& look) { return Drawn(look)[pkBody]; }
  static COLORREF Dot(const TLook& look) { return Drawn(look)[pkDot]; }

  TModulesScope FModules;
  test::TGlyphSysColors FColors;
};

TLook Look(TcxLookAndFeelKind kind, ButtonState state, bool checked = false, bool focused = false,
           bool designing = false) {
  return TLook{kind, state, checked, focused, designing};
}

// Every pixel of a W x H area at (x, y) of the DIB against a look's colours,
// with `outside` expected where the pattern has no glyph.
void ExpectLookAt(const test::TDib& dib, int x, int y, const TLook& look, COLORREF outside) {
  const TGlyphPattern& p = GlyphPattern();
  const TGlyphColors colors = GlyphColors(look.Kind, look.State, look.Checked, look.Focused, look.Designing);
  int wrong = 0;
  for (int py = 0; py < p.Height; ++py) {
    for (int px = 0; px < p.Width; ++px) {
      const std::int32_t kind = p.At(px, py);
      const COLORREF expected = kind == pkOutside ? outside : Rgb(colors[static_cast<std::size_t>(kind)]);
      if (dib.Pixel(x + px, y + py) != expected) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0) << "kind " << int(look.Kind) << " state " << int(look.State) << " checked " << look.Checked
                      << " focused " << look.Focused << " designing " << look.Designing;
}

}  // namespace

TEST_F(GlyphImages, SlotsOfALook) {
  EXPECT_EQ(ImageSlot(lfFlat, btsNormal, false, false, false), 0);
  EXPECT_EQ(ImageSlot(lfStandard, btsNormal, false, false, false), 8);
  EXPECT_EQ(ImageSlot(lfOffice11, btsDisabled, true, true, true), 127);
  EXPECT_EQ(ImageSlot(lfStandard, btsHot, true, true, false), 77);
  EXPECT_EQ(ImageSlot(lfFlat, btsHot, false, false, false), 1);
  // The default state shares the normal image; states past the table have none.
  EXPECT_EQ(ImageSlot(lfUltraFlat, btsDefault, true, false, false),
            ImageSlot(lfUltraFlat, btsNormal, true, false, false));
  EXPECT_EQ(ImageSlot(lfUltraFlat, static_cast<ButtonState>(5), false, false, false), -1);
  for (int slot = 0; slot < 128; ++slot) {
    const TLook look = test::LookOfSlot(slot);
    EXPECT_EQ(ImageSlot(look.Kind, look.State, look.Checked, look.Focused, look.Designing), slot);
  }
}

TEST_F(GlyphImages, FillingGivesOneImagePerSlotInSlotOrder) {
  TcxRadioButtonImageList& cache = RadioButtonImages();
  EXPECT_EQ(cache.ImageCount(), 128);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(cache.Images(), &cx, &cy));
  EXPECT_EQ(cx, GlyphGeometry().Width);
  EXPECT_EQ(cy, GlyphGeometry().Height);
  auto expectIdentity = [&] {
    ASSERT_EQ(ImageSlotMap().size(), 128u);
    for (int n = 0; n < 128; ++n) EXPECT_EQ(ImageSlotMap()[static_cast<std::size_t>(n)], n);
  };
  expectIdentity();
  cache.FillImages();
  EXPECT_EQ(cache.ImageCount(), 128);
  const std::vector<std::int32_t> kinds = GlyphPattern().Kinds;
  cache.RebuildImages();
  EXPECT_EQ(cache.ImageCount(), 128);
  expectIdentity();
  EXPECT_EQ(GlyphPattern().Kinds, kinds);
}

TEST_F(GlyphImages, ImageNIsTheLookOfSlotN) {
  TcxRadioButtonImageList& cache = RadioButtonImages();
  const SIZE size = cache.GlyphSize();
  // All 128 images side by side, drawn straight from the list by index.
  test::TDib dib(size.cx * 16, size.cy * 8, kCanvas);
  for (int n = 0; n < 128; ++n)
    ImageList_Draw(cache.Images(), n, dib.DC(), n % 16 * size.cx, n / 16 * size.cy, ILD_TRANSPARENT);
  for (int n = 0; n < 128; ++n) ExpectLookAt(dib, n % 16 * size.cx, n / 16 * size.cy, test::LookOfSlot(n), kCanvas);
}

// A paint draws the look itself, not through the image list: every look
// must come out as the image list's draw of its image, over a canvas whose
// every pixel differs, so that any pixel taken from the wrong place shows.
TEST_F(GlyphImages, EveryLookDrawsThePixelsOfItsImageInTheList) {
  TcxRadioButtonImageList& cache = RadioButtonImages();
  const SIZE size = cache.GlyphSize();
  auto paintCanvas = [&](test::TDib& dib) {
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) SetPixel(dib.DC(), x, y, RGB(x * 9, y * 13, (x + y) * 5));
    SetTextColor(dib.DC(), RGB(1, 2, 3));
    SetBkColor(dib.DC(), RGB(4, 5, 6));
  };
  int wrong = 0;
  for (int n = 0; n < 128; ++n) {
    for (TColor background : {clDefault, static_cast<TColor>(RGB(200, 100, 50))}) {
      test::TDib drawn(size.cx + 4, size.cy + 4);
      test::TDib listed(size.cx + 4, size.cy + 4);
      paintCanvas(drawn);
      paintCanvas(listed);
      test::DrawLook(drawn, 2, 1, background, test::LookOfSlot(n));
      if (background != clDefault) {
        const RECT r{2, 1, 2 + size.cx, 1 + size.cy};
        TBrushHandle brush(CreateSolidBrush(Rgb(background)));
        FillRect(listed.DC(), &r, brush.Get());
      }
      ImageList_Draw(cache.Images(), n, listed.DC(), 2, 1, ILD_TRANSPARENT);
      for (int y = 0; y < drawn.Height(); ++y)
        for (int x = 0; x < drawn.Width(); ++x)
          if (drawn.Pixel(x, y) != listed.Pixel(x, y)) ++wrong;
      // The DC's own colours are as they were.
      EXPECT_EQ(GetTextColor(drawn.DC()), RGB(1, 2, 3));
      EXPECT_EQ(GetBkColor(drawn.DC()), RGB(4, 5, 6));
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(GlyphImages, FlatAndStandardShowASunkenTwoToneRing) {
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard}) {
    for (bool focused : {false, true}) {
      const auto c = Drawn(Look(kind, btsHot, false, focused, true));
      EXPECT_EQ(c[pkOuterUpperLeft], Sys(COLOR_BTNSHADOW));
      EXPECT_EQ(c[pkOuterLowerRight], Sys(COLOR_BTNHIGHLIGHT));
      EXPECT_EQ(c[pkInnerUpperLeft], Sys(kind == lfStandard ? COLOR_3DDKSHADOW : COLOR_3DLIGHT));
      EXPECT_EQ(c[pkInnerLowerRight], Sys(COLOR_3DLIGHT));
    }
    EXPECT_EQ(Body(Look(kind, btsNormal)), Sys(COLOR_WINDOW));
    EXPECT_EQ(Body(Look(kind, btsHot)), Sys(COLOR_WINDOW));
    EXPECT_EQ(Body(Look(kind, btsPressed)), Sys(COLOR_BTNFACE));
    EXPECT_EQ(Body(Look(kind, btsDisabled)), Sys(COLOR_BTNFACE));
  }
}

TEST_F(GlyphImages, UltraFlatRingLightsUpWhenFocusedHotPressedOrDesigning) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW);
  const COLORREF highlight = Sys(COLOR_HIGHLIGHT);
  EXPECT_EQ(Ring(Look(lfUltraFlat, btsNormal)), shadow);
  EXPECT_EQ(Ring(Look(lfUltraFlat, btsHot)), highlight);
  EXPECT_EQ(Ring(Look(lfUltraFlat, btsPressed)), highlight);
  EXPECT_EQ(Ring(Look(lfUltraFlat, btsNormal, true, false, true)), highlight);
  // Disabled: designing alone never lights it, focus always does.
  EXPECT_EQ(Ring(Look(lfUltraFlat, btsDisabled)), shadow);
  EXPECT_EQ(Ring(Look(lfUltraFlat, btsDisabled, true, false, true)), shadow);
  for (ButtonState state : {btsNormal, btsHot, btsPressed, btsDisabled})
    EXPECT_EQ(Ring(Look(lfUltraFlat, state, false, true)), highlight) << int(state);
  // Both ring halves share the colour; the inner ring is the body's.
  const auto c = Drawn(Look(lfUltraFlat, btsHot));
  EXPECT_EQ(c[pkOuterLowerRight], highlight);
  EXPECT_EQ(c[pkBody], Rgb(HotTrackTint()));
  EXPECT_EQ(c[pkInnerUpperLeft], c[pkBody]);
  EXPECT_EQ(c[pkInnerLowerRight], c[pkBody]);
  EXPECT_EQ(Body(Look(lfUltraFlat, btsNormal)), Sys(COLOR_WINDOW));
  EXPECT_EQ(Body(Look(lfUltraFlat, btsPressed)), Rgb(PressedTint()));
  EXPECT_EQ(Body(Look(lfUltraFlat, btsDisabled)), Sys(COLOR_BTNFACE));
}

TEST_F(GlyphImages, Office2003RingAndFacesComeFromItsScheme) {
  const COLORREF highlight = Rgb(Office2003Highlight());
  const COLORREF disabled = Rgb(Office2003Disabled());
  EXPECT_EQ(Ring(Look(lfOffice11, btsNormal)), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(Ring(Look(lfOffice11, btsHot)), highlight);
  EXPECT_EQ(Ring(Look(lfOffice11, btsPressed)), highlight);
  EXPECT_EQ(Ring(Look(lfOffice11, btsNormal, false, true)), highlight);
  EXPECT_EQ(Ring(Look(lfOffice11, btsNormal, false, false, true)), highlight);
  for (bool focused : {false, true})
    for (bool designing : {false, true})
      EXPECT_EQ(Ring(Look(lfOffice11, btsDisabled, true, focused, designing)), disabled);
  const auto c = Drawn(Look(lfOffice11, btsHot));
  EXPECT_EQ(c[pkBody], Rgb(Office2003Hot()));
  EXPECT_EQ(c[pkInnerUpperLeft], c[pkBody]);
  EXPECT_EQ(Body(Look(lfOffice11, btsPressed)), Rgb(Office2003Pressed()));
  EXPECT_EQ(Body(Look(lfOffice11, btsNormal)), Sys(COLOR_WINDOW));
  EXPECT_EQ(Body(Look(lfOffice11, btsDisabled)), Sys(COLOR_BTNFACE));
}

TEST_F(GlyphImages, TheDotShowsOnlyWhenChecked) {
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    for (ButtonState state : {btsNormal, btsHot, btsPressed, btsDisabled}) {
      const auto unchecked = Drawn(Look(kind, state));
      EXPECT_EQ(unchecked[pkDot], unchecked[pkBody]) << int(kind) << " " << int(state);
      const COLORREF dot = Dot(Look(kind, state, true));
      if (state != btsDisabled) {
        EXPECT_EQ(dot, Sys(COLOR_WINDOWTEXT)) << int(kind) << " " << int(state);
      } else {
        EXPECT_EQ(dot, kind == lfOffice11 ? Rgb(Office2003Disabled()) : Sys(COLOR_BTNSHADOW)) << int(kind);
      }
    }
  }
}

// Wine's own theme is no Office variant; with the names of the blue XP theme
// the next colour change brings the scheme's fixed colours into the images.
TEST_F(GlyphImages, Office2003SchemeColoursReachTheImagesOnAColourChange) {
  SetThemeNameSource([] {
    return TThemeNames{S_OK, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", L"NormalSize"};
  });
  SetMajorVersionSource([] { return 5; });
  RadioButtonImages();
  SendMessageW(SystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  ASSERT_TRUE(Office2003Themed());
  EXPECT_EQ(Ring(Look(lfOffice11, btsDisabled)), RGB(141, 141, 141));
  EXPECT_EQ(Dot(Look(lfOffice11, btsDisabled, true)), RGB(141, 141, 141));
  EXPECT_EQ(Ring(Look(lfOffice11, btsHot)), RGB(0, 0, 128));
  EXPECT_EQ(Body(Look(lfOffice11, btsHot)), RGB(255, 244, 204));
  EXPECT_EQ(Body(Look(lfOffice11, btsPressed)), RGB(255, 211, 142));
  SetThemeNameSource(nullptr);
  SetMajorVersionSource(nullptr);
  SendMessageW(SystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(Ring(Look(lfOffice11, btsDisabled)), Sys(COLOR_GRAYTEXT));
}

TEST_F(GlyphImages, WithoutABackgroundTheCanvasShowsAroundTheDisc) {
  const TGlyphPattern& p = GlyphPattern();
  const TLook look = Look(lfUltraFlat, btsHot, true, true);
  for (COLORREF canvas : {kCanvas, RGB(0, 128, 64)}) {
    for (TColor background : {clDefault, clNone}) {
      test::TDib dib(p.Width + 6, p.Height + 6, canvas);
      test::DrawLook(dib, 3, 2, background, look);
      ExpectLookAt(dib, 3, 2, look, canvas);
      // Nothing beyond the W x H rectangle either.
      const int beyond = dib.Count(canvas, RECT{0, 0, dib.Width(), dib.Height()}) -
                         dib.Count(canvas, RECT{3, 2, 3 + p.Width, 2 + p.Height});
      EXPECT_EQ(beyond, dib.Width() * dib.Height() - p.Width * p.Height);
    }
  }
}

TEST_F(GlyphImages, AnExplicitBackgroundFillsTheWholeRectangle) {
  const TGlyphPattern& p = GlyphPattern();
  const TLook look = Look(lfOffice11, btsPressed, true);
  std::vector<HBRUSH> brushes;
  struct THook {
    explicit THook(std::vector<HBRUSH>& seen) {
      SetGlyphBrushHook([&seen](HBRUSH brush) { seen.push_back(brush); });
    }
    ~THook() { SetGlyphBrushHook(nullptr); }
  } hook(brushes);
  for (TColor background : {static_cast<TColor>(RGB(1, 200, 3)), clBtnFace}) {
    test::TDib dib(p.Width + 6, p.Height + 6, kCanvas);
    const HGDIOBJ selected = GetCurrentObject(dib.DC(), OBJ_BRUSH);
    brushes.clear();
    test::DrawLook(dib, 2, 3, background, look);
    // The corners around the disc take the background.
    ExpectLookAt(dib, 2, 3, look, Rgb(background));
    EXPECT_EQ(dib.Pixel(2, 3), Rgb(background));
    EXPECT_EQ(dib.Pixel(1, 3), kCanvas);
    EXPECT_EQ(dib.Pixel(2 + p.Width, 3), kCanvas);
    EXPECT_EQ(dib.Pixel(2, 3 + p.Height), kCanvas);
    // One brush made for the draw, gone again, and the canvas's own untouched.
    ASSERT_EQ(brushes.size(), 1u);
    EXPECT_EQ(GetObjectType(brushes[0]), 0u);
    EXPECT_EQ(GetCurrentObject(dib.DC(), OBJ_BRUSH), selected);
  }
  brushes.clear();
  test::TDib plain(p.Width, p.Height, kCanvas);
  test::DrawLook(plain, 0, 0, clDefault, look);
  EXPECT_TRUE(brushes.empty());
}

TEST_F(GlyphImages, AColourChangeIsInTheImagesBeforeAnyControlHearsOfIt) {
  RadioButtonImages();
  const TGlyphGeometry before = GlyphGeometry();
  const COLORREF window = RGB(12, 200, 99);
  int told = 0;
  COLORREF bodySeen = CLR_INVALID;
  COLORREF hotSeen = CLR_INVALID;
  COLORREF hotTint = CLR_INVALID;
  TcxSystemPaletteChangedNotifier control(false);
  control.OnSystemColorsChanged = [&] {
    ++told;
    bodySeen = Body(Look(lfStandard, btsNormal, true));
    hotSeen = Body(Look(lfUltraFlat, btsHot));
    hotTint = Rgb(HotTrackTint());
  };
  int index = COLOR_WINDOW;
  ASSERT_TRUE(SetSysColors(1, &index, &window));
  ASSERT_TRUE(test::PumpUntil([&] { return told > 0; }));
  EXPECT_EQ(told, 1);
  EXPECT_EQ(bodySeen, window);
  // The hot tint is mixed from the window colour, so it changed with it.
  EXPECT_EQ(hotSeen, hotTint);
  EXPECT_EQ(RadioButtonImages().ImageCount(), 128);
  EXPECT_EQ(GlyphGeometry().Width, before.Width);
  EXPECT_EQ(GlyphGeometry().DotLeft, before.DotLeft);
}

namespace {

// Calls of ImageList_Remove that empty a whole list (the start of a rebuild of
// the glyph images), and the shared brush cache's depth at the first of them.
using TImageListRemove = BOOL(WINAPI*)(HIMAGELIST, int);
TImageListRemove gRealRemove = nullptr;
int gRebuilds = 0;
int gBrushesAtRebuild = -1;

BOOL WINAPI WatchedRemove(HIMAGELIST list, int index) {
  if (index == -1 && gRebuilds++ == 0) gBrushesAtRebuild = SharedBrushCache() ? SharedBrushCache()->Depth() : -1;
  return gRealRemove(list, index);
}

}  // namespace

// A colour change empties the shared brush cache before the glyph images are
// rebuilt: seen from the image list's own entry, called by the rebuild.
TEST_F(GlyphImages, TheBrushCacheIsEmptiedBeforeTheImagesAreRebuilt) {
  RadioButtonImages();
  ASSERT_NE(SharedBrushCache(), nullptr);
  SharedBrushCache()->BrushFor(static_cast<TColor>(RGB(1, 2, 3)));
  ASSERT_EQ(SharedBrushCache()->Depth(), 1);
  test::TImportPatch patch("comctl32.dll", "ImageList_Remove", reinterpret_cast<void*>(&WatchedRemove));
  ASSERT_TRUE(patch.Active());
  gRealRemove = reinterpret_cast<TImageListRemove>(patch.Original());
  gRebuilds = 0;
  gBrushesAtRebuild = -1;
  int told = 0;
  TcxSystemPaletteChangedNotifier control(false);
  control.OnSystemColorsChanged = [&] { ++told; };
  const COLORREF window = RGB(12, 200, 99);
  int index = COLOR_WINDOW;
  ASSERT_TRUE(SetSysColors(1, &index, &window));
  ASSERT_TRUE(test::PumpUntil([&] { return told > 0; }));
  EXPECT_EQ(gRebuilds, 1);
  EXPECT_EQ(gBrushesAtRebuild, 0);
  EXPECT_EQ(RadioButtonImages().ImageCount(), 128);
}

TEST_F(GlyphImages, ACacheFromAMeasurementWithoutGlyphUsesTheDefaultGlyph) {
  TGlyphCell white;
  white.Width = 14;
  white.Height = 13;
  white.Pixels.assign(14 * 13, RGB(255, 255, 255));
  TcxRadioButtonImageList cache(GeometryFromCells(white, white, Sys(COLOR_WINDOWTEXT)));
  EXPECT_EQ(cache.ImageCount(), 128);
  const SIZE size = cache.GlyphSize();
  EXPECT_EQ(size.cx, 13);
  EXPECT_EQ(size.cy, 13);
  test::TDib dib(13, 13, kCanvas);
  test::TDibCanvas canvas(dib);
  cache.DrawGlyphImage(*canvas, 0, 0, clDefault, lfUltraFlat, btsNormal, true, false, false);
  EXPECT_EQ(dib.Pixel(6, 6), Sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(dib.Pixel(0, 0), kCanvas);
  EXPECT_EQ(dib.Pixel(6, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(dib.Pixel(3, 6), Sys(COLOR_WINDOW));
}

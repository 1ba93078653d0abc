// The five radio glyph painters: style codes, caption and face colours, the
// self-drawn ones drawing the cache's images, and the native one drawing the
// visual style's radio part (or nothing without visual styles).
#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "controls/Modules.h"
#include "graphics/Office2003Colors.h"
#include "graphics/SelectionTints.h"
#include "lookandfeel/Painters.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/glyphs/GlyphTestSupport.h"
#include "theme/ThemeManager.h"
#include "theme/UxTheme.h"

using namespace lodo;

namespace {

constexpr COLORREF kCanvas = RGB(255, 0, 255);
constexpr std::array<ButtonState, 5> kStates = {btsDefault, btsNormal, btsHot, btsPressed, btsDisabled};

using test::DifferentPixels;

class GlyphPainters : public testing::Test {
 protected:
  TModulesScope FModules;
  test::TGlyphSysColors FColors;
};

}  // namespace

TEST_F(GlyphPainters, StyleCodesAndTheirImageKinds) {
  struct TCase {
    TcxLookAndFeelPainterClass Painter;
    PainterStyle Style;
    TcxLookAndFeelKind Kind;
  };
  const std::array<TCase, 6> cases = {{
      {TcxCustomLookAndFeelPainter::Instance(), psStandard, lfStandard},
      {TcxStandardLookAndFeelPainter::Instance(), psStandard, lfStandard},
      {TcxWinXPLookAndFeelPainter::Instance(), psNative, lfStandard},
      {TcxFlatLookAndFeelPainter::Instance(), psFlat, lfFlat},
      {TcxUltraFlatLookAndFeelPainter::Instance(), psUltraFlat, lfUltraFlat},
      {TcxOffice11LookAndFeelPainter::Instance(), psOffice11, lfOffice11},
  }};
  for (const TCase& c : cases) {
    EXPECT_EQ(c.Painter->StyleCode(), c.Style);
    EXPECT_EQ(KindForStyle(c.Painter->StyleCode()), c.Kind);
    EXPECT_EQ(c.Painter->CaptionTextColor(false), clDefault);
    EXPECT_EQ(c.Painter->CaptionTextColor(true), clDefault);
    EXPECT_EQ(c.Painter->StateTextColor(tckNormal), clDefault);
    EXPECT_EQ(c.Painter->StateTextColor(tckDisabled), clDefault);
  }
  // Each kind's painter draws the images of its own kind.
  for (int kind = lfFlat; kind <= lfOffice11; ++kind)
    EXPECT_EQ(KindForStyle(KindPainters[static_cast<std::size_t>(kind)]->StyleCode()), kind);
}

TEST_F(GlyphPainters, ButtonFaceColours) {
  for (TcxLookAndFeelPainterClass painter :
       {TcxCustomLookAndFeelPainter::Instance(), TcxStandardLookAndFeelPainter::Instance(),
        TcxFlatLookAndFeelPainter::Instance(), TcxWinXPLookAndFeelPainter::Instance()})
    for (ButtonState state : kStates) EXPECT_EQ(painter->ButtonFaceColor(state), clBtnFace) << int(state);

  const TcxLookAndFeelPainterClass ultraFlat = TcxUltraFlatLookAndFeelPainter::Instance();
  EXPECT_EQ(ultraFlat->ButtonFaceColor(btsDefault), clBtnFace);
  EXPECT_EQ(ultraFlat->ButtonFaceColor(btsNormal), clBtnFace);
  EXPECT_EQ(ultraFlat->ButtonFaceColor(btsHot), HotTrackTint());
  EXPECT_EQ(ultraFlat->ButtonFaceColor(btsPressed), PressedTint());
  EXPECT_EQ(ultraFlat->ButtonFaceColor(btsDisabled), clBtnFace);

  const TcxLookAndFeelPainterClass office = TcxOffice11LookAndFeelPainter::Instance();
  EXPECT_EQ(office->ButtonFaceColor(btsDefault), Office2003Face());
  EXPECT_EQ(office->ButtonFaceColor(btsNormal), Office2003Face());
  EXPECT_EQ(office->ButtonFaceColor(btsHot), Office2003Hot());
  EXPECT_EQ(office->ButtonFaceColor(btsPressed), Office2003Pressed());
  // A system colour reference, not its RGB value.
  EXPECT_EQ(office->ButtonFaceColor(btsDisabled), clBtnFace);
}

TEST_F(GlyphPainters, NativeStateIdsOfTheRadioPart) {
  const std::array<int, 5> unchecked = {RBS_UNCHECKEDNORMAL, RBS_UNCHECKEDNORMAL, RBS_UNCHECKEDHOT,
                                        RBS_UNCHECKEDPRESSED, RBS_UNCHECKEDDISABLED};
  const std::array<int, 5> checked = {RBS_CHECKEDNORMAL, RBS_CHECKEDNORMAL, RBS_CHECKEDHOT, RBS_CHECKEDPRESSED,
                                      RBS_CHECKEDDISABLED};
  for (std::size_t i = 0; i < kStates.size(); ++i) {
    EXPECT_EQ(RadioThemeStateId(false, kStates[i]), unchecked[i]) << i;
    EXPECT_EQ(RadioThemeStateId(true, kStates[i]), checked[i]) << i;
  }
  EXPECT_EQ(RadioThemeStateId(true, btsDisabled), 8);
  EXPECT_EQ(RadioThemeStateId(false, btsDefault), 1);
}

TEST_F(GlyphPainters, SelfDrawnPaintersDrawTheImagesOfTheirKind) {
  const SIZE size = GlyphSize();
  for (TcxLookAndFeelPainterClass painter :
       {TcxCustomLookAndFeelPainter::Instance(), TcxStandardLookAndFeelPainter::Instance(),
        TcxFlatLookAndFeelPainter::Instance(), TcxUltraFlatLookAndFeelPainter::Instance(),
        TcxOffice11LookAndFeelPainter::Instance()}) {
    const SIZE glyph = painter->RadioGlyphSize();
    EXPECT_EQ(glyph.cx, size.cx);
    EXPECT_EQ(glyph.cy, size.cy);
    const TcxLookAndFeelKind kind = KindForStyle(painter->StyleCode());
    for (ButtonState state : {btsNormal, btsHot, btsPressed, btsDisabled}) {
      for (TColor background : {clDefault, static_cast<TColor>(RGB(9, 99, 199))}) {
        test::TDib painted(size.cx + 4, size.cy + 4, kCanvas);
        test::TDib direct(size.cx + 4, size.cy + 4, kCanvas);
        {
          test::TDibCanvas canvas(painted);
          painter->PaintRadioGlyph(*canvas, 2, 1, state, true, false, background, false);
        }
        test::DrawLook(direct, 2, 1, background, test::TLook{kind, state, true, false, false});
        EXPECT_EQ(DifferentPixels(painted, direct), 0) << int(painter->StyleCode()) << " " << int(state);
        EXPECT_NE(painted.Pixel(2 + size.cx / 2, 1 + size.cy / 2), kCanvas);
      }
    }
  }
}

// It derives from the ultra-flat painter, but its own style code picks the
// Office 2003 images: the rings differ.
TEST_F(GlyphPainters, TheOffice2003PainterDrawsOffice2003Images) {
  const SIZE size = GlyphSize();
  const POINT ring = test::FirstCellOf(GlyphPattern(), pkOuterUpperLeft);
  for (ButtonState state : {btsNormal, btsDisabled}) {
    test::TDib office(size.cx, size.cy, kCanvas);
    test::TDib ultraFlat(size.cx, size.cy, kCanvas);
    {
      test::TDibCanvas canvas(office);
      TcxOffice11LookAndFeelPainter::Instance()->PaintRadioGlyph(*canvas, 0, 0, state, false, false, clDefault, false);
    }
    {
      test::TDibCanvas canvas(ultraFlat);
      TcxUltraFlatLookAndFeelPainter::Instance()->PaintRadioGlyph(*canvas, 0, 0, state, false, false, clDefault, false);
    }
    const COLORREF officeRing = state == btsDisabled ? ColorToRGB(Office2003Disabled()) : GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(office.Pixel(ring.x, ring.y), officeRing);
    EXPECT_EQ(ultraFlat.Pixel(ring.x, ring.y), GetSysColor(COLOR_BTNSHADOW));
  }
}

TEST_F(GlyphPainters, TheNativePainterDrawsTheThemesRadioPart) {
  ASSERT_TRUE(VisualStylesAvailable(tciButton));
  const HTHEME own = lodo::OpenThemeData(nullptr, L"Button");
  ASSERT_NE(own, nullptr);
  SIZE part{};
  ASSERT_EQ(lodo::GetThemePartSize(own, nullptr, BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL, nullptr, TS_TRUE, &part), S_OK);
  const TcxLookAndFeelPainterClass native = TcxWinXPLookAndFeelPainter::Instance();
  const SIZE size = native->RadioGlyphSize();
  EXPECT_EQ(size.cx, part.cx);
  EXPECT_EQ(size.cy, part.cy);
  ASSERT_GT(size.cx, 0);

  const std::array<int, 5> ids = {1, 1, 2, 3, 4};
  std::vector<int> checkedDiffers;
  for (bool checked : {false, true}) {
    for (std::size_t i = 0; i < kStates.size(); ++i) {
      test::TDib painted(size.cx + 8, size.cy + 8, RGB(200, 200, 200));
      test::TDib direct(size.cx + 8, size.cy + 8, RGB(200, 200, 200));
      {
        test::TDibCanvas canvas(painted);
        // Focus, background and designing do not reach the theme.
        native->PaintRadioGlyph(*canvas, 4, 3, kStates[i], checked, true, clRed, true);
      }
      const RECT rect{4, 3, 4 + size.cx, 3 + size.cy};
      lodo::DrawThemeBackground(own, direct.DC(), BP_RADIOBUTTON, ids[i] + (checked ? 4 : 0), rect);
      EXPECT_EQ(DifferentPixels(painted, direct), 0) << checked << " " << i;
      EXPECT_LT(painted.Count(RGB(200, 200, 200), rect), size.cx * size.cy);
      // The glyph stays in its rectangle: the border of the DIB is untouched.
      EXPECT_EQ(painted.Count(RGB(200, 200, 200), RECT{0, 0, painted.Width(), 3}), painted.Width() * 3);
    }
  }
  // The check state reaches the theme.
  test::TDib unchecked(size.cx, size.cy, RGB(200, 200, 200));
  test::TDib checked(size.cx, size.cy, RGB(200, 200, 200));
  {
    test::TDibCanvas canvas(unchecked);
    native->PaintRadioGlyph(*canvas, 0, 0, btsNormal, false, false, clDefault, false);
  }
  {
    test::TDibCanvas canvas(checked);
    native->PaintRadioGlyph(*canvas, 0, 0, btsNormal, true, false, clDefault, false);
  }
  EXPECT_GT(DifferentPixels(unchecked, checked), 0);
  lodo::CloseThemeData(own);
}

// Without visual styles the native painter is never chosen; asked anyway, its
// theme calls fail and it draws nothing, while the self-drawn ones still draw.
TEST_F(GlyphPainters, ClassicStyleNativePainterDrawsNothing) {
  ASSERT_FALSE(VisualStylesAvailable(tciButton));
  const TcxLookAndFeelPainterClass native = TcxWinXPLookAndFeelPainter::Instance();
  const SIZE size = native->RadioGlyphSize();
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 0);
  test::TDib dib(40, 40, kCanvas);
  {
    test::TDibCanvas canvas(dib);
    native->PaintRadioGlyph(*canvas, 2, 2, btsHot, true, true, clRed, false);
  }
  EXPECT_EQ(dib.Count(kCanvas, RECT{0, 0, 40, 40}), 40 * 40);

  const SIZE glyph = TcxUltraFlatLookAndFeelPainter::Instance()->RadioGlyphSize();
  EXPECT_EQ(glyph.cx, GlyphGeometry().Width);
  {
    test::TDibCanvas canvas(dib);
    TcxUltraFlatLookAndFeelPainter::Instance()->PaintRadioGlyph(*canvas, 2, 2, btsNormal, true, false, clDefault,
                                                                false);
  }
  const TGlyphGeometry& g = GlyphGeometry();
  EXPECT_EQ(dib.Pixel(2 + (g.DotLeft + g.DotRight) / 2 - g.Left, 2 + (g.DotTop + g.DotBottom) / 2 - g.Top),
            GetSysColor(COLOR_WINDOWTEXT));
}

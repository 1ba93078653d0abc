// The canvas helpers on real device contexts: the text flag translation, the
// two text routes with their placement, embossed disabled text, measuring,
// clip exclusion and fills.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/Modules.h"
#include "graphics/Canvas.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

// A canvas over a white DIB with Tahoma 13, and a log of the text calls.
class CanvasTest : public testing::Test {
 protected:
  CanvasTest() {
    FPlatform.Font().SetHeight(13);
    FPlatform.Font().SetColor(clBlack);
    SetTextCallHook([this](const TTextCall& call) { FCalls.push_back(call); });
  }
  ~CanvasTest() override { SetTextCallHook(nullptr); }

  int TextHeight() { return FCanvas.TextSize("Xg").cy; }

  TModulesScope FModules;
  test::TOwnDibCanvas FOver{200, 120};
  test::TDib& FDib = FOver.Dib;
  TCanvas& FPlatform = FOver.Canvas.Platform();
  TcxCanvas& FCanvas = *FOver.Canvas;
  std::vector<TTextCall> FCalls;
};

}  // namespace

TEST(TextFlagsTest, TranslateToDrawTextFormat) {
  EXPECT_EQ(ToDrawTextFormat(609), 0x0024u);
  EXPECT_EQ(ToDrawTextFormat(1697), 0x2114u);
  EXPECT_EQ(ToDrawTextFormat(0), static_cast<UINT>(DT_NOPREFIX));
  EXPECT_EQ(ToDrawTextFormat(tfWordBreak), static_cast<UINT>(DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL));
  EXPECT_EQ(ToDrawTextFormat(tfWordBreak | tfNoCharBreak), static_cast<UINT>(DT_NOPREFIX | DT_WORDBREAK));
  EXPECT_EQ(
      ToDrawTextFormat(tfRight | tfHCenter | tfBottom | tfExpandTabs | tfEndEllipsis | tfMeasureOnly | tfPathEllipsis),
      static_cast<UINT>(DT_NOPREFIX | DT_RIGHT | DT_CENTER | DT_BOTTOM | DT_EXPANDTABS | DT_END_ELLIPSIS | DT_CALCRECT |
                        DT_PATH_ELLIPSIS));
}

TEST_F(CanvasTest, PrefixedSingleLineGoesThroughDrawTextWithoutClipWhenItFits) {
  FCanvas.PaintText("&Zagreb", {0, 0, 150, 20}, 609);
  FCanvas.PaintText("&Zagreb", {0, 0, 10, 20}, 609);
  ASSERT_EQ(FCalls.size(), 2u);
  EXPECT_EQ(FCalls[0].Route, TTextCall::trDrawText);
  EXPECT_EQ(FCalls[0].Format, 0x0124u);
  EXPECT_EQ(FCalls[1].Format, 0x0024u);
  EXPECT_GT(FDib.Count(RGB(0, 0, 0), {0, 0, 150, 20}), 0);
}

TEST_F(CanvasTest, PlainSingleLineGoesThroughExtTextOutPlacedByTheFlags) {
  const SIZE size = FCanvas.TextSize("Split");
  FCanvas.PaintText("Split", {10, 10, 110, 50}, tfSingleLine | tfRight | tfBottom);
  FCanvas.PaintText("Split", {10, 10, 110, 50}, tfSingleLine | tfHCenter | tfVCenter);
  // On a clean picture: the box is far smaller than the text, which starts
  // in it and runs on to the right and down.
  FDib.Fill(RGB(255, 255, 255));
  FCanvas.PaintText("Split", {10, 10, 12, 12}, tfSingleLine);
  ASSERT_EQ(FCalls.size(), 3u);
  EXPECT_EQ(FCalls[0].Route, TTextCall::trExtTextOut);
  EXPECT_EQ(FCalls[0].Format, 0u);  // fits: no clipping
  EXPECT_EQ(FCalls[0].Rect.left, 110 - size.cx);
  EXPECT_EQ(FCalls[0].Rect.top, 50 - size.cy);
  EXPECT_EQ(FCalls[1].Rect.left, (10 + 110 - size.cx) / 2);
  EXPECT_EQ(FCalls[1].Rect.top, (10 + 50 - size.cy) / 2);
  EXPECT_EQ(FCalls[2].Format, static_cast<UINT>(ETO_CLIPPED));
  EXPECT_EQ(FCalls[2].Rect.left, 10);
  // The clipped output stays inside its 2 x 2 box.
  const int all = FDib.Count(RGB(0, 0, 0), {0, 0, FDib.Width(), FDib.Height()});
  EXPECT_EQ(all - FDib.Count(RGB(0, 0, 0), {10, 10, 12, 12}), 0);
}

TEST_F(CanvasTest, DisabledTextIsEmbossedAndTheCanvasIsLeftAsItWas) {
  FPlatform.Brush().SetStyle(bsSolid);
  FCanvas.PaintText("Rijeka", {20, 20, 180, 40}, 609, false);
  ASSERT_EQ(FCalls.size(), 2u);
  EXPECT_EQ(FCalls[0].Rect.left, 21);
  EXPECT_EQ(FCalls[0].Rect.top, 21);
  EXPECT_EQ(FCalls[0].TextColor, ColorToRGB(clBtnHighlight));
  EXPECT_EQ(FCalls[1].Rect.left, 20);
  EXPECT_EQ(FCalls[1].Rect.top, 20);
  EXPECT_EQ(FCalls[1].TextColor, ColorToRGB(clBtnShadow));
  EXPECT_EQ(FPlatform.Font().Color(), clBlack);
  EXPECT_EQ(FPlatform.Brush().Style(), bsSolid);
  EXPECT_GT(FDib.Count(ColorToRGB(clBtnShadow), {20, 20, 180, 40}), 0);
}

TEST_F(CanvasTest, WrappedBlockIsCentredVerticallyByTheCanvas) {
  const std::string text = "one two three four five six seven eight nine ten eleven twelve";
  RECT block{0, 0, 80, 0};
  FCanvas.MeasureTextRect(text, block, tfLeft | tfTop | tfWordBreak);
  const int h = block.bottom - block.top;
  ASSERT_GT(h, TextHeight());  // it really wraps
  FCanvas.PaintText(text, {0, 10, 80, 110}, 1697);
  ASSERT_EQ(FCalls.size(), 1u);
  EXPECT_EQ(FCalls[0].Rect.top, (10 + 110 - h) / 2);
  EXPECT_EQ(FCalls[0].Format, 0x2114u);
}

TEST_F(CanvasTest, MeasureTextRectAlignsTheBoxInsideTheGivenRectangle) {
  const SIZE size = FCanvas.TextSize("Osijek");
  RECT r{5, 10, 105, 30};
  FCanvas.MeasureTextRect("Osijek", r, 609);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 10 + (20 - size.cy) / 2);
  EXPECT_EQ(r.right - r.left, size.cx);
  EXPECT_EQ(r.bottom - r.top, size.cy);

  RECT centred{0, 0, 100, 20};
  FCanvas.MeasureTextRect("Osijek", centred, tfHCenter | tfSingleLine);
  EXPECT_EQ(centred.left, (100 - size.cx) / 2);
  RECT right{0, 0, 100, 40};
  FCanvas.MeasureTextRect("Osijek", right, tfRight | tfSingleLine);
  EXPECT_EQ(right.left, 100 - size.cx);
  // A zero-width box still measures the text.
  RECT empty{7, 7, 7, 7};
  FCanvas.MeasureTextRect("Osijek", empty, tfSingleLine);
  EXPECT_EQ(empty.right - empty.left, size.cx);
}

TEST_F(CanvasTest, EmptyTextDrawsNothingAndChangesNothing) {
  FPlatform.Font().SetColor(clRed);
  FCanvas.PaintText("", {0, 0, 200, 120}, 609, false);
  EXPECT_TRUE(FCalls.empty());
  EXPECT_EQ(FPlatform.Font().Color(), clRed);
  EXPECT_EQ(FDib.Count(RGB(255, 255, 255), {0, 0, 200, 120}), 200 * 120);
}

TEST_F(CanvasTest, ExcludedRectangleSurvivesLaterFills) {
  FCanvas.ExcludeRect({10, 10, 20, 20});
  FillRectSolid(FCanvas, {0, 0, 100, 100}, clRed);
  EXPECT_EQ(FDib.Pixel(15, 15), RGB(255, 255, 255));
  EXPECT_EQ(FDib.Pixel(25, 15), RGB(255, 0, 0));
  EXPECT_EQ(FDib.Pixel(9, 9), RGB(255, 0, 0));
}

TEST_F(CanvasTest, FillWithColorHonoursNoneAndDefault) {
  FCanvas.SetBrushColor(clLime);
  FCanvas.FillWithColor({0, 0, 10, 10}, clNone);
  EXPECT_EQ(FDib.Pixel(5, 5), RGB(255, 255, 255));
  FCanvas.FillWithColor({0, 0, 10, 10}, clDefault);
  EXPECT_EQ(FDib.Pixel(5, 5), RGB(0, 255, 0));
  FCanvas.FillWithColor({0, 0, 10, 10}, clRed);
  EXPECT_EQ(FDib.Pixel(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(FPlatform.Brush().Color(), clRed);
  // The solid fill leaves the canvas's brush alone.
  FillRectSolid(FCanvas, {0, 0, 10, 10}, clGreen);
  EXPECT_EQ(FDib.Pixel(5, 5), RGB(0, 128, 0));
  EXPECT_EQ(FPlatform.Brush().Color(), clRed);
}

TEST_F(CanvasTest, SavedStatesComeBackInOrder) {
  SetWindowOrgEx(FDib.DC(), 0, 0, nullptr);
  FCanvas.SaveDC();
  SetWindowOrgEx(FDib.DC(), 12, 29, nullptr);
  FCanvas.SaveDC();
  SetWindowOrgEx(FDib.DC(), 1, 1, nullptr);
  EXPECT_EQ(FCanvas.SavedDCCount(), 2);
  POINT org{};
  FCanvas.RestoreDC();
  GetWindowOrgEx(FDib.DC(), &org);
  EXPECT_EQ(org.x, 12);
  FCanvas.RestoreDC();
  GetWindowOrgEx(FDib.DC(), &org);
  EXPECT_EQ(org.x, 0);
  FCanvas.RestoreDC();  // nothing left: nothing happens
  EXPECT_EQ(FCanvas.SavedDCCount(), 0);

  FPlatform.Font().SetColor(clGreen);
  FCanvas.SaveState();
  FPlatform.Font().SetColor(clRed);
  FPlatform.Pen().SetWidth(3);
  FCanvas.RestoreState();
  EXPECT_EQ(FPlatform.Font().Color(), clGreen);
  EXPECT_EQ(FPlatform.Pen().Width(), 1);

  FCanvas.SaveClipRegion();
  FCanvas.ExcludeRect({0, 0, 50, 50});
  FCanvas.RestoreClipRegion();
  FillRectSolid(FCanvas, {0, 0, 100, 100}, clRed);
  EXPECT_EQ(FDib.Pixel(5, 5), RGB(255, 0, 0));
}

// The glyph's geometry measured from the system's radio button, the pixel kind
// matrix and the mask, for the measured glyph, a synthetic 13 x 13 one and
// measurements that find no glyph or no dot.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/Modules.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/glyphs/GlyphTestSupport.h"

using namespace lodo;

namespace {

bool IsOuter(std::int32_t k) { return k == pkOuterUpperLeft || k == pkOuterLowerRight; }
bool IsInner(std::int32_t k) { return k == pkInnerUpperLeft || k == pkInnerLowerRight; }

// Which side of the top-right to bottom-left diagonal a cell lies on.
long long DiagonalSide(const TGlyphPattern& p, int x, int y) {
  return static_cast<long long>(p.Height - 1) * (p.Width - 1 - x) - static_cast<long long>(p.Width - 1) * y;
}

std::string Describe(const TGlyphPattern& p) {
  std::string text;
  for (int y = 0; y < p.Height; ++y) {
    for (int x = 0; x < p.Width; ++x) text += ".ULulbD"[p.At(x, y)];
    text += '\n';
  }
  return text;
}

// The outline: an ellipse touching all four sides, its halves split along the
// diagonal from the top-right to the bottom-left corner.
void ExpectOuterRing(const TGlyphPattern& p) {
  const int w = p.Width;
  const int h = p.Height;
  for (POINT corner : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
    EXPECT_EQ(p.At(corner.x, corner.y), pkOutside) << corner.x << "," << corner.y;
  // Each side holds ring cells, the top and left ones of the upper-left half.
  auto expectSide = [&](int count, auto at, std::int32_t half) {
    int found = 0;
    for (int i = 0; i < count; ++i) {
      if (!IsOuter(at(i))) continue;
      ++found;
      EXPECT_EQ(at(i), half) << i;
    }
    EXPECT_GT(found, 0);
  };
  expectSide(
      w, [&](int x) { return p.At(x, 0); }, pkOuterUpperLeft);
  expectSide(
      w, [&](int x) { return p.At(x, h - 1); }, pkOuterLowerRight);
  expectSide(
      h, [&](int y) { return p.At(0, y); }, pkOuterUpperLeft);
  expectSide(
      h, [&](int y) { return p.At(w - 1, y); }, pkOuterLowerRight);
  // An ellipse is point-symmetric and the diagonal test changes sign under the
  // reflection, so each ring cell off the diagonal faces one of the other half.
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!IsOuter(p.At(x, y))) continue;
      const long long side = DiagonalSide(p, x, y);
      if (side == 0) {
        EXPECT_EQ(p.At(x, y), pkOuterUpperLeft) << "diagonal cell " << x << "," << y;
        continue;
      }
      EXPECT_EQ(p.At(x, y), side > 0 ? pkOuterUpperLeft : pkOuterLowerRight) << x << "," << y;
      const std::int32_t mirrored = p.At(w - 1 - x, h - 1 - y);
      EXPECT_TRUE(IsOuter(mirrored) && mirrored != p.At(x, y)) << x << "," << y;
    }
  }
}

// Inside the outline nothing is left outside; the cells next to the outline
// along rows and columns, and every inside cell of rows 1 and H-2 and columns
// 1 and W-2, are inner ring; no other cell is.
void ExpectBodyAndInnerRing(const TGlyphPattern& p) {
  const int w = p.Width;
  const int h = p.Height;
  auto outer = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && IsOuter(p.At(x, y)); };
  for (int y = 1; y <= h - 2; ++y) {
    int first = 0;
    while (first < w && !outer(first, y)) ++first;
    int last = w - 1;
    while (last >= 0 && !outer(last, y)) --last;
    ASSERT_LT(first, last) << "row " << y;
    for (int x = first; x <= last; ++x) EXPECT_NE(p.At(x, y), pkOutside) << x << "," << y;
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::int32_t k = p.At(x, y);
      if (k == pkOutside || IsOuter(k)) continue;
      const bool nextToRing = outer(x - 1, y) || outer(x + 1, y) || outer(x, y - 1) || outer(x, y + 1);
      const bool edgeLine = y == 1 || y == h - 2 || x == 1 || x == w - 2;
      if (nextToRing || edgeLine) {
        EXPECT_TRUE(IsInner(k) || k == pkDot) << x << "," << y;
      } else {
        EXPECT_TRUE(k == pkBody || k == pkDot) << x << "," << y;
      }
      if (!IsInner(k)) continue;
      const long long side = DiagonalSide(p, x, y);
      const bool upperLeft = side > 0 || (side == 0 && x <= w / 2 - 1);
      EXPECT_EQ(k, upperLeft ? pkInnerUpperLeft : pkInnerLowerRight) << x << "," << y;
    }
  }
}

// The dot fills the measured dot rectangle (relative to the glyph) up to its
// edges and nothing outside it, about the glyph's centre.
void ExpectDot(const TGlyphPattern& p, const TGlyphGeometry& g) {
  const RECT box = test::PixelBox({0, 0, p.Width, p.Height}, [&](int x, int y) { return p.At(x, y) == pkDot; });
  EXPECT_TRUE(test::SameRect(box, {g.DotLeft - g.Left, g.DotTop - g.Top, g.DotRight - g.Left, g.DotBottom - g.Top}));
  EXPECT_LE(std::abs((box.left + box.right) - p.Width), 1);
  EXPECT_LE(std::abs((box.top + box.bottom) - p.Height), 1);
  const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  EXPECT_EQ(p.At(centre.x, centre.y), pkDot);
}

void ExpectWellFormed(const TGlyphPattern& p, const TGlyphGeometry& g) {
  ASSERT_EQ(p.Width, g.Width);
  ASSERT_EQ(p.Height, g.Height);
  ASSERT_EQ(p.Kinds.size(), static_cast<std::size_t>(g.Width * g.Height));
  SCOPED_TRACE(Describe(p));
  ExpectOuterRing(p);
  ExpectBodyAndInnerRing(p);
  ExpectDot(p, g);
}

// The mask's pixels as read back through GDI: true where black.
std::vector<bool> MaskPixels(HBITMAP mask, int width, int height) {
  std::vector<bool> black;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mask);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) black.push_back(GetPixel(dc, x, y) == RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  return black;
}

// The mask is a filled disc covering exactly the cells the pattern colours.
void ExpectMaskCoversPattern(HBITMAP mask, const TGlyphPattern& p) {
  BITMAP info{};
  ASSERT_NE(GetObjectW(mask, sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, p.Width);
  EXPECT_EQ(info.bmHeight, p.Height);
  EXPECT_EQ(info.bmBitsPixel, 1);
  const std::vector<bool> black = MaskPixels(mask, p.Width, p.Height);
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x)
      EXPECT_EQ(black[static_cast<std::size_t>(y * p.Width + x)], p.At(x, y) != pkOutside) << x << "," << y;
}

// A cell of one colour, with a black rectangle in it where one is given.
TGlyphCell Cell(int width, int height, COLORREF color, RECT black = {}) {
  TGlyphCell cell;
  cell.Width = width;
  cell.Height = height;
  cell.Pixels.assign(static_cast<std::size_t>(width * height), color);
  for (int y = black.top; y < black.bottom; ++y)
    for (int x = black.left; x < black.right; ++x) cell.Pixels[static_cast<std::size_t>(y * width + x)] = RGB(0, 0, 0);
  return cell;
}

void ExpectDotOnGlyph(const TGlyphGeometry& g) {
  EXPECT_GE(g.DotLeft, g.Left);
  EXPECT_GE(g.DotTop, g.Top);
  EXPECT_LE(g.DotRight, g.Right);
  EXPECT_LE(g.DotBottom, g.Bottom);
  EXPECT_GE(g.DotWidth, 1);
  EXPECT_GE(g.DotHeight, 1);
  EXPECT_EQ(g.DotWidth, g.DotRight - g.DotLeft);
  EXPECT_EQ(g.DotHeight, g.DotBottom - g.DotTop);
}

class GlyphShape : public testing::Test {
 protected:
  TModulesScope FModules;
};

}  // namespace

TEST_F(GlyphShape, MeasuredGeometryIsTheSystemsRadioButton) {
  test::TGlyphSysColors colors;
  const TGlyphGeometry g = MeasureGlyph();
  ASSERT_GT(g.Width, 2);
  ASSERT_GT(g.Height, 2);
  EXPECT_EQ(g.Right, g.Left + g.Width);
  EXPECT_EQ(g.Bottom, g.Top + g.Height);
  ExpectDotOnGlyph(g);

  // Drawn again here on a white cell: the black part of the mask is the glyph,
  // the window-text part of the checked image the dot.
  test::TDib cell(g.CellWidth, g.CellHeight, RGB(255, 255, 255));
  RECT rect{0, 0, g.CellWidth, g.CellHeight};
  auto boundsOf = [&](COLORREF color) {
    return test::PixelBox(rect, [&](int x, int y) { return cell.Pixel(x, y) == color; });
  };
  DrawFrameControl(cell.DC(), &rect, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  const RECT glyph = boundsOf(RGB(0, 0, 0));
  EXPECT_TRUE(test::SameRect(glyph, {g.Left, g.Top, g.Right, g.Bottom}));
  cell.Fill(RGB(255, 255, 255));
  DrawFrameControl(cell.DC(), &rect, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  // The dot is measured along one column and one row near the centre, so it
  // lies within the drawn dot, and its middle is a dot pixel.
  const RECT dot = boundsOf(GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_GE(g.DotLeft, dot.left);
  EXPECT_GE(g.DotTop, dot.top);
  EXPECT_LE(g.DotRight, dot.right);
  EXPECT_LE(g.DotBottom, dot.bottom);
  EXPECT_EQ(cell.Pixel((g.DotLeft + g.DotRight) / 2, (g.DotTop + g.DotBottom) / 2), GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(GlyphShape, TheCachesPatternAndMaskFollowTheMeasuredGeometry) {
  const TGlyphGeometry& g = GlyphGeometry();
  ExpectWellFormed(GlyphPattern(), g);
  ExpectMaskCoversPattern(RadioButtonImages().Mask(), GlyphPattern());
  const SIZE size = GlyphSize();
  EXPECT_EQ(size.cx, g.Width);
  EXPECT_EQ(size.cy, g.Height);
}

TEST_F(GlyphShape, ASynthetic13By13GlyphGivenDirectly) {
  // Cell, glyph size, glyph rectangle, dot rectangle and dot size: a glyph
  // filling its cell with a centred 5 x 5 dot.
  const TGlyphGeometry g{13, 13, 13, 13, 0, 0, 13, 13, 4, 4, 9, 9, 5, 5};
  const TGlyphPattern p = BuildPattern(g);
  ExpectWellFormed(p, g);
  const TBitmapHandle mask = BuildMask(g);
  ExpectMaskCoversPattern(mask.Get(), p);
  // The ring halves meet on the diagonal: the top-right and bottom-left ends
  // of the outline belong to the upper-left half only where the diagonal runs.
  EXPECT_EQ(p.At(6, 0), pkOuterUpperLeft);
  EXPECT_EQ(p.At(6, 12), pkOuterLowerRight);
  EXPECT_EQ(p.At(0, 6), pkOuterUpperLeft);
  EXPECT_EQ(p.At(12, 6), pkOuterLowerRight);
  // The whole second row inside the outline is inner ring; the centre is dot.
  EXPECT_EQ(p.At(6, 1), pkInnerUpperLeft);
  EXPECT_EQ(p.At(6, 11), pkInnerLowerRight);
  EXPECT_EQ(p.At(6, 6), pkDot);
  EXPECT_EQ(p.At(3, 6), pkBody);
}

TEST_F(GlyphShape, AnOffCentreDotIsDrawnWhereItWasMeasured) {
  TGlyphGeometry g = DefaultGlyphGeometry();
  // The glyph at (2, 1) of its cell and the dot two pixels up and left.
  g.Left = 2;
  g.Top = 1;
  g.Right = g.Left + g.Width;
  g.Bottom = g.Top + g.Height;
  g.DotLeft = 4;
  g.DotTop = 3;
  g.DotRight = 9;
  g.DotBottom = 8;
  const TGlyphPattern p = BuildPattern(g);
  for (POINT dot : {POINT{4, 4}, POINT{2, 4}, POINT{4, 2}, POINT{6, 4}, POINT{4, 6}})
    EXPECT_EQ(p.At(dot.x, dot.y), pkDot) << dot.x << "," << dot.y;
  for (POINT body : {POINT{7, 4}, POINT{4, 7}, POINT{8, 8}})
    EXPECT_NE(p.At(body.x, body.y), pkDot) << body.x << "," << body.y;
}

// The dot's runs start where the system's glyph has them: the vertical one in
// column W/2+L-1 from row H/2+T-2, the horizontal one in row H/2+T-1 from
// column W/2+L-2. The dot pixels drawn here lie only at and before those
// starts, so a run started anywhere else (the centre, say) finds a different
// dot. Two placements of the glyph in its cell pin L and T in the sums.
TEST_F(GlyphShape, DotRunsStartTwoBeforeTheCentreInTheColumnAndRowJustBefore) {
  for (POINT at : {POINT{1, 1}, POINT{2, 3}}) {
    SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
    const int l = at.x, t = at.y;
    const TGlyphCell mask = Cell(17, 17, RGB(255, 255, 255), {l, t, l + 13, t + 13});
    TGlyphCell image = Cell(17, 17, RGB(255, 255, 255));
    auto dot = [&](int x, int y) { image.Pixels[static_cast<std::size_t>(y * 17 + x)] = RGB(1, 2, 3); };
    // Column W/2+L-1 = L+5 from row H/2+T-2 = T+4 upwards; row H/2+T-1 = T+5
    // from column W/2+L-2 = L+4 leftwards. (L+5, T+5) stays clear.
    for (int y = t + 2; y <= t + 4; ++y) dot(l + 5, y);
    for (int x = l + 1; x <= l + 4; ++x) dot(x, t + 5);
    const TGlyphGeometry g = GeometryFromCells(mask, image, RGB(1, 2, 3));
    ASSERT_EQ(g.Left, l);
    ASSERT_EQ(g.Top, t);
    ASSERT_EQ(g.Width, 13);
    ASSERT_EQ(g.Height, 13);
    EXPECT_EQ(g.DotTop, t + 2);
    EXPECT_EQ(g.DotBottom, t + 5);
    EXPECT_EQ(g.DotLeft, l + 1);
    EXPECT_EQ(g.DotRight, l + 5);
    EXPECT_EQ(g.DotHeight, 3);
    EXPECT_EQ(g.DotWidth, 4);
  }
}

TEST_F(GlyphShape, NoGlyphFoundGivesTheDefault13By13Glyph) {
  const TGlyphCell white = Cell(14, 13, RGB(255, 255, 255));
  const TGlyphGeometry g = GeometryFromCells(white, white, RGB(0, 0, 0));
  const TGlyphGeometry d = DefaultGlyphGeometry();
  EXPECT_EQ(g.Width, 13);
  EXPECT_EQ(g.Height, 13);
  EXPECT_EQ(g.Left, d.Left);
  EXPECT_EQ(g.DotLeft, d.DotLeft);
  EXPECT_EQ(g.DotBottom, d.DotBottom);
  ExpectDotOnGlyph(g);
  ExpectWellFormed(BuildPattern(g), g);
  // An empty cell (the system bitmap could not be read) likewise.
  const TGlyphGeometry empty = GeometryFromCells(TGlyphCell{}, TGlyphCell{}, RGB(0, 0, 0));
  EXPECT_EQ(empty.Width, 13);
  EXPECT_EQ(empty.Height, 13);
  // A geometry without size given directly builds the default pattern.
  const TGlyphPattern fallback = BuildPattern(TGlyphGeometry{});
  EXPECT_EQ(fallback.Width, 13);
  EXPECT_EQ(fallback.Height, 13);
  EXPECT_EQ(fallback.At(6, 6), pkDot);
}

TEST_F(GlyphShape, DotRunsStayInsideTheCellAndOnTheGlyph) {
  const TGlyphCell mask = Cell(14, 13, RGB(255, 255, 255), {1, 1, 12, 12});
  // Every pixel of the image has the dot colour: the runs end at the cell's
  // edges, and the dot is cut back to the glyph.
  const TGlyphGeometry all = GeometryFromCells(mask, Cell(14, 13, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(all.Left, 1);
  EXPECT_EQ(all.Width, 11);
  EXPECT_EQ(all.DotLeft, 1);
  EXPECT_EQ(all.DotTop, 1);
  EXPECT_EQ(all.DotRight, 12);
  EXPECT_EQ(all.DotBottom, 12);
  ExpectDotOnGlyph(all);
  // A dot colour that equals what reading outside a cell gives: the runs
  // still stop at the edges.
  const TGlyphGeometry invalid = GeometryFromCells(mask, Cell(14, 13, CLR_INVALID), CLR_INVALID);
  ExpectDotOnGlyph(invalid);
  // No pixel of the dot colour: a one-pixel dot on the glyph.
  const TGlyphGeometry none = GeometryFromCells(mask, Cell(14, 13, RGB(255, 255, 255)), RGB(1, 2, 3));
  ExpectDotOnGlyph(none);
  EXPECT_EQ(none.DotWidth, 1);
}

// Every heap of the process is intact: a write just outside a block (the
// pattern's cells) breaks its neighbour's header, and in the heap-checking
// run the block's own tail as well.
bool HeapsIntact() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  for (DWORD i = 0; i < count && i < 64; ++i)
    if (!HeapValidate(heaps[i], 0, nullptr)) return false;
  return count > 0;
}

// A glyph of 1 to 4 pixels leaves no room between the outline and the centre
// the scans start from. Every cell must still get the kind the rules give:
// the outline as the platform draws it (the same rounded rectangle) is the
// outer ring, split along the diagonal; what the outline encloses is inner
// ring (no cell of so small a glyph lies further in); the rest is outside.
// The dot is left out, or it would cover what the scans wrote.
TEST_F(GlyphShape, TinyGlyphsKeepEveryScanInsideTheMatrix) {
  ASSERT_TRUE(HeapsIntact());
  for (int size = 1; size <= 4; ++size) {
    SCOPED_TRACE(size);
    const TGlyphCell mask = Cell(size + 2, size + 2, RGB(255, 255, 255), {1, 1, size + 1, size + 1});
    TGlyphGeometry g = GeometryFromCells(mask, Cell(size + 2, size + 2, RGB(1, 2, 3)), RGB(1, 2, 3));
    ASSERT_EQ(g.Width, size);
    ASSERT_EQ(g.Height, size);
    ExpectDotOnGlyph(g);
    EXPECT_EQ(BuildPattern(g).Kinds.size(), static_cast<std::size_t>(size * size));
    EXPECT_TRUE(HeapsIntact());

    g.DotRight = g.DotLeft;
    g.DotBottom = g.DotTop;
    g.DotWidth = g.DotHeight = 0;
    const TGlyphPattern p = BuildPattern(g);
    ASSERT_TRUE(HeapsIntact());
    ASSERT_EQ(p.Width, size);
    ASSERT_EQ(p.Height, size);
    ASSERT_EQ(p.Kinds.size(), static_cast<std::size_t>(size * size));
    SCOPED_TRACE(Describe(p));

    test::TDib outline(size, size);
    SelectObject(outline.DC(), GetStockObject(BLACK_PEN));
    SelectObject(outline.DC(), GetStockObject(WHITE_BRUSH));
    RoundRect(outline.DC(), 0, 0, size, size, size - 1, size - 1);
    auto ring = [&](int x, int y) { return outline.Pixel(x, y) == RGB(0, 0, 0); };
    // Outside: reached from the matrix's edge without crossing the outline.
    std::vector<bool> outside(p.Kinds.size(), false);
    std::vector<POINT> open;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if ((x == 0 || y == 0 || x == size - 1 || y == size - 1) && !ring(x, y)) open.push_back({x, y});
    while (!open.empty()) {
      const POINT c = open.back();
      open.pop_back();
      if (c.x < 0 || c.y < 0 || c.x >= size || c.y >= size || ring(c.x, c.y)) continue;
      const auto i = static_cast<std::size_t>(c.y * size + c.x);
      if (outside[i]) continue;
      outside[i] = true;
      for (POINT d : {POINT{1, 0}, POINT{-1, 0}, POINT{0, 1}, POINT{0, -1}}) open.push_back({c.x + d.x, c.y + d.y});
    }
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const long long side = DiagonalSide(p, x, y);
        std::int32_t expected = pkOutside;
        if (ring(x, y))
          expected = side >= 0 ? pkOuterUpperLeft : pkOuterLowerRight;
        else if (!outside[static_cast<std::size_t>(y * size + x)])
          expected = side > 0 || (side == 0 && x <= size / 2 - 1) ? pkInnerUpperLeft : pkInnerLowerRight;
        EXPECT_EQ(p.At(x, y), expected) << x << "," << y;
      }
    }
  }
}

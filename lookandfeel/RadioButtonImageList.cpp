// The radio glyph image cache: measuring the system's radio button, the pixel
// kind matrix, the colour table of each look and the 128 rendered images.
#include "lookandfeel/RadioButtonImageList.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>

#include "framework/DibSection.h"
#include "framework/Graphics.h"
#include "graphics/Canvas.h"
#include "graphics/Office2003Colors.h"
#include "graphics/SelectionTints.h"
#include "lookandfeel/Painters.h"

namespace lodo {

namespace {

// OBM_CHECKBOXES; its name is only declared with OEMRESOURCE.
constexpr int kCheckBoxesBitmap = 32759;
constexpr int kLookCount = 128;

std::unique_ptr<TcxRadioButtonImageList> gImages;
TGlyphBrushHook gBrushHook;

std::size_t Index(int x, int y, int width) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

// Draws one frame-control look on a black cell and reads it back.
TGlyphCell DrawCell(int width, int height, UINT state) {
  TGlyphCell cell;
  TDibSection dib(width, height);
  if (!dib.Valid()) return cell;
  {
    TMemoryDC dc;
    TSelectGuard select(dc.Get(), dib.Bitmap());
    RECT rect{0, 0, width, height};
    FillRect(dc.Get(), &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawFrameControl(dc.Get(), &rect, DFC_BUTTON, state);
    GdiFlush();
  }
  cell.Width = width;
  cell.Height = height;
  cell.Pixels.resize(dib.PixelCount());
  for (std::size_t i = 0; i < cell.Pixels.size(); ++i) cell.Pixels[i] = TDibSection::ToColor(dib.Bits()[i]);
  return cell;
}

// Reads the pixels of a DIB section that black marks.
std::vector<bool> BlackPixels(const TDibSection& dib) {
  std::vector<bool> black(static_cast<std::size_t>(dib.Width()) * static_cast<std::size_t>(dib.Height()), false);
  if (!dib.Valid()) return black;
  GdiFlush();
  for (std::size_t i = 0; i < black.size(); ++i) black[i] = TDibSection::ToColor(dib.Bits()[i]) == RGB(0, 0, 0);
  return black;
}

// A rounded rectangle on a white W x H DIB, read back as its black pixels.
std::vector<bool> DrawRoundRect(int width, int height, const RECT& rect, int cornerWidth, int cornerHeight,
                                bool filled) {
  TDibSection dib(width, height);
  if (!dib.Valid()) return BlackPixels(dib);
  TMemoryDC dc;
  TSelectGuard select(dc.Get(), dib.Bitmap());
  const RECT all{0, 0, width, height};
  FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  TSelectGuard pen(dc.Get(), GetStockObject(BLACK_PEN));
  TSelectGuard brush(dc.Get(), GetStockObject(filled ? BLACK_BRUSH : WHITE_BRUSH));
  RoundRect(dc.Get(), rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
  return BlackPixels(dib);
}

bool IsOuterRing(std::int32_t kind) { return kind == pkOuterUpperLeft || kind == pkOuterLowerRight; }

// Which half of the inner ring a cell lies in: the split runs from the
// top-right to the bottom-left corner.
std::int32_t InnerRingKind(int x, int y, int width, int height) {
  const long long d = static_cast<long long>(height - 1) * (width - 1 - x) - static_cast<long long>(width - 1) * y;
  if (d > 0) return pkInnerUpperLeft;
  if (d < 0) return pkInnerLowerRight;
  return x <= width / 2 - 1 ? pkInnerUpperLeft : pkInnerLowerRight;
}

// Scans a line of cells from a start cell in one direction while no outer-ring
// cell is met. Every scanned cell is marked when markAll holds; the last one
// before the stop (the outline, or the matrix edge of an open outline) is
// marked in any case. at(i) gives cell i of the line, inside(i) whether it
// lies in the matrix.
template <typename TAt, typename TInside, typename TMark>
void ScanToRing(int start, int step, bool markAll, TAt at, TInside inside, TMark mark) {
  int i = start;
  while (inside(i) && !IsOuterRing(at(i))) {
    if (markAll) mark(i);
    i += step;
  }
  if (i != start) mark(i - step);
}

// The first of `count` lines (columns or rows) that holds a pixel for which
// hit(line, position) is true, and how many lines do; -1 and 0 for none.
template <typename THit>
std::pair<int, int> LinesWith(int count, int length, THit hit) {
  int first = -1;
  int lines = 0;
  for (int line = 0; line < count; ++line) {
    int i = 0;
    while (i < length && !hit(line, i)) ++i;
    if (i == length) continue;
    if (first < 0) first = line;
    ++lines;
  }
  return {first, lines};
}

// A run of dot pixels along one line: from the start back while on the dot,
// then forward again, at least one step. Gives the first and the end (exclusive).
template <typename TIsDot>
std::pair<int, int> DotRun(int start, TIsDot isDot) {
  int i = start;
  while (isDot(i)) --i;
  const int first = i + 1;
  i = first;
  do {
    ++i;
  } while (isDot(i));
  return {first, i};
}

}  // namespace

TGlyphGeometry DefaultGlyphGeometry() {
  TGlyphGeometry g;
  g.CellWidth = g.CellHeight = 13;
  g.Width = g.Height = 13;
  g.Right = g.Bottom = 13;
  g.DotLeft = g.DotTop = 4;
  g.DotRight = g.DotBottom = 9;
  g.DotWidth = g.DotHeight = 5;
  return g;
}

TGlyphGeometry GeometryFromCells(const TGlyphCell& mask, const TGlyphCell& image, COLORREF dotColor) {
  TGlyphGeometry g;
  g.CellWidth = mask.Width;
  g.CellHeight = mask.Height;
  auto black = [&](int x, int y) { return mask.At(x, y) == RGB(0, 0, 0); };
  std::tie(g.Left, g.Width) = LinesWith(mask.Width, mask.Height, black);
  std::tie(g.Top, g.Height) = LinesWith(mask.Height, mask.Width, [&](int y, int x) { return black(x, y); });
  // Nothing black: the system drew no glyph, and a pattern of it would be empty.
  if (g.Width == 0 || g.Height == 0) return DefaultGlyphGeometry();
  g.Right = g.Left + g.Width;
  g.Bottom = g.Top + g.Height;

  // Bounds are checked here rather than left to the colour: CLR_INVALID could
  // otherwise equal a dot colour and let a run leave the cell.
  auto isDot = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < image.Width && y < image.Height && image.At(x, y) == dotColor;
  };
  // The vertical run lies in the column just left of the centre and starts two
  // rows above the centre row; the horizontal one likewise. On a glyph of one
  // or two pixels those would lie outside it, so the starts are kept on it.
  const int xv = std::clamp(g.Width / 2 + g.Left - 1, g.Left, g.Right - 1);
  const int yh = std::clamp(g.Height / 2 + g.Top - 1, g.Top, g.Bottom - 1);
  std::tie(g.DotTop, g.DotBottom) =
      DotRun(std::clamp(g.Height / 2 + g.Top - 2, g.Top, g.Bottom - 1), [&](int y) { return isDot(xv, y); });
  std::tie(g.DotLeft, g.DotRight) =
      DotRun(std::clamp(g.Width / 2 + g.Left - 2, g.Left, g.Right - 1), [&](int x) { return isDot(x, yh); });

  // A dot that was not found where expected (no pixel of the dot colour at
  // the start) may run past the glyph; it is kept on the glyph, and where
  // nothing of it is left, it shrinks to the glyph's centre pixel.
  g.DotLeft = std::max(g.DotLeft, g.Left);
  g.DotTop = std::max(g.DotTop, g.Top);
  g.DotRight = std::min(g.DotRight, g.Right);
  g.DotBottom = std::min(g.DotBottom, g.Bottom);
  if (g.DotLeft >= g.DotRight || g.DotTop >= g.DotBottom) {
    g.DotLeft = g.Left + (g.Width - 1) / 2;
    g.DotTop = g.Top + (g.Height - 1) / 2;
    g.DotRight = g.DotLeft + 1;
    g.DotBottom = g.DotTop + 1;
  }
  g.DotWidth = g.DotRight - g.DotLeft;
  g.DotHeight = g.DotBottom - g.DotTop;
  return g;
}

TGlyphGeometry MeasureGlyph() {
  int cellWidth = 0;
  int cellHeight = 0;
  {
    TBitmapHandle boxes(LoadBitmapW(nullptr, MAKEINTRESOURCEW(kCheckBoxesBitmap)));
    BITMAP info{};
    if (boxes.Valid() && GetObjectW(boxes.Get(), sizeof(info), &info) != 0) {
      cellWidth = info.bmWidth / 4;
      cellHeight = info.bmHeight / 3;
    }
  }
  if (cellWidth <= 0 || cellHeight <= 0) return DefaultGlyphGeometry();
  const TGlyphCell mask = DrawCell(cellWidth, cellHeight, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  const TGlyphCell image = DrawCell(cellWidth, cellHeight, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  return GeometryFromCells(mask, image, ColorToRGB(clWindowText));
}

TGlyphPattern BuildPattern(const TGlyphGeometry& geometry) {
  const TGlyphGeometry g = geometry.Width > 0 && geometry.Height > 0 ? geometry : DefaultGlyphGeometry();
  const int w = g.Width;
  const int h = g.Height;
  TGlyphPattern p;
  p.Width = w;
  p.Height = h;
  p.Kinds.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), pkOutside);
  auto kind = [&](int x, int y) -> std::int32_t& { return p.Kinds[Index(x, y, w)]; };

  // The outline is an ellipse touching all four sides, split along the
  // diagonal from the top-right to the bottom-left corner.
  const std::vector<bool> outline = DrawRoundRect(w, h, RECT{0, 0, w, h}, w - 1, h - 1, false);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!outline[Index(x, y, w)]) continue;
      const bool lowerRight = static_cast<long long>(h - 1) * (w - 1 - x) < static_cast<long long>(w - 1) * y;
      kind(x, y) = lowerRight ? pkOuterLowerRight : pkOuterUpperLeft;
    }
  }

  const int cx = w / 2 - 1;
  for (int y = 1; y <= h - 2; ++y) {
    for (int x = cx; x >= 0 && kind(x, y) == pkOutside; --x) kind(x, y) = pkBody;
    for (int x = cx + 1; x < w && kind(x, y) == pkOutside; ++x) kind(x, y) = pkBody;
  }

  // The inner ring: the cells next to the outline along every row and column,
  // and all inside cells of the first and last inside rows and columns. Rows
  // and columns are scanned alike, from just before and just after the centre.
  auto innerRing = [&](bool columns) {
    const int lines = columns ? w : h;
    const int length = columns ? h : w;
    const int centre = length / 2 - 1;
    for (int line = 1; line <= lines - 2; ++line) {
      const bool all = line == 1 || line == lines - 2;
      auto at = [&](int i) { return columns ? kind(line, i) : kind(i, line); };
      auto inside = [&](int i) { return i >= 0 && i < length; };
      auto mark = [&](int i) {
        const int x = columns ? line : i;
        const int y = columns ? i : line;
        kind(x, y) = InnerRingKind(x, y, w, h);
      };
      ScanToRing(centre, -1, all, at, inside, mark);
      ScanToRing(centre + 1, 1, all, at, inside, mark);
    }
  };
  innerRing(false);
  innerRing(true);

  const RECT dot{g.DotLeft - g.Left, g.DotTop - g.Top, g.DotRight - g.Left, g.DotBottom - g.Top};
  const std::vector<bool> dotPixels = DrawRoundRect(w, h, dot, g.DotWidth - 1, g.DotHeight - 1, true);
  for (std::size_t i = 0; i < dotPixels.size(); ++i) {
    if (dotPixels[i]) p.Kinds[i] = pkDot;
  }
  return p;
}

TBitmapHandle BuildMask(const TGlyphGeometry& geometry) {
  const int w = geometry.Width;
  const int h = geometry.Height;
  TBitmapHandle mask(CreateBitmap(w, h, 1, 1, nullptr));
  if (!mask.Valid()) return mask;
  TMemoryDC dc;
  TSelectGuard select(dc.Get(), mask.Get());
  PatBlt(dc.Get(), 0, 0, w, h, WHITENESS);
  TSelectGuard pen(dc.Get(), GetStockObject(BLACK_PEN));
  TSelectGuard brush(dc.Get(), GetStockObject(BLACK_BRUSH));
  RoundRect(dc.Get(), 0, 0, w, h, w - 1, h - 1);
  return mask;
}

int ImageSlot(TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused, bool designing) {
  if (state == btsDefault) state = btsNormal;
  if (kind > lfOffice11 || state > btsDisabled) return -1;
  return ((focused ? 8 : 0) + (designing ? 4 : 0) + kind) * 8 + (checked ? 4 : 0) + (state - 1);
}

namespace {

// The two selection tints, each a question to the screen's DC: asked once
// for all 128 looks of a fill.
struct TSelectionTints {
  TColor Hot;
  TColor Pressed;
};

TSelectionTints CurrentSelectionTints() { return {HotTrackTint(), PressedTint()}; }

TGlyphColors ColorsOfLook(TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused, bool designing,
                          const TSelectionTints& tints) {
  if (state == btsDefault) state = btsNormal;
  const bool disabled = state == btsDisabled;
  const bool active = state == btsHot || state == btsPressed;

  TColor body = clWindow;
  switch (state) {
    case btsHot:
      if (kind == lfUltraFlat) body = tints.Hot;
      if (kind == lfOffice11) body = TcxOffice11LookAndFeelPainter::Instance()->ButtonFaceColor(btsHot);
      break;
    case btsPressed:
      body = clBtnFace;
      if (kind == lfUltraFlat) body = tints.Pressed;
      if (kind == lfOffice11) body = TcxOffice11LookAndFeelPainter::Instance()->ButtonFaceColor(btsPressed);
      break;
    case btsDisabled:
      body = clBtnFace;
      break;
    default:
      break;
  }

  TGlyphColors c{};
  c[pkOutside] = clBlack;
  c[pkBody] = body;
  switch (kind) {
    case lfFlat:
    case lfStandard:
      // The sunken two-tone ring; only the standard look darkens its inner upper-left half.
      c[pkOuterUpperLeft] = clBtnShadow;
      c[pkOuterLowerRight] = clBtnHighlight;
      c[pkInnerUpperLeft] = kind == lfStandard ? cl3DDkShadow : cl3DLight;
      c[pkInnerLowerRight] = cl3DLight;
      break;
    case lfUltraFlat: {
      // Designing lights the ring up, except on a disabled button.
      const bool lit = focused || active || (designing && !disabled);
      c[pkOuterUpperLeft] = c[pkOuterLowerRight] = lit ? clHighlight : clBtnShadow;
      c[pkInnerUpperLeft] = c[pkInnerLowerRight] = body;
      break;
    }
    case lfOffice11: {
      TColor ring = clBtnText;
      if (disabled) {
        ring = Office2003Disabled();
      } else if (focused || active || designing) {
        ring = Office2003Highlight();
      }
      c[pkOuterUpperLeft] = c[pkOuterLowerRight] = ring;
      c[pkInnerUpperLeft] = c[pkInnerLowerRight] = body;
      break;
    }
  }
  if (!checked) {
    c[pkDot] = body;
  } else if (!disabled) {
    c[pkDot] = clWindowText;
  } else {
    c[pkDot] = kind == lfOffice11 ? Office2003Disabled() : clBtnShadow;
  }
  return c;
}

}  // namespace

TGlyphColors GlyphColors(TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused, bool designing) {
  return ColorsOfLook(kind, state, checked, focused, designing, CurrentSelectionTints());
}

TcxRadioButtonImageList::TcxRadioButtonImageList() : TcxRadioButtonImageList(MeasureGlyph()) {}

TcxRadioButtonImageList::TcxRadioButtonImageList(const TGlyphGeometry& geometry)
    : FGeometry(geometry.Width > 0 && geometry.Height > 0 ? geometry : DefaultGlyphGeometry()) {
  FImages.Reset(ImageList_Create(FGeometry.Width, FGeometry.Height, ILC_MASK | ILC_COLOR32, kLookCount, 16));
  FMask = BuildMask(FGeometry);
  FPattern = BuildPattern(FGeometry);
  FStrip = TDibSection(FPattern.Width * kLookCount, FPattern.Height);
  FDrawMask = BuildMask(FGeometry);
  if (FDrawMask.Valid()) FMaskDCBitmap = SelectObject(FMaskDC.Get(), FDrawMask.Get());
  FillImages();
}

int TcxRadioButtonImageList::ImageCount() const { return FImages.Valid() ? ImageList_GetImageCount(FImages.Get()) : 0; }

void TcxRadioButtonImageList::SelectStrip(bool selected) {
  if (selected && !FStripDCBitmap && FStrip.Valid()) {
    FStripDCBitmap = SelectObject(FStripDC.Get(), FStrip.Bitmap());
  } else if (!selected && FStripDCBitmap) {
    SelectObject(FStripDC.Get(), FStripDCBitmap);
    FStripDCBitmap = nullptr;
  }
}

void TcxRadioButtonImageList::FillImages() {
  if (!FImages.Valid() || ImageCount() > 0 || !FStrip.Valid()) return;
  const int w = FPattern.Width;
  const int h = FPattern.Height;
  const int stripWidth = w * kLookCount;
  std::uint32_t* strip = FStrip.Bits();
  SelectStrip(false);
  int look = 0;
  const TSelectionTints tints = CurrentSelectionTints();
  auto render = [&](TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused, bool designing) {
    const TGlyphColors colors = ColorsOfLook(kind, state, checked, focused, designing, tints);
    std::array<std::uint32_t, kGlyphPixelKindCount> pixels{};
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = TDibSection::ToPixel(ColorToRGB(colors[i]));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        strip[Index(look * w + x, y, stripWidth)] = pixels[static_cast<std::size_t>(FPattern.At(x, y))];
    const auto slot = static_cast<std::size_t>(ImageSlot(kind, state, checked, focused, designing));
    if (FSlotMap.size() < slot + 1) FSlotMap.resize(slot + 1, -1);
    FSlotMap[slot] = look++;
  };
  // Slot order, so that image n is the look of slot n.
  for (int focused = 0; focused <= 1; ++focused)
    for (int designing = 0; designing <= 1; ++designing)
      for (int kind = lfFlat; kind <= lfOffice11; ++kind)
        for (int checked = 0; checked <= 1; ++checked)
          for (int state = btsNormal; state <= btsDisabled; ++state)
            render(static_cast<TcxLookAndFeelKind>(kind), static_cast<ButtonState>(state), checked != 0, focused != 0,
                   designing != 0);
  GdiFlush();
  // One add for all the looks: the image list cuts the strip into images,
  // and the mask strip beside it repeats the one mask.
  TBitmapHandle masks(CreateBitmap(stripWidth, h, 1, 1, nullptr));
  int first = -1;
  if (masks.Valid()) {
    {
      TMemoryDC dc;
      TSelectGuard select(dc.Get(), masks.Get());
      for (int i = 0; i < kLookCount; ++i) BitBlt(dc.Get(), i * w, 0, w, h, FMaskDC.Get(), 0, 0, SRCCOPY);
    }
    first = ImageList_Add(FImages.Get(), FStrip.Bitmap(), masks.Get());
  }
  // A failed add leaves the slots without an image rather than pointing at other looks.
  for (int& index : FSlotMap)
    if (index >= 0) index = first < 0 ? -1 : first + index;
  SelectStrip(true);
}

void TcxRadioButtonImageList::RebuildImages() {
  if (!FImages.Valid()) return;
  ImageList_Remove(FImages.Get(), -1);
  FillImages();
}

SIZE TcxRadioButtonImageList::GlyphSize() const { return SIZE{FPattern.Width, FPattern.Height}; }

void TcxRadioButtonImageList::DrawImage(HDC dc, int x, int y, int index) const {
  if (!FStripDCBitmap) return;
  const int w = FPattern.Width;
  const int h = FPattern.Height;
  // What the image list does: the disc cleared through the mask (a
  // monochrome source takes the colours of the destination's text and
  // background), then the image, black around its disc, laid over it.
  const COLORREF background = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, x, y, w, h, FMaskDC.Get(), 0, 0, SRCAND);
  SetBkColor(dc, background);
  SetTextColor(dc, text);
  BitBlt(dc, x, y, w, h, FStripDC.Get(), index * w, 0, SRCPAINT);
}

void TcxRadioButtonImageList::DrawGlyphImage(TcxCanvas& canvas, int x, int y, TColor background,
                                             TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused,
                                             bool designing) const {
  const int slot = ImageSlot(kind, state, checked, focused, designing);
  if (slot < 0 || static_cast<std::size_t>(slot) >= FSlotMap.size()) return;
  const int index = FSlotMap[static_cast<std::size_t>(slot)];
  if (index < 0) return;
  HDC dc = canvas.DeviceContext();
  if (!dc) return;
  // clNone is no colour at all: like clDefault, nothing goes behind the disc.
  // Any other background goes straight onto the canvas under the disc: the
  // same pixels as composing the glyph on a bitmap first, without making one.
  if (background != clDefault && background != clNone) {
    const RECT all{x, y, x + FPattern.Width, y + FPattern.Height};
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(background)));
    if (gBrushHook) gBrushHook(brush.Get());
    FillRect(dc, &all, brush.Get());
  }
  DrawImage(dc, x, y, index);
}

TcxRadioButtonImageList& RadioButtonImages() {
  if (!gImages) gImages = std::make_unique<TcxRadioButtonImageList>();
  return *gImages;
}

bool RadioButtonImagesExist() { return gImages != nullptr; }

void DestroyRadioButtonImages() { gImages.reset(); }

const TGlyphGeometry& GlyphGeometry() { return RadioButtonImages().Geometry(); }
const TGlyphPattern& GlyphPattern() { return RadioButtonImages().Pattern(); }
const std::vector<int>& ImageSlotMap() { return RadioButtonImages().SlotMap(); }

SIZE GlyphSize() { return RadioButtonImages().GlyphSize(); }

TGlyphBrushHook SetGlyphBrushHook(TGlyphBrushHook hook) { return std::exchange(gBrushHook, std::move(hook)); }

}  // namespace lodo

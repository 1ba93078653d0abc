// The process-wide radio glyph image cache: the glyph measured from the system's
// own radio button, split into pixel kinds, and every look rendered once into
// a masked image list, so that a paint only picks an image and blits it.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/Colors.h"
#include "framework/DibSection.h"
#include "framework/Gdi.h"
#include "framework/ImageList.h"
#include "lookandfeel/LookAndFeelTypes.h"

namespace lodo {

class TcxCanvas;

enum GlyphPixelKind : std::int32_t {
  pkOutside,
  pkOuterUpperLeft,
  pkOuterLowerRight,
  pkInnerUpperLeft,
  pkInnerLowerRight,
  pkBody,
  pkDot
};
constexpr int kGlyphPixelKindCount = pkDot + 1;

// Where the glyph and its dot lie in the system's check-box cell, in pixels.
// Right and bottom edges are exclusive.
struct TGlyphGeometry {
  int CellWidth = 0;
  int CellHeight = 0;
  int Width = 0;
  int Height = 0;
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int DotLeft = 0;
  int DotTop = 0;
  int DotRight = 0;
  int DotBottom = 0;
  int DotWidth = 0;
  int DotHeight = 0;
};

// The geometry used when the system's radio button shows no glyph at all:
// a 13 x 13 glyph in a 13 x 13 cell with a centred 5 x 5 dot.
TGlyphGeometry DefaultGlyphGeometry();

// One cell as the system drew it, as RGB values, rows first. Reading outside
// the cell gives CLR_INVALID, which matches no colour.
struct TGlyphCell {
  int Width = 0;
  int Height = 0;
  std::vector<COLORREF> Pixels;

  COLORREF At(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return CLR_INVALID;
    return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
  }
};

// The measurement from the two drawn cells: the flat radio mask (glyph black)
// and the checked flat radio image, whose dot has the colour dotColor.
// A mask without any black pixel gives DefaultGlyphGeometry.
TGlyphGeometry GeometryFromCells(const TGlyphCell& mask, const TGlyphCell& image, COLORREF dotColor);
// Draws both cells with DrawFrameControl in the system's check-box cell size.
TGlyphGeometry MeasureGlyph();

// H rows of W pixel kinds.
struct TGlyphPattern {
  int Width = 0;
  int Height = 0;
  std::vector<std::int32_t> Kinds;

  std::int32_t At(int x, int y) const {
    return Kinds[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
  }
};

TGlyphPattern BuildPattern(const TGlyphGeometry& geometry);
// A monochrome W x H bitmap: a black filled disc on white.
TBitmapHandle BuildMask(const TGlyphGeometry& geometry);

// The image slot of a look, 0..127; -1 for a kind or state outside the table.
// btsDefault shares the btsNormal image.
int ImageSlot(TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused, bool designing);

// The colour of each pixel kind for a look, as TColor values.
using TGlyphColors = std::array<TColor, kGlyphPixelKindCount>;
TGlyphColors GlyphColors(TcxLookAndFeelKind kind, ButtonState state, bool checked, bool focused, bool designing);

class TcxRadioButtonImageList {
 public:
  // Measures the glyph, builds mask and pattern and renders every look.
  TcxRadioButtonImageList();
  // The same from a geometry measured elsewhere (a W or H of 0 takes the default).
  explicit TcxRadioButtonImageList(const TGlyphGeometry& geometry);
  TcxRadioButtonImageList(const TcxRadioButtonImageList&) = delete;
  TcxRadioButtonImageList& operator=(const TcxRadioButtonImageList&) = delete;

  // Renders all looks, only when the image list is empty.
  void FillImages();
  void RebuildImages();

  // background clDefault leaves the pixels around the disc as they are; any
  // other colour fills the whole W x H rectangle behind the glyph.
  void DrawGlyphImage(TcxCanvas& canvas, int x, int y, TColor background, TcxLookAndFeelKind kind, ButtonState state,
                      bool checked, bool focused, bool designing) const;
  SIZE GlyphSize() const;

  const TGlyphGeometry& Geometry() const { return FGeometry; }
  const TGlyphPattern& Pattern() const { return FPattern; }
  const std::vector<int>& SlotMap() const { return FSlotMap; }
  HIMAGELIST Images() const { return FImages.Get(); }
  HBITMAP Mask() const { return FMask.Get(); }
  int ImageCount() const;

 private:
  // Draws image `index` through the mask, as the image list would.
  void DrawImage(HDC dc, int x, int y, int index) const;
  // The strip's bitmap in or out of its memory DC (the image list cannot
  // take a bitmap that is selected anywhere).
  void SelectStrip(bool selected);

  TGlyphGeometry FGeometry;
  TGlyphPattern FPattern;
  // Image index of each slot; -1 where adding the image failed.
  std::vector<int> FSlotMap;
  TBitmapHandle FMask;
  TImageListHandle FImages;
  // The looks side by side, as added to the image list, and a copy of the
  // mask, each in a memory DC of its own for the cache's whole life: a
  // paint draws the glyph with two blits instead of an image-list draw,
  // which under Wine costs several times as much.
  TDibSection FStrip{0, 0};
  TBitmapHandle FDrawMask;
  TMemoryDC FStripDC;
  TMemoryDC FMaskDC;
  HGDIOBJ FStripDCBitmap = nullptr;
  HGDIOBJ FMaskDCBitmap = nullptr;
};

// The shared cache, created and filled on the first call.
TcxRadioButtonImageList& RadioButtonImages();
bool RadioButtonImagesExist();
// Frees the shared cache with its geometry, pattern, slot map and images.
void DestroyRadioButtonImages();

// The shared cache's data; like RadioButtonImages they create it first.
const TGlyphGeometry& GlyphGeometry();
const TGlyphPattern& GlyphPattern();
const std::vector<int>& ImageSlotMap();
// (W, H) of the images.
SIZE GlyphSize();

// Told of the brush made for each draw with an explicit background, so tests
// can see that it was one brush and that it is gone afterwards. Null removes
// the hook; returns the previous one.
using TGlyphBrushHook = std::function<void(HBRUSH)>;
TGlyphBrushHook SetGlyphBrushHook(TGlyphBrushHook hook);

}  // namespace lodo

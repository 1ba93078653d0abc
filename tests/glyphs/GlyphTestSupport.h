// Helpers of the glyph tests: distinct system colours for every colour a glyph
// uses, the looks of the image slots, and drawing a look into a DIB.
#pragma once
#include <windows.h>

#include <array>
#include <utility>
#include <vector>

#include "framework/Graphics.h"
#include "graphics/Canvas.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/SysColorsGuard.h"
#include "tests/support/TestSupport.h"

namespace lodo::test {

// Gives each system colour of the glyph tables its own value, so that a look
// drawn with the wrong colour shows; the old colours come back afterwards.
// Each change reaches the colour listener as a real WM_SYSCOLORCHANGE.
class TGlyphSysColors {
 public:
  static constexpr std::array<std::pair<int, COLORREF>, 10> kColors = {{
      {COLOR_WINDOW, RGB(250, 240, 230)},
      {COLOR_WINDOWTEXT, RGB(10, 20, 30)},
      {COLOR_HIGHLIGHT, RGB(200, 30, 40)},
      {COLOR_BTNFACE, RGB(180, 190, 170)},
      {COLOR_BTNSHADOW, RGB(90, 100, 110)},
      {COLOR_GRAYTEXT, RGB(120, 130, 60)},
      {COLOR_BTNTEXT, RGB(40, 80, 20)},
      {COLOR_BTNHIGHLIGHT, RGB(230, 250, 200)},
      {COLOR_3DDKSHADOW, RGB(30, 60, 90)},
      {COLOR_3DLIGHT, RGB(210, 220, 120)},
  }};

  TGlyphSysColors() {
    std::vector<COLORREF> wanted;
    for (const auto& entry : kColors) wanted.push_back(entry.second);
    SetSysColors(static_cast<int>(wanted.size()), Indexes().data(), wanted.data());
    Pump(20);
  }

 private:
  static std::vector<int> Indexes() {
    std::vector<int> indexes;
    for (const auto& entry : kColors) indexes.push_back(entry.first);
    return indexes;
  }
  TSysColorsGuard FRestore{Indexes()};
};

struct TLook {
  TcxLookAndFeelKind Kind = lfFlat;
  ButtonState State = btsNormal;
  bool Checked = false;
  bool Focused = false;
  bool Designing = false;
};

// The look that slot n stands for, read off the slot number's digits.
inline TLook LookOfSlot(int slot) {
  TLook look;
  look.Focused = slot / 64 != 0;
  look.Designing = slot / 32 % 2 != 0;
  look.Kind = static_cast<TcxLookAndFeelKind>(slot / 8 % 4);
  look.Checked = slot / 4 % 2 != 0;
  look.State = static_cast<ButtonState>(slot % 4 + 1);
  return look;
}

inline void DrawLook(TDib& dib, int x, int y, TColor background, const TLook& look) {
  TDibCanvas canvas(dib);
  RadioButtonImages().DrawGlyphImage(*canvas, x, y, background, look.Kind, look.State, look.Checked, look.Focused,
                                     look.Designing);
}

// The first cell of a pixel kind in the pattern, rows first; (-1, -1) if none.
inline POINT FirstCellOf(const TGlyphPattern& pattern, std::int32_t kind) {
  for (int y = 0; y < pattern.Height; ++y)
    for (int x = 0; x < pattern.Width; ++x)
      if (pattern.At(x, y) == kind) return POINT{x, y};
  return POINT{-1, -1};
}

}  // namespace lodo::test

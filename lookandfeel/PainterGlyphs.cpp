// How the painters draw and size the radio glyph: from the image cache, or
// through the visual style's button class.
#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include "graphics/Canvas.h"
#include "lookandfeel/Painters.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "theme/ThemeManager.h"
#include "theme/UxTheme.h"

namespace lodo {

// The four self-drawn styles differ only in their images; the kind follows the
// style code of the painter the call was made on.
void TcxCustomLookAndFeelPainter::PaintRadioGlyph(TcxCanvas& canvas, int x, int y, ButtonState state, bool checked,
                                                  bool focused, TColor background, bool designing) const {
  RadioButtonImages().DrawGlyphImage(canvas, x, y, background, KindForStyle(StyleCode()), state, checked, focused,
                                     designing);
}

SIZE TcxCustomLookAndFeelPainter::RadioGlyphSize() const { return RadioButtonImages().GlyphSize(); }

// The theme's glyph has one size for every state: that of the unchecked normal one.
// A failing call leaves it empty, and nothing is drawn.
void TcxWinXPLookAndFeelPainter::PaintRadioGlyph(TcxCanvas& canvas, int x, int y, ButtonState state, bool checked, bool,
                                                 TColor, bool) const {
  const SIZE size = RadioGlyphSize();
  const RECT rect{x, y, x + size.cx, y + size.cy};
  lodo::DrawThemeBackground(OpenThemeHandle(tciButton), canvas.DeviceContext(), BP_RADIOBUTTON,
                            RadioThemeStateId(checked, state), rect);
}

SIZE TcxWinXPLookAndFeelPainter::RadioGlyphSize() const {
  SIZE size{};
  if (FAILED(lodo::GetThemePartSize(OpenThemeHandle(tciButton), nullptr, BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL, nullptr,
                                    TS_TRUE, &size)))
    return SIZE{};
  return size;
}

}  // namespace lodo

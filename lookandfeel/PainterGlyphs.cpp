// How the painters draw and size the radio glyph: from the image cache, or
// through the visual style's button class.
#include "lookandfeel/Painters.h"

namespace lodo {

void TcxCustomLookAndFeelPainter::PaintRadioGlyph(TcxCanvas&, int, int, ButtonState, bool, bool, TColor,
                                                  bool) const {}

SIZE TcxCustomLookAndFeelPainter::RadioGlyphSize() const { return {13, 13}; }

void TcxWinXPLookAndFeelPainter::PaintRadioGlyph(TcxCanvas&, int, int, ButtonState, bool, bool, TColor,
                                                 bool) const {}

SIZE TcxWinXPLookAndFeelPainter::RadioGlyphSize() const { return {13, 13}; }

}  // namespace lodo

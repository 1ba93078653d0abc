// The five painters of the radio glyph. Painters are stateless: each class has
// one immutable instance, and a painter is identified by that instance's address.
#pragma once
#include <windows.h>

#include <array>

#include "framework/Colors.h"
#include "lookandfeel/LookAndFeelTypes.h"

namespace lodo {

class TcxCanvas;
class TcxCustomLookAndFeelPainter;

// A painter "class reference": null means no painter.
using TcxLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

class TcxCustomLookAndFeelPainter {
 public:
  constexpr TcxCustomLookAndFeelPainter() = default;
  TcxCustomLookAndFeelPainter(const TcxCustomLookAndFeelPainter&) = delete;
  TcxCustomLookAndFeelPainter& operator=(const TcxCustomLookAndFeelPainter&) = delete;
  virtual ~TcxCustomLookAndFeelPainter() = default;

  static TcxLookAndFeelPainterClass Instance();

  virtual PainterStyle StyleCode() const { return psStandard; }
  virtual TColor CaptionTextColor(bool disabled) const;
  virtual TColor StateTextColor(TextColorKind kind) const;
  virtual TColor ButtonFaceColor(ButtonState state) const;
  // Draws the glyph with its top-left corner at (x, y); background clDefault
  // leaves the pixels around the round glyph as they are.
  virtual void PaintRadioGlyph(TcxCanvas& canvas, int x, int y, ButtonState state, bool checked, bool focused,
                               TColor background, bool designing) const;
  virtual SIZE RadioGlyphSize() const;
};

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Instance();
  PainterStyle StyleCode() const override { return psStandard; }
};

// Draws through the visual style's button class.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Instance();
  PainterStyle StyleCode() const override { return psNative; }
  void PaintRadioGlyph(TcxCanvas& canvas, int x, int y, ButtonState state, bool checked, bool focused,
                       TColor background, bool designing) const override;
  SIZE RadioGlyphSize() const override;
};

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Instance();
  PainterStyle StyleCode() const override { return psFlat; }
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Instance();
  PainterStyle StyleCode() const override { return psUltraFlat; }
  TColor ButtonFaceColor(ButtonState state) const override;
};

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Instance();
  PainterStyle StyleCode() const override { return psOffice11; }
  TColor ButtonFaceColor(ButtonState state) const override;
};

// The painter of each look-and-feel kind.
extern const std::array<TcxLookAndFeelPainterClass, kLookAndFeelKindCount> KindPainters;

// The glyph cache's kind for a painter's style code.
TcxLookAndFeelKind KindForStyle(PainterStyle style);

// The theme state id of the radio part for a check state and button state.
int RadioThemeStateId(bool checked, ButtonState state);

}  // namespace lodo

// The painter instances, their style codes, caption and face colours, and the
// tables that tie kinds and style codes together.
#include "lookandfeel/Painters.h"

#include "graphics/Office2003Colors.h"
#include "graphics/SelectionTints.h"

namespace lodo {

namespace {

constinit const TcxCustomLookAndFeelPainter gCustomPainter;
constinit const TcxStandardLookAndFeelPainter gStandardPainter;
constinit const TcxWinXPLookAndFeelPainter gWinXPPainter;
constinit const TcxFlatLookAndFeelPainter gFlatPainter;
constinit const TcxUltraFlatLookAndFeelPainter gUltraFlatPainter;
constinit const TcxOffice11LookAndFeelPainter gOffice11Painter;

}  // namespace

const std::array<TcxLookAndFeelPainterClass, kLookAndFeelKindCount> KindPainters = {
    &gFlatPainter, &gStandardPainter, &gUltraFlatPainter, &gOffice11Painter};

TcxLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Instance() { return &gCustomPainter; }
TcxLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Instance() { return &gStandardPainter; }
TcxLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Instance() { return &gWinXPPainter; }
TcxLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Instance() { return &gFlatPainter; }
TcxLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Instance() { return &gUltraFlatPainter; }
TcxLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::Instance() { return &gOffice11Painter; }

TcxLookAndFeelKind KindForStyle(PainterStyle style) {
  switch (style) {
    case psFlat:
      return lfFlat;
    case psUltraFlat:
      return lfUltraFlat;
    case psOffice11:
      return lfOffice11;
    default:
      return lfStandard;
  }
}

int RadioThemeStateId(bool checked, ButtonState state) {
  int base = 0;
  switch (state) {
    case btsHot:
      base = 1;
      break;
    case btsPressed:
      base = 2;
      break;
    case btsDisabled:
      base = 3;
      break;
    default:
      base = 0;
      break;  // btsDefault draws like btsNormal
  }
  return (checked ? 5 : 1) + base;
}

TColor TcxCustomLookAndFeelPainter::CaptionTextColor(bool disabled) const {
  return StateTextColor(disabled ? tckDisabled : tckNormal);
}

// No painter of this program prescribes a caption colour.
TColor TcxCustomLookAndFeelPainter::StateTextColor(TextColorKind) const { return clDefault; }

TColor TcxCustomLookAndFeelPainter::ButtonFaceColor(ButtonState) const { return clBtnFace; }

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(ButtonState state) const {
  switch (state) {
    case btsHot:
      return HotTrackTint();
    case btsPressed:
      return PressedTint();
    default:
      return clBtnFace;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonFaceColor(ButtonState state) const {
  switch (state) {
    case btsHot:
      return Office2003Hot();
    case btsPressed:
      return Office2003Pressed();
    case btsDisabled:
      return clBtnFace;
    default:
      return Office2003Face();
  }
}

}  // namespace lodo

// Small helpers the library's controls share.
#include "controls/ControlHelpers.h"

namespace lodo {

namespace {
bool gStandardDrawingEmulation = false;
}

TcxMouseButtonCode ToMouseButtonCode(TMouseButton button) {
  switch (button) {
    case mbLeft:
      return mbcLeft;
    case mbRight:
      return mbcRight;
    case mbMiddle:
      return mbcMiddle;
  }
  return mbcNone;
}

void InvalidateControlRect(TWinControl* control, const RECT& rect, bool erase) {
  if (control && control->HandleAllocated()) InvalidateRect(control->Handle(), &rect, erase ? TRUE : FALSE);
}

RECT LocalBounds(const TControl* control) { return RECT{0, 0, control->Width(), control->Height()}; }

bool StandardDrawingEmulation() { return gStandardDrawingEmulation; }
void SetStandardDrawingEmulation(bool value) { gStandardDrawingEmulation = value; }

}  // namespace lodo

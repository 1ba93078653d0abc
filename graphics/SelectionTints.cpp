// Mixing of the selection tints from the system colours.
#include "graphics/SelectionTints.h"

#include <algorithm>

#include "framework/Gdi.h"

namespace lodo {

namespace {

// MulDiv rounds to the nearest integer, halves away from zero.
int Channel(BYTE face, BYTE highlight, BYTE window, std::int8_t pf, std::int8_t ph, std::int8_t pw) {
  const int v = MulDiv(face, pf, 100) + MulDiv(highlight, ph, 100) + MulDiv(window, pw, 100);
  return std::clamp(v, 0, 255);
}

}  // namespace

TTintSource CurrentTintSource() {
  return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW)};
}

TColor MixSystemTint(const TTintSource& source, std::int8_t face, std::int8_t highlight, std::int8_t window) {
  const COLORREF f = source.Face & 0xFFFFFF;
  const COLORREF h = source.Highlight & 0xFFFFFF;
  const COLORREF w = source.Window & 0xFFFFFF;
  if (f == 0 || f == 0xFFFFFF) return static_cast<TColor>(h);
  const int r = Channel(GetRValue(f), GetRValue(h), GetRValue(w), face, highlight, window);
  const int g = Channel(GetGValue(f), GetGValue(h), GetGValue(w), face, highlight, window);
  const int b = Channel(GetBValue(f), GetBValue(h), GetBValue(w), face, highlight, window);
  return static_cast<TColor>(RGB(r, g, b));
}

TColor SystemTint(std::int8_t face, std::int8_t highlight, std::int8_t window) {
  return MixSystemTint(CurrentTintSource(), face, highlight, window);
}

TColor NearestScreenColor(TColor color) {
  const TWindowDC screen(nullptr);
  const COLORREF nearest = GetNearestColor(screen.Get(), static_cast<COLORREF>(color));
  // GetNearestColor fails with CLR_INVALID; keep the colour asked for then.
  return nearest == CLR_INVALID ? color : static_cast<TColor>(nearest);
}

// The face weight is minus two percent, not its unsigned byte 254.
TColor HotTrackTint() { return NearestScreenColor(SystemTint(-2, 30, 72)); }
TColor PressedTint() { return NearestScreenColor(SystemTint(14, 44, 40)); }

}  // namespace lodo

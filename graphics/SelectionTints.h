// The hot and pressed tints: faces mixed from three system colours each time
// they are asked for, so they follow the user's colour scheme without a cache.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Colors.h"

namespace lodo {

// The three system colours a tint is mixed from, as RGB.
struct TTintSource {
  COLORREF Face;
  COLORREF Highlight;
  COLORREF Window;
};

// The current button-face, highlight and window colours.
TTintSource CurrentTintSource();

// Weights are signed percentages of face, highlight and window. A black or
// white face gives the highlight colour unchanged; channels clamp to 0..255.
TColor MixSystemTint(const TTintSource& source, std::int8_t face, std::int8_t highlight, std::int8_t window);
TColor SystemTint(std::int8_t face, std::int8_t highlight, std::int8_t window);

// Snaps a colour to the nearest one the screen can show.
TColor NearestScreenColor(TColor color);

TColor HotTrackTint();
TColor PressedTint();

}  // namespace lodo

// Small helpers the library's controls share: repaint requests, local
// bounds, mouse-button codes and the standard-drawing emulation switch.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/WinControl.h"

namespace lodo {

// The library's one-byte mouse-button code.
using TcxMouseButtonCode = std::uint8_t;
constexpr TcxMouseButtonCode mbcNone = 0;
constexpr TcxMouseButtonCode mbcLeft = 1;
constexpr TcxMouseButtonCode mbcRight = 2;
constexpr TcxMouseButtonCode mbcMiddle = 3;

TcxMouseButtonCode ToMouseButtonCode(TMouseButton button);

// InvalidateRect on the control's window; nothing (and no window made) when
// it has none.
void InvalidateControlRect(TWinControl* control, const RECT& rect, bool erase);
// (0, 0, Width, Height).
RECT LocalBounds(const TControl* control);

// Process-wide, off at start; nothing in the program turns it on.
bool StandardDrawingEmulation();
void SetStandardDrawingEmulation(bool value);

}  // namespace lodo

// Watching windows from outside, for the benchmarks: a process's main window,
// whether a window tree has anything left to paint, what the screen shows of
// it, and the area a window's update region covers.
#pragma once
#include <windows.h>

#include "framework/DibSection.h"

namespace lodo::bench {

// A 32-bit DIB that a screen rectangle is copied into.
class TScreenShot {
 public:
  explicit TScreenShot(const RECT& screen);

  bool Valid() const { return FDib.Valid(); }
  int Width() const { return FDib.Width(); }
  int Height() const { return FDib.Height(); }
  COLORREF Pixel(int x, int y) const { return FDib.Pixel(x, y); }

 private:
  TDibSection FDib;
};

// The process's visible window with a title bar (not a hidden message
// window or a tooltip); null while it has none.
HWND MainWindowOf(DWORD pid);

// Neither the window nor any visible descendant has an update region left.
bool NothingLeftToPaint(HWND window);

// The launcher's last slot: the visible owner-drawn button (the framework's
// or the system's class) that stands furthest right, and of those the
// lowest; null when none is shown.
HWND LastSlot(HWND window);

// The launcher's first complete paint as the screen shows it: nothing left
// to paint, and the last slot's rectangle mostly background with a glyph
// that is more than background at its left and dark caption ink right of it.
bool LauncherPainted(HWND window);

// A bare window's: nothing left to paint, and its client area on screen in
// the button-face colour at its corners, edges and centre.
bool BarePainted(HWND window);

// The update region of a window in pixels (overlaps counted once), with its
// bounding box in client coordinates.
struct TUpdateArea {
  long Pixels = 0;
  RECT Box{0, 0, 0, 0};
};
TUpdateArea UpdateArea(HWND window);

}  // namespace lodo::bench

// Window and screen observations that the benchmarks make from outside the
// code they measure.
#include "bench/WindowWatch.h"

#include <vector>

#include "framework/Gdi.h"

namespace lodo::bench {

namespace {

bool Dark(COLORREF c) { return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }

struct TWindowSearch {
  DWORD Pid;
  HWND Found;
};

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

}  // namespace

TScreenShot::TScreenShot(const RECT& screen) : FDib(screen.right - screen.left, screen.bottom - screen.top) {
  if (!FDib.Valid()) return;
  TMemoryDC dc;
  TSelectGuard select(dc.Get(), FDib.Bitmap());
  // The desktop's DC shows what is on screen, whichever process drew it.
  TWindowDC desktop(nullptr);
  BitBlt(dc.Get(), 0, 0, FDib.Width(), FDib.Height(), desktop.Get(), screen.left, screen.top, SRCCOPY);
  GdiFlush();
}

HWND MainWindowOf(DWORD pid) {
  TWindowSearch search{pid, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TWindowSearch*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->Pid || !IsWindowVisible(window)) return TRUE;
        if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return TRUE;
        s->Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

bool NothingLeftToPaint(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child : Descendants(window))
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) return false;
  return true;
}

HWND LastSlot(HWND window) {
  HWND last = nullptr;
  RECT lastRect{};
  for (HWND child : Descendants(window)) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof(name));
    // The framework's superclass of BUTTON, or the system's class itself.
    if ((lstrcmpA(name, "lodo.BUTTON") != 0 && lstrcmpiA(name, "Button") != 0) || !IsWindowVisible(child)) continue;
    if ((GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW) continue;
    RECT r{};
    GetWindowRect(child, &r);
    if (!last || r.left > lastRect.left || (r.left == lastRect.left && r.top > lastRect.top)) {
      last = child;
      lastRect = r;
    }
  }
  return last;
}

bool LauncherPainted(HWND window) {
  HWND slot = LastSlot(window);
  // The screen is read only once the window system has nothing left to ask for.
  if (!slot || !NothingLeftToPaint(window)) return false;
  RECT r{};
  GetWindowRect(slot, &r);
  const TScreenShot shot(r);
  if (!shot.Valid()) return false;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  // The glyph stands in the first pixels; the caption starts a few further on.
  constexpr int kGlyphPart = 18;
  int background = 0, glyph = 0, ink = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) {
      const COLORREF c = shot.Pixel(x, y);
      if (c == face)
        ++background;
      else if (x < kGlyphPart)
        ++glyph;
      else if (Dark(c))
        ++ink;
    }
  // Mostly background: the stale screen under a window that has not drawn
  // yet (black, or another window) does not count as painted.
  return background * 2 > shot.Width() * shot.Height() && glyph >= 10 && ink >= 10;
}

bool BarePainted(HWND window) {
  if (!NothingLeftToPaint(window)) return false;
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const TScreenShot shot(client);
  if (!shot.Valid() || shot.Width() < 3 || shot.Height() < 3) return false;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (shot.Pixel((shot.Width() - 1) * i / 2, (shot.Height() - 1) * j / 2) != face) return false;
  return true;
}

TUpdateArea UpdateArea(HWND window) {
  TUpdateArea area;
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  if (GetUpdateRgn(window, region.Get(), FALSE) <= NULLREGION) return area;
  GetRgnBox(region.Get(), &area.Box);
  const DWORD size = GetRegionData(region.Get(), 0, nullptr);
  if (size == 0) return area;
  std::vector<char> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  if (GetRegionData(region.Get(), size, data) != size) return area;
  // A region's rectangles never overlap, so their areas add up.
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i)
    area.Pixels += (rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
  return area;
}

}  // namespace lodo::bench

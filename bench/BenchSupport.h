// Shared pieces of the benchmarks: the performance counter, medians, timing
// loops and the small aligned tables they print their figures in.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/Gdi.h"

namespace lodo::bench {

inline LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Seconds per call of body, timed over `count` calls.
inline double Time(int count, const std::function<void()>& body) {
  const LARGE_INTEGER from = Now();
  for (int i = 0; i < count; ++i) body();
  return Seconds(from, Now()) / count;
}

// Processes the queued messages that `filter` (PM_QS_* bits, 0 for all) lets through.
inline void PumpQueued(UINT filter = 0) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | filter)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Processes every queued message, then keeps doing so for `ms` milliseconds.
inline void Pump(int ms = 0) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    PumpQueued();
    if (ms > 0) Sleep(1);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

// Pumps until `done` holds or `timeoutMs` passed; returns done(). It waits
// for the next message rather than sleeping, so that an awaited input
// message is handled as soon as it arrives. Without paints, WM_PAINT stays
// queued (input, sent and posted messages, timers too, are handled), so
// that the update region a change leaves can still be read.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000, bool paints = true) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  while (!done()) {
    const int left = static_cast<int>(end - GetTickCount());
    if (left <= 0) return done();
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min(left, 5)),
                                paints ? QS_ALLINPUT : QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    PumpQueued(paints ? 0 : PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE);
  }
  return true;
}

// Moves the real pointer to a screen point.
inline void MovePointer(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  // SetCursorPos alone may not queue a WM_MOUSEMOVE; a zero relative move does.
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof(in));
}

// A number with a fixed count of decimals, for a table cell.
inline std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  return text;
}

// Rows of cells printed with each column as wide as its widest cell: the
// first column left-aligned (the names), the others right-aligned (figures).
class TTable {
 public:
  void Row(std::vector<std::string> cells) { FRows.push_back(std::move(cells)); }

  void Print() const {
    std::vector<size_t> widths;
    for (const auto& row : FRows)
      for (size_t i = 0; i < row.size(); ++i) {
        if (widths.size() <= i) widths.push_back(0);
        widths[i] = std::max(widths[i], row[i].size());
      }
    for (const auto& row : FRows) {
      std::string line;
      for (size_t i = 0; i < row.size(); ++i) {
        const std::string pad(widths[i] - row[i].size(), ' ');
        line += i == 0 ? "  " + row[i] + pad : "  " + pad + row[i];
      }
      std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
  }

 private:
  std::vector<std::vector<std::string>> FRows;
};

// A screen-compatible bitmap in its own memory DC, like a window's surface.
struct TTarget {
  TMemoryDC DC;
  TBitmapHandle Bitmap;
  HGDIOBJ Old = nullptr;

  TTarget(int width, int height) {
    TWindowDC screen(nullptr);
    Bitmap.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    Old = SelectObject(DC.Get(), Bitmap.Get());
    PatBlt(DC.Get(), 0, 0, width, height, WHITENESS);
  }
  ~TTarget() { SelectObject(DC.Get(), Old); }
  TTarget(const TTarget&) = delete;
  TTarget& operator=(const TTarget&) = delete;
};

}  // namespace lodo::bench

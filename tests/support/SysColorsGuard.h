// Changes system colours for one test or benchmark and puts the old ones back
// afterwards; every change is broadcast to the top-level windows as
// WM_SYSCOLORCHANGE. Header only, on the platform alone, so that the
// benchmarks use it too.
#pragma once
#include <windows.h>

#include <utility>
#include <vector>

namespace lodo::test {

class TSysColorsGuard {
 public:
  explicit TSysColorsGuard(std::vector<int> indexes = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW, COLOR_GRAYTEXT})
      : FIndexes(std::move(indexes)) {
    for (int index : FIndexes) FColors.push_back(GetSysColor(index));
  }
  ~TSysColorsGuard() {
    SetSysColors(static_cast<int>(FIndexes.size()), FIndexes.data(), FColors.data());
    // What the windows posted in answer is handled before the caller goes on.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  TSysColorsGuard(const TSysColorsGuard&) = delete;
  TSysColorsGuard& operator=(const TSysColorsGuard&) = delete;

  static bool Set(int index, COLORREF color) { return SetSysColors(1, &index, &color) != FALSE; }
  // The colour the n-th index had when the guard was made.
  COLORREF Saved(size_t n) const { return FColors[n]; }

 private:
  std::vector<int> FIndexes;
  std::vector<COLORREF> FColors;
};

}  // namespace lodo::test

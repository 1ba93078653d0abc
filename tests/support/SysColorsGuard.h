// Changes system colours for one test and puts the old ones back afterwards;
// every change is broadcast to the top-level windows as WM_SYSCOLORCHANGE.
#pragma once
#include <windows.h>

#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"

namespace lodo::test {

class TSysColorsGuard {
 public:
  explicit TSysColorsGuard(std::vector<int> indexes = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW, COLOR_GRAYTEXT})
      : FIndexes(std::move(indexes)) {
    for (int index : FIndexes) FColors.push_back(GetSysColor(index));
  }
  ~TSysColorsGuard() {
    SetSysColors(static_cast<int>(FIndexes.size()), FIndexes.data(), FColors.data());
    Pump(20);
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

// Helpers of the theme tests: the module started per test, call counters in
// front of library entry points, and switching the real visual style.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "theme/UxTheme.h"

namespace lodo::test {

// Starts the theme module for one test and shuts it down afterwards.
class TThemeModuleScope {
 public:
  TThemeModuleScope();
  ~TThemeModuleScope();
  TThemeModuleScope(const TThemeModuleScope&) = delete;
  TThemeModuleScope& operator=(const TThemeModuleScope&) = delete;
};

// Counts the calls of OpenThemeData and CloseThemeData that reach the library
// (and records the class lists opened) while it exists.
class TThemeCallCounter {
 public:
  TThemeCallCounter();
  ~TThemeCallCounter();
  TThemeCallCounter(const TThemeCallCounter&) = delete;
  TThemeCallCounter& operator=(const TThemeCallCounter&) = delete;

  int Opens() const;
  int Closes() const;
  const std::vector<std::wstring>& OpenedClassLists() const;
};

// Switches the visual style of the running session off or back to Wine's
// default style, through the library's unnamed theme-file entries (ordinals
// 2, 3 and 4), which the platform answers with WM_THEMECHANGED. The guard
// puts the default style back however the test ends.
bool SwitchVisualStyleOff();
bool SwitchVisualStyleOn();
class TVisualStyleGuard {
 public:
  ~TVisualStyleGuard() { SwitchVisualStyleOn(); }
};

// Top-level windows of this thread with the framework's hidden-window class.
int CountHiddenMessageWindows();

}  // namespace lodo::test

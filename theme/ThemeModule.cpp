// Start-up and shutdown of the theme library.
#include "theme/ThemeModule.h"

#include <windows.h>

#include <commctrl.h>

#include "theme/ThemeManager.h"
#include "theme/UxTheme.h"

namespace lodo {

namespace {

bool gModuleStarted = false;

}  // namespace

void InitializeThemeModule() {
  if (gModuleStarted) return;
  InitCommonControls();
  BindThemeLibrary();
  try {
    StartThemeManager();
  } catch (...) {
    // Without its receiver the cache could go stale at a switch: run unbound,
    // with the program's own drawing. Like a missing library, that is no error.
    StopThemeManager();
    UnbindThemeLibrary();
  }
  gModuleStarted = true;
}

void FinalizeThemeModule() {
  if (!gModuleStarted) return;
  StopThemeManager();
  UnbindThemeLibrary();
  gModuleStarted = false;
}

}  // namespace lodo

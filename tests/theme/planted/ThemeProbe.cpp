// A small program started from a folder holding a planted library: it loads
// the visual-styles library the way it is asked to and reports by exit code.
#include <windows.h>

#include <cstring>

#include "framework/Application.h"
#include "theme/ThemeModule.h"
#include "theme/UxTheme.h"

// Modes: "bare" loads by bare name (what must not be done), "program" starts
// as the program does. Common controls are delay-loaded, as in the program.
// Exit code: 0 the library was loaded, 1 it was not, 2 unknown mode.
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "bare") == 0) return LoadLibraryA("UxTheme.dll") ? 0 : 1;
  if (std::strcmp(argv[1], "program") != 0) return 2;
  lodo::RestrictDllSearchToSystemFolder();
  // The application object brings the common controls in, as in the program.
  lodo::TApplication application;
  lodo::InitializeThemeModule();
  const bool loaded = lodo::ThemeLibraryLoaded();
  lodo::FinalizeThemeModule();
  return loaded ? 0 : 1;
}

// A small program started from a folder holding planted libraries: it loads
// the visual-styles and accessibility libraries the way it is asked to and
// reports by exit code.
#include <windows.h>

#include <oleacc.h>

#include <cstring>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Panel.h"
#include "theme/ThemeModule.h"
#include "theme/UxTheme.h"

namespace {

// Answers for a clickable panel through the accessibility layer, as the
// program does when a screen reader asks; true when the object came.
bool AskForAnAccessibleObject() {
  lodo::TForm form(nullptr);
  auto* panel = new lodo::TPanel(&form);
  panel->SetParent(&form);
  panel->OnClick = [](lodo::TControl*) {};
  form.HandleNeeded();
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(panel->Handle(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))))
    return false;
  object->Release();
  return true;
}

}  // namespace

// Modes: "bare NAME" loads NAME by bare name (what must not be done),
// "program" starts as the program does and then answers a screen reader.
// Common controls and the accessibility library are delay-loaded, as in the
// program. Exit code: 0 the libraries were loaded, 1 they were not, 2
// unknown mode.
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "bare") == 0 && argc > 2) return LoadLibraryA(argv[2]) ? 0 : 1;
  if (std::strcmp(argv[1], "program") != 0) return 2;
  lodo::RestrictDllSearchToSystemFolder();
  // The application object brings the common controls in, as in the program.
  lodo::TApplication application;
  lodo::InitializeThemeModule();
  const bool loaded = lodo::ThemeLibraryLoaded() && AskForAnAccessibleObject();
  lodo::FinalizeThemeModule();
  return loaded ? 0 : 1;
}

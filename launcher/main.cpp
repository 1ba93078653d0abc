// The program's entry: the application, the one window, the message loop.
// Command-line arguments are ignored; the exit code is always 0.
#include <windows.h>

#include "controls/Modules.h"
#include "framework/Application.h"
#include "launcher/F_glavna.h"
#include "theme/UxTheme.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Libraries load only from the system folder, never from the program
  // folder (a Downloads folder may hold planted DLLs).
  lodo::RestrictDllSearchToSystemFolder();
  {
    lodo::TApplication application;
    // The drawing libraries start after the application object and end
    // after the window is gone.
    lodo::TModulesScope modules;
    application.CreateForm<lodo::TF_glavna>();
    application.Run();
    application.DestroyForms();
  }
  return 0;
}

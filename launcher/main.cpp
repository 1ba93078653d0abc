// The program's entry: the application, the one window, the message loop.
// Command-line arguments are ignored; the exit code is always 0.
#include <windows.h>

#include "controls/Modules.h"
#include "framework/Application.h"
#include "launcher/F_glavna.h"
#include "launcher/StageTiming.h"
#include "theme/UxTheme.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LODO_STAGE(stEntry);
  // Libraries load only from the system folder, never from the program
  // folder (a Downloads folder may hold planted DLLs).
  lodo::RestrictDllSearchToSystemFolder();
  {
    lodo::TApplication application;
    LODO_STAGE(stApplication);
    // The drawing libraries start after the application object and end
    // after the window is gone.
    lodo::TModulesScope modules;
    LODO_STAGE(stModules);
    application.CreateForm<lodo::TF_glavna>();
    LODO_STAGE(stForm);
#ifdef LODO_STAGE_TIMING
    lodo::stages::RunTimed(application);
#else
    application.Run();
#endif
    application.DestroyForms();
  }
  return 0;
}

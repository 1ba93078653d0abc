// The program's entry: the application, the one window, the message loop.
// Command-line arguments are ignored; the exit code is always 0.
#include <windows.h>

#include "framework/Application.h"
#include "launcher/F_glavna.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Libraries load only from the system folder, never from the program
  // folder (a Downloads folder may hold planted DLLs).
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  {
    lodo::TApplication application;
    application.CreateForm<lodo::TF_glavna>();
    application.Run();
    application.DestroyForms();
  }
  return 0;
}

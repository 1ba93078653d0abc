// Planted under the names of programs that must never be started (cmd.exe,
// calc.exe, a winvnc.exe outside the program folder): when run, it leaves
// "<its own path>.ran" holding its command line. Given "--load NAME" it also
// loads that library by bare name, as a control that planting works.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char exe[4096] = {};
  GetModuleFileNameA(nullptr, exe, sizeof(exe));
  const std::string trace = std::string(exe) + ".ran";
  const std::string line = GetCommandLineA();
  HANDLE file = CreateFileA(trace.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }
  const auto load = line.find(" --load ");
  if (load != std::string::npos) LoadLibraryA(line.substr(load + 8).c_str());
  return 0;
}

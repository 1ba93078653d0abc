// Stands in for the VNC server in end-to-end tests: writes the exact command
// line it was started with and its working directory beside itself.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char exe[4096] = {};
  GetModuleFileNameA(nullptr, exe, sizeof(exe));
  std::string record(exe);
  record.resize(record.find_last_of('\\') + 1);
  record += "winvnc.record";
  char cwd[4096] = {};
  GetCurrentDirectoryA(sizeof(cwd), cwd);
  const std::string text = std::string(GetCommandLineA()) + "\n" + cwd + "\n";
  HANDLE file = CreateFileA(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}

// A stand-in visual-styles library planted beside a test program: when any
// process loads it, it leaves a marker file in its own folder.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
  while (length > 0 && path[length - 1] != '\\') --length;
  const char marker[] = "planted.marker";
  if (length + sizeof(marker) > MAX_PATH) return TRUE;
  lstrcpyA(path + length, marker);
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

// Program folder lookup.
#include "launcher/ProgramFolder.h"

#include <windows.h>

namespace lodo {

std::string FolderOf(const std::string& path) {
  const auto cut = path.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ProgramFolder() {
  // A fixed MAX_PATH buffer would silently cut a deep folder and so look for
  // the files somewhere else; grow until the whole path fits.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  return FolderOf(path);
}

std::string SettingsPath() { return ProgramFolder() + "lodo.ini"; }
std::string ServerPath() { return ProgramFolder() + "winvnc.exe"; }

void EnterProgramFolder() { SetCurrentDirectoryA(ProgramFolder().c_str()); }

}  // namespace lodo

// File helpers of the launcher tests, all through the Win32 file functions.
#include "tests/launcher/LauncherFiles.h"

#include "tests/support/Files.h"

namespace lodo::test {

std::string ExeFolder() {
  char path[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

namespace {

std::vector<std::string> SplitZeros(const std::vector<char>& buffer, DWORD n) {
  std::vector<std::string> items;
  std::string current;
  for (DWORD i = 0; i < n; ++i) {
    if (buffer[i]) {
      current += buffer[i];
    } else {
      items.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) items.push_back(current);
  return items;
}
}  // namespace

std::vector<std::string> ProfileSection(const std::string& path, const std::string& section) {
  DropCache(path);
  std::vector<char> buffer(32768);
  const DWORD n =
      GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
  return SplitZeros(buffer, n);
}

std::vector<std::string> ProfileSectionNames(const std::string& path) {
  DropCache(path);
  std::vector<char> buffer(8192);
  const DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
  return SplitZeros(buffer, n);
}

TTempFolder::TTempFolder() {
  static int counter = 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  // A leftover of an earlier run may hold a name; a few tries find a free one.
  for (int tries = 0; tries < 100; ++tries) {
    FPath = std::string(temp) + "lodo-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) +
            "\\";
    if (CreateDirectoryA(FPath.c_str(), nullptr)) break;
  }
}

TTempFolder::~TTempFolder() { RemovePath(FPath.substr(0, FPath.size() - 1)); }

TProgramFolderFiles::TProgramFolderFiles() { Clean(); }
TProgramFolderFiles::~TProgramFolderFiles() { Clean(); }

void TProgramFolderFiles::SetIni(const std::string& text) const { WriteText(Ini(), text); }

void TProgramFolderFiles::Clean() const {
  RemovePath(Ini());
  RemovePath(Server());
  DropCache(Ini());
}

}  // namespace lodo::test

// Real files for the launcher tests: temporary folders, raw file text, the
// platform's own view of a settings file, and the two files that the
// launcher looks for beside the test executable.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/Files.h"

namespace lodo::test {

// The test executable's folder, ending in a backslash, found independently
// of the launcher's own lookup.
std::string ExeFolder();

// "key=value" entries of a section, in file order.
std::vector<std::string> ProfileSection(const std::string& path, const std::string& section);
std::vector<std::string> ProfileSectionNames(const std::string& path);

// A fresh folder under the temporary folder, removed with everything in it.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  // Ends in a backslash.
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

// lodo.ini and winvnc.exe beside the test executable: gone before the test
// and removed again after it, so no test sees another's leftovers.
class TProgramFolderFiles {
 public:
  TProgramFolderFiles();
  ~TProgramFolderFiles();
  TProgramFolderFiles(const TProgramFolderFiles&) = delete;
  TProgramFolderFiles& operator=(const TProgramFolderFiles&) = delete;

  std::string Ini() const { return ExeFolder() + "lodo.ini"; }
  std::string Server() const { return ExeFolder() + "winvnc.exe"; }
  void SetIni(const std::string& text) const;

 private:
  void Clean() const;
};

}  // namespace lodo::test

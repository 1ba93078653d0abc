// Libraries named like the visual-styles and accessibility ones, planted in
// the program folder, must never be loaded. Run with native libraries
// preferred, as on Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/Files.h"

namespace {

std::string OwnFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (length > 0 && path[length - 1] != '\\' && path[length - 1] != '/') --length;
  return std::string(path, length);
}

using lodo::test::Exists;

constexpr const char* kPlanted[] = {"UxTheme.dll", "oleacc.dll"};

// A fresh folder holding the probe program and the planted libraries.
class TPlantedFolder {
 public:
  TPlantedFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    FFolder = std::string(temp) + "lodo-planted-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(FFolder.c_str(), nullptr);
    const std::string built = OwnFolder() + "planted\\";
    FOk = CopyFileA((built + "theme_probe.exe").c_str(), Probe().c_str(), FALSE);
    // One stand-in under each name: whichever is loaded leaves the marker.
    for (const char* name : kPlanted)
      FOk = FOk && CopyFileA((built + "UxTheme.dll").c_str(), (FFolder + name).c_str(), FALSE);
  }
  ~TPlantedFolder() {
    DeleteFileA(Marker().c_str());
    DeleteFileA(Probe().c_str());
    for (const char* name : kPlanted) DeleteFileA((FFolder + name).c_str());
    RemoveDirectoryA(FFolder.c_str());
  }
  bool Ok() const { return FOk; }
  std::string Probe() const { return FFolder + "theme_probe.exe"; }
  std::string Marker() const { return FFolder + "planted.marker"; }

  // Runs the probe in the folder (also its working directory); its exit code.
  DWORD Run(const std::string& mode) const {
    DeleteFileA(Marker().c_str());
    std::string command = "\"" + Probe() + "\" " + mode;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(Probe().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, FFolder.c_str(), &si,
                        &pi))
      return 1000;
    // A probe that hangs (a load failing into the debugger) fails the run.
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1002);
    DWORD code = 1001;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
  }

 private:
  std::string FFolder;
  bool FOk = false;
};

}  // namespace

TEST(PlantedLibrary, IsNeverLoadedByTheThemeBindingOrTheAccessibleObjects) {
  TPlantedFolder folder;
  ASSERT_TRUE(folder.Ok());
  // The control: loading by bare name does pick each planted library here,
  // so the check below would see an unsafe load.
  for (const char* name : kPlanted) {
    EXPECT_EQ(folder.Run(std::string("bare ") + name), 0u) << name;
    EXPECT_TRUE(Exists(folder.Marker())) << name;
  }

  EXPECT_EQ(folder.Run("program"), 0u);
  EXPECT_FALSE(Exists(folder.Marker()));
}

// Whatever the settings file says, lodo.exe starts only winvnc.exe from its
// own folder, by its quoted full path, with the address passed on as written
// and never through a shell; and it loads no library planted beside it.
#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Accessibility.h"
#include "tests/support/Files.h"

using namespace lodo::e2e;

namespace {

std::string LongHostileValue() {
  std::string value;
  while (value.size() < 2047) value += "&calc|cmd %COMSPEC% ";
  return value.substr(0, 2047);
}

// Text that a shell, the command-line parser or a path lookup would take for
// more than text.
const std::vector<std::string>& HostileValues() {
  static const std::vector<std::string> values = {
      "& calc", "| cmd /c calc.exe", "\"; x", "%COMSPEC% /c calc.exe", "..\\..\\evil.exe",
      "host.example.com & evil.exe", "a\" & \"calc.exe", "`calc` $(calc) ^& calc > out.txt",
      // Croatian letters in the Central European code page, and others above 127.
      "\xE8\xE6\x9E\x9A\xF0.example.hr \xC8\xC6\x8E\x8A\xD0 \xFF\xA9", LongHostileValue()};
  return values;
}

using lodo::test::Exists;

// Every trace a planted program left anywhere under `folder`.
void FindTraces(const std::string& folder, std::vector<std::string>& traces) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      FindTraces(folder + name + "\\", traces);
    else if (name.size() > 4 && name.substr(name.size() - 4) == ".ran")
      traces.push_back(folder + name + ": " + lodo::test::ReadText(folder + name));
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void Plant(const std::string& path) {
  ASSERT_TRUE(CopyFileA(HostPath(TRIPWIRE_EXE_PATH).c_str(), path.c_str(), FALSE)) << path;
}

// A tree of program folders with every program that a wrong start could
// reach planted around them:
//   <root>\evil.exe             "..\..\evil.exe" seen from a program folder
//   <root>\x\app.exe            an unquoted "<root>\x\app dir N\winvnc.exe"
//   <root>\path\winvnc.exe      a search of PATH instead of the folder
//   <root>\path\cmd.exe         COMSPEC, and cmd/calc found by PATH
//   <root>\x\app dir N\         the program folder, with cmd.exe, calc.exe
//                               and evil.exe of its own
class THostileTree {
 public:
  THostileTree() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    FRoot = std::string(temp) + "lodo hostile " + std::to_string(GetCurrentProcessId()) + "\\";
    lodo::test::RemovePath(FRoot.substr(0, FRoot.size() - 1));
    for (const char* sub : {"", "x\\", "path\\"}) CreateDirectoryA((FRoot + sub).c_str(), nullptr);
    Plant(FRoot + "evil.exe");
    Plant(FRoot + "x\\app.exe");
    for (const char* name : {"winvnc.exe", "cmd.exe", "calc.exe"}) Plant(FRoot + "path\\" + name);
    // The launcher inherits these: a shell or a PATH search would meet the plants.
    char path[32768] = {};
    GetEnvironmentVariableA("PATH", path, sizeof(path));
    FOldPath = path;
    char comspec[MAX_PATH] = {};
    GetEnvironmentVariableA("COMSPEC", comspec, sizeof(comspec));
    FOldComspec = comspec;
    SetEnvironmentVariableA("PATH", (FRoot + "path;" + FOldPath).c_str());
    SetEnvironmentVariableA("COMSPEC", (FRoot + "path\\cmd.exe").c_str());
  }
  ~THostileTree() {
    SetEnvironmentVariableA("PATH", FOldPath.c_str());
    SetEnvironmentVariableA("COMSPEC", FOldComspec.empty() ? nullptr : FOldComspec.c_str());
    FFolders.clear();
    lodo::test::RemovePath(FRoot.substr(0, FRoot.size() - 1));
  }

  const std::string& Root() const { return FRoot; }

  // A fresh program folder inside the tree, with its own plants.
  const TProgramFolder& NewFolder() {
    const std::string name = "lodo hostile " + std::to_string(GetCurrentProcessId()) + "\\x\\app dir";
    FFolders.push_back(std::make_unique<TProgramFolder>(name));
    const TProgramFolder& folder = *FFolders.back();
    for (const char* plant : {"cmd.exe", "calc.exe", "evil.exe"}) Plant(folder.Path() + plant);
    return folder;
  }

  std::vector<std::string> Traces() const {
    std::vector<std::string> traces;
    FindTraces(FRoot, traces);
    return traces;
  }

 private:
  std::string FRoot, FOldPath, FOldComspec;
  std::vector<std::unique_ptr<TProgramFolder>> FFolders;
};

// The value as the launcher reads it: the platform's string, at most 2047 characters.
std::string AsRead(const TProgramFolder& folder, const char* section, const char* key) {
  std::vector<char> value(65536);
  const DWORD n = GetPrivateProfileStringA(section, key, "", value.data(), static_cast<DWORD>(value.size()),
                                           folder.SettingsPath().c_str());
  return std::string(value.data(), n).substr(0, 2047);
}

struct TConnect {
  const TProgramFolder* Folder;
  std::unique_ptr<TLauncher> Launcher;
  std::string Address;
};

// Starts one launcher per settings text and connects each, without waiting
// for one to end before the next starts.
std::vector<TConnect> ConnectAll(THostileTree& tree, const std::vector<std::string>& settings, bool manual) {
  std::vector<TConnect> runs;
  for (const std::string& text : settings) {
    const TProgramFolder& folder = tree.NewFolder();
    folder.WriteSettings(text);
    TConnect run{&folder, std::make_unique<TLauncher>(folder),
                 manual ? AsRead(folder, "Forma", "Rucni_unos_adresa") : AsRead(folder, "Spajanja", "Sp1_adresa")};
    EXPECT_TRUE(run.Launcher->Window()) << text;
    if (!manual) {
      // The caption is shown as written, whatever it holds.
      const auto slots = run.Launcher->VisibleSlots();
      EXPECT_EQ(slots, std::vector<std::string>{AsRead(folder, "Spajanja", "Sp1_naziv")});
    }
    run.Launcher->ClickConnect();
    runs.push_back(std::move(run));
  }
  return runs;
}

// Each launcher started the folder's own server with the address as read,
// from the folder, and nothing else ran anywhere in the tree.
void ExpectOnlyTheServer(THostileTree& tree, std::vector<TConnect>& runs) {
  for (TConnect& run : runs) {
    SCOPED_TRACE(run.Address.substr(0, 60));
    ASSERT_TRUE(EndsWithCodeZero(*run.Launcher, 15000));
    ASSERT_TRUE(run.Folder->WaitForRecord());
    EXPECT_EQ(run.Folder->RecordedCommand(), run.Folder->CommandFor(run.Address));
    EXPECT_EQ(run.Folder->RecordedDirectory() + "\\", run.Folder->Path());
  }
  // A program started by mistake would be started before its launcher ended;
  // give it a moment to write its trace.
  Sleep(500);
  EXPECT_EQ(tree.Traces(), std::vector<std::string>{});
}

// The libraries named in an executable's import table, read from the file.
std::vector<std::string> StaticImports(const std::string& bytes) {
  std::vector<std::string> names;
  auto at = [&](size_t offset, size_t size) { return offset + size <= bytes.size() ? bytes.data() + offset : nullptr; };
  IMAGE_DOS_HEADER dos{};
  IMAGE_NT_HEADERS64 nt{};
  if (!at(0, sizeof(dos))) return names;
  std::memcpy(&dos, at(0, sizeof(dos)), sizeof(dos));
  const auto ntAt = static_cast<size_t>(dos.e_lfanew);
  if (!at(ntAt, sizeof(nt))) return names;
  std::memcpy(&nt, at(ntAt, sizeof(nt)), sizeof(nt));
  const size_t sectionsAt = ntAt + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  // A virtual address becomes a file offset through the section holding it.
  auto fileOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER section{};
      const char* p = at(sectionsAt + i * sizeof(section), sizeof(section));
      if (!p) break;
      std::memcpy(&section, p, sizeof(section));
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
        return rva - section.VirtualAddress + section.PointerToRawData;
    }
    return bytes.size();
  };
  const DWORD importRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t descriptorAt = fileOffset(importRva);; descriptorAt += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor{};
    const char* p = at(descriptorAt, sizeof(descriptor));
    if (!p) break;
    std::memcpy(&descriptor, p, sizeof(descriptor));
    if (descriptor.Name == 0) break;
    const size_t nameAt = fileOffset(descriptor.Name);
    if (nameAt >= bytes.size()) break;
    std::string name(bytes.c_str() + nameAt);
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    names.push_back(name);
  }
  return names;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

// The full path of a library loaded in another process, or empty.
std::string ModulePath(DWORD processId, const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  MODULEENTRY32 module{};
  module.dwSize = sizeof(module);
  std::string path;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
    if (lstrcmpiA(module.szModule, name) == 0) path = module.szExePath;
  CloseHandle(snapshot);
  return path;
}

}  // namespace

// Libraries loaded before the program's first line cannot be restricted to
// the system folder; they must all be among the system's known DLLs, which
// Windows only ever takes from there. The common controls and the
// visual-styles library come later, delay-loaded and bound at run time.
TEST(Executable, ImportsOnlyTheSystemsKnownLibraries) {
  const std::vector<std::string> known = {
      "advapi32.dll", "clbcatq.dll",  "combase.dll",  "comdlg32.dll", "coml2.dll",   "gdi32.dll",    "gdiplus.dll",
      "imagehlp.dll", "imm32.dll",    "kernel32.dll", "msctf.dll",    "msvcrt.dll",  "normaliz.dll", "nsi.dll",
      "ole32.dll",    "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "sechost.dll", "setupapi.dll", "shcore.dll",
      "shell32.dll",  "shlwapi.dll",  "user32.dll",   "wldap32.dll",  "ws2_32.dll"};
  const std::vector<std::string> imports = StaticImports(lodo::test::ReadText(HostPath(LODO_EXE_PATH)));
  ASSERT_NE(std::find(imports.begin(), imports.end(), "kernel32.dll"), imports.end()) << "import table not read";
  for (const std::string& name : imports)
    EXPECT_NE(std::find(known.begin(), known.end(), name), known.end()) << name << " is imported directly";
}

// The plants can catch the faults they stand for: an unquoted path runs the
// program planted at its first blank, a shell found by name is the planted
// one, and the relative path reaches the planted evil.exe.
TEST(HostileSettings, PlantedProgramsCatchAnUnquotedPathAShellAndARelativePath) {
  THostileTree tree;
  const TProgramFolder& folder = tree.NewFolder();
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  SetCurrentDirectoryA(folder.Path().c_str());
  EXPECT_GT(WinExec((folder.Path() + "winvnc.exe -connect h").c_str(), SW_SHOWNORMAL), 31u);
  EXPECT_GT(WinExec("cmd.exe /c calc.exe", SW_SHOWNORMAL), 31u);
  EXPECT_GT(WinExec("..\\..\\evil.exe", SW_SHOWNORMAL), 31u);
  SetCurrentDirectoryA(cwd);
  // The shell may be the folder's plant or the one on PATH; both are traps.
  for (const std::string& trace :
       {tree.Root() + "x\\app.exe.ran", tree.Root() + "evil.exe.ran", std::string("cmd.exe.ran")}) {
    auto seen = [&] {
      for (const std::string& found : tree.Traces())
        if (found.find(trace) != std::string::npos) return true;
      return false;
    };
    const DWORD end = GetTickCount() + 10000;
    while (!seen() && static_cast<int>(end - GetTickCount()) > 0) Sleep(20);
    EXPECT_TRUE(seen()) << trace;
  }
}

TEST(HostileSettings, PresetNamesAndAddressesReachOnlyTheFoldersServerAsWritten) {
  THostileTree tree;
  std::vector<std::string> settings;
  for (const std::string& value : HostileValues())
    settings.push_back("[Spajanja]\r\nSp1_naziv=" + value + "\r\nSp1_adresa=" + value +
                       "\r\n[Forma]\r\nZadnje_spajanje=1\r\n");
  auto runs = ConnectAll(tree, settings, false);
  ExpectOnlyTheServer(tree, runs);
}

TEST(HostileSettings, ManualAddressesReachOnlyTheFoldersServerAsWritten) {
  THostileTree tree;
  std::vector<std::string> settings;
  for (const std::string& value : HostileValues())
    settings.push_back("[Forma]\r\nRucni_unos=1\r\nRucni_unos_adresa=" + value + "\r\n");
  auto runs = ConnectAll(tree, settings, true);
  ExpectOnlyTheServer(tree, runs);
}

// The common controls and the accessibility library are loaded late
// (delay-loaded) and never from the program folder. Registered to run with
// Wine preferring native copies of them, so that it would find the planted
// ones as Windows searches.
TEST(Security, PlantedLibrariesInTheProgramFolderAreNeverLoaded) {
  lodo::test::TComApartment apartment;
  for (bool withServer : {true, false}) {
    SCOPED_TRACE(withServer ? "connect" : "error box");
    TProgramFolder folder("lodo planted", withServer);
    folder.WriteSettings(
        "[Spajanja]\r\nSp1_naziv=Prvi\r\nSp1_adresa=first.example\r\n[Forma]\r\nZadnje_spajanje=1\r\n");
    const std::string marker = folder.Path() + "planted.marker";
    for (const char* library : {"comctl32.dll", "oleacc.dll"}) {
      SCOPED_TRACE(library);
      ASSERT_TRUE(CopyFileA(HostPath(PLANTED_UXTHEME_PATH).c_str(), (folder.Path() + library).c_str(), FALSE));
      // Control: a program without the launcher's care, loading the library
      // by bare name from that folder, does pick up the planted copy.
      const std::string probe = folder.Path() + "probe.exe";
      ASSERT_TRUE(CopyFileA(HostPath(TRIPWIRE_EXE_PATH).c_str(), probe.c_str(), FALSE));
      STARTUPINFOA startup{};
      startup.cb = sizeof(startup);
      PROCESS_INFORMATION process{};
      std::string line = "\"" + probe + "\" --load " + library;
      ASSERT_TRUE(CreateProcessA(probe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                                 &startup, &process));
      WaitForSingleObject(process.hProcess, 15000);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
      ASSERT_TRUE(Exists(marker)) << "the planted library is not found even by a bare load";
      ASSERT_TRUE(DeleteFileA(marker.c_str()));
    }

    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    // Nothing of it is loaded at the start; a screen reader's first question
    // makes the launcher load the accessibility library: the system's.
    EXPECT_EQ(ModulePath(launcher.ProcessId(), "oleacc.dll"), "");
    ASSERT_TRUE(lodo::test::ClientObject(launcher.SlotWindow(1)));
    const std::string oleacc = ModulePath(launcher.ProcessId(), "oleacc.dll");
    EXPECT_EQ(lstrcmpiA(oleacc.c_str(), (SystemFolder() + "oleacc.dll").c_str()), 0) << oleacc;
    launcher.ClickSlot(1);
    launcher.ClickConnect();
    if (withServer) {
      EXPECT_TRUE(folder.WaitForRecord());
    } else {
      HWND box = launcher.ErrorBox(5000);
      ASSERT_NE(box, nullptr);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      Sleep(200);
      launcher.ClickExit();
    }
    ASSERT_TRUE(EndsWithCodeZero(launcher, 15000));
    EXPECT_FALSE(Exists(marker));
  }
}

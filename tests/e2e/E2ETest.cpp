// The real lodo.exe as a process: what it starts, where, and what it leaves
// in its settings file, for the ways a user closes it and for damaged files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/e2e/LauncherProcess.h"

using namespace lodo::e2e;

namespace {

const std::string kSample =
    "; presets of the helpdesk\r\n"
    "[Spajanja]\r\n"
    "Sp1_naziv=Helpdesk Zagreb\r\n"
    "Sp1_adresa=support.example.com\r\n"
    "Sp2_naziv=Helpdesk Split\r\n"
    "Sp2_adresa=split.example.com::5500\r\n"
    "Sp3_naziv=Servis\r\n"
    "Sp3_adresa=192.0.2.10 -id:1234\r\n"
    "Sp5_naziv=Rezerva\r\n"
    "Sp5_adresa=backup.example.com\r\n"
    "\r\n"
    "[Forma]\r\n"
    "Rucni_unos=0\r\n"
    "Zadnje_spajanje=3\r\n"
    "\r\n"
    "[Ostalo]\r\n"
    "; the helpdesk's own notes stay as they are\r\n"
    "Napomena=ne dirati\r\n";

// The sample with manual entry on and, unless empty, a saved host name.
std::string ManualSample(const std::string& host) {
  std::string settings = kSample;
  settings.replace(settings.find("Rucni_unos=0"), 12,
                   host.empty() ? "Rucni_unos=1" : "Rucni_unos=1\r\nRucni_unos_adresa=" + host);
  return settings;
}

bool IsFormaKeyLine(const std::string& line, bool inForma) {
  if (!inForma) return false;
  for (const char* key : {"Rucni_unos=", "Rucni_unos_adresa=", "Zadnje_spajanje="})
    if (line.rfind(key, 0) == 0) return true;
  return false;
}

// The file's lines as the private-profile writer may normalise them (line
// ends, blanks around '='), without the three keys the launcher owns.
std::vector<std::string> ForeignLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  bool inForma = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The platform's reader and writer both end a line at a NUL byte.
    if (const auto nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
    const auto eq = line.find('=');
    if (eq != std::string::npos && line[0] != ';') {
      std::string key = line.substr(0, eq), value = line.substr(eq + 1);
      while (!key.empty() && key.back() == ' ') key.pop_back();
      while (!value.empty() && value.front() == ' ') value.erase(0, 1);
      line = key + "=" + value;
    }
    if (!line.empty() && line[0] == '[') inForma = line == "[Forma]";
    // The section the launcher writes to may be created or reordered by the writer.
    if (line.empty() || line == "[Forma]" || IsFormaKeyLine(line, inForma)) continue;
    lines.push_back(line);
  }
  return lines;
}

std::string WithoutTrailingSlash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

TEST(Connect, PresetStartsTheServerWithTheExactCommandAndSaves) {
  TProgramFolder folder;
  folder.WriteSettings(kSample);
  TLauncher launcher(folder, "--ignored /arguments");
  ASSERT_TRUE(launcher.Window());
  EXPECT_EQ(launcher.VisibleSlots(),
            (std::vector<std::string>{"Helpdesk Zagreb", "Helpdesk Split", "Servis", "Rezerva"}));
  ASSERT_TRUE(ConnectStarts(launcher, folder, "192.0.2.10 -id:1234"));
  EXPECT_EQ(folder.RecordedDirectory(), WithoutTrailingSlash(folder.Path()));
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), "0");
  EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), "3");
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos_adresa"), "<none>");
  EXPECT_EQ(ForeignLines(folder.ReadSettings()), ForeignLines(kSample));
}

TEST(Connect, ChosenSlotIsTheOneStartedAndRemembered) {
  TProgramFolder folder("lodo folder with spaces");
  folder.WriteSettings(kSample);
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  launcher.ClickSlot(2);
  ASSERT_TRUE(ConnectStarts(launcher, folder, "split.example.com::5500"));
  EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), "2");
}

TEST(Connect, ManualHostIsPassedUntrimmedAndSavedTrimmed) {
  TProgramFolder folder;
  folder.WriteSettings(kSample);
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  launcher.ClickManual();
  ASSERT_TRUE(launcher.ManualChecked());
  ASSERT_TRUE(launcher.HostVisible());
  EXPECT_TRUE(launcher.VisibleSlots().empty());
  launcher.TypeHost("  helper.example.net  ");
  ASSERT_TRUE(ConnectStarts(launcher, folder, "  helper.example.net  "));
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), "1");
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos_adresa"), "helper.example.net");
  // The slot checked before manual mode stays remembered.
  EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), "3");
}

TEST(Connect, SavedManualModeIsRestoredWholeAndConnectsToTheHost) {
  TProgramFolder folder;
  folder.WriteSettings(ManualSample("typed.example.org"));
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  EXPECT_TRUE(launcher.ManualChecked());
  EXPECT_TRUE(launcher.HostVisible());
  EXPECT_EQ(launcher.HostText(), "typed.example.org");
  EXPECT_TRUE(launcher.VisibleSlots().empty());
  ASSERT_TRUE(ConnectStarts(launcher, folder, "typed.example.org"));
}

// Nothing typed is no reason to refuse: the server is started with the
// option and its space and no address, and the launcher closes.
TEST(Connect, ManualModeWithAnEmptyHostStartsTheServerWithoutAnAddress) {
  TProgramFolder folder;
  folder.WriteSettings(ManualSample(""));
  TLauncher launcher(folder);
  HWND window = launcher.Window();
  ASSERT_TRUE(window);
  ASSERT_TRUE(launcher.ManualChecked());
  ASSERT_TRUE(launcher.HostVisible());
  EXPECT_EQ(launcher.HostText(), "");
  ASSERT_TRUE(ConnectStarts(launcher, folder, ""));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(folder.RecordedCommand().ends_with("-connect ")) << folder.RecordedCommand();
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), "1");
}

TEST(Connect, LongFolderAndAddressAreNeitherCutNorOverflowed) {
  std::string deep = "lodo deep";
  while (deep.size() < 170) deep += "\\level of a very deep folder";
  TProgramFolder folder(deep);
  ASSERT_GT(folder.Path().size(), 200u);
  const std::string address = "host.example.com -id:" + std::string(150, '7');
  folder.WriteSettings("[Spajanja]\r\nSp1_naziv=Long\r\nSp1_adresa=" + address +
                       "\r\n[Forma]\r\nZadnje_spajanje=1\r\n");
  ASSERT_GT(folder.CommandFor(address).size(), 255u);
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  ASSERT_TRUE(ConnectStarts(launcher, folder, address));
}

TEST(Connect, NoSlotCheckedDoesNothing) {
  TProgramFolder folder;
  folder.WriteSettings("[Spajanja]\r\nSp1_naziv=A\r\nSp1_adresa=a.example\r\n");
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  launcher.ClickConnect();
  Sleep(300);
  EXPECT_TRUE(launcher.Running());
  EXPECT_EQ(launcher.ErrorBox(100), nullptr);
  EXPECT_EQ(folder.Record(), "");
  launcher.ClickExit();
  EXPECT_TRUE(EndsWithCodeZero(launcher));
}

TEST(Connect, MissingServerIsReportedInBothModesAndNothingIsSaved) {
  for (bool manual : {false, true}) {
    SCOPED_TRACE(manual ? "manual" : "preset");
    TProgramFolder folder("lodo no server", false);
    const std::string settings = manual ? ManualSample("h.example") : kSample;
    folder.WriteSettings(settings);
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    launcher.ClickConnect();
    HWND box = launcher.ErrorBox(5000);
    ASSERT_NE(box, nullptr);
    const std::string text = TLauncher::BoxText(box);
    EXPECT_NE(text.find(folder.ServerPath()), std::string::npos) << text;
    EXPECT_NE(text.find("ne postoji"), std::string::npos) << text;
    EXPECT_TRUE(launcher.Running());
    EXPECT_EQ(folder.ReadSettings(), settings);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Sleep(200);
    EXPECT_TRUE(launcher.Running());
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
  }
}

TEST(Close, EveryWayOfClosingSavesTheSameStateAndExitsWithZero) {
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    TProgramFolder folder;
    folder.WriteSettings(kSample);
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    launcher.ClickSlot(5);
    if (way == 0) launcher.CloseBox();
    if (way == 1) launcher.AltF4();
    if (way == 2) launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
    EXPECT_EQ(folder.Record(), "") << "closing must not start the server";
    EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), "5");
    EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), "0");
    EXPECT_EQ(ForeignLines(folder.ReadSettings()), ForeignLines(kSample));
  }
}

TEST(Close, MissingSettingsFileIsCreatedWithOnlyTheManualSwitch) {
  TProgramFolder folder;
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  EXPECT_TRUE(launcher.VisibleSlots().empty());
  EXPECT_FALSE(launcher.ManualChecked());
  launcher.CloseBox();
  EXPECT_TRUE(EndsWithCodeZero(launcher));
  ASSERT_TRUE(folder.SettingsExist());
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), "0");
  EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), "<none>");
  EXPECT_EQ(folder.Setting("Forma", "Rucni_unos_adresa"), "<none>");
  EXPECT_EQ(folder.Setting("Spajanja", "Sp1_naziv"), "<none>");
}

TEST(Close, TwoLaunchersTheLastToCloseDecides) {
  for (bool firstClosesFirst : {true, false}) {
    SCOPED_TRACE(firstClosesFirst);
    TProgramFolder folder;
    folder.WriteSettings(kSample);
    TLauncher a(folder);
    ASSERT_TRUE(a.Window());
    TLauncher b(folder);
    ASSERT_TRUE(b.Window());
    a.ClickSlot(1);
    b.ClickSlot(2);
    TLauncher& first = firstClosesFirst ? a : b;
    TLauncher& second = firstClosesFirst ? b : a;
    first.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(first));
    second.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(second));
    EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), firstClosesFirst ? "2" : "1");
    EXPECT_EQ(ForeignLines(folder.ReadSettings()), ForeignLines(kSample));
  }
}

// Damaged or odd settings files: the launcher starts, shows what it could
// read, and on close writes only its own keys.
TEST(BadSettings, NeverFatalAndOnlyTheOwnKeysChange) {
  std::string randomBytes;
  unsigned seed = 12345;
  for (int i = 0; i < 4000; ++i) {
    seed = seed * 1103515245u + 12345u;
    randomBytes += static_cast<char>((seed >> 16) & 0xFF);
  }
  const std::string longLine = "[Spajanja]\r\nSp1_naziv=" + std::string(10000, 'N') + "\r\nSp1_adresa=a.example\r\n";
  std::string nul = "[Spajanja]\r\nSp1_naziv=Prvi\r\nSp1_adresa=first.example\r\n";
  nul += std::string("Sp2_naziv=Dru\0gi\r\nSp2_adresa=second.example\r\n", 45);
  const std::string duplicates =
      "[Spajanja]\r\nSp1_naziv=Prvi\r\nSp1_naziv=Drugi\r\nSp1_adresa=one.example\r\n"
      "Sp0_naziv=Zero\r\nSp0_adresa=zero\r\nSp17_naziv=X\r\nSp17_adresa=x\r\nSp02_naziv=Lead\r\nSp02_adresa=lead\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Spajanja]\r\nSp1_naziv=Wide\r\nSp1_adresa=wide.example\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  struct TCase {
    const char* Name;
    std::string Bytes;
  };
  const TCase cases[] = {{"random", randomBytes},
                         {"long line", longLine},
                         {"nul bytes", nul},
                         {"duplicates", duplicates},
                         {"utf-16", utf16}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TProgramFolder folder;
    folder.WriteSettings(c.Bytes);
    char reference[4096] = {};
    GetPrivateProfileStringA("Spajanja", "Sp1_naziv", "", reference, sizeof(reference), folder.SettingsPath().c_str());
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    const auto slots = launcher.VisibleSlots();
    if (std::string(c.Name) == "duplicates") {
      EXPECT_EQ(slots, std::vector<std::string>{"Prvi"});
    }
    if (std::string(c.Name) == "long line") {
      ASSERT_EQ(slots.size(), 1u);
      EXPECT_EQ(slots[0], std::string(2047, 'N'));
    }
    if (std::string(c.Name) == "nul bytes") {
      ASSERT_FALSE(slots.empty());
    }
    if (!slots.empty()) {
      EXPECT_EQ(slots[0], std::string(reference).substr(0, 2047));
    }
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
    const std::string after = folder.ReadSettings();
    EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), "0");
    if (std::string(c.Name) != "random" && std::string(c.Name) != "utf-16") {
      EXPECT_EQ(ForeignLines(after), ForeignLines(c.Bytes));
    }
  }
}

TEST(BadSettings, DirectoryOrLockedFileDoesNotStopTheLauncher) {
  {
    TProgramFolder folder;
    CreateDirectoryA(folder.SettingsPath().c_str(), nullptr);
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    EXPECT_TRUE(launcher.VisibleSlots().empty());
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
    EXPECT_TRUE(GetFileAttributesA(folder.SettingsPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  }
  {
    TProgramFolder folder;
    folder.WriteSettings(kSample);
    HANDLE lock = CreateFileA(folder.SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
    CloseHandle(lock);
    EXPECT_EQ(folder.ReadSettings(), kSample);
  }
}

TEST(Executable, CarriesManifestIconsLogoAndVersion) {
  const std::string exe = HostPath(LODO_EXE_PATH);
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr) << "manifest";
  // The icon group holds the five sizes.
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14));
  ASSERT_NE(group, nullptr);
  const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(dir, nullptr);
  EXPECT_EQ(dir[2], 5);
  HRSRC logo = FindResourceA(module, MAKEINTRESOURCEA(200), MAKEINTRESOURCEA(2));
  ASSERT_NE(logo, nullptr);
  const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, logo)));
  EXPECT_EQ(info->biWidth, 140);
  EXPECT_EQ(std::abs(info->biHeight), 73);
  EXPECT_EQ(info->biBitCount, 24);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(201), MAKEINTRESOURCEA(2)), nullptr) << "logo mask";
  HRSRC version = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  ASSERT_NE(version, nullptr);
  const auto* block = static_cast<const char*>(LockResource(LoadResource(module, version)));
  const DWORD size = SizeofResource(module, version);
  // VS_FIXEDFILEINFO follows the key; find its signature.
  bool found = false;
  for (DWORD i = 0; i + sizeof(VS_FIXEDFILEINFO) <= size; i += 4) {
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(block + i);
    if (fixed->dwSignature == 0xFEEF04BD) {
      EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1);
      found = true;
      break;
    }
  }
  EXPECT_TRUE(found);
  FreeLibrary(module);
}

// A visual-styles library planted in the program folder (as in a Downloads
// folder) must never be loaded. Registered to run with Wine told to prefer
// native DLLs, so that it searches the program folder as Windows does.
TEST(Security, PlantedUxThemeInTheProgramFolderIsNeverLoaded) {
  TProgramFolder folder;
  folder.WriteSettings(kSample);
  ASSERT_TRUE(CopyFileA(HostPath(PLANTED_UXTHEME_PATH).c_str(), (folder.Path() + "UxTheme.dll").c_str(), FALSE));
  {
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
  }
  EXPECT_EQ(GetFileAttributesA((folder.Path() + "planted.marker").c_str()), INVALID_FILE_ATTRIBUTES);
}

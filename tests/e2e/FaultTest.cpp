// The real lodo.exe under faults of its surroundings: settings files it may
// not write, odd program folders, a server that is no program, the visual
// style and the colours changed under it, a killed process, no visual-styles
// library, another screen depth, and two launchers writing one file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "tests/e2e/FaultSupport.h"
#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Files.h"

using namespace lodo::e2e;
using lodo::test::TDib;

namespace {

// Slots 1, 2 and 9 shown, slot 1 remembered.
const std::string kPresets =
    "[Spajanja]\r\n"
    "Sp1_naziv=Pomoc Zagreb\r\nSp1_adresa=zagreb.example\r\n"
    "Sp2_naziv=Pomoc Split\r\nSp2_adresa=split.example::5500\r\n"
    "Sp9_naziv=Pomoc Osijek\r\nSp9_adresa=osijek.example -id:9\r\n"
    "[Forma]\r\nRucni_unos=0\r\nZadnje_spajanje=1\r\n";
const std::vector<std::string> kPresetNames = {"Pomoc Zagreb", "Pomoc Split", "Pomoc Osijek"};

// Connects with slot n and checks the command that reached the server.
void ExpectConnects(TLauncher& launcher, const TProgramFolder& folder, int n, const std::string& address) {
  launcher.ClickSlot(n);
  ASSERT_TRUE(ConnectStarts(launcher, folder, address));
  EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), std::to_string(n));
}

// A connect that cannot start the server: a box names the server's path and
// the reason, the window stays and the file is untouched until the box goes.
void ExpectStartRefused(TLauncher& launcher, const TProgramFolder& folder, const std::string& reason) {
  const std::string settings = folder.ReadSettings();
  launcher.ClickConnect();
  HWND box = launcher.ErrorBox(5000);
  ASSERT_NE(box, nullptr) << "no error box";
  const std::string said = TLauncher::BoxText(box);
  EXPECT_NE(said.find(folder.ServerPath()), std::string::npos) << said;
  EXPECT_NE(said.find(reason), std::string::npos) << said;
  EXPECT_TRUE(launcher.Running() && folder.ReadSettings() == settings && folder.Record().empty());
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(lodo::test::PumpUntil([&] { return !IsWindow(box); }, 5000));
}

bool SlotChecked(HWND window, int n) {
  HWND slot = SlotButton(window, n);
  return slot && SendMessageA(slot, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Letters above 127 that the ANSI code page holds, as its bytes: Croatian
// ones where the page has them, Western European ones otherwise.
std::string AnsiLetters() {
  const std::wstring candidates = L"čćžšđČĆŽŠĐäöüßéñ";
  std::string letters;
  for (wchar_t c : candidates) {
    char bytes[8] = {};
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof(bytes), nullptr, &lost);
    if (n == 1 && !lost && static_cast<unsigned char>(bytes[0]) > 127) letters += bytes[0];
  }
  return letters;
}

// Waits until the picture of the window passes the test; the last picture.
std::unique_ptr<TDib> ShootUntil(HWND window, const std::function<bool(const TDib&)>& done, int timeoutMs = 5000) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  std::unique_ptr<TDib> shot = ShootClient(window);
  while (!done(*shot) && static_cast<int>(end - GetTickCount()) > 0) {
    Sleep(100);
    shot = ShootClient(window);
  }
  return shot;
}

}  // namespace

// A read-only lodo.ini: Windows refuses the write and so does lodo, also
// under Wine, whose own writer writes it for root; the save gives up in
// silence. The load is whole, the close is not held up, the file unchanged.
TEST(SettingsFault, ReadOnlyFileIsReadAndNeverHoldsUpTheClose) {
  TProgramFolder folder;
  folder.WriteSettings(kPresets);
  ASSERT_TRUE(SetFileAttributesA(folder.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  EXPECT_EQ(launcher.VisibleSlots(), kPresetNames);
  launcher.ClickSlot(2);
  launcher.ClickExit();
  EXPECT_TRUE(EndsWithCodeZero(launcher));
  EXPECT_NE(GetFileAttributesA(folder.SettingsPath().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(folder.ReadSettings(), kPresets);
}

// Another program opens lodo.ini without sharing after the load (an editor,
// a backup): the save fails, nothing is said, and the file keeps its bytes,
// so the next start shows the state from before.
TEST(SettingsFault, FileLockedAfterTheLoadKeepsItsBytes) {
  TProgramFolder folder;
  folder.WriteSettings(kPresets);
  {
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    ASSERT_EQ(launcher.VisibleSlots(), kPresetNames);
    HANDLE lock =
        CreateFileA(folder.SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    launcher.ClickSlot(2);
    launcher.ClickManual();
    launcher.TypeHost("locked.example");
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
    CloseHandle(lock);
  }
  EXPECT_EQ(folder.ReadSettings(), kPresets);
  TLauncher again(folder);
  ASSERT_TRUE(again.Window());
  EXPECT_FALSE(again.ManualChecked());
  EXPECT_TRUE(SlotChecked(again.Window(), 1));
  EXPECT_FALSE(SlotChecked(again.Window(), 2));
  again.ClickExit();
  EXPECT_TRUE(EndsWithCodeZero(again));
}

// A run that never closes its window writes nothing: a killed launcher
// leaves the file byte for byte, and creates none where there was none.
TEST(SettingsFault, KilledProcessLeavesTheFileAsItWas) {
  for (bool withFile : {true, false}) {
    SCOPED_TRACE(withFile ? "with lodo.ini" : "without lodo.ini");
    TProgramFolder folder;
    if (withFile) folder.WriteSettings(kPresets);
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    if (withFile) launcher.ClickSlot(2);
    launcher.ClickManual();
    launcher.TypeHost("killed.example");
    ASSERT_TRUE(launcher.ManualChecked());
    TRemoteProcess process(launcher.Window());
    ASSERT_TRUE(process.Terminate(7));
    DWORD code = 0;
    ASSERT_TRUE(launcher.WaitExit(5000, &code));
    EXPECT_EQ(code, 7u);
    if (withFile)
      EXPECT_EQ(folder.ReadSettings(), kPresets);
    else
      EXPECT_FALSE(folder.SettingsExist());
    EXPECT_EQ(folder.Record(), "");
  }
}

// A folder's read-only bit is only a hint to Windows' shell (files can still
// be made in it); Wine does not keep it at all. Either way nothing changes.
TEST(FolderFault, ReadOnlyFolderAttributeChangesNothing) {
  TProgramFolder folder("lodo read-only folder");
  folder.WriteSettings(kPresets);
  const std::string path = folder.Path().substr(0, folder.Path().size() - 1);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  RecordProperty("folder_keeps_read_only_bit",
                 GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY ? "yes" : "no");
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  EXPECT_EQ(launcher.VisibleSlots(), kPresetNames);
  ExpectConnects(launcher, folder, 9, "osijek.example -id:9");
}

// Nearly as deep as a program can be started from (neither Windows nor Wine
// starts an exe whose path is longer than MAX_PATH): winvnc.exe's path is 255
// characters, so that the recorder's file beside it still fits, and the
// command is far longer than 255 characters.
TEST(FolderFault, FolderAtTheDepthLimitLoadsConnectsAndSaves) {
  char temp[MAX_PATH] = {};
  const size_t tempLength = GetTempPathA(MAX_PATH, temp);
  // The folder's name gets a blank, the process id, a dash, the count and a
  // backslash added, then comes "winvnc.exe".
  const size_t added = std::to_string(GetCurrentProcessId()).size() + 4 + 10;
  const size_t length = 255 - tempLength - added;
  std::string deep = "lodo at the limit";
  while (deep.size() + 7 < length) deep += "\\level";
  deep += std::string(length - deep.size(), 'x');
  // The folder helper removes the deepest level; the levels above go here.
  struct TCleanUp {
    std::string Top;
    ~TCleanUp() { lodo::test::RemovePath(Top); }
  } cleanUp{std::string(temp, tempLength) + "lodo at the limit"};
  TProgramFolder folder(deep);
  ASSERT_GE(folder.ServerPath().size(), 255u);
  ASSERT_LE(folder.ServerPath().size(), 256u);
  ASSERT_TRUE(lodo::test::IsFile(folder.ServerPath()));
  folder.WriteSettings(kPresets);
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  EXPECT_EQ(launcher.VisibleSlots(), kPresetNames);
  ExpectConnects(launcher, folder, 2, "split.example::5500");
  EXPECT_GT(folder.RecordedCommand().size(), 255u);
}

// Letters of the ANSI code page in the folder and in the presets reach the
// window, the server's command and the saved file unchanged.
TEST(FolderFault, AnsiLettersInTheFolderAndThePresets) {
  const std::string letters = AnsiLetters();
  ASSERT_GE(letters.size(), 4u) << "code page " << GetACP();
  TProgramFolder folder("lodo " + letters);
  const std::string name = "Podr" + letters;
  folder.WriteSettings("[Spajanja]\r\nSp1_naziv=" + name + "\r\nSp1_adresa=" + letters + ".example\r\n");
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  EXPECT_EQ(launcher.VisibleSlots(), std::vector<std::string>{name});
  ExpectConnects(launcher, folder, 1, letters + ".example");
  EXPECT_EQ(folder.RecordedDirectory(), folder.Path().substr(0, folder.Path().size() - 1));
}

// Letters outside the ANSI code page in the folder's name: the platform's
// ANSI functions give '?' in their place, so the launcher finds neither its
// settings nor its server. It must fail safe: start, show no slot, leave the
// settings file alone and end with exit code 0.
TEST(FolderFault, LettersOutsideTheCodePageFailSafe) {
  const std::wstring letters = L"\x0414\x043C\x0438\x0442\x0440\x0438\x0439";
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, letters.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (!lost) GTEST_SKIP() << "code page " << GetACP() << " holds these letters";
  TProgramFolder parent("lodo outside the code page", false);
  wchar_t parentPath[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, parent.Path().c_str(), -1, parentPath, MAX_PATH);
  const std::wstring folder = std::wstring(parentPath) + letters + L"\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::vector<std::wstring> files = {L"lodo.exe", L"winvnc.exe", L"lodo.ini", L"winvnc.record"};
  struct TCleanUp {
    const std::wstring& Folder;
    const std::vector<std::wstring>& Files;
    ~TCleanUp() {
      for (const std::wstring& file : Files) DeleteFileW((Folder + file).c_str());
      RemoveDirectoryW(Folder.c_str());
    }
  } cleanUp{folder, files};
  auto wide = [](const std::string& path) {
    wchar_t text[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, HostPath(path).c_str(), -1, text, MAX_PATH);
    return std::wstring(text);
  };
  ASSERT_TRUE(CopyFileW(wide(LODO_EXE_PATH).c_str(), (folder + L"lodo.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(wide(RECORDER_EXE_PATH).c_str(), (folder + L"winvnc.exe").c_str(), FALSE));
  HANDLE file = CreateFileW((folder + L"lodo.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, kPresets.data(), static_cast<DWORD>(kPresets.size()), &written, nullptr);
  CloseHandle(file);

  const std::wstring exe = folder + L"lodo.exe";
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &startup,
                             &process));
  HWND window = WaitForLauncherWindow(process.dwProcessId);
  EXPECT_NE(window, nullptr);
  if (window) {
    EXPECT_EQ(SlotButton(window, 1) && IsWindowVisible(SlotButton(window, 1)), false);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  DWORD code = 12345;
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u);
  file = CreateFileW((folder + L"lodo.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::string bytes(4096, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  EXPECT_EQ(bytes.substr(0, read), kPresets);
}

// winvnc.exe that is a folder, an empty file or a text file: the connect
// says why nothing could start, the window stays, nothing is saved, and the
// window still closes normally afterwards.
TEST(ServerFault, FolderEmptyOrTextFileIsReportedAndNothingStarts) {
  struct TCase {
    const char* Name;
    const char* Contents;  // null: a folder
    const char* Reason;
  };
  // The reasons as the box shows them (UTF-8 here).
  const TCase cases[] = {{"folder", nullptr, "mapa, a ne program"},
                         {"empty file", "", "nije valjan program"},
                         {"text file", "@echo off\r\nthis is no program\r\n", "nije valjan program"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TProgramFolder folder("lodo bad server", false);
    if (c.Contents)
      lodo::test::WriteText(folder.ServerPath(), c.Contents);
    else
      ASSERT_TRUE(CreateDirectoryA(folder.ServerPath().c_str(), nullptr));
    folder.WriteSettings(kPresets);
    TLauncher launcher(folder);
    ASSERT_TRUE(launcher.Window());
    ExpectStartRefused(launcher, folder, c.Reason);
    launcher.ClickSlot(2);
    launcher.ClickExit();
    EXPECT_TRUE(EndsWithCodeZero(launcher));
    EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), "2");
  }
}

// The visual style switched while lodo.exe runs, first from outside (the
// apply-theme entry writes the registry and broadcasts WM_THEMECHANGED),
// then inside its process, where Wine keeps the style: the window keeps
// answering, repaints the check box in the new style and back, and connects.
TEST(RuntimeFault, VisualStyleSwitchedWhileRunning) {
  TProgramFolder folder;
  folder.WriteSettings(kPresets);
  TLauncher launcher(folder);
  HWND window = launcher.Window();
  ASSERT_TRUE(window);
  TRemoteProcess process(window);
  ASSERT_EQ(process.Call("FaultVisualStyleActive"), 1u) << "the themed prefix has a style";
  // However the test ends, the session and lodo.exe get the default style back.
  struct TRestore {
    TRemoteProcess& Process;
    ~TRestore() {
      Process.Call("FaultVisualStyleOn");
      CallHelperHere("FaultVisualStyleOn");
    }
  } restore{process};
  const RECT box = PlaceIn(window, ManualCheckBox(window));
  const auto themed = ShootClient(window);

  ASSERT_EQ(CallHelperHere("FaultVisualStyleOff"), 0u);
  ASSERT_TRUE(Responds(window));
  const bool reachesLauncher = process.Call("FaultVisualStyleActive") == 0;
  RecordProperty("outside_switch_reaches_lodo", reachesLauncher ? "yes" : "no");
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  auto shot =
      ShootUntil(window, [&](const TDib& s) { return (DifferentPixels(*themed, s, box) > 0) == reachesLauncher; });
  EXPECT_EQ(DifferentPixels(*themed, *shot, box) > 0, reachesLauncher);
  ASSERT_EQ(CallHelperHere("FaultVisualStyleOn"), 0u);

  ASSERT_EQ(process.Call("FaultVisualStyleOff"), 0u);
  EXPECT_EQ(process.Call("FaultVisualStyleActive"), 0u);
  shot = ShootUntil(window, [&](const TDib& s) { return DifferentPixels(*themed, s, box) > 0; });
  EXPECT_GT(DifferentPixels(*themed, *shot, box), 0) << "the check box kept its themed look";
  EXPECT_TRUE(Responds(window));
  ASSERT_EQ(process.Call("FaultVisualStyleOn"), 0u);
  shot = ShootUntil(window, [&](const TDib& s) { return DifferentPixels(*themed, s, box) == 0; });
  EXPECT_EQ(DifferentPixels(*themed, *shot, box), 0) << "the check box did not get its themed look back";
  EXPECT_EQ(launcher.ErrorBox(100), nullptr);
  ExpectConnects(launcher, folder, 2, "split.example::5500");
}

// lodo.exe running with presets, and its button-face colour changed from
// inside its process (Wine keeps the colours per process, so a change made
// elsewhere may not reach it); the colours go back however the test ends.
class RuntimeColours : public testing::Test {
 protected:
  static constexpr COLORREF kTeal = RGB(0, 128, 128);

  void SetUp() override {
    Folder.WriteSettings(kPresets);
    Launcher = std::make_unique<TLauncher>(Folder);
    Window = Launcher->Window();
    ASSERT_TRUE(Window);
    Process = std::make_unique<TRemoteProcess>(Window);
    Face = Process->Call("FaultButtonFace");
    ASSERT_NE(Face, TRemoteProcess::kCallFailed);
    Here = CallHelperHere("FaultButtonFace");
    ASSERT_NE(SlotButton(Window, 2), nullptr);
    Before = ShootClient(Window);
    ASSERT_EQ(NearPixels(*Before, kTeal, SlotPlace(8)), 0);
  }
  void TearDown() override {
    if (Process && Process->Call("FaultButtonFace") != Face) Process->Call("FaultSetButtonFace", Face);
    if (CallHelperHere("FaultButtonFace") != Here) CallHelperHere("FaultSetButtonFace", Here);
  }
  // The share of an area's pixels that show the colour.
  static double Share(const TDib& shot, COLORREF color, const RECT& area) {
    return NearPixels(shot, color, area) / static_cast<double>((area.right - area.left) * (area.bottom - area.top));
  }

  TProgramFolder Folder;
  std::unique_ptr<TLauncher> Launcher;
  HWND Window = nullptr;
  std::unique_ptr<TRemoteProcess> Process;
  COLORREF Face = 0, Here = 0;
  std::unique_ptr<TDib> Before;
};

// A change made outside lodo.exe is broadcast to it, whether or not its
// colours follow; then the change inside: the slots repaint on the new face
// with their captions and glyphs, go back with the old one, and connect.
TEST_F(RuntimeColours, SlotsRepaintInTheNewFaceAndBackAndTheLauncherConnects) {
  CallHelperHere("FaultSetButtonFace", kTeal);
  ASSERT_TRUE(Responds(Window));
  RecordProperty("outside_colours_reach_lodo", Process->Call("FaultButtonFace") == kTeal ? "yes" : "no");
  CallHelperHere("FaultSetButtonFace", Here);
  ASSERT_TRUE(Responds(Window));

  const RECT slot = SlotPlace(2);
  ASSERT_EQ(Process->Call("FaultSetButtonFace", kTeal), Face);
  auto shot = ShootUntil(Window, [&](const TDib& s) { return Share(s, kTeal, slot) > 0.5; });
  EXPECT_GT(Share(*shot, kTeal, slot), 0.5) << "slot 2 kept the old button face";
  EXPECT_GT(DarkPixels(*shot, slot), 20) << "slot 2 lost its caption";
  EXPECT_TRUE(Responds(Window));

  ASSERT_EQ(Process->Call("FaultSetButtonFace", Face), kTeal);
  shot = ShootUntil(Window, [&](const TDib& s) { return DifferentPixels(*Before, s, slot) == 0; });
  EXPECT_EQ(DifferentPixels(*Before, *shot, slot), 0);
  EXPECT_EQ(Launcher->ErrorBox(100), nullptr);
  ExpectConnects(*Launcher, Folder, 9, "osijek.example -id:9");
}

// The window and its panels follow the new face too, not only the slots: a
// solid brush of a system colour is made again once the scheme changed it.
TEST_F(RuntimeColours, PanelsAndWindowRepaintInTheNewFace) {
  ASSERT_EQ(Process->Call("FaultSetButtonFace", kTeal), Face);
  RECT client{};
  GetClientRect(Window, &client);
  // The empty place of slot 8 in the slot area, the header's right edge, and
  // the manual row to the right of its check box.
  const RECT slotArea = SlotPlace(8);
  const RECT header{client.right - 20, 10, client.right - 4, 80};
  const RECT manualRow{120, 95, client.right - 10, 115};
  auto shot = ShootUntil(Window, [&](const TDib& s) { return Share(s, kTeal, slotArea) == 1.0; });
  EXPECT_EQ(Share(*shot, kTeal, slotArea), 1.0);
  EXPECT_EQ(Share(*shot, kTeal, header), 1.0);
  EXPECT_EQ(Share(*shot, kTeal, manualRow), 1.0);
}

// Registered for a run whose environment (inherited by lodo.exe) switches
// the visual-styles library off.
TEST(NoUxTheme, LauncherRunsWithoutTheVisualStylesLibrary) {
  ASSERT_EQ(LoadLibraryA("uxtheme.dll"), nullptr) << "this run should have the library switched off";
  TProgramFolder folder;
  folder.WriteSettings(kPresets);
  TLauncher launcher(folder);
  HWND window = launcher.Window();
  ASSERT_TRUE(window);
  EXPECT_FALSE(TRemoteProcess(window).HasModule("uxtheme.dll"));
  EXPECT_EQ(launcher.VisibleSlots(), kPresetNames);
  EXPECT_EQ(launcher.ErrorBox(300), nullptr);
  launcher.ClickManual();
  EXPECT_TRUE(launcher.HostVisible());
  launcher.ClickManual();
  EXPECT_FALSE(launcher.HostVisible());
  ExpectConnects(launcher, folder, 2, "split.example::5500");
}

// Runs at whatever depth the screen has; the 16-bit run says which depth it
// expects in LODO_EXPECT_BPP. The action panels keep their colours, the
// slots their glyphs (the checked one with its dot) and captions.
TEST(Display, WindowDrawsAndConnectsAtTheScreenDepth) {
  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  RecordProperty("screen_bits_per_pixel", depth);
  if (const char* expected = std::getenv("LODO_EXPECT_BPP")) {
    ASSERT_EQ(depth, std::atoi(expected));
  }
  TProgramFolder folder;
  folder.WriteSettings(kPresets);
  TLauncher launcher(folder);
  HWND window = launcher.Window();
  ASSERT_TRUE(window);
  const auto shot = ShootClient(window);
  RECT client{};
  GetClientRect(window, &client);
  // The bar's two halves, away from their captions.
  const RECT green{4, client.bottom - 38, 30, client.bottom - 4};
  const RECT red{client.right - 30, client.bottom - 38, client.right - 4, client.bottom - 4};
  EXPECT_EQ(NearPixels(*shot, RGB(0, 128, 0), green), 26 * 34);
  EXPECT_EQ(NearPixels(*shot, RGB(255, 0, 0), red), 26 * 34);
  ASSERT_NE(SlotButton(window, 1), nullptr);
  ASSERT_NE(SlotButton(window, 2), nullptr);
  auto glyphOf = [](int n) {
    const RECT r = SlotPlace(n);
    return RECT{r.left, r.top, r.left + 17, r.bottom};
  };
  auto captionOf = [](int n) {
    const RECT r = SlotPlace(n);
    return RECT{r.left + 17, r.top, r.right, r.bottom};
  };
  // Slot 8 has no button: its place shows the slot area's own colour.
  const COLORREF face = shot->Pixel(SlotPlace(8).left + 8, SlotPlace(8).top + 8);
  const RECT emptyPlace = SlotPlace(8);
  EXPECT_EQ(NearPixels(*shot, face, emptyPlace), 157 * 17) << "the empty place shows something";
  const int glyphPixels = 17 * 17;
  EXPECT_GE(glyphPixels - NearPixels(*shot, face, glyphOf(2)), 20) << "slot 2 shows no glyph";
  EXPECT_GE(DarkPixels(*shot, glyphOf(1)), DarkPixels(*shot, glyphOf(2)) + 9) << "slot 1 shows no dot";
  EXPECT_GT(DarkPixels(*shot, captionOf(2)), 20) << "slot 2 shows no caption";
  ExpectConnects(launcher, folder, 9, "osijek.example -id:9");
}

// Two launchers on one file, closing in either order: each close writes only
// the keys its own state calls for, so the host name of the one in manual
// mode survives the other's later close.
TEST(Instances, EachCloseWritesOnlyItsOwnKeys) {
  for (bool manualClosesFirst : {true, false}) {
    SCOPED_TRACE(manualClosesFirst ? "manual one first" : "slot one first");
    TProgramFolder folder;
    folder.WriteSettings(kPresets);
    TLauncher manual(folder);
    ASSERT_TRUE(manual.Window());
    TLauncher slot(folder);
    ASSERT_TRUE(slot.Window());
    manual.ClickManual();
    manual.TypeHost("  rucno.example ");
    slot.ClickSlot(2);
    TLauncher* order[] = {&manual, &slot};
    if (!manualClosesFirst) std::swap(order[0], order[1]);
    for (TLauncher* launcher : order) {
      launcher->ClickExit();
      EXPECT_TRUE(EndsWithCodeZero(*launcher));
    }
    EXPECT_EQ(folder.Setting("Forma", "Rucni_unos_adresa"), "rucno.example");
    // The manual one still has slot 1 checked from its load, and writes it.
    EXPECT_EQ(folder.Setting("Forma", "Rucni_unos"), manualClosesFirst ? "0" : "1");
    EXPECT_EQ(folder.Setting("Forma", "Zadnje_spajanje"), manualClosesFirst ? "2" : "1");
  }
}

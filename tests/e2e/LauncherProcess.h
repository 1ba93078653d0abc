// Helpers for end-to-end tests: a temporary program folder with lodo.exe and
// a recording winvnc.exe, and a running lodo.exe driven through its windows.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lodo::e2e {

// A build-tree path as the test process sees it (a Unix path under Wine).
std::string HostPath(const std::string& buildPath);

class TProgramFolder {
 public:
  // `name` becomes part of the folder's name; it may contain spaces.
  explicit TProgramFolder(const std::string& name = "lodo e2e", bool withServer = true);
  ~TProgramFolder();
  TProgramFolder(const TProgramFolder&) = delete;
  TProgramFolder& operator=(const TProgramFolder&) = delete;

  // Ends with a backslash.
  const std::string& Path() const { return FPath; }
  std::string SettingsPath() const { return FPath + "lodo.ini"; }
  std::string ServerPath() const { return FPath + "winvnc.exe"; }
  std::string ExePath() const { return FPath + "lodo.exe"; }

  void WriteSettings(const std::string& bytes) const;
  std::string ReadSettings() const;
  bool SettingsExist() const;
  // A key's value as the platform reads it; "<none>" when there is none.
  std::string Setting(const char* section, const char* key) const;
  // The recorder's file: command line, then working directory; empty when absent.
  std::string Record() const;
  std::string RecordedCommand() const;
  // The command line the server must be started with for an address.
  std::string CommandFor(const std::string& address) const { return "\"" + FPath + "winvnc.exe\" -connect " + address; }
  std::string RecordedDirectory() const;
  // Waits until the recorder has written its file.
  bool WaitForRecord(int timeoutMs = 10000) const;

 private:
  std::string FPath;
};

class TLauncher {
 public:
  explicit TLauncher(const TProgramFolder& folder, const std::string& arguments = "");
  ~TLauncher();
  TLauncher(const TLauncher&) = delete;
  TLauncher& operator=(const TLauncher&) = delete;

  // The main window, once it is shown; nullptr after a timeout.
  HWND Window(int timeoutMs = 15000);
  bool WaitExit(int timeoutMs, DWORD* exitCode = nullptr);
  bool Running() const;

  // A left click at a point of the window's client area, delivered to the
  // child window under it as real button messages.
  void Click(POINT client);
  void ClickConnect() { Click(kConnectPoint); }
  void ClickExit() { Click(kExitPoint); }
  void ClickManual() { Click({20, 106}); }
  void ClickSlot(int n);
  void CloseBox();
  void AltF4();
  // Replaces the host-name edit's text by typing.
  void TypeHost(const std::string& text);

  // Captions of the visible slot buttons, slot order.
  std::vector<std::string> VisibleSlots();
  // The slot buttons that have a window, with their index (from their fixed
  // place), whether they are shown by their own style (also while the slot
  // area is hidden), caption and radio state. A hidden slot may have none.
  struct TSlotState {
    int Index;
    bool Visible;
    std::string Caption;
    bool Checked;
  };
  std::vector<TSlotState> Slots();
  bool ManualChecked();
  bool HostVisible();
  std::string HostText();
  // An error box of the launcher, and its text.
  HWND ErrorBox(int timeoutMs);
  static std::string BoxText(HWND box);

  DWORD ProcessId() const { return FProcess.dwProcessId; }
  // The deepest visible child window at a point of the client area.
  HWND ChildAt(POINT client);
  HWND SlotWindow(int n) { return ChildAt(SlotPoint(n)); }
  HWND ConnectPanel() { return ChildAt(kConnectPoint); }
  HWND ExitPanel() { return ChildAt(kExitPoint); }
  HWND HostEdit();

 private:
  static constexpr POINT kConnectPoint{96, 345};
  static constexpr POINT kExitPoint{300, 345};
  // A point inside slot n, in the window's client area.
  static POINT SlotPoint(int n);
  std::vector<HWND> Children(const char* className);

  PROCESS_INFORMATION FProcess{};
  HWND FWindow = nullptr;
};

// The launcher ends within the time, with exit code 0.
testing::AssertionResult EndsWithCodeZero(TLauncher& launcher, int timeoutMs = 10000);
// A click on the connect panel ends the launcher with exit code 0, and the
// folder's server was started with exactly the command for the address.
testing::AssertionResult ConnectStarts(TLauncher& launcher, const TProgramFolder& folder, const std::string& address,
                                       int timeoutMs = 10000);

}  // namespace lodo::e2e

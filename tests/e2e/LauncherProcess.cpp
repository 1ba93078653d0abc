// Program folder and process helpers for the end-to-end tests.
#include "tests/e2e/LauncherProcess.h"

#include <algorithm>
#include <atomic>

#include "tests/support/Files.h"
#include "tests/support/TestSupport.h"

namespace lodo::e2e {

namespace {

// The file's bytes; empty when there is no such file.
std::string ReadFileBytes(const std::string& path) { return test::IsFile(path) ? test::ReadText(path) : std::string(); }

struct TFindWindow {
  DWORD Pid;
  const char* ClassName;
  HWND Found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<TFindWindow*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != find->Pid || !IsWindowVisible(window)) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::string(name) != find->ClassName) return TRUE;
  find->Found = window;
  return FALSE;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

}  // namespace

std::string HostPath(const std::string& buildPath) {
  if (buildPath.empty() || buildPath[0] != '/') return buildPath;
  std::string path = "Z:" + buildPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TProgramFolder::TProgramFolder(const std::string& name, bool withServer) {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  FPath = std::string(temp) + name + " " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  // Create every level: the name may hold backslashes for a deep folder.
  for (size_t i = std::string(temp).size(); i <= FPath.size(); ++i)
    if (i == FPath.size() || FPath[i] == '\\') CreateDirectoryA(FPath.substr(0, i).c_str(), nullptr);
  FPath += "\\";
  CopyFileA(HostPath(LODO_EXE_PATH).c_str(), ExePath().c_str(), FALSE);
  if (withServer) CopyFileA(HostPath(RECORDER_EXE_PATH).c_str(), ServerPath().c_str(), FALSE);
}

TProgramFolder::~TProgramFolder() { test::RemovePath(FPath.substr(0, FPath.size() - 1)); }

void TProgramFolder::WriteSettings(const std::string& bytes) const { test::WriteText(SettingsPath(), bytes); }

std::string TProgramFolder::ReadSettings() const { return ReadFileBytes(SettingsPath()); }

bool TProgramFolder::SettingsExist() const {
  return GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TProgramFolder::Setting(const char* section, const char* key) const {
  return test::ProfileString(SettingsPath(), section, key);
}

std::string TProgramFolder::Record() const { return ReadFileBytes(FPath + "winvnc.record"); }

std::string TProgramFolder::RecordedCommand() const {
  const std::string r = Record();
  return r.substr(0, r.find('\n'));
}

std::string TProgramFolder::RecordedDirectory() const {
  const std::string r = Record();
  const auto first = r.find('\n');
  if (first == std::string::npos) return {};
  const auto second = r.find('\n', first + 1);
  return r.substr(first + 1, second - first - 1);
}

bool TProgramFolder::WaitForRecord(int timeoutMs) const {
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  for (;;) {
    const std::string record = Record();
    if (std::count(record.begin(), record.end(), '\n') >= 2) return true;
    if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    Sleep(20);
  }
}

TLauncher::TLauncher(const TProgramFolder& folder, const std::string& arguments) {
  std::string commandLine = "\"" + folder.ExePath() + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  // Started from another directory: the launcher must find its folder itself.
  CreateProcessA(folder.ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                 &FProcess);
}

TLauncher::~TLauncher() {
  if (FProcess.hProcess) {
    if (Running()) {
      TerminateProcess(FProcess.hProcess, 1);
      WaitForSingleObject(FProcess.hProcess, 5000);
    }
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
  }
}

bool TLauncher::Running() const {
  return FProcess.hProcess && WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT;
}

HWND TLauncher::Window(int timeoutMs) {
  if (FWindow && IsWindow(FWindow)) return FWindow;
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  while (static_cast<int>(end - GetTickCount()) > 0 && Running()) {
    TFindWindow find{FProcess.dwProcessId, "lodo.Window", nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&find));
    if (find.Found) {
      FWindow = find.Found;
      // Let it finish its first paint and focus.
      Sleep(150);
      return FWindow;
    }
    Sleep(20);
  }
  return nullptr;
}

bool TLauncher::WaitExit(int timeoutMs, DWORD* exitCode) {
  if (!FProcess.hProcess) return false;
  if (WaitForSingleObject(FProcess.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(FProcess.hProcess, exitCode);
  return true;
}

HWND TLauncher::ChildAt(POINT client) {
  HWND parent = Window();
  HWND child = parent;
  POINT p = client;
  // Descend to the deepest visible child under the point.
  for (;;) {
    HWND next = ChildWindowFromPointEx(child, p, CWP_SKIPINVISIBLE);
    if (!next || next == child) break;
    MapWindowPoints(child, next, &p, 1);
    child = next;
  }
  (void)parent;
  return child;
}

void TLauncher::Click(POINT client) {
  HWND target = ChildAt(client);
  POINT p = client;
  MapWindowPoints(Window(), target, &p, 1);
  const LPARAM at = MAKELPARAM(p.x, p.y);
  PostMessageA(target, WM_MOUSEMOVE, 0, at);
  PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(target, WM_LBUTTONUP, 0, at);
  Sleep(150);
}

POINT TLauncher::SlotPoint(int n) {
  const int row = (n - 1) % 8;
  int top = 4 + 25 * row;
  if (row == 7) top = n > 8 ? 178 : 180;
  return {(n > 8 ? 215 : 12) + 7, 122 + top + 8};
}

void TLauncher::ClickSlot(int n) { Click(SlotPoint(n)); }

void TLauncher::CloseBox() {
  PostMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Sleep(100);
}

void TLauncher::AltF4() {
  // As the keyboard delivers it: a system key-down with the Alt bit set.
  PostMessageA(Window(), WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(0x203E0001));
  Sleep(100);
}

std::vector<HWND> TLauncher::Children(const char* className) {
  struct TCollect {
    const char* Name;
    std::vector<HWND> Found;
  } collect{className, {}};
  EnumChildWindows(
      Window(),
      [](HWND w, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<TCollect*>(param);
        char name[64] = {};
        GetClassNameA(w, name, sizeof(name));
        if (std::string(name) == c->Name) c->Found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.Found;
}

std::vector<std::string> TLauncher::VisibleSlots() {
  std::vector<std::pair<POINT, std::string>> slots;
  for (HWND w : Children("lodo.BUTTON")) {
    const LONG_PTR type = GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_CHECKBOX || !IsWindowVisible(w)) continue;
    RECT r{};
    GetWindowRect(w, &r);
    slots.push_back({{r.left, r.top}, WindowText(w)});
  }
  // Slot order: left column top to bottom, then the right column.
  std::sort(slots.begin(), slots.end(), [](const auto& a, const auto& b) {
    return a.first.x != b.first.x ? a.first.x < b.first.x : a.first.y < b.first.y;
  });
  std::vector<std::string> captions;
  for (auto& s : slots) captions.push_back(s.second);
  return captions;
}

std::vector<TLauncher::TSlotState> TLauncher::Slots() {
  std::vector<TSlotState> slots;
  for (HWND w : Children("lodo.BUTTON")) {
    if ((GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK) == BS_CHECKBOX) continue;
    // Two columns of eight, 25 pixels apart, in the slot area.
    RECT area{}, r{};
    GetClientRect(GetParent(w), &area);
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    const int row = std::clamp(static_cast<int>((r.top - 4 + 12) / 25), 0, 7);
    const int index = (r.left > area.right / 2 ? 9 : 1) + row;
    slots.push_back({index, (GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE) != 0, WindowText(w),
                     SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED});
  }
  return slots;
}

bool TLauncher::ManualChecked() {
  for (HWND w : Children("lodo.BUTTON"))
    if ((GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK) == BS_CHECKBOX)
      return SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return false;
}

HWND TLauncher::HostEdit() {
  auto edits = Children("lodo.EDIT");
  return edits.empty() ? nullptr : edits[0];
}

bool TLauncher::HostVisible() {
  auto edits = Children("lodo.EDIT");
  return !edits.empty() && IsWindowVisible(edits[0]);
}

std::string TLauncher::HostText() {
  auto edits = Children("lodo.EDIT");
  if (edits.empty()) return {};
  // An edit keeps its text itself; only WM_GETTEXT reaches it across processes.
  char text[4096] = {};
  SendMessageA(edits[0], WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  return text;
}

void TLauncher::TypeHost(const std::string& text) {
  auto edits = Children("lodo.EDIT");
  if (edits.empty()) return;
  HWND edit = edits[0];
  PostMessageA(edit, EM_SETSEL, 0, -1);
  PostMessageA(edit, WM_CHAR, VK_BACK, 0);
  for (unsigned char c : text) PostMessageA(edit, WM_CHAR, c, 1);
  Sleep(150);
}

HWND TLauncher::ErrorBox(int timeoutMs) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  do {
    TFindWindow find{FProcess.dwProcessId, "#32770", nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&find));
    if (find.Found) return find.Found;
    Sleep(20);
  } while (static_cast<int>(end - GetTickCount()) > 0);
  return nullptr;
}

std::string TLauncher::BoxText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND w, LPARAM param) -> BOOL {
        char name[64] = {};
        GetClassNameA(w, name, sizeof(name));
        if (std::string(name) == "Static") {
          wchar_t buffer[4096] = {};
          GetWindowTextW(w, buffer, 4096);
          char utf8[8192] = {};
          WideCharToMultiByte(CP_UTF8, 0, buffer, -1, utf8, sizeof(utf8), nullptr, nullptr);
          *reinterpret_cast<std::string*>(param) += utf8;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

testing::AssertionResult EndsWithCodeZero(TLauncher& launcher, int timeoutMs) {
  DWORD code = 99;
  if (!launcher.WaitExit(timeoutMs, &code))
    return testing::AssertionFailure() << "lodo.exe did not end within " << timeoutMs << " ms";
  if (code != 0) return testing::AssertionFailure() << "lodo.exe ended with exit code " << code;
  return testing::AssertionSuccess();
}

testing::AssertionResult ConnectStarts(TLauncher& launcher, const TProgramFolder& folder, const std::string& address,
                                       int timeoutMs) {
  launcher.ClickConnect();
  if (testing::AssertionResult ended = EndsWithCodeZero(launcher, timeoutMs); !ended) return ended;
  if (!folder.WaitForRecord()) return testing::AssertionFailure() << "the server was not started";
  const std::string command = folder.RecordedCommand(), expected = folder.CommandFor(address);
  if (command != expected)
    return testing::AssertionFailure() << "the server's command was\n  " << command << "\nnot\n  " << expected;
  return testing::AssertionSuccess();
}

}  // namespace lodo::e2e

// Screen pictures, window lookups and the remote process of the fault tests.
#include "tests/e2e/FaultSupport.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>

#include "tests/e2e/LauncherProcess.h"

namespace lodo::e2e {

namespace {

int Luma(COLORREF c) { return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000; }

template <typename Test>
int CountPixels(const test::TDib& dib, const RECT& area, Test test) {
  int count = 0;
  for (int y = std::max(0L, area.top); y < std::min<LONG>(dib.Height(), area.bottom); ++y)
    for (int x = std::max(0L, area.left); x < std::min<LONG>(dib.Width(), area.right); ++x)
      if (test(dib.Pixel(x, y), x, y)) ++count;
  return count;
}

// The module's base in a process, from the system's module list.
HMODULE ModuleBase(DWORD processId, const std::string& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
  HMODULE base = nullptr;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32First(snapshot, &entry); more && !base; more = Module32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szModule, name.c_str()) == 0) base = entry.hModule;
  CloseHandle(snapshot);
  return base;
}

// A remote thread may send messages to this process's windows (a theme or
// colour broadcast): keep them flowing while it runs.
DWORD WaitPumping(HANDLE thread, DWORD timeoutMs) {
  const DWORD end = GetTickCount() + timeoutMs;
  for (;;) {
    const int left = static_cast<int>(end - GetTickCount());
    if (left <= 0) return WAIT_TIMEOUT;
    const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    if (r != WAIT_OBJECT_0 + 1) return r;
    test::Pump();
  }
}

HMODULE LocalHelper() {
  static HMODULE helper = LoadLibraryA(HostPath(FAULT_HELPER_PATH).c_str());
  return helper;
}

constexpr char kHelperName[] = "fault_helper.dll";

}  // namespace

std::unique_ptr<test::TDib> ShootClient(HWND window) {
  SetForegroundWindow(window);
  BringWindowToTop(window);
  // Let the window answer the activation and paint whatever it has pending.
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  Sleep(150);
  RECT client{};
  GetClientRect(window, &client);
  auto dib = std::make_unique<test::TDib>(client.right, client.bottom);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  BitBlt(dib->DC(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return dib;
}

RECT PlaceIn(HWND top, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int NearPixels(const test::TDib& dib, COLORREF color, const RECT& area) {
  return CountPixels(dib, area, [&](COLORREF c, int, int) { return Near(c, color); });
}

int DarkPixels(const test::TDib& dib, const RECT& area) {
  return CountPixels(dib, area, [](COLORREF c, int, int) { return Luma(c) < 96; });
}

std::vector<HWND> ChildrenOf(HWND top, const char* className) {
  struct TFind {
    std::string Name;
    std::vector<HWND> Found;
  } find{className, {}};
  EnumChildWindows(
      top,
      [](HWND w, LPARAM param) -> BOOL {
        auto& f = *reinterpret_cast<TFind*>(param);
        char name[64] = {};
        if (GetClassNameA(w, name, sizeof(name)) && f.Name == name) f.Found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

HWND ManualCheckBox(HWND top) {
  for (HWND w : ChildrenOf(top, "lodo.BUTTON"))
    if ((GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK) == BS_CHECKBOX) return w;
  return nullptr;
}

RECT SlotPlace(int n) {
  // Below the 89-pixel header and the 33-pixel manual row; the last row's
  // tops differ between the columns.
  const int row = (n - 1) % 8;
  const int left = n > 8 ? 215 : 12;
  const int top = 122 + (row == 7 ? (n > 8 ? 178 : 180) : 4 + 25 * row);
  return {left, top, left + 157, top + 17};
}

HWND SlotButton(HWND top, int n) {
  const RECT place = SlotPlace(n);
  for (HWND w : ChildrenOf(top, "lodo.BUTTON")) {
    const RECT r = PlaceIn(top, w);
    if ((GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK) != BS_CHECKBOX && EqualRect(&r, &place)) return w;
  }
  return nullptr;
}

bool Responds(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

HWND WaitForLauncherWindow(DWORD processId, int timeoutMs) {
  struct TFind {
    DWORD Id;
    HWND Found;
  } find{processId, nullptr};
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  while (!find.Found && static_cast<int>(end - GetTickCount()) > 0) {
    Sleep(20);
    EnumWindows(
        [](HWND w, LPARAM param) -> BOOL {
          auto& f = *reinterpret_cast<TFind*>(param);
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          char name[64] = {};
          if (owner != f.Id || !IsWindowVisible(w) || !GetClassNameA(w, name, sizeof(name)) ||
              std::string(name) != "lodo.Window")
            return TRUE;
          f.Found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
  }
  return find.Found;
}

TRemoteProcess::TRemoteProcess(HWND window) {
  GetWindowThreadProcessId(window, &FId);
  if (FId) FProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, FId);
}

TRemoteProcess::~TRemoteProcess() {
  if (FProcess) CloseHandle(FProcess);
}

bool TRemoteProcess::HasModule(const std::string& name) const { return ModuleBase(FId, name) != nullptr; }

bool TRemoteProcess::Terminate(UINT exitCode) {
  return FProcess && TerminateProcess(FProcess, exitCode) && WaitForSingleObject(FProcess, 10000) == WAIT_OBJECT_0;
}

HMODULE TRemoteProcess::RemoteHelper() {
  if (FRemoteHelper || !FProcess) return FRemoteHelper;
  const std::string path = HostPath(FAULT_HELPER_PATH);
  void* name = VirtualAllocEx(FProcess, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!name) return nullptr;
  if (WriteProcessMemory(FProcess, name, path.c_str(), path.size() + 1, nullptr)) {
    // Kernel32 lies at the same address in every process of a session.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    if (HANDLE thread = CreateRemoteThread(FProcess, nullptr, 0, load, name, 0, nullptr)) {
      WaitPumping(thread, 10000);
      CloseHandle(thread);
    }
  }
  VirtualFreeEx(FProcess, name, 0, MEM_RELEASE);
  // The thread's exit code holds only half a 64-bit handle: ask the module list.
  FRemoteHelper = ModuleBase(FId, kHelperName);
  return FRemoteHelper;
}

DWORD TRemoteProcess::Call(const char* entry, UINT_PTR argument) {
  HMODULE local = LocalHelper();
  HMODULE remote = RemoteHelper();
  FARPROC here = local ? GetProcAddress(local, entry) : nullptr;
  if (!remote || !here) return kCallFailed;
  // The same file: the entry lies at the same offset from the module's base.
  const auto offset = reinterpret_cast<const char*>(here) - reinterpret_cast<const char*>(local);
  auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<char*>(remote) + offset);
  HANDLE thread = CreateRemoteThread(FProcess, nullptr, 0, start, reinterpret_cast<void*>(argument), 0, nullptr);
  if (!thread) return kCallFailed;
  DWORD result = kCallFailed;
  if (WaitPumping(thread, 15000) == WAIT_OBJECT_0) GetExitCodeThread(thread, &result);
  CloseHandle(thread);
  return result;
}

DWORD CallHelperHere(const char* entry, UINT_PTR argument) {
  HMODULE local = LocalHelper();
  FARPROC here = local ? GetProcAddress(local, entry) : nullptr;
  if (!here) return TRemoteProcess::kCallFailed;
  const DWORD result =
      reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(here))(reinterpret_cast<void*>(argument));
  test::Pump(50);
  return result;
}

}  // namespace lodo::e2e

// Helpers of the fault tests: pictures of a running lodo.exe taken from the
// screen, its process reached from outside (modules, termination, calls into
// the helper library), and colour comparisons that hold at any screen depth.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace lodo::e2e {

// The client area of a window as the screen shows it; the window is brought
// to the front first. Works for another process's window as well.
std::unique_ptr<test::TDib> ShootClient(HWND window);
// A child window's place in its top-level window's client area.
RECT PlaceIn(HWND top, HWND child);
// Pixels of `area` that differ between two pictures of the same size.
// Colours equal within what a 16-bit screen keeps of them.
bool Near(COLORREF a, COLORREF b, int tolerance = 12);
int NearPixels(const test::TDib& dib, COLORREF color, const RECT& area);
// Pixels darker than mid-grey.
int DarkPixels(const test::TDib& dib, const RECT& area);

// The launcher's child windows of one class, in no particular order.
std::vector<HWND> ChildrenOf(HWND top, const char* className);
HWND ManualCheckBox(HWND top);
// Slot n's fixed place in the window's client area (at 96 dots per inch, as
// the tests run), and its button there; null for a slot that has no window.
RECT SlotPlace(int n);
HWND SlotButton(HWND top, int n);
// A window answers messages within two seconds.
bool Responds(HWND window);
// The shown launcher window of a process; null after the timeout.
HWND WaitForLauncherWindow(DWORD processId, int timeoutMs = 15000);

// The process behind a window, opened with the rights the tests need.
class TRemoteProcess {
 public:
  explicit TRemoteProcess(HWND window);
  ~TRemoteProcess();
  TRemoteProcess(const TRemoteProcess&) = delete;
  TRemoteProcess& operator=(const TRemoteProcess&) = delete;

  bool Valid() const { return FProcess != nullptr; }
  bool HasModule(const std::string& name) const;
  bool Terminate(UINT exitCode);
  // Loads the helper library into the process (once) and runs one of its
  // entries there on a thread of its own; kCallFailed when that cannot be done.
  DWORD Call(const char* entry, UINT_PTR argument = 0);
  static constexpr DWORD kCallFailed = 0xFFFFFFFF;

 private:
  HMODULE RemoteHelper();

  DWORD FId = 0;
  HANDLE FProcess = nullptr;
  HMODULE FRemoteHelper = nullptr;
};

// The helper library in this process, for the same switches made from
// outside lodo.exe.
DWORD CallHelperHere(const char* entry, UINT_PTR argument = 0);

}  // namespace lodo::e2e

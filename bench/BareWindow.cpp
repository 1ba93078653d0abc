// The start-up benchmark's yardstick: the least a Win32 program can do, one
// registered class and one empty window in the button-face colour, until closed.
#include <windows.h>

#include "bench/Yardstick.h"

namespace {

LRESULT CALLBACK BareWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BareWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  // The launcher's background, so that both programs are seen painted the same way.
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = L"lodo.BareWindow";
  if (!RegisterClassW(&windowClass)) return 1;

  // The launcher's outer size, centred by hand as the launcher centres itself.
  RECT frame{0, 0, 384, 367};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND window = CreateWindowExW(
      0, windowClass.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
      (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  return lodo::bench::ShowAndRun(window, show);
}

// What the start-up benchmark's yardstick programs share: show the window,
// paint it at once, and run the plain message loop until it is closed.
#pragma once
#include <windows.h>

namespace lodo::bench {

inline int ShowAndRun(HWND window, int show) {
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace lodo::bench

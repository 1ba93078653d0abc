// Hidden message windows of the framework's utility class.
#include "framework/MessageWindow.h"

#include "framework/Application.h"
#include "framework/Exceptions.h"

namespace lodo {

namespace {
constexpr wchar_t kUtilityClass[] = L"lodo.Utility";
}

TMessageWindow::TMessageWindow(THandler handler) : FHandler(std::move(handler)) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kUtilityClass;
    RegisterClassExW(&wc);
    registered = true;
  }
  FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilityClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (!FHandle) throw Exception("Cannot create a message window");
}

TMessageWindow::~TMessageWindow() {
  if (FHandle) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

LRESULT CALLBACK TMessageWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<TMessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && self->FHandler) {
    TMessage message{msg, wParam, lParam, 0};
    try {
      if (self->FHandler(message)) return message.Result;
    } catch (const std::exception& e) {
      if (Application) Application->HandleException(e);
      return 0;
    } catch (...) {
      // Whatever was thrown, it must not unwind through the system's frames.
      if (Application) Application->HandleException(Exception("Unknown error"));
      return 0;
    }
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace lodo

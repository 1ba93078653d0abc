// Hidden message windows of the framework's utility class.
#include "framework/MessageWindow.h"

#include <utility>

#include "framework/Exceptions.h"

namespace lodo {

namespace {

constexpr wchar_t kUtilityClass[] = L"lodo.Utility";

void RegisterUtilityClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kUtilityClass;
    return RegisterBoundClass(wc);
  }();
  (void)registered;
}

}  // namespace

TMessageWindow::TMessageWindow(THandler handler) : FHandler(std::move(handler)) {
  RegisterUtilityClass();
  if (!CreateBoundWindow(this, WS_EX_TOOLWINDOW, kUtilityClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr))
    throw Exception("Cannot create a message window");
}

TMessageWindow::~TMessageWindow() {
  if (!FHandle) return;
  // Nothing the destruction sends may reach a handler that is going away.
  HWND window = std::exchange(FHandle, nullptr);
  UnbindWindow(window);
  DestroyWindow(window);
}

void TMessageWindow::WindowMessage(HWND window, TMessage& message) {
  if (FHandler && FHandler(message)) return;
  message.Result = DefWindowProcW(window, message.Msg, message.WParam, message.LParam);
}

void TMessageWindow::WindowUnbound(HWND window) {
  if (FHandle == window) FHandle = nullptr;
}

}  // namespace lodo

// The one window-procedure trampoline of the framework. Every window it makes,
// controls on its own class, superclassed system classes and hidden message
// windows alike, is bound to its object on its first message and unbound at
// WM_NCDESTROY; each message reaches the object as a TMessage.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Messages.h"

namespace lodo {

class TWinControl;

// An object that receives the messages of the window bound to it.
class TWindowTarget {
 public:
  TWindowTarget() = default;
  TWindowTarget(const TWindowTarget&) = delete;
  TWindowTarget& operator=(const TWindowTarget&) = delete;
  virtual ~TWindowTarget() = default;

  // The control behind the window, when the target is one.
  virtual TWinControl* AsWinControl() { return nullptr; }

 private:
  friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);

  // Handles one message; the default handling of the window's class is the
  // target's own business. Exceptions are caught by the trampoline.
  virtual void WindowMessage(HWND window, TMessage& message) = 0;
  // The window now belongs to the target (before its first message).
  virtual void WindowBound(HWND window) = 0;
  // After WM_NCDESTROY: the window is gone and no longer bound.
  virtual void WindowUnbound(HWND window) = 0;
};

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// CreateWindowExW for a window that is bound to target from its first message.
HWND CreateBoundWindow(TWindowTarget* target, DWORD exStyle, const wchar_t* className, const wchar_t* caption,
                       DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu);
// The object bound to a window of the framework, or nullptr.
TWindowTarget* BoundTarget(HWND window);
// Unbinds a window before it is destroyed, so that no further message
// reaches an object that is going away.
void UnbindWindow(HWND window);

// Registers a class whose windows the trampoline serves: it sets the
// procedure and adds the binding's window-extra slot.
bool RegisterBoundClass(WNDCLASSEXW& wc);
// The framework's own window class, with the trampoline as its procedure.
const wchar_t* FrameworkWindowClass();
// Registers "lodo.<SYSTEM>" with the system class's properties and the
// trampoline as its procedure; returns its name and the original procedure.
std::wstring SuperclassOf(const std::wstring& systemClass, WNDPROC& original);

}  // namespace lodo

// The trampoline, the binding of windows to their objects, and the window
// classes whose procedure it is.
#include "framework/WindowBinding.h"

#include <map>
#include <utility>

#include "framework/Application.h"
#include "framework/Exceptions.h"

namespace lodo {

namespace {

constexpr wchar_t kFrameworkClass[] = L"lodo.Window";
constexpr wchar_t kBindingProp[] = L"lodo.control";

// The target whose window is being created on this thread; the trampoline
// binds it to the first message of the new window.
thread_local TWindowTarget* gCreatingTarget = nullptr;

// Original window procedures of the superclassed system classes.
std::map<std::wstring, WNDPROC>& SuperclassProcs() {
  static std::map<std::wstring, WNDPROC> procs;
  return procs;
}

// A window that was never bound (or was unbound before its destruction)
// still needs its class's own handling.
LRESULT UnboundWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  auto it = SuperclassProcs().find(name);
  return it != SuperclassProcs().end() ? CallWindowProcW(it->second, window, msg, wParam, lParam)
                                       : DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* target = static_cast<TWindowTarget*>(GetPropW(window, kBindingProp));
  if (!target && gCreatingTarget) {
    target = std::exchange(gCreatingTarget, nullptr);
    SetPropW(window, kBindingProp, target);
    target->WindowBound(window);
  }
  if (!target) return UnboundWindowProc(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  // No C++ exception may cross into the system: report it and go on.
  try {
    target->WindowMessage(window, message);
  } catch (...) {
    // A paint that failed must not be asked for again and again.
    if (msg == WM_PAINT) ValidateRect(window, nullptr);
    ReportCurrentException();
  }
  if (msg == WM_NCDESTROY && GetPropW(window, kBindingProp) == target) {
    RemovePropW(window, kBindingProp);
    target->WindowUnbound(window);
  }
  return message.Result;
}

HWND CreateBoundWindow(TWindowTarget* target, DWORD exStyle, const wchar_t* className, const wchar_t* caption,
                       DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu) {
  gCreatingTarget = target;
  HWND window = CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, menu,
                                GetModuleHandleW(nullptr), nullptr);
  // Also when creation failed before the first message arrived.
  gCreatingTarget = nullptr;
  return window;
}

TWindowTarget* BoundTarget(HWND window) {
  return window ? static_cast<TWindowTarget*>(GetPropW(window, kBindingProp)) : nullptr;
}

void UnbindWindow(HWND window) {
  if (window) RemovePropW(window, kBindingProp);
}

const wchar_t* FrameworkWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FrameworkWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    // IDC_ARROW is spelt for the A functions unless UNICODE is defined.
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kFrameworkClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  return kFrameworkClass;
}

std::wstring SuperclassOf(const std::wstring& systemClass, WNDPROC& original) {
  const std::wstring name = L"lodo." + systemClass;
  auto& procs = SuperclassProcs();
  if (auto it = procs.find(name); it != procs.end()) {
    original = it->second;
    return name;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(nullptr, systemClass.c_str(), &wc))
    throw Exception("Window class not found: " + std::string(systemClass.begin(), systemClass.end()));
  original = wc.lpfnWndProc;
  wc.lpfnWndProc = FrameworkWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name.c_str();
  // Our own superclass is global to the module, not the system's.
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  RegisterClassExW(&wc);
  procs[name] = original;
  return name;
}

}  // namespace lodo

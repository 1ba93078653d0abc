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
constexpr int kSlotSize = static_cast<int>(sizeof(LONG_PTR));

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

// The binding lives in the last window-extra slot of the window's class,
// which each of our classes adds (RegisterBoundClass). Unlike a window
// property, reading it costs the window system no round trip, and the
// trampoline reads it for every message.
int BindingSlot(HWND window) { return static_cast<int>(GetClassLongPtrW(window, GCL_CBWNDEXTRA)) - kSlotSize; }

TWindowTarget* SlotTarget(HWND window, int slot) {
  return reinterpret_cast<TWindowTarget*>(GetWindowLongPtrW(window, slot));
}

void SetSlotTarget(HWND window, int slot, TWindowTarget* target) {
  SetWindowLongPtrW(window, slot, reinterpret_cast<LONG_PTR>(target));
}

// Our classes, and only they, have the trampoline as their class procedure
// (a subclass changes the window's procedure, not the class's).
bool IsBoundClass(HWND window) {
  return reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) == FrameworkWindowProc;
}

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int slot = BindingSlot(window);
  TWindowTarget* target = SlotTarget(window, slot);
  if (!target && gCreatingTarget) {
    target = std::exchange(gCreatingTarget, nullptr);
    SetSlotTarget(window, slot, target);
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
  if (msg == WM_NCDESTROY && SlotTarget(window, slot) == target) {
    SetSlotTarget(window, slot, nullptr);
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
  return window && IsBoundClass(window) ? SlotTarget(window, BindingSlot(window)) : nullptr;
}

void UnbindWindow(HWND window) {
  if (window && IsBoundClass(window)) SetSlotTarget(window, BindingSlot(window), nullptr);
}

bool RegisterBoundClass(WNDCLASSEXW& wc) {
  wc.lpfnWndProc = FrameworkWindowProc;
  wc.cbWndExtra += kSlotSize;
  return RegisterClassExW(&wc) != 0;
}

const wchar_t* FrameworkWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.hInstance = GetModuleHandleW(nullptr);
    // IDC_ARROW is spelt for the A functions unless UNICODE is defined.
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kFrameworkClass;
    return RegisterBoundClass(wc);
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
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name.c_str();
  // Our own superclass is global to the module, not the system's.
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  RegisterBoundClass(wc);
  procs[name] = original;
  return name;
}

}  // namespace lodo

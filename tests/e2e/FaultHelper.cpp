// A small library the fault tests load into a running lodo.exe: it switches
// that process's visual style and system colours from inside, because Wine
// keeps both per process and a switch made elsewhere never reaches lodo.exe.
#include <windows.h>

#include <commctrl.h>

namespace {

using TOpenThemeFile = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, HANDLE*, DWORD);
using TCloseThemeFile = HRESULT(WINAPI*)(HANDLE);
using TApplyTheme = HRESULT(WINAPI*)(HANDLE, char*, HWND);
using TIsThemeActive = BOOL(WINAPI*)();

// The library as the process already has it; loaded from the system folder
// only when it has not (the test process itself).
HMODULE VisualStyles() {
  HMODULE library = GetModuleHandleA("uxtheme.dll");
  return library ? library : LoadLibraryExA("uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The theme-file entries are exported by ordinal only.
template <typename T>
T Entry(const char* nameOrOrdinal) {
  HMODULE library = VisualStyles();
  if (!library) return nullptr;
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, nameOrOrdinal)));
}

constexpr DWORD kNoLibrary = 2;
constexpr DWORD kFailed = 1;

}  // namespace

// Each entry has the shape of a thread's start routine, so that it can be
// started in another process with CreateRemoteThread; 0 means success.
extern "C" {

__declspec(dllexport) DWORD WINAPI FaultVisualStyleOff(LPVOID) {
  auto apply = Entry<TApplyTheme>(MAKEINTRESOURCEA(4));
  if (!apply) return kNoLibrary;
  return SUCCEEDED(apply(nullptr, nullptr, nullptr)) ? 0 : kFailed;
}

// Wine's own default style, as a fresh prefix has it.
__declspec(dllexport) DWORD WINAPI FaultVisualStyleOn(LPVOID) {
  auto openFile = Entry<TOpenThemeFile>(MAKEINTRESOURCEA(2));
  auto closeFile = Entry<TCloseThemeFile>(MAKEINTRESOURCEA(3));
  auto apply = Entry<TApplyTheme>(MAKEINTRESOURCEA(4));
  if (!openFile || !closeFile || !apply) return kNoLibrary;
  HANDLE file = nullptr;
  if (FAILED(openFile(L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", L"NormalSize", &file, 0)))
    return kFailed;
  const HRESULT applied = apply(file, nullptr, nullptr);
  closeFile(file);
  return SUCCEEDED(applied) ? 0 : kFailed;
}

// 1 while this process sees an active visual style, else 0.
__declspec(dllexport) DWORD WINAPI FaultVisualStyleActive(LPVOID) {
  auto active = Entry<TIsThemeActive>("IsThemeActive");
  return active && active() ? 1 : 0;
}

// Sets the button-face colour (the argument is the COLORREF) and returns the
// colour it had.
__declspec(dllexport) DWORD WINAPI FaultSetButtonFace(LPVOID color) {
  const COLORREF previous = GetSysColor(COLOR_BTNFACE);
  const int index = COLOR_BTNFACE;
  const auto value = static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(color));
  SetSysColors(1, &index, &value);
  return previous;
}

__declspec(dllexport) DWORD WINAPI FaultButtonFace(LPVOID) { return GetSysColor(COLOR_BTNFACE); }

// A control's tooltip text (the argument is its window), asked of its parent
// as the tooltip asks; handed back as a global atom, which any process reads.
__declspec(dllexport) DWORD WINAPI TooltipTextAtom(LPVOID window) {
  NMTTDISPINFOW info{{nullptr, reinterpret_cast<UINT_PTR>(window), TTN_GETDISPINFOW}, nullptr, {}, nullptr, 0, 0};
  SendMessageW(GetParent(static_cast<HWND>(window)), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  return info.lpszText ? GlobalAddAtomW(info.lpszText) : 0;
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

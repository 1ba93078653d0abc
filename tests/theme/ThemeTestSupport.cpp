// Helpers of the theme tests.
#include "tests/theme/ThemeTestSupport.h"

#include "tests/support/TestSupport.h"
#include "theme/ThemeModule.h"

namespace lodo::test {

namespace {

FARPROC gRealOpen = nullptr;
FARPROC gRealClose = nullptr;
int gOpens = 0;
int gCloses = 0;
std::vector<std::wstring> gClassLists;

template <typename T>
T As(FARPROC address) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(address));
}

HTHEME WINAPI CountingOpen(HWND window, LPCWSTR classList) {
  ++gOpens;
  gClassLists.emplace_back(classList ? classList : L"");
  return As<HTHEME(WINAPI*)(HWND, LPCWSTR)>(gRealOpen)(window, classList);
}

HRESULT WINAPI CountingClose(HTHEME theme) {
  ++gCloses;
  return As<HRESULT(WINAPI*)(HTHEME)>(gRealClose)(theme);
}

FARPROC Address(void* function) { return reinterpret_cast<FARPROC>(function); }

BOOL CALLBACK CountUtilityWindow(HWND window, LPARAM counter) {
  wchar_t name[64];
  if (GetClassNameW(window, name, 64) && std::wstring(name) == L"lodo.Utility") ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// The theme-file entries take the file, colour and size names.
using TOpenThemeFile = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, HANDLE*, DWORD);
using TCloseThemeFile = HRESULT(WINAPI*)(HANDLE);
using TApplyTheme = HRESULT(WINAPI*)(HANDLE, char*, HWND);

template <typename T>
T Ordinal(WORD ordinal) {
  HMODULE library = GetModuleHandleA("uxtheme.dll");
  return library ? As<T>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))) : nullptr;
}

}  // namespace

TThemeModuleScope::TThemeModuleScope() {
  ErrorsSeen().clear();
  InitializeThemeModule();
}

TThemeModuleScope::~TThemeModuleScope() {
  FinalizeThemeModule();
  Pump();
}

TThemeCallCounter::TThemeCallCounter() {
  gOpens = gCloses = 0;
  gClassLists.clear();
  gRealOpen = ReplaceThemeEntryPoint(uxOpenThemeData, Address(reinterpret_cast<void*>(&CountingOpen)));
  gRealClose = ReplaceThemeEntryPoint(uxCloseThemeData, Address(reinterpret_cast<void*>(&CountingClose)));
}

TThemeCallCounter::~TThemeCallCounter() {
  if (ThemeLibraryLoaded()) {
    ReplaceThemeEntryPoint(uxOpenThemeData, gRealOpen);
    ReplaceThemeEntryPoint(uxCloseThemeData, gRealClose);
  }
}

int TThemeCallCounter::Opens() const { return gOpens; }
int TThemeCallCounter::Closes() const { return gCloses; }
const std::vector<std::wstring>& TThemeCallCounter::OpenedClassLists() const { return gClassLists; }

bool SwitchVisualStyleOff() {
  auto apply = Ordinal<TApplyTheme>(4);
  if (!apply || FAILED(apply(nullptr, nullptr, nullptr))) return false;
  Pump(50);
  return true;
}

bool SwitchVisualStyleOn() {
  auto open = Ordinal<TOpenThemeFile>(2);
  auto close = Ordinal<TCloseThemeFile>(3);
  auto apply = Ordinal<TApplyTheme>(4);
  if (!open || !close || !apply) return false;
  HANDLE file = nullptr;
  if (FAILED(open(L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", L"NormalSize", &file, 0)))
    return false;
  const HRESULT result = apply(file, nullptr, nullptr);
  close(file);
  Pump(50);
  return SUCCEEDED(result);
}

int CountHiddenMessageWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountUtilityWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace lodo::test

// Loads the visual-styles library from the system folder only, binds its
// entry points by name and forwards the wrappers to them.
#include "theme/UxTheme.h"

#include <string>

#include "framework/SystemLibrary.h"
#include "framework/Text.h"

namespace lodo {

const std::array<const char*, kUxThemeEntryCount> kUxThemeEntryNames = {
    "CloseThemeData",
    "DrawThemeBackground",
    "DrawThemeEdge",
    "DrawThemeIcon",
    "DrawThemeParentBackground",
    "DrawThemeText",
    "DrawThemeTextEx",
    "EnableThemeDialogTexture",
    "GetCurrentThemeName",
    "GetThemeAppProperties",
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundRegion",
    "GetThemeBackgroundExtent",
    "GetThemeBool",
    "GetThemeColor",
    "GetThemeDocumentationProperty",
    "GetThemeEnumValue",
    "GetThemeFilename",
    "GetThemeFont",
    "GetThemeInt",
    "GetThemeIntList",
    "GetThemeMargins",
    "GetThemeMetric",
    "GetThemePartSize",
    "GetThemePosition",
    "GetThemePropertyOrigin",
    "GetThemeRect",
    "GetThemeString",
    "GetThemeSysBool",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysFont",
    "GetThemeSysInt",
    "GetThemeSysSize",
    "GetThemeSysString",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "GetWindowTheme",
    "HitTestThemeBackground",
    "IsAppThemed",
    "IsThemeActive",
    "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent",
    "IsThemeDialogTextureEnabled",
    "OpenThemeData",
    "SetThemeAppProperties",
    "SetWindowTheme",
    "BufferedPaintInit",
    "BufferedPaintUnInit",
    "BeginBufferedPaint",
    "EndBufferedPaint",
    "BufferedPaintSetAlpha",
};

namespace {

HMODULE gLibrary = nullptr;
std::array<FARPROC, kUxThemeEntryCount> gEntries{};

constexpr char kLibraryName[] = "UxTheme.dll";

// GetProcAddress answers an untyped address; the cast to the real signature
// goes through void* so that the compiler accepts it without a warning.
template <typename T>
T Entry(TUxThemeEntry entry) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(gEntries[entry]));
}

}  // namespace

void RestrictDllSearchToSystemFolder() {
  // Older systems without the function keep their default order; the theme
  // binding still loads by the system folder there.
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  auto set = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void BindThemeLibrary() {
  if (gLibrary) return;
  gLibrary = LoadSystemLibrary(kLibraryName);
  if (!gLibrary) return;
  for (int i = 0; i < kUxThemeEntryCount; ++i) gEntries[i] = GetProcAddress(gLibrary, kUxThemeEntryNames[i]);
}

void UnbindThemeLibrary() {
  if (!gLibrary) return;
  gEntries.fill(nullptr);
  FreeLibrary(gLibrary);
  gLibrary = nullptr;
}

bool ThemeLibraryLoaded() { return gLibrary != nullptr; }
HMODULE ThemeLibraryHandle() { return gLibrary; }

FARPROC ThemeEntryPoint(TUxThemeEntry entry) { return gEntries[entry]; }

FARPROC ReplaceThemeEntryPoint(TUxThemeEntry entry, FARPROC address) {
  FARPROC previous = gEntries[entry];
  gEntries[entry] = address;
  return previous;
}

HTHEME OpenThemeData(HWND window, LPCWSTR classList) {
  auto f = Entry<HTHEME(WINAPI*)(HWND, LPCWSTR)>(uxOpenThemeData);
  return f ? f(window, classList) : nullptr;
}

HRESULT CloseThemeData(HTHEME theme) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME)>(uxCloseThemeData);
  return f ? f(theme) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, const RECT* clipRect) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*)>(uxDrawThemeBackground);
  return f ? f(theme, dc, partId, stateId, rect, clipRect) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT& rect, const RECT* clipRect) {
  return lodo::DrawThemeBackground(theme, dc, partId, stateId, &rect, clipRect);
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, LPCWSTR text, int charCount, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)>(uxDrawThemeText);
  return f ? f(theme, dc, partId, stateId, text, charCount, textFlags, textFlags2, rect) : E_NOTIMPL;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, std::string_view text, int charCount,
                      DWORD textFlags, DWORD textFlags2, const RECT* rect) {
  // The count given is in bytes; in a multi-byte code page the wide text is
  // shorter, so the wide call gets the length of what was converted.
  std::string_view part = text;
  if (charCount >= 0 && static_cast<size_t>(charCount) < text.size())
    part = text.substr(0, static_cast<size_t>(charCount));
  if (charCount < 0) part = text.substr(0, text.find('\0'));
  const std::wstring wide = AnsiToWide(part);
  return lodo::DrawThemeText(theme, dc, partId, stateId, wide.c_str(), static_cast<int>(wide.size()), textFlags,
                             textFlags2, rect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId, const RECT* boundingRect,
                                      RECT* contentRect) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*)>(uxGetThemeBackgroundContentRect);
  return f ? f(theme, dc, partId, stateId, boundingRect, contentRect) : E_NOTIMPL;
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE sizeKind,
                         SIZE* size) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*)>(uxGetThemePartSize);
  return f ? f(theme, dc, partId, stateId, rect, sizeKind, size) : E_NOTIMPL;
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, THEMESIZE sizeKind, SIZE* size) {
  return lodo::GetThemePartSize(theme, dc, partId, stateId, nullptr, sizeKind, size);
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, HRGN* region) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, HRGN*)>(uxGetThemeBackgroundRegion);
  return f ? f(theme, dc, partId, stateId, rect, region) : E_NOTIMPL;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const RECT* destRect, UINT edge, UINT flags,
                      RECT* contentRect) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*)>(uxDrawThemeEdge);
  return f ? f(theme, dc, partId, stateId, destRect, edge, flags, contentRect) : E_NOTIMPL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId) {
  auto f = Entry<BOOL(WINAPI*)(HTHEME, int, int)>(uxIsThemeBackgroundPartiallyTransparent);
  return f ? f(theme, partId, stateId) : FALSE;
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) {
  auto f = Entry<HRESULT(WINAPI*)(HWND, HDC, const RECT*)>(uxDrawThemeParentBackground);
  if (!f) return E_NOTIMPL;
  // The parent's WM_PRINTCLIENT may select its own font into the DC.
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  const HRESULT result = f(window, dc, rect);
  if (font) SelectObject(dc, font);
  return result;
}

HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color) {
  auto f = Entry<HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*)>(uxGetThemeColor);
  return f ? f(theme, partId, stateId, propId, color) : E_NOTIMPL;
}

BOOL IsThemeActive() {
  auto f = Entry<BOOL(WINAPI*)()>(uxIsThemeActive);
  return f ? f() : FALSE;
}

HRESULT GetCurrentThemeName(LPWSTR fileName, int maxFileNameChars, LPWSTR colorName, int maxColorChars, LPWSTR sizeName,
                            int maxSizeChars) {
  auto f = Entry<HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int)>(uxGetCurrentThemeName);
  return f ? f(fileName, maxFileNameChars, colorName, maxColorChars, sizeName, maxSizeChars) : E_NOTIMPL;
}

HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* targetRect, BP_BUFFERFORMAT format, BP_PAINTPARAMS* params,
                                HDC* paintDC) {
  auto f = Entry<HPAINTBUFFER(WINAPI*)(HDC, const RECT*, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC*)>(uxBeginBufferedPaint);
  return f ? f(target, targetRect, format, params, paintDC) : nullptr;
}

HRESULT EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget) {
  auto f = Entry<HRESULT(WINAPI*)(HPAINTBUFFER, BOOL)>(uxEndBufferedPaint);
  return f ? f(buffer, updateTarget) : E_NOTIMPL;
}

HRESULT BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha) {
  auto f = Entry<HRESULT(WINAPI*)(HPAINTBUFFER, const RECT*, BYTE)>(uxBufferedPaintSetAlpha);
  return f ? f(buffer, rect, alpha) : E_NOTIMPL;
}

}  // namespace lodo

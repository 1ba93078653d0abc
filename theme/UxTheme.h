// Run-time binding of the visual-styles library and the wrappers through which
// every other part of the program calls it; the library is optional.
#pragma once
#include <windows.h>

#include <uxtheme.h>

#include <array>
#include <string_view>

namespace lodo {

// The 52 entry points, in the order they are bound.
enum TUxThemeEntry : int {
  uxCloseThemeData,
  uxDrawThemeBackground,
  uxDrawThemeEdge,
  uxDrawThemeIcon,
  uxDrawThemeParentBackground,
  uxDrawThemeText,
  uxDrawThemeTextEx,
  uxEnableThemeDialogTexture,
  uxGetCurrentThemeName,
  uxGetThemeAppProperties,
  uxGetThemeBackgroundContentRect,
  uxGetThemeBackgroundRegion,
  uxGetThemeBackgroundExtent,
  uxGetThemeBool,
  uxGetThemeColor,
  uxGetThemeDocumentationProperty,
  uxGetThemeEnumValue,
  uxGetThemeFilename,
  uxGetThemeFont,
  uxGetThemeInt,
  uxGetThemeIntList,
  uxGetThemeMargins,
  uxGetThemeMetric,
  uxGetThemePartSize,
  uxGetThemePosition,
  uxGetThemePropertyOrigin,
  uxGetThemeRect,
  uxGetThemeString,
  uxGetThemeSysBool,
  uxGetThemeSysColor,
  uxGetThemeSysColorBrush,
  uxGetThemeSysFont,
  uxGetThemeSysInt,
  uxGetThemeSysSize,
  uxGetThemeSysString,
  uxGetThemeTextExtent,
  uxGetThemeTextMetrics,
  uxGetWindowTheme,
  uxHitTestThemeBackground,
  uxIsAppThemed,
  uxIsThemeActive,
  uxIsThemePartDefined,
  uxIsThemeBackgroundPartiallyTransparent,
  uxIsThemeDialogTextureEnabled,
  uxOpenThemeData,
  uxSetThemeAppProperties,
  uxSetWindowTheme,
  uxBufferedPaintInit,
  uxBufferedPaintUnInit,
  uxBeginBufferedPaint,
  uxEndBufferedPaint,
  uxBufferedPaintSetAlpha,
  kUxThemeEntryCount
};

extern const std::array<const char*, kUxThemeEntryCount> kUxThemeEntryNames;

// Called first thing in the program: every later library load, including the
// delay-loads of system DLLs, searches only the system folder.
void RestrictDllSearchToSystemFolder();

// Binding: loads the library from the system folder and looks up every entry
// point (a missing name leaves its entry null). Unbinding frees the library.
void BindThemeLibrary();
void UnbindThemeLibrary();
bool ThemeLibraryLoaded();
HMODULE ThemeLibraryHandle();

// The bound address of one entry point, or null. Replacing one lets a test
// count the calls that reach the library; it returns the previous address.
FARPROC ThemeEntryPoint(TUxThemeEntry entry);
FARPROC ReplaceThemeEntryPoint(TUxThemeEntry entry, FARPROC address);

// Wrappers with the arguments and results of the library functions. With a
// null entry point they do nothing and answer failure (E_NOTIMPL, null, 0).
HTHEME OpenThemeData(HWND window, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, const RECT* clipRect);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT& rect,
                            const RECT* clipRect = nullptr);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, LPCWSTR text, int charCount, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect);
// 8-bit text in the ANSI code page; charCount counts its bytes (-1: up to the
// terminating zero).
HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, std::string_view text, int charCount,
                      DWORD textFlags, DWORD textFlags2, const RECT* rect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId, const RECT* boundingRect,
                                      RECT* contentRect);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE sizeKind,
                         SIZE* size);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, THEMESIZE sizeKind, SIZE* size);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, HRGN* region);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const RECT* destRect, UINT edge, UINT flags,
                      RECT* contentRect);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId);
// Puts back the font that was selected into the DC, which the library may change.
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color);
BOOL IsThemeActive();
HRESULT GetCurrentThemeName(LPWSTR fileName, int maxFileNameChars, LPWSTR colorName, int maxColorChars, LPWSTR sizeName,
                            int maxSizeChars);
HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* targetRect, BP_BUFFERFORMAT format, BP_PAINTPARAMS* params,
                                HDC* paintDC);
HRESULT EndBufferedPaint(HPAINTBUFFER buffer, BOOL updateTarget);
HRESULT BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha);

}  // namespace lodo

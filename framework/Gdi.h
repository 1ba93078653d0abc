// Owning, move-only wrappers for GDI objects, DCs, menus and plain windows, and a guard that
// selects an object into a DC and restores what was selected before. Borrowed
// handles (stock objects, system brushes, a DC given for one paint) stay raw.
#pragma once
#include <windows.h>

#include <utility>

namespace lodo {

// An owned handle of type H, destroyed by Deleter when the owner goes or is
// given another handle.
template <typename H, typename Deleter>
class TOwnedHandle {
 public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H handle) : FHandle(handle) {}
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FHandle, nullptr));
    return *this;
  }
  ~TOwnedHandle() { Reset(); }

  H Get() const { return FHandle; }
  bool Valid() const { return FHandle != nullptr; }
  void Reset(H handle = nullptr) {
    if (FHandle) Deleter{}(FHandle);
    FHandle = handle;
  }
  H Release() { return std::exchange(FHandle, nullptr); }

 private:
  H FHandle = nullptr;
};

struct TDeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct TDestroyMenu {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct TDestroyWindow {
  void operator()(HWND window) const { DestroyWindow(window); }
};

template <typename H>
using TGdiObject = TOwnedHandle<H, TDeleteGdiObject>;
using TFontHandle = TGdiObject<HFONT>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TRegionHandle = TGdiObject<HRGN>;
// A menu made with CreateMenu/CreatePopupMenu.
using TMenuHandle = TOwnedHandle<HMENU, TDestroyMenu>;
// A window that no framework object stands for (the system's tooltip window).
using TWindowHandle = TOwnedHandle<HWND, TDestroyWindow>;

// A memory DC, deleted with the wrapper.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatibleWith = nullptr) : FDC(CreateCompatibleDC(compatibleWith)) {}
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  TMemoryDC(TMemoryDC&& other) noexcept : FDC(std::exchange(other.FDC, nullptr)) {}
  TMemoryDC& operator=(TMemoryDC&& other) noexcept {
    if (this != &other) {
      Reset();
      FDC = std::exchange(other.FDC, nullptr);
    }
    return *this;
  }
  ~TMemoryDC() { Reset(); }
  HDC Get() const { return FDC; }

 private:
  void Reset() {
    if (FDC) DeleteDC(std::exchange(FDC, nullptr));
  }

  HDC FDC;
};

// A DC obtained with GetDC (nullptr: the screen's), released with the wrapper.
class TWindowDC {
 public:
  TWindowDC() = default;
  explicit TWindowDC(HWND window) : FWindow(window), FDC(GetDC(window)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  TWindowDC(TWindowDC&& other) noexcept
      : FWindow(std::exchange(other.FWindow, nullptr)), FDC(std::exchange(other.FDC, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      FWindow = std::exchange(other.FWindow, nullptr);
      FDC = std::exchange(other.FDC, nullptr);
    }
    return *this;
  }
  ~TWindowDC() { Reset(); }
  HDC Get() const { return FDC; }
  HWND Window() const { return FWindow; }
  void Reset() {
    if (FDC) ReleaseDC(FWindow, std::exchange(FDC, nullptr));
    FWindow = nullptr;
  }

 private:
  HWND FWindow = nullptr;
  HDC FDC = nullptr;
};

// BeginPaint/EndPaint for one WM_PAINT. Not movable: the paint structure
// must stay where BeginPaint wrote it until EndPaint.
class TPaintDC {
 public:
  explicit TPaintDC(HWND window) : FWindow(window), FDC(BeginPaint(window, &FPaint)) {}
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  ~TPaintDC() { EndPaint(FWindow, &FPaint); }
  HDC Get() const { return FDC; }
  const RECT& PaintRect() const { return FPaint.rcPaint; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

// Selects an object for the guard's lifetime and then restores the previous one.
class TSelectGuard {
 public:
  TSelectGuard(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  TSelectGuard(const TSelectGuard&) = delete;
  TSelectGuard& operator=(const TSelectGuard&) = delete;
  ~TSelectGuard() {
    if (FOld) SelectObject(FDC, FOld);
  }

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// SaveDC/RestoreDC for a scope.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : FDC(dc), FId(SaveDC(dc)) {}
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() {
    if (FId) RestoreDC(FDC, FId);
  }

 private:
  HDC FDC;
  int FId;
};

}  // namespace lodo

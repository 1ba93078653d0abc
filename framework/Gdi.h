// Owning, move-only wrappers for GDI objects, DCs, menus and plain windows, and a guard that
// selects an object into a DC and restores what was selected before. Borrowed
// handles (stock objects, system brushes, a DC given for one paint) stay raw.
#pragma once
#include <windows.h>

#include <utility>

namespace lodo {

// An owned handle of type H, destroyed by Deleter when the owner goes or is
// given another handle. A deleter may carry what the release needs besides
// the handle (the window of a GetDC); it moves with the handle.
template <typename H, typename Deleter>
class TOwnedHandle {
 public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H handle, Deleter deleter = {}) : FHandle(handle), FDeleter(deleter) {}
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept
      : FHandle(std::exchange(other.FHandle, nullptr)), FDeleter(std::exchange(other.FDeleter, Deleter{})) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.FHandle, nullptr));
      FDeleter = std::exchange(other.FDeleter, Deleter{});
    }
    return *this;
  }
  ~TOwnedHandle() { Reset(); }

  H Get() const { return FHandle; }
  bool Valid() const { return FHandle != nullptr; }
  void Reset(H handle = nullptr) {
    if (FHandle) FDeleter(FHandle);
    FHandle = handle;
  }
  H Release() { return std::exchange(FHandle, nullptr); }

 protected:
  const Deleter& GetDeleter() const { return FDeleter; }

 private:
  H FHandle = nullptr;
  [[no_unique_address]] Deleter FDeleter{};
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

struct TDeleteDC {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct TReleaseDC {
  HWND Window = nullptr;
  void operator()(HDC dc) const { ReleaseDC(Window, dc); }
};

// A memory DC, deleted with the wrapper.
class TMemoryDC : public TOwnedHandle<HDC, TDeleteDC> {
 public:
  explicit TMemoryDC(HDC compatibleWith = nullptr) : TOwnedHandle(CreateCompatibleDC(compatibleWith)) {}
};

// A DC obtained with GetDC (nullptr: the screen's), released with the wrapper.
class TWindowDC : public TOwnedHandle<HDC, TReleaseDC> {
 public:
  TWindowDC() = default;
  explicit TWindowDC(HWND window) : TOwnedHandle(GetDC(window), TReleaseDC{window}) {}
  HWND Window() const { return Valid() ? GetDeleter().Window : nullptr; }
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

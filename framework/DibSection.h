// A 32-bit top-down DIB section: its header, its bitmap and its pixels, read
// and written as COLORREF values.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "framework/Gdi.h"

namespace lodo {

class TDibSection {
 public:
  // No bitmap when the size is not positive or the system refuses one;
  // Valid tells. The size asked for is kept either way.
  TDibSection(int width, int height);
  TDibSection(const TDibSection&) = delete;
  TDibSection& operator=(const TDibSection&) = delete;
  TDibSection(TDibSection&& other) noexcept;
  TDibSection& operator=(TDibSection&& other) noexcept;

  bool Valid() const { return FBits != nullptr; }
  int Width() const { return static_cast<int>(FInfo.bmiHeader.biWidth); }
  int Height() const { return static_cast<int>(-FInfo.bmiHeader.biHeight); }
  const BITMAPINFO& Info() const { return FInfo; }
  HBITMAP Bitmap() const { return FBitmap.Get(); }
  // Width x Height pixels, rows first, each 0x00RRGGBB; null when not valid.
  // GDI may still be drawing into them: GdiFlush before reading.
  std::uint32_t* Bits() const { return FBits; }
  std::size_t PixelCount() const;

  // CLR_INVALID outside the bitmap; a write outside it does nothing.
  COLORREF Pixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);
  void Fill(COLORREF color);

  // A DIB pixel is 0x00RRGGBB and a COLORREF 0x00BBGGRR; the top byte is
  // dropped both ways.
  static constexpr COLORREF ToColor(std::uint32_t pixel) { return SwapRedBlue(pixel); }
  static constexpr std::uint32_t ToPixel(COLORREF color) { return SwapRedBlue(color); }

 private:
  static constexpr std::uint32_t SwapRedBlue(std::uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
  }
  bool Inside(int x, int y) const;
  std::size_t Index(int x, int y) const;

  BITMAPINFO FInfo{};
  TBitmapHandle FBitmap;
  std::uint32_t* FBits = nullptr;
};

}  // namespace lodo

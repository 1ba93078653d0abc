// The 32-bit top-down DIB section shared by the product, the tests and the
// benchmarks.
#include "framework/DibSection.h"

#include <algorithm>
#include <utility>

namespace lodo {

TDibSection::TDibSection(int width, int height) {
  FInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  FInfo.bmiHeader.biWidth = width;
  // A negative height makes the rows run top-down.
  FInfo.bmiHeader.biHeight = -height;
  FInfo.bmiHeader.biPlanes = 1;
  FInfo.bmiHeader.biBitCount = 32;
  FInfo.bmiHeader.biCompression = BI_RGB;
  if (width <= 0 || height <= 0) return;
  // With DIB_RGB_COLORS the section needs no device context.
  void* bits = nullptr;
  FBitmap.Reset(CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
  FBits = FBitmap.Valid() ? static_cast<std::uint32_t*>(bits) : nullptr;
}

TDibSection::TDibSection(TDibSection&& other) noexcept
    : FInfo(std::exchange(other.FInfo, BITMAPINFO{})),
      FBitmap(std::move(other.FBitmap)),
      FBits(std::exchange(other.FBits, nullptr)) {}

TDibSection& TDibSection::operator=(TDibSection&& other) noexcept {
  if (this != &other) {
    FInfo = std::exchange(other.FInfo, BITMAPINFO{});
    FBitmap = std::move(other.FBitmap);
    FBits = std::exchange(other.FBits, nullptr);
  }
  return *this;
}

std::size_t TDibSection::PixelCount() const {
  if (!FBits) return 0;
  return static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
}

bool TDibSection::Inside(int x, int y) const { return FBits && x >= 0 && y >= 0 && x < Width() && y < Height(); }

std::size_t TDibSection::Index(int x, int y) const {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x);
}

COLORREF TDibSection::Pixel(int x, int y) const {
  if (!Inside(x, y)) return CLR_INVALID;
  return ToColor(FBits[Index(x, y)]);
}

void TDibSection::SetPixel(int x, int y, COLORREF color) {
  if (!Inside(x, y)) return;
  FBits[Index(x, y)] = ToPixel(color);
}

void TDibSection::Fill(COLORREF color) {
  if (FBits) std::fill(FBits, FBits + PixelCount(), ToPixel(color));
}

}  // namespace lodo

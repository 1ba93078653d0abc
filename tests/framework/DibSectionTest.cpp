// The shared DIB section: what GDI draws reads back as the same COLORREF, a
// written pixel lands where GDI sees it, and a moved section has one owner.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "framework/DibSection.h"
#include "framework/Gdi.h"

using namespace lodo;

namespace {

// Red, green and blue all differ, so a swap of two of them shows.
constexpr COLORREF kOrange = RGB(0xF0, 0x80, 0x10);
constexpr COLORREF kTeal = RGB(0x10, 0x90, 0xA0);

}  // namespace

TEST(DibSection, PixelsReadAndWriteInTheColoursGdiUses) {
  TDibSection dib(7, 5);
  ASSERT_TRUE(dib.Valid());
  EXPECT_EQ(dib.Width(), 7);
  EXPECT_EQ(dib.Height(), 5);
  EXPECT_EQ(dib.PixelCount(), 35u);
  EXPECT_EQ(dib.Info().bmiHeader.biBitCount, 32);
  // Top-down: the first row in memory is the top one.
  EXPECT_EQ(dib.Info().bmiHeader.biHeight, -5);

  dib.Fill(kTeal);
  TMemoryDC dc;
  {
    TSelectGuard select(dc.Get(), dib.Bitmap());
    EXPECT_EQ(GetPixel(dc.Get(), 6, 4), kTeal);
    SetPixelV(dc.Get(), 2, 1, kOrange);
    GdiFlush();
    EXPECT_EQ(dib.Pixel(2, 1), kOrange);
    EXPECT_EQ(dib.Bits()[1 * 7 + 2], 0x00F08010u);
    EXPECT_EQ(dib.Pixel(3, 1), kTeal);

    dib.SetPixel(6, 0, kOrange);
    EXPECT_EQ(GetPixel(dc.Get(), 6, 0), kOrange);
  }
  EXPECT_EQ(TDibSection::ToPixel(kOrange), 0x00F08010u);
  EXPECT_EQ(TDibSection::ToColor(0xFFF08010u), kOrange);
}

TEST(DibSection, OutsideTheBitmapNothingIsReadOrWritten) {
  TDibSection dib(3, 2);
  dib.Fill(kTeal);
  EXPECT_EQ(dib.Pixel(-1, 0), CLR_INVALID);
  EXPECT_EQ(dib.Pixel(3, 0), CLR_INVALID);
  EXPECT_EQ(dib.Pixel(0, 2), CLR_INVALID);
  dib.SetPixel(3, 0, kOrange);  // would be the first pixel of the next row
  dib.SetPixel(0, -1, kOrange);
  for (std::size_t i = 0; i < dib.PixelCount(); ++i) EXPECT_EQ(TDibSection::ToColor(dib.Bits()[i]), kTeal);

  for (const auto& [width, height] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-3, 4}, std::pair{4, -3}}) {
    const TDibSection empty(width, height);
    EXPECT_FALSE(empty.Valid()) << width << " x " << height;
    EXPECT_EQ(empty.Bitmap(), nullptr);
    EXPECT_EQ(empty.PixelCount(), 0u);
    EXPECT_EQ(empty.Pixel(0, 0), CLR_INVALID);
  }
}

TEST(DibSection, AMovedSectionHasOneOwner) {
  TDibSection first(4, 4);
  first.Fill(kOrange);
  const HBITMAP bitmap = first.Bitmap();
  TDibSection second(std::move(first));
  EXPECT_FALSE(first.Valid());
  EXPECT_EQ(first.Bitmap(), nullptr);
  EXPECT_EQ(first.Pixel(0, 0), CLR_INVALID);
  EXPECT_EQ(second.Bitmap(), bitmap);
  EXPECT_EQ(second.Pixel(3, 3), kOrange);

  TDibSection third(2, 2);
  const HBITMAP replaced = third.Bitmap();
  third = std::move(second);
  EXPECT_EQ(second.Bitmap(), nullptr);
  // The section it held is gone, the one it took is alive and whole.
  EXPECT_EQ(GetObjectType(replaced), 0u);
  EXPECT_EQ(third.Bitmap(), bitmap);
  EXPECT_EQ(third.Width(), 4);
  EXPECT_EQ(third.Pixel(0, 0), kOrange);
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
}

// What the radio glyph image cache costs: creating and filling it, and one
// glyph draw with and without a background against a plain blit of its size.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "controls/Modules.h"
#include "framework/Application.h"
#include "framework/Graphics.h"
#include "graphics/Canvas.h"
#include "lookandfeel/RadioButtonImageList.h"

using namespace lodo;

namespace {

constexpr int kRounds = 9;
constexpr int kDrawsPerRound = 5000;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Seconds per call of body, timed over `count` calls.
double Time(int count, const std::function<void()>& body) {
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  for (int i = 0; i < count; ++i) body();
  QueryPerformanceCounter(&to);
  return Seconds(from, to) / count;
}

// A screen-compatible bitmap in its own memory DC, like a window's surface.
struct TTarget {
  TMemoryDC DC;
  TBitmapHandle Bitmap;
  HGDIOBJ Old = nullptr;

  TTarget(int width, int height) {
    TWindowDC screen(nullptr);
    Bitmap.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    Old = SelectObject(DC.Get(), Bitmap.Get());
    PatBlt(DC.Get(), 0, 0, width, height, WHITENESS);
  }
  ~TTarget() { SelectObject(DC.Get(), Old); }
};

}  // namespace

int main() {
  TApplication application;
  TModulesScope modules;

  std::vector<double> create;
  std::vector<double> rebuild;
  for (int round = 0; round < kRounds; ++round) {
    DestroyRadioButtonImages();
    create.push_back(Time(1, [] { RadioButtonImages(); }));
    rebuild.push_back(Time(1, [] { RadioButtonImages().RebuildImages(); }));
  }
  const TGlyphGeometry& g = GlyphGeometry();
  std::printf("glyph %d x %d in a %d x %d cell, %d images\n", g.Width, g.Height, g.CellWidth, g.CellHeight,
              RadioButtonImages().ImageCount());
  std::printf("create and fill the cache: %8.3f ms (median of %d)\n", Median(create) * 1e3, kRounds);
  std::printf("rebuild the images:        %8.3f ms (median of %d)\n", Median(rebuild) * 1e3, kRounds);

  TTarget target(64, 64);
  TCanvas platform;
  platform.SetHandle(target.DC.Get());
  TcxCanvas canvas(&platform);
  TTarget source(g.Width, g.Height);
  const TcxRadioButtonImageList& cache = RadioButtonImages();

  // The three draws take turns within each round, so that they share the
  // machine's state; each round gives one figure per draw.
  std::vector<double> blit, plain, background;
  for (int round = 0; round < kRounds; ++round) {
    blit.push_back(Time(kDrawsPerRound, [&] {
      BitBlt(target.DC.Get(), 10, 10, g.Width, g.Height, source.DC.Get(), 0, 0, SRCCOPY);
    }));
    plain.push_back(Time(kDrawsPerRound, [&] {
      cache.DrawGlyphImage(canvas, 10, 10, clDefault, lfUltraFlat, btsHot, true, false, false);
    }));
    background.push_back(Time(kDrawsPerRound, [&] {
      cache.DrawGlyphImage(canvas, 10, 10, clBtnFace, lfUltraFlat, btsHot, true, false, false);
    }));
  }
  GdiFlush();
  const double floor = Median(blit);
  std::printf("one draw, median of %d rounds of %d:\n", kRounds, kDrawsPerRound);
  std::printf("  BitBlt of %d x %d (the floor):   %8.2f us\n", g.Width, g.Height, floor * 1e6);
  std::printf("  DrawGlyphImage, clDefault:      %8.2f us  (%.1f x the floor)\n", Median(plain) * 1e6,
              Median(plain) / floor);
  std::printf("  DrawGlyphImage, background:     %8.2f us  (%.1f x the floor)\n", Median(background) * 1e6,
              Median(background) / floor);
  return 0;
}

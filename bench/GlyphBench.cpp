// What the radio glyph image cache costs: creating and filling it, and one
// glyph draw with and without a background against a plain blit of its size.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench/BenchSupport.h"
#include "controls/Modules.h"
#include "framework/Application.h"
#include "framework/Graphics.h"
#include "graphics/Canvas.h"
#include "lookandfeel/RadioButtonImageList.h"

using namespace lodo;
using namespace lodo::bench;

namespace {

constexpr int kRounds = 9;
constexpr int kDrawsPerRound = 5000;

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
    blit.push_back(Time(kDrawsPerRound,
                        [&] { BitBlt(target.DC.Get(), 10, 10, g.Width, g.Height, source.DC.Get(), 0, 0, SRCCOPY); }));
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

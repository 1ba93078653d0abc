// The system brush table and the shared solid-brush cache with its
// least-used eviction; a system colour change empties the cache.
#include "graphics/SolidBrushCache.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>

namespace lodo {

namespace {

std::array<HBRUSH, kSystemBrushCount> gSystemBrushes{};
bool gSystemBrushesBuilt = false;
std::unique_ptr<TcxSolidBrushCache> gSharedCache;

std::uint32_t Key(TColor color) { return static_cast<std::uint32_t>(color); }

}  // namespace

const HBRUSH* SystemBrushTable() { return gSystemBrushesBuilt ? gSystemBrushes.data() : nullptr; }

void ReadSystemBrushTable() {
  for (int i = 0; i < kSystemBrushCount; ++i) gSystemBrushes[static_cast<std::size_t>(i)] = GetSysColorBrush(i);
  gSystemBrushesBuilt = true;
}

// The system's brushes are never deleted.
void ForgetSystemBrushTable() {
  gSystemBrushes.fill(nullptr);
  gSystemBrushesBuilt = false;
}

TcxSolidBrushCache::TcxSolidBrushCache(int capacity)
    : FColors(static_cast<std::size_t>(std::max(capacity, 1))),
      FBrushes(FColors.size()),
      FUseCounts(FColors.size()),
      FCapacity(static_cast<int>(FColors.size())),
      FNotifier(std::make_unique<TcxSystemPaletteChangedNotifier>(true)) {
  FNotifier->OnSystemColorsChanged = [this] {
    // Wine replaces the system brushes when the colours change (Windows
    // recolours them in place): the table is read again.
    if (gSystemBrushesBuilt) ReadSystemBrushTable();
    Clear();
  };
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FNotifier.reset();
  Clear();
}

HBRUSH TcxSolidBrushCache::BrushFor(TColor color) {
  const std::uint32_t key = Key(color);
  if (const HBRUSH* table = SystemBrushTable(); table && key >= 0xFF000000u && key <= 0xFF00001Eu)
    return table[key & 0xFFu];

  // Binary search in unsigned order: system colour numbers sort above RGB.
  const auto colorsEnd = FColors.begin() + FDepth;
  const auto found =
      std::lower_bound(FColors.begin(), colorsEnd, key, [](TColor entry, std::uint32_t k) { return Key(entry) < k; });
  int position = static_cast<int>(found - FColors.begin());
  const auto at = [](int index) { return static_cast<std::size_t>(index); };
  if (found != colorsEnd && Key(*found) == key) {
    ++FUseCounts[at(position)];
    return FBrushes[at(position)].Get();
  }

  if (FDepth == FCapacity) {
    // The least used goes; min_element keeps the first of equals, which in
    // sorted order is the lowest colour.
    const auto counts = FUseCounts.begin();
    const int victim = static_cast<int>(std::min_element(counts, counts + FDepth) - counts);
    // Erasing the victim's handle deletes its brush.
    FColors.erase(FColors.begin() + victim);
    FBrushes.erase(FBrushes.begin() + victim);
    FUseCounts.erase(FUseCounts.begin() + victim);
    FColors.push_back(0);
    FBrushes.emplace_back();
    FUseCounts.push_back(0);
    --FDepth;
    if (victim < position) --position;
  }

  TBrushHandle owned(CreateSolidBrush(ColorToRGB(color)));
  const HBRUSH brush = owned.Get();
  ++FCreated;
  FColors.insert(FColors.begin() + position, color);
  FBrushes.insert(FBrushes.begin() + position, std::move(owned));
  FUseCounts.insert(FUseCounts.begin() + position, 0);
  FColors.pop_back();
  FBrushes.pop_back();
  FUseCounts.pop_back();
  ++FDepth;
  return brush;
}

void TcxSolidBrushCache::Clear() {
  for (int i = 0; i < FDepth; ++i) FBrushes[static_cast<std::size_t>(i)].Reset();
  FDepth = 0;
}

TcxSolidBrushCache* SharedBrushCache() { return gSharedCache.get(); }

void CreateSharedBrushCache() {
  if (!gSharedCache) gSharedCache = std::make_unique<TcxSolidBrushCache>(kSharedBrushCacheCapacity);
}

void DestroySharedBrushCache() { gSharedCache.reset(); }

}  // namespace lodo

// Solid brushes by colour without a GDI allocation per fill: the system's own
// brushes for system colours, and one shared cache of up to 128 others.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Colors.h"
#include "framework/Gdi.h"
#include "graphics/SystemPaletteChanged.h"

namespace lodo {

constexpr int kSystemBrushCount = 31;
// GetSysColorBrush(0..30), borrowed from the system; null when not built.
const HBRUSH* SystemBrushTable();

// Colours kept sorted as unsigned numbers; a full cache evicts the least used
// entry (the first of equals) to make room.
class TcxSolidBrushCache {
 public:
  explicit TcxSolidBrushCache(int capacity);
  ~TcxSolidBrushCache();
  TcxSolidBrushCache(const TcxSolidBrushCache&) = delete;
  TcxSolidBrushCache& operator=(const TcxSolidBrushCache&) = delete;

  // The cache keeps the brush; callers never delete it or hold it past the
  // current drawing.
  HBRUSH BrushFor(TColor color);
  void Clear();

  int Depth() const { return FDepth; }
  int Capacity() const { return FCapacity; }
  TColor ColorAt(int index) const { return FColors[static_cast<std::size_t>(index)]; }
  std::uint32_t UseCountAt(int index) const { return FUseCounts[static_cast<std::size_t>(index)]; }
  HBRUSH BrushAt(int index) const { return FBrushes[static_cast<std::size_t>(index)].Get(); }
  // Brushes this cache has created since it was made, for the tests.
  int BrushesCreated() const { return FCreated; }

 private:
  std::vector<TColor> FColors;
  std::vector<TBrushHandle> FBrushes;
  std::vector<std::uint32_t> FUseCounts;
  int FDepth = 0;
  int FCapacity;
  int FCreated = 0;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FNotifier;
};

constexpr int kSharedBrushCacheCapacity = 128;
// The process's cache, null outside the brush module's lifetime.
TcxSolidBrushCache* SharedBrushCache();

// The brush module (graphics/GraphicsModule.h) makes and drops these two.
// Reading the table again is how it follows a colour change.
void ReadSystemBrushTable();
void ForgetSystemBrushTable();
// Makes the shared cache when there is none.
void CreateSharedBrushCache();
void DestroySharedBrushCache();

}  // namespace lodo

// The shared solid-brush cache (being built).
#include "graphics/SolidBrushCache.h"

namespace lodo {

const HBRUSH* SystemBrushTable() { return nullptr; }
TcxSolidBrushCache::TcxSolidBrushCache(int capacity) : FCapacity(capacity) {}
TcxSolidBrushCache::~TcxSolidBrushCache() = default;
HBRUSH TcxSolidBrushCache::BrushFor(TColor) { return nullptr; }
void TcxSolidBrushCache::Clear() {}
TcxSolidBrushCache* SharedBrushCache() { return nullptr; }
void InitializeBrushCacheModule() {}
void FinalizeBrushCacheModule() {}

}  // namespace lodo

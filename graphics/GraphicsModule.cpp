// Start-up and shutdown of the graphics library.
#include "graphics/GraphicsModule.h"

#include "graphics/Office2003Colors.h"
#include "graphics/SolidBrushCache.h"

namespace lodo {

void InitializeGraphicsModule() {
  SetThemeNameSource(nullptr);
  SetMajorVersionSource(nullptr);
}

void FinalizeGraphicsModule() {
  SetThemeNameSource(nullptr);
  SetMajorVersionSource(nullptr);
}

void InitializeBrushCacheModule() {
  if (!SystemBrushTable()) ReadSystemBrushTable();
  CreateSharedBrushCache();
}

void FinalizeBrushCacheModule() {
  DestroySharedBrushCache();
  ForgetSystemBrushTable();
}

}  // namespace lodo

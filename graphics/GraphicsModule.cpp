// Start-up and shutdown of the graphics library.
#include "graphics/GraphicsModule.h"

#include "graphics/Office2003Colors.h"

namespace lodo {

void InitializeGraphicsModule() {
  SetThemeNameSource(nullptr);
  SetMajorVersionSource(nullptr);
}

void FinalizeGraphicsModule() {
  SetThemeNameSource(nullptr);
  SetMajorVersionSource(nullptr);
}

}  // namespace lodo

// Start-up and shutdown of the look-and-feel library's painter module: the skin
// painter registry and the radio glyph cache's colour notifier.
#pragma once

namespace lodo {

// Creates the skin painter registry and the glyph cache's high-priority
// colour notifier; shutdown destroys the notifier, the cache and the registry.
void InitializePainterModule();
void FinalizePainterModule();

}  // namespace lodo

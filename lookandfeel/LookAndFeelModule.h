// Start-up and shutdown of the look-and-feel library: the root look-and-feel,
// then the painter module (skin painter registry, glyph cache notifier).
#pragma once

namespace lodo {

// Creates the root look-and-feel; shutdown destroys it.
void InitializeLookAndFeelModule();
void FinalizeLookAndFeelModule();

// Creates the skin painter registry and the glyph cache's high-priority
// colour notifier; shutdown destroys the notifier, the cache and the registry.
void InitializePainterModule();
void FinalizePainterModule();

}  // namespace lodo

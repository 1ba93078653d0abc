// Start-up and shutdown of the graphics library (its process-wide state): the
// colour sources, and the brush module.
#pragma once

namespace lodo {

// Starts with no Office 2003 colours held and the real theme-name sources;
// the colour listener itself comes and goes with its notifiers.
void InitializeGraphicsModule();
void FinalizeGraphicsModule();

// The brush module: builds the system brush table, then the shared solid-brush
// cache; shutdown reverses it.
void InitializeBrushCacheModule();
void FinalizeBrushCacheModule();

}  // namespace lodo

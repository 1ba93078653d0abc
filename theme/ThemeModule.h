// Start-up and shutdown of the theme library: binding, then theme manager.
#pragma once

namespace lodo {

// Initialises common controls, binds the visual-styles library when the
// system has it and starts the theme manager. A second call does nothing.
void InitializeThemeModule();
// Stops the theme manager, then frees the library. Safe without a start.
void FinalizeThemeModule();

}  // namespace lodo

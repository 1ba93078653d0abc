// Start-up and shutdown of the graphics library (its process-wide state).
#pragma once

namespace lodo {

// Starts with no Office 2003 colours held and the real theme-name sources;
// the colour listener itself comes and goes with its notifiers.
void InitializeGraphicsModule();
void FinalizeGraphicsModule();

}  // namespace lodo

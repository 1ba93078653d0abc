// Start-up and shutdown of the controls library.
#include "controls/ControlsModule.h"

#include "controls/MouseTracking.h"
#include "controls/Timer.h"

namespace lodo {

// The timer window and the tracking list come on first use; a start after a
// shutdown (the tests restart the modules) only lifts the shutdown flag.
void InitializeControlsModule() { SetControlsShutdownStarted(false); }

void FinalizeControlsModule() { FinalizeMouseTracking(); }

}  // namespace lodo

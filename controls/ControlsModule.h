// Start-up and shutdown of the controls library: the shared timer window and
// the mouse tracking list come and go with it.
#pragma once

namespace lodo {

void InitializeControlsModule();
// Sets the shutdown flag first; fails with "MouseTrackingTimerList.Count <> 0"
// while trackings are still alive.
void FinalizeControlsModule();

}  // namespace lodo

// Start-up and shutdown of the controls library.
#include "controls/ControlsModule.h"

namespace lodo {

void InitializeControlsModule() {}
void FinalizeControlsModule() {}

}  // namespace lodo

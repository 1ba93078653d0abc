// Start-up and shutdown of the painter module.
#include "lookandfeel/LookAndFeelModule.h"

namespace lodo {

void InitializePainterModule() {}
void FinalizePainterModule() {}

}  // namespace lodo

// Start-up and shutdown of the root look-and-feel.
#include "lookandfeel/LookAndFeelModule.h"

namespace lodo {

void InitializeLookAndFeelModule() {}
void FinalizeLookAndFeelModule() {}

}  // namespace lodo

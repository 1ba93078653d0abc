// Start-up and shutdown of the look-and-feel library's root look-and-feel; the
// painter module (lookandfeel/PainterModule.h) starts after it.
#pragma once

namespace lodo {

// Creates the root look-and-feel; shutdown destroys it.
void InitializeLookAndFeelModule();
void FinalizeLookAndFeelModule();

}  // namespace lodo

// Start-up and shutdown of the root look-and-feel.
#include "lookandfeel/LookAndFeelModule.h"

#include <memory>

#include "lookandfeel/LookAndFeel.h"

namespace lodo {

namespace {

std::unique_ptr<TcxLookAndFeel> gRootHolder;

}  // namespace

// The root's palette notifier is the first one, so it brings up the
// colour-change distribution.
void InitializeLookAndFeelModule() {
  if (!gRootHolder) gRootHolder = TcxLookAndFeel::CreateRoot();
}

void FinalizeLookAndFeelModule() { gRootHolder.reset(); }

}  // namespace lodo

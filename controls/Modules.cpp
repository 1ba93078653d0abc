// The start-up order of the modules, in one table.
#include "controls/Modules.h"

#include <array>
#include <cstddef>
#include <exception>

#include "controls/ControlsModule.h"
#include "framework/Accessible.h"
#include "framework/Application.h"
#include "graphics/GraphicsModule.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "lookandfeel/PainterModule.h"
#include "theme/ThemeModule.h"

namespace lodo {

namespace {

struct TModule {
  void (*Initialize)();
  void (*Finalize)();
};

// Lower libraries first: the theme binding before anything that asks it, the
// root look-and-feel before the painters, and the controls' shutdown check
// (no live mouse tracking) first of all at the end; the COM apartment of the
// accessible objects closes last, when every window is gone.
constexpr std::array<TModule, 7> kModules = {{
    {InitializeAccessibilityModule, FinalizeAccessibilityModule},
    {InitializeThemeModule, FinalizeThemeModule},
    {InitializeGraphicsModule, FinalizeGraphicsModule},
    {InitializeLookAndFeelModule, FinalizeLookAndFeelModule},
    {InitializePainterModule, FinalizePainterModule},
    {InitializeBrushCacheModule, FinalizeBrushCacheModule},
    {InitializeControlsModule, FinalizeControlsModule},
}};

std::size_t gStarted = 0;

}  // namespace

void InitializeModules() {
  if (gStarted > 0) return;
  try {
    for (const TModule& module : kModules) {
      module.Initialize();
      ++gStarted;
    }
  } catch (...) {
    FinalizeModules();
    throw;
  }
}

void FinalizeModules() {
  std::exception_ptr first;
  while (gStarted > 0) {
    try {
      kModules[--gStarted].Finalize();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

TModulesScope::~TModulesScope() {
  try {
    FinalizeModules();
  } catch (...) {
    ReportCurrentException();
  }
}

}  // namespace lodo

// The start-up order of the modules, in one table.
#include "graphics/Modules.h"

#include <array>
#include <cstddef>

#include "graphics/GraphicsModule.h"
#include "theme/ThemeModule.h"

namespace lodo {

namespace {

struct TModule {
  void (*Initialize)();
  void (*Finalize)();
};

// Lower libraries first: the theme binding before anything that asks it.
constexpr std::array<TModule, 2> kModules = {{
    {InitializeThemeModule, FinalizeThemeModule},
    {InitializeGraphicsModule, FinalizeGraphicsModule},
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
  while (gStarted > 0) kModules[--gStarted].Finalize();
}

}  // namespace lodo

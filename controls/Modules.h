// The one place that starts the libraries' modules in order and shuts them
// down in reverse; libraries above this one add their entries to its table.
#pragma once

namespace lodo {

// Starts every module in order; when one fails, those already started are
// shut down again and the error goes on to the caller.
void InitializeModules();
// Shuts the started modules down in reverse order. Safe to call twice. A
// module whose shutdown fails is still counted as stopped, the later ones
// are shut down all the same, and the first error goes on to the caller.
void FinalizeModules();

// Starts the modules for its lifetime (the program's entry, the tests). An
// error at shutdown goes to the application's error handler: a destructor
// must not throw.
class TModulesScope {
 public:
  TModulesScope() { InitializeModules(); }
  ~TModulesScope();
  TModulesScope(const TModulesScope&) = delete;
  TModulesScope& operator=(const TModulesScope&) = delete;
};

}  // namespace lodo

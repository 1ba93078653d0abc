// Helpers of the look-and-feel tests: a log of owner callbacks, a plain
// listener with a hook, and a fixture with the modules and the skin registry.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

#include "controls/Modules.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/SkinPainters.h"

namespace lodo {

inline void PrintTo(const TcxLookAndFeelValues& values, std::ostream* os) {
  *os << '{' << (values.Contains(lfvKind) ? " Kind" : "") << (values.Contains(lfvNativeStyle) ? " NativeStyle" : "")
      << (values.Contains(lfvSkinName) ? " SkinName" : "") << " }";
}

}  // namespace lodo

namespace lodo::test {

using TValuesLog = std::vector<TcxLookAndFeelValues>;

// Records every owner callback of a look-and-feel.
inline void Record(TcxLookAndFeel& lookAndFeel, TValuesLog& log) {
  lookAndFeel.OnLookAndFeelChanged = [&log, &lookAndFeel](TcxLookAndFeel* sender, TcxLookAndFeelValues changed) {
    EXPECT_EQ(sender, &lookAndFeel);
    log.push_back(changed);
  };
}

// A listener that is not a look-and-feel; Hook runs inside MasterChanged.
class TFakeListener : public IcxLookAndFeelListener {
 public:
  TPersistent* ListenerObject() override { return nullptr; }
  void MasterChanged(TcxLookAndFeel*, TcxLookAndFeelValues changed) override {
    Changes.push_back(changed);
    if (Hook) Hook();
  }
  void MasterDestroying(TcxLookAndFeel*) override { ++Destroyings; }
  TValuesLog Changes;
  int Destroyings = 0;
  std::function<void()> Hook;
};

// The modules (with them the root and the skin registry) for each test.
class TLookAndFeelTest : public testing::Test {
 protected:
  TcxLookAndFeel& Root() const { return *RootLookAndFeel(); }

  TModulesScope FModules;
};

}  // namespace lodo::test

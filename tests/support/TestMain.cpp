// The entry of every test executable: one application object for the
// process, errors collected instead of shown in a box, then GoogleTest.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  lodo::TApplication application;
  application.OnException = [](const std::string& message) { lodo::test::ErrorsSeen().push_back(message); };
  return RUN_ALL_TESTS();
}

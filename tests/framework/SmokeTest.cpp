#include <gtest/gtest.h>

#include "framework/Panel.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

TEST(Smoke, PanelPaintsItsColour) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TPanel>(&form, 10, 10, 50, 50);
    panel->SetColor(clRed);
    test::Pump(50);
    test::TDib dib(100, 100);
    dib.CaptureClient(form.Handle());
    EXPECT_EQ(dib.Pixel(30, 30), RGB(255, 0, 0));
  });
}

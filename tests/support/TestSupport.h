// Test helpers: pumping a real message loop, a visible test form, and 32-bit
// DIB sections whose pixels can be read back.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/DibSection.h"
#include "framework/Form.h"
#include "framework/Gdi.h"

namespace lodo::test {

// Processes messages for at least `ms` milliseconds.
void Pump(int ms = 0);
// Processes messages until `done` holds or `timeoutMs` passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);

// Errors that reached the application's error handler during the test.
std::vector<std::string>& ErrorsSeen();

// A test during which no error may reach the application's error handler;
// what came before it is forgotten.
class TErrorFreeTest : public ::testing::Test {
 protected:
  void SetUp() override { ErrorsSeen().clear(); }
  void TearDown() override { EXPECT_TRUE(ErrorsSeen().empty()) << ErrorsSeen().front(); }
};

// A visible top-level form at a fixed place, destroyed with the helper.
class TTestForm {
 public:
  explicit TTestForm(int clientWidth = 400, int clientHeight = 300);
  ~TTestForm();
  TForm* operator->() const { return FForm.get(); }
  TForm& operator*() const { return *FForm; }
  TForm* Get() const { return FForm.get(); }
  // Shows the form, brings it to the front and waits until it is painted.
  void ShowAndWait();

 private:
  std::unique_ptr<TForm> FForm;
};

// Runs body with a visible test form and a message loop around it.
void WithTestForm(const std::function<void(TForm& form)>& body);

// A new control in a parent, owned by the parent's owner (the parent itself
// when it has none); with bounds, given as SetBounds takes them.
template <typename T>
T* Place(TWinControl* parent) {
  auto* control = new T(parent->Owner() ? parent->Owner() : parent);
  control->SetParent(parent);
  return control;
}
template <typename T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  T* control = Place<T>(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A 32-bit top-down DIB section selected into its own memory DC.
class TDib {
 public:
  TDib(int width, int height, COLORREF fill = RGB(255, 255, 255));
  TDib(const TDib&) = delete;
  TDib& operator=(const TDib&) = delete;

  HDC DC() const { return FDC.Get(); }
  int Width() const { return FDib.Width(); }
  int Height() const { return FDib.Height(); }
  // The pixel as a COLORREF (0x00BBGGRR), read from the bits.
  COLORREF Pixel(int x, int y) const;
  void Fill(COLORREF color);
  // Counts the pixels of one colour in a rectangle.
  int Count(COLORREF color, RECT area) const;
  // Copies a window's client area (as shown on screen) into the DIB.
  void CaptureClient(HWND window);
  // Writes the picture as a 24-bit BMP, for looking at a failure.
  bool SaveBmp(const std::string& path) const;

 private:
  // Declared in this order so that the bitmap is deselected before either goes.
  TDibSection FDib;
  TMemoryDC FDC;
  TSelectGuard FSelect;
};

// Every pixel of the area alike in two DIBs, or how many differ.
int DifferentPixels(const TDib& a, const TDib& b, const RECT& area);
int DifferentPixels(const TDib& a, const TDib& b);

// The smallest rectangle around the points of the area for which `counts`
// holds; with none, the area turned inside out (right < left).
RECT PixelBox(const RECT& area, const std::function<bool(int x, int y)>& counts);

// The size of a text in a font, as the screen's DC measures it.
SIZE ScreenTextSize(HFONT font, const std::wstring& text);

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected);
// ASCII letters in lower case, as the profile functions compare names.
std::string Lower(std::string text);

// Moves the real pointer to a screen point and lets the system deliver the move.
void MoveMouseTo(POINT screen);
// Synthesises real input through SendInput.
void MouseClickAt(POINT screen, bool right = false);
// Two left clicks in a row, well within the double-click time: down, up,
// double-click, up.
void MouseDoubleClickAt(POINT screen);
void MouseDown(bool right = false);
void MouseUp(bool right = false);
void KeyPress(WORD vk, bool shift = false, bool alt = false, bool ctrl = false);
// Queues the same key input without processing it.
void SendKeyInput(WORD vk, bool shift = false, bool alt = false, bool ctrl = false);
// Processes messages through the application's loop step (keyboard
// pre-processing included) for at least `ms` milliseconds.
void PumpApplication(int ms = 0);
// A real key press, processed by the application's loop (which hands keys to
// the focused control and the form's navigation first).
void Press(WORD vk, bool shift = false);

}  // namespace lodo::test

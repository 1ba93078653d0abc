// A framework canvas and the library's canvas over a DIB's DC, as a control's
// paint hands one to the drawing helpers. Header only: the tests that use it
// link the graphics library, the others need not.
#pragma once
#include "framework/Graphics.h"
#include "graphics/Canvas.h"
#include "tests/support/TestSupport.h"

namespace lodo::test {

class TDibCanvas {
 public:
  explicit TDibCanvas(const TDib& dib) : FCanvas(&FPlatform) { FPlatform.SetHandle(dib.DC()); }
  ~TDibCanvas() { FPlatform.SetHandle(nullptr); }
  TDibCanvas(const TDibCanvas&) = delete;
  TDibCanvas& operator=(const TDibCanvas&) = delete;
  TcxCanvas& operator*() { return FCanvas; }
  TcxCanvas* operator->() { return &FCanvas; }
  TCanvas& Platform() { return FPlatform; }

 private:
  TCanvas FPlatform;
  TcxCanvas FCanvas;
};

// A DIB of its own with the canvases over it.
struct TOwnDibCanvas {
  TOwnDibCanvas(int width, int height) : Dib(width, height), Canvas(Dib) {}
  TDib Dib;
  TDibCanvas Canvas;
};

}  // namespace lodo::test

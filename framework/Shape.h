// A rectangle outline drawn with a pen and an optional brush.
#pragma once
#include "framework/Control.h"

namespace lodo {

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* owner);

  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  void Paint(TCanvas& canvas) override;

 private:
  TPen FPen;
  TBrush FBrush;
};

}  // namespace lodo

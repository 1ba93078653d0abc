// Shape painting.
#include "framework/Shape.h"

namespace lodo {

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 65);
  FPen.OnChange = [this] { Invalidate(); };
  FBrush.OnChange = [this] { Invalidate(); };
}

void TShape::Paint(TCanvas& canvas) {
  canvas.Pen().SetColor(FPen.Color());
  canvas.Pen().SetStyle(FPen.Style());
  canvas.Pen().SetWidth(FPen.Width());
  canvas.Brush().SetColor(FBrush.Color());
  canvas.Brush().SetStyle(FBrush.Style());
  // The outline lies inside the bounds: half the pen width in from each edge.
  const int inset = FPen.Width() / 2;
  const int w = Width() - FPen.Width() + 1;
  const int h = Height() - FPen.Width() + 1;
  canvas.Rectangle(inset, inset, inset + w, inset + h);
}

}  // namespace lodo

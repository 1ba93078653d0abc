// Image painting.
#include "framework/Image.h"

namespace lodo {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::PictureChanged() { Invalidate(); }

void TImage::Paint(TCanvas& canvas) { FPicture.Draw(canvas.Handle(), 0, 0); }

}  // namespace lodo

// A picture control: draws its bitmap at natural size, through its mask
// when it has one.
#pragma once
#include "framework/Control.h"

namespace lodo {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);

  TBitmap& Picture() { return FPicture; }
  void PictureChanged();
  void Paint(TCanvas& canvas) override;

 private:
  TBitmap FPicture;
};

}  // namespace lodo

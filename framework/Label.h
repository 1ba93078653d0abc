// A text label painted by its parent; with AutoSize it takes its text's size.
#pragma once
#include "framework/Control.h"

namespace lodo {

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  void Paint(TCanvas& canvas) override;
  // Sizes the label to its text in its font.
  void AdjustSize();

 protected:
  void TextChanged() override;
  void FontChanged() override;

 private:
  bool FAutoSize = true;
};

}  // namespace lodo

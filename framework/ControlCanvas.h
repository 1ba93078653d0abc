// A canvas bound to a control: it gets the control's DC on demand, or is
// given the DC of one paint and handed back afterwards.
#pragma once
#include "framework/Graphics.h"

namespace lodo {

class TControl;

class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* control = nullptr) : FControl(control) {}
  ~TControlCanvas() override;

  TControl* Control() const { return FControl; }
  void SetControl(TControl* control);
  // Drops a DC obtained on demand (a given DC is simply forgotten).
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  TWindowDC FOwnDC;  // a DC obtained on demand
};

}  // namespace lodo

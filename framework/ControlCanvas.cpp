// Control-bound canvas.
#include "framework/ControlCanvas.h"

#include "framework/WinControl.h"

namespace lodo {

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (control == FControl) return;
  FreeHandle();
  FControl = control;
}

void TControlCanvas::FreeHandle() {
  if (FOwnDC.Get() && Handle() == FOwnDC.Get()) SetHandle(nullptr);
  FOwnDC.Reset();
}

void TControlCanvas::CreateHandle() {
  TWinControl* window = FControl ? FControl->AsWinControl() : nullptr;
  if (!window || !window->HandleAllocated()) return;
  FOwnDC = TWindowDC(window->Handle());
  SetHandle(FOwnDC.Get());
}

}  // namespace lodo

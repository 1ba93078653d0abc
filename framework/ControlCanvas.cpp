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
  if (FOwnDC && Handle() == FOwnDC) SetHandle(nullptr);
  if (FOwnDC) ReleaseDC(FWindow, FOwnDC);
  FOwnDC = nullptr;
  FWindow = nullptr;
}

void TControlCanvas::CreateHandle() {
  auto* window = dynamic_cast<TWinControl*>(FControl);
  if (!window || !window->HandleAllocated()) return;
  FWindow = window->Handle();
  FOwnDC = GetDC(FWindow);
  SetHandle(FOwnDC);
}

}  // namespace lodo

// Mouse-leave tracking: a 10 ms polling timer per tracked rectangle tells its
// control once the pointer is outside, also when the control saw no last move.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/Timer.h"
#include "framework/WinControl.h"

namespace lodo {

// An object that wants to hear that the pointer has left it. The pointer
// identifies its tracking; a caller ends its tracking before it goes (the
// base destructor ends one that is still there, so no tick reaches a dead
// object).
class IcxMouseTrackingCaller {
 public:
  virtual void MouseHasLeft() = 0;

 protected:
  IcxMouseTrackingCaller() = default;
  virtual ~IcxMouseTrackingCaller();
};

// One tracking: the caller, the control whose window the rectangle belongs
// to (or none), and the rectangle in screen coordinates. Runs from creation.
class TMouseTrackingTimer : public TcxTimer {
 public:
  TMouseTrackingTimer(TWinControl* control, const RECT& screenBounds, IcxMouseTrackingCaller* caller);

  IcxMouseTrackingCaller* Caller() const { return FCaller; }
  TWinControl* Control() const { return FControl; }
  const RECT& Bounds() const { return FBounds; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class IcxMouseTrackingCaller;

  void Tick();

  TWinControl* FControl;
  RECT FBounds;
  IcxMouseTrackingCaller* FCaller;
};

using TMouseTrackingTimers = std::vector<std::unique_ptr<TMouseTrackingTimer>>;

// The live trackings in start order, or null before the first start and after
// the library's shutdown.
const TMouseTrackingTimers* MouseTrackingTimerList();

// Bounds are in the control's client coordinates, or in screen coordinates
// when control is null. A caller already tracked keeps its first bounds.
void StartMouseTracking(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller);
void StopMouseTracking(IcxMouseTrackingCaller* caller);
bool IsMouseTracked(IcxMouseTrackingCaller* caller);

// Shutdown of the tracking service: the shutdown flag first, then the check
// that no tracking is left ("MouseTrackingTimerList.Count <> 0"), then the
// list, the timer window and the running ids are freed.
void FinalizeMouseTracking();

}  // namespace lodo

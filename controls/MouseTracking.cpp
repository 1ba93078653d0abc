// Mouse-leave tracking: the tracking list, the per-tracking poll and the
// shutdown check.
#include "controls/MouseTracking.h"

#include <utility>

#include "framework/Exceptions.h"
#include "framework/Messages.h"

namespace lodo {

namespace {

std::unique_ptr<TMouseTrackingTimers> gList;

// The callers of the ticks running now, innermost first. A tick may lead to
// its caller's destruction; the caller's destructor then clears its entry so
// the tick calls nothing more on it.
struct TTickCaller {
  IcxMouseTrackingCaller* Caller;
  TTickCaller* Outer;
};
TTickCaller* gTicks = nullptr;

class TTickScope {
 public:
  explicit TTickScope(IcxMouseTrackingCaller* caller) : FEntry{caller, gTicks} { gTicks = &FEntry; }
  ~TTickScope() { gTicks = FEntry.Outer; }
  TTickScope(const TTickScope&) = delete;
  TTickScope& operator=(const TTickScope&) = delete;
  IcxMouseTrackingCaller* Caller() const { return FEntry.Caller; }

 private:
  TTickCaller FEntry;
};

TMouseTrackingTimers::iterator FindEntry(IcxMouseTrackingCaller* caller) {
  auto it = gList->begin();
  while (it != gList->end() && (*it)->Caller() != caller) ++it;
  return it;
}

// Takes the caller's timer out of the list before freeing it, so whatever its
// destruction sets off sees the list without it.
void RemoveTracking(IcxMouseTrackingCaller* caller) {
  if (!gList) return;
  auto it = FindEntry(caller);
  if (it == gList->end()) return;
  std::unique_ptr<TMouseTrackingTimer> timer = std::move(*it);
  gList->erase(it);
}

POINT CursorPosition() {
  POINT p{};
  if (!GetCursorPos(&p)) p = POINT{-1, -1};
  return p;
}

// The control's window exists and is enabled, and so is every parent window
// up to the first one that is not a child window.
bool ControlAvailable(TWinControl* control) {
  if (!control || !control->HandleAllocated()) return false;
  HWND window = control->Handle();
  for (;;) {
    if (!IsWindowEnabled(window)) return false;
    if ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0) return true;
    window = GetParent(window);
  }
}

}  // namespace

IcxMouseTrackingCaller::~IcxMouseTrackingCaller() {
  for (TTickCaller* tick = gTicks; tick; tick = tick->Outer)
    if (tick->Caller == this) tick->Caller = nullptr;
  // Also after the shutdown flag: no timer may outlive the object it calls.
  RemoveTracking(this);
}

TMouseTrackingTimer::TMouseTrackingTimer(TWinControl* control, const RECT& screenBounds, IcxMouseTrackingCaller* caller)
    : TcxTimer(nullptr), FControl(control), FBounds(screenBounds), FCaller(caller) {
  // A control that goes away while tracked is simply no longer available.
  if (FControl) FreeNotification(FControl);
  SetInterval(10);
  SetOnTimer([this](TcxTimer*) { Tick(); });
}

void TMouseTrackingTimer::Notification(TComponent* component, TOperation operation) {
  TcxTimer::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FControl) FControl = nullptr;
}

void TMouseTrackingTimer::Tick() {
  // A tracking left over when shutdown began must not call anyone any more.
  if (ControlsShutdownStarted()) return;
  const POINT p = CursorPosition();
  const bool inside = PtInRect(&FBounds, p) != 0;
  // Without a control, screen bounds alone decide.
  const bool available = FControl ? ControlAvailable(FControl) : true;
  if (inside && available) return;

  // The notification and MouseHasLeft may free this timer: only locals from here.
  TWinControl* control = FControl;
  TTickScope tick(FCaller);
  if (control && control->HandleAllocated()) {
    HWND window = control->Handle();
    POINT q = CursorPosition();
    ScreenToClient(window, &q);
    RECT client{};
    GetClientRect(window, &client);
    // Bounds may be smaller than the client area: leaving them while still
    // over an available control is no mouse leave for the control.
    if (!PtInRect(&client, q) || !available) SendMessageW(window, FM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  }
  if (tick.Caller()) {
    try {
      tick.Caller()->MouseHasLeft();
    } catch (...) {
      // End the tracking before the error goes on, or every later tick would
      // fail the same way (under the error box's own message loop, too).
      if (tick.Caller()) StopMouseTracking(tick.Caller());
      throw;
    }
  }
  if (tick.Caller()) StopMouseTracking(tick.Caller());
}

const TMouseTrackingTimers* MouseTrackingTimerList() { return ControlsShutdownStarted() ? nullptr : gList.get(); }

void StartMouseTracking(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller) {
  // Without a caller nobody could be told, nor end the tracking.
  if (!caller || ControlsShutdownStarted() || IsMouseTracked(caller)) return;
  RECT screen = bounds;
  if (control && control->HandleAllocated()) {
    // Corner by corner: mapping both at once would swap them in a mirrored window.
    MapWindowPoints(control->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&screen.left), 1);
    MapWindowPoints(control->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&screen.right), 1);
  }
  auto timer = std::make_unique<TMouseTrackingTimer>(control, screen, caller);
  if (!gList) gList = std::make_unique<TMouseTrackingTimers>();
  gList->push_back(std::move(timer));
}

void StopMouseTracking(IcxMouseTrackingCaller* caller) {
  if (ControlsShutdownStarted()) return;
  RemoveTracking(caller);
}

bool IsMouseTracked(IcxMouseTrackingCaller* caller) {
  return !ControlsShutdownStarted() && gList && FindEntry(caller) != gList->end();
}

void FinalizeMouseTracking() {
  SetControlsShutdownStarted(true);
  if (gList && !gList->empty()) throw Exception("MouseTrackingTimerList.Count <> 0");
  gList.reset();
  FreeTimerWindow();
}

}  // namespace lodo

// A timer component driven by one shared hidden window: each running timer is
// a platform timer on that window, its event id the timer object's address.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "framework/Component.h"
#include "framework/MessageWindow.h"

namespace lodo {

class TcxTimer;
using TcxTimerEvent = std::function<void(TcxTimer* sender)>;

class TcxTimer : public TComponent {
 public:
  explicit TcxTimer(TComponent* owner);
  ~TcxTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Milliseconds; 0 or the present value changes nothing.
  int Interval() const { return FInterval; }
  void SetInterval(int value);
  const TcxTimerEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TcxTimerEvent handler);

  // A platform timer is set for this object now.
  bool Running() const { return FRunning; }
  UINT_PTR EventId() const { return reinterpret_cast<UINT_PTR>(this); }

 protected:
  // Fires OnTimer; the timer window calls it for a running id only.
  virtual void Timer();

 private:
  friend class TcxTimerWindow;

  // Kills a running platform timer, then sets one when the timer should run.
  void UpdateTimer();
  void KillPlatformTimer();

  bool FEnabled = true;
  int FInterval = 1000;
  TcxTimerEvent FOnTimer;
  bool FRunning = false;
};

// The hidden window every TcxTimer's platform timer is set on.
class TcxTimerWindow : public TMessageWindow {
 public:
  TcxTimerWindow();

 private:
  bool HandleMessage(TMessage& message);
};

// The shared timer window, created on first use; null once the library's
// shutdown has begun.
TcxTimerWindow* TimerWindow();
// The window as it is now, without creating it (null when there is none).
HWND TimerWindowHandle();
// Whether an event id has a platform timer set on the shared window.
bool IsRunningTimerId(UINT_PTR id);
// Destroys the shared window and forgets the running ids.
void FreeTimerWindow();

// Set at the start of the library's shutdown, cleared when it starts: while
// set, neither the timer window nor the tracking list is created again.
bool ControlsShutdownStarted();
void SetControlsShutdownStarted(bool value);

}  // namespace lodo

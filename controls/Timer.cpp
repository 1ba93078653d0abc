// The timer component and the one hidden window its platform timers live on.
#include "controls/Timer.h"

#include <algorithm>
#include <vector>

namespace lodo {

namespace {

bool gShutdownStarted = false;
std::unique_ptr<TcxTimerWindow> gTimerWindow;
// The ids whose platform timer is set now. A WM_TIMER may still be queued
// after its timer was killed or freed; only an id found here is trusted to
// name a live TcxTimer.
std::unique_ptr<std::vector<UINT_PTR>> gRunningIds;

std::vector<UINT_PTR>& RunningIds() {
  if (!gRunningIds) gRunningIds = std::make_unique<std::vector<UINT_PTR>>();
  return *gRunningIds;
}

}  // namespace

bool ControlsShutdownStarted() { return gShutdownStarted; }
void SetControlsShutdownStarted(bool value) { gShutdownStarted = value; }

TcxTimerWindow* TimerWindow() {
  if (gShutdownStarted) return nullptr;
  if (!gTimerWindow) gTimerWindow = std::make_unique<TcxTimerWindow>();
  return gTimerWindow.get();
}

HWND TimerWindowHandle() { return gTimerWindow ? gTimerWindow->Handle() : nullptr; }

bool IsRunningTimerId(UINT_PTR id) {
  return gRunningIds && std::find(gRunningIds->begin(), gRunningIds->end(), id) != gRunningIds->end();
}

void FreeTimerWindow() {
  // Destroying the window takes its platform timers with it.
  gTimerWindow.reset();
  gRunningIds.reset();
}

TcxTimerWindow::TcxTimerWindow() : TMessageWindow([this](TMessage& message) { return HandleMessage(message); }) {}

bool TcxTimerWindow::HandleMessage(TMessage& message) {
  if (message.Msg != WM_TIMER) return false;
  message.Result = 0;
  if (IsRunningTimerId(message.WParam)) reinterpret_cast<TcxTimer*>(message.WParam)->Timer();
  return true;
}

TcxTimer::TcxTimer(TComponent* owner) : TComponent(owner) {}

TcxTimer::~TcxTimer() { KillPlatformTimer(); }

void TcxTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTimer();
}

void TcxTimer::SetInterval(int value) {
  if (value == 0 || value == FInterval) return;
  FInterval = value;
  UpdateTimer();
}

void TcxTimer::SetOnTimer(TcxTimerEvent handler) {
  FOnTimer = std::move(handler);
  UpdateTimer();
}

void TcxTimer::Timer() {
  if (!FOnTimer) return;
  // The handler may free this timer (and with it FOnTimer): run a copy.
  TcxTimerEvent handler = FOnTimer;
  handler(this);
}

void TcxTimer::UpdateTimer() {
  KillPlatformTimer();
  if (!FEnabled || !FOnTimer) return;
  TcxTimerWindow* window = TimerWindow();
  if (!window) return;
  FRunning = SetTimer(window->Handle(), EventId(), static_cast<UINT>(FInterval), nullptr) != 0;
  if (FRunning) RunningIds().push_back(EventId());
}

void TcxTimer::KillPlatformTimer() {
  if (!FRunning) return;
  FRunning = false;
  if (HWND window = TimerWindowHandle()) KillTimer(window, EventId());
  if (gRunningIds) std::erase(*gRunningIds, EventId());
}

}  // namespace lodo

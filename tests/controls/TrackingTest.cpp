// The timer component and mouse-leave tracking, driven by the real pointer
// and the real message loop; the library's shutdown check.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ControlHelpers.h"
#include "controls/ControlsModule.h"
#include "controls/Modules.h"
#include "controls/MouseTracking.h"
#include "controls/Timer.h"
#include "framework/Exceptions.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

using TLog = std::vector<std::string>;

// A windowed control that wants to hear of the pointer leaving. It logs the
// tracking's own leave notification (the one naming itself) as "leave" and
// MouseHasLeft as "left", into a log that outlives it.
class TTracked : public TWinControl, public IcxMouseTrackingCaller {
 public:
  TTracked(TComponent* owner, TLog& log, bool stopInDestructor = true)
      : TWinControl(owner), FLog(log), FStopInDestructor(stopInDestructor) {}
  ~TTracked() override {
    if (FStopInDestructor) StopMouseTracking(this);
  }

  void MouseHasLeft() override {
    FLog.push_back("left");
    if (OnLeft) OnLeft();
  }

  void WndProc(TMessage& message) override {
    if (message.Msg == FM_MOUSELEAVE && message.LParam == reinterpret_cast<LPARAM>(this)) {
      FLog.push_back("leave");
      // The handler may destroy this control: run a copy and touch nothing after.
      std::function<void()> handler = OnLeave;
      if (handler) handler();
      return;
    }
    TWinControl::WndProc(message);
  }

  std::function<void()> OnLeft;
  std::function<void()> OnLeave;

 private:
  TLog& FLog;
  bool FStopInDestructor;
};

class Tracking : public testing::Test {
 protected:
  void SetUp() override {
    FForm.ShowAndWait();
    // A panel between form and control, so the enabled test has a chain to climb.
    FPanel = test::Place<TWinControl>(FForm.Get(), 20, 20, 300, 200);
    FControl = NewTracked();
    test::Pump(30);
  }

  TTracked* NewTracked(bool stopInDestructor = true) {
    auto* control = new TTracked(FForm.Get(), FLog, stopInDestructor);
    control->SetParent(FPanel);
    control->SetBounds(40, 40, 120, 60);
    control->HandleNeeded();
    return control;
  }

  POINT OnControl(int x, int y) const { return FControl->ClientToScreen(POINT{x, y}); }
  void PointerOnControl(int x = 60, int y = 30) { test::MoveMouseTo(OnControl(x, y)); }
  // The pointer over the control, then a tracking of its whole client area.
  void TrackPointerOnControl() {
    PointerOnControl();
    StartMouseTracking(FControl, LocalBounds(FControl), FControl);
  }
  void PointerAway() { test::MoveMouseTo(FPanel->ClientToScreen(POINT{250, 180})); }
  bool WaitUntilUntracked(IcxMouseTrackingCaller* caller) {
    return test::PumpUntil([caller] { return !IsMouseTracked(caller); });
  }
  std::size_t TrackingCount() const {
    const TMouseTrackingTimers* list = MouseTrackingTimerList();
    return list ? list->size() : 0;
  }

  // The log outlives the form, whose controls write to it.
  TLog FLog;
  TModulesScope FModules;
  test::TTestForm FForm;
  TWinControl* FPanel = nullptr;
  TTracked* FControl = nullptr;
};

TEST_F(Tracking, PointerLeavingGivesTheNotificationThenMouseHasLeft) {
  TrackPointerOnControl();
  EXPECT_TRUE(IsMouseTracked(FControl));
  ASSERT_EQ(TrackingCount(), 1u);
  EXPECT_EQ((*MouseTrackingTimerList())[0]->Interval(), 10);
  // Resting over an available control the tracking goes on.
  test::Pump(60);
  EXPECT_TRUE(IsMouseTracked(FControl));
  EXPECT_TRUE(FLog.empty());

  PointerAway();
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  EXPECT_EQ(FLog, (TLog{"leave", "left"}));
  EXPECT_EQ(TrackingCount(), 0u);
  // Nothing more arrives once the tracking has ended.
  test::Pump(40);
  EXPECT_EQ(FLog.size(), 2u);
}

TEST_F(Tracking, SecondStartKeepsTheFirstBounds) {
  PointerOnControl(5, 5);
  StartMouseTracking(FControl, RECT{0, 0, 10, 10}, FControl);
  StartMouseTracking(FControl, LocalBounds(FControl), FControl);
  ASSERT_EQ(TrackingCount(), 1u);
  const TMouseTrackingTimer& timer = *(*MouseTrackingTimerList())[0];
  const POINT topLeft = OnControl(0, 0);
  const POINT bottomRight = OnControl(10, 10);
  EXPECT_EQ(timer.Bounds().left, topLeft.x);
  EXPECT_EQ(timer.Bounds().top, topLeft.y);
  EXPECT_EQ(timer.Bounds().right, bottomRight.x);
  EXPECT_EQ(timer.Bounds().bottom, bottomRight.y);
  EXPECT_EQ(timer.Control(), FControl);
  EXPECT_EQ(timer.Caller(), static_cast<IcxMouseTrackingCaller*>(FControl));

  // The first, small bounds are the ones polled.
  PointerOnControl(60, 30);
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  EXPECT_EQ(FLog, (TLog{"left"}));
}

TEST_F(Tracking, BoundsSmallerThanTheClientAreaGiveMouseHasLeftOnly) {
  PointerOnControl(20, 30);
  StartMouseTracking(FControl, RECT{0, 0, 40, 60}, FControl);
  PointerOnControl(80, 30);
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  EXPECT_EQ(FLog, (TLog{"left"}));
}

TEST_F(Tracking, DisablingTheWindowOrItsTopLevelWindowEndsTheTracking) {
  TrackPointerOnControl();
  EnableWindow(FControl->Handle(), FALSE);
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  EXPECT_EQ(FLog, (TLog{"leave", "left"}));
  EnableWindow(FControl->Handle(), TRUE);

  // The enabled test climbs from the control through the panel to the form.
  FLog.clear();
  StartMouseTracking(FControl, LocalBounds(FControl), FControl);
  test::Pump(40);
  ASSERT_TRUE(IsMouseTracked(FControl));
  EnableWindow(FForm->Handle(), FALSE);
  const bool ended = WaitUntilUntracked(FControl);
  EnableWindow(FForm->Handle(), TRUE);
  ASSERT_TRUE(ended);
  EXPECT_EQ(FLog, (TLog{"leave", "left"}));
}

TEST_F(Tracking, StoppingFromMouseHasLeftOrFromTheLeaveHandlerIsSafe) {
  FControl->OnLeft = [this] { StopMouseTracking(FControl); };
  TrackPointerOnControl();
  PointerAway();
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  EXPECT_EQ(FLog, (TLog{"leave", "left"}));

  // Stopped in the leave handler, MouseHasLeft still follows.
  FLog.clear();
  FControl->OnLeft = nullptr;
  FControl->OnLeave = [this] { StopMouseTracking(FControl); };
  TrackPointerOnControl();
  PointerAway();
  ASSERT_TRUE(test::PumpUntil([this] { return FLog.size() >= 2; }));
  EXPECT_EQ(FLog, (TLog{"leave", "left"}));
  EXPECT_FALSE(IsMouseTracked(FControl));

  StopMouseTracking(FControl);  // nothing to stop: nothing happens

  // A failing MouseHasLeft reaches the error handler once and ends the tracking.
  FLog.clear();
  test::ErrorsSeen().clear();
  FControl->OnLeave = nullptr;
  FControl->OnLeft = [] { throw Exception("reaction failed"); };
  TrackPointerOnControl();
  PointerAway();
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  test::Pump(40);
  EXPECT_EQ(test::ErrorsSeen(), (std::vector<std::string>{"reaction failed"}));
  test::ErrorsSeen().clear();
}

TEST_F(Tracking, DestroyedCallerHearsNothing) {
  TrackPointerOnControl();
  delete FControl;
  FControl = nullptr;
  EXPECT_EQ(TrackingCount(), 0u);
  PointerAway();
  test::Pump(60);
  EXPECT_TRUE(FLog.empty());

  // One that forgets to stop in its own destructor leaves no tracking behind.
  FControl = NewTracked(false);
  TrackPointerOnControl();
  delete FControl;
  FControl = nullptr;
  EXPECT_EQ(TrackingCount(), 0u);

  // Destroyed by its own leave notification: no MouseHasLeft on the dead object.
  FControl = NewTracked();
  TTracked* doomed = FControl;
  doomed->OnLeave = [this, doomed] {
    FControl = nullptr;
    delete doomed;
  };
  PointerOnControl();
  StartMouseTracking(doomed, LocalBounds(doomed), doomed);
  PointerAway();
  ASSERT_TRUE(test::PumpUntil([this] { return FControl == nullptr; }));
  test::Pump(40);
  EXPECT_EQ(FLog, (TLog{"leave"}));
  EXPECT_EQ(TrackingCount(), 0u);
}

TEST_F(Tracking, ScreenBoundsWithoutAControl) {
  const POINT inside = OnControl(60, 30);
  test::MoveMouseTo(inside);
  StartMouseTracking(nullptr, RECT{inside.x - 5, inside.y - 5, inside.x + 5, inside.y + 5}, FControl);
  test::Pump(60);
  EXPECT_TRUE(IsMouseTracked(FControl));
  PointerAway();
  ASSERT_TRUE(WaitUntilUntracked(FControl));
  // No control to notify, only the caller.
  EXPECT_EQ(FLog, (TLog{"left"}));
  StartMouseTracking(FControl, LocalBounds(FControl), nullptr);
  EXPECT_EQ(TrackingCount(), 0u);
}

TEST_F(Tracking, ShutdownWithALiveTrackingFails) {
  TrackPointerOnControl();
  const HWND timerWindow = TimerWindowHandle();
  ASSERT_TRUE(IsWindow(timerWindow));
  try {
    FinalizeControlsModule();
    ADD_FAILURE() << "shutdown went through with a live tracking";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "MouseTrackingTimerList.Count <> 0");
  }
  // From the flag on, lookups find nothing and starts do nothing.
  EXPECT_FALSE(IsMouseTracked(FControl));
  TTracked* other = NewTracked();
  StartMouseTracking(other, LocalBounds(other), other);
  EXPECT_FALSE(IsMouseTracked(other));
  TcxTimer timer(nullptr);
  timer.SetOnTimer([](TcxTimer*) {});
  EXPECT_FALSE(timer.Running());
  // The leftover tracking calls nobody, though the pointer leaves.
  PointerAway();
  test::Pump(60);
  EXPECT_TRUE(FLog.empty());

  // A new start lifts the flag; the list still holds just the first tracking.
  InitializeControlsModule();
  EXPECT_TRUE(IsMouseTracked(FControl));
  EXPECT_FALSE(IsMouseTracked(other));
  EXPECT_EQ(TrackingCount(), 1u);
  StopMouseTracking(FControl);
  EXPECT_NO_THROW(FinalizeControlsModule());
  EXPECT_EQ(MouseTrackingTimerList(), nullptr);
  EXPECT_EQ(TimerWindowHandle(), nullptr);
  EXPECT_FALSE(IsWindow(timerWindow));
  InitializeControlsModule();
  // Everything comes back on first use.
  TrackPointerOnControl();
  EXPECT_TRUE(IsMouseTracked(FControl));
  EXPECT_TRUE(IsWindow(TimerWindowHandle()));
  StopMouseTracking(FControl);
}

class Timer : public testing::Test {
 protected:
  TModulesScope FModules;
};

TEST_F(Timer, RunsExactlyWhileEnabledWithAHandler) {
  TcxTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000);
  timer.SetInterval(10);
  EXPECT_FALSE(timer.Running());  // no handler yet

  int ticks = 0;
  TcxTimer* sender = nullptr;
  timer.SetEnabled(false);
  timer.SetOnTimer([&](TcxTimer* s) {
    sender = s;
    ++ticks;
  });
  EXPECT_FALSE(timer.Running());
  test::Pump(60);
  EXPECT_EQ(ticks, 0);

  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(IsRunningTimerId(timer.EventId()));
  ASSERT_TRUE(test::PumpUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(sender, &timer);

  timer.SetOnTimer(nullptr);
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(IsRunningTimerId(timer.EventId()));
  ticks = 0;
  test::Pump(60);
  EXPECT_EQ(ticks, 0);

  // An error in the handler reaches the application's error handler, and the
  // timer goes on.
  test::ErrorsSeen().clear();
  timer.SetOnTimer([&](TcxTimer*) {
    ++ticks;
    throw Exception("tick failed");
  });
  ASSERT_TRUE(test::PumpUntil([&] { return ticks >= 2; }));
  ASSERT_FALSE(test::ErrorsSeen().empty());
  EXPECT_EQ(test::ErrorsSeen()[0], "tick failed");
  timer.SetEnabled(false);
  test::ErrorsSeen().clear();
}

TEST_F(Timer, IntervalOfZeroOrTheSameValueChangesNothing) {
  TcxTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(5000);
  timer.SetOnTimer([&](TcxTimer*) { ++ticks; });
  ASSERT_TRUE(timer.Running());
  timer.SetInterval(0);
  EXPECT_EQ(timer.Interval(), 5000);
  // A platform timer of 0 ms would tick at the system minimum.
  test::Pump(100);
  EXPECT_EQ(ticks, 0);

  // The same value leaves the running platform timer alone: a tick that has
  // become due (and waits, as nothing is pumped) still comes at once, where
  // setting the timer again would start the wait anew.
  timer.SetInterval(50);
  ASSERT_TRUE(timer.Running());
  Sleep(250);
  timer.SetInterval(50);
  EXPECT_TRUE(timer.Running());
  test::Pump();
  EXPECT_GE(ticks, 1);
}

TEST_F(Timer, StaleTimerMessagesAreIgnored) {
  TcxTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(60000);
  timer.SetOnTimer([&](TcxTimer*) { ++ticks; });
  const HWND window = TimerWindowHandle();
  ASSERT_TRUE(IsWindow(window));
  PostMessageW(window, WM_TIMER, timer.EventId(), 0);
  test::Pump(20);
  EXPECT_EQ(ticks, 1);

  // Killed, a message arriving with its id fires nothing.
  timer.SetEnabled(false);
  PostMessageW(window, WM_TIMER, timer.EventId(), 0);
  test::Pump(20);
  EXPECT_EQ(ticks, 1);

  // Nor does the id of a timer that no longer exists.
  auto* gone = new TcxTimer(nullptr);
  int goneTicks = 0;
  gone->SetOnTimer([&](TcxTimer*) { ++goneTicks; });
  const UINT_PTR goneId = gone->EventId();
  delete gone;
  EXPECT_FALSE(IsRunningTimerId(goneId));
  PostMessageW(window, WM_TIMER, goneId, 0);
  test::Pump(20);
  EXPECT_EQ(goneTicks, 0);
}

TEST_F(Timer, DestroyingKillsThePlatformTimer) {
  auto* timer = new TcxTimer(nullptr);
  timer->SetOnTimer([](TcxTimer*) {});
  ASSERT_TRUE(timer->Running());
  const UINT_PTR id = timer->EventId();
  delete timer;
  EXPECT_FALSE(IsRunningTimerId(id));
  // KillTimer finds no platform timer with that id any more.
  EXPECT_FALSE(KillTimer(TimerWindowHandle(), id));

  // The same probe on a live one shows it can tell.
  TcxTimer live(nullptr);
  live.SetOnTimer([](TcxTimer*) {});
  EXPECT_TRUE(KillTimer(TimerWindowHandle(), live.EventId()));
}

}  // namespace

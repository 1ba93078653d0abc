// The shared listener that receives WM_SYSCOLORCHANGE, refreshes the Office
// 2003 colours and then tells the notifiers, last registered first.
#include "graphics/SystemPaletteChanged.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/MessageWindow.h"
#include "framework/ScopedFlag.h"
#include "graphics/Office2003Colors.h"

namespace lodo {

namespace {

TDefaultWindowProc gDefaultProc = DefWindowProcW;

class TcxSystemPaletteChangedListener {
 public:
  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener();

  void Add(TcxSystemPaletteChangedNotifier* notifier);
  void Remove(TcxSystemPaletteChangedNotifier* notifier);
  HWND Handle() const { return FWindow ? FWindow->Handle() : nullptr; }
  // True while a colour change is being distributed from inside the window
  // procedure; the listener must not be destroyed then.
  bool Distributing() const { return FDistributing > 0; }

 private:
  bool WndProc(TMessage& message);
  void NotifyAll(std::vector<TcxSystemPaletteChangedNotifier*>& list);

  std::vector<TcxSystemPaletteChangedNotifier*> FNotifiers;
  std::vector<TcxSystemPaletteChangedNotifier*> FHighPriorityNotifiers;
  std::unique_ptr<TMessageWindow> FWindow;
  int FDistributing = 0;
};

std::unique_ptr<TcxSystemPaletteChangedListener> gListener;
int gNotifierCount = 0;
// Set when the last notifier went while its change was being distributed.
bool gReleasePending = false;

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() {
  AcquireOffice2003Colors();
  try {
    FWindow = std::make_unique<TMessageWindow>([this](TMessage& message) { return WndProc(message); });
  } catch (...) {
    ReleaseOffice2003Colors();
    throw;
  }
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  FNotifiers.clear();
  FHighPriorityNotifiers.clear();
  FWindow.reset();
  ReleaseOffice2003Colors();
}

void TcxSystemPaletteChangedListener::Add(TcxSystemPaletteChangedNotifier* notifier) {
  (notifier->HighPriority() ? FHighPriorityNotifiers : FNotifiers).push_back(notifier);
}

void TcxSystemPaletteChangedListener::Remove(TcxSystemPaletteChangedNotifier* notifier) {
  auto& list = notifier->HighPriority() ? FHighPriorityNotifiers : FNotifiers;
  list.erase(std::remove(list.begin(), list.end(), notifier), list.end());
}

void TcxSystemPaletteChangedListener::NotifyAll(std::vector<TcxSystemPaletteChangedNotifier*>& list) {
  // A notification may create or destroy notifiers: walk a copy, and skip
  // any that has left the list in the meantime.
  const std::vector<TcxSystemPaletteChangedNotifier*> snapshot = list;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (std::find(list.begin(), list.end(), *it) != list.end()) (*it)->Notify();
  }
}

bool TcxSystemPaletteChangedListener::WndProc(TMessage& message) {
  // Messages during window creation arrive before FWindow is set.
  if (!FWindow) return false;
  const HWND window = FWindow->Handle();
  if (message.Msg != WM_SYSCOLORCHANGE) {
    message.Result = gDefaultProc(window, message.Msg, message.WParam, message.LParam);
    return true;
  }
  // The first error ends the notifications; it is reported only after the
  // message has reached the default procedure.
  {
    const TScopedFlag distributing(FDistributing, FDistributing + 1);
    std::exception_ptr error;
    try {
      RefreshOffice2003Colors();
      NotifyAll(FHighPriorityNotifiers);
      NotifyAll(FNotifiers);
    } catch (...) {
      error = std::current_exception();
    }
    message.Result = gDefaultProc(window, message.Msg, message.WParam, message.LParam);
    if (error) {
      try {
        std::rethrow_exception(error);
      } catch (...) {
        ReportCurrentException("Unknown error in a colour change notification");
      }
    }
  }
  // The last notifier went during the distribution: the listener goes now.
  // Like a self-deletion, nothing of this object (nor of the window's handler,
  // which the framework does not touch after the call) is used afterwards.
  if (gReleasePending && gNotifierCount == 0 && FDistributing == 0) {
    gReleasePending = false;
    gListener.reset();
  }
  return true;
}

// The listener goes with the last notifier, but not from inside its own
// window procedure: then the message handler finishes first.
void ReleaseListenerIfUnused() {
  if (gNotifierCount > 0 || !gListener) return;
  if (gListener->Distributing()) {
    gReleasePending = true;
    return;
  }
  gListener.reset();
}

}  // namespace

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool highPriority) : FHighPriority(highPriority) {
  if (!gListener) gListener = std::make_unique<TcxSystemPaletteChangedListener>();
  gReleasePending = false;
  ++gNotifierCount;
  gListener->Add(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (gListener) gListener->Remove(this);
  --gNotifierCount;
  ReleaseListenerIfUnused();
}

void TcxSystemPaletteChangedNotifier::Notify() {
  if (OnSystemColorsChanged) OnSystemColorsChanged();
}

HWND SystemPaletteListenerWindow() { return gListener ? gListener->Handle() : nullptr; }

int SystemPaletteNotifierCount() { return gNotifierCount; }

TDefaultWindowProc SetSystemPaletteDefaultProc(TDefaultWindowProc proc) {
  TDefaultWindowProc previous = gDefaultProc;
  gDefaultProc = proc ? proc : DefWindowProcW;
  return previous;
}

}  // namespace lodo

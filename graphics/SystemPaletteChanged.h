// Distribution of system colour changes: every notifier hears of each
// WM_SYSCOLORCHANGE, high-priority ones (caches) before ordinary ones (controls).
#pragma once
#include <windows.h>

#include <functional>

namespace lodo {

// While at least one notifier exists, one shared listener exists with a hidden
// top-level window and a hold on the Office 2003 colours.
class TcxSystemPaletteChangedNotifier {
 public:
  explicit TcxSystemPaletteChangedNotifier(bool highPriority = false);
  virtual ~TcxSystemPaletteChangedNotifier();
  TcxSystemPaletteChangedNotifier(const TcxSystemPaletteChangedNotifier&) = delete;
  TcxSystemPaletteChangedNotifier& operator=(const TcxSystemPaletteChangedNotifier&) = delete;

  bool HighPriority() const { return FHighPriority; }
  // Calls OnSystemColorsChanged when it is set.
  virtual void Notify();

  std::function<void()> OnSystemColorsChanged;

 private:
  const bool FHighPriority;
};

// For the tests: the listener's window (null while there is no listener), the
// number of notifiers, and the procedure every message is finally passed to.
HWND SystemPaletteListenerWindow();
int SystemPaletteNotifierCount();
using TDefaultWindowProc = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
TDefaultWindowProc SetSystemPaletteDefaultProc(TDefaultWindowProc proc);

}  // namespace lodo

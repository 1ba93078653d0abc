// Hidden top-level message windows for subsystems that listen to broadcasts
// (colour and theme changes) or own timers: zero size, a tool window, never
// shown. Not message-only windows, since those miss broadcast messages.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Messages.h"

namespace lodo {

class TMessageWindow {
 public:
  // The handler sets Result and returns true when it handled the message;
  // otherwise the message goes to DefWindowProc.
  using THandler = std::function<bool(TMessage& message)>;

  explicit TMessageWindow(THandler handler);
  ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;

  HWND Handle() const { return FHandle; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  THandler FHandler;
  HWND FHandle = nullptr;
};

}  // namespace lodo

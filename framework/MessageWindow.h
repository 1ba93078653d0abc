// Hidden top-level message windows for subsystems that listen to broadcasts
// (colour and theme changes) or own timers: zero size, a tool window, never
// shown. Not message-only windows, since those miss broadcast messages.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Messages.h"
#include "framework/WindowBinding.h"

namespace lodo {

class TMessageWindow : public TWindowTarget {
 public:
  // The handler sets Result and returns true when it handled the message;
  // otherwise the message goes to DefWindowProc.
  using THandler = std::function<bool(TMessage& message)>;

  explicit TMessageWindow(THandler handler);
  ~TMessageWindow();

  HWND Handle() const { return FHandle; }

 private:
  void WindowMessage(HWND window, TMessage& message) override;
  void WindowBound(HWND window) override { FHandle = window; }
  void WindowUnbound(HWND window) override;

  THandler FHandler;
  HWND FHandle = nullptr;
};

}  // namespace lodo

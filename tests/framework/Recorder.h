// A control of any framework class that records every message its WndProc
// sees and lets a test answer or throw for chosen ones.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Messages.h"

namespace lodo::test {

struct TSeen {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

template <typename Base>
class TRecorder : public Base {
 public:
  using Base::Base;
  ~TRecorder() override {
    if (OnDestroyed) OnDestroyed();
  }

  // Return true to stop the message before the control's own handling.
  std::function<bool(TMessage& message)> OnMessage;
  std::vector<TSeen> Seen;
  // Runs first in the destructor, while the object is still whole.
  std::function<void()> OnDestroyed;

  int Count(UINT msg) const {
    int n = 0;
    for (const TSeen& s : Seen)
      if (s.Msg == msg) ++n;
    return n;
  }
  int Count(UINT msg, LPARAM lParam) const {
    int n = 0;
    for (const TSeen& s : Seen)
      if (s.Msg == msg && s.LParam == lParam) ++n;
    return n;
  }

  void WndProc(TMessage& message) override {
    Seen.push_back({message.Msg, message.WParam, message.LParam});
    if (OnMessage && OnMessage(message)) return;
    Base::WndProc(message);
  }
};

}  // namespace lodo::test

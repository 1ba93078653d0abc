// The message record every window message becomes, and the framework's own
// message numbers: notifications from 0xB000, reflected notifications from 0xBC00.
#pragma once
#include <windows.h>

#include <span>

namespace lodo {

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Framework notifications sent to controls (lParam/wParam as noted).
constexpr UINT FM_BASE = 0xB000;
constexpr UINT FM_ENABLEDCHANGED = FM_BASE + 0x01;
constexpr UINT FM_VISIBLECHANGED = FM_BASE + 0x02;
constexpr UINT FM_FONTCHANGED = FM_BASE + 0x03;
constexpr UINT FM_PARENTFONTCHANGED = FM_BASE + 0x04;
constexpr UINT FM_COLORCHANGED = FM_BASE + 0x05;
constexpr UINT FM_PARENTCOLORCHANGED = FM_BASE + 0x06;
constexpr UINT FM_TEXTCHANGED = FM_BASE + 0x07;
constexpr UINT FM_SYSCOLORCHANGE = FM_BASE + 0x08;
// wParam: the character; result 1 when a control took it as its accelerator.
constexpr UINT FM_DIALOGCHAR = FM_BASE + 0x09;
// wParam: the virtual key; result 1 when the form used it for navigation.
constexpr UINT FM_DIALOGKEY = FM_BASE + 0x0A;
constexpr UINT FM_SHOWHINTCHANGED = FM_BASE + 0x0B;
constexpr UINT FM_PARENTSHOWHINTCHANGED = FM_BASE + 0x0C;
// Sent by a radio button to its parent when it became checked (lParam: the button).
constexpr UINT FM_BUTTONCHECKED = FM_BASE + 0x0D;
// Sent by a radio button that became checked to each sibling (lParam: the
// button); a radio button of the same group unchecks itself.
constexpr UINT FM_GROUPCHECKED = FM_BASE + 0x0E;
// Sent to a control whose hint changed.
constexpr UINT FM_HINTCHANGED = FM_BASE + 0x0F;
// lParam: the control the notification names, or 0 for the control itself.
constexpr UINT FM_MOUSEENTER = 0xB013;
constexpr UINT FM_MOUSELEAVE = 0xB014;

// Notifications a parent hands back to the child control they concern:
// RN_BASE + the original message number.
constexpr UINT RN_BASE = 0xBC00;
constexpr UINT RN_COMMAND = RN_BASE + WM_COMMAND;
constexpr UINT RN_NOTIFY = RN_BASE + WM_NOTIFY;
constexpr UINT RN_DRAWITEM = RN_BASE + WM_DRAWITEM;
constexpr UINT RN_MEASUREITEM = RN_BASE + WM_MEASUREITEM;
constexpr UINT RN_CTLCOLORBTN = RN_BASE + WM_CTLCOLORBTN;
constexpr UINT RN_CTLCOLOREDIT = RN_BASE + WM_CTLCOLOREDIT;
constexpr UINT RN_CTLCOLORSTATIC = RN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT RN_CTLCOLORLISTBOX = RN_BASE + WM_CTLCOLORLISTBOX;
// Key messages handed to the focused control before normal processing.
constexpr UINT RN_KEYDOWN = RN_BASE + WM_KEYDOWN;
constexpr UINT RN_SYSKEYDOWN = RN_BASE + WM_SYSKEYDOWN;

// The ten client-area mouse button and move messages, which lie in one run.
constexpr bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

// One row of a control's message table: the message, or a run of them, and
// the member that handles it. A handler returns false to pass the message on
// to the base class's table.
template <typename T>
struct TMessageEntry {
  using THandler = bool (T::*)(TMessage& message);

  constexpr TMessageEntry(UINT msg, THandler handler) : First(msg), Last(msg), Handler(handler) {}
  constexpr TMessageEntry(UINT first, UINT last, THandler handler) : First(first), Last(last), Handler(handler) {}

  UINT First;
  UINT Last;
  THandler Handler;
};

// Hands the message to its row of the table; false when no row took it.
template <typename T>
bool DispatchMessageTo(T& target, std::span<const TMessageEntry<T>> table, TMessage& message) {
  for (const TMessageEntry<T>& entry : table)
    if (message.Msg >= entry.First && message.Msg <= entry.Last) return (target.*entry.Handler)(message);
  return false;
}

}  // namespace lodo

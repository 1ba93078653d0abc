// Reading windows as a screen reader does: the client object through the
// accessibility layer, what it says of itself, and the WinEvents announced.
#pragma once
#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace lodo::test {

using Microsoft::WRL::ComPtr;

// A COM apartment for the test's thread, as a screen reader opens one.
class TComApartment {
 public:
  TComApartment() : FResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComApartment() {
    if (SUCCEEDED(FResult)) CoUninitialize();
  }
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

 private:
  HRESULT FResult;
};

// The window's client object from AccessibleObjectFromWindow, or null.
ComPtr<IAccessible> ClientObject(HWND window);

VARIANT SelfChild();

// What the object says of itself (CHILDID_SELF). A question answered with
// an error leaves its field empty and its result in Failures.
struct TAccessibleFacts {
  LONG Role = 0;
  std::wstring Name;
  LONG State = 0;
  std::wstring Description;
  std::wstring Shortcut;
  std::wstring DefaultAction;
  RECT Location{};
  std::vector<HRESULT> Failures;
};
TAccessibleFacts ReadFacts(IAccessible* object);

// The answer of every IAccessible and IDispatch call about the object itself.
std::vector<HRESULT> AskEverything(IAccessible* object);

// Text of a state word, for messages: "checked focusable ...".
std::string StateText(LONG state);
std::string Narrow(const std::wstring& text);

// WinEvents in a range, from one process or all (0), delivered while the
// thread pumps messages.
class TWinEventLog {
 public:
  TWinEventLog(DWORD eventMin, DWORD eventMax, DWORD processId = 0);
  ~TWinEventLog();
  TWinEventLog(const TWinEventLog&) = delete;
  TWinEventLog& operator=(const TWinEventLog&) = delete;

  struct TEntry {
    DWORD Event;
    HWND Window;
    LONG Object;
    LONG Child;
  };
  const std::vector<TEntry>& Entries() const { return FEntries; }
  // Events of one kind about one window's client object.
  int Count(DWORD event, HWND window, LONG object = OBJID_CLIENT) const;
  void Clear() { FEntries.clear(); }
  bool Hooked() const { return FHook != nullptr; }

 private:
  static void CALLBACK Received(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                DWORD time);
  HWINEVENTHOOK FHook = nullptr;
  std::vector<TEntry> FEntries;
};

}  // namespace lodo::test

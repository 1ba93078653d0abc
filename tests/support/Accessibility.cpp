// The screen reader's side of the accessibility layer, for the tests.
#include "tests/support/Accessibility.h"

#include <algorithm>

namespace lodo::test {

namespace {

std::vector<TWinEventLog*>& Logs() {
  static std::vector<TWinEventLog*> logs;
  return logs;
}

// Takes a BSTR answer over into a string.
std::wstring Take(BSTR text) {
  std::wstring value = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return value;
}

}  // namespace

ComPtr<IAccessible> ClientObject(HWND window) {
  ComPtr<IAccessible> object;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(object.GetAddressOf()))))
    return nullptr;
  return object;
}

VARIANT SelfChild() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

TAccessibleFacts ReadFacts(IAccessible* object) {
  TAccessibleFacts facts;
  const VARIANT self = SelfChild();
  auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), std::wstring& into) {
    BSTR value = nullptr;
    const HRESULT hr = (object->*get)(self, &value);
    if (FAILED(hr)) facts.Failures.push_back(hr);
    into = Take(value);
  };
  auto number = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), LONG& into) {
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = (object->*get)(self, &value);
    if (FAILED(hr)) facts.Failures.push_back(hr);
    into = value.vt == VT_I4 ? value.lVal : -1;
    VariantClear(&value);
  };
  number(&IAccessible::get_accRole, facts.Role);
  text(&IAccessible::get_accName, facts.Name);
  number(&IAccessible::get_accState, facts.State);
  text(&IAccessible::get_accDescription, facts.Description);
  text(&IAccessible::get_accKeyboardShortcut, facts.Shortcut);
  text(&IAccessible::get_accDefaultAction, facts.DefaultAction);
  LONG left = 0, top = 0, width = 0, height = 0;
  const HRESULT hr = object->accLocation(&left, &top, &width, &height, self);
  if (FAILED(hr)) facts.Failures.push_back(hr);
  facts.Location = {left, top, left + width, top + height};
  return facts;
}

std::vector<HRESULT> AskEverything(IAccessible* object) {
  const VARIANT self = SelfChild();
  std::vector<HRESULT> answers;
  BSTR text = nullptr;
  VARIANT value;
  VariantInit(&value);
  auto keep = [&](HRESULT hr) {
    answers.push_back(hr);
    SysFreeString(text);
    text = nullptr;
    VariantClear(&value);
  };
  IDispatch* dispatch = nullptr;
  keep(object->get_accParent(&dispatch));
  if (dispatch) dispatch->Release();
  LONG count = 0;
  keep(object->get_accChildCount(&count));
  keep(object->get_accChild(self, &dispatch));
  if (dispatch) dispatch->Release();
  keep(object->get_accName(self, &text));
  keep(object->get_accValue(self, &text));
  keep(object->get_accDescription(self, &text));
  keep(object->get_accRole(self, &value));
  keep(object->get_accState(self, &value));
  keep(object->get_accHelp(self, &text));
  LONG topic = 0;
  keep(object->get_accHelpTopic(&text, self, &topic));
  keep(object->get_accKeyboardShortcut(self, &text));
  keep(object->get_accFocus(&value));
  keep(object->get_accSelection(&value));
  keep(object->get_accDefaultAction(self, &text));
  keep(object->accSelect(SELFLAG_TAKEFOCUS, self));
  LONG l = 0, t = 0, w = 0, h = 0;
  keep(object->accLocation(&l, &t, &w, &h, self));
  keep(object->accNavigate(NAVDIR_NEXT, self, &value));
  keep(object->accHitTest(0, 0, &value));
  keep(object->accDoDefaultAction(self));
  BSTR name = SysAllocString(L"x");
  keep(object->put_accName(self, name));
  keep(object->put_accValue(self, name));
  SysFreeString(name);
  UINT infos = 0;
  keep(object->GetTypeInfoCount(&infos));
  return answers;
}

std::string StateText(LONG state) {
  static const std::pair<LONG, const char*> kNames[] = {
      {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_FOCUSED, "focused"},
      {STATE_SYSTEM_PRESSED, "pressed"},         {STATE_SYSTEM_CHECKED, "checked"},
      {STATE_SYSTEM_HOTTRACKED, "hot"},          {STATE_SYSTEM_INVISIBLE, "invisible"},
      {STATE_SYSTEM_OFFSCREEN, "offscreen"},     {STATE_SYSTEM_FOCUSABLE, "focusable"},
      {STATE_SYSTEM_DEFAULT, "default"},         {STATE_SYSTEM_READONLY, "readonly"}};
  std::string text;
  for (const auto& [bit, name] : kNames)
    if (state & bit) {
      text += text.empty() ? "" : " ";
      text += name;
      state &= ~bit;
    }
  if (state) text += (text.empty() ? "0x" : " 0x") + std::to_string(state);
  return text;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
  return narrow;
}

TWinEventLog::TWinEventLog(DWORD eventMin, DWORD eventMax, DWORD processId) {
  FHook = SetWinEventHook(eventMin, eventMax, nullptr, Received, processId, 0, WINEVENT_OUTOFCONTEXT);
  Logs().push_back(this);
}

TWinEventLog::~TWinEventLog() {
  if (FHook) UnhookWinEvent(FHook);
  std::erase(Logs(), this);
}

int TWinEventLog::Count(DWORD event, HWND window, LONG object) const {
  return static_cast<int>(std::count_if(FEntries.begin(), FEntries.end(), [&](const TEntry& e) {
    return e.Event == event && e.Window == window && e.Object == object && e.Child == CHILDID_SELF;
  }));
}

void CALLBACK TWinEventLog::Received(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD,
                                     DWORD) {
  for (TWinEventLog* log : Logs())
    if (log->FHook == hook) log->FEntries.push_back({event, window, object, child});
}

}  // namespace lodo::test

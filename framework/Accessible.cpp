// The accessible object's COM side, the WM_GETOBJECT answer, and the texts a
// screen reader is given for captions.
#include "framework/Accessible.h"

#include <algorithm>
#include <cwctype>
#include <new>
#include <utility>
#include <vector>

#include "framework/ButtonControl.h"
#include "framework/SystemLibrary.h"
#include "framework/WinControl.h"

namespace lodo {

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kAccessibleProp[] = L"lodo.accessible";

// Set once this thread has opened a COM apartment for the objects; the
// module's end closes it.
thread_local bool gApartmentOpened = false;

// The accessibility library, loaded from the system folder before the first
// delay-loaded call, which then finds it loaded. Should it be missing, the
// windows keep their standard objects instead of the call failing the
// process; and a system where the search cannot be restricted still never
// searches the program folder for it.
bool AccessibilityLibraryLoaded() {
  static const bool loaded = LoadSystemLibrary("oleacc.dll") != nullptr;
  return loaded;
}

// False when the thread already runs in the multithreaded apartment
// (RPC_E_CHANGED_MODE): callers could then reach an object on any thread,
// while ours answers only on its window's thread.
bool OpenApartment() {
  if (gApartmentOpened) return true;
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  gApartmentOpened = SUCCEEDED(result);
  return result != RPC_E_CHANGED_MODE;
}

// No C++ exception may leave a COM method.
template <typename TBody>
HRESULT Guarded(TBody&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT TextResult(const std::wstring& text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

bool IsLetter(wchar_t c) { return IsCharAlphaW(c) != FALSE; }

}  // namespace

std::wstring ShownCaption(const std::wstring& caption) {
  std::wstring shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != L'&') {
      shown += caption[i];
      continue;
    }
    // "&&" shows one ampersand; a single one only underlines what follows.
    if (i + 1 < caption.size() && caption[i + 1] == L'&') {
      shown += L'&';
      ++i;
    }
  }
  return shown;
}

std::wstring SpokenCaption(const std::wstring& caption) {
  // Words with the number of spaces before each.
  struct TWord {
    std::wstring Text;
    size_t Gap;
  };
  std::vector<TWord> words;
  for (size_t i = 0; i < caption.size();) {
    const size_t start = caption.find_first_not_of(L' ', i);
    if (start == std::wstring::npos) break;
    const size_t end = std::min(caption.find(L' ', start), caption.size());
    words.push_back({caption.substr(start, end - start), start - i});
    i = end;
  }
  // A single letter one space after another single letter continues its word.
  std::vector<std::wstring> spoken;
  bool joined = false, previousLetter = false;
  for (const TWord& word : words) {
    const bool letter = word.Text.size() == 1 && IsLetter(word.Text[0]);
    if (letter && previousLetter && word.Gap == 1) {
      spoken.back() += word.Text;
      joined = true;
    } else {
      spoken.push_back(word.Text);
    }
    previousLetter = letter;
  }
  if (!joined) return caption;
  std::wstring text;
  for (const std::wstring& word : spoken) text += (text.empty() ? L"" : L" ") + word;
  return text;
}

std::wstring AcceleratorShortcut(const std::wstring& caption) {
  const wchar_t accel = AcceleratorChar(caption);
  if (!accel) return {};
  return std::wstring(L"Alt+") + static_cast<wchar_t>(std::towupper(accel));
}

TAccessible::TAccessible(TWinControl& control) : FControl(&control), FWindow(control.Handle()) {
  // The standard object answers parent, navigation, hit testing and the rest;
  // without it those questions go unanswered, the own answers still hold.
  if (FAILED(CreateStdAccessibleObject(FWindow, OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(FStandard.ReleaseAndGetAddressOf()))))
    FStandard.Reset();
}

TAccessible::~TAccessible() = default;

TWinControl* TAccessible::Control() const { return FControl && !FControl->IsDestroying() ? FControl : nullptr; }

void TAccessible::Disconnect() {
  FControl = nullptr;
  FWindow = nullptr;
  FStandard.Reset();
  // Drops what other processes hold through their proxies; the caller still
  // holds a reference, so the object outlives this call.
  CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

void TAccessible::RunPostedAction() {
  if (!Control()) return;
  // The action may close the window, which releases the window's reference.
  const ComPtr<IAccessible> self(static_cast<IAccessible*>(this));
  DoDefaultAction();
}

LONG TAccessible::WindowState() const {
  LONG state = 0;
  if (!FControl->Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
  if (!IsWindowVisible(FWindow)) state |= STATE_SYSTEM_INVISIBLE;
  if (GetFocus() == FWindow) state |= STATE_SYSTEM_FOCUSED;
  return state;
}

HRESULT TAccessible::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
  } else if (iid == __uuidof(IOleWindow)) {
    *object = static_cast<IOleWindow*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG TAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FReferences)); }

ULONG TAccessible::Release() {
  const LONG left = InterlockedDecrement(&FReferences);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return Control() ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT TAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return Control() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT TAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return Control() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT TAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return Control() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT TAccessible::AnswerText(VARIANT child, BSTR* out, TTextAnswer own, TTextStandard standard) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Guarded([&]() -> HRESULT {
    if (!Control()) return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child))
      if (const std::optional<std::wstring> text = (this->*own)()) return TextResult(*text, out);
    return FStandard ? (FStandard.Get()->*standard)(child, out) : DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT TAccessible::AnswerNumber(VARIANT child, VARIANT* out, TNumberAnswer own, TNumberStandard standard) {
  if (!out) return E_POINTER;
  out->vt = VT_EMPTY;
  return Guarded([&]() -> HRESULT {
    if (!Control()) return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child))
      if (const std::optional<LONG> number = (this->*own)()) {
        out->vt = VT_I4;
        out->lVal = *number;
        return S_OK;
      }
    return FStandard ? (FStandard.Get()->*standard)(child, out) : DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT TAccessible::get_accName(VARIANT child, BSTR* name) {
  return AnswerText(child, name, &TAccessible::Name, &IAccessible::get_accName);
}

HRESULT TAccessible::get_accDescription(VARIANT child, BSTR* description) {
  return AnswerText(child, description, &TAccessible::Description, &IAccessible::get_accDescription);
}

HRESULT TAccessible::get_accHelp(VARIANT child, BSTR* help) {
  return AnswerText(child, help, &TAccessible::Help, &IAccessible::get_accHelp);
}

HRESULT TAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return AnswerText(child, shortcut, &TAccessible::KeyboardShortcut, &IAccessible::get_accKeyboardShortcut);
}

HRESULT TAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  return AnswerText(child, action, &TAccessible::DefaultAction, &IAccessible::get_accDefaultAction);
}

HRESULT TAccessible::get_accRole(VARIANT child, VARIANT* role) {
  return AnswerNumber(child, role, &TAccessible::Role, &IAccessible::get_accRole);
}

HRESULT TAccessible::get_accState(VARIANT child, VARIANT* state) {
  return AnswerNumber(child, state, &TAccessible::State, &IAccessible::get_accState);
}

HRESULT TAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  if (!IsSelf(child)) return FStandard ? FStandard->accLocation(left, top, width, height, child) : E_INVALIDARG;
  RECT r{};
  if (!GetWindowRect(FWindow, &r)) return E_FAIL;
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT TAccessible::accDoDefaultAction(VARIANT child) {
  return Guarded([&]() -> HRESULT {
    TWinControl* control = Control();
    if (!control) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child) || !DefaultAction())
      return FStandard ? FStandard->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
    // A disabled or hidden control cannot be clicked either.
    if (!control->Enabled() || !IsWindowVisible(FWindow)) return E_FAIL;
    return PostMessageW(FWindow, FM_ACCESSIBLEACTION, 0, 0) ? S_OK : E_FAIL;
  });
}

// What the object leaves to the standard one entirely.

HRESULT TAccessible::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accParent(parent) : S_FALSE;
}

HRESULT TAccessible::get_accChildCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accChildCount(count) : S_OK;
}

HRESULT TAccessible::get_accChild(VARIANT child, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accChild(child, object) : E_INVALIDARG;
}

HRESULT TAccessible::get_accValue(VARIANT child, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accValue(child, value) : DISP_E_MEMBERNOTFOUND;
}

HRESULT TAccessible::get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) {
  if (!helpFile || !topic) return E_POINTER;
  *helpFile = nullptr;
  *topic = 0;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accHelpTopic(helpFile, child, topic) : DISP_E_MEMBERNOTFOUND;
}

HRESULT TAccessible::get_accFocus(VARIANT* focus) {
  if (!focus) return E_POINTER;
  focus->vt = VT_EMPTY;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accFocus(focus) : S_FALSE;
}

HRESULT TAccessible::get_accSelection(VARIANT* selection) {
  if (!selection) return E_POINTER;
  selection->vt = VT_EMPTY;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->get_accSelection(selection) : S_FALSE;
}

HRESULT TAccessible::accSelect(LONG flags, VARIANT child) {
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  if (!FStandard) return DISP_E_MEMBERNOTFOUND;
  // Taking the focus runs the control's own code (a slot checks itself and
  // fires OnClick), which may end the window and so disconnect both objects
  // in the middle of the call: both stay alive until it returns.
  const ComPtr<IAccessible> self(static_cast<IAccessible*>(this));
  const ComPtr<IAccessible> standard = FStandard;
  return standard->accSelect(flags, child);
}

HRESULT TAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  end->vt = VT_EMPTY;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->accNavigate(direction, start, end) : S_FALSE;
}

HRESULT TAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
  if (!child) return E_POINTER;
  child->vt = VT_EMPTY;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->accHitTest(x, y, child) : S_FALSE;
}

HRESULT TAccessible::put_accName(VARIANT child, BSTR name) {
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->put_accName(child, name) : E_NOTIMPL;
}

HRESULT TAccessible::put_accValue(VARIANT child, BSTR value) {
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  return FStandard ? FStandard->put_accValue(child, value) : E_NOTIMPL;
}

HRESULT TAccessible::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = nullptr;
  if (!Control()) return CO_E_OBJNOTCONNECTED;
  *window = FWindow;
  return S_OK;
}

HRESULT TAccessible::ContextSensitiveHelp(BOOL) { return Control() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED; }

bool HandleAccessibilityMessage(TWinControl& control, TMessage& message) {
  if (!control.HandleAllocated() || control.IsDestroying()) return false;
  const HWND window = control.Handle();
  auto* object = static_cast<TAccessible*>(GetPropW(window, kAccessibleProp));
  if (message.Msg == FM_ACCESSIBLEACTION) {
    if (object) object->RunPostedAction();
    message.Result = 0;
    return true;
  }
  // The object id is a 32-bit value, sign-extended or not by the sender.
  if (message.Msg != WM_GETOBJECT || static_cast<LONG>(message.LParam) != OBJID_CLIENT) return false;
  if (!object) {
    // Marshalling the object needs an apartment; nothing of COM exists before
    // the first client asks.
    if (!AccessibilityLibraryLoaded() || !OpenApartment()) return false;
    object = control.CreateAccessibleObject();
    if (!object) return false;
    if (!SetPropW(window, kAccessibleProp, object)) {
      object->Disconnect();
      object->Release();
      return false;
    }
  }
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), message.WParam, static_cast<IAccessible*>(object));
  // An error would reach the caller as a result; the standard object is better than none.
  if (FAILED(static_cast<HRESULT>(result))) return false;
  message.Result = result;
  return true;
}

void DisconnectAccessible(HWND window) {
  auto* object = static_cast<TAccessible*>(RemovePropW(window, kAccessibleProp));
  if (!object) return;
  object->Disconnect();
  object->Release();
}

void NotifyAccessibleEvent(TWinControl& control, DWORD event) {
  if (control.HandleAllocated()) NotifyWinEvent(event, control.Handle(), OBJID_CLIENT, CHILDID_SELF);
}

void InitializeAccessibilityModule() {}

void FinalizeAccessibilityModule() {
  if (!std::exchange(gApartmentOpened, false)) return;
  CoUninitialize();
}

}  // namespace lodo

// Accessible objects (MSAA) of the framework's windowed controls: one COM
// object per window, made when WM_GETOBJECT first asks for the client object,
// answering what the control knows and leaving the rest to the window's
// standard object. It is cut off from its control when the window goes.
#pragma once
#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <optional>
#include <string>

#include "framework/Messages.h"

namespace lodo {

class TWinControl;

// Posted to a control's window by accDoDefaultAction: the action runs after
// the caller has its answer, since its handlers may open a box or close the
// window (the system's own button object posts its click the same way).
constexpr UINT FM_ACCESSIBLEACTION = FM_BASE + 0x40;

// COM interfaces have no virtual destructor: an object is deleted by its own
// Release, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class TAccessible : public IAccessible, public IOleWindow {
 public:
  explicit TAccessible(TWinControl& control);
  TAccessible(const TAccessible&) = delete;
  TAccessible& operator=(const TAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: callers use the interface's own methods; there is no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override;

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

  // Cuts the object off from its control and from the standard object.
  // Every later call answers CO_E_OBJNOTCONNECTED; callers in other
  // processes get RPC_E_DISCONNECTED from their proxies.
  void Disconnect();
  // The control while it is alive and not being destroyed, else nullptr.
  TWinControl* Control() const;
  // Runs the default action that accDoDefaultAction posted.
  void RunPostedAction();

 protected:
  virtual ~TAccessible();

  // The object's own answers about the control itself (CHILDID_SELF). No
  // value leaves the question to the window's standard object; an empty
  // text answers S_FALSE with no text.
  virtual std::optional<LONG> Role() const { return std::nullopt; }
  virtual std::optional<std::wstring> Name() const { return std::nullopt; }
  virtual std::optional<LONG> State() const { return std::nullopt; }
  virtual std::optional<std::wstring> Description() const { return std::nullopt; }
  virtual std::optional<std::wstring> Help() const { return std::nullopt; }
  virtual std::optional<std::wstring> KeyboardShortcut() const { return std::nullopt; }
  virtual std::optional<std::wstring> DefaultAction() const { return std::nullopt; }
  // The default action itself, run from the posted message; the control is connected.
  virtual void DoDefaultAction() {}

  // The state bits every windowed control shares: unavailable, invisible, focused.
  LONG WindowState() const;

 private:
  using TTextAnswer = std::optional<std::wstring> (TAccessible::*)() const;
  using TTextStandard = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
  HRESULT AnswerText(VARIANT child, BSTR* out, TTextAnswer own, TTextStandard standard);
  using TNumberAnswer = std::optional<LONG> (TAccessible::*)() const;
  using TNumberStandard = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);
  HRESULT AnswerNumber(VARIANT child, VARIANT* out, TNumberAnswer own, TNumberStandard standard);

  LONG FReferences = 1;
  TWinControl* FControl;
  HWND FWindow;
  Microsoft::WRL::ComPtr<IAccessible> FStandard;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// The caption as it is shown: accelerator ampersands dropped, "&&" read as "&".
std::wstring ShownCaption(const std::wstring& caption);
// A caption spelled out in single letters one space apart ("S P A J A N J E")
// reads as the word it spells ("SPAJANJE"); words two or more spaces apart
// stay words of their own. A caption with nothing spelled stays as it is.
std::wstring SpokenCaption(const std::wstring& caption);
// "Alt+" and the caption's accelerator letter, or empty without one.
std::wstring AcceleratorShortcut(const std::wstring& caption);

// WM_GETOBJECT for the client object, and the posted default action. False
// leaves the message to the standard handling: the control has no object of
// its own, or the message asks for another object.
bool HandleAccessibilityMessage(TWinControl& control, TMessage& message);
// The window is going: its object, if one was made, is disconnected and released.
void DisconnectAccessible(HWND window);
// Tells WinEvent listeners that the control's client object changed
// (EVENT_OBJECT_STATECHANGE, _NAMECHANGE, ...). Nothing without a window.
void NotifyAccessibleEvent(TWinControl& control, DWORD event);

// The module row: nothing starts with the program; at the end, the COM
// apartment that the first WM_GETOBJECT opened is closed again.
void InitializeAccessibilityModule();
void FinalizeAccessibilityModule();

}  // namespace lodo

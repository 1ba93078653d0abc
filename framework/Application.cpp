// The message loop with its keyboard pre-processing, the error box, and the
// tooltip window shared by every control that shows a hint.
#include "framework/Application.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "framework/Exceptions.h"
#include "framework/Form.h"
#include "framework/Text.h"

namespace lodo {

TApplication* Application = nullptr;

namespace {
TForm* TopLevelForm(TControl* control) {
  TControl* top = control;
  while (top && top->Parent()) top = top->Parent();
  TWinControl* window = top ? top->AsWinControl() : nullptr;
  return window ? window->AsForm() : nullptr;
}
}  // namespace

TApplication::TApplication() {
  Application = this;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  FTitle = TitleFromPath(path);
}

TApplication::~TApplication() {
  DestroyForms();
  FTooltip.Reset();
  if (Application == this) Application = nullptr;
}

std::wstring TApplication::TitleFromPath(const std::wstring& exePath) {
  const auto slash = exePath.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? exePath : exePath.substr(slash + 1);
  if (const auto dot = name.find(L'.'); dot != std::wstring::npos) name.resize(dot);
  for (size_t i = 1; i < name.size(); ++i) name[i] = static_cast<wchar_t>(std::towlower(name[i]));
  return name;
}

void TApplication::AfterFormConstruction(TForm* form) { form->DoCreate(); }

void TApplication::DestroyForms() {
  // Newest first; the main form last.
  while (!FForms.empty()) {
    std::unique_ptr<TForm> form = std::move(FForms.back());
    FForms.pop_back();
    if (form.get() == FMainForm) FMainForm = nullptr;
    form.reset();
  }
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!FTerminated && HandleMessage()) {
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::HandleMessage() {
  MSG msg{};
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    FTerminated = true;
    return false;
  }
  if (!PreprocessMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      FTerminated = true;
      return;
    }
    if (!PreprocessMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool TApplication::PreprocessMessage(MSG& msg) {
  // Errors here have no window procedure to catch them.
  try {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      // The focused control sees the key first (menu shortcuts, navigation).
      if (TWinControl* c = TWinControl::FindControl(msg.hwnd)) {
        const UINT reflected = msg.message == WM_KEYDOWN ? RN_KEYDOWN : RN_SYSKEYDOWN;
        if (c->Perform(reflected, msg.wParam, msg.lParam) != 0) return true;
      }
    } else if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR) {
      TWinControl* c = TWinControl::FindControl(msg.hwnd);
      if (!c) return false;
      if (msg.message == WM_CHAR) {
        const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, 0);
        if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) return false;
      }
      if (TForm* form = TopLevelForm(c)) return form->Perform(FM_DIALOGCHAR, msg.wParam, 0) != 0;
    }
  } catch (...) {
    ReportCurrentException();
    return true;
  }
  return false;
}

void TApplication::HandleException(const std::exception& error) {
  if (OnException) {
    OnException(error.what());
    return;
  }
  HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
  MessageBoxW(owner, Utf8ToWide(error.what()).c_str(), FTitle.c_str(), MB_OK | MB_ICONERROR);
}

void ReportCurrentException(const char* unknownText) noexcept {
  if (!Application) return;
  try {
    try {
      throw;
    } catch (const std::exception& error) {
      Application->HandleException(error);
    } catch (...) {
      Application->HandleException(Exception(unknownText));
    }
  } catch (...) {
    // The error handler itself failed; there is nobody left to tell.
  }
}

void TApplication::AddTool(TWinControl* control) {
  if (!control->HandleAllocated() || !control->Parent() || !control->Parent()->HandleAllocated()) return;
  if (std::find(FTools.begin(), FTools.end(), control) != FTools.end()) return;
  // Before the tooltip window exists the control only waits in the list.
  if (FTooltip.Valid() && !RegisterTool(control)) return;
  FTools.push_back(control);
}

bool TApplication::RegisterTool(TWinControl* control) {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = control->Parent()->Handle();
  info.uId = reinterpret_cast<UINT_PTR>(control->Handle());
  info.lpszText = LPSTR_TEXTCALLBACKW;
  return SendMessageW(FTooltip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

// Most starts never show a tip, and the tooltip window, a top-level window
// of Common Controls with a subclass on every tool, costs the start-up a
// few milliseconds: it is made when it is first needed.
HWND TApplication::TooltipWindow() {
  if (FTooltip.Valid()) return FTooltip.Get();
  FTooltip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
  if (!FTooltip.Valid()) return nullptr;
  SendMessageW(FTooltip.Get(), TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(HintPause, 0));
  SendMessageW(FTooltip.Get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(HintHidePause, 0));
  SendMessageW(FTooltip.Get(), TTM_SETMAXTIPWIDTH, 0, 600);
  // A control whose tool is refused shows no tip, as when it was added.
  std::erase_if(FTools, [this](TWinControl* control) { return !RegisterTool(control); });
  return FTooltip.Get();
}

void TApplication::MouseEntered(TWinControl* control, const TMessage& move) {
  if (FTooltip.Valid() || std::find(FTools.begin(), FTools.end(), control) == FTools.end()) return;
  if (!TooltipWindow()) return;
  // The tooltip hears the control's mouse through its subclass from now
  // on; this first move came before it, so it is relayed, and the pause
  // before the tip runs from the first hover.
  MSG msg{control->Handle(), move.Msg, move.WParam, move.LParam, static_cast<DWORD>(GetMessageTime()), {0, 0}};
  const DWORD pos = GetMessagePos();
  msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  SendMessageW(FTooltip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void TApplication::RemoveTool(TWinControl* control) {
  auto it = std::find(FTools.begin(), FTools.end(), control);
  if (it == FTools.end()) return;
  FTools.erase(it);
  if (!FTooltip.Valid() || !control->HandleAllocated()) return;
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = control->Parent() && control->Parent()->HandleAllocated() ? control->Parent()->Handle() : nullptr;
  info.uId = reinterpret_cast<UINT_PTR>(control->Handle());
  SendMessageW(FTooltip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TApplication::WindowCreated(TWinControl* control) {
  if (ShowHint && control->ShowHint()) AddTool(control);
}

void TApplication::WindowDestroying(TWinControl* control) { RemoveTool(control); }

void TApplication::ShowHintChanged(TWinControl* control) {
  if (ShowHint && control->ShowHint())
    AddTool(control);
  else
    RemoveTool(control);
}

void TApplication::FocusChanged(TWinControl* control) {
  if (TForm* form = TopLevelForm(control); form && form != control) form->SetActiveControl(control);
}

void TApplication::ControlDestroyed(TControl* control) {
  // Runs from the base destructor, where the dynamic type is already gone.
  std::erase_if(FTools, [control](TWinControl* w) { return static_cast<TControl*>(w) == control; });
  for (auto& form : FForms)
    if (form && form->ActiveControl() == control) form->SetActiveControl(nullptr);
}

}  // namespace lodo

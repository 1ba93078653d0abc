// Forms: window styles, sizing rules, the close procedure and navigation.
#include "framework/Form.h"

#include <algorithm>

#include "framework/Application.h"

namespace lodo {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetVisible(false);
  SetColor(clBtnFace);
}

TForm::~TForm() {
  Destroying();
  DestroyHandle();
}

void TForm::SetClientSize(int width, int height) {
  FClientWidth = width;
  FClientHeight = height;
  if (HandleAllocated()) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  } else {
    TCreateParams p;
    CreateParams(p);
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
    TControl::SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
    AlignControls();
  }
}

RECT TForm::ClientRect() const {
  if (HandleAllocated()) return TWinControl::ClientRect();
  return {0, 0, FClientWidth, FClientHeight};
}

void TForm::SetIcon(HICON icon) {
  FIcon = icon;
  if (HandleAllocated()) {
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style = WS_CLIPCHILDREN | WS_CAPTION;
  params.ExStyle = WS_EX_CONTROLPARENT;
  switch (FBorderStyle) {
    case fbsNone:
      params.Style = WS_POPUP | WS_CLIPCHILDREN;
      break;
    case fbsSizeable:
      params.Style |= WS_THICKFRAME;
      break;
    case fbsDialog:
      params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    default:
      params.Style |= WS_BORDER;
      break;
  }
  if (FBorderStyle != fbsNone) {
    if (FBorderIcons & biSystemMenu) params.Style |= WS_SYSMENU;
    if (FBorderIcons & biMinimize) params.Style |= WS_MINIMIZEBOX;
    if (FBorderIcons & biMaximize) params.Style |= WS_MAXIMIZEBOX;
  }
  params.WndParent = nullptr;
}

void TForm::PlaceAtCreation() {
  // The system will grow the window to its minimum size; centre that size.
  const int width = std::max(Width(), FMinWidth), height = std::max(Height(), FMinHeight);
  if (width != Width() || height != Height()) {
    // The client area grows with it: the children are laid out for the
    // size they will have, so that none of their windows is made and then
    // moved at once.
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    FClientWidth = width - (frame.right - frame.left);
    FClientHeight = height - (frame.bottom - frame.top);
    TControl::SetBounds(Left(), Top(), width, height);
    AlignControls();
  }
  if (FPosition != poDesktopCenter) return;
  const POINT origin = CentredOrigin();
  TControl::SetBounds(origin.x, origin.y, Width(), Height());
}

POINT TForm::CentredOrigin() const {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - Width()) / 2;
  const int top = work.top + (work.bottom - work.top - Height()) / 2;
  return {left < work.left ? work.left : left, top < work.top ? work.top : top};
}

namespace {
// GetDpiForWindow comes with Windows 10 (1607); before it every monitor has
// the system dpi.
int MonitorDpiOf(HWND window) {
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<TGetDpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return getDpi ? static_cast<int>(getDpi(window)) : 0;
}
}  // namespace

int (*TForm::WindowDpi)(HWND window) = MonitorDpiOf;

void TForm::CreateWnd() {
  TWinControl::CreateWnd();
  // The system dpi is the same for every monitor. A window that opens on a
  // monitor of another scale takes that monitor's now, before its children's
  // windows are made and before it is first shown: WM_DPICHANGED comes only
  // when it moves to another monitor or its monitor's scale changes.
  const int dpi = WindowDpi ? WindowDpi(Handle()) : 0;
  if (dpi <= 0 || dpi == FPixelsPerInch) return;
  ScaleForPPI(dpi, true);
  if (FPosition != poDesktopCenter) return;
  const POINT origin = CentredOrigin();
  SetBounds(origin.x, origin.y, Width(), Height());
}

void TForm::CreateHandleDone() {
  if (FIcon) SetIcon(FIcon);
  // The system may have adjusted the outer size; keep the client size as designed.
  if (FClientWidth > 0 || FClientHeight > 0) {
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right != FClientWidth || client.bottom != FClientHeight) SetClientSize(FClientWidth, FClientHeight);
  }
  AlignControls();
}

void TForm::PrepareShow() {
  if (HandleAllocated()) return;
  PlaceAtCreation();
  HandleNeeded();
}

void TForm::Show() {
  PrepareShow();
  TControl::SetVisible(true);
  ShowWindow(Handle(), SW_SHOWNORMAL);
  if (OnShow) OnShow(this);
  UpdateWindow(Handle());
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Close() {
  if (FClosing) return;
  const TScopedFlag closing(FClosing);
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  // The main form's close ends the application; it stays on screen until the
  // loop has picked up the quit message.
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide || action == caFree) {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    TControl::SetVisible(false);
  } else if (action == caMinimize && HandleAllocated()) {
    ShowWindow(Handle(), SW_MINIMIZE);
  }
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::SetActiveControl(TWinControl* control) {
  FActiveControl = control;
  if (control && HandleAllocated() && GetActiveWindow() == Handle() && !control->Focused()) control->SetFocus();
}

void TForm::FocusFirstControl() {
  if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

int TForm::ScreenPPI() {
  TWindowDC screen(nullptr);
  const int ppi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return ppi > 0 ? ppi : 96;
}

int TForm::TextHeightOf(TFont font) {
  TWindowDC screen(nullptr);
  TSelectGuard sel(screen.Get(), font.Handle());
  SIZE size{};
  GetTextExtentPoint32W(screen.Get(), L"0", 1, &size);
  return size.cy;
}

void TForm::ScaleForPPI(int ppi, bool resizeWindow) {
  if (ppi <= 0 || ppi == FPixelsPerInch) return;
  if (!FHasDesign) {
    FHasDesign = true;
    FDesignFontHeight = Font().Height();
    FDesignClientWidth = FClientWidth;
    FDesignClientHeight = FClientHeight;
    FDesignMinWidth = FMinWidth;
    FDesignMinHeight = FMinHeight;
  }
  // Heights of the window font at design and at the new resolution,
  // measured, not assumed.
  TFont design(Font());
  design.SetHeight(FDesignFontHeight);
  TFont scaled(Font());
  scaled.SetHeight(MulDiv(FDesignFontHeight, ppi, 96));
  const int designHeight = TextHeightOf(design);
  const int scaledHeight = TextHeightOf(scaled);
  if (designHeight <= 0 || scaledHeight <= 0) return;
  FPixelsPerInch = ppi;
  FMinWidth = MulDiv(FDesignMinWidth, scaledHeight, designHeight);
  FMinHeight = MulDiv(FDesignMinHeight, scaledHeight, designHeight);
  Font().SetHeight(scaled.Height());
  if (resizeWindow)
    SetClientSize(MulDiv(FDesignClientWidth, scaledHeight, designHeight),
                  MulDiv(FDesignClientHeight, scaledHeight, designHeight));
  for (TControl* c : std::vector<TControl*>(Controls())) c->ChangeScale(scaledHeight, designHeight, ppi, 96);
  AlignControls();
}

bool TForm::DialogKey(WPARAM key, TWinControl* from) {
  TWinControl* current = from ? from : FActiveControl;
  if (key == VK_TAB) {
    const bool back = GetKeyState(VK_SHIFT) < 0;
    if (GetKeyState(VK_CONTROL) < 0) return false;
    if (TWinControl* next = FindNextControl(current, !back, true, false)) {
      next->SetFocus();
      return true;
    }
    return false;
  }
  // Arrow keys move among the children of the focused control's parent.
  if (current && current->Parent()) {
    const bool forward = key == VK_RIGHT || key == VK_DOWN;
    if (TWinControl* next = current->Parent()->FindNextControl(current, forward, false, true)) {
      next->SetFocus();
      return true;
    }
  }
  return false;
}

void TForm::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TForm> kMessages[] = {
      {WM_CLOSE, &TForm::WMClose}, {WM_GETMINMAXINFO, &TForm::WMGetMinMaxInfo}, {WM_ACTIVATE, &TForm::WMActivate},
      {WM_SIZE, &TForm::WMSize},   {WM_DPICHANGED, &TForm::WMDpiChanged},       {FM_DIALOGKEY, &TForm::FMDialogKey},
  };
  if (DispatchMessageTo<TForm>(*this, kMessages, message)) return;
  TWinControl::WndProc(message);
}

bool TForm::WMClose(TMessage& message) {
  Close();
  message.Result = 0;
  return true;
}

bool TForm::WMGetMinMaxInfo(TMessage& message) {
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  if (FMinWidth > 0) info->ptMinTrackSize.x = FMinWidth;
  if (FMinHeight > 0) info->ptMinTrackSize.y = FMinHeight;
  message.Result = 0;
  return true;
}

bool TForm::WMActivate(TMessage& message) {
  DefaultHandler(message);
  if (LOWORD(message.WParam) == WA_INACTIVE) return true;
  if (!FActivatedOnce) {
    FActivatedOnce = true;
    FocusFirstControl();
  } else if (FActiveControl && FActiveControl->CanFocus()) {
    FActiveControl->SetFocus();
  }
  message.Result = 0;
  return true;
}

bool TForm::WMSize(TMessage&) {
  // The client size is remembered, then the windowed control's own handling follows.
  if (HandleAllocated()) {
    RECT c{};
    GetClientRect(Handle(), &c);
    if (c.right > 0 && c.bottom > 0) {
      FClientWidth = c.right;
      FClientHeight = c.bottom;
    }
  }
  return false;
}

bool TForm::WMDpiChanged(TMessage& message) {
  // Moved to a monitor of another scale: lay out again for it and take
  // the window rectangle the system proposes.
  ScaleForPPI(HIWORD(message.WParam), false);
  const RECT* r = reinterpret_cast<const RECT*>(message.LParam);
  SetWindowPos(Handle(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  message.Result = 0;
  return true;
}

bool TForm::FMDialogKey(TMessage& message) {
  message.Result = DialogKey(message.WParam, reinterpret_cast<TWinControl*>(message.LParam)) ? 1 : 0;
  return true;
}

}  // namespace lodo

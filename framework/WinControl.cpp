// Windowed controls: creation, the child lists, focus and tab order, layout,
// painting, and the messages every control's window handles.
#include "framework/WinControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "framework/Accessible.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"

namespace lodo {

namespace {

UINT NextControlId() {
  static UINT next = 100;
  return next++;
}

// The windows being made in one go, and what they asked of the system.
int gCreationDepth = 0;
std::optional<POINT> gPassCursor;
std::optional<HWND> gPassCapture;

struct TCreationPass {
  TCreationPass() { ++gCreationDepth; }
  ~TCreationPass() {
    if (--gCreationDepth > 0) return;
    gPassCursor.reset();
    gPassCapture.reset();
  }
  TCreationPass(const TCreationPass&) = delete;
  TCreationPass& operator=(const TCreationPass&) = delete;
};

}  // namespace

void TWinControl::WindowBound(HWND window) { FHandle = window; }

void TWinControl::WindowUnbound(HWND window) {
  if (FHandle != window) return;
  // A window can go with its parent's, not only through DestroyHandle; its
  // tooltip entry must go too, or a window made later would not get one.
  if (Application) Application->WindowDestroying(this);
  // Screen readers may keep the window's accessible object for long.
  DisconnectAccessible(window);
  FHandle = nullptr;
  FFocused = false;
}

void TWinControl::WindowMessage(HWND, TMessage& message) { WndProc(message); }

TWinControl* TWinControl::FindControl(HWND window) {
  TWindowTarget* target = BoundTarget(window);
  return target ? target->AsWinControl() : nullptr;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  Destroying();
  // Children are not owned: detach them, so whichever dies later does not
  // reach back into this object.
  for (TControl* c : FControls) c->FParent = nullptr;
  FControls.clear();
  FTabList.clear();
  FMouseControl = nullptr;
  if (Application) Application->WindowDestroying(this);
  DestroyHandle();
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle().Contains(csAcceptsControls)) params.Style |= WS_CLIPCHILDREN;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.Caption = TControl::Text();
  if (Parent()) params.WndParent = Parent()->Handle();
}

bool TWinControl::CursorPosition(POINT& position) {
  if (gCreationDepth > 0 && gPassCursor) {
    position = *gPassCursor;
    return true;
  }
  if (!GetCursorPos(&position)) return false;
  if (gCreationDepth > 0) gPassCursor = position;
  return true;
}

HWND TWinControl::CaptureWindow() {
  if (gCreationDepth > 0 && gPassCapture) return *gPassCapture;
  HWND capture = GetCapture();
  if (gCreationDepth > 0) gPassCapture = capture;
  return capture;
}

void TWinControl::CaptureWindowChanged() { gPassCapture.reset(); }

void TWinControl::CreateHandle() {
  if (FHandle) return;
  if (Parent() && !Parent()->HandleAllocated()) Parent()->HandleNeeded();
  if (FHandle) return;  // the parent's creation may have created us
  TCreationPass pass;
  CreateWnd();
  if (!FHandle) return;
  UpdateZOrder();
  CreateChildHandles();
  CreateHandleDone();
  if (Application) Application->WindowCreated(this);
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  std::wstring className = FrameworkWindowClass();
  FDefWndProc = DefWindowProcW;
  if (!params.SystemClass.empty()) className = SuperclassOf(params.SystemClass, FDefWndProc);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  const auto id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId())) : nullptr;
  IncludeState(csCreating);
  HWND window = CreateBoundWindow(this, params.ExStyle, className.c_str(), params.Caption.c_str(), params.Style,
                                  params.X, params.Y, params.Width, params.Height, params.WndParent, id);
  ExcludeState(csCreating);
  if (!window) throw Exception("Cannot create window for control '" + Name() + "'");
  FHandle = window;
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::CreateChildHandles() {
  // The system puts a child window it makes below its siblings: made in
  // window order, the windows end in that order and none has to be moved
  // (a move is a round trip and a repaint).
  for (TWinControl* w : WindowOrder())
    if (w->Visible() && !w->HandleAllocated()) w->CreateHandle();
}

std::vector<TWinControl*> TWinControl::WindowOrder() const {
  // Screen readers, and GW_CHILD/GW_HWNDNEXT, meet a parent's child windows
  // from the top of the z-order, so that order is the reading order: the
  // tab order, which holds every windowed child, keyboard stop or not.
  // Where two windows overlap, the later child in the child list is drawn
  // above the earlier one and goes before it.
  std::vector<TWinControl*> order = FTabList;
  auto childIndex = [this](TWinControl* w) { return std::find(FControls.begin(), FControls.end(), w); };
  auto overlap = [](TWinControl* a, TWinControl* b) {
    RECT ra = a->BoundsRect(), rb = b->BoundsRect(), common{};
    return IntersectRect(&common, &ra, &rb) != FALSE;
  };
  for (size_t i = 0; i < order.size(); ++i)
    for (size_t j = i + 1; j < order.size(); ++j)
      if (childIndex(order[j]) > childIndex(order[i]) && overlap(order[i], order[j])) {
        // Each move puts a later child above an earlier one, so it ends.
        std::rotate(order.begin() + static_cast<std::ptrdiff_t>(i), order.begin() + static_cast<std::ptrdiff_t>(j),
                    order.begin() + static_cast<std::ptrdiff_t>(j + 1));
        j = i;
      }
  return order;
}

TWinControl* TWinControl::WindowAbove() const {
  if (!Parent()) return nullptr;
  const std::vector<TWinControl*> order = Parent()->WindowOrder();
  auto it = std::find(order.begin(), order.end(), this);
  while (it != order.begin())
    if (TWinControl* w = *--it; w->HandleAllocated()) return w;
  return nullptr;
}

void TWinControl::UpdateZOrder() {
  if (!FHandle || !Parent()) return;
  // Just below the sibling before it in window order that has a window.
  const TWinControl* above = WindowAbove();
  HWND after = above ? above->FHandle : HWND_TOP;
  // A window the system has just made is often where it belongs already.
  if (GetWindow(FHandle, GW_HWNDPREV) == (after == HWND_TOP ? nullptr : after)) return;
  SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TWinControl::DestroyWnd() {
  if (FHandle) DestroyWindow(FHandle);
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  if (Application) Application->WindowDestroying(this);
  DestroyWnd();
  // WM_NCDESTROY has unbound the window; make sure even if it never came.
  FHandle = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!FHandle || FRecreating) return;
  const TScopedFlag recreating(FRecreating);
  const bool hadFocus = Focused();
  DestroyHandle();
  CreateHandle();
  if (hadFocus && FHandle) ::SetFocus(FHandle);
}

void TWinControl::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  // A child window without a parent control would stay on the old parent.
  if (!parent && FHandle && (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)) DestroyHandle();
  if (parent && parent->HandleAllocated() && Visible()) {
    if (FHandle)
      ::SetParent(FHandle, parent->Handle());
    else
      CreateHandle();
  }
}

void TWinControl::InsertControl(TControl* control) {
  control->FParent = this;
  FControls.push_back(control);
  if (TWinControl* w = control->AsWinControl()) FTabList.push_back(w);
  // Sizes that depend on the font (auto-sized labels, nested children) follow.
  if (control->ParentFont() && !control->FFont.SameAs(Font())) control->AdoptParentFont();
  if (control->ParentColor()) control->FColor = Color();
  if (control->ParentShowHint()) control->FShowHint = ShowHint();
  control->UpdateAnchorRules();
  control->Invalidate();
  AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  // Not control->Invalidate(): from a destructor that call no longer reaches
  // the graphic control's override, and its picture would stay behind.
  if (FHandle && control->IsShowing()) {
    const RECT r = control->BoundsRect();
    InvalidateRect(FHandle, &r, FALSE);
  }
  if (FMouseControl == control) FMouseControl = nullptr;
  std::erase(FControls, control);
  if (TWinControl* w = control->AsWinControl()) std::erase(FTabList, w);
  control->FParent = nullptr;
  if (!IsDestroying()) AlignControls();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != Width() || height != Height();
  // A window moved onto or off a sibling may change places with it.
  const TWinControl* above = FHandle ? WindowAbove() : nullptr;
  TControl::SetBounds(left, top, width, height);
  if (FHandle && !ControlState().Contains(csCreating)) {
    RECT r{};
    GetWindowRect(FHandle, &r);
    if (Parent()) MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&r), 2);
    if (r.left != Left() || r.top != Top() || r.right - r.left != Width() || r.bottom - r.top != Height())
      SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (WindowAbove() != above) UpdateZOrder();
  }
  if (resized) {
    AlignControls();
    Resize();
  }
}

RECT TWinControl::ClientRect() const {
  RECT r{0, 0, Width(), Height()};
  if (FHandle) GetClientRect(FHandle, &r);
  return r;
}

void TWinControl::SetVisible(bool visible) {
  if (visible == Visible()) return;
  TControl::SetVisible(visible);
  if (visible) {
    if (Parent() && Parent()->HandleAllocated()) {
      if (!FHandle)
        CreateHandle();
      else
        ShowWindow(FHandle, SW_SHOWNA);
    }
  } else if (FHandle) {
    if (Focused() && Parent()) {
      // Hiding the focused control moves the focus on, as the system would not.
      if (TWinControl* next = Parent()->FindNextControl(this, true, true, false)) next->SetFocus();
    }
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TControl::SetEnabled(enabled);
  if (FHandle) EnableWindow(FHandle, enabled);
}

void TWinControl::SetText(const std::wstring& text) {
  if (FHandle) {
    // The change reactions below run on the text as it was before.
    const TScopedFlag settingText(FSettingText);
    SetWindowTextW(FHandle, text.c_str());
  }
  TControl::SetText(text);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  std::erase(list, this);
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
  UpdateZOrder();
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop) return;
  FTabStop = value;
  if (FHandle) {
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    SetWindowLongPtrW(FHandle, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) return;
  if (HWND h = Handle()) ::SetFocus(h);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  // Without a current control, start just before the first (or after the last).
  int start = it == list.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c == current) break;
    // Containers are walked through, not stopped at.
    const bool container = c->ControlStyle().Contains(csAcceptsControls) && !c->TabStop();
    if (container) continue;
    if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SetParentBackground(bool value) {
  if (value == FParentBackground) return;
  FParentBackground = value;
  Invalidate();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

HBRUSH TWinControl::ColorBrush() {
  FColorBrush.SetColor(Color());
  return FColorBrush.Handle();
}

void TWinControl::FontChanged() {
  if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  TControl::FontChanged();
  TMessage m{FM_PARENTFONTCHANGED, 0, 0, 0};
  for (TControl* c : std::vector<TControl*>(FControls)) c->WndProc(m);
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  TMessage m{FM_PARENTCOLORCHANGED, 0, 0, 0};
  for (TControl* c : std::vector<TControl*>(FControls)) c->WndProc(m);
}

void TWinControl::Resize() {
  if (OnResize) OnResize(this);
}

void TWinControl::ChangeScale(int m, int d, int fontM, int fontD) {
  TControl::ChangeScale(m, d, fontM, fontD);
  for (TControl* c : std::vector<TControl*>(FControls)) c->ChangeScale(m, d, fontM, fontD);
}

void TWinControl::AlignControls() {
  if (FAligning) return;
  const TScopedFlag aligning(FAligning);
  RECT r = ClientRect();
  auto place = [](TControl* c, int l, int t, int w, int h) {
    const int keepR = c->FAnchorRight, keepB = c->FAnchorBottom;
    c->SetBounds(l, t, w, h);
    c->FAnchorRight = keepR;
    c->FAnchorBottom = keepB;
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
      if (c->Align() != a || !c->Visible()) continue;
      switch (a) {
        case alTop:
          place(c, r.left, r.top, r.right - r.left, c->Height());
          r.top += c->Height();
          break;
        case alBottom:
          r.bottom -= c->Height();
          place(c, r.left, r.bottom, r.right - r.left, c->Height());
          break;
        case alLeft:
          place(c, r.left, r.top, c->Width(), r.bottom - r.top);
          r.left += c->Width();
          break;
        case alRight:
          r.right -= c->Width();
          place(c, r.right, r.top, c->Width(), r.bottom - r.top);
          break;
        default:
          place(c, r.left, r.top, r.right - r.left, r.bottom - r.top);
          break;
      }
    }
  }
  const RECT client = ClientRect();
  for (TControl* c : std::vector<TControl*>(FControls))
    if (c->Align() == alNone && (c->Anchors() & (akRight | akBottom))) c->AnchorToParent(client.right, client.bottom);
}

void TWinControl::PaintControls(HDC dc) {
  RECT clip{};
  GetClipBox(dc, &clip);
  for (TControl* c : FControls) {
    if (c->AsWinControl() || !c->Visible()) continue;
    RECT b = c->BoundsRect(), common{};
    if (!IntersectRect(&common, &b, &clip)) continue;
    TSavedDC saved(dc);
    POINT old{};
    OffsetViewportOrgEx(dc, b.left, b.top, &old);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font().Assign(c->Font());
    canvas.Brush().SetColor(c->Color());
    c->Paint(canvas);
    canvas.SetHandle(nullptr);
  }
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    const RECT b = c->BoundsRect();
    if (c->Visible() && (allowDisabled || c->Enabled()) && PtInRect(&b, p)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WndProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintBackgroundAndContents(HDC dc) {
  // The background is filled here, not in WM_ERASEBKGND, so that a repaint
  // requested without erasing still shows the right colour.
  const RECT client = ClientRect();
  FillRect(dc, &client, ColorBrush());
  PaintWindow(dc);
  PaintControls(dc);
}

bool TWinControl::WMPaint(TMessage& message) {
  if (!OwnClass()) return false;
  message.Result = 0;
  if (HDC given = reinterpret_cast<HDC>(message.WParam)) {
    // Painting into a DC someone else prepared: the picture only.
    PaintWindow(given);
    PaintControls(given);
    return true;
  }
  TPaintDC paint(FHandle);
  if (!FDoubleBuffered) {
    PaintBackgroundAndContents(paint.Get());
    return true;
  }
  const RECT client = ClientRect();
  TMemoryDC memory(paint.Get());
  TBitmapHandle bitmap(CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
  TSelectGuard sel(memory.Get(), bitmap.Get());
  PaintBackgroundAndContents(memory.Get());
  BitBlt(paint.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
  return true;
}

bool TWinControl::WMEraseBkgnd(TMessage& message) {
  if (!OwnClass()) return false;
  // The window's own paint fills its background. wParam == lParam means
  // painting into a foreign DC, which must be erased here.
  if (message.WParam == static_cast<WPARAM>(message.LParam)) {
    const RECT client = ClientRect();
    FillRect(reinterpret_cast<HDC>(message.WParam), &client, ColorBrush());
  }
  message.Result = 1;
  return true;
}

bool TWinControl::WMPrintClient(TMessage& message) {
  // The visual style's parent-background painting asks for the picture
  // this way; the DC's origin is already shifted onto the child.
  if (!OwnClass() || !message.WParam) return false;
  PaintBackgroundAndContents(reinterpret_cast<HDC>(message.WParam));
  message.Result = 0;
  return true;
}

void TWinControl::ReflectToChild(TMessage& message, HWND child) {
  TWinControl* target = FindControl(child);
  if (target && target != this) {
    message.Result = target->Perform(RN_BASE + message.Msg, message.WParam, message.LParam);
    return;
  }
  DefaultHandler(message);
}

void TWinControl::TrackMouseEnter() {
  if (ControlState().Contains(csMouseInside)) return;
  IncludeState(csMouseInside);
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
  TrackMouseEvent(&tme);
  Perform(FM_MOUSEENTER, 0, 0);
}

bool TWinControl::WantsKey(WPARAM key) {
  if (!FHandle) return false;
  MSG m{FHandle, WM_KEYDOWN, key, 0, 0, {0, 0}};
  const LRESULT code = SendMessageW(FHandle, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&m));
  if (code & DLGC_WANTALLKEYS) return true;
  if (key == VK_TAB) return (code & DLGC_WANTTAB) != 0;
  if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) return (code & DLGC_WANTARROWS) != 0;
  return false;
}

void TWinControl::HandleKeyDown(TMessage& message) {
  message.Result = 0;
  const WPARAM key = message.WParam;
  const bool navigation = key == VK_TAB || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
  if (message.Msg == RN_KEYDOWN && navigation && !WantsKey(key)) {
    // Navigation keys go to the top-level form.
    TControl* top = this;
    while (top->Parent()) top = top->Parent();
    message.Result = top->Perform(FM_DIALOGKEY, key, reinterpret_cast<LPARAM>(this));
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!FHandle) return;
  RECT r{};
  GetWindowRect(FHandle, &r);
  if (Parent()) MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&r), 2);
  TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::WndProc(TMessage& message) {
  static constexpr TMessageEntry<TWinControl> kMessages[] = {
      {WM_PAINT, &TWinControl::WMPaint},
      {WM_ERASEBKGND, &TWinControl::WMEraseBkgnd},
      {WM_PRINTCLIENT, &TWinControl::WMPrintClient},
      {WM_COMMAND, &TWinControl::WMCommand},
      {WM_NOTIFY, &TWinControl::WMNotify},
      {WM_DRAWITEM, &TWinControl::WMDrawItem},
      {WM_MEASUREITEM, &TWinControl::WMMeasureItem},
      {WM_CTLCOLORBTN, &TWinControl::WMCtlColor},
      {WM_CTLCOLOREDIT, &TWinControl::WMCtlColor},
      {WM_CTLCOLORSTATIC, &TWinControl::WMCtlColor},
      {WM_CTLCOLORLISTBOX, &TWinControl::WMCtlColor},
      {RN_CTLCOLORBTN, &TWinControl::RNCtlColor},
      {RN_CTLCOLOREDIT, &TWinControl::RNCtlColor},
      {RN_CTLCOLORSTATIC, &TWinControl::RNCtlColor},
      {RN_CTLCOLORLISTBOX, &TWinControl::RNCtlColor},
      {RN_KEYDOWN, &TWinControl::RNKeyDown},
      {RN_SYSKEYDOWN, &TWinControl::RNKeyDown},
      {WM_SETFOCUS, &TWinControl::WMSetFocus},
      {WM_KILLFOCUS, &TWinControl::WMKillFocus},
      {WM_SETTEXT, &TWinControl::WMSetText},
      {WM_MOUSEMOVE, WM_MBUTTONDBLCLK, &TWinControl::WMMouse},
      {WM_MOUSELEAVE, &TWinControl::WMMouseLeave},
      {WM_SETCURSOR, &TWinControl::WMSetCursor},
      {WM_SIZE, &TWinControl::WMSize},
      {WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged},
      {WM_SYSCOLORCHANGE, &TWinControl::WMSysColorChange},
      {FM_SYSCOLORCHANGE, &TWinControl::FMSysColorChange},
      {FM_DIALOGCHAR, &TWinControl::FMDialogChar},
      {FM_SHOWHINTCHANGED, &TWinControl::FMShowHintChanged},
      {WM_GETOBJECT, &TWinControl::WMGetObject},
      {FM_ACCESSIBLEACTION, &TWinControl::WMGetObject},
  };
  if (DispatchMessageTo<TWinControl>(*this, kMessages, message)) return;
  TControl::WndProc(message);
}

bool TWinControl::WMCommand(TMessage& message) {
  if (!message.LParam) return false;
  ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
  return true;
}

bool TWinControl::WMNotify(TMessage& message) {
  auto* header = reinterpret_cast<NMHDR*>(message.LParam);
  if (header->code != TTN_GETDISPINFOW) {
    ReflectToChild(message, header->hwndFrom);
    return true;
  }
  // The shared tooltip asks for the hint of the control under the pointer;
  // the text must outlive this call.
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(message.LParam);
  TWinControl* tool = FindControl(reinterpret_cast<HWND>(info->hdr.idFrom));
  static std::wstring text;
  text = tool ? tool->Hint() : std::wstring();
  info->lpszText = text.data();
  message.Result = 0;
  return true;
}

bool TWinControl::WMDrawItem(TMessage& message) {
  ReflectToChild(message, reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem);
  return true;
}

bool TWinControl::WMMeasureItem(TMessage& message) {
  // The measure request names its control by id only.
  const auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
  HWND child = FHandle ? GetDlgItem(FHandle, static_cast<int>(mis->CtlID)) : nullptr;
  if (!child) return false;
  ReflectToChild(message, child);
  return true;
}

bool TWinControl::WMCtlColor(TMessage& message) {
  ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
  return true;
}

bool TWinControl::RNCtlColor(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  message.Result = reinterpret_cast<LRESULT>(ColorBrush());
  return true;
}

bool TWinControl::RNKeyDown(TMessage& message) {
  HandleKeyDown(message);
  return true;
}

bool TWinControl::WMSetFocus(TMessage& message) {
  FFocused = true;
  DefaultHandler(message);
  if (Application) Application->FocusChanged(this);
  DoEnter();
  return true;
}

bool TWinControl::WMKillFocus(TMessage& message) {
  FFocused = false;
  DefaultHandler(message);
  DoExit();
  return true;
}

bool TWinControl::WMSetText(TMessage& message) {
  DefaultHandler(message);
  if (message.Result && !FSettingText)
    StoreText(message.LParam ? reinterpret_cast<const wchar_t*>(message.LParam) : L"");
  return true;
}

bool TWinControl::WMMouse(TMessage& message) {
  if (message.Msg == WM_MOUSEMOVE && !ControlState().Contains(csMouseInside)) {
    TrackMouseEnter();
    if (Application) Application->MouseEntered(this, message);
  }
  const POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  // A graphic child under the pointer gets the message in its coordinates,
  // unless this window holds the capture for itself.
  TControl* hit = ControlAtPos(p, false);
  if (hit && hit->AsWinControl()) hit = nullptr;
  if (hit != FMouseControl) {
    if (FMouseControl) FMouseControl->Perform(FM_MOUSELEAVE, 0, 0);
    FMouseControl = hit;
    if (hit) hit->Perform(FM_MOUSEENTER, 0, 0);
  }
  if (hit && GetCapture() != FHandle) {
    hit->Perform(message.Msg, message.WParam, MAKELPARAM(p.x - hit->Left(), p.y - hit->Top()));
    return true;
  }
  DefaultHandler(message);
  const bool capture = OwnClass() && ControlStyle().Contains(csCaptureMouse);
  if (capture && (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK)) SetCapture(FHandle);
  HandleMouseMessage(message);
  if (OwnClass() && message.Msg == WM_LBUTTONUP && GetCapture() == FHandle) ReleaseCapture();
  return true;
}

bool TWinControl::WMMouseLeave(TMessage&) {
  ExcludeState(csMouseInside);
  if (FMouseControl) {
    TControl* c = std::exchange(FMouseControl, nullptr);
    c->Perform(FM_MOUSELEAVE, 0, 0);
  }
  Perform(FM_MOUSELEAVE, 0, 0);
  return true;
}

bool TWinControl::WMSetCursor(TMessage& message) {
  if (!Cursor() || LOWORD(message.LParam) != HTCLIENT) return false;
  ::SetCursor(Cursor());
  message.Result = 1;
  return true;
}

bool TWinControl::WMSize(TMessage& message) {
  DefaultHandler(message);
  if (!Parent()) UpdateBoundsFromWindow();
  AlignControls();
  return true;
}

bool TWinControl::WMWindowPosChanged(TMessage& message) {
  DefaultHandler(message);
  // Only a top-level window is moved by the user; children follow SetBounds.
  if (Parent()) return true;
  const int w = Width(), h = Height();
  UpdateBoundsFromWindow();
  if (w != Width() || h != Height()) {
    AlignControls();
    Resize();
  }
  return true;
}

bool TWinControl::WMSysColorChange(TMessage& message) {
  DefaultHandler(message);
  Perform(FM_SYSCOLORCHANGE, 0, 0);
  return true;
}

bool TWinControl::FMSysColorChange(TMessage&) {
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(FM_SYSCOLORCHANGE, 0, 0);
  Invalidate();
  return true;
}

bool TWinControl::FMDialogChar(TMessage& message) {
  Broadcast(message);
  return true;
}

bool TWinControl::WMGetObject(TMessage& message) {
  // The client object a screen reader asks for, and the default action it
  // posted back to this window.
  return HandleAccessibilityMessage(*this, message);
}

bool TWinControl::FMShowHintChanged(TMessage&) {
  if (Application) Application->ShowHintChanged(this);
  TMessage m{FM_PARENTSHOWHINTCHANGED, 0, 0, 0};
  for (TControl* c : std::vector<TControl*>(FControls)) c->WndProc(m);
  return true;
}

void TWinControl::DefaultHandler(TMessage& message) {
  // The framework's own message ranges mean nothing to the system's procedures.
  if (message.Msg >= FM_BASE && message.Msg < 0xC000) return;
  if (FHandle) {
    message.Result = CallWindowProcW(FDefWndProc ? FDefWndProc : DefWindowProcW, FHandle, message.Msg, message.WParam,
                                     message.LParam);
  }
}

}  // namespace lodo

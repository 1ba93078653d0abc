// Windowed controls: lazy window creation with overridable creation
// parameters, re-creation, the child list, tab order and focus, and the
// messages every window of a control handles.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/WindowBinding.h"

namespace lodo {

class TAccessible;
class TForm;

struct TCreateParams {
  // A system class to superclass ("BUTTON", "EDIT"), or empty for the
  // framework's own window class.
  std::wstring SystemClass;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  std::wstring Caption;
  UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl, public TWindowTarget {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, created on first use (which needs the parent's window).
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys and creates the window again (after a style change).
  void RecreateWnd();
  void DestroyHandle();

  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  RECT ClientRect() const override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  // The text is kept by the control; a WM_SETTEXT from outside updates it
  // (silently, as the window's own text changes). Reading it asks the
  // window nothing.
  void SetText(const std::wstring& text) override;

  // All children, windowed or not, in insertion order (the z-order, bottom first).
  const std::vector<TControl*>& Controls() const { return FControls; }
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // Windowed children in tab order.
  const std::vector<TWinControl*>& TabList() const { return FTabList; }

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  virtual bool CanFocus() const;
  // Kept from WM_SETFOCUS and WM_KILLFOCUS, which the system sends before
  // anything of the window can paint the change: no round trip to ask.
  bool Focused() const { return FHandle && FFocused; }
  virtual void SetFocus();
  // The next keyboard stop after `current` in tab order, across nested
  // containers; nullptr when there is none.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  // Every focusable windowed descendant in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& list);

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool value);

  void Invalidate() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void ChangeScale(int m, int d, int fontM, int fontD) override;

  // Lays out aligned children and applies anchors in the client area.
  void AlignControls();
  // Paints the graphic children that intersect the DC's clip box.
  void PaintControls(HDC dc);
  // The child control (graphic or windowed) at a client point, topmost first.
  TControl* ControlAtPos(POINT p, bool allowDisabled) const;
  // Sends a message to every child, and their children.
  void Broadcast(TMessage& message);

  // The control bound to a window of this framework, or nullptr.
  static TWinControl* FindControl(HWND window);
  // The pointer's position, and the window that holds the mouse capture.
  // While windows are being made in one go, each is asked of the system
  // once for all of them (every question is a round trip; a form's sixteen
  // slots each ask when made), and afresh otherwise.
  static bool CursorPosition(POINT& position);
  static HWND CaptureWindow();
  // The capture has been set or released.
  static void CaptureWindowChanged();
  using TControl::AsWinControl;
  TWinControl* AsWinControl() override { return this; }
  // The form this is, or nullptr.
  virtual TForm* AsForm() { return nullptr; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  std::function<void(TWinControl* sender)> OnResize;

  // Background fill used for WM_ERASEBKGND and WM_CTLCOLOR*: the Color brush.
  HBRUSH ColorBrush();

  // The control's own accessible object (one reference), or nullptr to leave
  // the window's standard one. Asked when WM_GETOBJECT first wants the
  // client object of the window.
  virtual TAccessible* CreateAccessibleObject() { return nullptr; }

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Runs after the window exists and its children are created.
  virtual void CreateHandleDone() {}
  virtual void DoEnter();
  virtual void DoExit();
  virtual void Resize();
  void FontChanged() override;
  void ColorChanged() override;
  // Paints the client area of a window of the framework's own class.
  virtual void PaintWindow(HDC dc);
  // The whole picture of the client area: background, PaintWindow and the
  // graphic children.
  void PaintBackgroundAndContents(HDC dc);
  // Whether this control handles the key itself (Tab and arrows otherwise
  // go to the form's navigation).
  virtual bool WantsKey(WPARAM key);
  // Puts a window just made into its slot of the parent's window order.
  void UpdateZOrder();
  // The windowed children from the top of the z-order down.
  std::vector<TWinControl*> WindowOrder() const;
  // The sibling with a window just above this one in its parent's order.
  TWinControl* WindowAbove() const;
  void UpdateBoundsFromWindow();

  void HandleKeyDown(TMessage& message);

 private:
  void WindowMessage(HWND window, TMessage& message) override;
  void WindowBound(HWND window) override;
  void WindowUnbound(HWND window) override;

  void CreateHandle();
  void CreateChildHandles();
  // Whether the window is of the framework's own class (not a superclassed system one).
  bool OwnClass() const { return FDefWndProc == DefWindowProcW; }
  void ReflectToChild(TMessage& message, HWND child);
  void TrackMouseEnter();

  // Message handlers; false passes the message on to TControl.
  bool WMPaint(TMessage& message);
  bool WMEraseBkgnd(TMessage& message);
  bool WMPrintClient(TMessage& message);
  bool WMCommand(TMessage& message);
  bool WMNotify(TMessage& message);
  bool WMDrawItem(TMessage& message);
  bool WMMeasureItem(TMessage& message);
  bool WMCtlColor(TMessage& message);
  bool RNCtlColor(TMessage& message);
  bool RNKeyDown(TMessage& message);
  bool WMSetFocus(TMessage& message);
  bool WMKillFocus(TMessage& message);
  bool WMSetText(TMessage& message);
  bool WMMouse(TMessage& message);
  bool WMMouseLeave(TMessage& message);
  bool WMSetCursor(TMessage& message);
  bool WMSize(TMessage& message);
  bool WMWindowPosChanged(TMessage& message);
  bool WMSysColorChange(TMessage& message);
  bool FMSysColorChange(TMessage& message);
  bool FMDialogChar(TMessage& message);
  bool FMShowHintChanged(TMessage& message);
  bool WMGetObject(TMessage& message);

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FParentBackground = true;
  bool FRecreating = false;
  bool FAligning = false;
  bool FFocused = false;
  bool FSettingText = false;
  TControl* FMouseControl = nullptr;  // graphic child under the mouse
  TBrush FColorBrush;
};

}  // namespace lodo

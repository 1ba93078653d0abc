// Top-level forms: border style and icons, minimum size, centring, the
// creation and close events with one close procedure for every way of
// closing, first focus, keyboard navigation, and DPI scaling.
#pragma once
#include "framework/WinControl.h"

namespace lodo {

enum TFormBorderStyle { fbsNone, fbsSingle, fbsSizeable, fbsDialog };
enum TBorderIconFlag : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormPosition { poDesigned, poDesktopCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // Client size at design; the outer size follows from the border when the window exists.
  void SetClientSize(int width, int height);
  RECT ClientRect() const override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style) { FBorderStyle = style; }
  unsigned BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(unsigned icons) { FBorderIcons = icons; }
  TFormPosition Position() const { return FPosition; }
  void SetPosition(TFormPosition position) { FPosition = position; }
  // Minimum outer size; 0 = none.
  void SetMinSize(int width, int height) {
    FMinWidth = width;
    FMinHeight = height;
  }
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  void SetIcon(HICON icon);

  void Show();
  // Show's first step on its own: the window placed and created with its
  // children; nothing once it exists. Lets a caller time the steps apart.
  void PrepareShow();
  // The close procedure: may the form close? then the close event, then
  // (main form) the end of the application.
  void Close();
  virtual bool CloseQuery();

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // The first keyboard stop in tab order gets the focus.
  void FocusFirstControl();

  // Scales fonts by ppi/96 and positions, sizes and the minimum size by the
  // ratio of the scaled window font's text height to its height at 96 dpi.
  // Always computed from the design values, so scaling never drifts; with
  // resizeWindow the client size follows too (at start-up).
  void ScaleForPPI(int ppi, bool resizeWindow = true);
  // The height of "0" in a font on the screen.
  static int TextHeightOf(TFont font);
  int PixelsPerInch() const { return FPixelsPerInch; }
  // The dpi the form is created for (the primary screen's, unless set).
  static int ScreenPPI();
  // The dpi of the monitor a window is on, or 0 where the system has one
  // dpi for all monitors. Tests stand in a monitor of another scale.
  static int (*WindowDpi)(HWND window);

  std::function<void(TForm* sender)> OnCreate;
  std::function<void(TForm* sender)> OnShow;
  std::function<void(TForm* sender, TCloseAction& action)> OnClose;
  std::function<void(TForm* sender, bool& canClose)> OnCloseQuery;

  void WndProc(TMessage& message) override;
  TForm* AsForm() override { return this; }

  // Runs the creation event; called by the application after construction.
  virtual void DoCreate();

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CreateHandleDone() override;
  virtual void DoClose(TCloseAction& action);
  bool DialogKey(WPARAM key, TWinControl* from);

 private:
  void PlaceAtCreation();
  POINT CentredOrigin() const;
  bool WMClose(TMessage& message);
  bool WMGetMinMaxInfo(TMessage& message);
  bool WMActivate(TMessage& message);
  bool WMSize(TMessage& message);
  bool WMDpiChanged(TMessage& message);
  bool FMDialogKey(TMessage& message);

  int FClientWidth = 0, FClientHeight = 0;
  TFormBorderStyle FBorderStyle = fbsSizeable;
  unsigned FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TFormPosition FPosition = poDesigned;
  int FMinWidth = 0, FMinHeight = 0;
  TWinControl* FActiveControl = nullptr;
  bool FActivatedOnce = false;
  bool FClosing = false;
  int FPixelsPerInch = 96;
  bool FHasDesign = false;
  int FDesignFontHeight = 0;
  int FDesignClientWidth = 0, FDesignClientHeight = 0;
  int FDesignMinWidth = 0, FDesignMinHeight = 0;
  HICON FIcon = nullptr;
};

}  // namespace lodo

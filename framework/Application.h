// The application object: title, main form, message loop with the keyboard
// pre-processing, the error box, and the tooltips of controls with hints.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Messages.h"

namespace lodo {

class TControl;
class TWinControl;
class TForm;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The exe name up to its first full stop, first character kept, rest lower-cased.
  static std::wstring TitleFromPath(const std::wstring& exePath);
  const std::wstring& Title() const { return FTitle; }
  void SetTitle(const std::wstring& title) { FTitle = title; }

  // Constructs a form; the first one becomes the main form. The creation
  // event runs after the whole form (all its controls) exists.
  template <typename T, typename... Args>
  T* CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = form.get();
    FForms.push_back(std::move(form));
    if (!FMainForm) FMainForm = raw;
    AfterFormConstruction(raw);
    return raw;
  }
  TForm* MainForm() const { return FMainForm; }
  void DestroyForms();

  // Shows the main form and processes messages until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Processes one message (waiting for it); false when WM_QUIT arrived.
  bool HandleMessage();
  void ProcessMessages();

  // Shows an escaped error: a message box with an error icon, the message and
  // the title; or hands it to OnException when set (tests).
  void HandleException(const std::exception& error);
  std::function<void(const std::string& message)> OnException;

  // Tooltips: on application-wide, shown after HintPause, hidden after HintHidePause.
  bool ShowHint = true;
  int HintPause = 500;
  int HintHidePause = 2500;
  // The shared tooltip window with every control's tool, made on first use:
  // when the pointer first enters a control with a hint, or when asked for.
  HWND TooltipWindow();

  // Hooks from the controls.
  void WindowCreated(TWinControl* control);
  void WindowDestroying(TWinControl* control);
  void ShowHintChanged(TWinControl* control);
  void FocusChanged(TWinControl* control);
  void ControlDestroyed(TControl* control);
  // The pointer has entered a control's window; `move` is its first mouse move.
  void MouseEntered(TWinControl* control, const TMessage& move);

 private:
  bool PreprocessMessage(MSG& msg);
  void AfterFormConstruction(TForm* form);
  void AddTool(TWinControl* control);
  bool RegisterTool(TWinControl* control);
  void RemoveTool(TWinControl* control);

  std::wstring FTitle;
  std::vector<std::unique_ptr<TForm>> FForms;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  TWindowHandle FTooltip;
  // The controls that show a tip, registered with the tooltip once it exists.
  std::vector<TWinControl*> FTools;
};

// The one application object of the process; created by the program's entry.
extern TApplication* Application;

// Hands the exception being handled, whatever its type, to the application's
// error handler; without an application it is dropped. Call it only inside a
// catch block. Never throws. unknownText is the message of an exception that
// carries none.
void ReportCurrentException(const char* unknownText = "Unknown error") noexcept;

}  // namespace lodo

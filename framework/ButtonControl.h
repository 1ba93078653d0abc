// Button-like controls on the system BUTTON class: the base with click
// suppression while the mouse takes the focus and caption accelerators,
// the check box, and the standard radio button with its group rule.
#pragma once
#include "framework/WinControl.h"

namespace lodo {

// The accelerator character of a caption (the one after a single '&'), or 0.
wchar_t AcceleratorChar(const std::wstring& caption);

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* owner);

  bool Checked() const { return FChecked; }
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool value) { FClicksDisabled = value; }
  // Clicks are dropped for the caller's scope (the focus taken by the mouse
  // or a screen reader, or a check made on focus entry, is not a click).
  TScopedFlag<bool> DisableClicks() { return TScopedFlag<bool>(FClicksDisabled); }

  void WndProc(TMessage& message) override;

 protected:
  void TextChanged() override;
  // A new window shows the check the control keeps.
  void CreateHandleDone() override;
  // The caption's accelerator was pressed.
  virtual void AcceleratorPressed();

  bool FChecked = false;

 private:
  bool WMLButtonDown(TMessage& message);
  bool FMDialogChar(TMessage& message);

  bool FClicksDisabled = false;
};

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* owner);

  // A change fires OnClick; setting the present state does nothing.
  void SetChecked(bool checked);
  void Toggle() { SetChecked(!FChecked); }

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void AcceleratorPressed() override;

 private:
  bool RNCommand(TMessage& message);
};

enum TLeftRight { taLeftJustify, taRightJustify };

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner);

  // Checking unchecks every other radio button of the same parent and fires
  // OnClick (unless clicks are disabled); unchecking fires nothing.
  virtual void SetChecked(bool checked);

  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight alignment);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  // The button got the input focus (after OnEnter). An unchecked one checks
  // itself, which fires one OnClick unless clicks are disabled.
  virtual void FocusEntered();

 private:
  bool WMSetFocus(TMessage& message);
  bool RNCommand(TMessage& message);
  bool FMGroupChecked(TMessage& message);

  TLeftRight FAlignment = taRightJustify;
  bool FWordWrap = false;
};

}  // namespace lodo

// The radio button's accessible answers and its default action.
#include "controls/RadioButtonAccessible.h"

#include "controls/RadioButton.h"

namespace lodo {

TRadioButtonAccessible::TRadioButtonAccessible(TcxRadioButton& button) : TAccessible(button) {}

TcxRadioButton* TRadioButtonAccessible::Button() const { return static_cast<TcxRadioButton*>(Control()); }

std::optional<std::wstring> TRadioButtonAccessible::Name() const { return ShownCaption(Button()->Caption()); }

std::optional<LONG> TRadioButtonAccessible::State() const {
  const TcxRadioButton& button = *Button();
  LONG state = WindowState();
  if (button.CanFocus()) state |= STATE_SYSTEM_FOCUSABLE;
  if (button.Checked()) state |= STATE_SYSTEM_CHECKED;
  if (button.GlyphState() == rgsHot) state |= STATE_SYSTEM_HOTTRACKED;
  if (button.GlyphState() == rgsPressed) state |= STATE_SYSTEM_PRESSED;
  return state;
}

std::optional<std::wstring> TRadioButtonAccessible::Description() const { return Button()->Hint(); }

std::optional<std::wstring> TRadioButtonAccessible::KeyboardShortcut() const {
  return AcceleratorShortcut(Button()->Caption());
}

void TRadioButtonAccessible::DoDefaultAction() {
  TcxRadioButton& button = *Button();
  if (!button.CanFocus()) return;
  if (!button.Focused()) {
    // As when the mouse takes the focus: entering checks nothing by itself.
    const TScopedFlag noClicks = button.DisableClicks();
    ::SetFocus(button.Handle());
  }
  button.SetChecked(true);
}

}  // namespace lodo

// Popup menus: items with captions, shortcuts and click events; automatic
// popup on a context-menu request; the shortcut check that executes an item.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Control.h"
#include "framework/Gdi.h"

namespace lodo {

// A shortcut: virtual key in the low byte plus these modifier bits.
using TShortCut = unsigned;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

class TMenuItem {
 public:
  std::wstring Caption;
  TShortCut ShortCut = 0;
  bool Enabled = true;
  std::function<void(TMenuItem* sender)> OnClick;

  void Click() {
    if (Enabled && OnClick) OnClick(this);
  }
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem* Add(const std::wstring& caption, TShortCut shortCut = 0);
  const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return FItems; }

  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }
  TComponent* PopupComponent() const { return FPopupComponent; }
  // The menu hears of the component's end and then names none.
  void SetPopupComponent(TComponent* component);

  // The menu handle, built on first use.
  HMENU Handle();
  bool HandleAllocated() const { return FHandle.Valid(); }

  // Runs the menu at a screen point until it closes; executes the chosen item.
  void Popup(int x, int y);
  // Executes the item whose shortcut is the key of a WM_KEYDOWN/WM_SYSKEYDOWN.
  bool IsShortCut(WPARAM key, LPARAM keyData);

  // For tests: the point of the last popup.
  POINT LastPopupPoint() const { return FLastPopup; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Rebuild();

  std::vector<std::unique_ptr<TMenuItem>> FItems;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TMenuHandle FHandle;
  POINT FLastPopup{0, 0};
};

}  // namespace lodo

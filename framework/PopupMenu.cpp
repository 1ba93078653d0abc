// Popup menu building, tracking and shortcut dispatch.
#include "framework/PopupMenu.h"

#include "framework/MessageWindow.h"

namespace lodo {

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() { Destroying(); }

void TPopupMenu::SetPopupComponent(TComponent* component) { SetReference(FPopupComponent, component); }

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FPopupComponent) FPopupComponent = nullptr;
}

TMenuItem* TPopupMenu::Add(const std::wstring& caption, TShortCut shortCut) {
  auto item = std::make_unique<TMenuItem>();
  item->Caption = caption;
  item->ShortCut = shortCut;
  FItems.push_back(std::move(item));
  if (FHandle.Valid()) Rebuild();
  return FItems.back().get();
}

void TPopupMenu::Rebuild() {
  FHandle.Reset(CreatePopupMenu());
  UINT id = 1;
  for (const auto& item : FItems)
    AppendMenuW(FHandle.Get(), MF_STRING | (item->Enabled ? 0 : MF_GRAYED), id++, item->Caption.c_str());
}

HMENU TPopupMenu::Handle() {
  if (!FHandle.Valid()) Rebuild();
  return FHandle.Get();
}

void TPopupMenu::Popup(int x, int y) {
  FLastPopup = {x, y};
  Rebuild();
  // The menu needs an owner window for its messages; a hidden one will do.
  TMessageWindow owner([](TMessage&) { return false; });
  SetForegroundWindow(owner.Handle());
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(FHandle.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner.Handle(), nullptr));
  if (chosen >= 1 && chosen <= FItems.size()) FItems[chosen - 1]->Click();
}

bool TPopupMenu::IsShortCut(WPARAM key, LPARAM) {
  TShortCut pressed = static_cast<TShortCut>(key & 0xFF);
  if (GetKeyState(VK_SHIFT) < 0) pressed |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) pressed |= scCtrl;
  if (GetKeyState(VK_MENU) < 0) pressed |= scAlt;
  for (const auto& item : FItems) {
    if (item->ShortCut != 0 && item->ShortCut == pressed && item->Enabled) {
      item->Click();
      return true;
    }
  }
  return false;
}

}  // namespace lodo

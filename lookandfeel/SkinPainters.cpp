// The skin painter registry: case-blind lookup in registration order, and
// the users that hear when a skin painter comes, changes or goes.
#include "lookandfeel/SkinPainters.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace lodo {

namespace {

std::unique_ptr<TcxExtendedStylePainters> gRegistry;

// Skin names are ANSI text: fold case with the system code page, so that
// letters beyond ASCII match too.
TdxSkinName UpperCase(const TdxSkinName& name) {
  TdxSkinName upper = name;
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace

int TcxExtendedStylePainters::IndexOf(const TdxSkinName& name) const {
  if (name.empty()) return -1;
  const TdxSkinName wanted = UpperCase(name);
  for (std::size_t i = 0; i < FNames.size(); ++i)
    if (UpperCase(FNames[i]) == wanted) return static_cast<int>(i);
  return -1;
}

bool TcxExtendedStylePainters::GetPainterByName(const TdxSkinName& name, TcxLookAndFeelPainterClass& painter) const {
  const int index = IndexOf(name);
  painter = index < 0 ? nullptr : FPainters[static_cast<std::size_t>(index)];
  return index >= 0;
}

void TcxExtendedStylePainters::Register(const TdxSkinName& name, TcxLookAndFeelPainterClass painter) {
  // A nameless or missing painter could never be found or drawn with.
  if (name.empty() || !painter) return;
  const int index = IndexOf(name);
  if (index < 0) {
    FNames.push_back(name);
    FPainters.push_back(painter);
  } else {
    FPainters[static_cast<std::size_t>(index)] = painter;
  }
  TellUsers(painter);
}

void TcxExtendedStylePainters::Unregister(const TdxSkinName& name) {
  const int index = IndexOf(name);
  if (index < 0) return;
  const TcxLookAndFeelPainterClass painter = FPainters[static_cast<std::size_t>(index)];
  FNames.erase(FNames.begin() + index);
  FPainters.erase(FPainters.begin() + index);
  TellUsers(painter);
}

void TcxExtendedStylePainters::AddUser(IcxSkinPainterListener* user) {
  if (user && !HasUser(user)) FUsers.push_back(user);
}

void TcxExtendedStylePainters::RemoveUser(IcxSkinPainterListener* user) {
  FUsers.erase(std::remove(FUsers.begin(), FUsers.end(), user), FUsers.end());
}

bool TcxExtendedStylePainters::HasUser(IcxSkinPainterListener* user) const {
  return std::find(FUsers.begin(), FUsers.end(), user) != FUsers.end();
}

void TcxExtendedStylePainters::TellUsers(TcxLookAndFeelPainterClass painter) {
  // A user that re-resolves without a skin leaves the list while we walk it:
  // walk a copy and skip those that have gone.
  const std::vector<IcxSkinPainterListener*> users = FUsers;
  for (IcxSkinPainterListener* user : users)
    if (HasUser(user)) user->SkinPainterChanged(painter);
}

void CreateExtendedStylePainters() {
  if (!gRegistry) gRegistry = std::make_unique<TcxExtendedStylePainters>();
}

void DestroyExtendedStylePainters() { gRegistry.reset(); }

TcxExtendedStylePainters* ExtendedStylePainters() { return gRegistry.get(); }

}  // namespace lodo

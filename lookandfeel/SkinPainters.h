// The registry of named skin painters and of the look-and-feels that use one.
// Nothing in the program registers a skin, so lookups normally fail.
#pragma once
#include <string>
#include <vector>

#include "lookandfeel/LookAndFeel.h"

namespace lodo {

class TcxExtendedStylePainters {
 public:
  TcxExtendedStylePainters() = default;
  TcxExtendedStylePainters(const TcxExtendedStylePainters&) = delete;
  TcxExtendedStylePainters& operator=(const TcxExtendedStylePainters&) = delete;

  // The first entry, in registration order, whose name equals `name`
  // ignoring letter case; an empty name is never found.
  bool GetPainterByName(const TdxSkinName& name, TcxLookAndFeelPainterClass& painter) const;
  // Adds a painter under a name; a name already present (ignoring case) gets
  // the new painter. Either way the users re-resolve their skins.
  void Register(const TdxSkinName& name, TcxLookAndFeelPainterClass painter);
  // Removes the entry of that name, if any, and lets the users re-resolve.
  void Unregister(const TdxSkinName& name);
  int Count() const { return static_cast<int>(FNames.size()); }
  const TdxSkinName& Name(int index) const { return FNames[static_cast<std::size_t>(index)]; }

  // The user list: look-and-feels that hold a skin painter, without duplicates.
  void AddUser(IcxSkinPainterListener* user);
  void RemoveUser(IcxSkinPainterListener* user);
  bool HasUser(IcxSkinPainterListener* user) const;
  int UserCount() const { return static_cast<int>(FUsers.size()); }

 private:
  int IndexOf(const TdxSkinName& name) const;
  void TellUsers(TcxLookAndFeelPainterClass painter);

  std::vector<TdxSkinName> FNames;
  std::vector<TcxLookAndFeelPainterClass> FPainters;
  std::vector<IcxSkinPainterListener*> FUsers;
};

// The painter module creates the registry at start-up and destroys it at
// shutdown; null outside that time.
void CreateExtendedStylePainters();
void DestroyExtendedStylePainters();
TcxExtendedStylePainters* ExtendedStylePainters();

}  // namespace lodo

// A non-visual component that edits the root look-and-feel: its values become
// the root's local values and flow to every look-and-feel that inherits them.
#pragma once
#include "framework/Component.h"
#include "lookandfeel/LookAndFeel.h"

namespace lodo {

class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelListener {
 public:
  explicit TcxLookAndFeelController(TComponent* owner);
  ~TcxLookAndFeelController() override;

  // The root's current values (the constants without a root); writing goes
  // through the root's setters and does nothing without a root.
  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind value);
  bool NativeStyle() const;
  void SetNativeStyle(bool value);
  TdxSkinName SkinName() const;
  void SetSkinName(const TdxSkinName& value);

  // What a form description would store: values that differ from the defaults.
  bool IsKindStored() const { return Kind() != lfUltraFlat; }
  bool IsNativeStyleStored() const { return NativeStyle(); }
  bool IsSkinNameStored() const { return !SkinName().empty(); }

  // IcxLookAndFeelListener: only a form designer would care.
  TPersistent* ListenerObject() override { return this; }
  void MasterChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {}
  void MasterDestroying(TcxLookAndFeel*) override {}
};

}  // namespace lodo

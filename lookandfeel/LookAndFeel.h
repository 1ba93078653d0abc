// Look-and-feel settings of one control: Kind, NativeStyle and SkinName, each
// local or inherited from a master, ending at the process-wide root.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "graphics/SystemPaletteChanged.h"
#include "lookandfeel/LookAndFeelTypes.h"
#include "lookandfeel/Painters.h"
#include "theme/ThemeManager.h"

namespace lodo {

// A skin name: 8-bit ANSI text.
using TdxSkinName = std::string;

class TcxLookAndFeel;

// How a master reaches its dependants. Nobody owns a listener through this
// interface, hence the protected destructor.
class IcxLookAndFeelListener {
 public:
  // The object behind the interface (may be null for plain listeners).
  virtual TPersistent* ListenerObject() = 0;
  virtual void MasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed) = 0;
  virtual void MasterDestroying(TcxLookAndFeel* sender) = 0;

 protected:
  virtual ~IcxLookAndFeelListener() = default;
};

// How the skin painter registry reaches the look-and-feels that use a skin.
class IcxSkinPainterListener {
 public:
  virtual void SkinPainterChanged(TcxLookAndFeelPainterClass painter) = 0;

 protected:
  virtual ~IcxSkinPainterListener() = default;
};

// A persistent object that remembers its owner. Assign goes through the
// copy-from slot, whose default is the base's assign protocol.
class TcxInterfacedPersistent : public TPersistent {
 public:
  explicit TcxInterfacedPersistent(TPersistent* owner) : FOwner(owner) {}

  TPersistent* Owner() const { return FOwner; }
  void Assign(TPersistent* source) final { CopyFrom(source); }
  virtual void CopyFrom(TPersistent* source) { TPersistent::Assign(source); }

 private:
  TPersistent* FOwner;
};

// One state of the settings; Painter is used only by the current state.
struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  TdxSkinName SkinName;
  TcxLookAndFeelPainterClass Painter = nullptr;
};

// Every resolution goes through the virtual Resolve* and FindSkinPainter
// slots. Like any C++ object, it calls its own versions of them while it is
// being constructed, before a subclass exists.
class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelListener, public IcxSkinPainterListener {
 public:
  explicit TcxLookAndFeel(TPersistent* owner);
  ~TcxLookAndFeel() override;

  // Creates the one root; fails while a root exists.
  static std::unique_ptr<TcxLookAndFeel> CreateRoot();
  bool IsRoot() const { return FIsRoot; }

  TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues values);
  void ClearAssignedValues() { SetAssignedValues({}); }

  TcxLookAndFeelKind Kind() const { return FCurrent.Kind; }
  // A value outside the enumeration is ignored.
  void SetKind(TcxLookAndFeelKind value);
  bool NativeStyle() const { return FCurrent.NativeStyle; }
  void SetNativeStyle(bool value);
  const TdxSkinName& SkinName() const { return FCurrent.SkinName; }
  void SetSkinName(const TdxSkinName& value);

  // What a form description would store: a value only while it is local, and
  // the extra "SkinName" entry for an explicitly empty skin name. Loading it
  // goes through the setter.
  bool IsKindStored() const { return FAssignedValues.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }
  bool IsSkinNameStored() const { return FAssignedValues.Contains(lfvSkinName); }
  bool WritesEmptySkinName() const { return IsSkinNameStored() && SkinName().empty(); }
  void ReadSkinName(const TdxSkinName& value) { SetSkinName(value); }

  // The painter chosen at the last change step; never null.
  TcxLookAndFeelPainterClass CurrentPainter() const { return FCurrent.Painter; }
  // The painter to draw an element of these theme classes with, now.
  TcxLookAndFeelPainterClass PainterForTheme(ThemeClassId id) const;
  TcxLookAndFeelPainterClass PainterForThemes(TThemeClassSet ids) const;
  // The skin painter found at the last change step, or null.
  TcxLookAndFeelPainterClass SkinPainter() const { return FSkinPainter; }

  TcxLookAndFeel* Master() const { return FMaster; }
  void SetMaster(TcxLookAndFeel* master);
  TcxLookAndFeel* EffectiveMaster() const;

  void AddListener(IcxLookAndFeelListener* listener);
  void RemoveListener(IcxLookAndFeelListener* listener);
  const std::vector<IcxLookAndFeelListener*>& Listeners() const { return FListeners; }

  // Takes over another look-and-feel's local values and master; any other
  // source fails with "Cannot assign a <source> to a <target>".
  void CopyFrom(TPersistent* source) override;

  std::function<void(TcxLookAndFeel* sender, TcxLookAndFeelValues changed)> OnLookAndFeelChanged;

  // IcxLookAndFeelListener and IcxSkinPainterListener.
  TPersistent* ListenerObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed) override;
  void MasterDestroying(TcxLookAndFeel* sender) override;
  void SkinPainterChanged(TcxLookAndFeelPainterClass painter) override;

 protected:
  virtual TcxLookAndFeelKind ResolveKind() const;
  virtual bool ResolveNativeStyle() const;
  virtual TdxSkinName ResolveSkinName() const;
  virtual TcxLookAndFeelPainterClass ResolveSkinPainter() const;
  virtual bool FindSkinPainter(const TdxSkinName& name, TcxLookAndFeelPainterClass& painter) const;
  virtual void SystemColorsChanged();
  // Where a value comes from: this object when it is assigned here, none for
  // the root's defaults, else the master or the root.
  const TcxLookAndFeel* ValueSource(TcxLookAndFeelValue value) const;
  // The current values and the skin painter, resolved afresh.
  void ResolveCurrent();

  // The change step: re-resolves, picks the painter, tells the listeners and
  // then the owner.
  void NotifyChanged(TcxLookAndFeelValues changed);
  void TakeSnapshot();
  void CompareWithSnapshot();

 private:
  // colorChange: the step of this object's own colour notification, which
  // the look-and-feels among the listeners hear through theirs.
  void RunChangeStep(TcxLookAndFeelValues changed, bool colorChange);

  TcxLookAndFeelValues FAssignedValues;
  std::vector<IcxLookAndFeelListener*> FListeners;
  TcxLookAndFeelData FCurrent;
  TcxLookAndFeelData FLocal;
  bool FDestroying = false;
  bool FIsRoot = false;
  TcxLookAndFeel* FMaster = nullptr;
  TcxLookAndFeelPainterClass FSkinPainter = nullptr;
  TcxLookAndFeelData FSnapshot;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FPaletteNotifier;
};

// The root, or null before it is created and after it is destroyed.
TcxLookAndFeel* RootLookAndFeel();
// The number of controllers registered with the root.
int RootControllerCount();

}  // namespace lodo

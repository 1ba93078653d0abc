// The look-and-feel: resolution of the three values through the master chain,
// the change step that tells dependants, and the root with its controllers.
#include "lookandfeel/LookAndFeel.h"

#include <algorithm>
#include <exception>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "lookandfeel/LookAndFeelController.h"
#include "lookandfeel/SkinPainters.h"

namespace lodo {

namespace {

TcxLookAndFeel* gRoot = nullptr;
int gRootControllerCount = 0;

bool IsController(IcxLookAndFeelListener* listener) {
  return dynamic_cast<TcxLookAndFeelController*>(listener->ListenerObject()) != nullptr;
}

// A subclass may resolve any byte as a kind; the table has four entries.
TcxLookAndFeelPainterClass KindPainter(TcxLookAndFeelKind kind) {
  return kind < kLookAndFeelKindCount ? KindPainters[kind] : KindPainters[lfUltraFlat];
}

// For errors that cannot travel on: a destructor must finish its work.
void ReportError() { ReportCurrentException("Unknown error in a look-and-feel notification"); }

}  // namespace

TcxLookAndFeel* RootLookAndFeel() { return gRoot; }

int RootControllerCount() { return gRootControllerCount; }

TcxLookAndFeel::TcxLookAndFeel(TPersistent* owner) : TcxInterfacedPersistent(owner) {
  FCurrent = FLocal;
  FPaletteNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  FPaletteNotifier->OnSystemColorsChanged = [this] { SystemColorsChanged(); };
  if (gRoot) {
    gRoot->AddListener(this);
    ResolveCurrent();
  }
  FCurrent.Painter = PainterForThemes({});
}

TcxLookAndFeel::~TcxLookAndFeel() {
  if (TcxExtendedStylePainters* registry = ExtendedStylePainters()) registry->RemoveUser(this);
  FPaletteNotifier.reset();
  // The list stays intact while the dependants leave it: they all hear of it,
  // in the order they registered, even when one of them fails, or they would
  // keep a pointer to this object.
  FDestroying = true;
  const std::vector<IcxLookAndFeelListener*> listeners = FListeners;
  for (IcxLookAndFeelListener* listener : listeners) {
    try {
      listener->MasterDestroying(this);
    } catch (...) {
      ReportError();
    }
  }
  FDestroying = false;
  FListeners.clear();
  if (TcxLookAndFeel* master = EffectiveMaster()) master->RemoveListener(this);
  if (FIsRoot) {
    gRoot = nullptr;
    FIsRoot = false;
    // Controllers left registered with this root are registered with no root
    // at all now; a later root starts counting from nothing.
    gRootControllerCount = 0;
  }
}

std::unique_ptr<TcxLookAndFeel> TcxLookAndFeel::CreateRoot() {
  if (gRoot) throw EInvalidOperation("The root look-and-feel exists already");
  auto root = std::make_unique<TcxLookAndFeel>(nullptr);
  root->FIsRoot = true;
  gRoot = root.get();
  return root;
}

const TcxLookAndFeel* TcxLookAndFeel::ValueSource(TcxLookAndFeelValue value) const {
  if (FAssignedValues.Contains(value)) return this;
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : gRoot;
}

TcxLookAndFeelKind TcxLookAndFeel::ResolveKind() const {
  const TcxLookAndFeel* source = ValueSource(lfvKind);
  return source == this ? FLocal.Kind : source ? source->Kind() : lfUltraFlat;
}

bool TcxLookAndFeel::ResolveNativeStyle() const {
  const TcxLookAndFeel* source = ValueSource(lfvNativeStyle);
  return source == this ? FLocal.NativeStyle : source && source->NativeStyle();
}

TdxSkinName TcxLookAndFeel::ResolveSkinName() const {
  const TcxLookAndFeel* source = ValueSource(lfvSkinName);
  return source == this ? FLocal.SkinName : source ? source->SkinName() : TdxSkinName();
}

TcxLookAndFeelPainterClass TcxLookAndFeel::ResolveSkinPainter() const {
  TcxLookAndFeelPainterClass painter = nullptr;
  if (const TcxLookAndFeel* source = ValueSource(lfvSkinName))
    source->FindSkinPainter(source == this ? FLocal.SkinName : source->SkinName(), painter);
  return painter;
}

void TcxLookAndFeel::ResolveCurrent() {
  FCurrent.Kind = ResolveKind();
  FCurrent.NativeStyle = ResolveNativeStyle();
  FCurrent.SkinName = ResolveSkinName();
  // With native style on, skins are ignored.
  FSkinPainter = FCurrent.NativeStyle ? nullptr : ResolveSkinPainter();
}

bool TcxLookAndFeel::FindSkinPainter(const TdxSkinName& name, TcxLookAndFeelPainterClass& painter) const {
  painter = nullptr;
  const TcxExtendedStylePainters* registry = ExtendedStylePainters();
  return !name.empty() && registry && registry->GetPainterByName(name, painter);
}

void TcxLookAndFeel::SystemColorsChanged() { RunChangeStep({lfvNativeStyle}, true); }

TcxLookAndFeelPainterClass TcxLookAndFeel::PainterForTheme(ThemeClassId id) const {
  if (NativeStyle() && VisualStylesAvailable(id)) return TcxWinXPLookAndFeelPainter::Instance();
  return FSkinPainter ? FSkinPainter : KindPainter(Kind());
}

TcxLookAndFeelPainterClass TcxLookAndFeel::PainterForThemes(TThemeClassSet ids) const {
  if (NativeStyle() && VisualStylesAvailableForAll(ids)) return TcxWinXPLookAndFeelPainter::Instance();
  return FSkinPainter ? FSkinPainter : KindPainter(Kind());
}

void TcxLookAndFeel::NotifyChanged(TcxLookAndFeelValues changed) { RunChangeStep(changed, false); }

void TcxLookAndFeel::RunChangeStep(TcxLookAndFeelValues changed, bool colorChange) {
  if (changed.Empty() || FDestroying) return;
  ResolveCurrent();
  FCurrent.Painter = PainterForThemes({});
  if (TcxExtendedStylePainters* registry = ExtendedStylePainters()) {
    if (FSkinPainter)
      registry->AddUser(this);
    else
      registry->RemoveUser(this);
  }
  // A listener may remove itself, or others, or move to the end of the list
  // (SetMaster(none) re-registers with the root) while it is told. Walk the
  // list as it stood and tell each entry still in it, so that nobody is
  // skipped and nobody hears the change twice.
  const std::vector<IcxLookAndFeelListener*> listeners = FListeners;
  for (IcxLookAndFeelListener* listener : listeners) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
    // A colour change reaches every look-and-feel through its own notifier;
    // passed on by the master as well, each owner would repaint twice.
    if (colorChange && dynamic_cast<TcxLookAndFeel*>(listener->ListenerObject())) continue;
    listener->MasterChanged(this, changed);
  }
  if (OnLookAndFeelChanged) OnLookAndFeelChanged(this, changed);
}

void TcxLookAndFeel::TakeSnapshot() {
  FSnapshot.Kind = FCurrent.Kind;
  FSnapshot.NativeStyle = FCurrent.NativeStyle;
  FSnapshot.SkinName = FCurrent.SkinName;
}

void TcxLookAndFeel::CompareWithSnapshot() {
  TcxLookAndFeelValues changed;
  if (ResolveKind() != FSnapshot.Kind) changed.Include(lfvKind);
  if (ResolveNativeStyle() != FSnapshot.NativeStyle) changed.Include(lfvNativeStyle);
  if (ResolveSkinName() != FSnapshot.SkinName) changed.Include(lfvSkinName);
  NotifyChanged(changed);
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues values) {
  if (values == FAssignedValues) return;
  TakeSnapshot();
  FAssignedValues = values;
  CompareWithSnapshot();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind value) {
  // Only a cast can produce such a value; it would index past the painters.
  if (value >= kLookAndFeelKindCount) return;
  const TcxLookAndFeelKind previous = FCurrent.Kind;
  FAssignedValues.Include(lfvKind);
  FLocal.Kind = value;
  if (ResolveKind() != previous) NotifyChanged({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool value) {
  const bool previous = FCurrent.NativeStyle;
  FAssignedValues.Include(lfvNativeStyle);
  FLocal.NativeStyle = value;
  if (ResolveNativeStyle() != previous) NotifyChanged({lfvNativeStyle});
}

void TcxLookAndFeel::SetSkinName(const TdxSkinName& value) {
  const TdxSkinName previous = FCurrent.SkinName;
  FAssignedValues.Include(lfvSkinName);
  FLocal.SkinName = value;
  if (ResolveSkinName() != previous) NotifyChanged({lfvSkinName});
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : gRoot;
}

void TcxLookAndFeel::SetMaster(TcxLookAndFeel* master) {
  if (FIsRoot || master == this || master == EffectiveMaster()) return;
  // A master that already depends on this object would make every change
  // run round the circle for ever.
  for (TcxLookAndFeel* m = master; m; m = m->FMaster)
    if (m == this) return;
  TakeSnapshot();
  if (TcxLookAndFeel* previous = EffectiveMaster()) previous->RemoveListener(this);
  FMaster = master;
  if (TcxLookAndFeel* current = EffectiveMaster()) current->AddListener(this);
  CompareWithSnapshot();
}

void TcxLookAndFeel::AddListener(IcxLookAndFeelListener* listener) {
  if (!listener) return;
  const bool controller = IsController(listener);
  // Controllers edit the root and nothing else.
  if (controller && !FIsRoot) return;
  if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) return;
  if (controller) ++gRootControllerCount;
  FListeners.push_back(listener);
}

void TcxLookAndFeel::RemoveListener(IcxLookAndFeelListener* listener) {
  if (!listener) return;
  const auto it = std::find(FListeners.begin(), FListeners.end(), listener);
  if (it == FListeners.end()) return;
  // While this object tells its listeners that it is going away, the list
  // it walks stays as it was.
  if (!FDestroying) FListeners.erase(it);
  if (FIsRoot && IsController(listener)) {
    --gRootControllerCount;
    // The last controller takes its settings with it.
    if (gRootControllerCount == 0) ClearAssignedValues();
  }
}

void TcxLookAndFeel::CopyFrom(TPersistent* source) {
  auto* other = dynamic_cast<TcxLookAndFeel*>(source);
  if (!other) {
    TcxInterfacedPersistent::CopyFrom(source);
    return;
  }
  TakeSnapshot();
  FLocal.Kind = other->FLocal.Kind;
  FLocal.NativeStyle = other->FLocal.NativeStyle;
  FLocal.SkinName = other->FLocal.SkinName;
  FAssignedValues = other->FAssignedValues;
  // A new master notifies on its own against the same snapshot; the final
  // comparison then sends the same set once more.
  SetMaster(other->EffectiveMaster());
  CompareWithSnapshot();
}

void TcxLookAndFeel::MasterChanged(TcxLookAndFeel*, TcxLookAndFeelValues changed) {
  NotifyChanged(changed.Without(FAssignedValues));
}

void TcxLookAndFeel::MasterDestroying(TcxLookAndFeel*) { SetMaster(nullptr); }

void TcxLookAndFeel::SkinPainterChanged(TcxLookAndFeelPainterClass) { NotifyChanged(TcxLookAndFeelValues::All()); }

}  // namespace lodo

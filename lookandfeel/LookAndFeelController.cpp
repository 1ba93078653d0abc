// The controller: registers with the root while it lives and edits its values.
#include "lookandfeel/LookAndFeelController.h"

namespace lodo {

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* owner) : TComponent(owner) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->AddListener(this);
}

// The last controller to go clears the root's values (in RemoveListener).
TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->RemoveListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  const TcxLookAndFeel* root = RootLookAndFeel();
  return root ? root->Kind() : lfUltraFlat;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetKind(value);
}

bool TcxLookAndFeelController::NativeStyle() const {
  const TcxLookAndFeel* root = RootLookAndFeel();
  return root && root->NativeStyle();
}

void TcxLookAndFeelController::SetNativeStyle(bool value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetNativeStyle(value);
}

TdxSkinName TcxLookAndFeelController::SkinName() const {
  const TcxLookAndFeel* root = RootLookAndFeel();
  return root ? root->SkinName() : TdxSkinName();
}

void TcxLookAndFeelController::SetSkinName(const TdxSkinName& value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetSkinName(value);
}

}  // namespace lodo

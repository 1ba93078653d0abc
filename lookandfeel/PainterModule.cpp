// Start-up and shutdown of the painter module: the skin painter registry, and
// the high-priority colour notifier that re-renders the radio glyph images.
#include "lookandfeel/PainterModule.h"

#include <memory>

#include "graphics/SystemPaletteChanged.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "lookandfeel/SkinPainters.h"

namespace lodo {

namespace {

// High priority, so the images hold the new colours before any look-and-feel
// tells its control to repaint.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
 public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void Notify() override {
    if (RadioButtonImagesExist()) RadioButtonImages().RebuildImages();
    TcxSystemPaletteChangedNotifier::Notify();
  }
};

std::unique_ptr<TSystemPaletteChangedNotifier> gNotifier;

}  // namespace

void InitializePainterModule() {
  CreateExtendedStylePainters();
  if (!gNotifier) gNotifier = std::make_unique<TSystemPaletteChangedNotifier>();
}

// The cache goes after its notifier, so no change can reach a half-destroyed
// cache; the registry goes last, as it came first.
void FinalizePainterModule() {
  gNotifier.reset();
  DestroyRadioButtonImages();
  DestroyExtendedStylePainters();
}

}  // namespace lodo

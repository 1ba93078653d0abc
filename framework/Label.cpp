// Label measuring and painting.
#include "framework/Label.h"

namespace lodo {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 17); }

void TLabel::SetAutoSize(bool value) {
  FAutoSize = value;
  if (value) AdjustSize();
}

void TLabel::AdjustSize() {
  if (!FAutoSize) return;
  const std::wstring text = Caption();
  RECT r{0, 0, 0, 0};
  {
    // A memory DC measures as the screen does (the font's height is in
    // pixels) without asking the window system for the screen's DC.
    TMemoryDC screen;
    TSelectGuard sel(screen.Get(), Font().Handle());
    if (text.empty()) {
      TEXTMETRICW tm{};
      GetTextMetricsW(screen.Get(), &tm);
      r.bottom = tm.tmHeight;
    } else {
      DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    }
  }
  SetBounds(Left(), Top(), r.right, r.bottom);
}

void TLabel::TextChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustSize();
  TGraphicControl::FontChanged();
}

void TLabel::Paint(TCanvas& canvas) {
  const std::wstring text = Caption();
  RECT r = ClientRect();
  canvas.Brush().SetStyle(bsClear);
  canvas.RequireFont();
  canvas.RequireBrush();
  DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_NOPREFIX | DT_SINGLELINE);
}

}  // namespace lodo

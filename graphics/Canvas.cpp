// The canvas helpers (being built).
#include "graphics/Canvas.h"

namespace lodo {

UINT ToDrawTextFormat(TextFlags) { return DT_NOPREFIX; }
TTextCallHook SetTextCallHook(TTextCallHook) { return nullptr; }
TcxCanvas::TcxCanvas(TCanvas* platformCanvas) : FCanvas(platformCanvas) {}
TcxCanvas::~TcxCanvas() = default;
void TcxCanvas::PaintText(const std::string&, RECT, TextFlags, bool) {}
void TcxCanvas::MeasureTextRect(const std::string&, RECT&, TextFlags) {}
SIZE TcxCanvas::TextSize(const std::string&) { return {}; }
void TcxCanvas::ExcludeRect(const RECT& rect) { ExcludeClipRect(DeviceContext(), rect.left, rect.top, rect.right, rect.bottom); }
void TcxCanvas::DrawGraphic(int x, int y, TBitmap& bitmap) { FCanvas->Draw(x, y, bitmap); }
void TcxCanvas::SetBrushColor(TColor) {}
void TcxCanvas::FillWithColor(const RECT&, TColor) {}
void TcxCanvas::SaveDC() {}
void TcxCanvas::RestoreDC() {}
void TcxCanvas::SaveClipRegion() {}
void TcxCanvas::RestoreClipRegion() {}
void TcxCanvas::SaveState() {}
void TcxCanvas::RestoreState() {}
void FillRectSolid(TcxCanvas&, const RECT&, TColor) {}

}  // namespace lodo

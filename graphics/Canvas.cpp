// The canvas helpers: the text flag translation, text drawing with the two
// output routes and the embossed disabled look, measuring, clip exclusion,
// fills, and the saved device-context states.
#include "graphics/Canvas.h"

#include <utility>

#include "graphics/SolidBrushCache.h"

namespace lodo {

namespace {

TTextCallHook& TextHook() {
  static TTextCallHook hook;
  return hook;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool Has(TextFlags flags, TextFlags bit) { return (flags & bit) != 0; }

void Report(TTextCall::TRoute route, const std::string& text, const RECT& rect, UINT format, HDC dc) {
  if (const TTextCallHook& hook = TextHook()) hook({route, text, rect, format, GetTextColor(dc)});
}

}  // namespace

UINT ToDrawTextFormat(TextFlags flags) {
  UINT format = DT_NOPREFIX;
  if (Has(flags, tfRight)) format |= DT_RIGHT;
  if (Has(flags, tfHCenter)) format |= DT_CENTER;
  if (Has(flags, tfBottom)) format |= DT_BOTTOM;
  if (Has(flags, tfVCenter)) format |= DT_VCENTER;
  if (Has(flags, tfSingleLine)) format |= DT_SINGLELINE;
  if (Has(flags, tfNoClip)) format |= DT_NOCLIP;
  if (Has(flags, tfExpandTabs)) format |= DT_EXPANDTABS;
  if (Has(flags, tfShowPrefix)) format &= ~static_cast<UINT>(DT_NOPREFIX);
  if (Has(flags, tfWordBreak)) {
    format |= DT_WORDBREAK;
    if (!Has(flags, tfNoCharBreak)) format |= DT_EDITCONTROL;
  }
  if (Has(flags, tfEndEllipsis)) format |= DT_END_ELLIPSIS;
  if (Has(flags, tfMeasureOnly)) format |= DT_CALCRECT;
  if (Has(flags, tfPathEllipsis)) format |= DT_PATH_ELLIPSIS;
  return format;
}

TTextCallHook SetTextCallHook(TTextCallHook hook) { return std::exchange(TextHook(), std::move(hook)); }

TcxCanvas::TcxCanvas(TCanvas* platformCanvas) : FCanvas(platformCanvas) {}

TcxCanvas::~TcxCanvas() = default;

SIZE TcxCanvas::TextSize(const std::string& text) {
  SIZE size{};
  FCanvas->RequireFont();
  if (HDC dc = DeviceContext()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void TcxCanvas::PaintText(const std::string& text, RECT rect, TextFlags flags, bool enabled) {
  if (text.empty()) return;
  // Plain single-line text needs none of DrawText's work.
  const bool drawText =
      !Has(flags, tfSingleLine) || Has(flags, static_cast<TextFlags>(tfShowPrefix | tfEndEllipsis | tfPathEllipsis));
  const int d = enabled ? 0 : 1;
  const SIZE size = TextSize(text);
  if (Width(rect) >= size.cx && Height(rect) >= size.cy) flags = static_cast<TextFlags>(flags | tfNoClip);

  UINT format = 0;
  if (drawText) {
    // DrawText centres or bottom-aligns only single lines; a wrapped block is
    // placed here.
    if (!Has(flags, tfSingleLine) && (Has(flags, tfBottom) || Has(flags, tfVCenter))) {
      RECT measured{0, 0, Width(rect) - d, 0};
      const TextFlags keep = static_cast<TextFlags>(flags & (tfWordBreak | tfShowPrefix | tfNoCharBreak));
      MeasureTextRect(text, measured, static_cast<TextFlags>(tfLeft | tfTop | keep));
      const int h = Height(measured);
      if (Has(flags, tfBottom))
        rect.top = rect.bottom - h - d;
      else
        rect.top = (rect.top + rect.bottom - h) / 2;
    }
    format = ToDrawTextFormat(flags);
  } else {
    if (Width(rect) > size.cx) {
      switch (flags & (tfLeft | tfRight | tfHCenter)) {
        case tfRight:
          rect.left = rect.right - size.cx - d;
          break;
        case tfHCenter:
          rect.left = (rect.left + rect.right - size.cx) / 2;
          break;
        default:
          break;
      }
    }
    if (Height(rect) > size.cy) {
      switch (flags & (tfTop | tfBottom | tfVCenter)) {
        case tfBottom:
          rect.top = rect.bottom - size.cy - d;
          break;
        case tfVCenter:
          rect.top = (rect.top + rect.bottom - size.cy) / 2;
          break;
        default:
          break;
      }
    }
    format = Has(flags, tfNoClip) ? 0 : ETO_CLIPPED;
  }

  const TBrushStyle oldStyle = Brush().Style();
  const TColor oldColor = Font().Color();
  auto output = [&] {
    FCanvas->RequireFont();
    FCanvas->RequireBrush();
    HDC dc = DeviceContext();
    if (!dc) return;
    if (drawText) {
      Report(TTextCall::trDrawText, text, rect, format, dc);
      RECT r = rect;
      DrawTextA(dc, text.c_str(), -1, &r, format);
    } else {
      Report(TTextCall::trExtTextOut, text, rect, format, dc);
      ExtTextOutA(dc, rect.left, rect.top, format, &rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
  };
  if (!enabled) {
    OffsetRect(&rect, 1, 1);
    Brush().SetStyle(bsClear);
    Font().SetColor(clBtnHighlight);
    output();
    OffsetRect(&rect, -1, -1);
    Font().SetColor(clBtnShadow);
  }
  output();
  if (Brush().Style() != oldStyle) Brush().SetStyle(oldStyle);
  Font().SetColor(oldColor);
}

void TcxCanvas::MeasureTextRect(const std::string& text, RECT& rect, TextFlags flags) {
  const int w0 = Width(rect);
  const int h0 = Height(rect);
  const UINT format = ToDrawTextFormat(flags);
  if (w0 <= 0 && !text.empty()) rect.right = rect.left + 1;
  FCanvas->RequireFont();
  HDC dc = DeviceContext();
  if (!dc || DrawTextA(dc, text.c_str(), -1, &rect, (format & ~static_cast<UINT>(DT_VCENTER)) | DT_CALCRECT) == 0) {
    rect.right = rect.left;
    rect.bottom = rect.top;
  }
  const int w1 = Width(rect);
  const int h1 = Height(rect);
  if (format & DT_CENTER)
    OffsetRect(&rect, (w0 - w1) / 2, 0);
  else if (format & DT_RIGHT)
    OffsetRect(&rect, w0 - w1, 0);
  if (format & DT_VCENTER)
    OffsetRect(&rect, 0, (h0 - h1) / 2);
  else if (format & DT_BOTTOM)
    OffsetRect(&rect, 0, h0 - h1);
}

void TcxCanvas::ExcludeRect(const RECT& rect) {
  if (HDC dc = DeviceContext()) ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void TcxCanvas::DrawGraphic(int x, int y, TBitmap& bitmap) { FCanvas->Draw(x, y, bitmap); }

void TcxCanvas::SetBrushColor(TColor color) {
  if (Brush().Color() != color) Brush().SetColor(color);
}

void TcxCanvas::FillWithColor(const RECT& rect, TColor color) {
  if (color == clNone) return;
  if (color != clDefault) SetBrushColor(color);
  FCanvas->FillRect(rect);
}

void TcxCanvas::SaveDC() {
  if (HDC dc = DeviceContext()) FSavedDCs.push_back(::SaveDC(dc));
}

void TcxCanvas::RestoreDC() {
  if (FSavedDCs.empty()) return;
  const int id = FSavedDCs.back();
  FSavedDCs.pop_back();
  // The objects the platform canvas selected may be undone by the restore.
  FCanvas->Refresh();
  if (HDC dc = DeviceContext()) ::RestoreDC(dc, id);
}

void TcxCanvas::SaveClipRegion() {
  HDC dc = DeviceContext();
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  if (dc && region.Valid() && GetClipRgn(dc, region.Get()) != 1) region.Reset();
  FSavedClipRegions.push_back(std::move(region));
}

void TcxCanvas::RestoreClipRegion() {
  if (FSavedClipRegions.empty()) return;
  const TRegionHandle region = std::move(FSavedClipRegions.back());
  FSavedClipRegions.pop_back();
  if (HDC dc = DeviceContext()) SelectClipRgn(dc, region.Get());
}

void TcxCanvas::SaveState() {
  FStates.push_back({Font(), Brush().Color(), Brush().Style(), Pen().Color(), Pen().Style(), Pen().Width()});
}

void TcxCanvas::RestoreState() {
  if (FStates.empty()) return;
  const TState& state = FStates.back();
  Font().Assign(state.Font);
  Brush().SetColor(state.BrushColor);
  Brush().SetStyle(state.BrushStyle);
  Pen().SetColor(state.PenColor);
  Pen().SetStyle(state.PenStyle);
  Pen().SetWidth(state.PenWidth);
  FStates.pop_back();
}

void FillRectSolid(TcxCanvas& canvas, const RECT& rect, TColor color) {
  HDC dc = canvas.DeviceContext();
  if (!dc) return;
  if (TcxSolidBrushCache* cache = SharedBrushCache()) {
    ::FillRect(dc, &rect, cache->BrushFor(color));
    return;
  }
  // Outside the brush module's lifetime (a paint during shutdown) a brush of
  // its own keeps the fill right.
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
  ::FillRect(dc, &rect, brush.Get());
}

}  // namespace lodo

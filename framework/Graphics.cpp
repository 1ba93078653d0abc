// Fonts, brushes, pens, the canvas and the masked bitmap.
#include "framework/Graphics.h"

#include <map>
#include <tuple>

namespace lodo {

// ---- TFont ----

namespace {

using TFontKey = std::tuple<std::wstring, int, unsigned, BYTE>;

// The fonts alive, by what makes them; never destroyed, so that a font
// released during the process's exit still finds it.
std::map<TFontKey, std::weak_ptr<const TSharedFont>>& SharedFonts() {
  static auto* fonts = new std::map<TFontKey, std::weak_ptr<const TSharedFont>>;
  return *fonts;
}

}  // namespace

struct TSharedFont {
  TFontKey Key;
  TFontHandle Handle;
  ~TSharedFont() {
    auto& fonts = SharedFonts();
    // The entry may name a newer font of the same key by now.
    if (auto it = fonts.find(Key); it != fonts.end() && it->second.expired()) fonts.erase(it);
  }
};

TFont::TFont() = default;

TFont::TFont(const TFont& other)
    : FName(other.FName),
      FHeight(other.FHeight),
      FStyle(other.FStyle),
      FColor(other.FColor),
      FCharset(other.FCharset),
      FHandle(other.FHandle) {}

TFont& TFont::operator=(const TFont& other) {
  Assign(other);
  return *this;
}

void TFont::Changed() {
  // The old handle lives until the notice is over (a canvas may still have it
  // selected); whoever asks for the handle meanwhile gets the new font's.
  const auto old = std::move(FHandle);
  if (OnChange) OnChange();
}

void TFont::SetName(const std::wstring& name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

void TFont::SetStyle(unsigned style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  // The colour is not part of the GDI font; keep the handle.
  if (OnChange) OnChange();
}

void TFont::SetCharset(BYTE charset) {
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}

bool TFont::SameAs(const TFont& other) const {
  return FName == other.FName && FHeight == other.FHeight && FStyle == other.FStyle && FColor == other.FColor &&
         FCharset == other.FCharset;
}

void TFont::Assign(const TFont& other) {
  if (this == &other || SameAs(other)) return;
  const bool handleChanges =
      FName != other.FName || FHeight != other.FHeight || FStyle != other.FStyle || FCharset != other.FCharset;
  FName = other.FName;
  FHeight = other.FHeight;
  FStyle = other.FStyle;
  FColor = other.FColor;
  FCharset = other.FCharset;
  std::shared_ptr<const TSharedFont> old;
  if (handleChanges) old = std::move(FHandle);
  if (OnChange) OnChange();
  // The other font's handle is made for these very properties.
  if (handleChanges) FHandle = other.FHandle;
}

HFONT TFont::Handle() {
  if (FHandle) return FHandle->Handle.Get();
  TFontKey key{FName, FHeight, FStyle, FCharset};
  auto& fonts = SharedFonts();
  if (auto it = fonts.find(key); it != fonts.end()) FHandle = it->second.lock();
  if (!FHandle) {
    LOGFONTW lf{};
    lf.lfHeight = -FHeight;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (FStyle & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    FName.copy(lf.lfFaceName, LF_FACESIZE - 1);
    auto font = std::make_shared<TSharedFont>();
    font->Key = key;
    font->Handle.Reset(CreateFontIndirectW(&lf));
    // A font that could not be made is asked for again next time.
    if (!font->Handle.Valid()) return nullptr;
    fonts[key] = font;
    FHandle = std::move(font);
  }
  return FHandle->Handle.Get();
}

// ---- TBrush ----

void TBrush::Changed() {
  if (OnChange) OnChange();
  FHandle.Reset();
}

void TBrush::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  // The solid handle depends only on the colour: keep it for the next switch
  // back, so that toggling the style costs no brush.
  if (OnChange) OnChange();
}

HBRUSH TBrush::Handle() {
  if (FStyle == bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  const COLORREF rgb = ColorToRGB(FColor);
  // A system colour keeps its value but not its RGB across a scheme change.
  if (FHandle.Valid() && rgb != FHandleRGB) Changed();
  if (!FHandle.Valid()) {
    FHandle.Reset(CreateSolidBrush(rgb));
    FHandleRGB = rgb;
  }
  return FHandle.Get();
}

// ---- TPen ----

void TPen::Changed() {
  if (OnChange) OnChange();
  FHandle.Reset();
}

void TPen::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width == FWidth) return;
  FWidth = width;
  Changed();
}

HPEN TPen::Handle() {
  if (!FHandle.Valid()) {
    const int style = FStyle == psDot ? PS_DOT : FStyle == psClear ? PS_NULL : PS_SOLID;
    // Dotted pens are only dotted at width 1.
    FHandle.Reset(CreatePen(style, FStyle == psDot ? 1 : FWidth, ColorToRGB(FColor)));
  }
  return FHandle.Get();
}

// ---- TCanvas ----

TCanvas::TCanvas() {
  // A changed object is deselected before its old handle is deleted.
  FFont.OnChange = [this] {
    if (FOldFont && FHandle) {
      SelectObject(FHandle, FOldFont);
      FOldFont = nullptr;
    }
  };
  FBrush.OnChange = [this] {
    if (FOldBrush && FHandle) {
      SelectObject(FHandle, FOldBrush);
      FOldBrush = nullptr;
    }
  };
  FPen.OnChange = [this] {
    if (FOldPen && FHandle) {
      SelectObject(FHandle, FOldPen);
      FOldPen = nullptr;
    }
  };
}

TCanvas::~TCanvas() { DeselectAll(); }

HDC TCanvas::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == FHandle) return;
  DeselectAll();
  FHandle = dc;
}

void TCanvas::DeselectAll() {
  if (!FHandle) return;
  if (FOldFont) SelectObject(FHandle, FOldFont);
  if (FOldBrush) SelectObject(FHandle, FOldBrush);
  if (FOldPen) SelectObject(FHandle, FOldPen);
  FOldFont = FOldBrush = FOldPen = nullptr;
}

void TCanvas::Refresh() { DeselectAll(); }

void TCanvas::RequireFont() {
  HDC dc = Handle();
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, FFont.Handle());
  if (!FOldFont) FOldFont = old;
  SetTextColor(dc, ColorToRGB(FFont.Color()));
}

void TCanvas::RequireBrush() {
  HDC dc = Handle();
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, FBrush.Handle());
  if (!FOldBrush) FOldBrush = old;
  if (FBrush.Style() == bsClear) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
    SetBkMode(dc, OPAQUE);
  }
}

void TCanvas::RequirePen() {
  HDC dc = Handle();
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, FPen.Handle());
  if (!FOldPen) FOldPen = old;
}

void TCanvas::FillRect(const RECT& rect) {
  RequireBrush();
  if (HDC dc = Handle()) ::FillRect(dc, &rect, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
  RequireBrush();
  if (HDC dc = Handle()) ::FrameRect(dc, &rect, FBrush.Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  RequirePen();
  RequireBrush();
  if (HDC dc = Handle()) ::Rectangle(dc, left, top, right, bottom);
}

void TCanvas::DrawFocusRect(const RECT& rect) {
  RequireFont();
  RequireBrush();
  if (HDC dc = Handle()) ::DrawFocusRect(dc, &rect);
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
  RequireFont();
  RequireBrush();
  if (HDC dc = Handle()) TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  SIZE size{};
  RequireFont();
  if (HDC dc = Handle()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (HDC dc = Handle()) bitmap.Draw(dc, x, y);
}

COLORREF TCanvas::Pixel(int x, int y) {
  HDC dc = Handle();
  return dc ? GetPixel(dc, x, y) : CLR_INVALID;
}

// ---- TBitmap ----

bool TBitmap::LoadFromResource(HINSTANCE instance, int id, int maskId) {
  TBitmapHandle image(
      static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  TBitmapHandle mask(
      maskId ? static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(maskId), IMAGE_BITMAP, 0, 0, LR_MONOCHROME))
             : nullptr);
  if (!image.Valid()) return false;
  SetHandles(image.Release(), mask.Release());
  return true;
}

void TBitmap::SetHandles(HBITMAP image, HBITMAP mask) {
  FImage.Reset(image);
  FMask.Reset(mask);
  BITMAP info{};
  if (image && GetObjectW(image, sizeof(info), &info)) {
    FWidth = info.bmWidth;
    FHeight = info.bmHeight;
  } else {
    FWidth = FHeight = 0;
  }
  if (FImage.Valid() && FMask.Valid()) {
    // Black out the transparent part once, so that drawing is AND mask, OR image.
    TMemoryDC imageDC;
    TMemoryDC maskDC;
    TSelectGuard selImage(imageDC.Get(), FImage.Get());
    TSelectGuard selMask(maskDC.Get(), FMask.Get());
    SetBkColor(imageDC.Get(), RGB(255, 255, 255));
    SetTextColor(imageDC.Get(), RGB(0, 0, 0));
    BitBlt(imageDC.Get(), 0, 0, FWidth, FHeight, maskDC.Get(), 0, 0, 0x00220326 /* DSna */);
  }
}

void TBitmap::Draw(HDC dc, int x, int y) const {
  if (!FImage.Valid()) return;
  TMemoryDC imageDC(dc);
  TSelectGuard selImage(imageDC.Get(), FImage.Get());
  if (!FMask.Valid()) {
    BitBlt(dc, x, y, FWidth, FHeight, imageDC.Get(), 0, 0, SRCCOPY);
    return;
  }
  TMemoryDC maskDC(dc);
  TSelectGuard selMask(maskDC.Get(), FMask.Get());
  // A monochrome source maps 1 to the destination's background colour and 0
  // to its text colour: white (transparent) keeps, black clears.
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, x, y, FWidth, FHeight, maskDC.Get(), 0, 0, SRCAND);
  BitBlt(dc, x, y, FWidth, FHeight, imageDC.Get(), 0, 0, SRCPAINT);
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

}  // namespace lodo

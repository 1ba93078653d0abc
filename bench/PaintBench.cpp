// One paint of a slot-sized radio button, through the draw-item path the
// window system takes, against the floor of a plain blit plus its caption text.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SlotForm.h"
#include "controls/Modules.h"
#include "framework/Application.h"
#include "framework/Messages.h"
#include "lookandfeel/RadioButtonImageList.h"

using namespace lodo;
using namespace lodo::bench;

namespace {

constexpr int kRounds = 9;
constexpr int kPaintsPerRound = 1000;
constexpr int kWindowPaintsPerRound = 200;
constexpr int kWidth = kSlotWidth;
constexpr int kHeight = kSlotHeight;

// The request the parent's WM_DRAWITEM hands back to the button.
void DrawInto(TcxRadioButton& button, HDC dc, UINT action) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.itemAction = action;
  item.hwndItem = button.Handle();
  item.hDC = dc;
  item.rcItem = {0, 0, kWidth, kHeight};
  button.Perform(RN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int main() {
  TApplication application;
  TModulesScope modules;

  TSlotForm slotForm(L"paint bench");
  TForm& form = slotForm.Form();
  TcxRadioButton* button = slotForm.Button();
  form.Show();
  UpdateWindow(form.Handle());
  Pump(30);

  TTarget target(kWidth, kHeight);
  TTarget source(kWidth, kHeight);
  // The floor draws the same text in the same font and place as the caption,
  // which starts beside the glyph that the first paint has placed.
  DrawInto(*button, target.DC.Get(), ODA_DRAWENTIRE);
  const std::string caption = button->CaptionAnsi();
  const TCaptionOffsets offsets = CaptionOffsets(false, false, taRightJustify);
  const RECT captionRect{button->GlyphRect().right + offsets.Left, offsets.Top, kWidth, kHeight};
  HFONT font = button->Font().Handle();

  // The parts of a paint, drawn on the button's own canvas into the target.
  TcxCanvas& canvas = button->PaintCanvas();
  const TcxRadioButtonImageList& images = RadioButtonImages();
  std::vector<double> floor, plain, checkedHot, focusOnly, throughWindow, glyph, captionPart, focused, captionText;
  for (int round = 0; round < kRounds; ++round) {
    floor.push_back(Time(kPaintsPerRound, [&] {
      BitBlt(target.DC.Get(), 0, 0, kWidth, kHeight, source.DC.Get(), 0, 0, SRCCOPY);
      TSelectGuard select(target.DC.Get(), font);
      SetBkMode(target.DC.Get(), TRANSPARENT);
      RECT r = captionRect;
      DrawTextA(target.DC.Get(), caption.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }));
    button->SetChecked(false);
    button->SetGlyphState(rgsNormal);
    plain.push_back(Time(kPaintsPerRound, [&] { DrawInto(*button, target.DC.Get(), ODA_DRAWENTIRE); }));
    button->SetChecked(true);
    button->SetGlyphState(rgsHot);
    checkedHot.push_back(Time(kPaintsPerRound, [&] { DrawInto(*button, target.DC.Get(), ODA_DRAWENTIRE); }));
    focusOnly.push_back(Time(kPaintsPerRound, [&] { DrawInto(*button, target.DC.Get(), ODA_FOCUS); }));
    button->SetChecked(false);
    button->SetGlyphState(rgsNormal);
    canvas.PlatformCanvas()->SetHandle(target.DC.Get());
    const RECT g = button->GlyphRect();
    glyph.push_back(Time(kPaintsPerRound, [&] {
      images.DrawGlyphImage(canvas, g.left, g.top, button->Color(), lfUltraFlat, btsNormal, false, false, false);
    }));
    captionPart.push_back(Time(kPaintsPerRound, [&] { button->PaintCaption(canvas, false); }));
    canvas.PlatformCanvas()->SetHandle(nullptr);
    focused.push_back(Time(kPaintsPerRound, [&] { (void)button->Focused(); }));
    captionText.push_back(Time(kPaintsPerRound, [&] { (void)button->CaptionAnsi(); }));
    // The whole way round: invalidate, WM_PAINT of the button window, its
    // WM_DRAWITEM to the parent, handed back to the button.
    Pump();
    throughWindow.push_back(Time(kWindowPaintsPerRound, [&] {
      InvalidateRect(button->Handle(), nullptr, FALSE);
      UpdateWindow(button->Handle());
    }));
  }
  GdiFlush();

  const double base = Median(floor);
  auto row = [&](TTable& table, const char* name, const std::vector<double>& times) {
    table.Row({name, Fixed(Median(times) * 1e6, 2), Fixed(Median(times) / base, 1) + " x"});
  };
  std::printf("one paint of a %d x %d slot button, median of %d rounds of %d (window path: %d), us:\n", kWidth, kHeight,
              kRounds, kPaintsPerRound, kWindowPaintsPerRound);
  TTable table;
  table.Row({"paint", "us", "floor"});
  row(table, "floor: BitBlt + DrawTextA of the caption", floor);
  row(table, "PaintButton, unchecked, normal", plain);
  row(table, "PaintButton, checked, hot", checkedHot);
  row(table, "ODA_FOCUS request (drawn whole)", focusOnly);
  row(table, "InvalidateRect + UpdateWindow", throughWindow);
  table.Print();
  std::printf("where the unchecked paint goes, us:\n");
  TTable parts;
  parts.Row({"part", "us", "of paint"});
  auto part = [&](const char* name, const std::vector<double>& times) {
    parts.Row({name, Fixed(Median(times) * 1e6, 2), Fixed(100.0 * Median(times) / Median(plain), 0) + " %"});
  };
  part("glyph from the cache, with background", glyph);
  part("caption and focus check (PaintCaption)", captionPart);
  // PaintCaption makes both calls below; the paint asks for the focus once more.
  part("  in it: one Focused()", focused);
  part("  in it: one CaptionAnsi()", captionText);
  parts.Print();
  return 0;
}

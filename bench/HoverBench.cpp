// What a hover costs on screen: the area a glyph-state change or a check
// change leaves to repaint (the update region), and how long that repaint takes.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SlotForm.h"
#include "bench/WindowWatch.h"
#include "controls/Modules.h"
#include "framework/Application.h"

using namespace lodo;
using namespace lodo::bench;

namespace {

constexpr int kWidth = kSlotWidth;
constexpr int kHeight = kSlotHeight;
constexpr int kRounds = 9;
constexpr int kRepaintsPerRound = 200;

std::string Box(const RECT& r) {
  if (IsRectEmpty(&r)) return "-";
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

}  // namespace

int main() {
  TApplication application;
  TModulesScope modules;

  TSlotForm slotForm(L"hover bench");
  TForm& form = slotForm.Form();
  TcxRadioButton* button = slotForm.Button();
  // The pointer starts well away from the button.
  MovePointer({600, 600});
  form.Show();
  SetForegroundWindow(form.Handle());
  UpdateWindow(form.Handle());
  Pump(50);
  HWND window = button->Handle();
  const long whole = kWidth * kHeight;

  TTable table;
  table.Row({"change", "button px", "of whole", "parent px", "region box"});
  auto record = [&](const char* name) {
    const TUpdateArea mine = UpdateArea(window);
    const TUpdateArea parent = UpdateArea(form.Handle());
    table.Row({name, std::to_string(mine.Pixels), Fixed(100.0 * static_cast<double>(mine.Pixels) / whole, 1) + " %",
               std::to_string(parent.Pixels), Box(mine.Box)});
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  };

  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  button->SetGlyphState(rgsHot);
  record("SetGlyphState normal -> hot");
  button->SetGlyphState(rgsPressed);
  record("SetGlyphState hot -> pressed");
  button->SetGlyphState(rgsHot);
  record("SetGlyphState pressed -> hot");
  button->SetGlyphState(rgsNormal);
  record("SetGlyphState hot -> normal");
  SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
  record("BM_SETCHECK checked");
  SendMessageW(window, BM_SETCHECK, BST_UNCHECKED, 0);
  record("BM_SETCHECK unchecked");
  button->SetChecked(true);
  record("Checked := true");
  button->SetChecked(false);
  record("Checked := false");

  // The same through the real pointer: into the button, then out of it.
  const POINT inside = button->ClientToScreen({kWidth / 2, kHeight / 2});
  const POINT outside = form.ClientToScreen({200, 50});
  MovePointer(inside);
  const bool entered = PumpUntil([&] { return button->GlyphState() == rgsHot; }, 2000, false);
  record(entered ? "pointer moves in" : "pointer moves in (no hot glyph)");
  MovePointer(outside);
  const bool left = PumpUntil([&] { return button->GlyphState() == rgsNormal; }, 2000, false);
  record(left ? "pointer moves out" : "pointer moves out (glyph stayed hot)");

  std::printf("area left to repaint by one change of a %d x %d button (%ld px):\n", kWidth, kHeight, whole);
  table.Print();

  // The cost of the repaint that follows: a glyph-state change against a full repaint.
  std::vector<double> glyphOnly, full;
  for (int round = 0; round < kRounds; ++round) {
    glyphOnly.push_back(Time(kRepaintsPerRound, [&] {
      button->SetGlyphState(button->GlyphState() == rgsHot ? rgsNormal : rgsHot);
      UpdateWindow(window);
    }));
    full.push_back(Time(kRepaintsPerRound, [&] {
      button->Invalidate();
      UpdateWindow(window);
    }));
  }
  std::printf("the repaint, median of %d rounds of %d, us:\n", kRounds, kRepaintsPerRound);
  TTable times;
  times.Row({"repaint", "us", "of full"});
  times.Row({"glyph state change + UpdateWindow", Fixed(Median(glyphOnly) * 1e6, 2),
             Fixed(100.0 * Median(glyphOnly) / Median(full), 0) + " %"});
  times.Row({"whole button + UpdateWindow", Fixed(Median(full) * 1e6, 2), "100 %"});
  times.Print();
  return 0;
}

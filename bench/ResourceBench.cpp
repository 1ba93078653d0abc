// Resources over a long run of the real launcher window: hover cycles over its
// sixteen slots and system colour changes must leave no GDI or USER object behind.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "controls/Modules.h"
#include "controls/MouseTracking.h"
#include "framework/Application.h"
#include "graphics/SolidBrushCache.h"
#include "graphics/SystemPaletteChanged.h"
#include "launcher/F_glavna.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/support/SysColorsGuard.h"

using namespace lodo;
using namespace lodo::bench;

namespace {

// A real pointer cycle takes some 15 ms under Wine, too slow for all ten
// thousand: those go through SetGlyphState, and a few hundred real ones
// cover the mouse tracking as well.
constexpr int kPointerCycles = 200;
constexpr int kGlyphCycles = 10000;
constexpr int kColorChanges = 1000;
constexpr int kRealColorChangeEvery = 100;
// Each change invalidates the slots; every 25th the window is repainted (and
// after every real change), which keeps the run near a minute.
constexpr int kRepaintColorsEvery = 25;

// Brushes the glyph cache makes for one draw each: every one must be gone
// once the paint that made it is over.
struct TGlyphBrushes {
  long Made = 0;
  long Alive = 0;
  std::vector<HBRUSH> Pending;

  // After a paint: the brushes it made that still exist.
  void Settle() {
    for (HBRUSH brush : Pending)
      if (GetObjectType(brush) == OBJ_BRUSH) ++Alive;
    Pending.clear();
  }
};
TGlyphBrushes gGlyphBrushes;

struct TWindowCount {
  DWORD Pid;
  long Count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<TWindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count->Pid) return TRUE;
  ++count->Count;
  EnumChildWindows(
      window,
      [](HWND, LPARAM p) -> BOOL {
        ++reinterpret_cast<TWindowCount*>(p)->Count;
        return TRUE;
      },
      param);
  return TRUE;
}

// Windows of this process, top-level (hidden message windows included),
// children and message-only ones: a USER-object count that Wine also gives.
long WindowsOfThisProcess() {
  TWindowCount count{GetCurrentProcessId(), 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    CountWindow(w, reinterpret_cast<LPARAM>(&count));
  return count.Count;
}

struct TSnapshot {
  long CachedBrushes, BrushesCreated, GlyphImages, GlyphBrushesAlive, Trackings, Windows, GdiObjects, UserObjects;
};

TSnapshot Take() {
  gGlyphBrushes.Settle();
  TcxSolidBrushCache* cache = SharedBrushCache();
  const TMouseTrackingTimers* trackings = MouseTrackingTimerList();
  return {cache ? cache->Depth() : -1,
          cache ? cache->BrushesCreated() : -1,
          RadioButtonImages().ImageCount(),
          gGlyphBrushes.Alive,
          trackings ? static_cast<long>(trackings->size()) : 0,
          WindowsOfThisProcess(),
          static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
          static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))};
}

void RepaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  gGlyphBrushes.Settle();
}

const char* const kTowns[] = {"Zagreb",         "Split",     "Rijeka",   "Osijek",    "Zadar", "Pula",
                              "Slavonski Brod", "Karlovac",  "Varazdin", "Sibenik",   "Sisak", "Vinkovci",
                              "Velika Gorica",  "Dubrovnik", "Bjelovar", "Koprivnica"};

}  // namespace

int main() {
  TApplication application;
  TModulesScope modules;
  SetGlyphBrushHook([](HBRUSH brush) {
    ++gGlyphBrushes.Made;
    gGlyphBrushes.Pending.push_back(brush);
  });
  test::TSysColorsGuard face({COLOR_BTNFACE});  // put back however the run ends

  // The launcher's window as it stands after a load of sixteen presets.
  MovePointer({1000, 900});
  TF_glavna* form = application.CreateForm<TF_glavna>();
  for (int n = 1; n <= kSlotCount; ++n) {
    form->cx(n)->SetCaptionAnsi(std::string("Podrska ") + kTowns[n - 1]);
    form->cx(n)->SetHintAnsi("support" + std::to_string(n) + ".example");
    form->cx(n)->SetVisible(true);
  }
  form->Show();
  SetForegroundWindow(form->Handle());
  RepaintNow(form->Handle());
  Pump(50);

  // Slot centres, and a point in the gap between the two columns.
  auto slotCentre = [&](int n) { return form->cx(n)->ClientToScreen({157 / 2, 17 / 2}); };
  auto gapBeside = [&](int n) {
    const POINT centre = slotCentre(n);
    return POINT{form->cx(1)->ClientToScreen({157 + 23, 0}).x, centre.y};
  };
  int missed = 0;
  // One real hover: into slot n until its glyph is hot, out until it is normal
  // and its tracking has ended.
  auto pointerCycle = [&](int n) {
    TSlotButton* slot = form->cx(n);
    MovePointer(slotCentre(n));
    bool ok = PumpUntil([&] { return slot->GlyphState() == rgsHot; }, 2000);
    MovePointer(gapBeside(n));
    ok = PumpUntil([&] { return slot->GlyphState() == rgsNormal && !IsMouseTracked(slot); }, 2000) && ok;
    if (!ok) ++missed;
    gGlyphBrushes.Settle();
  };
  // The glyph's side of a hover: hot and repainted, normal and repainted.
  auto glyphCycle = [&](int n) {
    TSlotButton* slot = form->cx(n);
    slot->SetGlyphState(rgsHot);
    UpdateWindow(slot->Handle());
    slot->SetGlyphState(rgsNormal);
    UpdateWindow(slot->Handle());
    gGlyphBrushes.Settle();
  };
  HWND listener = SystemPaletteListenerWindow();
  bool changed = false;
  auto colorChange = [&](int i) {
    if ((i + 1) % kRealColorChangeEvery == 0) {
      changed = !changed;
      test::TSysColorsGuard::Set(COLOR_BTNFACE, changed ? face.Saved(0) ^ 0x00010101 : face.Saved(0));
      // The change is broadcast: every control repaints, not only the slots.
      Pump();
      RepaintNow(form->Handle());
    } else {
      SendMessageW(listener, WM_SYSCOLORCHANGE, 0, 0);
      if ((i + 1) % kRepaintColorsEvery == 0) RepaintNow(form->Handle());
    }
  };

  // Everything made once on first use is made before the first count.
  pointerCycle(1);
  glyphCycle(1);
  colorChange(kRepaintColorsEvery - 1);
  colorChange(kRealColorChangeEvery - 1);
  // Without a pointer that reaches the window, every real cycle would wait for its timeouts.
  const bool pointerWorks = missed == 0;
  missed = 0;
  const int pointerCycles = pointerWorks ? kPointerCycles : 0;
  const TSnapshot before = Take();

  LARGE_INTEGER from = Now();
  for (int i = 0; i < pointerCycles; ++i) pointerCycle(1 + i % kSlotCount);
  const double pointerSeconds = Seconds(from, Now());
  const int pointerMissed = missed;
  from = Now();
  for (int i = 0; i < kGlyphCycles; ++i) glyphCycle(1 + i % kSlotCount);
  const double glyphSeconds = Seconds(from, Now());
  Pump(50);
  const TSnapshot afterHover = Take();

  from = Now();
  for (int i = 0; i < kColorChanges; ++i) colorChange(i);
  test::TSysColorsGuard::Set(COLOR_BTNFACE, face.Saved(0));
  RepaintNow(form->Handle());
  const double colorSeconds = Seconds(from, Now());
  Pump(50);
  const TSnapshot afterColors = Take();

  std::printf(
      "hover cycles: %d with the real pointer (%.1f s, %d missed a state), %d by SetGlyphState\n"
      "  + UpdateWindow (%.1f s); colour changes: %d (%d by SetSysColors, %.1f s)\n",
      pointerCycles, pointerSeconds, pointerMissed, kGlyphCycles, glyphSeconds, kColorChanges,
      kColorChanges / kRealColorChangeEvery, colorSeconds);
  std::printf("glyph brushes made for one draw each: %ld\n", gGlyphBrushes.Made);

  bool grew = false;
  TTable table;
  table.Row({"objects", "before", "after hover", "after colours", ""});
  // An unwatched row is printed only: a running total, or GetGuiResources where Wine stubs it.
  auto row = [&](const char* name, long TSnapshot::*field, bool watched) {
    const long b = before.*field, h = afterHover.*field, c = afterColors.*field;
    const bool up = watched && (h > b || c > b);
    grew = grew || up;
    table.Row({name, std::to_string(b), std::to_string(h), std::to_string(c),
               watched ? (up ? "GREW" : "ok") : "(not a live count)"});
  };
  row("brush cache: brushes held", &TSnapshot::CachedBrushes, true);
  row("brush cache: brushes created", &TSnapshot::BrushesCreated, false);
  row("glyph cache: images", &TSnapshot::GlyphImages, true);
  row("glyph brushes still alive", &TSnapshot::GlyphBrushesAlive, true);
  row("live mouse trackings", &TSnapshot::Trackings, true);
  row("windows of this process", &TSnapshot::Windows, true);
  const bool realGdi = before.GdiObjects > 0;
  const bool realUser = before.UserObjects > 0;
  row(realGdi ? "GetGuiResources GDI" : "GetGuiResources GDI (stub)", &TSnapshot::GdiObjects, realGdi);
  row(realUser ? "GetGuiResources USER" : "GetGuiResources USER (stub)", &TSnapshot::UserObjects, realUser);
  table.Print();
  std::printf("%s\n", grew ? "FAIL: a count grew" : "PASS: no count grew");

  SetGlyphBrushHook(nullptr);
  application.DestroyForms();
  return grew ? 1 : 0;
}

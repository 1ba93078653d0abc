// One long run of the real launcher window in this process: colour changes,
// visual-style switches, pointer traffic and check changes over its sixteen
// slots; then every object count must be back where it was, no tracking may
// be left, and the libraries must shut down without an error.
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "controls/Modules.h"
#include "controls/MouseTracking.h"
#include "framework/Messages.h"
#include "graphics/SolidBrushCache.h"
#include "graphics/SystemPaletteChanged.h"
#include "launcher/F_glavna.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/endurance/ResourceLedger.h"
#include "tests/launcher/LauncherFiles.h"
#include "tests/support/SysColorsGuard.h"
#include "tests/support/TestSupport.h"
#include "tests/theme/ThemeTestSupport.h"
#include "theme/ThemeManager.h"

using namespace lodo;
using namespace lodo::test;

namespace {

struct TPlan {
  int ColourChanges;
  int ThemeSwitches;
  int PointerEvents;
  int CheckChanges;
};

// LODO_ENDURANCE_SCALE=full runs the full counts; otherwise a twentieth.
TPlan Plan() {
  const TPlan full{1000, 200, 100000, 10000};
  const char* scale = std::getenv("LODO_ENDURANCE_SCALE");
  if (scale && std::string(scale) == "full") return full;
  return {full.ColourChanges / 20, full.ThemeSwitches / 20, full.PointerEvents / 20, full.CheckChanges / 20};
}

// Every tenth colour change is a real one; one pointer event in a hundred
// moves the real pointer.
constexpr int kRealColourEvery = 10;
constexpr int kRealPointerEvery = 100;

double Seconds(const std::function<void()>& body) {
  LARGE_INTEGER frequency, from, to;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&from);
  body();
  QueryPerformanceCounter(&to);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<HWND> ThreadTopLevelWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  // Message-only windows are not listed by thread.
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) windows.push_back(w);
  return windows;
}

// Windows of this thread, their children included: the USER objects that
// Wine lets a program count.
long ThreadWindowCount() {
  long count = 0;
  for (HWND top : ThreadTopLevelWindows()) {
    ++count;
    EnumChildWindows(
        top,
        [](HWND, LPARAM param) -> BOOL {
          ++*reinterpret_cast<long*>(param);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// The brushes the glyph cache makes for single draws; each must be gone
// once its draw is over. They are looked at soon after: over a long run
// the platform hands the same handle values out again.
std::set<HBRUSH>& GlyphBrushes() {
  static std::set<HBRUSH> brushes;
  return brushes;
}
long gGlyphBrushesMade = 0;
long gGlyphBrushesAlive = 0;

void SettleGlyphBrushes() {
  for (HBRUSH brush : GlyphBrushes())
    if (GetObjectType(brush) != 0) ++gGlyphBrushesAlive;
  GlyphBrushes().clear();
}

struct TSnapshot {
  TLedgerCounts Ledger;
  long Windows = 0;
  long BrushesHeld = 0;
  long GlyphImages = 0;
  long GlyphBrushesAlive = 0;
  long Trackings = 0;
  long LookAndFeelListeners = 0;
  long ColourNotifiers = 0;
  SIZE_T PrivateBytes = 0;
  SIZE_T PrivateUsage = 0;
  long GuiGdi = 0;
  long GuiUser = 0;
};

TSnapshot Take(const TResourceLedger& ledger) {
  TSnapshot s;
  s.Ledger = ledger.Counts();
  s.Windows = ThreadWindowCount();
  if (TcxSolidBrushCache* cache = SharedBrushCache()) s.BrushesHeld = cache->Depth();
  if (RadioButtonImagesExist()) s.GlyphImages = RadioButtonImages().ImageCount();
  SettleGlyphBrushes();
  s.GlyphBrushesAlive = gGlyphBrushesAlive;
  if (const TMouseTrackingTimers* trackings = MouseTrackingTimerList())
    s.Trackings = static_cast<long>(trackings->size());
  if (TcxLookAndFeel* root = RootLookAndFeel()) s.LookAndFeelListeners = static_cast<long>(root->Listeners().size());
  s.ColourNotifiers = SystemPaletteNotifierCount();
  s.PrivateBytes = CommittedPrivateBytes();
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
    s.PrivateUsage = memory.PrivateUsage;
  s.GuiGdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  s.GuiUser = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
  return s;
}

std::string Presets() {
  std::string text = "[Spajanja]\r\n";
  for (int n = 1; n <= kSlotCount; ++n)
    text += "Sp" + std::to_string(n) + "_naziv=Podrska " + std::to_string(n) + "\r\nSp" + std::to_string(n) +
            "_adresa=support" + std::to_string(n) + ".example\r\n";
  return text + "[Forma]\r\nZadnje_spajanje=1\r\n";
}

// The launcher window with its sixteen slots and the four kinds of traffic.
class TRun {
 public:
  explicit TRun(TF_glavna& form) : FForm(form) {}

  int RealColourChanges = 0;
  int ThemeStateMisses = 0;
  int RealPointerMoves = 0;
  int PointerMisses = 0;

  void Repaint() {
    RedrawWindow(FForm.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SettleGlyphBrushes();
  }
  static void Pump() {
    test::Pump();
    SettleGlyphBrushes();
  }

  // A real change of the button face (broadcast by the platform), or the
  // message alone as the broadcast delivers it to each of this thread's
  // top-level windows.
  void ColourChange(int i, COLORREF face) {
    if (i % kRealColourEvery == kRealColourEvery - 1) {
      test::TSysColorsGuard::Set(COLOR_BTNFACE, ++RealColourChanges % 2 ? face ^ 0x00010101 : face);
      Pump();
      Repaint();
      return;
    }
    for (HWND w : ThreadTopLevelWindows()) SendMessageW(w, WM_SYSCOLORCHANGE, 0, 0);
    if (i % 10 == 0) Repaint();
    Pump();
  }

  // The apply-theme entry writes the registry and broadcasts WM_THEMECHANGED;
  // the theme receiver must then see the new state.
  void ThemeSwitch(int i) {
    const bool on = i % 2 == 1;
    const bool switched = on ? SwitchVisualStyleOn() : SwitchVisualStyleOff();
    if (!switched || ThemesActive() != on) ++ThemeStateMisses;
    Repaint();
  }

  // Moves over a slot's centre and edge, framework enters, platform and
  // framework leaves, in turn over the sixteen slots; every hundredth event
  // moves the real pointer into a slot or out into the gap between the columns.
  void PointerEvent(int i) {
    TSlotButton* slot = FForm.cx(i % kSlotCount + 1);
    HWND w = slot->Handle();
    if (i % kRealPointerEvery == kRealPointerEvery - 1) {
      const bool into = ++RealPointerMoves % 2 == 1;
      const POINT at = into ? slot->ClientToScreen({70, 8}) : slot->ClientToScreen({180, 8});
      MoveMouseTo(at);
      if (!PumpUntil([&] { return into ? slot->GlyphState() == rgsHot : !IsMouseTracked(slot); }, 2000))
        ++PointerMisses;
      SettleGlyphBrushes();
      return;
    }
    switch (i % 5) {
      case 0:
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(70, 8));
        break;
      case 1:
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 16));
        break;
      case 2:
        SendMessageW(w, FM_MOUSEENTER, 0, 0);
        break;
      case 3:
        SendMessageW(w, WM_MOUSELEAVE, 0, 0);
        break;
      default:
        SendMessageW(w, FM_MOUSELEAVE, 0, 0);
        break;
    }
    if (i % kSlotCount == kSlotCount - 1) Pump();
  }

  // The real pointer over each slot in turn, then far away.
  void Sweep() {
    for (int n = 1; n <= kSlotCount; ++n) {
      TSlotButton* slot = FForm.cx(n);
      MoveMouseTo(slot->ClientToScreen({70, 8}));
      if (!PumpUntil([&] { return slot->GlyphState() == rgsHot; }, 2000)) ++PointerMisses;
      SettleGlyphBrushes();
    }
    MoveMouseTo({1200, 1000});
    PumpUntil([] { return MouseTrackingTimerList()->empty(); });
  }

  // Slots checked by the program and, every tenth, by a click message; every
  // fiftieth change flips the manual switch instead.
  void CheckChange(int i) {
    if (i % 50 == 49) {
      FForm.cxRucni_unos->SetChecked(!FForm.cxRucni_unos->Checked());
    } else {
      TSlotButton* slot = FForm.cx((i * 7) % kSlotCount + 1);
      if (i % 10 == 9)
        SendMessageW(slot->Handle(), BM_CLICK, 0, 0);
      else
        slot->SetChecked(true);
    }
    if (i % kSlotCount == kSlotCount - 1) Pump();
  }

 private:
  TF_glavna& FForm;
};

std::string Bytes(SIZE_T bytes) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

}  // namespace

TEST(Endurance, LauncherWindowGivesBackEveryObject) {
  const TPlan plan = Plan();
  TProgramFolderFiles files;
  files.SetIni(Presets());
  ErrorsSeen().clear();
  TVisualStyleGuard styleBack;
  test::TSysColorsGuard faceBack({COLOR_BTNFACE});  // the button face comes back however the run ends
  TResourceLedger ledger;
  ASSERT_GT(ledger.Redirected(), 10) << "the import table was not found";
  const TLedgerCounts atStart = ledger.Counts();

  InitializeModules();
  SetGlyphBrushHook([](HBRUSH brush) {
    ++gGlyphBrushesMade;
    GlyphBrushes().insert(brush);
  });
  MoveMouseTo({1200, 1000});
  auto form = std::make_unique<TF_glavna>();
  form->DoCreate();
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump(50);
  for (int n = 1; n <= kSlotCount; ++n) ASSERT_TRUE(form->cx(n)->Visible()) << n;
  ASSERT_TRUE(form->cx(1)->Checked());

  // Whatever is made once on first use is made before the first count.
  TRun warmUp(*form);
  for (int i = 0; i < kRealColourEvery; ++i) warmUp.ColourChange(i, faceBack.Saved(0));
  warmUp.ThemeSwitch(0);
  warmUp.ThemeSwitch(1);
  for (int i = 0; i < 2 * kRealPointerEvery; ++i) warmUp.PointerEvent(i);
  for (int i = 0; i < 60; ++i) warmUp.CheckChange(i);
  // Each slot draws its focus rectangle once (its canvas makes a brush for it).
  for (int n = 1; n <= kSlotCount; ++n) SendMessageW(form->cx(n)->Handle(), BM_CLICK, 0, 0);
  // The manual row's controls paint for the first time.
  for (bool manual : {true, false}) {
    form->cxRucni_unos->SetChecked(manual);
    warmUp.Repaint();
    Pump(20);
  }
  warmUp.Sweep();
  TRun run(*form);
  const TSnapshot before = Take(ledger);

  const double colourSeconds = Seconds([&] {
    for (int i = 0; i < plan.ColourChanges; ++i) run.ColourChange(i, faceBack.Saved(0));
    test::TSysColorsGuard::Set(COLOR_BTNFACE, faceBack.Saved(0));
  });
  const double themeSeconds = Seconds([&] {
    for (int i = 0; i < plan.ThemeSwitches; ++i) run.ThemeSwitch(i);
  });
  const double pointerSeconds = Seconds([&] {
    for (int i = 0; i < plan.PointerEvents; ++i) run.PointerEvent(i);
  });
  const double checkSeconds = Seconds([&] {
    for (int i = 0; i < plan.CheckChanges; ++i) run.CheckChange(i);
  });

  // A click message leaves its slot hot without a tracking (the button
  // saw a press and release inside it, and no move): the real pointer
  // crosses every slot, then leaves for good, and every tracking must end.
  form->cxRucni_unos->SetChecked(false);
  run.Sweep();
  EXPECT_TRUE(PumpUntil([] { return MouseTrackingTimerList()->empty(); }));
  for (int n = 1; n <= kSlotCount; ++n) EXPECT_EQ(form->cx(n)->GlyphState(), rgsNormal) << n;
  int checked = 0;
  for (int n = 1; n <= kSlotCount; ++n) checked += form->cx(n)->Checked() ? 1 : 0;
  EXPECT_LE(checked, 1);
  EXPECT_EQ(form->P_radni->Visible(), !form->cxRucni_unos->Checked());
  run.Repaint();
  Pump(50);
  const TSnapshot after = Take(ledger);
  const std::string madeWhileRunning = NewObjects(before.Ledger, after.Ledger);

  form.reset();
  Pump(50);
  SetGlyphBrushHook(nullptr);
  EXPECT_NO_THROW(FinalizeModules());
  EXPECT_EQ(MouseTrackingTimerList(), nullptr);
  const TLedgerCounts atEnd = ledger.Counts();
  EXPECT_TRUE(ErrorsSeen().empty()) << ErrorsSeen().front();

  std::printf(
      "endurance run: %d colour changes (%d by SetSysColors) %.1f s; %d visual-style switches %.1f s;\n"
      "  %d pointer events (%d real pointer moves) %.1f s; %d check changes %.1f s\n"
      "  glyph brushes made for single draws: %ld; theme states missed: %d; real moves missed: %d\n",
      plan.ColourChanges, plan.ColourChanges / kRealColourEvery, colourSeconds, plan.ThemeSwitches, themeSeconds,
      plan.PointerEvents, run.RealPointerMoves, pointerSeconds, plan.CheckChanges, checkSeconds, gGlyphBrushesMade,
      run.ThemeStateMisses, run.PointerMisses);
  EXPECT_EQ(run.ThemeStateMisses, 0);
  EXPECT_EQ(run.PointerMisses, 0);

  // Counts that must be back exactly, and the rest with their tolerance.
  std::printf("  %-34s %10s %10s %12s\n", "count", "before", "after", "at shutdown");
  auto row = [](const std::string& name, long b, long a, long end) {
    std::printf("  %-34s %10ld %10ld %12s\n", name.c_str(), b, a, end < 0 ? "" : std::to_string(end).c_str());
  };
  for (int k = 0; k < lkKindCount; ++k) {
    const auto kind = static_cast<TLedgerKind>(k);
    row(std::string(LedgerKindName(kind)) + " (ledger)", before.Ledger.Live[k], after.Ledger.Live[k],
        atEnd.Live[k] - atStart.Live[k]);
  }
  row("brushes held by the brush cache", before.BrushesHeld, after.BrushesHeld, -1);
  row("glyph cache images", before.GlyphImages, after.GlyphImages, -1);
  row("glyph brushes still alive", before.GlyphBrushesAlive, after.GlyphBrushesAlive, -1);
  row("mouse trackings", before.Trackings, after.Trackings, -1);
  row("look-and-feel listeners of the root", before.LookAndFeelListeners, after.LookAndFeelListeners, -1);
  row("colour-change notifiers", before.ColourNotifiers, after.ColourNotifiers, -1);
  row("windows of this thread", before.Windows, after.Windows, -1);
  row("GetGuiResources GDI (0: a stub)", before.GuiGdi, after.GuiGdi, -1);
  row("GetGuiResources USER (0: a stub)", before.GuiUser, after.GuiUser, -1);
  std::printf("  %-34s %10s %10s\n", "committed private memory", Bytes(before.PrivateBytes).c_str(),
              Bytes(after.PrivateBytes).c_str());
  std::printf("  %-34s %10s %10s\n", "PrivateUsage (0: not reported)", Bytes(before.PrivateUsage).c_str(),
              Bytes(after.PrivateUsage).c_str());
  std::fflush(stdout);

  // The brush cache holds at most its capacity, whatever colours the run
  // left it; every other object made while running is gone again.
  const long cacheChange = after.BrushesHeld - before.BrushesHeld;
  EXPECT_LE(after.BrushesHeld, kSharedBrushCacheCapacity);
  EXPECT_EQ(after.Ledger.Live[lkGdiObject] - cacheChange, before.Ledger.Live[lkGdiObject]) << madeWhileRunning;
  for (TLedgerKind kind : {lkDeviceContext, lkMenu, lkIcon, lkTimer, lkImageList})
    EXPECT_EQ(after.Ledger.Live[kind], before.Ledger.Live[kind]) << LedgerKindName(kind);
  EXPECT_EQ(after.GlyphImages, before.GlyphImages);
  EXPECT_EQ(after.GlyphBrushesAlive, 0);
  EXPECT_EQ(after.Trackings, 0);
  EXPECT_EQ(after.LookAndFeelListeners, before.LookAndFeelListeners);
  EXPECT_EQ(after.ColourNotifiers, before.ColourNotifiers);
  EXPECT_EQ(after.Windows, before.Windows);
  // Where the platform counts (Windows), its counts follow the ledger's.
  if (before.GuiGdi > 0) {
    EXPECT_LE(after.GuiGdi, before.GuiGdi + std::max(0L, cacheChange) + 8);
  }
  if (before.GuiUser > 0) {
    EXPECT_LE(after.GuiUser, before.GuiUser + 4);
  }
  // The heap may keep some growth for itself; a leak of one object per event
  // would be far more.
  EXPECT_LE(after.PrivateBytes, before.PrivateBytes + 4 * 1024 * 1024);
  // Shutdown frees what the libraries and the window made.
  for (TLedgerKind kind : {lkGdiObject, lkDeviceContext, lkMenu, lkIcon, lkTimer, lkImageList})
    EXPECT_EQ(atEnd.Live[kind], atStart.Live[kind]) << LedgerKindName(kind) << " left at shutdown";
}

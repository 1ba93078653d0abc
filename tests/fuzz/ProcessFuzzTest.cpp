// Generated settings files through the real lodo.exe: started in a program
// folder of its own, read through its windows, closed with WM_CLOSE, and its
// settings file compared as in the in-process run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <memory>

#include "tests/e2e/LauncherProcess.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace lodo::e2e;
using namespace lodo::fuzz;

namespace {

// 5 chunks of 60: 300 processes in the full run. Their case numbers follow
// on from the in-process ones, so the two runs try different files.
constexpr int kChunks = 5;
constexpr int kCasesPerChunk = 60;
constexpr int kSampleCasesPerChunk = 2;
constexpr long long kFirstCase = 1000000;
// Under Wine a process that has shown a window takes about two seconds to
// end after its last line; the next launchers start meanwhile, each in a
// folder of its own.
constexpr size_t kInFlight = 3;

// What another process can see of the window. Hints live only inside the
// launcher, and a hidden control may have no window to ask, so hidden slots,
// the slots behind the hidden slot area in manual mode and a hidden host name
// are left out; the save shows that they were kept.
TLoadView Observable(TLoadView view) {
  for (TSlotView& slot : view.Slots) {
    slot.Hint.clear();
    if (!slot.Visible) slot.Caption.clear();
    if (view.Manual) slot = {};
  }
  if (!view.Manual) view.Host.clear();
  return view;
}

TLoadView ShownView(TLauncher& launcher) {
  TLoadView view;
  for (const TLauncher::TSlotState& slot : launcher.Slots())
    if (slot.Index >= 1 && slot.Index <= kSlots)
      view.Slots[static_cast<size_t>(slot.Index - 1)] = {slot.Visible, slot.Caption, "", slot.Checked};
  view.Manual = launcher.HostVisible();
  if (view.Manual) view.Host = launcher.HostText();
  return view;
}

// One launcher between its start and the check of what it left.
struct TRun {
  const TProgramFolder* Folder = nullptr;
  std::unique_ptr<TLauncher> Launcher;
  long long Index = 0;
  TFuzzFile File;
  TSavedState Before;
  bool ManualAtClose = false;
  std::string Problem;
};

// Starts the launcher on the case's file, reads its window and closes it.
void Start(TRun& run, TTally& tally) {
  run.Folder->WriteSettings(run.File.Bytes);
  run.Before = BeforeSave(run.Folder->SettingsPath(), {}, run.File.IsText);
  tally.Count(run.Before.Expected);
  tally.Reencoded += SaveRereadsInAnotherEncoding(run.File.Bytes);
  run.Launcher = std::make_unique<TLauncher>(*run.Folder);
  if (!run.Launcher->Window()) {
    run.Problem = "no window appeared\n";
    return;
  }
  run.Problem = DifferenceInLoad(Observable(run.Before.Expected), Observable(ShownView(*run.Launcher)));
  run.ManualAtClose = run.Launcher->ManualChecked();
  if (run.Launcher->ErrorBox(0)) run.Problem += "an error box was shown\n";
  PostMessageA(run.Launcher->Window(), WM_CLOSE, 0, 0);
}

// Waits for the end and compares the file; "" when all held.
std::string Finish(TRun& run) {
  if (!run.Problem.empty() && !run.Launcher->Running()) return run.Problem;
  DWORD code = 99;
  if (!run.Launcher->WaitExit(15000, &code)) return run.Problem + "the launcher did not end\n";
  if (code != 0) run.Problem += "exit code " + std::to_string(code) + "\n";
  if (!run.Folder->Record().empty()) {
    run.Problem += "a program was started\n";
    DeleteFileA((run.Folder->Path() + "winvnc.record").c_str());
  }
  return run.Problem + DifferenceAfterSave(run.File, run.Before, run.Folder->SettingsPath(), run.ManualAtClose);
}

class SettingsFuzzProcess : public testing::TestWithParam<int> {};

}  // namespace

TEST_P(SettingsFuzzProcess, LauncherShowsWhatTheFileSaysAndSavesOnlyItsKeys) {
  const std::uint64_t seed = RunSeed();
  const long long only = OnlyCase();
  const int count = FullRun() || only >= 0 ? kCasesPerChunk : kSampleCasesPerChunk;
  std::vector<std::unique_ptr<TProgramFolder>> folders;
  for (size_t i = 0; i < kInFlight; ++i) folders.push_back(std::make_unique<TProgramFolder>("lodo fuzz"));
  std::deque<TRun> pending;
  TTally tally;
  int failures = 0;
  auto finishOldest = [&] {
    TRun& run = pending.front();
    const std::string problem = Finish(run);
    if (!problem.empty() && ++failures <= 3)
      ADD_FAILURE() << ReportFailure(seed, run.Index, run.File, problem, run.Folder->SettingsPath());
    pending.pop_front();
  };
  for (int i = 0; i < count; ++i) {
    const long long index = kFirstCase + static_cast<long long>(GetParam()) * kCasesPerChunk + i;
    if (only >= 0 && index != only) continue;
    // The folder is free again: the run that used it last has been finished.
    if (pending.size() >= kInFlight) finishOldest();
    pending.emplace_back();
    TRun& run = pending.back();
    run.Folder = folders[static_cast<size_t>(i) % kInFlight].get();
    run.Index = index;
    run.File = MakeFuzzFile(seed, static_cast<std::uint64_t>(index));
    Start(run, tally);
  }
  while (!pending.empty()) finishOldest();
  std::printf("processes: %d files (seed 0x%llx): %s\n", tally.Files, static_cast<unsigned long long>(seed),
              tally.Text().c_str());
}

INSTANTIATE_TEST_SUITE_P(Chunks, SettingsFuzzProcess, testing::Range(0, kChunks));

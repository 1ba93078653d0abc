// Generated settings files through the real load and save in this process:
// the window is made and filled as the program does it, then closed so that
// it saves; what it showed and what it left are checked against the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "controls/Modules.h"
#include "launcher/F_glavna.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/launcher/LauncherFiles.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using namespace lodo::fuzz;

namespace {

// 10 chunks of 1,000: 10,000 files in the full run, the first few of each
// chunk (every kind) in the default run.
constexpr int kChunks = 10;
constexpr int kCasesPerChunk = 1000;
constexpr int kSampleCasesPerChunk = 8;

TLoadView ShownView(const TF_glavna& form) {
  TLoadView view;
  for (int n = 1; n <= kSlots; ++n) {
    const TSlotButton* button = form.cx(n);
    TSlotView& slot = view.Slots[static_cast<size_t>(n - 1)];
    slot.Visible = button->Visible();
    slot.Caption = button->CaptionAnsi();
    slot.Hint = button->HintAnsi();
    slot.Checked = button->Checked();
  }
  view.Manual = form.E_hostname->Visible();
  view.Host = form.E_hostname->TextAnsi();
  return view;
}

class SettingsFuzzInProcess : public testing::TestWithParam<int> {
 protected:
  // One file through construction, load, close and save; "" when all held.
  std::string RunCase(const TFuzzFile& file, const TLoadView& design) {
    Files.SetIni(file.Bytes);
    const TSavedState before = BeforeSave(Files.Ini(), design, file.IsText);
    Tally.Count(before.Expected);
    Tally.Reencoded += SaveRereadsInAnotherEncoding(file.Bytes);
    std::vector<std::wstring> boxes;
    test::ErrorsSeen().clear();
    TLoadView shown;
    bool manualAtClose = false;
    bool stillVisible = false, stillLoading = false;
    {
      auto form = std::make_unique<TF_glavna>();
      form->OnShowError = [&boxes](const std::wstring& message) { boxes.push_back(message); };
      form->DoCreate();
      stillLoading = form->IsLoading();
      shown = ShownView(*form);
      manualAtClose = form->cxRucni_unos->Checked();
      SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
      test::Pump();
      stillVisible = IsWindowVisible(form->Handle()) != FALSE;
    }
    test::Pump();
    std::string problem = DifferenceInLoad(before.Expected, shown);
    if (!test::ErrorsSeen().empty()) problem += "error reached the application: " + test::ErrorsSeen().front() + "\n";
    if (!boxes.empty()) problem += "an error box was shown\n";
    if (stillLoading) problem += "the window stayed loading\n";
    if (stillVisible) problem += "the window did not close\n";
    return problem + DifferenceAfterSave(file, before, Files.Ini(), manualAtClose);
  }

  TModulesScope Modules;
  test::TProgramFolderFiles Files;
  TTally Tally;
};

}  // namespace

TEST_P(SettingsFuzzInProcess, LoadShowsWhatTheFileSaysAndSaveChangesOnlyItsKeys) {
  const std::uint64_t seed = RunSeed();
  const long long only = OnlyCase();
  const int count = FullRun() || only >= 0 ? kCasesPerChunk : kSampleCasesPerChunk;
  // Hidden slots keep what the window had before any load.
  TLoadView design;
  {
    TF_glavna form;
    design = ShownView(form);
  }
  int failures = 0, ran = 0;
  for (int i = 0; i < count && failures < 3; ++i) {
    const long long index = static_cast<long long>(GetParam()) * kCasesPerChunk + i;
    if (only >= 0 && index != only) continue;
    const TFuzzFile file = MakeFuzzFile(seed, static_cast<std::uint64_t>(index));
    // A hang ends the chunk at its time limit; the last line names the case.
    std::printf("case %lld (%s)\n", index, FuzzKindName(file.Kind));
    std::fflush(stdout);
    const std::string problem = RunCase(file, design);
    ++ran;
    if (problem.empty()) continue;
    ++failures;
    ADD_FAILURE() << ReportFailure(seed, index, file, problem, Files.Ini());
  }
  std::printf("in-process: %d files (seed 0x%llx): %s\n", ran, static_cast<unsigned long long>(seed),
              Tally.Text().c_str());
}

INSTANTIATE_TEST_SUITE_P(Chunks, SettingsFuzzInProcess, testing::Range(0, kChunks));

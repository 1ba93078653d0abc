// Start-up: the time from CreateProcess to the first complete paint of the
// launcher with sixteen slots, against two yardsticks started in the same
// rounds: a bare window, and a program of the launcher's system parts. Also
// the launcher's own stages, from its build with stage timing.
//
//   startup_bench [--rounds N] [--lodo [LABEL=]EXE]... [--stages [LABEL=]EXE]... [--no-stages]
//                 [--busy-watch] [--each-round]
//
// Without --lodo it measures this build's lodo.exe, without --stages this
// build's lodo_stages.exe; several of each (an older build beside this one)
// are measured in the same rounds. The watch waits for the program's first
// input idle before it polls the screen every millisecond: polling from the
// start (--busy-watch) competes with the program for the wineserver and the
// X server, and slows most the program that asks them most.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/WindowWatch.h"

using namespace lodo::bench;

namespace {

constexpr int kDefaultRounds = 21;
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// The stages the launcher's timed build reports, in its order
// (launcher/StageTiming.h): each is the time since the stage before.
constexpr std::array<const char*, 7> kStageNames = {
    "entry to WinMain",
    "application object (comctl32, InitCommonControlsEx)",
    "module start-up",
    "form objects (layout, settings file)",
    "creating the window handles",
    "ShowWindow",
    "first UpdateWindow",
};
constexpr size_t kStageCount = kStageNames.size();

// A build-tree path as this process sees it (a Unix path under Wine).
std::string HostPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

// The machine's load, read through Wine's view of the host; empty elsewhere.
std::string LoadAverage() {
  FILE* file = std::fopen("Z:\\proc\\loadavg", "r");
  if (!file) return "";
  char text[64] = {};
  const bool read = std::fgets(text, sizeof(text), file) != nullptr;
  std::fclose(file);
  if (!read) return "";
  std::istringstream fields(text);
  std::string one, five, fifteen;
  fields >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// Sixteen presets, names as long as the launcher's own examples.
std::string SixteenPresets() {
  static const char* const kTowns[] = {"Zagreb",         "Split",     "Rijeka",   "Osijek",    "Zadar", "Pula",
                                       "Slavonski Brod", "Karlovac",  "Varazdin", "Sibenik",   "Sisak", "Vinkovci",
                                       "Velika Gorica",  "Dubrovnik", "Bjelovar", "Koprivnica"};
  std::string ini = "[Spajanja]\r\n";
  for (int n = 1; n <= 16; ++n) {
    const std::string key = "Sp" + std::to_string(n);
    ini += key + "_naziv=Podrska " + kTowns[n - 1] + "\r\n";
    ini += key + "_adresa=support" + std::to_string(n) + ".example\r\n";
  }
  return ini;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

// A temporary program folder holding a copy of a launcher as lodo.exe beside
// its lodo.ini.
class TProgramFolder {
 public:
  TProgramFolder(const std::string& exe, int number) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    FPath = std::string(temp) + "lodo startup bench " + std::to_string(GetCurrentProcessId()) + " " +
            std::to_string(number) + "\\";
    CreateDirectoryA(FPath.c_str(), nullptr);
    FReady = CopyFileA(exe.c_str(), Exe().c_str(), FALSE) != FALSE;
  }
  ~TProgramFolder() {
    DeleteFileA(Exe().c_str());
    DeleteFileA(Settings().c_str());
    RemoveDirectoryA(FPath.c_str());
  }
  TProgramFolder(const TProgramFolder&) = delete;
  TProgramFolder& operator=(const TProgramFolder&) = delete;

  bool Ready() const { return FReady; }
  std::string Exe() const { return FPath + "lodo.exe"; }
  std::string Settings() const { return FPath + "lodo.ini"; }
  // Every run starts from the same file: a close writes the window state back.
  bool ResetSettings() const { return WriteFileBytes(Settings(), SixteenPresets()); }

 private:
  std::string FPath;
  bool FReady = false;
};

struct TRun {
  bool Ok = false;
  double IdleMs = 0;
  double ShownMs = 0;
  double PaintedMs = 0;
  double ClosedMs = 0;
  // Each stage's end, in ms since CreateProcess; empty when none was reported.
  std::vector<double> StageEndsMs;
};

// The stage line a timed launcher wrote, as ms since `start`.
std::vector<double> ParseStages(const std::string& output, LARGE_INTEGER start) {
  const size_t at = output.find("lodo-stages");
  if (at == std::string::npos) return {};
  std::istringstream fields(output.substr(at + 11));
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> ends;
  long long mark = 0;
  while (ends.size() < kStageCount && fields >> mark)
    ends.push_back(static_cast<double>(mark - start.QuadPart) * 1e3 / static_cast<double>(frequency.QuadPart));
  if (ends.size() != kStageCount) ends.clear();
  return ends;
}

// Standard output for a started program, read once it has ended.
class TOutputPipe {
 public:
  TOutputPipe() {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    if (!CreatePipe(&FRead, &FWrite, &inherit, 0)) FRead = FWrite = nullptr;
    if (FRead) SetHandleInformation(FRead, HANDLE_FLAG_INHERIT, 0);
  }
  ~TOutputPipe() {
    CloseWriteEnd();
    if (FRead) CloseHandle(FRead);
  }
  TOutputPipe(const TOutputPipe&) = delete;
  TOutputPipe& operator=(const TOutputPipe&) = delete;

  HANDLE WriteEnd() const { return FWrite; }
  // The child holds its own copy; ours would keep the pipe open for ever.
  void CloseWriteEnd() {
    if (FWrite) CloseHandle(FWrite);
    FWrite = nullptr;
  }
  std::string ReadAll() {
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (FRead && ReadFile(FRead, buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
  }

 private:
  HANDLE FRead = nullptr;
  HANDLE FWrite = nullptr;
};

// One start: the window found, then polled every millisecond until painted;
// then closed with WM_CLOSE and waited for. A timed launcher's stage line is
// read from its standard output.
TRun RunOnce(const std::string& exe, bool (*painted)(HWND), bool stages, bool busyWatch) {
  TRun run;
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  std::unique_ptr<TOutputPipe> output;
  if (stages) {
    output = std::make_unique<TOutputPipe>();
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output->WriteEnd();
  }
  PROCESS_INFORMATION process{};
  const LARGE_INTEGER start = Now();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, stages ? TRUE : FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return run;
  if (output) output->CloseWriteEnd();
  if (!busyWatch) WaitForInputIdle(process.hProcess, kStartTimeoutMs);
  run.IdleMs = Seconds(start, Now()) * 1e3;
  HWND window = nullptr;
  const DWORD deadline = GetTickCount() + kStartTimeoutMs;
  while (static_cast<int>(deadline - GetTickCount()) > 0 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    if (!window) {
      window = MainWindowOf(process.dwProcessId);
      if (window) run.ShownMs = Seconds(start, Now()) * 1e3;
    }
    if (window && painted(window)) {
      run.PaintedMs = Seconds(start, Now()) * 1e3;
      run.Ok = true;
      break;
    }
    Sleep(1);
  }
  // Under Wine without a window manager a close takes about two seconds: the
  // X driver waits that long for an unmapped window's state to be confirmed.
  const LARGE_INTEGER closing = Now();
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0) {
    run.ClosedMs = Seconds(closing, Now()) * 1e3;
  } else {
    std::fprintf(stderr, "%s did not end after WM_CLOSE; terminated\n", exe.c_str());
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    run.Ok = false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (output) run.StageEndsMs = ParseStages(output->ReadAll(), start);
  return run;
}

enum TKind { pkBare, pkParts, pkLauncher, pkStages };

struct TProgram {
  std::string Label;
  TKind Kind;
  std::string Exe;
  std::unique_ptr<TProgramFolder> Folder;
  std::vector<TRun> Runs;  // one a round

  bool Launcher() const { return Kind == pkLauncher || Kind == pkStages; }

  TRun Start(bool busyWatch) {
    if (Folder) Folder->ResetSettings();
    return RunOnce(Folder ? Folder->Exe() : Exe, Kind == pkBare ? BarePainted : LauncherPainted, Kind == pkStages,
                   busyWatch);
  }

  std::vector<double> Painted() const {
    std::vector<double> values;
    for (const TRun& run : Runs)
      if (run.Ok) values.push_back(run.PaintedMs);
    return values;
  }
};

struct TOptions {
  int Rounds = kDefaultRounds;
  std::vector<std::pair<std::string, std::string>> Launchers;  // label, exe
  std::vector<std::pair<std::string, std::string>> Timed;
  bool NoStages = false;
  bool BusyWatch = false;
  bool EachRound = false;
};

// "LABEL=EXE", or "EXE" labelled by default.
std::pair<std::string, std::string> Labelled(const std::string& argument, const std::string& fallback) {
  const size_t equals = argument.find('=');
  if (equals == std::string::npos || equals == 0) return {fallback, argument};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

bool ParseOptions(int argc, char** argv, TOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--rounds" && hasValue) {
      options.Rounds = std::atoi(argv[++i]);
      if (options.Rounds < 1) return false;
    } else if (option == "--lodo" && hasValue) {
      options.Launchers.push_back(Labelled(argv[++i], "lodo " + std::to_string(options.Launchers.size() + 1)));
    } else if (option == "--stages" && hasValue) {
      options.Timed.push_back(Labelled(argv[++i], "lodo " + std::to_string(options.Timed.size() + 1)));
    } else if (option == "--no-stages") {
      options.NoStages = true;
    } else if (option == "--busy-watch") {
      options.BusyWatch = true;
    } else if (option == "--each-round") {
      options.EachRound = true;
    } else {
      return false;
    }
  }
  if (options.Launchers.empty()) options.Launchers.push_back({"lodo", LODO_EXE_PATH});
  if (options.Timed.empty() && !options.NoStages) options.Timed.push_back({"lodo", LODO_STAGES_EXE_PATH});
  if (options.NoStages) options.Timed.clear();
  return true;
}

std::string Cell(const std::vector<double>& values, double (*pick)(std::vector<double>), int decimals = 1) {
  return values.empty() ? "-" : Fixed(pick(values), decimals);
}
double Min(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }
double Max(std::vector<double> v) { return *std::max_element(v.begin(), v.end()); }

void PrintRuns(const std::vector<std::unique_ptr<TProgram>>& programs, int rounds) {
  std::printf("from CreateProcess to the first complete paint, %d rounds, the order turned by one each round, ms:\n",
              rounds);
  TTable table;
  table.Row({"program", "runs", "failed", "input idle", "found", "painted", "min", "max", "close to exit"});
  for (const auto& p : programs) {
    std::vector<double> idle, shown, closed;
    for (const TRun& run : p->Runs)
      if (run.Ok) {
        idle.push_back(run.IdleMs);
        shown.push_back(run.ShownMs);
        closed.push_back(run.ClosedMs);
      }
    const std::vector<double> painted = p->Painted();
    table.Row({p->Label, std::to_string(painted.size()), std::to_string(p->Runs.size() - painted.size()),
               Cell(idle, Median), Cell(shown, Median), Cell(painted, Median), Cell(painted, Min), Cell(painted, Max),
               Cell(closed, Median)});
  }
  table.Print();
}

// Each round's paint of every program, in the order of the table above: the
// rounds behind a median, to see how the machine's load moved them.
void PrintEachRound(const std::vector<std::unique_ptr<TProgram>>& programs, int rounds) {
  std::printf("each round's paint, ms (- where the program failed):\n");
  TTable table;
  std::vector<std::string> header{"round"};
  for (const auto& p : programs) header.push_back(p->Label);
  table.Row(header);
  for (int r = 0; r < rounds; ++r) {
    std::vector<std::string> row{std::to_string(r + 1)};
    for (const auto& p : programs) {
      const bool ok = static_cast<size_t>(r) < p->Runs.size() && p->Runs[static_cast<size_t>(r)].Ok;
      row.push_back(ok ? Fixed(p->Runs[static_cast<size_t>(r)].PaintedMs, 1) : "-");
    }
    table.Row(row);
  }
  table.Print();
}

// The median over the rounds of a / b, from the rounds where both started.
std::vector<double> PairedRatios(const TProgram& a, const TProgram& b) {
  std::vector<double> ratios;
  for (size_t r = 0; r < a.Runs.size() && r < b.Runs.size(); ++r)
    if (a.Runs[r].Ok && b.Runs[r].Ok && b.Runs[r].PaintedMs > 0)
      ratios.push_back(a.Runs[r].PaintedMs / b.Runs[r].PaintedMs);
  return ratios;
}

void PrintRatios(const std::vector<std::unique_ptr<TProgram>>& programs) {
  const TProgram& bare = *programs[0];
  const TProgram& parts = *programs[1];
  std::vector<const TProgram*> launchers;
  for (const auto& p : programs)
    if (p->Kind == pkLauncher) launchers.push_back(p.get());
  std::printf("paired ratios of the paint, per round, median over the rounds (rounds paired):\n");
  TTable table;
  std::vector<std::string> head = {"program", "/ same parts", "/ bare window"};
  if (launchers.size() > 1) head.push_back("/ " + launchers[0]->Label);
  table.Row(head);
  for (const TProgram* p : launchers) {
    const std::vector<double> toParts = PairedRatios(*p, parts);
    const std::vector<double> toBare = PairedRatios(*p, bare);
    std::vector<std::string> row = {p->Label, Cell(toParts, Median, 3) + " (" + std::to_string(toParts.size()) + ")",
                                    Cell(toBare, Median, 3) + " (" + std::to_string(toBare.size()) + ")"};
    if (launchers.size() > 1) {
      const std::vector<double> toFirst = PairedRatios(*p, *launchers[0]);
      row.push_back(Cell(toFirst, Median, 3) + " (" + std::to_string(toFirst.size()) + ")");
    }
    table.Row(row);
  }
  const std::vector<double> partsToBare = PairedRatios(parts, bare);
  table.Row({parts.Label, "", Cell(partsToBare, Median, 3) + " (" + std::to_string(partsToBare.size()) + ")"});
  table.Print();
}

// Each stage's median duration; the sum of the medians need not be the
// median of the sums, which the last rows give.
void PrintStages(const std::vector<std::unique_ptr<TProgram>>& programs) {
  std::vector<const TProgram*> timed;
  for (const auto& p : programs)
    if (p->Kind == pkStages) timed.push_back(p.get());
  if (timed.empty()) return;
  std::printf("the launcher's stages (its build with stage timing), median ms of each:\n");
  TTable table;
  std::vector<std::string> head = {"stage"};
  for (const TProgram* p : timed) head.push_back(p->Label);
  table.Row(head);
  auto row = [&](const std::string& name, auto value) {
    std::vector<std::string> cells = {name};
    for (const TProgram* p : timed) {
      std::vector<double> values;
      for (const TRun& run : p->Runs)
        if (run.Ok && run.StageEndsMs.size() == kStageCount) values.push_back(value(run));
      cells.push_back(Cell(values, Median));
    }
    table.Row(cells);
  };
  for (size_t s = 0; s < kStageCount; ++s)
    row(kStageNames[s], [s](const TRun& run) { return run.StageEndsMs[s] - (s ? run.StageEndsMs[s - 1] : 0.0); });
  row("then until seen painted from outside",
      [](const TRun& run) { return run.PaintedMs - run.StageEndsMs[kStageCount - 1]; });
  row("total: first UpdateWindow done", [](const TRun& run) { return run.StageEndsMs[kStageCount - 1]; });
  row("total: seen painted", [](const TRun& run) { return run.PaintedMs; });
  table.Print();
}

void AddProgram(std::vector<std::unique_ptr<TProgram>>& programs, const std::string& label, TKind kind,
                const std::string& exe) {
  auto program = std::make_unique<TProgram>();
  program->Label = label;
  program->Kind = kind;
  program->Exe = HostPath(exe);
  if (program->Launcher()) {
    program->Folder = std::make_unique<TProgramFolder>(program->Exe, static_cast<int>(programs.size()));
    if (!program->Folder->Ready()) {
      std::fprintf(stderr, "cannot copy %s into a program folder\n", exe.c_str());
      std::exit(1);
    }
  }
  programs.push_back(std::move(program));
}

}  // namespace

// "First complete paint" is seen from outside, without help from the program:
// its visible titled window exists, neither it nor any visible child has an
// update region left, and the screen shows the result (WindowWatch.h). The
// same-parts program counts as painted like the launcher, by its last slot.
int main(int argc, char** argv) {
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: startup_bench [--rounds N] [--lodo [LABEL=]EXE]... [--stages [LABEL=]EXE]... "
                 "[--no-stages] [--busy-watch] [--each-round]\n");
    return 2;
  }
  std::vector<std::unique_ptr<TProgram>> programs;
  AddProgram(programs, "bare window", pkBare, BARE_WINDOW_EXE_PATH);
  AddProgram(programs, "same parts", pkParts, PARTS_WINDOW_EXE_PATH);
  for (const auto& [label, exe] : options.Launchers) AddProgram(programs, label, pkLauncher, exe);
  for (const auto& [label, exe] : options.Timed) AddProgram(programs, label + " (stages)", pkStages, exe);

  const std::string loadBefore = LoadAverage();
  // One start of each first, not counted: it brings the libraries they load
  // into the file cache.
  for (auto& p : programs) p->Start(options.BusyWatch);
  const int count = static_cast<int>(programs.size());
  for (int round = 0; round < options.Rounds; ++round)
    for (int i = 0; i < count; ++i) {
      TProgram& p = *programs[static_cast<size_t>((round + i) % count)];
      p.Runs.push_back(p.Start(options.BusyWatch));
    }

  PrintRuns(programs, options.Rounds);
  if (options.EachRound) PrintEachRound(programs, options.Rounds);
  PrintRatios(programs);
  PrintStages(programs);
  std::printf("load average before: %s; after: %s\n", loadBefore.c_str(), LoadAverage().c_str());
  for (const auto& p : programs)
    if (p->Painted().empty()) {
      std::printf("no complete run of %s\n", p->Label.c_str());
      return 1;
    }
  return 0;
}

// Start-up: the time from CreateProcess to the first complete paint of the
// launcher with sixteen slots, against a bare Win32 program's one empty window.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/WindowWatch.h"

using namespace lodo::bench;

namespace {

constexpr int kRuns = 10;
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// A build-tree path as this process sees it (a Unix path under Wine).
std::string HostPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
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

// A temporary program folder holding a copy of lodo.exe beside its lodo.ini.
class TProgramFolder {
 public:
  TProgramFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    FPath = std::string(temp) + "lodo startup bench " + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(FPath.c_str(), nullptr);
    FReady = CopyFileA(HostPath(LODO_EXE_PATH).c_str(), Exe().c_str(), FALSE) != FALSE;
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
  double ShownMs = 0;
  double PaintedMs = 0;
  double ClosedMs = 0;
};

// One start: the window found, then polled every millisecond until painted;
// then closed with WM_CLOSE and waited for.
TRun RunOnce(const std::string& exe, bool (*painted)(HWND)) {
  TRun run;
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const LARGE_INTEGER start = Now();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return run;
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
  return run;
}

struct TSeries {
  std::vector<double> Shown, Painted, Closed;
  int Failed = 0;
  void Add(const TRun& run) {
    if (!run.Ok) {
      ++Failed;
      return;
    }
    Shown.push_back(run.ShownMs);
    Painted.push_back(run.PaintedMs);
    Closed.push_back(run.ClosedMs);
  }
};

void AddRow(TTable& table, const char* name, const TSeries& s) {
  const auto [low, high] = std::minmax_element(s.Painted.begin(), s.Painted.end());
  table.Row({name, std::to_string(s.Painted.size()), std::to_string(s.Failed), Fixed(Median(s.Shown), 1),
             Fixed(Median(s.Painted), 1), s.Painted.empty() ? "-" : Fixed(*low, 1),
             s.Painted.empty() ? "-" : Fixed(*high, 1), Fixed(Median(s.Closed), 1)});
}

}  // namespace

// "First complete paint" is seen from outside, without help from the product:
// the process's visible titled window exists, neither it nor any visible
// child has an update region left (GetUpdateRect is FALSE), and the screen
// shows the result: for the launcher, the last slot's rectangle copied from
// the desktop is mostly background with a glyph and caption ink in it; for
// the bare program, its client area is in its class colour. The screen is
// read only once no update region is left, and every millisecond.
int main() {
  TProgramFolder folder;
  if (!folder.Ready()) {
    std::fprintf(stderr, "cannot copy %s into a program folder\n", LODO_EXE_PATH);
    return 1;
  }
  const std::string bare = HostPath(BARE_WINDOW_EXE_PATH);

  // One start of the launcher first, not counted: it brings Wine's own
  // libraries, which both programs load, into the file cache. (The bare
  // program's few kilobytes of its own need no such start.)
  folder.ResetSettings();
  RunOnce(folder.Exe(), LauncherPainted);

  TSeries bareRuns, lodoRuns;
  for (int i = 0; i < kRuns; ++i) {
    bareRuns.Add(RunOnce(bare, BarePainted));
    folder.ResetSettings();
    lodoRuns.Add(RunOnce(folder.Exe(), LauncherPainted));
  }

  std::printf("from CreateProcess, interleaved runs, ms (medians; min and max of the paint):\n");
  TTable table;
  table.Row({"program", "runs", "failed", "shown", "painted", "min", "max", "close to exit"});
  AddRow(table, "bare window", bareRuns);
  AddRow(table, "lodo, 16 slots", lodoRuns);
  table.Print();
  if (bareRuns.Painted.empty() || lodoRuns.Painted.empty()) {
    std::printf("no complete run of one of the programs: no ratio\n");
    return 1;
  }
  std::printf("ratio lodo / bare (medians of the paint): %.2f\n", Median(lodoRuns.Painted) / Median(bareRuns.Painted));
  return 0;
}

// Start-up stage timing, compiled only into the benchmark's build of the
// launcher (LODO_STAGE_TIMING): the performance counter at each stage, written
// as one line to standard output after the first paint. lodo.exe has none of it.
#pragma once

#ifdef LODO_STAGE_TIMING
#include <windows.h>

#include <cstdio>

#include "framework/Application.h"
#include "framework/Form.h"

namespace lodo::stages {

// The order is the order of start-up; bench/StartupBench names them alike.
enum TStage { stEntry, stApplication, stModules, stForm, stHandles, stShowWindow, stUpdateWindow, stCount };

inline LARGE_INTEGER gMarks[stCount];

inline void Mark(TStage stage) { QueryPerformanceCounter(&gMarks[stage]); }

// "lodo-stages" and the counter of each stage; the benchmark gives this
// process its standard output and knows the counter's frequency itself.
inline void Report() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return;
  char line[400];
  int length = std::snprintf(line, sizeof(line), "lodo-stages");
  for (const LARGE_INTEGER& mark : gMarks)
    length += std::snprintf(line + length, sizeof(line) - static_cast<size_t>(length), " %lld", mark.QuadPart);
  length += std::snprintf(line + length, sizeof(line) - static_cast<size_t>(length), "\n");
  DWORD written = 0;
  WriteFile(out, line, static_cast<DWORD>(length), &written, nullptr);
}

// TApplication::Run with its show split into the steps that are timed.
inline void RunTimed(TApplication& application) {
  if (TForm* form = application.MainForm()) {
    form->PrepareShow();
    Mark(stHandles);
    form->OnShow = [](TForm*) { Mark(stShowWindow); };
    form->Show();
    Mark(stUpdateWindow);
    form->OnShow = nullptr;
    Report();
  }
  while (!application.Terminated() && application.HandleMessage()) {
  }
}

}  // namespace lodo::stages

#define LODO_STAGE(stage) ::lodo::stages::Mark(::lodo::stages::stage)
#else
#define LODO_STAGE(stage) ((void)0)
#endif

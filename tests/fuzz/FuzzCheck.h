// The checks shared by the in-process and the process fuzzing: what a load
// must show, what a save must leave, and how a failing case is reported.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzFiles.h"
#include "tests/fuzz/SettingsReference.h"

namespace lodo::fuzz {

// What is known of a file before the launcher touches it.
struct TSavedState {
  TLoadView Expected;
  TProfileSnapshot Readable;
  std::string HostBefore;
  std::string LastBefore;
};

// The readable sections are taken only for files that are not text; lines
// are compared for the others.
TSavedState BeforeSave(const std::string& path, const TLoadView& design, bool isText);

// How many of the files tried showed slots, checked one or asked for manual
// entry: a run that never gets there tries nothing worth trying.
struct TTally {
  int Files = 0, WithSlots = 0, WithChecked = 0, Manual = 0, Reencoded = 0;
  void Count(const TLoadView& expected);
  std::string Text() const;
};

// "" when the shown view is the expected one, else each difference on a line.
std::string DifferenceInLoad(const TLoadView& expected, const TLoadView& shown);

// True for a file whose first bytes, after blanks and empty lines, are a byte
// order mark that the file itself does not start with. The platform's writer
// drops those leading lines, so after any save the file starts with the mark
// and is read in that encoding from then on: a fault of the platform's writer
// that no caller of it can avoid, so nothing is compared after such a save.
bool SaveRereadsInAnotherEncoding(const std::string& bytes);

// "" when, after the save, the three keys hold what the run left and the rest
// of the file reads as it did.
std::string DifferenceAfterSave(const TFuzzFile& file, const TSavedState& before, const std::string& path,
                                bool manualAtClose);

// The failure text with seed, case and kind; the case's file and what the
// save made of it (at `savedPath`) are kept beside the test executable.
std::string ReportFailure(std::uint64_t seed, long long index, const TFuzzFile& file, const std::string& problem,
                          const std::string& savedPath);

// Text for a message: control and high bytes escaped, long text cut.
std::string Printable(const std::string& text, size_t limit = 100);

}  // namespace lodo::fuzz

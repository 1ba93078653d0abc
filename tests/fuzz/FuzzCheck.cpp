// Comparisons around one fuzzed load and save.
#include "tests/fuzz/FuzzCheck.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "tests/launcher/LauncherFiles.h"
#include "tests/support/Files.h"

namespace lodo::fuzz {

namespace {

const char kMissing[] = "<missing>";

std::string Hex(std::uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

// Long texts are shown from a little before their first difference.
std::string Mismatch(const std::string& what, const std::string& expected, const std::string& seen) {
  size_t first = 0;
  while (first < expected.size() && first < seen.size() && expected[first] == seen[first]) ++first;
  const size_t from = first > 40 ? first - 20 : 0;
  const std::string lead = from ? "..." : "";
  return what + ": expected \"" + lead + Printable(expected.substr(std::min(from, expected.size()))) + "\", got \"" +
         lead + Printable(seen.substr(std::min(from, seen.size()))) + "\"\n";
}

std::string FirstDifference(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  for (size_t i = 0; i < before.size() || i < after.size(); ++i) {
    const std::string was = i < before.size() ? before[i] : "<none>";
    const std::string is = i < after.size() ? after[i] : "<none>";
    if (was != is) return Mismatch("line " + std::to_string(i), was, is);
  }
  return {};
}

}  // namespace

std::string Printable(const std::string& text, size_t limit) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
      out += escaped;
    }
  }
  if (text.size() > limit) out += "... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

void TTally::Count(const TLoadView& expected) {
  ++Files;
  bool shown = false, checked = false;
  for (const TSlotView& slot : expected.Slots) {
    shown = shown || slot.Visible;
    checked = checked || slot.Checked;
  }
  WithSlots += shown;
  WithChecked += checked;
  Manual += expected.Manual;
}

std::string TTally::Text() const {
  return std::to_string(WithSlots) + " showed slots, " + std::to_string(WithChecked) + " checked one, " +
         std::to_string(Manual) + " asked for manual entry, " + std::to_string(Reencoded) +
         " re-encoded by the platform's writer";
}

bool SaveRereadsInAnotherEncoding(const std::string& bytes) {
  auto marked = [](std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" || text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF";
  };
  const size_t start = bytes.find_first_not_of(std::string(" \t\r\n\v\f\x1A"));
  return start != std::string::npos && start > 0 && !marked(bytes) && marked(std::string_view(bytes).substr(start));
}

TSavedState BeforeSave(const std::string& path, const TLoadView& design, bool isText) {
  TSavedState state;
  state.Expected = ReferenceLoad(path, design);
  if (!isText) state.Readable = WithoutOwnKeys(Snapshot(path));
  state.HostBefore = ReadValue(path, "Forma", "Rucni_unos_adresa", kMissing);
  state.LastBefore = ReadValue(path, "Forma", "Zadnje_spajanje", kMissing);
  return state;
}

std::string DifferenceInLoad(const TLoadView& expected, const TLoadView& shown) {
  std::string problem;
  for (int n = 1; n <= kSlots; ++n) {
    const TSlotView& want = expected.Slots[static_cast<size_t>(n - 1)];
    const TSlotView& got = shown.Slots[static_cast<size_t>(n - 1)];
    const std::string slot = "slot " + std::to_string(n);
    if (want.Visible != got.Visible) problem += slot + (want.Visible ? " hidden\n" : " shown\n");
    if (want.Caption != got.Caption) problem += Mismatch(slot + " caption", want.Caption, got.Caption);
    if (want.Hint != got.Hint) problem += Mismatch(slot + " hint", want.Hint, got.Hint);
    if (want.Checked != got.Checked) problem += slot + (want.Checked ? " not checked\n" : " checked\n");
  }
  if (expected.Manual != shown.Manual) problem += expected.Manual ? "manual row hidden\n" : "manual row shown\n";
  if (expected.Host != shown.Host) problem += Mismatch("host name", expected.Host, shown.Host);
  return problem;
}

std::string DifferenceAfterSave(const TFuzzFile& file, const TSavedState& before, const std::string& path,
                                bool manualAtClose) {
  if (SaveRereadsInAnotherEncoding(file.Bytes)) return {};
  std::string problem;
  const std::string manual = ReadValue(path, "Forma", "Rucni_unos", kMissing);
  if (manual != (manualAtClose ? "1" : "0")) problem += Mismatch("saved Rucni_unos", manualAtClose ? "1" : "0", manual);

  const std::string host = TrimBlanks(before.Expected.Host);
  const std::string hostAfter = ReadValue(path, "Forma", "Rucni_unos_adresa", kMissing);
  const std::string hostWanted = host.empty() ? before.HostBefore : PlatformRoundTrip(host);
  if (hostAfter != hostWanted) problem += Mismatch("saved Rucni_unos_adresa", hostWanted, hostAfter);

  std::string lastWanted = before.LastBefore;
  for (int n = 1; n <= kSlots; ++n)
    if (before.Expected.Slots[static_cast<size_t>(n - 1)].Checked) lastWanted = std::to_string(n);
  const std::string lastAfter = ReadValue(path, "Forma", "Zadnje_spajanje", kMissing);
  if (lastAfter != lastWanted) problem += Mismatch("saved Zadnje_spajanje", lastWanted, lastAfter);

  // Text keeps its lines; other bytes keep at least what could be read.
  if (file.IsText) return problem + FirstDifference(ComparableLines(file.Bytes), ComparableLines(test::ReadText(path)));
  const std::string lost = LostEntry(before.Readable, WithoutOwnKeys(Snapshot(path)));
  if (!lost.empty()) problem += "no longer readable: " + Printable(lost, 300) + "\n";
  return problem;
}

std::string ReportFailure(std::uint64_t seed, long long index, const TFuzzFile& file, const std::string& problem,
                          const std::string& savedPath) {
  const std::string kept = test::ExeFolder() + "fuzz-failed-" + std::to_string(index) + ".ini";
  test::WriteText(kept, file.Bytes);
  CopyFileA(savedPath.c_str(), (kept + ".saved").c_str(), FALSE);
  return "seed " + Hex(seed) + " case " + std::to_string(index) + " (" + FuzzKindName(file.Kind) + ", " +
         std::to_string(file.Bytes.size()) + " bytes" + (file.IsText ? ", text" : "") + ")\n" + problem +
         "again with: LODO_FUZZ_SEED=" + Hex(seed) + " LODO_FUZZ_CASE=" + std::to_string(index) + "\nfile kept as " +
         kept + ", after the save as " + kept + ".saved";
}

}  // namespace lodo::fuzz

// An independent reading of a settings file, made here from the rules of the
// file with the platform's own reader, never with the launcher's code; and
// the views of a file that its saving must leave as they were.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lodo::fuzz {

constexpr int kSlots = 16;

struct TSlotView {
  bool Visible = false;
  std::string Caption;
  std::string Hint;
  bool Checked = false;
};

struct TLoadView {
  std::array<TSlotView, kSlots> Slots;
  // The manual row is shown (the saved switch reads as true).
  bool Manual = false;
  std::string Host;
};

// The platform's string for a key, cut to the 2047 characters the launcher
// reads, or `missing` when there is none.
std::string ReadValue(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& missing = "");

// The integer rule, written afresh: false where the text yields the default.
bool ReferenceInteger(const std::string& text, std::int32_t& value);

// What the load must show for the file at `path`. Slots that stay hidden
// keep the captions and hints of `design`.
TLoadView ReferenceLoad(const std::string& path, const TLoadView& design);

// Removes every character of code 32 or less from both ends.
std::string TrimBlanks(const std::string& text);

// What the platform reads back after writing `value` to a key of a file of
// its own: the text that a save of that value must leave readable.
std::string PlatformRoundTrip(const std::string& value);

// Every section that can be read by name (the first of each name), each
// with its "key=value" entries, blanks around names and '=' dropped.
using TProfileSnapshot = std::vector<std::pair<std::string, std::vector<std::string>>>;
TProfileSnapshot Snapshot(const std::string& path);
// The snapshot without the launcher's three keys of section Forma, and
// without Forma sections left empty by that.
TProfileSnapshot WithoutOwnKeys(TProfileSnapshot snapshot);

// The first section or entry of `before` that `after` no longer has, or "".
// Entries may appear: bytes that hid a line from the reader (a NUL first in
// a section's name) may be rewritten so that it shows.
std::string LostEntry(const TProfileSnapshot& before, const TProfileSnapshot& after);

// The file's lines with line ends and blanks around names and '=' normalised,
// empty lines and the launcher's three keys of section Forma left out.
std::vector<std::string> ComparableLines(const std::string& bytes);

}  // namespace lodo::fuzz

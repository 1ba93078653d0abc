// The reference reading of a settings file and the views compared around a save.
#include "tests/fuzz/SettingsReference.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "tests/launcher/LauncherFiles.h"
#include "tests/support/Files.h"
#include "tests/support/TestSupport.h"

namespace lodo::fuzz {

namespace {

constexpr char kForma[] = "Forma";
constexpr char kSpajanja[] = "Spajanja";
const char* const kOwnKeys[] = {"rucni_unos", "rucni_unos_adresa", "zadnje_spajanje"};
// What the platform's reader drops around names, '=' and values: blanks,
// the other white space, and the end-of-file mark 0x1A.
const char kBlanks[] = " \t\n\v\f\r\x1A";

using test::DropCache;
using test::Lower;

std::string TrimLineBlanks(std::string_view text) {
  const auto begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  const auto end = text.find_last_not_of(kBlanks);
  return std::string(text.substr(begin, end - begin + 1));
}

// The writer may drop blanks around '=' and at the line's end.
std::string NormalisedEntry(const std::string& entry) {
  const size_t eq = entry.find('=');
  if (eq == std::string::npos) return TrimLineBlanks(entry);
  return TrimLineBlanks(entry.substr(0, eq)) + "=" + TrimLineBlanks(entry.substr(eq + 1));
}

bool IsOwnKey(const std::string& key) {
  const std::string lower = Lower(TrimLineBlanks(key));
  return std::find(std::begin(kOwnKeys), std::end(kOwnKeys), lower) != std::end(kOwnKeys);
}

bool AllOf(std::string_view text, bool (*test)(char)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), test);
}
bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::string_view WithoutLeadingZeros(std::string_view digits) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

// A profile call that fills a buffer with zero-separated items and answers
// size-2 when they did not fit: grown until they do.
template <typename TCall>
std::vector<std::string> ZeroSeparated(TCall call) {
  std::vector<char> buffer(1 << 14);
  DWORD n = 0;
  for (;;) {
    n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n + 2 < buffer.size() || buffer.size() >= (1u << 26)) break;
    buffer.resize(buffer.size() * 4);
  }
  std::vector<std::string> items;
  for (std::string_view rest(buffer.data(), n); !rest.empty();) {
    const size_t end = std::min(rest.find('\0'), rest.size());
    items.emplace_back(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return items;
}

// Read string as the rule states it: a 2048-byte buffer and the call's answer.
std::string ReadAsTheRuleSays(const std::string& path, const std::string& section, const std::string& key) {
  char buffer[2048];
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof(buffer), path.c_str());
  return std::string(buffer, std::min<DWORD>(n, sizeof(buffer) - 1));
}

// The file as Windows' reader sees it, in a UTF-16 copy that Wine reads
// alike: decoded by the encoding rule, each header cut at its first ']'.
std::string WindowsView(const std::string& path) {
  if (!test::IsFile(path)) return path;
  std::string bytes = test::ReadText(path);
  std::wstring text;
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const bool big = bytes.rfind("\xFE\xFF", 0) == 0, utf8Mark = bytes.rfind("\xEF\xBB\xBF", 0) == 0;
  if (big || bytes.rfind("\xFF\xFE", 0) == 0) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<wchar_t>(big ? at(i) << 8 | at(i + 1) : at(i + 1) << 8 | at(i));
  } else {
    const int size = static_cast<int>(bytes.erase(0, utf8Mark ? 3 : 0).size());
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
    const bool utf8 =
        utf8Mark || (high && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0));
    text.resize(bytes.size());
    text.resize(
        static_cast<size_t>(MultiByteToWideChar(utf8 ? CP_UTF8 : CP_ACP, 0, bytes.data(), size, text.data(), size)));
  }
  std::wstring view = L"\xFEFF";
  for (size_t start = 0; start <= text.size();) {
    const size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
    std::wstring line = text.substr(start, std::min(end + 1, text.size()) - start);
    const size_t first = line.find_first_not_of(L" \t\n\v\f\r\x1A");
    if (first != std::wstring::npos && line[first] == L'[') {
      std::wstring name = line.substr(first + 1, std::min(line.find(L']'), end - start) - first - 1);
      name.erase(0, name.find_first_not_of(L" \t\v")).erase(name.find_last_not_of(L" \t\v") + 1);
      line = L"[" + name + L"]" + (end < text.size() ? text.substr(end, 1) : L"");
    }
    view += line;
    start = end + 1;
  }
  const std::string copy = test::ExeFolder() + "fuzz-windows-view-" + std::to_string(GetCurrentProcessId()) + ".ini";
  test::WriteText(copy, std::string(reinterpret_cast<const char*>(view.data()), 2 * view.size()));
  return copy;
}

}  // namespace

std::string ReadValue(const std::string& filePath, const std::string& section, const std::string& key,
                      const std::string& missing) {
  const std::string path = WindowsView(filePath);
  // Values may be far longer than what the launcher reads; the default tells
  // a missing key from an empty one.
  static std::vector<char> buffer(1 << 20);
  const std::string none = "\x01missing\x01";
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), none.c_str(), buffer.data(),
                                           static_cast<DWORD>(buffer.size()), path.c_str());
  const std::string value(buffer.data(), n);
  return value == none ? missing : value.substr(0, 2047);
}

bool ReferenceInteger(const std::string& text, std::int32_t& value) {
  std::string_view rest(text);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  // Longest prefix first, so that "0x1" is hexadecimal 1, not decimal 0 and rubbish.
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (rest.substr(0, prefix.size()) != prefix) continue;
    const std::string_view digits = rest.substr(prefix.size());
    if (!AllOf(digits, IsHex)) return false;
    const std::string_view significant = WithoutLeadingZeros(digits);
    if (significant.size() > 8) return false;
    const auto bits = static_cast<std::uint32_t>(std::stoul(std::string(significant), nullptr, 16));
    value = static_cast<std::int32_t>(negative ? ~bits + 1u : bits);
    return true;
  }
  if (!AllOf(rest, IsDecimal)) return false;
  const std::string_view significant = WithoutLeadingZeros(rest);
  if (significant.size() > 10) return false;
  const long long magnitude = std::stoll(std::string(significant));
  const long long signedValue = negative ? -magnitude : magnitude;
  if (signedValue < -2147483648LL || signedValue > 2147483647LL) return false;
  value = static_cast<std::int32_t>(signedValue);
  return true;
}

TLoadView ReferenceLoad(const std::string& filePath, const TLoadView& design) {
  const std::string path = WindowsView(filePath);
  TLoadView view = design;
  std::int32_t manual = 0;
  view.Manual = ReferenceInteger(ReadAsTheRuleSays(path, kForma, "Rucni_unos"), manual) && manual != 0;
  view.Host = ReadAsTheRuleSays(path, kForma, "Rucni_unos_adresa");
  std::int32_t last = 0;
  if (!ReferenceInteger(ReadAsTheRuleSays(path, kForma, "Zadnje_spajanje"), last)) last = 0;
  for (int n = 1; n <= kSlots; ++n) {
    const std::string index = std::to_string(n);
    const std::string name = ReadAsTheRuleSays(path, kSpajanja, "Sp" + index + "_naziv");
    const std::string address = ReadAsTheRuleSays(path, kSpajanja, "Sp" + index + "_adresa");
    // Empty means no characters at all; blanks count.
    if (name.empty() || address.empty()) continue;
    TSlotView& slot = view.Slots[static_cast<size_t>(n - 1)];
    slot.Visible = true;
    slot.Caption = name;
    slot.Hint = address;
    slot.Checked = last == n;
  }
  return view;
}

std::string TrimBlanks(const std::string& text) {
  const auto kept = [](char c) { return static_cast<unsigned char>(c) > 32; };
  const auto first = std::find_if(text.begin(), text.end(), kept);
  const auto last = std::find_if(text.rbegin(), text.rend(), kept).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string PlatformRoundTrip(const std::string& value) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "lodo-fuzz-roundtrip-" + std::to_string(GetCurrentProcessId()) + ".ini";
  DeleteFileA(path.c_str());
  DropCache(path);
  WritePrivateProfileStringA("S", "K", value.c_str(), path.c_str());
  DropCache(path);
  const std::string back = ReadValue(path, "S", "K", "<missing>");
  DeleteFileA(path.c_str());
  DropCache(path);
  return back;
}

TProfileSnapshot Snapshot(const std::string& filePath) {
  const std::string path = WindowsView(filePath);
  TProfileSnapshot snapshot;
  const auto names = ZeroSeparated(
      [&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, path.c_str()); });
  std::vector<std::string> seen;
  for (const std::string& name : names) {
    // Only the first of sections with the same name can be read by name; a
    // name that begins with a NUL byte lists as empty and cannot be asked for.
    const std::string lower = Lower(TrimLineBlanks(name));
    if (lower.empty() || std::find(seen.begin(), seen.end(), lower) != seen.end()) continue;
    seen.push_back(lower);
    std::vector<std::string> entries = ZeroSeparated(
        [&](char* buffer, DWORD size) { return GetPrivateProfileSectionA(name.c_str(), buffer, size, path.c_str()); });
    // A name that begins with a NUL byte lists as empty: it cannot be asked
    // for by name, and the platform's writer keeps only the empty name,
    // which its reader then skips.
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const std::string& entry) { return entry.empty() || entry.front() == '='; }),
                  entries.end());
    for (std::string& entry : entries) entry = NormalisedEntry(entry);
    snapshot.push_back({TrimLineBlanks(name), entries});
  }
  return snapshot;
}

TProfileSnapshot WithoutOwnKeys(TProfileSnapshot snapshot) {
  TProfileSnapshot kept;
  for (auto& [name, entries] : snapshot) {
    const bool forma = Lower(TrimLineBlanks(name)) == "forma";
    if (forma)
      entries.erase(std::remove_if(entries.begin(), entries.end(),
                                   [](const std::string& entry) { return IsOwnKey(entry.substr(0, entry.find('='))); }),
                    entries.end());
    // The save creates the section when it is missing.
    if (forma && entries.empty()) continue;
    kept.push_back({name, entries});
  }
  return kept;
}

std::string LostEntry(const TProfileSnapshot& before, const TProfileSnapshot& after) {
  for (const auto& [name, entries] : before) {
    const auto section =
        std::find_if(after.begin(), after.end(), [&](const auto& s) { return Lower(s.first) == Lower(name); });
    if (section == after.end()) return "[" + name + "]";
    std::vector<std::string> left = section->second;
    for (const std::string& entry : entries) {
      const auto found = std::find(left.begin(), left.end(), entry);
      if (found == left.end()) return "[" + name + "] " + entry;
      left.erase(found);
    }
  }
  return {};
}

std::vector<std::string> ComparableLines(const std::string& bytes) {
  std::string_view text(bytes);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> lines;
  bool inForma = false;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string line = TrimLineBlanks(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::string name = TrimLineBlanks(line.substr(1, line.find(']') - 1));
      inForma = Lower(name) == "forma";
      // The save may add this section; its header says nothing of the rest.
      if (inForma) continue;
      lines.push_back("[" + name + "]");
      continue;
    }
    // Comments too: the platform keeps them as keys, '=' and all.
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
      const std::string key = TrimLineBlanks(line.substr(0, eq));
      if (inForma && IsOwnKey(key)) continue;
      line = key + "=" + TrimLineBlanks(line.substr(eq + 1));
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace lodo::fuzz

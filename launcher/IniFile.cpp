// Settings-file reads and writes, and the integer rule.
#include "launcher/IniFile.h"

#include <windows.h>

#include "framework/Text.h"
#include "launcher/IniText.h"
#include "launcher/ProgramFolder.h"

namespace lodo {

namespace {
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

unsigned HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}
}  // namespace

bool ParseIniInteger(std::string_view text, std::int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::string_view rest = text.substr(i);
  size_t prefix = 0;
  if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
    prefix = 2;
  else if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X'))
    prefix = 1;

  if (prefix) {
    const std::string_view digits = rest.substr(prefix);
    if (digits.empty()) return false;
    std::uint64_t v = 0;
    for (char c : digits) {
      if (!IsHexDigit(c)) return false;
      v = v * 16 + HexValue(c);
      if (v > 0xFFFFFFFFull) return false;  // leading zeros never get here
    }
    // The 32-bit pattern is the value; a minus sign negates it modulo 2^32.
    const auto bits = static_cast<std::uint32_t>(v);
    value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    return true;
  }

  if (rest.empty()) return false;
  std::uint64_t v = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
    if (v > 2147483648ull) return false;
  }
  if (!negative && v > 2147483647ull) return false;
  value = negative ? static_cast<std::int32_t>(0 - static_cast<std::int64_t>(v)) : static_cast<std::int32_t>(v);
  return true;
}

namespace {

// What GetPrivateProfileString hands out for a value: a pair of the same
// quote around it dropped (the closing one only when the value fits), cut
// to 2047 characters.
std::wstring PlatformValue(std::wstring_view text) {
  constexpr size_t kLength = 2048;
  bool quoted = false;
  if (text.size() > 1 && (text[0] == L'\'' || text[0] == L'"') && text.back() == text[0]) {
    quoted = true;
    text.remove_prefix(1);
  }
  std::wstring copy(text.substr(0, kLength - 1));
  if (quoted && kLength >= text.size() && !copy.empty()) copy.pop_back();
  return copy;
}

std::wstring TrimSpaces(std::wstring_view text, bool leading) {
  size_t begin = 0, end = text.size();
  while (leading && begin < end && text[begin] == L' ') ++begin;
  while (end > begin && text[end - 1] == L' ') --end;
  return std::wstring(text.substr(begin, end - begin));
}

// The file's bytes; false when it is there but cannot be read. A file that
// is not there reads as no bytes.
bool ReadBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  char buffer[1 << 14];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof(buffer), &n, nullptr) != FALSE) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return ok;
}

// Writes the bytes to a new file beside the old one and only then puts it in
// the old one's place, so that a full disk or a locked file leaves the old
// file whole; the replacement keeps the old file's attributes. The new
// file's name is this process's own ("~" and its id in seven base-36
// digits), no longer than "lodo.ini", so a folder at the path limit takes it.
bool ReplaceWhole(const std::string& path, const std::string& bytes) {
  std::string temporary = FolderOf(path) + "~";
  for (DWORD id = GetCurrentProcessId(), i = 0; i < 7; ++i, id /= 36)
    temporary += "0123456789abcdefghijklmnopqrstuvwxyz"[id % 36];
  HANDLE file =
      CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                              written == bytes.size());
  ok = ok && FlushFileBuffers(file);
  CloseHandle(file);
  if (ok) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
      ok = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    else
      ok = ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  }
  if (!ok) DeleteFileA(temporary.c_str());
  return ok;
}

}  // namespace

std::wstring TIniSection::ReadString(const std::string& key, const std::wstring& defaultValue) const {
  const std::wstring wanted = TrimSpaces(AnsiToWide(key), true);
  if (!wanted.empty() && wanted[0] != L';') {
    for (const auto& [name, value] : FEntries) {
      if (!SameIniName(name, wanted)) continue;
      // The first entry of the name decides, also when it has no value.
      if (value) return PlatformValue(*value);
      break;
    }
  }
  return TrimSpaces(defaultValue, false);
}

std::int32_t TIniSection::ReadInteger(const std::string& key, std::int32_t defaultValue) const {
  std::int32_t value = 0;
  return ParseIniInteger(WideToAnsi(ReadString(key, L"")), value) ? value : defaultValue;
}

bool TIniSection::ReadBool(const std::string& key, bool defaultValue) const {
  return ReadInteger(key, defaultValue ? 1 : 0) != 0;
}

TIniSection TIniFile::ReadSection(const std::string& section) const {
  TIniSection result;
  std::string bytes;
  if (!ReadBytes(FPath, bytes)) return result;
  const TIniText text(std::move(bytes));
  if (const auto* entries = text.Section(AnsiToWide(section)))
    for (const TIniText::TEntry& entry : *entries) result.FEntries.emplace_back(entry.Name, entry.Value);
  return result;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  return WideToAnsi(ReadSection(section).ReadString(key, AnsiToWide(defaultValue)));
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue) const {
  return ReadSection(section).ReadInteger(key, defaultValue);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return ReadSection(section).ReadBool(key, defaultValue);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::wstring& value) {
  std::string bytes;
  std::optional<std::string> written;
  if (ReadBytes(FPath, bytes)) {
    const TIniText text(std::move(bytes));
    const std::wstring sectionName = AnsiToWide(section), keyName = AnsiToWide(key);
    written = text.WithValue(sectionName, keyName, value);
    // An ANSI file becomes UTF-8 rather than lose a character, or be read
    // as UTF-8 next time because the new bytes happen to be valid UTF-8.
    if (text.Encoding() == TIniEncoding::ieAnsi && (!written || IniFormOf(*written).Encoding != TIniEncoding::ieAnsi))
      written = TIniText(text.AsUtf8(), TIniEncoding::ieUtf8).WithValue(sectionName, keyName, value);
  }
  if (!written || !ReplaceWhole(FPath, *written)) throw EIniFileException(Format("Unable to write to %s", FPath));
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  WriteString(section, key, AnsiToWide(value));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace lodo

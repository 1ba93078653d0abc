// Settings-file reads and writes, and the integer rule.
#include "launcher/IniFile.h"

#include <windows.h>

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

// Sections up to this many characters are read whole.
constexpr DWORD kLargestSection = 1u << 22;

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// The platform ignores the letter case of names in ASCII only.
std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return text;
}

// What GetPrivateProfileStringA hands out for a value: a pair of the same
// quote around it dropped (the closing one only when the value fits), cut
// to 2047 characters, then turned into the ANSI code page.
std::string PlatformValue(const std::wstring& value) {
  constexpr size_t kLength = 2048;
  std::wstring_view text(value);
  bool quoted = false;
  if (text.size() > 1 && (text[0] == L'\'' || text[0] == L'"') && text.back() == text[0]) {
    quoted = true;
    text.remove_prefix(1);
  }
  std::wstring copy(text.substr(0, kLength - 1));
  if (quoted && kLength >= text.size() && !copy.empty()) copy.pop_back();
  char buffer[kLength] = {};
  if (copy.empty()) return {};
  int n =
      WideCharToMultiByte(CP_ACP, 0, copy.data(), static_cast<int>(copy.size()), buffer, kLength - 1, nullptr, nullptr);
  if (n == 0) n = kLength - 1;
  return std::string(buffer, static_cast<size_t>(n));
}

// Names the section's listing cannot answer for: the platform trims blanks
// around a name it is asked for, and lists no comment line, though it
// finds one by its name.
bool NeedsPlatformLookup(const std::string& key) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x1A'; };
  return key.empty() || key[0] == ';' || blank(key.front()) || blank(key.back());
}

}  // namespace

std::string TIniSection::ReadString(const std::string& key, const std::string& defaultValue) const {
  if (!FWhole || NeedsPlatformLookup(key)) return FFile.ReadString(FSection, key, defaultValue);
  const std::wstring wanted = Lower(Widen(key));
  for (const auto& [name, value] : FEntries) {
    if (Lower(name) != wanted) continue;
    // The first entry of the name decides, also when it has no value.
    if (value) return PlatformValue(*value);
    break;
  }
  // Without a value the default answers, which the platform trims and
  // unquotes depending on whether it could read the file: it is asked.
  return defaultValue.empty() ? std::string() : FFile.ReadString(FSection, key, defaultValue);
}

std::int32_t TIniSection::ReadInteger(const std::string& key, std::int32_t defaultValue) const {
  std::int32_t value = 0;
  return ParseIniInteger(ReadString(key, ""), value) ? value : defaultValue;
}

bool TIniSection::ReadBool(const std::string& key, bool defaultValue) const {
  return ReadInteger(key, defaultValue ? 1 : 0) != 0;
}

TIniSection TIniFile::ReadSection(const std::string& section) const {
  TIniSection result(*this, section);
  const std::wstring name = Widen(section);
  const std::wstring path = Widen(FPath);
  std::vector<wchar_t> buffer(1u << 15);
  DWORD n = 0;
  for (;;) {
    n = GetPrivateProfileSectionW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    // A section that does not fit comes back cut, its length two short of the buffer's.
    if (n + 2 < buffer.size()) break;
    if (buffer.size() >= kLargestSection) return result;
    buffer.resize(buffer.size() * 2);
  }
  for (size_t i = 0; i < n && buffer[i];) {
    const std::wstring line(buffer.data() + i);
    i += line.size() + 1;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
      result.FEntries.emplace_back(line, std::nullopt);
    else
      result.FEntries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  result.FWhole = true;
  return result;
}

TIniFile::~TIniFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FPath.c_str()); }

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  char buffer[2048] = {};
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, sizeof(buffer),
                                           FPath.c_str());
  return std::string(buffer, n < sizeof(buffer) ? n : sizeof(buffer) - 1);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue) const {
  std::int32_t value = 0;
  return ParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FPath.c_str()))
    throw EIniFileException(Format("Unable to write to %s", FPath));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace lodo

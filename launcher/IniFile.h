// Access to the settings file: sections read whole, keys looked up by the
// platform's rules, values written in place in the file's own encoding.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Exceptions.h"

namespace lodo {

// Raised when a write to the settings file fails.
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

// The integer rule of the settings file: optional leading spaces, at most one
// sign, then a hexadecimal ("$", "x", "X", "0x", "0X" prefix, fits 32 bits,
// taken as a signed pattern) or decimal (in 32-bit range) number, and nothing
// after it. Returns false for any other text, the empty text included.
bool ParseIniInteger(std::string_view text, std::int32_t& value);

// One section of the file as it was read: its keys are looked up as the
// platform's GetPrivateProfileString looks them up on Windows: letter case
// ignored in ASCII, the first entry of a name, blanks around a requested
// name dropped, a name starting with ';' never found, a pair of quotes
// around the value dropped, at most 2047 characters.
class TIniSection {
 public:
  // The value as the file's characters; the default loses its trailing spaces.
  std::wstring ReadString(const std::string& key, const std::wstring& defaultValue) const;
  std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const;
  bool ReadBool(const std::string& key, bool defaultValue) const;

 private:
  friend class TIniFile;
  // Names and values; no value for a line without '='.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> FEntries;
};

// The settings file, read and written by the launcher itself in the file's
// own encoding (UTF-8 with or without a mark, UTF-16, ANSI): the platform's
// private-profile functions know only ANSI and UTF-16 on Windows. Every read
// reads the file again; nothing is cached.
class TIniFile {
 public:
  explicit TIniFile(std::string path) : FPath(std::move(path)) {}

  const std::string& FileName() const { return FPath; }

  // The narrow reads give the value in the ANSI code page.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // The section's keys, read in one go; a file that cannot be read has none.
  TIniSection ReadSection(const std::string& section) const;

  // Each write replaces the file whole through a new file beside it, so a
  // write that fails midway leaves the old file as it was. The file keeps
  // its encoding and mark; an ANSI file that must hold a character its code
  // page lacks becomes UTF-8 without a mark.
  void WriteString(const std::string& section, const std::string& key, const std::wstring& value);
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string FPath;
};

}  // namespace lodo

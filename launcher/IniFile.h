// Access to the settings file through the platform's private-profile
// functions: every read and write is one call on the path, nothing cached
// beyond one section read whole.
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

class TIniFile;

// One section, read whole in one call; its keys are looked up as the
// platform's GetPrivateProfileStringA looks them up: letter case ignored,
// the first entry of a name, a pair of quotes around the value dropped, at
// most 2047 characters. Every platform read opens the file again, and the
// launcher's load needs 35 values: two sections are two opens.
class TIniSection {
 public:
  std::string ReadString(const std::string& key, const std::string& defaultValue) const;
  std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const;
  bool ReadBool(const std::string& key, bool defaultValue) const;

 private:
  friend class TIniFile;
  TIniSection(const TIniFile& file, std::string section) : FFile(file), FSection(std::move(section)) {}

  const TIniFile& FFile;
  std::string FSection;
  // False when the section could not be read whole: each key is then read
  // on its own.
  bool FWhole = false;
  // Names and values as the platform holds them; no value for a line
  // without '='.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> FEntries;
};

class TIniFile {
 public:
  explicit TIniFile(std::string path) : FPath(std::move(path)) {}
  // Flushes the platform's cached copy of the file.
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return FPath; }

  // At most 2047 characters, as the platform returns them.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // The section's keys, read in one call; valid while the file object lives.
  TIniSection ReadSection(const std::string& section) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string FPath;
};

}  // namespace lodo

// Conversions between the program's three text forms: 8-bit ANSI (settings
// file, command line), UTF-16 (what windows show) and UTF-8 (source literals).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace lodo {

std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide);
// Nothing when a character has no form in the ANSI code page: never a best
// fit, which would turn a letter into another one, nor a question mark.
std::optional<std::string> WideToAnsiExact(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace lodo

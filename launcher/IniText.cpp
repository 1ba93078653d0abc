// Settings-file text: encoding, lines, sections, and the change of one value.
#include "launcher/IniText.h"

#include <windows.h>

#include "framework/Text.h"

namespace lodo {

namespace {

// One well-formed UTF-8 sequence at `i`: its length, or 0. Overlong forms,
// surrogates and code points above U+10FFFF are not well-formed.
size_t Utf8Sequence(std::string_view bytes, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned lead = byte(i);
  size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > bytes.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return length;
}

bool IsUtf8WithMultiByte(std::string_view bytes) {
  bool multiByte = false;
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t length = Utf8Sequence(bytes, i);
    if (!length) return false;
    multiByte = true;
    i += length;
  }
  return multiByte;
}

// What the platform's reader drops around a line, a name and a value.
bool IsBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == L' '; }
// What it drops inside a section header's brackets.
bool IsHeaderBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v'; }

std::wstring Trim(std::wstring_view text, bool (*blank)(wchar_t)) {
  size_t begin = 0, end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return std::wstring(text.substr(begin, end - begin));
}

// The platform's strings end at a NUL.
std::wstring UpToNul(std::wstring text) {
  const size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

}  // namespace

TIniForm IniFormOf(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return {TIniEncoding::ieUtf16Le, 2};
  if (bytes.substr(0, 2) == "\xFE\xFF") return {TIniEncoding::ieUtf16Be, 2};
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return {TIniEncoding::ieUtf8, 3};
  return {IsUtf8WithMultiByte(bytes) ? TIniEncoding::ieUtf8 : TIniEncoding::ieAnsi, 0};
}

bool SameIniName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

TIniText::TIniText(std::string bytes, std::optional<TIniEncoding> encoding)
    : FBytes(std::move(bytes)), FForm(encoding ? TIniForm{*encoding, 0} : IniFormOf(FBytes)) {
  SplitLines();
  Parse();
}

void TIniText::SplitLines() {
  const bool wide = FForm.Encoding == TIniEncoding::ieUtf16Le || FForm.Encoding == TIniEncoding::ieUtf16Be;
  const size_t unit = wide ? 2 : 1;
  const size_t low = FForm.Encoding == TIniEncoding::ieUtf16Be ? 1 : 0;
  // The code unit at byte i, when it is a CR or LF; 0 otherwise.
  const auto breakAt = [&](size_t i) -> char {
    if (wide && FBytes[i + 1 - low] != 0) return 0;
    const char c = FBytes[i + low];
    return c == '\r' || c == '\n' ? c : 0;
  };
  // A UTF-16 file's odd last byte is no character; text added goes before it.
  const size_t end = FTextEnd = FBytes.size() - (FBytes.size() - FForm.Mark) % unit;
  for (size_t i = FForm.Mark; i < end;) {
    TLine line{i, i, i};
    while (line.End < end && !breakAt(line.End)) line.End += unit;
    line.Next = line.End;
    // One line break: CR LF, LF or CR.
    if (line.Next < end && breakAt(line.Next) == '\r') line.Next += unit;
    if (line.Next < end && breakAt(line.Next) == '\n' && (line.Next == line.End || breakAt(line.End) == '\r'))
      line.Next += unit;
    FLines.push_back(line);
    i = line.Next;
  }
}

std::wstring TIniText::Decode(std::string_view bytes) const {
  switch (FForm.Encoding) {
    case TIniEncoding::ieAnsi:
      return AnsiToWide(bytes);
    case TIniEncoding::ieUtf8:
      return Utf8ToWide(bytes);
    default: {
      const size_t high = FForm.Encoding == TIniEncoding::ieUtf16Le ? 1 : 0;
      std::wstring text(bytes.size() / 2, L'\0');
      for (size_t k = 0; k < text.size(); ++k)
        text[k] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * k + high]) << 8 |
                                       static_cast<unsigned char>(bytes[2 * k + 1 - high]));
      return text;
    }
  }
}

std::optional<std::string> TIniText::Encode(std::wstring_view text) const {
  switch (FForm.Encoding) {
    case TIniEncoding::ieAnsi:
      return WideToAnsiExact(text);
    case TIniEncoding::ieUtf8:
      return WideToUtf8(text);
    default: {
      const bool little = FForm.Encoding == TIniEncoding::ieUtf16Le;
      std::string bytes;
      for (const wchar_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
        bytes += little ? low : high;
        bytes += little ? high : low;
      }
      return bytes;
    }
  }
}

std::wstring TIniText::LineText(size_t line) const {
  const TLine& l = FLines[line];
  return Decode(std::string_view(FBytes).substr(l.Begin, l.End - l.Begin));
}

// Headers as Windows reads them: blanks before '[' ignored, the name ending
// at the first ']' or, without one, at the line's end, blanks at its ends
// dropped. Lines before the first header belong to no section.
void TIniText::Parse() {
  for (size_t i = 0; i < FLines.size(); ++i) {
    const std::wstring text = Trim(LineText(i), IsBlank);
    if (text.empty()) continue;
    if (text[0] == L'[') {
      const size_t close = text.find(L']');
      const std::wstring name = text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
      FSections.push_back({UpToNul(Trim(name, IsHeaderBlank)), i, {}});
      continue;
    }
    if (FSections.empty()) continue;
    const size_t equals = text.find(L'=');
    TEntry entry;
    entry.Line = i;
    entry.Name = UpToNul(Trim(text.substr(0, equals), IsBlank));
    if (equals != std::wstring::npos) entry.Value = UpToNul(Trim(text.substr(equals + 1), IsBlank));
    FSections.back().Entries.push_back(std::move(entry));
  }
}

const std::vector<TIniText::TEntry>* TIniText::Section(std::wstring_view name) const {
  for (const TSection& section : FSections)
    if (SameIniName(section.Name, name)) return &section.Entries;
  return nullptr;
}

std::optional<std::string> TIniText::WithValue(std::wstring_view sectionName, std::wstring_view key,
                                               std::wstring_view value) const {
  const std::string lineEnd = *Encode(L"\r\n");
  std::string bytes = FBytes;
  const TSection* section = nullptr;
  for (const TSection& s : FSections)
    if (!section && SameIniName(s.Name, sectionName)) section = &s;

  if (!section) {
    const auto added =
        Encode(L"[" + std::wstring(sectionName) + L"]\r\n" + std::wstring(key) + L"=" + std::wstring(value) + L"\r\n");
    if (!added) return std::nullopt;
    // A last line without a line break gets one first.
    const bool unended = !FLines.empty() && FLines.back().Next == FLines.back().End;
    return bytes.insert(FTextEnd, (unended ? lineEnd : std::string()) + *added);
  }
  for (const TEntry& entry : section->Entries) {
    if (!SameIniName(entry.Name, key)) continue;
    // The line keeps everything up to its '='; a line without one gets it.
    const std::wstring text = LineText(entry.Line);
    const size_t equals = text.find(L'=');
    const std::wstring kept = equals == std::wstring::npos ? text.substr(0, text.find_last_not_of(L" \t") + 1) + L"="
                                                           : text.substr(0, equals + 1);
    const auto line = Encode(kept + std::wstring(value));
    if (!line) return std::nullopt;
    const TLine& l = FLines[entry.Line];
    return bytes.replace(l.Begin, l.End - l.Begin, *line);
  }
  const TLine& after = FLines[section->Entries.empty() ? section->Header : section->Entries.back().Line];
  const auto line = Encode(std::wstring(key) + L"=" + std::wstring(value) + L"\r\n");
  if (!line) return std::nullopt;
  return bytes.insert(after.Next, (after.Next == after.End ? lineEnd : std::string()) + *line);
}

std::string TIniText::AsUtf8() const { return WideToUtf8(Decode(std::string_view(FBytes).substr(FForm.Mark))); }

}  // namespace lodo

// A settings file's bytes as lines of text: the encoding, decided from the
// bytes alone, the sections as the platform's reader finds them, and the
// change of one value that leaves every other byte as it was.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lodo {

enum class TIniEncoding { ieAnsi, ieUtf8, ieUtf16Le, ieUtf16Be };

// A mark decides; without one, bytes that are all valid UTF-8 with at least
// one multi-byte sequence are UTF-8, and anything else is the ANSI code page.
struct TIniForm {
  TIniEncoding Encoding = TIniEncoding::ieAnsi;
  size_t Mark = 0;
};
TIniForm IniFormOf(std::string_view bytes);

// Names compare as the platform compares them: letter case ignored in ASCII only.
bool SameIniName(std::wstring_view a, std::wstring_view b);

class TIniText {
 public:
  // The encoding is the bytes' own unless one is given.
  explicit TIniText(std::string bytes, std::optional<TIniEncoding> encoding = std::nullopt);

  TIniEncoding Encoding() const { return FForm.Encoding; }
  const std::string& Bytes() const { return FBytes; }

  // One line of a section: its name and its value, none for a line without
  // '='; both end at a NUL, as the platform's strings do.
  struct TEntry {
    std::wstring Name;
    std::optional<std::wstring> Value;
    size_t Line = 0;
  };
  // The entries of the first section of that name; only the first is ever
  // searched. Null when there is none.
  const std::vector<TEntry>* Section(std::wstring_view name) const;

  // The file's bytes with the key of the section set to the value: the
  // key's line is changed in place, a missing key goes after the section's
  // last entry and a missing section at the end, as the platform's writer
  // does it, with CRLF line ends. Nothing when the encoding cannot hold the
  // text.
  std::optional<std::string> WithValue(std::wstring_view section, std::wstring_view key, std::wstring_view value) const;

  // The same text in UTF-8 without a mark, for an ANSI file that must hold
  // a character its code page lacks.
  std::string AsUtf8() const;

 private:
  // A line's text in bytes [Begin, End), its line break up to Next.
  struct TLine {
    size_t Begin = 0, End = 0, Next = 0;
  };
  struct TSection {
    std::wstring Name;
    size_t Header = 0;
    std::vector<TEntry> Entries;
  };

  void SplitLines();
  void Parse();
  std::wstring Decode(std::string_view bytes) const;
  std::optional<std::string> Encode(std::wstring_view text) const;
  std::wstring LineText(size_t line) const;

  std::string FBytes;
  TIniForm FForm;
  std::vector<TLine> FLines;
  std::vector<TSection> FSections;
  size_t FTextEnd = 0;
};

}  // namespace lodo

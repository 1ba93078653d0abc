// The settings-file generator: random bytes, mutations of the shipped sample,
// grammar-built text, huge and NUL-laden lines, thousands of sections, byte
// order marks and numbers at every edge of the integer rule.
#include "tests/fuzz/FuzzFiles.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Files.h"

namespace lodo::fuzz {

namespace {

const char* const kKindNames[kFuzzKindCount] = {"random bytes",  "sample mutation", "grammar",       "huge and NUL",
                                                "many sections", "byte order mark", "integer edges", "name variants"};

// Text the integer rule must take or refuse as a whole: boundaries of both
// number forms, every prefix, signs, blanks and trailing rubbish.
const char* const kIntegerEdges[] = {"0",
                                     "1",
                                     "3",
                                     "16",
                                     "17",
                                     "-1",
                                     "+3",
                                     "-3",
                                     " 3",
                                     "   16",
                                     "3 ",
                                     "\t3",
                                     "3x",
                                     "0x",
                                     "x",
                                     "$",
                                     "X",
                                     "0X",
                                     "+",
                                     "-",
                                     "+-3",
                                     "-+3",
                                     "- 3",
                                     "0x3",
                                     "0X3",
                                     "x3",
                                     "X3",
                                     "$3",
                                     "$03",
                                     "-$3",
                                     "+$3",
                                     "0x0000000000000003",
                                     "00000000000000000003",
                                     "2147483647",
                                     "2147483648",
                                     "-2147483648",
                                     "-2147483649",
                                     "+2147483647",
                                     "4294967295",
                                     "4294967296",
                                     "4294967299",
                                     "99999999999999999999",
                                     "0x7FFFFFFF",
                                     "0x80000000",
                                     "0xFFFFFFFF",
                                     "0xFFFFFFFD",
                                     "-0xFFFFFFFD",
                                     "$FFFFFFFF",
                                     "$100000000",
                                     "$100000003",
                                     "0x1_0",
                                     "0x1G",
                                     "3.0",
                                     "3e0",
                                     "three",
                                     "",
                                     "0x10",
                                     "$10",
                                     "-$10",
                                     "0003",
                                     "-0",
                                     "+0",
                                     "$0",
                                     "0x0",
                                     "\xEF\xBC\x92",
                                     "3\x0b",
                                     "1e",
                                     "0b11"};

const char* const kAddresses[] = {
    "support.example.com", "split.example.com::5500", "192.0.2.10",          "dev.example.com:1",
    "10.0.0.7 -id:1234",   "[2001:db8::1]::5500",     "repeater:5901 ID:77", "host.example.com -autoreconnect"};

const char* const kWords[] = {"Helpdesk",  "Zagreb", "Split",    "Servis", "dezurni",  "Razvoj", "Rezerva", "Ured",
                              "ne dirati", "a b c",  "Napomena", "Ostalo", "Spajanja", "Forma",  "x"};

// Croatian letters in the Windows Central European code page, and other
// bytes above 127.
const char kHighBytes[] = "\xE8\xE6\x9E\x9A\xF0\xC8\xC6\x8E\x8A\xD0\xA9\xB5\xFF\x80\xA0";

std::string Word(TRandom& random) { return kWords[random.Below(std::size(kWords))]; }

}  // namespace

std::string IntegerText(TRandom& random) {
  if (random.Chance(60)) return kIntegerEdges[random.Below(std::size(kIntegerEdges))];
  // Built edges: a sign, a prefix and a run of digits around the 32-bit limit.
  std::string text(random.Below(3), ' ');
  const unsigned sign = random.Below(4);
  if (sign == 1) text += '-';
  if (sign == 2) text += '+';
  static const char* const kPrefixes[] = {"", "", "$", "x", "X", "0x", "0X"};
  const std::string prefix = kPrefixes[random.Below(std::size(kPrefixes))];
  text += prefix;
  const char* digits = prefix.empty() ? "0123456789" : "0123456789abcdefABCDEF";
  const unsigned base = prefix.empty() ? 10 : 22;
  const unsigned zeros = random.Chance(20) ? random.Below(12) : 0;
  text += std::string(zeros, '0');
  const unsigned length = prefix.empty() ? 8 + random.Below(4) : 6 + random.Below(5);
  if (random.Chance(30)) {
    text += std::to_string(1 + random.Below(16));
  } else {
    for (unsigned i = 0; i < length; ++i) text += digits[random.Below(base)];
  }
  if (random.Chance(10)) text += " ;"[random.Below(2)];
  return text;
}

namespace {

// A value as a helpdesk might write it, or as a careless editor leaves it.
std::string Value(TRandom& random, bool asciiOnly) {
  switch (random.Below(10)) {
    case 0:
      return "";
    case 1:
      return kAddresses[random.Below(std::size(kAddresses))];
    case 2:
      return Word(random) + " " + Word(random);
    case 3:
      return IntegerText(random);
    case 4: {
      static const char* const kQuoted[] = {"\"x\"", "'x'", "\"x", "x\"", "\" \"", "\"\"", "\"a\"b\"", "'a\""};
      return kQuoted[random.Below(std::size(kQuoted))];
    }
    case 5: {
      static const char* const kOdd[] = {"a=b",   "a;b",   "[Forma]",   "a]b[c",           "#x",
                                         ";x",    "=",     "a\tb",      "% COMSPEC %",     "& calc",
                                         "| cmd", "\"; x", "%COMSPEC%", "..\\..\\evil.exe"};
      return kOdd[random.Below(std::size(kOdd))];
    }
    case 6: {
      std::string text(1 + random.Below(40), ' ');
      for (char& c : text)
        if (random.Chance(50)) c = static_cast<char>(33 + random.Below(94));
      return text;
    }
    case 7: {
      if (asciiOnly) return Word(random);
      std::string text = Word(random);
      for (unsigned i = 0, n = 1 + random.Below(6); i < n; ++i)
        text += kHighBytes[random.Below(sizeof(kHighBytes) - 1)];
      return text;
    }
    case 8:
      return std::string(1 + random.Below(3000), static_cast<char>('a' + random.Below(26)));
    default:
      return Word(random);
  }
}

std::string SlotKey(TRandom& random) {
  std::string index = std::to_string(1 + random.Below(16));
  if (random.Chance(5)) {
    static const char* const kOtherIndices[] = {"0", "17", "99", "01", "+1", "-1", "1 ", "", "016", "3a"};
    index = kOtherIndices[random.Below(std::size(kOtherIndices))];
  }
  return "Sp" + index + (random.Chance(50) ? "_naziv" : "_adresa");
}

std::string Key(TRandom& random) {
  switch (random.Below(8)) {
    case 0:
      return "Rucni_unos";
    case 1:
      return "Rucni_unos_adresa";
    case 2:
      return "Zadnje_spajanje";
    case 3:
      return Word(random);
    default:
      return SlotKey(random);
  }
}

std::string Section(TRandom& random) {
  switch (random.Below(10)) {
    case 0:
    case 1:
    case 2:
    case 3:
      return "Spajanja";
    case 4:
    case 5:
      return "Forma";
    case 6:
      return random.Chance(50) ? "spajanja" : "FORMA";
    default:
      return Word(random);
  }
}

std::string LineEnd(TRandom& random) { return random.Chance(75) ? "\r\n" : "\n"; }

// Sections and keys in the form the private-profile functions read.
std::string GrammarText(TRandom& random, unsigned lines, bool asciiOnly) {
  std::string text;
  if (random.Chance(30)) text += "; " + Word(random) + LineEnd(random);
  for (unsigned i = 0; i < lines; ++i) {
    const unsigned what = random.Below(20);
    if (what < 3) {
      text += "[" + Section(random) + "]";
    } else if (what == 3) {
      text += (random.Chance(50) ? "; " : "# ") + Word(random);
    } else if (what == 4) {
      // A line without '=' is kept by the platform as a key of its own.
      text += Word(random);
    } else if (what == 5) {
      text += Key(random) + " = " + Value(random, asciiOnly);
    } else {
      text += Key(random) + "=" + Value(random, asciiOnly);
    }
    text += LineEnd(random);
    if (random.Chance(5)) text += LineEnd(random);
  }
  return text;
}

std::string RandomBytes(TRandom& random, unsigned size) {
  std::string bytes;
  static const char* const kTokens[] = {
      "[Spajanja]",       "[Forma]",      "\r\n", "\n",       "\r",           "=", "Sp1_naziv=", "Sp1_adresa=",
      "Zadnje_spajanje=", "Rucni_unos=1", "\0",   "\xFF\xFE", "\xEF\xBB\xBF", "[", "]"};
  while (bytes.size() < size) {
    if (random.Chance(15)) {
      const std::string token = kTokens[random.Below(std::size(kTokens))];
      bytes += token.empty() ? std::string(1, '\0') : token;
    } else {
      bytes += random.Byte();
    }
  }
  return bytes;
}

// Mutates the sample: line-level edits keep it text, byte-level ones do not.
TFuzzFile SampleMutation(TRandom& random) {
  TFuzzFile file{fkSampleMutation, SampleSettings(), true};
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < file.Bytes.size()) {
    const size_t end = file.Bytes.find('\n', start);
    lines.push_back(file.Bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? file.Bytes.size() : end + 1;
  }
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  const bool byteLevel = random.Chance(40);
  for (unsigned m = 0, count = 1 + random.Below(10); m < count && !lines.empty(); ++m) {
    const size_t at = random.Below(static_cast<unsigned>(lines.size()));
    switch (random.Below(7)) {
      case 0:
        lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
        break;
      case 1:
        std::swap(lines[at], lines[random.Below(static_cast<unsigned>(lines.size()))]);
        break;
      case 2:
        lines.erase(lines.begin() + static_cast<long>(at));
        break;
      case 3:
        lines.insert(lines.begin() + static_cast<long>(at), Key(random) + "=" + Value(random, false));
        break;
      case 4:
        if (const size_t eq = lines[at].find('='); eq != std::string::npos)
          lines[at] = lines[at].substr(0, eq + 1) + Value(random, false);
        break;
      case 5:
        lines.insert(lines.begin() + static_cast<long>(at), "[" + Section(random) + "]");
        break;
      default:
        lines.insert(lines.begin() + static_cast<long>(at), "Zadnje_spajanje=" + IntegerText(random));
        break;
    }
  }
  file.Bytes.clear();
  for (const std::string& line : lines) file.Bytes += line + "\r\n";
  if (byteLevel) {
    file.IsText = false;
    for (unsigned m = 0, count = 1 + random.Below(20); m < count && !file.Bytes.empty(); ++m) {
      const size_t at = random.Below(static_cast<unsigned>(file.Bytes.size()));
      switch (random.Below(4)) {
        case 0:
          file.Bytes[at] = random.Byte();
          break;
        case 1:
          file.Bytes.insert(at, 1, random.Byte());
          break;
        case 2:
          file.Bytes.erase(at, 1 + random.Below(8));
          break;
        default:
          file.Bytes.insert(at, 1, "\0\r\n"[random.Below(3)]);
          break;
      }
    }
  }
  return file;
}

TFuzzFile HugeAndNul(TRandom& random) {
  TFuzzFile file{fkHugeAndNul, "[Spajanja]\r\n", true};
  for (unsigned i = 0, n = 1 + random.Below(6); i < n; ++i) {
    // Lengths on both sides of the 2047-character read limit, and far beyond.
    static const unsigned kLengths[] = {2046, 2047, 2048, 2049, 4095, 4096, 65536, 200000};
    const unsigned length = random.Chance(70) ? kLengths[random.Below(std::size(kLengths))] : random.Below(10000);
    std::string value;
    value.reserve(length);
    const char fill = static_cast<char>('A' + random.Below(26));
    for (unsigned k = 0; k < length; ++k) value += static_cast<char>(fill + (k % 7 == 6 ? 1 : 0));
    if (random.Chance(40)) {
      file.IsText = false;
      for (unsigned k = 0, nuls = 1 + random.Below(5); k < nuls; ++k)
        value.insert(random.Below(static_cast<unsigned>(value.size()) + 1), 1, '\0');
    }
    const unsigned where = random.Below(4);
    if (where == 0) {
      // A huge line that is no key at all, or a huge section name.
      file.Bytes += (random.Chance(50) ? "[" + value + "]" : value) + "\r\n";
    } else if (where == 1) {
      file.Bytes += "[Forma]\r\nRucni_unos_adresa=" + value + "\r\n[Spajanja]\r\n";
    } else {
      file.Bytes += SlotKey(random) + "=" + value + "\r\n";
    }
    file.Bytes += SlotKey(random) + "=" + Value(random, false) + "\r\n";
  }
  if (random.Chance(50)) file.Bytes += "[Forma]\r\nZadnje_spajanje=" + IntegerText(random) + "\r\n";
  return file;
}

TFuzzFile ManySections(TRandom& random) {
  TFuzzFile file{fkManySections, "", true};
  // Either thousands of sections, or thousands of keys in the sections the
  // launcher reads.
  const bool manyKeys = random.Chance(50);
  const unsigned sections = manyKeys ? 1 + random.Below(50) : 1000 + random.Below(2000);
  const unsigned keysEach = random.Chance(50) ? 1 + random.Below(3) : 0;
  const unsigned presetAt = random.Below(sections);
  for (unsigned s = 0; s < sections; ++s) {
    if (s == presetAt) {
      file.Bytes += "[Spajanja]\r\n";
      for (int n = 1; n <= 16; ++n)
        if (random.Chance(70)) {
          file.Bytes += "Sp" + std::to_string(n) + "_naziv=" + Word(random) + std::to_string(n) + "\r\n";
          file.Bytes +=
              "Sp" + std::to_string(n) + "_adresa=" + kAddresses[random.Below(std::size(kAddresses))] + "\r\n";
        }
    }
    file.Bytes += "[S" + std::to_string(s) + "]\r\n";
    for (unsigned k = 0; k < keysEach; ++k) file.Bytes += "K" + std::to_string(k) + "=" + std::to_string(s) + "\r\n";
  }
  if (manyKeys) {
    file.Bytes += "[Spajanja]\r\n";
    for (unsigned k = 0, n = 2000 + random.Below(8000); k < n; ++k)
      file.Bytes += "Sp" + std::to_string(17 + k) + "_naziv=" + std::to_string(k) + "\r\n";
  }
  file.Bytes += "[Forma]\r\n";
  if (manyKeys)
    for (unsigned k = 0, n = 1000 + random.Below(3000); k < n; ++k)
      file.Bytes += "Forma" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
  file.Bytes += "Zadnje_spajanje=" + std::to_string(random.Below(18)) + "\r\n";
  return file;
}

TFuzzFile ByteOrderMark(TRandom& random) {
  const std::string text = GrammarText(random, 5 + random.Below(40), true);
  TFuzzFile file{fkByteOrderMark, "", false};
  const unsigned form = random.Below(3);
  if (form == 0) {
    file.Bytes = "\xEF\xBB\xBF" + text;
  } else {
    // UTF-16: the ASCII text widened, little or big end first, sometimes
    // with a Croatian letter that only the wide form can hold.
    const bool little = form == 1;
    file.Bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    std::wstring wide(text.begin(), text.end());
    if (random.Chance(50))
      wide.insert(wide.find(L'=') == std::wstring::npos ? 0 : wide.find(L'=') + 1, L"\u010D\u0111");
    for (wchar_t c : wide) {
      const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
      file.Bytes += little ? std::string{low, high} : std::string{high, low};
    }
  }
  return file;
}

TFuzzFile IntegerEdges(TRandom& random) {
  TFuzzFile file{fkIntegerEdges, "[Spajanja]\r\n", true};
  for (int n = 1; n <= 16; ++n)
    file.Bytes += "Sp" + std::to_string(n) + "_naziv=Slot " + std::to_string(n) + "\r\nSp" + std::to_string(n) +
                  "_adresa=" + std::to_string(n) + ".example\r\n";
  file.Bytes += "[Forma]\r\n";
  if (random.Chance(80)) file.Bytes += "Zadnje_spajanje=" + IntegerText(random) + "\r\n";
  if (random.Chance(60)) file.Bytes += "Rucni_unos=" + IntegerText(random) + "\r\n";
  if (random.Chance(30)) file.Bytes += "Rucni_unos_adresa=" + Value(random, false) + "\r\n";
  // Trailing blanks belong to the line, which the platform trims on reading.
  for (char& c : file.Bytes)
    if (c == '\t' || c == '\x0b') file.IsText = false;
  return file;
}

TFuzzFile NameVariants(TRandom& random) {
  TFuzzFile file{fkNameVariants, "", true};
  for (unsigned i = 0, n = 3 + random.Below(30); i < n; ++i) {
    std::string section = Section(random);
    if (random.Chance(20)) section = " " + section + " ";
    file.Bytes += "[" + section + "]" + LineEnd(random);
    for (unsigned k = 0, keys = random.Below(12); k < keys; ++k) {
      std::string key = Key(random);
      // Letter case and blanks around a name are the platform's to match.
      if (random.Chance(20))
        for (char& c : key) c = static_cast<char>(random.Chance(50) ? toupper(c) : tolower(c));
      if (random.Chance(10)) key = " " + key;
      file.Bytes += key + (random.Chance(20) ? " =  " : "=") + Value(random, false) + LineEnd(random);
    }
  }
  return file;
}

}  // namespace

std::uint64_t TRandom::Next() {
  // splitmix64: every state gives a well-mixed output.
  std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

const char* FuzzKindName(TFuzzKind kind) { return kind < kFuzzKindCount ? kKindNames[kind] : "?"; }

const std::string& SampleSettings() {
  static const std::string sample = test::ReadText(e2e::HostPath(LODO_SAMPLE_INI_PATH));
  return sample;
}

TFuzzFile MakeFuzzFile(std::uint64_t seed, std::uint64_t index) {
  TRandom random(seed ^ (index * 0xD1B54A32D192ED03ull));
  random.Next();
  switch (static_cast<TFuzzKind>(index % kFuzzKindCount)) {
    case fkRandomBytes:
      return {fkRandomBytes, RandomBytes(random, random.Below(random.Chance(20) ? 65536 : 4096)), false};
    case fkSampleMutation:
      return SampleMutation(random);
    case fkGrammar:
      return {fkGrammar, GrammarText(random, 1 + random.Below(120), false), true};
    case fkHugeAndNul:
      return HugeAndNul(random);
    case fkManySections:
      return ManySections(random);
    case fkByteOrderMark:
      return ByteOrderMark(random);
    case fkIntegerEdges:
      return IntegerEdges(random);
    default:
      return NameVariants(random);
  }
}

std::uint64_t RunSeed() {
  const char* text = std::getenv("LODO_FUZZ_SEED");
  return text && *text ? std::strtoull(text, nullptr, 0) : kDefaultSeed;
}

bool FullRun() {
  const char* text = std::getenv("LODO_FUZZ_SCALE");
  return text && std::string(text) == "full";
}

long long OnlyCase() {
  const char* text = std::getenv("LODO_FUZZ_CASE");
  return text && *text ? std::strtoll(text, nullptr, 10) : -1;
}

}  // namespace lodo::fuzz

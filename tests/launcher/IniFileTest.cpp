// The settings file: the integer rule on its own, then reads and writes of
// real files through the platform's private-profile functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "launcher/IniFile.h"
#include "tests/launcher/LauncherFiles.h"
#include "tests/support/ImportPatch.h"

using namespace lodo;
using namespace lodo::test;

namespace {

struct TIntCase {
  const char* Text;
  bool Ok;
  std::int32_t Value;
};

void ExpectCases(std::initializer_list<TIntCase> cases) {
  for (const TIntCase& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.Text + "\"");
    std::int32_t value = 12345;
    const bool ok = ParseIniInteger(c.Text, value);
    EXPECT_EQ(ok, c.Ok);
    if (ok && c.Ok) {
      EXPECT_EQ(value, c.Value);
    }
  }
}

// A literal's bytes, NULs within it included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

}  // namespace

TEST(IniIntegerRule, Decimal) {
  ExpectCases({{"3", true, 3},
               {"+3", true, 3},
               {"-3", true, -3},
               {"0", true, 0},
               {"-0", true, 0},
               {"007", true, 7},
               {"2147483647", true, INT_MAX},
               {"-2147483648", true, INT_MIN}});
}

TEST(IniIntegerRule, EveryHexPrefix) {
  ExpectCases({{"$10", true, 16},
               {"x10", true, 16},
               {"X1f", true, 31},
               {"0x10", true, 16},
               {"0XaB", true, 171},
               {"$0", true, 0}});
}

TEST(IniIntegerRule, SignAppliesToHex) {
  ExpectCases(
      {{"-$10", true, -16}, {"+$10", true, 16}, {"-0x10", true, -16}, {"-x1", true, -1}, {"-$FFFFFFFF", true, 1}});
}

TEST(IniIntegerRule, HexIsASigned32BitPattern) {
  ExpectCases({{"$FFFFFFFF", true, -1},
               {"0xffffffff", true, -1},
               {"$80000000", true, INT_MIN},
               {"$7FFFFFFF", true, INT_MAX},
               {"-$80000000", true, INT_MIN}});
}

TEST(IniIntegerRule, LeadingZerosDoNotCountTowardsHexOverflow) {
  ExpectCases({{"$00000000000000001F", true, 31}, {"0x0000000000FFFFFFFF", true, -1}, {"$000000000", true, 0}});
}

TEST(IniIntegerRule, OverflowIsNoNumber) {
  ExpectCases({{"2147483648", false, 0},
               {"-2147483649", false, 0},
               {"99999999999999999999999", false, 0},
               {"$100000000", false, 0},
               {"0x1FFFFFFFF", false, 0},
               {"$FFFFFFFFFFFFFFFFFFFF", false, 0}});
}

TEST(IniIntegerRule, OnlySpacesMayLead) {
  ExpectCases({{"   7", true, 7}, {" -$10", true, -16}, {"\t7", false, 0}, {"- 7", false, 0}, {"$ 7", false, 0}});
}

TEST(IniIntegerRule, NothingMayFollowTheDigits) {
  ExpectCases({{"7 ", false, 0},
               {"1 ", false, 0},
               {"7x", false, 0},
               {"3three", false, 0},
               {"$1G", false, 0},
               {"1e3", false, 0},
               {"0x10 ", false, 0}});
}

TEST(IniIntegerRule, FragmentsAndWordsAreNoNumber) {
  ExpectCases({{"", false, 0},
               {"+", false, 0},
               {"-", false, 0},
               {"$", false, 0},
               {"0x", false, 0},
               {"x", false, 0},
               {"--1", false, 0},
               {"+-1", false, 0},
               {"$-1", false, 0},
               {"0x$1", false, 0},
               {"three", false, 0},
               {"true", false, 0},
               {"   ", false, 0}});
}

class IniFileOnDisk : public testing::Test {
 protected:
  TTempFolder Folder;
  std::string Path = Folder.Path() + "settings.ini";
};

TEST_F(IniFileOnDisk, MissingFileSectionOrKeyGiveTheDefault) {
  TIniFile missing(Folder.Path() + "none.ini");
  EXPECT_EQ(missing.ReadString("Forma", "Rucni_unos_adresa", "dflt"), "dflt");
  EXPECT_EQ(missing.ReadInteger("Forma", "Zadnje_spajanje", 9), 9);
  EXPECT_TRUE(missing.ReadBool("Forma", "Rucni_unos", true));

  WriteText(Path, "[Forma]\r\nZadnje_spajanje=4\r\n");
  TIniFile ini(Path);
  EXPECT_EQ(ini.ReadString("Forma", "Zadnje_spajanje", ""), "4");
  EXPECT_EQ(ini.ReadString("Forma", "Other", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("Spajanja", "Zadnje_spajanje", -2), -2);
  // Reading never makes a file appear.
  EXPECT_FALSE(IsFile(Folder.Path() + "none.ini"));
}

TEST_F(IniFileOnDisk, IntegersFromTheFileFollowTheRule) {
  WriteText(Path, "[S]\r\na=$10\r\nb=-$10\r\nc=0x3\r\nd=three\r\ne=\r\nf=3x\r\ng=$FFFFFFFF\r\nh=4294967296\r\n");
  TIniFile ini(Path);
  EXPECT_EQ(ini.ReadInteger("S", "a", 7), 16);
  EXPECT_EQ(ini.ReadInteger("S", "b", 7), -16);
  EXPECT_EQ(ini.ReadInteger("S", "c", 7), 3);
  EXPECT_EQ(ini.ReadInteger("S", "d", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "e", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "f", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "g", 7), -1);
  EXPECT_EQ(ini.ReadInteger("S", "h", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "missing", 7), 7);
}

TEST_F(IniFileOnDisk, BooleansAreNonZeroIntegers) {
  WriteText(Path, "[Forma]\r\nt1=1\r\nt2=-1\r\nt3=2\r\nt4=0x10\r\nf1=0\r\nf2=true\r\nf3=yes\r\nf4=\r\nf5=$0\r\n");
  TIniFile ini(Path);
  for (const char* key : {"t1", "t2", "t3", "t4"}) EXPECT_TRUE(ini.ReadBool("Forma", key, false)) << key;
  for (const char* key : {"f1", "f2", "f3", "f4", "f5", "missing"})
    EXPECT_FALSE(ini.ReadBool("Forma", key, false)) << key;
  // A value that is no number gives the default, whichever it is; 0 stays 0.
  EXPECT_TRUE(ini.ReadBool("Forma", "f2", true));
  EXPECT_TRUE(ini.ReadBool("Forma", "missing", true));
  EXPECT_FALSE(ini.ReadBool("Forma", "f1", true));
  // "1 " is no number by the rule; the file cannot show it, as the
  // platform's reader drops the blanks around a value.
  std::int32_t v = 0;
  EXPECT_FALSE(ParseIniInteger("1 ", v));
  WriteText(Path, "[Forma]\r\nk=  1  \r\n");
  EXPECT_EQ(ini.ReadString("Forma", "k", ""), "1");
  EXPECT_TRUE(ini.ReadBool("Forma", "k", false));
}

TEST_F(IniFileOnDisk, LongValuesReadAsTheirFirst2047Characters) {
  std::string value;
  for (int i = 0; i < 5000; ++i) value += static_cast<char>('a' + i % 26);
  WriteText(Path, "[S]\r\nexact=" + value.substr(0, 2047) + "\r\none_more=" + value.substr(0, 2048) +
                      "\r\nlong=" + value + "\r\nafter=ok\r\n");
  TIniFile ini(Path);
  EXPECT_EQ(ini.ReadString("S", "exact", ""), value.substr(0, 2047));
  EXPECT_EQ(ini.ReadString("S", "one_more", ""), value.substr(0, 2047));
  EXPECT_EQ(ini.ReadString("S", "long", ""), value.substr(0, 2047));
  EXPECT_EQ(ini.ReadString("S", "after", ""), "ok");
}

// A section read whole must answer every key exactly as the platform's read
// of that one key: letter case, duplicates, quotes, blanks, lines without
// '=', values around the 2047-character limit, other sections of the same
// name, bytes above 127 and files in other encodings.
TEST_F(IniFileOnDisk, ASectionReadWholeAnswersEveryKeyAsThePlatformDoes) {
  const std::string x2046(2046, 'x'), x2047(2047, 'y'), x2048(2048, 'z');
  const std::vector<std::string> files = {
      "[S]\r\nKey=first\r\nkey=second\r\n  Spaced  =  two words  \r\nnovalue\r\nempty=\r\n;a=comment\r\n"
      "a=1\r\n#h=hash\r\n[T]\r\na=t\r\n[s]\r\nb=second section\r\n",
      "[S]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"mixed'\r\nq4=\"\r\nq5=\"\"\r\nq6=''\r\nq7=\"a\"b\"\r\n"
      "q8= \"x\" \r\nq9=\"\"\"\r\nq10=x\"\r\n",
      "[S]\r\nl1=" + x2047 + "\r\nl2=" + x2048 + "\r\nl3=\"" + x2046 + "\"\r\nl4=\"" + x2047 + "\"\r\nl5=\"" + x2048 +
          "\"\r\nl6='" + x2048 + x2048 + "'\r\n",
      "[S]\r\n\xC8"
      "a=upper\r\n\xE8"
      "a=lower\r\n\x9Ax=\xE6\xF0\r\nKEY=\x80\xFF\r\n",
      "\xEF\xBB\xBF[S]\r\nSp1_naz\xC4\xB0v=dotted\r\n\xC5\xBFp=long s\r\n\xE2\x84\xAA"
      "ey=kelvin\r\nKey=plain\r\n"
      "\xC3\x89t\xC3\xA9=accents\r\n",
      Bytes("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0w\0i\0d\0e\0\r\0\n\0"),
      Bytes("[S]\r\na\0b=nul\r\nc=d\0e\r\n"),
  };
  // The names asked for, between bars.
  const std::string names =
      "Key|key|KEY|Spaced|spaced|novalue|empty|#h| a|a |a|A|b|q1|q2|q3|q4|q5|q6|q7|q8|q9|q10|l1|l2|l3|l4|l5|l6|"
      "\xC8"
      "a|\xE8"
      "a|\x8Ax|\x9Ax|sp1_naziv|SP1_NAZIV|sp|Sp|k|ey|\xC9t\xE9|\xE9t\xE9|c|f||missing";
  std::vector<std::string> keys;
  for (size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
    bar = names.find('|', start);
    keys.push_back(names.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
  }
  char platform[2048];
  for (size_t f = 0; f < files.size(); ++f) {
    WriteText(Path, files[f]);
    TIniFile ini(Path);
    for (const char* section : {"S", "s", "T", "none"}) {
      const TIniSection whole = ini.ReadSection(section);
      for (const std::string& key : keys)
        for (const char* fallback : {"", "dflt"})
          EXPECT_EQ(WideToAnsi(whole.ReadString(key, AnsiToWide(fallback))),
                    std::string(platform,
                                GetPrivateProfileStringA(section, key.c_str(), fallback, platform, 2048, Path.c_str())))
              << "file " << f << ", [" << section << "] " << key << ", default \"" << fallback << "\"";
      EXPECT_EQ(whole.ReadInteger("a", 7), ini.ReadInteger(section, "a", 7));
      EXPECT_EQ(whole.ReadBool("novalue", true), ini.ReadBool(section, "novalue", true));
    }
  }
}

TEST_F(IniFileOnDisk, WritesDecimalTextAndKeepsTheRest) {
  WriteText(Path, "[Spajanja]\r\nSp1_naziv=Ured\r\n[Forma]\r\nRucni_unos_adresa=stari\r\nZadnje_spajanje=$5\r\n");
  {
    TIniFile ini(Path);
    ini.WriteInteger("Forma", "Zadnje_spajanje", 12);
    ini.WriteInteger("Forma", "Negative", -42);
    ini.WriteInteger("Forma", "Min", INT_MIN);
    ini.WriteBool("Forma", "Rucni_unos", true);
    ini.WriteBool("Forma", "Off", false);
    ini.WriteString("Forma", "Text", "a b");
  }
  EXPECT_EQ(ProfileString(Path, "Forma", "Zadnje_spajanje"), "12");
  EXPECT_EQ(ProfileString(Path, "Forma", "Negative"), "-42");
  EXPECT_EQ(ProfileString(Path, "Forma", "Min"), "-2147483648");
  EXPECT_EQ(ProfileString(Path, "Forma", "Rucni_unos"), "1");
  EXPECT_EQ(ProfileString(Path, "Forma", "Off"), "0");
  EXPECT_EQ(ProfileString(Path, "Forma", "Text"), "a b");
  EXPECT_EQ(ProfileString(Path, "Forma", "Rucni_unos_adresa"), "stari");
  EXPECT_EQ(ProfileSection(Path, "Spajanja"), std::vector<std::string>{"Sp1_naziv=Ured"});
  // What was written reads back through the rule.
  TIniFile again(Path);
  EXPECT_EQ(again.ReadInteger("Forma", "Min", 0), INT_MIN);
  EXPECT_TRUE(again.ReadBool("Forma", "Rucni_unos", false));
}

TEST_F(IniFileOnDisk, FirstWriteCreatesTheFile) {
  {
    TIniFile ini(Path);
    ini.WriteBool("Forma", "Rucni_unos", false);
  }
  EXPECT_TRUE(IsFile(Path));
  EXPECT_EQ(ProfileSectionNames(Path), std::vector<std::string>{"Forma"});
  EXPECT_EQ(ProfileSection(Path, "Forma"), std::vector<std::string>{"Rucni_unos=0"});
}

namespace {
// Replaces the file's bytes and dates it back to a fixed old time, so the
// platform's cache, which trusts an unchanged and not recent file time,
// cannot see the change.
void RewriteDatedBack(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  SYSTEMTIME old{};
  old.wYear = 2020;
  old.wMonth = 1;
  old.wDay = 1;
  FILETIME time{};
  SystemTimeToFileTime(&old, &time);
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}
}  // namespace

TEST_F(IniFileOnDisk, ReleaseWritesTheFileAndDropsThePlatformsCopy) {
  WriteText(Path, "[Forma]\r\nRucni_unos=0\r\n");
  {
    TIniFile ini(Path);
    ini.WriteString("Forma", "Zadnje_spajanje", "1");
  }
  // The raw bytes, not the platform's view.
  EXPECT_NE(ReadText(Path).find("Zadnje_spajanje=1"), std::string::npos);

  // After an object that only read, an edit by hand that keeps the file's
  // time is what the next object reads.
  RewriteDatedBack(Path, "[Forma]\r\nRucni_unos_adresa=old.host\r\n");
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, Path.c_str());
  EXPECT_EQ(TIniFile(Path).ReadString("Forma", "Rucni_unos_adresa", ""), "old.host");
  RewriteDatedBack(Path, "[Forma]\r\nRucni_unos_adresa=new.host\r\n");
  EXPECT_EQ(TIniFile(Path).ReadString("Forma", "Rucni_unos_adresa", ""), "new.host");
}

namespace {
// Runs every write operation and checks each fails with the path named.
void ExpectEveryWriteFails(const std::string& path) {
  TIniFile ini(path);
  const std::string expected = "Unable to write to " + path;
  try {
    ini.WriteString("Forma", "Rucni_unos_adresa", "x");
    ADD_FAILURE() << "WriteString did not fail";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), expected);
  }
  EXPECT_THROW(ini.WriteInteger("Forma", "Zadnje_spajanje", 3), EIniFileException);
  EXPECT_THROW(ini.WriteBool("Forma", "Rucni_unos", true), EIniFileException);
}
}  // namespace

TEST_F(IniFileOnDisk, WriteToAFolderNamedLikeTheFileFails) {
  ASSERT_TRUE(CreateDirectoryA(Path.c_str(), nullptr));
  ExpectEveryWriteFails(Path);
  // Reads from it are only defaults.
  EXPECT_EQ(TIniFile(Path).ReadString("Forma", "Rucni_unos_adresa", "d"), "d");
}

TEST_F(IniFileOnDisk, WriteIntoAMissingFolderFails) { ExpectEveryWriteFails(Folder.Path() + "gone\\settings.ini"); }

TEST_F(IniFileOnDisk, WriteToAFileHeldWithoutSharingFails) {
  WriteText(Path, "[Forma]\r\nRucni_unos=0\r\n");
  HANDLE held = CreateFileA(Path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ExpectEveryWriteFails(Path);
  CloseHandle(held);
  EXPECT_EQ(ProfileString(Path, "Forma", "Rucni_unos"), "0");
}

namespace {
// Whether the platform itself refuses a profile write to `path`; the
// settings object must agree with it, raising exactly when it refuses.
void ExpectSameOutcomeAsThePlatform(const std::string& probe, const std::string& path) {
  const bool refused = !WritePrivateProfileStringA("Forma", "Probe", "1", probe.c_str());
  testing::Test::RecordProperty("platform_refuses", refused ? "yes" : "no");
  if (refused) {
    ExpectEveryWriteFails(path);
  } else {
    TIniFile ini(path);
    EXPECT_NO_THROW(ini.WriteInteger("Forma", "Zadnje_spajanje", 3));
    EXPECT_EQ(ProfileString(path, "Forma", "Zadnje_spajanje"), "3");
  }
}
}  // namespace

// Windows refuses to write into a read-only file, and so does lodo under
// Wine too, whose own writer goes through for a root user (the test machines).
TEST_F(IniFileOnDisk, ReadOnlyFileIsNeverWritten) {
  WriteText(Path, "[Forma]\r\n");
  ASSERT_TRUE(SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY));
  ExpectEveryWriteFails(Path);
}

// A read-only attribute on a folder does not stop file creation on Windows;
// Wine does not even keep it on folders.
TEST_F(IniFileOnDisk, ReadOnlyFolderFailsExactlyWhenThePlatformRefuses) {
  const std::string sub = Folder.Path() + "ro";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  SetFileAttributesA(sub.c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectSameOutcomeAsThePlatform(sub + "\\probe.ini", sub + "\\settings.ini");
}

namespace {
void* gWriteFile = nullptr;
// Half the bytes reach the disk, then it is full.
BOOL WINAPI WriteHalfThenFail(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  reinterpret_cast<decltype(&WriteFile)>(gWriteFile)(file, data, size / 2, written, nullptr);
  return FALSE;
}
}  // namespace

TEST_F(IniFileOnDisk, AWriteThatFailsMidwayLeavesTheOldFileWholeAndNothingBeside) {
  WriteText(Path, "[Forma]\r\nRucni_unos=0\r\n");
  TImportPatch patch("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&WriteHalfThenFail));
  gWriteFile = patch.Original();
  EXPECT_THROW(TIniFile(Path).WriteString("Forma", "Rucni_unos_adresa", std::string(5000, 'x')), EIniFileException);
  EXPECT_EQ(ReadText(Path), "[Forma]\r\nRucni_unos=0\r\n");
  WIN32_FIND_DATAA found;
  EXPECT_EQ(FindFirstFileA((Folder.Path() + "~*").c_str(), &found), INVALID_HANDLE_VALUE);
}

TEST_F(IniFileOnDisk, AnAnsiFileThatMustHoldALetterItsCodePageLacksBecomesUtf8) {
  WriteText(Path, "[Forma]\r\nRucni_unos=0\r\n");
  TIniFile(Path).WriteString("Forma", "Rucni_unos_adresa", std::wstring(L"\u03A9mega"));
  EXPECT_EQ(ReadText(Path), "[Forma]\r\nRucni_unos=0\r\nRucni_unos_adresa=\xCE\xA9mega\r\n");
}

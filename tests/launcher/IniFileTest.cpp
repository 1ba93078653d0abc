// The settings file: the integer rule on its own, then reads and writes of
// real files through the platform's private-profile functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "launcher/IniFile.h"
#include "tests/launcher/LauncherFiles.h"

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

// Windows refuses to replace a read-only file. Wine keeps the attribute as
// missing write permission bits, which a root user (the test machines) is
// not held to, so there the write goes through.
TEST_F(IniFileOnDisk, ReadOnlyFileFailsExactlyWhenThePlatformRefuses) {
  const std::string probe = Folder.Path() + "probe.ini";
  for (const std::string& p : {probe, Path}) {
    WriteText(p, "[Forma]\r\nRucni_unos=0\r\n");
    ASSERT_TRUE(SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(GetFileAttributesA(p.c_str()) & FILE_ATTRIBUTE_READONLY);
  }
  ExpectSameOutcomeAsThePlatform(probe, Path);
}

// A read-only attribute on a folder does not stop file creation on Windows;
// Wine does not even keep it on folders.
TEST_F(IniFileOnDisk, ReadOnlyFolderFailsExactlyWhenThePlatformRefuses) {
  const std::string sub = Folder.Path() + "ro";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  SetFileAttributesA(sub.c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectSameOutcomeAsThePlatform(sub + "\\probe.ini", sub + "\\settings.ini");
}

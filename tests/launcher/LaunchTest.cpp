// The reverse-connect command, the blank trimming, the server-file check
// and the messages that name a start failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/Text.h"
#include "launcher/Launch.h"
#include "launcher/ProgramFolder.h"
#include "tests/launcher/LauncherFiles.h"

using namespace lodo;
using namespace lodo::test;

TEST(ConnectCommand, QuotedProgramPathOptionAndAddressAsGiven) {
  EXPECT_EQ(BuildConnectCommand("C:\\lodo\\", "10.0.0.5::5500"), "\"C:\\lodo\\winvnc.exe\" -connect 10.0.0.5::5500");
  // The address is passed exactly: blanks and inner spaces untouched, no quotes.
  EXPECT_EQ(BuildConnectCommand("C:\\lodo\\", " a b "), "\"C:\\lodo\\winvnc.exe\" -connect  a b ");
  EXPECT_EQ(BuildConnectCommand("C:\\lodo\\", ""), "\"C:\\lodo\\winvnc.exe\" -connect ");
}

TEST(ConnectCommand, FolderWithSpacesStaysOneQuotedPath) {
  const std::string command = BuildConnectCommand("C:\\Program Files\\Podrska lodo\\", "host");
  EXPECT_EQ(command, "\"C:\\Program Files\\Podrska lodo\\winvnc.exe\" -connect host");
  EXPECT_EQ(std::count(command.begin(), command.end(), '"'), 2);
}

TEST(ConnectCommand, LongAddressIsKeptWhole) {
  std::string address;
  for (int i = 0; i < 300; ++i) address += static_cast<char>('a' + i % 26);
  const std::string folder = "C:\\Program Files\\lodo\\";
  const std::string command = BuildConnectCommand(folder, address);
  EXPECT_GT(command.size(), 255u);
  EXPECT_EQ(command.size(), 1 + folder.size() + 10 + 1 + 10 + address.size());
  EXPECT_EQ(command.substr(command.size() - address.size()), address);
  // A folder near the path limit does not cut the address either.
  const std::string deep = "C:\\" + std::string(240, 'd') + "\\";
  EXPECT_EQ(BuildConnectCommand(deep, address).substr(deep.size() + 22), address);
}

TEST(TrimControl, RemovesCodesUpTo32FromBothEndsOnly) {
  EXPECT_EQ(TrimControl("  host.example \t\r\n"), "host.example");
  EXPECT_EQ(TrimControl(std::string("\x01\x1f host a \x7f", 12)), "host a \x7f");
  EXPECT_EQ(TrimControl(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(TrimControl(" \t "), "");
  EXPECT_EQ(TrimControl(""), "");
  // 8-bit ANSI letters are above 32 even where char is signed.
  EXPECT_EQ(TrimControl("\xE8"
                        "ak\xA0"),
            "\xE8"
            "ak\xA0");
}

TEST(ServerFile, PresentMissingOrFolder) {
  TTempFolder folder;
  const std::string server = folder.Path() + "winvnc.exe";
  EXPECT_EQ(CheckServerFile(server), TServerCheck::scMissing);
  ASSERT_TRUE(CreateDirectoryA(server.c_str(), nullptr));
  EXPECT_EQ(CheckServerFile(server), TServerCheck::scDirectory);
  RemovePath(server);
  WriteText(server, "");
  EXPECT_EQ(CheckServerFile(server), TServerCheck::scPresent);
}

TEST(ServerFile, LookedForBesideTheExecutable) {
  EXPECT_EQ(ProgramFolder(), ExeFolder());
  EXPECT_EQ(ServerPath(), ExeFolder() + "winvnc.exe");
  EXPECT_EQ(SettingsPath(), ExeFolder() + "lodo.ini");
  EXPECT_EQ(FolderOf("C:lodo.exe"), "C:");
  EXPECT_EQ(FolderOf("lodo.exe"), "");
}

TEST(StartFailure, MessageNamesTheServerAndADistinctReason) {
  const std::string server = "C:\\Program Files\\lodo\\winvnc.exe";
  const std::wstring path = AnsiToWide(server);
  std::vector<std::wstring> messages = {StartFailureMessage(server, TServerCheck::scMissing, 0),
                                        StartFailureMessage(server, TServerCheck::scDirectory, 0)};
  for (unsigned code : {0u, 2u, 3u, 5u, 11u, 31u})
    messages.push_back(StartFailureMessage(server, TServerCheck::scPresent, code));
  for (size_t i = 0; i < messages.size(); ++i) {
    EXPECT_NE(messages[i].find(path), std::wstring::npos) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(messages[i], messages[j]) << i << " " << j;
  }
  EXPECT_NE(messages[0].find(L"ne postoji"), std::wstring::npos);
  EXPECT_NE(messages[1].find(L"mapa"), std::wstring::npos);
  // An unknown code is shown as its number.
  EXPECT_NE(messages.back().find(L"31"), std::wstring::npos);
}

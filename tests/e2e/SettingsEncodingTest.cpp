// Settings files as Windows editors save them, through the real lodo.exe:
// what each slot shows, a connect, and the file's bytes after the save.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Text.h"
#include "tests/e2e/FaultSupport.h"
#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Accessibility.h"

using namespace lodo::e2e;

namespace {

const wchar_t* const kPresets[16][2] = {
    {L"Čakovec", L"ck.example"},     {L"Đakovo", L"dakovo.example"},    {L"Šibenik", L"si.example"},
    {L"Požega", L"pz.example::1"},   {L"München", L"muenchen.example"}, {L"Düsseldorf", L"dus.example"},
    {L"Gießen", L"giessen.example"}, {L"Köln-Süd", L"koeln.example"},   {L"Αθήνα", L"αθήνα.example"},
    {L"Θεσσαλονίκη", L"th.example"}, {L"Ηράκλειο", L"10.0.0.11"},       {L"Πάτρα", L"patra.example"},
    {L"Москва", L"москва.example"},  {L"Београд", L"beograd.example"},  {L"Київ", L"kyiv.example"},
    {L"София", L"sofia.example"}};

enum TFileForm { ffUtf8, ffUtf8Mark, ffUtf16Mark, ffAnsi };

// The text as an editor saves it; nothing when the ANSI code page lacks a letter.
std::optional<std::string> Saved(const std::wstring& text, TFileForm form) {
  if (form == ffAnsi) return lodo::WideToAnsiExact(text);
  if (form != ffUtf16Mark) return (form == ffUtf8Mark ? "\xEF\xBB\xBF" : "") + lodo::WideToUtf8(text);
  return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size());
}

class SettingsEncoding : public testing::TestWithParam<TFileForm> {};

}  // namespace

// [Spajanja] is on line 1, where Windows' own reader loses a section after
// a UTF-8 mark. The host and the last slot are rewritten in place, the
// manual switch added.
TEST_P(SettingsEncoding, NamesShowAsWrittenAndTheSaveKeepsTheFilesForm) {
  lodo::test::TComApartment apartment;
  std::wstring presets;
  std::vector<int> shown;  // an ANSI file holds the names its code page has letters for
  for (int n = 1; n <= 16; ++n) {
    const std::wstring i = std::to_wstring(n), name = kPresets[n - 1][0], address = kPresets[n - 1][1];
    const std::wstring lines = L"Sp" + i + L"_naziv=" + name + L"\r\nSp" + i + L"_adresa=" + address + L"\r\n";
    if (Saved(lines, GetParam())) presets += lines, shown.push_back(n);
  }
  const std::wstring file = L"[Spajanja]\r\n" + presets + L"; Grüße\n\r\n[Forma]\r\nRucni_unos_adresa=" +
                            (GetParam() == ffAnsi ? L"Müller-pc" : L"Ωmega-čvor") + L"\r\nZadnje_spajanje=1\r\n";
  TProgramFolder folder("lodo encoding");
  folder.WriteSettings(*Saved(file, GetParam()));
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  TRemoteProcess process(launcher.Window());
  for (int n : shown) {
    SCOPED_TRACE(n);
    const HWND slot = launcher.SlotWindow(n);
    wchar_t caption[64] = {}, tip[64] = {};
    GetWindowTextW(slot, caption, 64);
    EXPECT_STREQ(caption, kPresets[n - 1][0]);
    const auto atom = static_cast<ATOM>(process.Call("TooltipTextAtom", reinterpret_cast<UINT_PTR>(slot)));
    GlobalGetAtomNameW(atom, tip, 64);
    GlobalDeleteAtom(atom);
    EXPECT_STREQ(tip, kPresets[n - 1][1]);
    const auto facts = lodo::test::ReadFacts(lodo::test::ClientObject(slot).Get());
    EXPECT_EQ(facts.Name, kPresets[n - 1][0]);
    EXPECT_EQ(facts.Description, kPresets[n - 1][1]);
  }
  launcher.ClickSlot(5);
  launcher.ClickConnect();
  ASSERT_TRUE(launcher.WaitExit(15000));
  ASSERT_TRUE(folder.WaitForRecord());
  EXPECT_EQ(folder.RecordedCommand(), folder.CommandFor("muenchen.example"));
  EXPECT_EQ(folder.ReadSettings(), *Saved(file.substr(0, file.size() - 3) + L"5\r\nRucni_unos=0\r\n", GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Forms, SettingsEncoding, testing::Values(ffUtf8, ffUtf8Mark, ffUtf16Mark, ffAnsi));

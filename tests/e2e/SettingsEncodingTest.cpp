// The settings file as Windows editors save it, through the real lodo.exe:
// sixteen names in four scripts in each encoding, read back from the
// running window as a user and a screen reader meet them, then a connect
// and the file's bytes after the save.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Text.h"
#include "tests/e2e/FaultSupport.h"
#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Accessibility.h"

using namespace lodo::e2e;

namespace {

struct TPreset {
  int Slot;
  const wchar_t* Name;
  const wchar_t* Address;
};
const TPreset kPresets[] = {
    {1, L"Čakovec", L"ck.example"},         {2, L"Đakovo", L"dakovo.example"},
    {3, L"Šibenik", L"si.example"},         {4, L"Požega", L"pozega.example::5500"},
    {5, L"München", L"muenchen.example"},   {6, L"Düsseldorf", L"duesseldorf.example"},
    {7, L"Gießen", L"giessen.example"},     {8, L"Köln-Süd", L"koeln.example"},
    {9, L"Αθήνα", L"αθήνα.example"},        {10, L"Θεσσαλονίκη", L"thessaloniki.example"},
    {11, L"Ηράκλειο", L"10.0.0.11"},        {12, L"Πάτρα", L"patra.example"},
    {13, L"Москва", L"москва.example"},     {14, L"Београд", L"beograd.example"},
    {15, L"Київ", L"kyiv.example"},         {16, L"София", L"sofia.example"}};

enum TFileForm { ffUtf8, ffUtf8Mark, ffUtf16Mark, ffAnsi };

// The text as an editor saves it in that form; nothing for text that the
// ANSI code page cannot hold.
std::optional<std::string> Saved(const std::wstring& text, TFileForm form) {
  if (form == ffAnsi) return lodo::WideToAnsiExact(text);
  if (form != ffUtf16Mark) return (form == ffUtf8Mark ? "\xEF\xBB\xBF" : "") + lodo::WideToUtf8(text);
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

std::wstring TooltipOf(TRemoteProcess& process, HWND slot) {
  const auto atom = static_cast<ATOM>(process.Call("TooltipTextAtom", reinterpret_cast<UINT_PTR>(slot)));
  wchar_t text[256] = {};
  if (atom) GlobalGetAtomNameW(atom, text, 256);
  if (atom) GlobalDeleteAtom(atom);
  return text;
}

class SettingsEncoding : public testing::TestWithParam<TFileForm> {};

}  // namespace

// [Spajanja] is on line 1, where Windows' own reader loses a section after
// a UTF-8 mark; a line with LF alone and a comment stay as they are.
TEST_P(SettingsEncoding, NamesShowAsWrittenAndTheSaveKeepsTheFilesForm) {
  lodo::test::TComApartment apartment;
  const TFileForm form = GetParam();
  std::wstring presets;
  std::vector<TPreset> shown;
  for (const TPreset& p : kPresets) {
    const std::wstring n = std::to_wstring(p.Slot);
    const std::wstring lines = L"Sp" + n + L"_naziv=" + p.Name + L"\r\nSp" + n + L"_adresa=" + p.Address + L"\r\n";
    // An ANSI file holds the names its code page has letters for.
    if (!Saved(lines, form)) continue;
    presets += lines;
    shown.push_back(p);
  }
  ASSERT_GE(shown.size(), form == ffAnsi ? 5u : 16u);
  const std::wstring host = form == ffAnsi ? L"Müller-pc" : L"Ωmega-čvor";
  const std::wstring before = L"[Spajanja]\r\n" + presets + L"; Grüße\n\r\n[Forma]\r\nRucni_unos=0\r\nZadnje_spajanje=1";
  const std::wstring after = L"[Spajanja]\r\n" + presets + L"; Grüße\n\r\n[Forma]\r\nRucni_unos=0\r\nZadnje_spajanje=5" +
                             L"\r\nRucni_unos_adresa=" + host + L"\r\n";
  TProgramFolder folder("lodo encoding");
  folder.WriteSettings(*Saved(before, form));
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  TRemoteProcess process(launcher.Window());
  for (const TPreset& p : shown) {
    SCOPED_TRACE(p.Slot);
    const HWND slot = launcher.SlotWindow(p.Slot);
    wchar_t caption[256] = {};
    GetWindowTextW(slot, caption, 256);
    EXPECT_EQ(std::wstring(caption), p.Name);
    EXPECT_EQ(TooltipOf(process, slot), p.Address);
    const auto facts = lodo::test::ReadFacts(lodo::test::ClientObject(slot).Get());
    EXPECT_EQ(facts.Name, p.Name);
    EXPECT_EQ(facts.Description, p.Address);
  }
  // The host is typed in manual entry, then slot 5 is chosen and connected.
  launcher.ClickManual();
  launcher.TypeHost(host);
  launcher.ClickManual();
  launcher.ClickSlot(5);
  launcher.ClickConnect();
  ASSERT_TRUE(launcher.WaitExit(15000));
  ASSERT_TRUE(folder.WaitForRecord());
  EXPECT_EQ(folder.RecordedCommand(), "\"" + folder.Path() + "winvnc.exe\" -connect muenchen.example");
  EXPECT_EQ(folder.ReadSettings(), *Saved(after, form));
}

std::string FormName(const testing::TestParamInfo<TFileForm>& form) {
  return std::vector<std::string>{"Utf8", "Utf8WithMark", "Utf16WithMark", "Ansi"}[form.param];
}

INSTANTIATE_TEST_SUITE_P(Forms, SettingsEncoding, testing::Values(ffUtf8, ffUtf8Mark, ffUtf16Mark, ffAnsi), FormName);

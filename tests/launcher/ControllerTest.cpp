// The launcher window's controller on a real window: the load from lodo.ini
// beside the test executable, the manual switch and the slots, the save on
// close, the connect action up to (not including) a successful start, and
// the window as a screen reader reads and drives it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "controls/Modules.h"
#include "framework/Text.h"
#include "launcher/F_glavna.h"
#include "launcher/Launch.h"
#include "tests/launcher/LauncherFiles.h"
#include "tests/support/Accessibility.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/TestSupport.h"

using namespace lodo;
using namespace lodo::test;

namespace {

// Five presets; Sp2's address is an IP, Sp3's carries a port.
const std::string kPresets =
    "[Spajanja]\r\n"
    "Sp1_naziv=Ured\r\nSp1_adresa=ured.example\r\n"
    "Sp2_naziv=Skladiste\r\nSp2_adresa=10.0.0.2\r\n"
    "Sp3_naziv=Zagreb\r\nSp3_adresa=zg.example::5500\r\n"
    "Sp4_naziv=Split\r\nSp4_adresa=st.example\r\n"
    "Sp5_naziv=Glavni ured\r\nSp5_adresa=ri.example\r\n";

std::vector<int> SlotsWhere(const TF_glavna& form, bool (*test)(TSlotButton*)) {
  std::vector<int> slots;
  for (int n = 1; n <= kSlotCount; ++n)
    if (test(form.cx(n))) slots.push_back(n);
  return slots;
}
std::vector<int> CheckedSlots(const TF_glavna& form) {
  return SlotsWhere(form, [](TSlotButton* b) { return b->Checked(); });
}
std::vector<int> VisibleSlots(const TF_glavna& form) {
  return SlotsWhere(form, [](TSlotButton* b) { return b->Visible(); });
}

// A click as the button window itself produces it.
void ClickButton(TWinControl* button) {
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  Pump();
}

// A press and release of the left button inside a panel.
void ClickPanel(TWinControl* panel) {
  SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  Pump();
}

void TypeHost(TF_glavna& form, const char* text) {
  SetWindowTextA(form.E_hostname->Handle(), text);
  Pump();
}

std::string CurrentFolder() {
  char path[MAX_PATH * 4] = {};
  GetCurrentDirectoryA(sizeof(path), path);
  std::string s = path;
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

// Manual mode on exactly when the host row shows and the slot area does not,
// in the model and on screen.
void ExpectManualMode(TF_glavna& form, bool manual) {
  EXPECT_EQ(form.cxRucni_unos->Checked(), manual);
  EXPECT_EQ(SendMessageW(form.cxRucni_unos->Handle(), BM_GETCHECK, 0, 0), manual ? BST_CHECKED : BST_UNCHECKED);
  EXPECT_EQ(form.L_hostname->Visible(), manual);
  EXPECT_EQ(form.E_hostname->Visible(), manual);
  EXPECT_EQ(form.P_radni->Visible(), !manual);
  if (form.Visible()) {
    EXPECT_EQ(IsWindowVisible(form.E_hostname->Handle()) != FALSE, manual);
    EXPECT_EQ(IsWindowVisible(form.P_radni->Handle()) != FALSE, !manual);
  }
}

class Controller : public TErrorFreeTest {
 protected:
  // The window as the program makes it: constructed, then the creation event.
  std::unique_ptr<TF_glavna> Load() {
    auto form = std::make_unique<TF_glavna>();
    form->OnShowError = [this](const std::wstring& message) { Shown.push_back(message); };
    form->DoCreate();
    return form;
  }
  std::unique_ptr<TF_glavna> LoadShown() {
    auto form = Load();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(20);
    return form;
  }
  std::string Forma(const std::string& key) const { return ProfileString(Files.Ini(), "Forma", key); }

  TModulesScope Modules;
  TProgramFolderFiles Files;
  std::vector<std::wstring> Shown;
};

using ControllerLoad = Controller;
using ControllerToggle = Controller;
using ControllerSave = Controller;
using ControllerConnect = Controller;

}  // namespace

TEST_F(ControllerLoad, WithoutAFileEverythingStaysAtDesign) {
  TTempFolder elsewhere;
  SetCurrentDirectoryA(elsewhere.Path().c_str());
  auto form = Load();
  EXPECT_TRUE(VisibleSlots(*form).empty());
  EXPECT_TRUE(CheckedSlots(*form).empty());
  ExpectManualMode(*form, false);
  EXPECT_EQ(form->E_hostname->TextAnsi(), "");
  EXPECT_FALSE(form->IsLoading());
  // The load made the program folder current and wrote nothing.
  EXPECT_EQ(lstrcmpiA(CurrentFolder().c_str(), ExeFolder().c_str()), 0) << CurrentFolder();
  EXPECT_FALSE(IsFile(Files.Ini()));
}

TEST_F(ControllerLoad, SlotShownOnlyWithNameAndAddress) {
  Files.SetIni(
      "[Spajanja]\r\n"
      "Sp1_naziv=Ured\r\nSp1_adresa=ured.example\r\n"
      "Sp2_naziv=Bez adrese\r\n"
      "Sp3_naziv=Zagreb\r\nSp3_adresa=zg.example::5500\r\n"
      "Sp4_adresa=bez.naziva\r\n"
      "Sp5_naziv=Glavni ured\r\nSp5_adresa=a b\r\n"
      "Sp8_naziv=\" \"\r\nSp8_adresa=razmak\r\n"
      "Sp16_naziv=Zadnji\r\nSp16_adresa=16.example\r\n");
  auto form = Load();
  // A name of one (quoted) blank is a name: the load does not trim.
  EXPECT_EQ(VisibleSlots(*form), (std::vector<int>{1, 3, 5, 8, 16}));
  EXPECT_EQ(form->cx(1)->CaptionAnsi(), "Ured");
  EXPECT_EQ(form->cx(1)->HintAnsi(), "ured.example");
  EXPECT_EQ(form->cx(3)->HintAnsi(), "zg.example::5500");
  EXPECT_EQ(form->cx(5)->CaptionAnsi(), "Glavni ured");
  EXPECT_EQ(form->cx(5)->HintAnsi(), "a b");
  EXPECT_EQ(form->cx(8)->CaptionAnsi(), " ");
  EXPECT_EQ(form->cx(16)->CaptionAnsi(), "Zadnji");
  EXPECT_EQ(form->cx(16)->HintAnsi(), "16.example");
  EXPECT_NE(form->cx(2)->HintAnsi(), "bez.naziva");
  EXPECT_NE(form->cx(4)->HintAnsi(), "bez.naziva");
  EXPECT_TRUE(CheckedSlots(*form).empty());
}

namespace {
DWORD WINAPI NoProfile(...) { return 0; }
}  // namespace

// Windows' profile reader loses a section after a UTF-8 mark (Wine's reads
// it); with the platform's readers taken out, lodo's own load shows it.
TEST_F(ControllerLoad, UTF8FileWithAMarkLoadsWithoutThePlatformsReader) {
  Files.SetIni(
      "\xEF\xBB\xBF[Spajanja]\r\nSp1_naziv=\xC4\x8C"
      "akovec\r\nSp1_adresa=ck.example\r\n");
  std::vector<std::unique_ptr<TImportPatch>> patches;
  for (const char* name : {"GetPrivateProfileStringA", "GetPrivateProfileStringW", "GetPrivateProfileSectionW"})
    patches.push_back(std::make_unique<TImportPatch>("kernel32.dll", name, reinterpret_cast<void*>(&NoProfile)));
  EXPECT_EQ(Load()->cx(1)->Caption(), L"\u010Cakovec");
}

TEST_F(ControllerLoad, KeysWithOtherIndicesAreIgnored) {
  Files.SetIni(
      "[Spajanja]\r\n"
      "Sp0_naziv=Nula\r\nSp0_adresa=0.example\r\n"
      "Sp17_naziv=Sedamnaest\r\nSp17_adresa=17.example\r\n"
      "Sp01_naziv=Jedan\r\nSp01_adresa=01.example\r\n"
      "Sp2_naziv=Dva\r\nSp02_adresa=02.example\r\n"
      "Sp3_naziv=Tri\r\nSp3_adresa=3.example\r\n"
      "[Forma]\r\nZadnje_spajanje=17\r\n");
  auto form = Load();
  EXPECT_EQ(VisibleSlots(*form), std::vector<int>{3});
  EXPECT_TRUE(CheckedSlots(*form).empty());
}

struct TLastCase {
  const char* Text;
  int Slot;  // 0: none
};

void PrintTo(const TLastCase& c, std::ostream* out) { *out << '"' << c.Text << "\" -> " << c.Slot; }

// Test names from the value, with every character that may not appear spelled out.
std::string LastCaseName(const testing::TestParamInfo<TLastCase>& info) {
  std::string name = "i" + std::to_string(info.index) + "_";
  for (const char* p = info.param.Text; *p; ++p) {
    const char c = *p;
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
      name += c;
    else if (c == '$')
      name += "Dollar";
    else if (c == '+')
      name += "Plus";
    else if (c == '-')
      name += "Minus";
  }
  return name + "_slot" + std::to_string(info.param.Slot);
}

class ControllerLastConnection : public Controller, public testing::WithParamInterface<TLastCase> {};

TEST_P(ControllerLastConnection, SelectsOnlyANumberNamingAShownSlot) {
  Files.SetIni(kPresets + "Sp6_naziv=Bez adrese\r\n[Forma]\r\nZadnje_spajanje=" + GetParam().Text + "\r\n");
  auto form = Load();
  const std::vector<int> expected = GetParam().Slot ? std::vector<int>{GetParam().Slot} : std::vector<int>{};
  EXPECT_EQ(CheckedSlots(*form), expected);
  ExpectManualMode(*form, false);
}

INSTANTIATE_TEST_SUITE_P(Values, ControllerLastConnection,
                         testing::Values(TLastCase{"3", 3}, TLastCase{"0x3", 3}, TLastCase{"$3", 3}, TLastCase{"+3", 3},
                                         TLastCase{"5", 5}, TLastCase{"three", 0}, TLastCase{"0", 0},
                                         TLastCase{"17", 0}, TLastCase{"-3", 0}, TLastCase{"$FFFFFFFD", 0},
                                         TLastCase{"3x", 0}, TLastCase{"6", 0}),
                         LastCaseName);

TEST_F(ControllerLoad, ManualModeIsRestoredWhole) {
  Files.SetIni(kPresets + "[Forma]\r\nRucni_unos=1\r\nRucni_unos_adresa=pc-42.local\r\nZadnje_spajanje=2\r\n");
  auto form = LoadShown();
  ExpectManualMode(*form, true);
  EXPECT_EQ(form->E_hostname->TextAnsi(), "pc-42.local");
  // The slots are loaded behind the hidden area, the last one still chosen.
  EXPECT_EQ(VisibleSlots(*form), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(CheckedSlots(*form), std::vector<int>{2});

  ClickButton(form->cxRucni_unos);
  ExpectManualMode(*form, false);
  EXPECT_EQ(CheckedSlots(*form), std::vector<int>{2});
  EXPECT_TRUE(IsWindowVisible(form->cx(2)->Handle()));
  EXPECT_EQ(SendMessageW(form->cx(2)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ControllerLoad, ManualSwitchReadsAsABoolean) {
  const std::pair<const char*, bool> cases[] = {{"0x10", true},  {"-1", true},   {"2", true},
                                                {"true", false}, {"yes", false}, {"0", false}};
  for (const auto& [text, manual] : cases) {
    SCOPED_TRACE(text);
    Files.SetIni(std::string("[Forma]\r\nRucni_unos=") + text + "\r\n");
    auto form = Load();
    ExpectManualMode(*form, manual);
  }
}

TEST_F(ControllerLoad, SavedHostNameFillsTheHiddenEdit) {
  Files.SetIni("[Forma]\r\nRucni_unos=0\r\nRucni_unos_adresa=remote.example\r\n");
  auto form = Load();
  ExpectManualMode(*form, false);
  EXPECT_EQ(form->E_hostname->TextAnsi(), "remote.example");
}

TEST_F(ControllerLoad, LongValuesReachTheControlsWhole) {
  std::string name, address, host;
  for (int i = 0; i < 2047; ++i) {
    name += static_cast<char>('a' + i % 26);
    address += static_cast<char>('0' + i % 10);
    host += static_cast<char>('A' + i % 26);
  }
  Files.SetIni("[Spajanja]\r\nSp7_naziv=" + name + "\r\nSp7_adresa=" + address +
               "\r\n[Forma]\r\nRucni_unos_adresa=" + host + "\r\n");
  auto form = LoadShown();
  EXPECT_EQ(VisibleSlots(*form), std::vector<int>{7});
  EXPECT_EQ(form->cx(7)->CaptionAnsi(), name);
  EXPECT_EQ(form->cx(7)->HintAnsi(), address);
  // Read back from the edit window itself: no length limit cut it.
  EXPECT_EQ(form->E_hostname->TextAnsi(), host);
}

TEST_F(ControllerToggle, SwitchShowsOneRowAndKeepsTheOther) {
  Files.SetIni(kPresets + "[Forma]\r\nZadnje_spajanje=4\r\nRucni_unos_adresa=h.example\r\n");
  auto form = LoadShown();
  ExpectManualMode(*form, false);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ClickButton(form->cxRucni_unos);
    ExpectManualMode(*form, true);
    // The hidden slots keep what they had.
    EXPECT_EQ(CheckedSlots(*form), std::vector<int>{4});
    EXPECT_EQ(form->cx(4)->CaptionAnsi(), "Split");
    EXPECT_EQ(form->cx(4)->HintAnsi(), "st.example");
    TypeHost(*form, round ? "second" : "typed");
    ClickButton(form->cxRucni_unos);
    ExpectManualMode(*form, false);
    // The hidden edit keeps its text.
    EXPECT_EQ(form->E_hostname->TextAnsi(), round ? "second" : "typed");
    EXPECT_EQ(VisibleSlots(*form), (std::vector<int>{1, 2, 3, 4, 5}));
  }
}

TEST_F(ControllerToggle, ChoosingASlotEndsManualEntry) {
  Files.SetIni(kPresets + "[Forma]\r\nRucni_unos=1\r\nZadnje_spajanje=1\r\n");
  auto form = LoadShown();
  ExpectManualMode(*form, true);
  form->cx(3)->SetChecked(true);
  Pump();
  ExpectManualMode(*form, false);
  EXPECT_EQ(CheckedSlots(*form), std::vector<int>{3});
}

TEST_F(ControllerToggle, ClickOnASlotChecksOnlyIt) {
  Files.SetIni(kPresets + "[Forma]\r\nZadnje_spajanje=1\r\n");
  auto form = LoadShown();
  ClickButton(form->cx(5));
  EXPECT_EQ(CheckedSlots(*form), std::vector<int>{5});
  EXPECT_EQ(SendMessageW(form->cx(1)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ExpectManualMode(*form, false);
}

TEST_F(ControllerSave, MissingFileIsCreatedWithOnlyForma) {
  auto form = LoadShown();
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(ProfileSectionNames(Files.Ini()), std::vector<std::string>{"Forma"});
  EXPECT_EQ(ProfileSection(Files.Ini(), "Forma"), std::vector<std::string>{"Rucni_unos=0"});
}

TEST_F(ControllerSave, WritesTheStateOfTheRun) {
  const std::string text = kPresets + "[Forma]\r\nRucni_unos=1\r\nRucni_unos_adresa=stari\r\nZadnje_spajanje=3\r\n";
  Files.SetIni(text);
  const auto presets = ProfileSection(Files.Ini(), "Spajanja");
  auto form = LoadShown();
  EXPECT_EQ(ReadText(Files.Ini()), text);  // loading writes nothing
  ClickButton(form->cxRucni_unos);
  ClickButton(form->cx(5));
  TypeHost(*form, "  novi.host \t");
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(Forma("Rucni_unos"), "0");
  EXPECT_EQ(Forma("Rucni_unos_adresa"), "novi.host");
  EXPECT_EQ(Forma("Zadnje_spajanje"), "5");
  EXPECT_EQ(ProfileSection(Files.Ini(), "Spajanja"), presets);
}

TEST_F(ControllerSave, ManualModeWithAHiddenCheckedSlotSavesBoth) {
  Files.SetIni(kPresets + "[Forma]\r\nRucni_unos=0x1\r\nZadnje_spajanje=$2\r\n");
  auto form = LoadShown();
  ClickPanel(form->P_izlaz);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(Forma("Rucni_unos"), "1");
  EXPECT_EQ(Forma("Zadnje_spajanje"), "2");
  EXPECT_EQ(Forma("Rucni_unos_adresa"), "<none>");
}

TEST_F(ControllerSave, BlankHostAndNoCheckedSlotLeavePreviousValues) {
  Files.SetIni(kPresets + "[Forma]\r\nRucni_unos=1\r\nRucni_unos_adresa=stari.host\r\nZadnje_spajanje=$9\r\n");
  auto form = LoadShown();
  EXPECT_TRUE(CheckedSlots(*form).empty());
  TypeHost(*form, " \t ");
  ClickButton(form->cxRucni_unos);
  ClickPanel(form->P_izlaz);
  EXPECT_EQ(Forma("Rucni_unos"), "0");
  EXPECT_EQ(Forma("Rucni_unos_adresa"), "stari.host");
  // Left as it was, not rewritten as the number it reads as.
  EXPECT_EQ(Forma("Zadnje_spajanje"), "$9");
}

TEST_F(ControllerSave, UnwritableSettingsStillLetTheWindowClose) {
  ASSERT_TRUE(CreateDirectoryA(Files.Ini().c_str(), nullptr));
  auto form = LoadShown();
  ExpectManualMode(*form, false);
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(Shown.empty());
}

TEST_F(ControllerConnect, NoCheckedSlotDoesNothingSilently) {
  // The server is missing too: no choice means no check and no message.
  const std::string text = kPresets + "[Forma]\r\nZadnje_spajanje=9\r\n";
  Files.SetIni(text);
  auto form = LoadShown();
  ClickPanel(form->P_spajanje);
  EXPECT_TRUE(Shown.empty());
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(ReadText(Files.Ini()), text);
}

TEST_F(ControllerConnect, MissingServerIsShownAndNothingIsSaved) {
  const std::string text = kPresets + "[Forma]\r\nZadnje_spajanje=3\r\n";
  Files.SetIni(text);
  auto form = LoadShown();
  ClickButton(form->cx(4));
  TTempFolder elsewhere;
  SetCurrentDirectoryA(elsewhere.Path().c_str());
  ClickPanel(form->P_spajanje);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0], StartFailureMessage(Files.Server(), TServerCheck::scMissing, 0));
  EXPECT_NE(Shown[0].find(AnsiToWide(Files.Server())), std::wstring::npos);
  EXPECT_EQ(lstrcmpiA(CurrentFolder().c_str(), ExeFolder().c_str()), 0);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(ReadText(Files.Ini()), text);
  // The window is still usable: the exit saves the slot chosen.
  ClickPanel(form->P_izlaz);
  EXPECT_EQ(Forma("Zadnje_spajanje"), "4");
}

TEST_F(ControllerConnect, MissingServerInManualModeIsShownToo) {
  const std::string text = kPresets + "[Forma]\r\nRucni_unos=1\r\nZadnje_spajanje=1\r\n";
  Files.SetIni(text);
  auto form = LoadShown();
  TypeHost(*form, "pc.local");
  ClickPanel(form->P_spajanje);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find(AnsiToWide(Files.Server())), std::wstring::npos);
  EXPECT_NE(Shown[0].find(L"ne postoji"), std::wstring::npos);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(ReadText(Files.Ini()), text);
}

TEST_F(ControllerConnect, ServerThatIsAFolderIsShown) {
  ASSERT_TRUE(CreateDirectoryA(Files.Server().c_str(), nullptr));
  Files.SetIni(kPresets + "[Forma]\r\nZadnje_spajanje=1\r\n");
  auto form = LoadShown();
  ClickPanel(form->P_spajanje);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0], StartFailureMessage(Files.Server(), TServerCheck::scDirectory, 0));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(Forma("Rucni_unos"), "<none>");
}

// An empty file is no program: the start fails (WinExec 11 on Windows and
// Wine alike) and no process runs.
TEST_F(ControllerConnect, FailedStartIsShownAndNothingIsSaved) {
  WriteText(Files.Server(), "");
  const std::string text = kPresets + "[Forma]\r\nZadnje_spajanje=2\r\n";
  Files.SetIni(text);
  auto form = LoadShown();
  ClickPanel(form->P_spajanje);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find(AnsiToWide(Files.Server())), std::wstring::npos);
  EXPECT_NE(Shown[0], StartFailureMessage(Files.Server(), TServerCheck::scMissing, 0));
  EXPECT_NE(Shown[0], StartFailureMessage(Files.Server(), TServerCheck::scDirectory, 0));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(ReadText(Files.Ini()), text);
}

using ControllerAccessible = Controller;

// What a screen reader in the same process reads of the window: every shown
// slot, both action panels, and the host-name edit once it shows.
TEST_F(ControllerAccessible, SlotsPanelsAndTheEditReadAsTheyShow) {
  TComApartment apartment;
  Files.SetIni(kPresets + "Sp6_naziv=R&&D &Rijeka\r\nSp6_adresa=ri.example\r\n[Forma]\r\nZadnje_spajanje=3\r\n");
  auto form = LoadShown();
  const std::vector<std::wstring> names = {L"Ured", L"Skladiste", L"Zagreb", L"Split", L"Glavni ured", L"R&D Rijeka"};
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    ComPtr<IAccessible> object = ClientObject(form->cx(n)->Handle());
    ASSERT_TRUE(object);
    const TAccessibleFacts facts = ReadFacts(object.Get());
    EXPECT_EQ(facts.Role, ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(facts.Name, names[static_cast<size_t>(n - 1)]);
    EXPECT_EQ(facts.Description, AnsiToWide(form->cx(n)->HintAnsi()));
    EXPECT_EQ(facts.DefaultAction, L"Check");
    EXPECT_EQ((facts.State & STATE_SYSTEM_CHECKED) != 0, n == 3) << StateText(facts.State);
    EXPECT_FALSE(facts.State & STATE_SYSTEM_INVISIBLE);
  }
  EXPECT_EQ(ReadFacts(ClientObject(form->cx(6)->Handle()).Get()).Shortcut, L"Alt+R");
  for (auto [panel, name] : {std::pair{form->P_spajanje, L"SPAJANJE"}, std::pair{form->P_izlaz, L"IZLAZ"}}) {
    const TAccessibleFacts facts = ReadFacts(ClientObject(panel->Handle()).Get());
    EXPECT_EQ(facts.Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(facts.Name, name);
    EXPECT_EQ(facts.DefaultAction, L"Press");
    EXPECT_EQ(facts.State, 0) << StateText(facts.State);
  }
  // The other panels only hold controls.
  for (TPanel* pane : {form->P_naslov, form->P_rucni, form->P_radni, form->P_spoji})
    EXPECT_NE(ReadFacts(ClientObject(pane->Handle()).Get()).Role, ROLE_SYSTEM_PUSHBUTTON);

  ClickButton(form->cxRucni_unos);
  const TAccessibleFacts edit = ReadFacts(ClientObject(form->E_hostname->Handle()).Get());
  EXPECT_EQ(edit.Name, L"Hostname");
  EXPECT_FALSE(edit.State & STATE_SYSTEM_INVISIBLE) << StateText(edit.State);
  // With the slot area hidden, its slots read as invisible.
  EXPECT_TRUE(ReadFacts(ClientObject(form->cx(3)->Handle()).Get()).State & STATE_SYSTEM_INVISIBLE);
}

TEST_F(ControllerAccessible, DefaultActionsChooseAndCloseAsClicksDo) {
  TComApartment apartment;
  Files.SetIni(kPresets + "[Forma]\r\nRucni_unos=1\r\nZadnje_spajanje=3\r\n");
  auto form = LoadShown();
  ClickButton(form->cxRucni_unos);
  ComPtr<IAccessible> slot = ClientObject(form->cx(5)->Handle());
  ComPtr<IAccessible> exit = ClientObject(form->P_izlaz->Handle());
  ASSERT_TRUE(slot && exit);
  EXPECT_EQ(slot->accDoDefaultAction(SelfChild()), S_OK);
  Pump(30);
  EXPECT_EQ(CheckedSlots(*form), std::vector<int>{5});
  EXPECT_EQ(exit->accDoDefaultAction(SelfChild()), S_OK);
  EXPECT_TRUE(form->Visible());
  Pump(30);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(Forma("Rucni_unos"), "0");
  EXPECT_EQ(Forma("Zadnje_spajanje"), "5");
}

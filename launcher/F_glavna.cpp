// Layout and controller of the launcher window.
#include "launcher/F_glavna.h"

#include "framework/Application.h"
#include "framework/Text.h"
#include "launcher/Branding.h"
#include "launcher/IniFile.h"
#include "launcher/Launch.h"
#include "launcher/ProgramFolder.h"
#include "launcher/resource.h"

namespace lodo {

TF_glavna* F_glavna = nullptr;

namespace {
constexpr char kForma[] = "Forma";
constexpr char kSpajanja[] = "Spajanja";

std::string SlotKey(int n, const char* suffix) { return "Sp" + std::to_string(n) + suffix; }

void SetTahoma(TControl* control, int height, unsigned style = 0) {
  control->Font().SetName(L"Tahoma");
  control->Font().SetHeight(height);
  control->Font().SetStyle(style);
  control->Font().SetColor(clWindowText);
}

TPanel* MakePanel(TComponent* owner, TWinControl* parent, TAlign align, int height) {
  auto* panel = new TPanel(owner);
  panel->SetParent(parent);
  panel->SetHeight(height);
  panel->SetAlign(align);
  panel->SetBevelOuter(bvRaised);
  panel->SetColor(clBtnFace);
  return panel;
}

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, int left, int top) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetBounds(left, top, 0, 0);
  return label;
}
}  // namespace

TF_glavna::TF_glavna(TComponent* owner) : TForm(owner) {
  F_glavna = this;
  SetName("F_glavna");
  BuildLayout();
  // Laid out at 96 dpi; other resolutions scale from there.
  ScaleForPPI(ScreenPPI());
  OnCreate = [this](TForm* s) { FormCreate(s); };
  OnClose = [this](TForm* s, TCloseAction& a) { FormClose(s, a); };
}

void TF_glavna::BuildLayout() {
  SetBorderStyle(fbsSizeable);
  SetBorderIcons(biSystemMenu);
  SetPosition(poDesktopCenter);
  SetMinSize(400, 230);
  SetColor(clBtnFace);
  Font().SetName(L"Tahoma");
  Font().SetHeight(11);
  Font().SetCharset(DEFAULT_CHARSET);
  Font().SetColor(clWindowText);
  SetShowHint(false);
  SetClientSize(384, 367);

  // Panels are created in alignment order (top ones first); the keyboard
  // order is set separately.
  P_naslov = MakePanel(this, this, alTop, 89);
  P_rucni = MakePanel(this, this, alTop, 33);
  P_spoji = MakePanel(this, this, alBottom, 41);
  P_radni = MakePanel(this, this, alClient, 204);
  P_naslov->SetTabOrder(0);
  P_radni->SetTabOrder(1);
  P_spoji->SetTabOrder(2);
  P_rucni->SetTabOrder(3);

  // Header.
  Label1 = MakeLabel(this, P_naslov, 8, 4);
  SetTahoma(Label1, 15, fsBold);
  Shape1 = new TShape(this);
  Shape1->SetParent(P_naslov);
  Shape1->SetBounds(9, 26, 193, 51);
  Shape1->Pen().SetStyle(psDot);
  Shape1->Pen().SetColor(clBlack);
  Shape1->Brush().SetStyle(bsClear);
  Label2 = MakeLabel(this, P_naslov, 16, 28);
  Label3 = MakeLabel(this, P_naslov, 16, 45);
  Label4 = MakeLabel(this, P_naslov, 16, 60);
  I_Logo = new TImage(this);
  I_Logo->SetParent(P_naslov);
  I_Logo->SetBounds(224, 5, 140, 73);
  // The artwork lives in the exe; a host without it (tests) shows no logo.
  HINSTANCE instance = GetModuleHandleW(nullptr);
  I_Logo->Picture().LoadFromResource(instance, IDB_LOGO, IDB_LOGO_MASK);
  if (HICON icon = static_cast<HICON>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDI_LODO), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED)))
    SetIcon(icon);

  // Manual-entry row.
  cxRucni_unos = new TCheckBox(this);
  cxRucni_unos->SetParent(P_rucni);
  cxRucni_unos->SetBounds(12, 9, 82, 17);
  SetTahoma(cxRucni_unos, 13);
  cxRucni_unos->SetTabOrder(0);
  cxRucni_unos->OnClick = [this](TControl* s) { cxRucni_unosClick(s); };
  L_hostname = MakeLabel(this, P_rucni, 107, 8);
  SetTahoma(L_hostname, 13);
  L_hostname->SetVisible(false);
  E_hostname = new TEdit(this);
  E_hostname->SetParent(P_rucni);
  E_hostname->SetBounds(175, 5, 205, 24);
  SetTahoma(E_hostname, 13);
  E_hostname->SetVisible(false);
  E_hostname->SetTabOrder(1);

  // Slot area: two columns of eight, 25 pixels apart; the last row's tops
  // differ between the columns (180 left, 178 right) by design.
  for (int n = 1; n <= kSlotCount; ++n) {
    auto* slot = new TSlotButton(this);
    slot->SetName("cx_" + std::to_string(n));
    slot->SetParent(P_radni);
    const int row = (n - 1) % 8;
    const bool right = n > 8;
    int top = 4 + 25 * row;
    if (row == 7) top = right ? 178 : 180;
    slot->SetBounds(right ? 215 : 12, top, 157, 17);
    SetTahoma(slot, 13);
    slot->SetVisible(false);
    slot->SetShowHint(true);
    slot->SetTabOrder(n - 1);
    slot->OnClick = [this](TControl* s) { cx_1Click(s); };
    Slots[static_cast<size_t>(n - 1)] = slot;
  }

  // Action bar: two clickable panels, the exit one on top and anchored right.
  P_spajanje = new TPanel(this);
  P_spajanje->SetParent(P_spoji);
  P_spajanje->SetBounds(1, 1, 192, 39);
  P_spajanje->SetColor(clGreen);
  SetTahoma(P_spajanje, 15, fsBold);
  P_spajanje->OnClick = [this](TControl* s) { P_spajanjeClick(s); };
  P_izlaz = new TPanel(this);
  P_izlaz->SetParent(P_spoji);
  P_izlaz->SetBounds(191, 1, 192, 39);
  P_izlaz->SetAnchors(akTop | akRight);
  P_izlaz->SetColor(clRed);
  SetTahoma(P_izlaz, 15, fsBold);
  P_izlaz->OnClick = [this](TControl* s) { P_izlazClick(s); };

  // The texts are the helpdesk's, from the string table.
  ShowTexts(LoadBrandTexts(instance));
}

void TF_glavna::ShowTexts(const TBrandTexts& texts) {
  SetCaption(texts[btTitle]);
  Label1->SetCaption(texts[btName]);
  Label2->SetCaption(texts[btLine1]);
  Label3->SetCaption(texts[btLine2]);
  Label4->SetCaption(texts[btLine3]);
  cxRucni_unos->SetCaption(LiteralCaption(texts[btManualEntry]));
  L_hostname->SetCaption(texts[btHostLabel]);
  // Spaced out letter by letter; a screen reader reads the word.
  P_spajanje->SetCaption(SpellOut(texts[btConnect]));
  P_spajanje->SetSpokenName(texts[btConnect]);
  P_izlaz->SetCaption(SpellOut(texts[btExit]));
  P_izlaz->SetSpokenName(texts[btExit]);
}

void TF_glavna::FormCreate(TForm*) {
  // The window is loading until the procedure ends, however it ends.
  const TScopedFlag loading = ScopedLoading();
  EnterProgramFolder();
  bool manual = false;
  try {
    TIniFile ini(SettingsPath());
    // Every read opens the file again: each section is read whole, once.
    const TIniSection forma = ini.ReadSection(kForma);
    const TIniSection presets = ini.ReadSection(kSpajanja);
    manual = forma.ReadBool("Rucni_unos", false);
    E_hostname->SetText(forma.ReadString("Rucni_unos_adresa", L""));
    const std::int32_t last = forma.ReadInteger("Zadnje_spajanje", 0);
    for (int n = 1; n <= kSlotCount; ++n) {
      const std::wstring name = presets.ReadString(SlotKey(n, "_naziv"), L"");
      if (name.empty()) continue;
      const std::wstring address = presets.ReadString(SlotKey(n, "_adresa"), L"");
      if (address.empty()) continue;
      cx(n)->SetCaption(name);
      cx(n)->SetHint(address);
      cx(n)->SetVisible(true);
      if (last == n) cx(n)->SetChecked(true);
    }
  } catch (...) {
    // A damaged or unreadable settings file never stops the start.
  }
  // Manual mode is restored whole: box checked, host row shown, slots hidden.
  // This comes after the slots, whose check would uncheck the box again;
  // while loading, the box's click changes nothing, so it is done here.
  cxRucni_unos->SetChecked(manual);
  ShowManualMode(manual);
}

void TF_glavna::ShowManualMode(bool manual) {
  L_hostname->SetVisible(manual);
  E_hostname->SetVisible(manual);
  P_radni->SetVisible(!manual);
}

void TF_glavna::cxRucni_unosClick(TControl*) {
  if (!IsLoading()) ShowManualMode(cxRucni_unos->Checked());
}

void TF_glavna::cx_1Click(TControl*) { cxRucni_unos->SetChecked(false); }

void TF_glavna::P_izlazClick(TControl*) { Close(); }

void TF_glavna::ShowError(const std::wstring& message) {
  if (OnShowError) {
    OnShowError(message);
    return;
  }
  MessageBoxW(HandleAllocated() ? Handle() : nullptr, message.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
}

void TF_glavna::P_spajanjeClick(TControl*) {
  EnterProgramFolder();
  std::wstring address;
  if (cxRucni_unos->Checked()) {
    address = E_hostname->Text();
  } else {
    bool found = false;
    for (int n = 1; n <= kSlotCount; ++n)
      if (cx(n)->Checked()) {
        address = cx(n)->Hint();
        found = true;
      }
    // No destination chosen: nothing to start, and nothing to say.
    if (!found) return;
  }
  // The command line is 8-bit: an address it cannot carry is not passed
  // with question marks in its place.
  const std::optional<std::string> ansiAddress = WideToAnsiExact(address);
  if (!ansiAddress) {
    ShowError(AddressFailureMessage(address));
    return;
  }
  const std::string server = ServerPath();
  const TServerCheck check = CheckServerFile(server);
  if (check != TServerCheck::scPresent) {
    ShowError(StartFailureMessage(server, check, 0));
    return;
  }
  const unsigned result = StartCommand(BuildConnectCommand(ProgramFolder(), *ansiAddress));
  if (result <= kWinExecLastError) {
    ShowError(StartFailureMessage(server, check, result));
    return;
  }
  Close();
}

void TF_glavna::FormClose(TForm*, TCloseAction&) {
  EnterProgramFolder();
  try {
    TIniFile ini(SettingsPath());
    ini.WriteBool(kForma, "Rucni_unos", cxRucni_unos->Checked());
    const std::wstring host = TrimControl(E_hostname->Text());
    if (!host.empty()) ini.WriteString(kForma, "Rucni_unos_adresa", host);
    for (int n = 1; n <= kSlotCount; ++n)
      if (cx(n)->Checked()) ini.WriteInteger(kForma, "Zadnje_spajanje", n);
  } catch (...) {
    // An unwritable settings file never keeps the window from closing.
  }
}

}  // namespace lodo

// The launcher window: its controls as laid out at design, and the
// controller that loads them from the settings file, reacts to the manual
// switch, the slots and the two action panels, and saves them on close.
#pragma once
#include <array>

#include "controls/RadioButton.h"
#include "framework/ButtonControl.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Shape.h"
#include "launcher/Branding.h"

namespace lodo {

// The connection slots draw themselves with the default look-and-feel.
using TSlotButton = TcxRadioButton;

constexpr int kSlotCount = 16;

class TF_glavna : public TForm {
 public:
  explicit TF_glavna(TComponent* owner = nullptr);

  // Header.
  TPanel* P_naslov;
  TLabel* Label1;
  TShape* Shape1;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* Label4;
  TImage* I_Logo;
  // Manual-entry row.
  TPanel* P_rucni;
  TCheckBox* cxRucni_unos;
  TLabel* L_hostname;
  TEdit* E_hostname;
  // Slot area.
  TPanel* P_radni;
  std::array<TSlotButton*, kSlotCount> Slots{};
  // Action bar.
  TPanel* P_spoji;
  TPanel* P_spajanje;
  TPanel* P_izlaz;

  TSlotButton* cx(int n) const { return Slots[static_cast<size_t>(n - 1)]; }

  // The helpdesk's texts in the header, the manual-entry row, the caption
  // and the two panels (the string table's, when the window is built).
  void ShowTexts(const TBrandTexts& texts);

  // Handlers.
  void FormCreate(TForm* sender);
  void FormClose(TForm* sender, TCloseAction& action);
  void cxRucni_unosClick(TControl* sender);
  void cx_1Click(TControl* sender);
  void P_spajanjeClick(TControl* sender);
  void P_izlazClick(TControl* sender);

  // Shows an error to the user; a seam for tests.
  std::function<void(const std::wstring& message)> OnShowError;

 private:
  void BuildLayout();
  // Manual mode's rows: the host name's label and edit, or the slot area.
  void ShowManualMode(bool manual);
  void ShowError(const std::wstring& message);
};

extern TF_glavna* F_glavna;

}  // namespace lodo

// A small form holding one button of a launcher slot's size and font, for
// the benchmarks that paint or hover a single slot.
#pragma once
#include <windows.h>

#include "controls/RadioButton.h"
#include "framework/Form.h"

namespace lodo::bench {

constexpr int kSlotWidth = 157;
constexpr int kSlotHeight = 17;

class TSlotForm {
 public:
  explicit TSlotForm(const wchar_t* title) : FForm(nullptr) {
    FForm.SetBounds(40, 40, 0, 0);
    FForm.SetClientSize(240, 60);
    FForm.SetCaption(title);
    FForm.SetColor(clBtnFace);
    // The form owns the button.
    FButton = new TcxRadioButton(&FForm);
    FButton->SetParent(&FForm);
    FButton->SetBounds(12, 12, kSlotWidth, kSlotHeight);
    FButton->Font().SetName(L"Tahoma");
    FButton->Font().SetHeight(13);
    FButton->SetCaption(L"Podrška Zagreb");
  }
  TSlotForm(const TSlotForm&) = delete;
  TSlotForm& operator=(const TSlotForm&) = delete;

  TForm& Form() { return FForm; }
  TcxRadioButton* Button() const { return FButton; }

 private:
  TForm FForm;
  TcxRadioButton* FButton;
};

}  // namespace lodo::bench

// A single-line edit with a sunken border and no length limit.
#pragma once
#include "framework/WinControl.h"

namespace lodo {

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);

  // Named by the label before it.
  TAccessible* CreateAccessibleObject() override;

  // What the window holds: the user types into it.
  std::wstring Text() const override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
};

}  // namespace lodo

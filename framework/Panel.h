// A container with a bevel, a background colour and a one-line centred caption.
#pragma once
#include "framework/WinControl.h"

namespace lodo {

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int width);

  // With a click handler, the panel reads as a push button, named by its
  // spoken name when it has one (a caption spelled out letter by letter
  // reads as its word), otherwise by its caption.
  TAccessible* CreateAccessibleObject() override;
  const std::wstring& SpokenName() const { return FSpokenName; }
  void SetSpokenName(const std::wstring& name);

 protected:
  void PaintWindow(HDC dc) override;
  void TextChanged() override { Invalidate(); }

 private:
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  std::wstring FSpokenName;
};

}  // namespace lodo

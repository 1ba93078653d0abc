// Panel painting: bevel, then the centred caption.
#include "framework/Panel.h"

#include "framework/AccessibleControls.h"

namespace lodo {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevel == FBevelOuter) return;
  FBevelOuter = bevel;
  Invalidate();
}

void TPanel::SetBevelWidth(int width) {
  if (width == FBevelWidth) return;
  FBevelWidth = width;
  Invalidate();
}

void TPanel::SetSpokenName(const std::wstring& name) {
  if (name == FSpokenName) return;
  FSpokenName = name;
  NotifyAccessibleEvent(*this, EVENT_OBJECT_NAMECHANGE);
}

TAccessible* TPanel::CreateAccessibleObject() { return OnClick ? new TPanelButtonAccessible(*this) : nullptr; }

void TPanel::PaintWindow(HDC dc) {
  RECT r = ClientRect();
  // A one-pixel bevel per level: highlight top-left and shadow bottom-right when raised.
  for (int i = 0; FBevelOuter != bvNone && i < FBevelWidth; ++i)
    DrawEdge(dc, &r, FBevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  const std::wstring caption = Caption();
  if (caption.empty()) return;
  TSelectGuard font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace lodo

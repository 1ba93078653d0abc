// The self-drawing radio button on real windows: geometry from the measured
// glyph, the caption and focus rectangle in pixels, glyph states under the
// real pointer, the group and keyboard rules, repaint economy, transparency,
// colour changes and the context menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "controls/ControlHelpers.h"
#include "controls/Modules.h"
#include "controls/MouseTracking.h"
#include "controls/RadioButton.h"
#include "framework/Exceptions.h"
#include "framework/Panel.h"
#include "framework/PopupMenu.h"
#include "lookandfeel/RadioButtonImageList.h"
#include "tests/framework/Recorder.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/SysColorsGuard.h"
#include "tests/support/TestSupport.h"
#include "tests/support/Tombstone.h"
#include "theme/ThemeManager.h"
#include "theme/ThemeModule.h"
#include "theme/UxTheme.h"

using namespace lodo;
using test::TRecorder;

namespace {

// Counts paints and the leave notifications that reach the button.
class TProbe : public TcxRadioButton {
 public:
  using TcxRadioButton::TcxRadioButton;
  int Paints = 0;
  int NamedLeaves = 0;
  int HasLeftCalls = 0;
  void PaintButton(bool focusChangeOnly) override {
    ++Paints;
    TcxRadioButton::PaintButton(focusChangeOnly);
  }
  void MouseHasLeft() override {
    ++HasLeftCalls;
    TcxRadioButton::MouseHasLeft();
  }
  void WndProc(TMessage& message) override {
    if (message.Msg == FM_MOUSELEAVE && message.LParam == reinterpret_cast<LPARAM>(this)) ++NamedLeaves;
    TcxRadioButton::WndProc(message);
  }
};

SIZE Glyph() { return RadioButtonImages().GlyphSize(); }

class RadioButtonTest : public test::TErrorFreeTest {
 protected:
  void SetUp() override {
    TErrorFreeTest::SetUp();
    FForm.ShowAndWait();
    FForm->SetColor(clBtnFace);
  }
  void TearDown() override {
    SetTextCallHook(nullptr);
    TErrorFreeTest::TearDown();
  }

  TProbe* Add(int left, int top, int width = 157, int height = 17, const std::wstring& caption = L"Zagreb") {
    auto* b = test::Place<TProbe>(FForm.Get(), left, top, width, height);
    b->SetCaption(caption);
    b->HandleNeeded();
    return b;
  }
  // A lime button at (12, 29) on a red panel, so the two pictures tell apart.
  TProbe* OnRedPanel(int height, const std::wstring& caption) {
    auto* panel = test::Place<TPanel>(FForm.Get(), 0, 0, 300, 100);
    panel->SetColor(clRed);
    panel->SetCaption(L"");
    auto* b = test::Place<TProbe>(panel, 12, 29, 157, height);
    b->SetColor(clLime);
    b->SetCaption(caption);
    b->HandleNeeded();
    return b;
  }
  POINT Screen(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  // Paints the button into a DIB the way the window system asks for it.
  void DrawInto(TcxRadioButton& b, test::TDib& dib, UINT action = ODA_DRAWENTIRE) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.itemAction = action;
    dis.hwndItem = b.Handle();
    dis.hDC = dib.DC();
    dis.rcItem = {0, 0, b.Width(), b.Height()};
    b.Perform(RN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  }
  RECT UpdateRect(TWinControl& c) {
    RECT r{};
    GetUpdateRect(c.Handle(), &r, FALSE);
    return r;
  }

  TModulesScope FModules;
  test::TTestForm FForm{420, 320};
};

using test::SameRect;

// A menu runs modally: a timer closes it.
void CloseMenuAfter(UINT ms) {
  SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  });
}

}  // namespace

TEST_F(RadioButtonTest, GlyphAndCaptionFollowTheMeasuredGlyph) {
  const SIZE g = Glyph();
  ASSERT_GT(g.cx, 0);
  TProbe* b = Add(10, 10);
  std::vector<TTextCall> calls;
  SetTextCallHook([&](const TTextCall& call) { calls.push_back(call); });
  test::TDib dib(157, 17);
  DrawInto(*b, dib);
  const int top = (17 - g.cy) / 2;
  EXPECT_TRUE(SameRect(b->GlyphRect(), {1, top, 1 + g.cx, top + g.cy}));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(SameRect(calls[0].Rect, {1 + g.cx + 5, -1, 157, 17}));
  EXPECT_EQ(calls[0].Format & ~static_cast<UINT>(DT_NOCLIP), 0x0024u);

  b->SetAlignment(taLeftJustify);
  calls.clear();
  DrawInto(*b, dib);
  EXPECT_TRUE(SameRect(b->GlyphRect(), {157 - g.cx, top, 157, top + g.cy}));
  EXPECT_TRUE(SameRect(calls.at(0).Rect, {2, -1, 157 - g.cx - 1, 17}));
  b->SetWordWrap(true);
  calls.clear();
  DrawInto(*b, dib);
  // The wrapped block is centred by the canvas: only the sides are fixed.
  EXPECT_EQ(calls.at(0).Rect.left, 2);
  EXPECT_EQ(calls.at(0).Rect.right, 157 - g.cx - 6);
  EXPECT_EQ(calls.at(0).Format & ~static_cast<UINT>(DT_NOCLIP), 0x2014u);

  // The examples of a 13 x 13 glyph, native or not; odd heights truncate.
  b->SetAlignment(taRightJustify);
  EXPECT_TRUE(SameRect(b->GlyphRectFor({13, 13}, false), {1, 2, 14, 15}));
  EXPECT_TRUE(SameRect(b->GlyphRectFor({13, 13}, true), {0, 2, 13, 15}));
  b->SetHeight(10);
  EXPECT_EQ(b->GlyphRectFor({13, 13}, false).top, -1);
  b->SetHeight(16);
  EXPECT_EQ(b->GlyphRectFor({13, 13}, false).top, 1);
  EXPECT_EQ(CaptionFlags(false), 609);
  EXPECT_EQ(CaptionFlags(true), 1697);
  const TCaptionOffsets native = CaptionOffsets(true, false, taRightJustify);
  EXPECT_EQ(native.Left, 3);
  EXPECT_EQ(native.Top, -1);
}

TEST_F(RadioButtonTest, FocusRectangleLiesOneOutsideTheTextAndTwoBelow) {
  TProbe* b = Add(10, 10, 157, 21);
  test::TDib plain(157, 21), focused(157, 21);
  std::vector<TTextCall> calls;
  SetTextCallHook([&](const TTextCall& call) { calls.push_back(call); });
  DrawInto(*b, plain);
  b->SetFocus();
  ASSERT_TRUE(b->Focused());
  DrawInto(*b, focused);
  SetTextCallHook(nullptr);
  ASSERT_FALSE(calls.empty());

  RECT text = calls[0].Rect;
  {
    test::TDibCanvas canvas(plain);
    canvas.Platform().Font().Assign(b->Font());
    canvas->MeasureTextRect("Zagreb", text, 609);
  }

  test::TDib reference(157, 21);
  BitBlt(reference.DC(), 0, 0, 157, 21, focused.DC(), 0, 0, SRCCOPY);
  auto FocusedOnce = [&](int x, int y) { return reference.Pixel(x, y); };
  const RECT changed = test::PixelBox({0, 0, 157, 21}, [&](int x, int y) {
    return plain.Pixel(x, y) != focused.Pixel(x, y) && x >= b->GlyphRect().right;
  });
  EXPECT_TRUE(SameRect(changed, {text.left - 1, text.top - 1, text.right + 1, text.bottom + 2}));

  // A focus request on top of the focused paint keeps the rectangle, and one
  // after the focus has gone leaves nothing of it.
  DrawInto(*b, focused, ODA_FOCUS);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 157; ++x) ASSERT_EQ(focused.Pixel(x, y), FocusedOnce(x, y)) << x << "," << y;
  FForm->SetFocus();
  DrawInto(*b, focused, ODA_FOCUS);
  for (int y = 0; y < 21; ++y)
    for (int x = b->GlyphRect().right; x < 157; ++x) ASSERT_EQ(focused.Pixel(x, y), plain.Pixel(x, y)) << x << "," << y;

  // No caption, no focus rectangle.
  b->SetCaption(L"");
  test::TDib emptyPlain(157, 21), emptyFocused(157, 21);
  b->SetFocus();
  DrawInto(*b, emptyFocused);
  FForm->SetFocus();
  DrawInto(*b, emptyPlain);
  for (int y = 0; y < 21; ++y)
    for (int x = b->GlyphRect().right + 1; x < 157; ++x) ASSERT_EQ(emptyPlain.Pixel(x, y), emptyFocused.Pixel(x, y));
}

TEST_F(RadioButtonTest, FocusRectangleStaysInsideAButtonAsTallAsItsFont) {
  TProbe* b = Add(10, 10, 157, 17, L"Helpdesk Split");
  b->SetParentFont(false);
  b->Font().SetHeight(13);  // the launcher's slots: a 16-pixel line in 17
  b->SetFocus();
  test::TDib plain(157, 17), focused(157, 17);
  DrawInto(*b, focused);
  FForm->SetFocus();
  DrawInto(*b, plain);
  int top = 0, bottom = 0;
  for (int x = b->GlyphRect().right + 2; x < 157; ++x) {
    top += plain.Pixel(x, 0) != focused.Pixel(x, 0);
    bottom += plain.Pixel(x, 16) != focused.Pixel(x, 16);
  }
  EXPECT_GT(top, 10);
  EXPECT_GT(bottom, 10);
}

// Against the plain caption: "&Zagreb" adds only an underline, one or two
// rows of new ink under the Z; "Zagreb&&" adds one ampersand after the text.
// A caption shown as it is written would shift every letter, or add two.
TEST_F(RadioButtonTest, AmpersandUnderlinesAndADoubleOneShowsItself) {
  int captionLeft = 0;
  SIZE z{}, ampersand{};
  auto picture = [&](const std::wstring& caption) {
    TProbe* b = Add(10, 10, 157, 17, caption);
    auto dib = std::make_unique<test::TDib>(157, 17);
    DrawInto(*b, *dib);
    captionLeft = b->GlyphRect().right;
    z = test::ScreenTextSize(b->Font().Handle(), L"Z");
    ampersand = test::ScreenTextSize(b->Font().Handle(), L"&");
    delete b;
    return dib;
  };
  struct TChange {
    int Pixels = 0;
    int Left = 157;
    int Right = -1;
    std::vector<int> Rows;
    bool OnlyDarker = true;
  };
  auto changes = [&](const test::TDib& before, const test::TDib& after) {
    TChange c;
    auto light = [](COLORREF p) { return GetRValue(p) + GetGValue(p) + GetBValue(p); };
    for (int y = 0; y < 17; ++y) {
      for (int x = captionLeft; x < 157; ++x) {
        if (before.Pixel(x, y) == after.Pixel(x, y)) continue;
        ++c.Pixels;
        c.Left = std::min(c.Left, x);
        c.Right = std::max(c.Right, x);
        if (std::find(c.Rows.begin(), c.Rows.end(), y) == c.Rows.end()) c.Rows.push_back(y);
        c.OnlyDarker = c.OnlyDarker && light(after.Pixel(x, y)) < light(before.Pixel(x, y));
      }
    }
    return c;
  };
  const auto plain = picture(L"Zagreb");
  const COLORREF background = plain->Pixel(156, 1);
  int inkLeft = 157, inkRight = -1;
  for (int y = 0; y < 17; ++y)
    for (int x = captionLeft; x < 157; ++x)
      if (plain->Pixel(x, y) != background) {
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
      }
  ASSERT_LT(inkLeft, inkRight);

  const TChange underline = changes(*plain, *picture(L"&Zagreb"));
  EXPECT_GE(underline.Pixels, 3);
  EXPECT_LE(underline.Rows.size(), 2u);
  EXPECT_TRUE(underline.OnlyDarker);
  EXPECT_GE(underline.Left, inkLeft - 1);
  EXPECT_LE(underline.Right, inkLeft + z.cx);

  const TChange shown = changes(*plain, *picture(L"Zagreb&&"));
  EXPECT_GT(shown.Pixels, 0);
  EXPECT_TRUE(shown.OnlyDarker);
  EXPECT_GE(shown.Left, inkRight - 1);
  EXPECT_LE(shown.Right, inkRight + ampersand.cx + 1);
}

TEST_F(RadioButtonTest, HotUnderThePointerOnlyWithoutKeysAndNormalAfterLeaving) {
  TProbe* b = Add(20, 20);
  test::MoveMouseTo(Screen(FForm.Get(), 5, 200));
  test::MoveMouseTo(Screen(b, 60, 8));
  EXPECT_EQ(b->GlyphState(), rgsHot);
  EXPECT_TRUE(IsMouseTracked(b));

  INPUT shift[2]{};
  shift[0].type = shift[1].type = INPUT_KEYBOARD;
  shift[0].ki.wVk = shift[1].ki.wVk = VK_SHIFT;
  shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &shift[0], sizeof(INPUT));
  test::Pump(20);
  test::MoveMouseTo(Screen(b, 70, 8));
  EXPECT_EQ(b->GlyphState(), rgsNormal);
  SendInput(1, &shift[1], sizeof(INPUT));
  test::Pump(20);
  test::MoveMouseTo(Screen(b, 60, 8));
  EXPECT_EQ(b->GlyphState(), rgsHot);

  // Straight onto the desktop: the tracking tick notices.
  SetCursorPos(2000, 2000);
  EXPECT_TRUE(test::PumpUntil([&] { return b->GlyphState() == rgsNormal; }, 1000));
  EXPECT_FALSE(IsMouseTracked(b));
  EXPECT_GE(b->NamedLeaves, 1);
  EXPECT_GE(b->HasLeftCalls, 1);
}

// Buttons whose windows are made in one go (a panel's children) take their
// look from where the pointer is, asked once for all of them; the next
// batch asks again.
TEST_F(RadioButtonTest, ButtonsMadeInOneGoStartHotOnlyUnderThePointer) {
  auto batch = [&](int top) {
    // Hidden, the panel has no window yet: showing it makes them all.
    auto* panel = new TPanel(FForm.Get());
    panel->SetVisible(false);
    panel->SetParent(FForm.Get());
    panel->SetBounds(0, top, 400, 80);
    std::vector<TProbe*> buttons;
    for (int i = 0; i < 3; ++i) {
      auto* b = test::Place<TProbe>(panel, 10, 5 + 25 * i, 157, 17);
      b->SetCaption(L"Zagreb");
      buttons.push_back(b);
    }
    return std::make_pair(panel, buttons);
  };
  // The pointer over button `hot` of a new batch, then the batch shown.
  auto showUnder = [&](int top, int hot) {
    auto [panel, buttons] = batch(top);
    test::MoveMouseTo(Screen(FForm.Get(), 60, top + 5 + 25 * hot + 8));
    panel->SetVisible(true);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(buttons[static_cast<size_t>(i)]->GlyphState(), i == hot ? rgsHot : rgsNormal) << "button " << i;
  };
  showUnder(10, 1);
  showUnder(120, 2);
  test::MoveMouseTo(Screen(FForm.Get(), 5, 300));
}

TEST_F(RadioButtonTest, PressDragAndReleaseFollowTheCapture) {
  TProbe* a = Add(20, 20);
  TProbe* b = Add(20, 50);
  a->SetChecked(true);
  int clicks = 0;
  b->OnClick = [&](TControl*) { ++clicks; };
  test::MoveMouseTo(Screen(b, 60, 8));
  test::MouseDown();
  EXPECT_EQ(b->GlyphState(), rgsPressed);
  test::MoveMouseTo(Screen(b, 60, 40));
  EXPECT_EQ(b->GlyphState(), rgsHot);
  test::MouseUp();
  EXPECT_EQ(b->GlyphState(), rgsNormal);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(b->Checked());

  // A second press soon after the first at the same place would be a double click.
  test::Pump(static_cast<int>(GetDoubleClickTime()) + 50);
  test::MoveMouseTo(Screen(b, 60, 8));
  test::MouseDown();
  test::MouseUp();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(b->GlyphState(), rgsHot);
  // Clicking the checked one again changes nothing.
  test::Pump(static_cast<int>(GetDoubleClickTime()) + 50);
  test::MouseDown();
  test::MouseUp();
  EXPECT_EQ(clicks, 1);
}

TEST_F(RadioButtonTest, DisabledStaysDisabledAndItsCaptionIsEmbossed) {
  TProbe* b = Add(20, 20);
  b->SetEnabled(false);
  EXPECT_EQ(b->GlyphState(), rgsDisabled);
  test::MoveMouseTo(Screen(b, 60, 8));
  test::MouseDown();
  test::MouseUp();
  EXPECT_EQ(b->GlyphState(), rgsDisabled);
  EXPECT_EQ(b->CaptionColor(), clBtnShadow);
  std::vector<TTextCall> calls;
  SetTextCallHook([&](const TTextCall& call) { calls.push_back(call); });
  test::TDib dib(157, 17);
  DrawInto(*b, dib);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].TextColor, ColorToRGB(clBtnHighlight));
  EXPECT_EQ(calls[0].Rect.left, calls[1].Rect.left + 1);
  EXPECT_EQ(calls[0].Rect.top, calls[1].Rect.top + 1);
  EXPECT_EQ(calls[1].TextColor, ColorToRGB(clBtnShadow));
  b->SetEnabled(true);
  test::MoveMouseTo(Screen(b, 60, 8));
  EXPECT_EQ(b->GlyphState(), rgsHot);
}

TEST_F(RadioButtonTest, GroupRuleAndKeyboardOnOneParent) {
  TProbe* r[3];
  int clicks[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    r[i] = Add(20, 20 + 25 * i);
    r[i]->OnClick = [&clicks, i](TControl*) { ++clicks[i]; };
  }
  r[0]->SetChecked(true);
  EXPECT_EQ(clicks[0], 1);
  r[1]->SetChecked(true);
  EXPECT_FALSE(r[0]->Checked());
  EXPECT_EQ(clicks[1], 1);
  r[1]->SetChecked(true);
  EXPECT_EQ(clicks[1], 1);
  r[1]->SetChecked(false);
  EXPECT_EQ(clicks[1], 1);
  r[1]->SetChecked(true);
  EXPECT_EQ(SendMessageW(r[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(r[0]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  const int before = clicks[1];

  // Tab stops only at the checked one; an arrow checks the next with one click.
  EXPECT_FALSE(r[0]->TabStop());
  EXPECT_TRUE(r[1]->TabStop());
  r[1]->SetFocus();
  test::SendKeyInput(VK_DOWN);
  test::PumpApplication(40);
  EXPECT_TRUE(r[2]->Focused());
  EXPECT_TRUE(r[2]->Checked());
  EXPECT_FALSE(r[1]->Checked());
  EXPECT_EQ(clicks[2], 1);
  EXPECT_EQ(clicks[1], before);
}

TEST_F(RadioButtonTest, RepaintsOnlyWhatChangedAndNeverErases) {
  TProbe* b = Add(20, 20);
  UpdateWindow(b->Handle());
  test::Pump(20);
  ASSERT_GT(b->Paints, 0);
  ValidateRect(b->Handle(), nullptr);
  b->SetChecked(true);
  EXPECT_TRUE(SameRect(UpdateRect(*b), b->GlyphRect()));
  ValidateRect(b->Handle(), nullptr);
  b->SetGlyphState(rgsHot);
  RECT grown = b->GlyphRect();
  InflateRect(&grown, 1, 1);
  RECT expected{};
  RECT client = b->ClientRect();
  IntersectRect(&expected, &grown, &client);
  EXPECT_TRUE(SameRect(UpdateRect(*b), expected));
  ValidateRect(b->Handle(), nullptr);
  b->SetGlyphState(rgsHot);  // the same state: nothing
  const RECT none = UpdateRect(*b);
  EXPECT_TRUE(IsRectEmpty(&none));

  // A glyph-only repaint draws no caption.
  std::vector<TTextCall> calls;
  SetTextCallHook([&](const TTextCall& call) { calls.push_back(call); });
  b->SetGlyphState(rgsNormal);
  UpdateWindow(b->Handle());
  EXPECT_TRUE(calls.empty());
  b->Invalidate();
  UpdateWindow(b->Handle());
  EXPECT_EQ(calls.size(), 1u);
  SetTextCallHook(nullptr);

  test::TDib dib(157, 17, RGB(1, 2, 3));
  EXPECT_EQ(SendMessageW(b->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dib.DC()), 0), 1);
  EXPECT_EQ(dib.Count(RGB(1, 2, 3), {0, 0, 157, 17}), 157 * 17);
}

TEST_F(RadioButtonTest, TransparentButtonShowsTheParentAndGivesThePainterNoBackground) {
  TProbe* b = OnRedPanel(17, L"");
  test::TDib opaque(157, 17), see(157, 17);
  DrawInto(*b, opaque);
  const RECT g = b->GlyphRect();
  EXPECT_EQ(opaque.Pixel(100, 8), RGB(0, 255, 0));
  EXPECT_EQ(opaque.Pixel(g.left, g.top), RGB(0, 255, 0));  // a corner outside the disc
  b->SetTransparent(true);
  DrawInto(*b, see);
  EXPECT_EQ(see.Pixel(100, 8), RGB(255, 0, 0));
  EXPECT_EQ(see.Pixel(g.left, g.top), RGB(255, 0, 0));
  EXPECT_EQ(see.Pixel((g.left + g.right) / 2, (g.top + g.bottom) / 2),
            opaque.Pixel((g.left + g.right) / 2, (g.top + g.bottom) / 2));

  // Moving a transparent button repaints all of it.
  UpdateWindow(b->Handle());
  ValidateRect(b->Handle(), nullptr);
  b->SetLeft(14);
  EXPECT_TRUE(SameRect(UpdateRect(*b), b->ClientRect()));
}

TEST_F(RadioButtonTest, ColourChangeRepaintsEverySlotOnceWithTheNewColours) {
  std::vector<TProbe*> slots;
  for (int i = 0; i < 16; ++i) slots.push_back(Add(10 + 200 * (i / 8), 10 + 25 * (i % 8), 150, 17));
  UpdateWindow(FForm->Handle());
  test::Pump(50);
  for (TProbe* s : slots) s->Paints = 0;
  test::TSysColorsGuard restore;
  ASSERT_TRUE(test::TSysColorsGuard::Set(COLOR_BTNFACE, RGB(40, 160, 90)));
  test::Pump(100);
  for (TProbe* s : slots) EXPECT_EQ(s->Paints, 1);
  test::TDib shown(420, 320);
  shown.CaptureClient(FForm->Handle());
  const POINT p{slots[3]->Left() + 140, slots[3]->Top() + 8};
  EXPECT_EQ(shown.Pixel(p.x, p.y), RGB(40, 160, 90));
}

TEST_F(RadioButtonTest, ContextMenuGoesToTheParentOrOpensTheMenu) {
  auto* panel = test::Place<TRecorder<TPanel>>(FForm.Get(), 0, 0, 300, 100);
  auto* b = test::Place<TProbe>(panel, 12, 29, 157, 17);
  b->HandleNeeded();
  int asked = 0;
  b->OnContextPopup = [&](TControl*, POINT, bool&) { ++asked; };
  const POINT at = Screen(b, 30, 5);
  SendMessageW(b->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b->Handle()), MAKELPARAM(at.x, at.y));
  EXPECT_EQ(panel->Count(WM_CONTEXTMENU), 1);
  EXPECT_EQ(asked, 2);  // the button's step, then the base's

  auto* menu = new TPopupMenu(FForm.Get());
  menu->Add(L"Kopiraj");
  b->SetPopupMenu(menu);
  CloseMenuAfter(100);
  SendMessageW(b->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b->Handle()), MAKELPARAM(at.x, at.y));
  EXPECT_EQ(menu->LastPopupPoint().x, at.x);
  EXPECT_EQ(menu->LastPopupPoint().y, at.y);
  EXPECT_EQ(menu->PopupComponent(), b);
  EXPECT_EQ(panel->Count(WM_CONTEXTMENU), 1);

  CloseMenuAfter(100);
  SendMessageW(b->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b->Handle()), MAKELPARAM(-1, -1));
  const POINT corner = Screen(b, 0, 0);
  EXPECT_EQ(menu->LastPopupPoint().x, corner.x);
  EXPECT_EQ(menu->LastPopupPoint().y, corner.y);

  // A point outside the button: the base's step asks once, opens no menu
  // (a timer would close one) and the parent gets the request.
  asked = 0;
  CloseMenuAfter(100);
  const POINT outside = Screen(b, 200, 5);
  SendMessageW(b->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b->Handle()), MAKELPARAM(outside.x, outside.y));
  EXPECT_EQ(menu->LastPopupPoint().x, corner.x);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(panel->Count(WM_CONTEXTMENU), 2);

  // A destroyed menu is dropped.
  delete menu;
  EXPECT_EQ(b->PopupMenu(), nullptr);
  b->SetPopupMenu(panel);  // not a menu: none
  EXPECT_EQ(b->PopupMenu(), nullptr);
}

// Checking on focus can fail (here a descendant's SetChecked throws after
// the check): the click runs all the same and the failure goes on; when the
// click fails too, its error is reported and the checking failure goes on.
class TFailingCheck : public TcxRadioButton {
 public:
  using TcxRadioButton::FocusEntered;
  using TcxRadioButton::TcxRadioButton;
  bool FailCheck = true;
  void SetChecked(bool checked) override {
    TcxRadioButton::SetChecked(checked);
    if (checked && FailCheck) throw Exception("checking failed");
  }
};

TEST_F(RadioButtonTest, AFailedCheckOnFocusStillClicksOnceAndGoesOn) {
  auto* b = test::Place<TFailingCheck>(FForm.Get(), 20, 20, 157, 17);
  int clicks = 0;
  bool clickFails = false;
  b->OnClick = [&](TControl*) {
    ++clicks;
    if (clickFails) throw Exception("click failed");
  };
  auto uncheck = [&] {
    b->FailCheck = false;
    b->SetChecked(false);
    b->FailCheck = true;
  };

  auto expectCheckingFailure = [&] {
    try {
      b->FocusEntered();
      ADD_FAILURE() << "the checking failure was lost";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "checking failed");
    }
  };

  expectCheckingFailure();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->ClicksDisabled());

  uncheck();
  clickFails = true;
  expectCheckingFailure();
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(b->ClicksDisabled());
  EXPECT_EQ(test::ErrorsSeen(), (std::vector<std::string>{"click failed"}));

  // The real focus: both errors reach the error handler, the program goes on.
  uncheck();
  test::ErrorsSeen().clear();
  b->SetFocus();
  test::Pump(20);
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(test::ErrorsSeen(), (std::vector<std::string>{"click failed", "checking failed"}));
  test::ErrorsSeen().clear();
}

// Down, up, double-click, up: one OnDblClick, and the first click checks it.
TEST_F(RadioButtonTest, OneDoubleClickIsOneEvent) {
  TProbe* b = Add(20, 20);
  int doubles = 0;
  int clicks = 0;
  b->OnDblClick = [&](TControl*) { ++doubles; };
  b->OnClick = [&](TControl*) { ++clicks; };
  test::MouseDoubleClickAt(Screen(b, 6, 8));
  test::Pump(20);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b->Checked());
  // Once more on the focused, checked button.
  Sleep(GetDoubleClickTime() + 50);
  test::MouseDoubleClickAt(Screen(b, 6, 8));
  test::Pump(20);
  EXPECT_EQ(doubles, 2);
}

// The button and its menus hold pointers to each other (its menu, the menu's
// popup component): neither may outlive the other's end, in either order,
// also after the button has moved on to another menu. A buried side leaves a
// tombstone that counts the calls a stale pointer would have made.
TEST_F(RadioButtonTest, ButtonAndMenusLetGoOfEachOtherInEveryOrder) {
  auto place = [&](TProbe* b) {
    b->SetParent(FForm.Get());
    b->SetBounds(12, 29, 157, 17);
    b->HandleNeeded();
  };
  // A real context-menu request: the menu pops up for the button.
  auto popUp = [&](TProbe* b) {
    CloseMenuAfter(50);
    const POINT at = Screen(b, 30, 5);
    SendMessageW(b->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b->Handle()), MAKELPARAM(at.x, at.y));
  };

  {
    SCOPED_TRACE("button first");
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    test::TBuried<TProbe> b(nullptr);
    place(b.Get());
    b->SetPopupMenu(menu.get());
    popUp(b.Get());
    ASSERT_EQ(menu->PopupComponent(), b.Get());
    b.Bury();
    EXPECT_EQ(menu->PopupComponent(), nullptr);
    menu.reset();
    EXPECT_EQ(b.StaleCalls(), 0);
  }
  {
    SCOPED_TRACE("menu first");
    test::TBuried<TPopupMenu> menu(nullptr);
    auto* b = new TProbe(nullptr);
    place(b);
    b->SetPopupMenu(menu.Get());
    popUp(b);
    menu.Bury();
    EXPECT_EQ(b->PopupMenu(), nullptr);
    delete b;
    EXPECT_EQ(menu.StaleCalls(), 0);
  }
  {
    SCOPED_TRACE("switched, then the button first");
    auto first = std::make_unique<TPopupMenu>(nullptr);
    auto second = std::make_unique<TPopupMenu>(nullptr);
    test::TBuried<TProbe> b(nullptr);
    place(b.Get());
    b->SetPopupMenu(first.get());
    popUp(b.Get());
    b->SetPopupMenu(second.get());
    popUp(b.Get());
    // The first menu still names the button it last popped up for.
    EXPECT_EQ(first->PopupComponent(), b.Get());
    EXPECT_EQ(second->PopupComponent(), b.Get());
    b.Bury();
    EXPECT_EQ(first->PopupComponent(), nullptr);
    EXPECT_EQ(second->PopupComponent(), nullptr);
    second.reset();
    first.reset();
    EXPECT_EQ(b.StaleCalls(), 0);
  }
  {
    SCOPED_TRACE("switched, then the menus first");
    test::TBuried<TPopupMenu> first(nullptr);
    test::TBuried<TPopupMenu> second(nullptr);
    auto* b = new TProbe(nullptr);
    place(b);
    b->SetPopupMenu(first.Get());
    popUp(b);
    b->SetPopupMenu(second.Get());
    first.Bury();
    EXPECT_EQ(b->PopupMenu(), second.Get());
    second.Bury();
    EXPECT_EQ(b->PopupMenu(), nullptr);
    delete b;
    EXPECT_EQ(first.StaleCalls(), 0);
    EXPECT_EQ(second.StaleCalls(), 0);
  }
}

TEST_F(RadioButtonTest, DestroyedWhileTrackedGetsNoLeave) {
  TProbe* b = Add(20, 20);
  test::MoveMouseTo(Screen(b, 60, 8));
  ASSERT_TRUE(IsMouseTracked(b));
  delete b;
  SetCursorPos(2000, 2000);
  test::Pump(60);
  const TMouseTrackingTimers* list = MouseTrackingTimerList();
  EXPECT_TRUE(!list || list->empty());
}

TEST_F(RadioButtonTest, NativeStyleDrawsThroughTheVisualStyleOverTheParentsBackground) {
  ASSERT_TRUE(VisualStylesAvailable(tciButton));
  TProbe* b = OnRedPanel(21, L"Zagreb");
  b->LookAndFeel().SetNativeStyle(true);
  EXPECT_TRUE(b->UsesNativeStyle());
  EXPECT_TRUE(b->ShowsThemedParentBackground());
  std::vector<TTextCall> calls;
  SetTextCallHook([&](const TTextCall& call) { calls.push_back(call); });
  test::TDib dib(157, 21);
  DrawInto(*b, dib);
  const SIZE part = TcxWinXPLookAndFeelPainter::Instance()->RadioGlyphSize();
  EXPECT_EQ(b->GlyphRect().left, 0);
  EXPECT_EQ(b->GlyphRect().right, part.cx);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Rect.left, part.cx + 3);
  // The parent's picture, not the button's own colour, lies under the caption.
  EXPECT_EQ(dib.Pixel(150, 2), RGB(255, 0, 0));

  // Without the parent background the button fills its own colour.
  b->SetParentBackground(false);
  DrawInto(*b, dib);
  EXPECT_EQ(dib.Pixel(150, 2), RGB(0, 255, 0));
}

// Run in the classic-style prefix: native style finds no visual style.
TEST_F(RadioButtonTest, ClassicNativeStyleFallsBackToTheSelfDrawnGlyph) {
  ASSERT_FALSE(VisualStylesAvailable(tciButton));
  TProbe* b = Add(20, 20);
  b->LookAndFeel().SetNativeStyle(true);
  EXPECT_FALSE(b->UsesNativeStyle());
  EXPECT_EQ(b->LookAndFeel().PainterForTheme(tciButton), TcxUltraFlatLookAndFeelPainter::Instance());
  test::TDib dib(157, 17);
  DrawInto(*b, dib);
  EXPECT_EQ(b->GlyphRect().left, 1);
  EXPECT_EQ(b->GlyphRect().right - b->GlyphRect().left, Glyph().cx);
}

namespace {

// Refuses the creation of the first hidden window of the framework's utility
// class on this thread: the theme module's receiver, the first one made.
int gRefused = 0;
LRESULT CALLBACK RefuseFirstHiddenWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && gRefused == 0) {
    wchar_t name[64] = {};
    GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
    if (std::wstring(name) == L"lodo.Utility") {
      ++gRefused;
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// The visual-styles part never stops the program: when its hidden window
// cannot be made, the modules start all the same, unbound from the library,
// and a button that asks for the native style draws its own glyph.
TEST(ThemeStart, AHiddenWindowThatCannotBeMadeLeavesTheProgramUnbound) {
  test::ErrorsSeen().clear();
  gRefused = 0;
  HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseFirstHiddenWindow, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  EXPECT_NO_THROW(InitializeModules());
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(gRefused, 1);
  EXPECT_FALSE(ThemeLibraryLoaded());
  EXPECT_EQ(ThemeReceiverWindow(), nullptr);
  EXPECT_FALSE(ThemesActive());
  EXPECT_EQ(OpenThemeHandle(tciButton), nullptr);
  {
    test::TTestForm form;
    form.ShowAndWait();
    auto* b = test::Place<TcxRadioButton>(form.Get(), 20, 20, 157, 17);
    b->SetCaption(L"Zagreb");
    b->LookAndFeel().SetNativeStyle(true);
    EXPECT_FALSE(b->UsesNativeStyle());
    EXPECT_EQ(b->LookAndFeel().PainterForTheme(tciButton), TcxUltraFlatLookAndFeelPainter::Instance());
    UpdateWindow(b->Handle());
    test::Pump(30);
    // The self-drawn glyph stands one pixel in, as wide as the measured one.
    EXPECT_EQ(b->GlyphRect().left, 1);
    EXPECT_EQ(b->GlyphRect().right - b->GlyphRect().left, Glyph().cx);
  }
  EXPECT_NO_THROW(FinalizeModules());
  EXPECT_TRUE(test::ErrorsSeen().empty());

  // The next start, with the window allowed, binds the library again.
  InitializeModules();
  EXPECT_TRUE(ThemeLibraryLoaded());
  EXPECT_NE(ThemeReceiverWindow(), nullptr);
  FinalizeModules();
}

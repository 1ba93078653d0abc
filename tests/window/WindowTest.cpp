// The launcher window as built: geometry, fonts, visibility and keyboard
// order at design size, after resizing and at other resolutions, and what
// it looks like on screen.

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/Modules.h"
#include "framework/Application.h"
#include "launcher/F_glavna.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

void PumpApp(int ms) { test::PumpApplication(ms); }

// The client width the system gives a 384-wide design: the minimum outer
// width of 400 assumes 8-pixel frames, and a thinner frame (Wine draws 4)
// makes the minimum the binding rule.
int ExpectedClientWidth(HWND window, int designClient, int minOuter) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int frame = (outer.right - outer.left) - client.right;
  return std::max(designClient, minOuter - frame);
}

RECT Rect(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }

using test::Press;
using test::SameRect;

int SlotTop(int n) {
  const int row = (n - 1) % 8;
  return row == 7 ? (n > 8 ? 178 : 180) : 4 + 25 * row;
}

struct TWindow {
  TModulesScope Modules;
  std::unique_ptr<TF_glavna> Form = std::make_unique<TF_glavna>();
  TWindow() {
    Form->DoCreate();
    for (int n = 1; n <= kSlotCount; ++n) {
      Form->cx(n)->SetCaptionAnsi("Slot " + std::to_string(n));
      Form->cx(n)->SetHintAnsi("host" + std::to_string(n) + ".example");
      Form->cx(n)->SetVisible(true);
    }
  }
  void Show() {
    Form->Show();
    SetForegroundWindow(Form->Handle());
    PumpApp(100);
  }
};

}  // namespace

TEST(WindowLayout, DesignGeometryFontsAndVisibility) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  RECT client{};
  GetClientRect(f.Handle(), &client);
  const int cw = ExpectedClientWidth(f.Handle(), 384, 400);
  EXPECT_EQ(client.right, cw);
  EXPECT_EQ(client.bottom, 367);
  const LONG_PTR style = GetWindowLongPtrW(f.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  wchar_t caption[64] = {};
  GetWindowTextW(f.Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Orvane Ultravnc spajanje");

  EXPECT_TRUE(SameRect(f.P_naslov->BoundsRect(), Rect(0, 0, cw, 89)));
  EXPECT_TRUE(SameRect(f.P_rucni->BoundsRect(), Rect(0, 89, cw, 33)));
  EXPECT_TRUE(SameRect(f.P_radni->BoundsRect(), Rect(0, 122, cw, 204)));
  EXPECT_TRUE(SameRect(f.P_spoji->BoundsRect(), Rect(0, 326, cw, 41)));
  EXPECT_EQ(f.P_naslov->TabOrder(), 0);
  EXPECT_EQ(f.P_radni->TabOrder(), 1);
  EXPECT_EQ(f.P_spoji->TabOrder(), 2);
  EXPECT_EQ(f.P_rucni->TabOrder(), 3);

  EXPECT_EQ(f.Label1->Left(), 8);
  EXPECT_EQ(f.Label1->Top(), 4);
  EXPECT_EQ(f.Label1->Font().Height(), 15);
  EXPECT_EQ(f.Label1->Font().Style(), static_cast<unsigned>(fsBold));
  EXPECT_TRUE(SameRect(f.Shape1->BoundsRect(), Rect(9, 26, 193, 51)));
  EXPECT_EQ(f.Shape1->Pen().Style(), psDot);
  for (auto [label, top] : {std::pair{f.Label2, 28}, std::pair{f.Label3, 45}, std::pair{f.Label4, 60}}) {
    EXPECT_EQ(label->Left(), 16);
    EXPECT_EQ(label->Top(), top);
    EXPECT_EQ(label->Font().Height(), 11);
    EXPECT_FALSE(label->Caption().empty());
  }
  EXPECT_TRUE(SameRect(f.I_Logo->BoundsRect(), Rect(224, 5, 140, 73)));

  EXPECT_TRUE(SameRect(f.cxRucni_unos->BoundsRect(), Rect(12, 9, 82, 17)));
  EXPECT_EQ(f.cxRucni_unos->Font().Height(), 13);
  wchar_t manual[32] = {};
  GetWindowTextW(f.cxRucni_unos->Handle(), manual, 32);
  EXPECT_STREQ(manual, L"Ru\u010Dni unos");
  EXPECT_EQ(f.L_hostname->Left(), 107);
  EXPECT_EQ(f.L_hostname->Top(), 8);
  EXPECT_FALSE(f.L_hostname->Visible());
  EXPECT_TRUE(SameRect(f.E_hostname->BoundsRect(), Rect(175, 5, 205, 24)));
  EXPECT_FALSE(f.E_hostname->Visible());
  EXPECT_EQ(f.cxRucni_unos->TabOrder(), 0);
  EXPECT_EQ(f.E_hostname->TabOrder(), 1);

  for (int n = 1; n <= kSlotCount; ++n) {
    SCOPED_TRACE(n);
    EXPECT_TRUE(SameRect(f.cx(n)->BoundsRect(), Rect(n > 8 ? 215 : 12, SlotTop(n), 157, 17)));
    EXPECT_EQ(f.cx(n)->TabOrder(), n - 1);
    EXPECT_EQ(f.cx(n)->Font().Height(), 13);
    EXPECT_TRUE(f.cx(n)->ShowHint());
  }

  EXPECT_TRUE(SameRect(f.P_spajanje->BoundsRect(), Rect(1, 1, 192, 39)));
  // At the design width the two overlap by 2 pixels.
  EXPECT_TRUE(SameRect(f.P_izlaz->BoundsRect(), Rect(cw - 1 - 192, 1, 192, 39)));
  for (TPanel* p : {f.P_spajanje, f.P_izlaz}) {
    EXPECT_EQ(p->Font().Height(), 15);
    EXPECT_EQ(p->Font().Style(), static_cast<unsigned>(fsBold));
    EXPECT_FALSE(p->TabStop());
  }
  EXPECT_FALSE(f.ShowHint());
}

namespace {

struct TFontSpec {
  int Height;
  bool Bold;
};

// The box of near-black pixels (the window-text colour and the darkest of its
// smoothed edges) in an area of a picture; empty when there are none.
RECT InkBox(const test::TDib& dib, const RECT& area) {
  return test::PixelBox(area, [&](int x, int y) {
    const COLORREF p = dib.Pixel(x, y);
    return GetRValue(p) < 80 && GetGValue(p) < 80 && GetBValue(p) < 80;
  });
}

// The same text drawn here in black on white, in a font made from the
// expected description.
SIZE ReferenceInk(const std::wstring& text, TFontSpec want) {
  LOGFONTW lf{};
  lf.lfHeight = -want.Height;
  lf.lfWeight = want.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcscpy(lf.lfFaceName, L"Tahoma");
  HFONT font = CreateFontIndirectW(&lf);
  test::TDib dib(300, 40);
  HGDIOBJ old = SelectObject(dib.DC(), font);
  SetBkMode(dib.DC(), TRANSPARENT);
  SetTextColor(dib.DC(), RGB(0, 0, 0));
  RECT r{5, 5, 295, 35};
  DrawTextW(dib.DC(), text.c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dib.DC(), old);
  DeleteObject(font);
  const RECT box = InkBox(dib, {0, 0, 300, 40});
  return {box.right - box.left, box.bottom - box.top};
}

}  // namespace

// The four captions as the window shows them, and the font of every control
// that has one: face, height, bold and character set as set, as the system
// draws its own controls with them, and as the captions come out in pixels
// (the same text in the expected font gives the same box of ink).
TEST(WindowLayout, CaptionsAndTheFontOfEveryControl) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  f.cxRucni_unos->SetChecked(true);  // shows the host-name row
  PumpApp(100);

  constexpr TFontSpec kWindow{11, false}, kRow{13, false}, kHeading{15, true};
  std::vector<std::pair<TControl*, TFontSpec>> fonts = {{&f, kWindow},
                                                        {f.P_naslov, kWindow},
                                                        {f.P_rucni, kWindow},
                                                        {f.P_radni, kWindow},
                                                        {f.P_spoji, kWindow},
                                                        {f.Label1, kHeading},
                                                        {f.Label2, kWindow},
                                                        {f.Label3, kWindow},
                                                        {f.Label4, kWindow},
                                                        {f.cxRucni_unos, kRow},
                                                        {f.L_hostname, kRow},
                                                        {f.E_hostname, kRow},
                                                        {f.P_spajanje, kHeading},
                                                        {f.P_izlaz, kHeading}};
  for (int n = 1; n <= kSlotCount; ++n) fonts.emplace_back(f.cx(n), kRow);
  for (auto [control, want] : fonts) {
    SCOPED_TRACE(testing::Message() << control->ClassName() << " " << control->Name() << " at " << control->Left()
                                    << "," << control->Top());
    EXPECT_EQ(control->Font().Name(), L"Tahoma");
    EXPECT_EQ(control->Font().Height(), want.Height);
    EXPECT_EQ((control->Font().Style() & fsBold) != 0, want.Bold);
    EXPECT_EQ(control->Font().Charset(), DEFAULT_CHARSET);
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) continue;
    // The font the window itself was given.
    auto font = reinterpret_cast<HFONT>(SendMessageW(windowed->Handle(), WM_GETFONT, 0, 0));
    if (!font) continue;
    LOGFONTW lf{};
    ASSERT_NE(GetObjectW(font, sizeof(lf), &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
    EXPECT_EQ(lf.lfHeight, -want.Height);
    EXPECT_EQ(lf.lfWeight >= FW_BOLD, want.Bold);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  }
  // The system draws these two itself, with the font they were given.
  EXPECT_NE(SendMessageW(f.cxRucni_unos->Handle(), WM_GETFONT, 0, 0), 0);
  EXPECT_NE(SendMessageW(f.E_hostname->Handle(), WM_GETFONT, 0, 0), 0);

  RECT client{};
  GetClientRect(f.Handle(), &client);
  test::TDib shot(client.right, client.bottom);
  shot.CaptureClient(f.Handle());
  struct {
    TControl* Control;
    const wchar_t* Caption;
    TFontSpec Font;
  } const captions[] = {{f.Label1, L"Orvane d.o.o.", kHeading},
                        {f.L_hostname, L"Hostname:", kRow},
                        {f.P_spajanje, L"S P A J A N J E", kHeading},
                        {f.P_izlaz, L"I Z L A Z", kHeading}};
  for (const auto& c : captions) {
    SCOPED_TRACE(testing::Message() << c.Caption);
    EXPECT_EQ(c.Control->Caption(), c.Caption);
    if (auto* windowed = dynamic_cast<TWinControl*>(c.Control)) {
      wchar_t text[64] = {};
      GetWindowTextW(windowed->Handle(), text, 64);
      EXPECT_STREQ(text, c.Caption);
    }
    // Inside the control, off a panel's bevel.
    POINT topLeft = c.Control->ClientToScreen({0, 0});
    ScreenToClient(f.Handle(), &topLeft);
    const int inset = dynamic_cast<TPanel*>(c.Control) ? 2 : 0;
    const RECT area{topLeft.x + inset, topLeft.y + inset, topLeft.x + c.Control->Width() - inset,
                    topLeft.y + c.Control->Height() - inset};
    const RECT ink = InkBox(shot, area);
    ASSERT_LT(ink.left, ink.right);
    const SIZE expected = ReferenceInk(c.Caption, c.Font);
    EXPECT_NEAR(ink.right - ink.left, expected.cx, 1);
    EXPECT_NEAR(ink.bottom - ink.top, expected.cy, 1);
  }
}

TEST(WindowLayout, MinimumSizeAndCentring) {
  TWindow w;
  w.Show();
  MINMAXINFO info{};
  SendMessageW(w.Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 400);
  EXPECT_EQ(info.ptMinTrackSize.y, 230);
  RECT window{}, work{};
  GetWindowRect(w.Form->Handle(), &window);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST(WindowLayout, ResizingCutsOffSlotsAndMovesOnlyTheExitPanel) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  const RECT outer = f.BoundsRect();
  const int w0 = outer.right - outer.left, h0 = outer.bottom - outer.top;
  struct TSize {
    int Dw, Dh;
  };
  for (TSize s : {TSize{120, 0}, TSize{-40, 0}, TSize{0, -100}, TSize{60, 80}}) {
    SCOPED_TRACE(std::to_string(s.Dw) + "," + std::to_string(s.Dh));
    SetWindowPos(f.Handle(), nullptr, 0, 0, w0 + s.Dw, h0 + s.Dh, SWP_NOMOVE | SWP_NOZORDER);
    PumpApp(30);
    RECT client{};
    GetClientRect(f.Handle(), &client);
    EXPECT_TRUE(SameRect(f.P_naslov->BoundsRect(), Rect(0, 0, client.right, 89)));
    EXPECT_TRUE(SameRect(f.P_rucni->BoundsRect(), Rect(0, 89, client.right, 33)));
    EXPECT_TRUE(SameRect(f.P_spoji->BoundsRect(), Rect(0, client.bottom - 41, client.right, 41)));
    EXPECT_TRUE(SameRect(f.P_radni->BoundsRect(), Rect(0, 122, client.right, client.bottom - 41 - 122)));
    EXPECT_TRUE(SameRect(f.cxRucni_unos->BoundsRect(), Rect(12, 9, 82, 17)));
    EXPECT_TRUE(SameRect(f.E_hostname->BoundsRect(), Rect(175, 5, 205, 24)));
    EXPECT_TRUE(SameRect(f.Shape1->BoundsRect(), Rect(9, 26, 193, 51)));
    EXPECT_TRUE(SameRect(f.I_Logo->BoundsRect(), Rect(224, 5, 140, 73)));
    for (int n = 1; n <= kSlotCount; ++n)
      EXPECT_TRUE(SameRect(f.cx(n)->BoundsRect(), Rect(n > 8 ? 215 : 12, SlotTop(n), 157, 17)));
    EXPECT_TRUE(SameRect(f.P_spajanje->BoundsRect(), Rect(1, 1, 192, 39)));
    EXPECT_TRUE(SameRect(f.P_izlaz->BoundsRect(), Rect(client.right - 1 - 192, 1, 192, 39)));
  }
}

namespace {
// Windows made in its scope open on a monitor of this dpi; the system's stays 96.
struct TMonitorDpi {
  static inline int Dpi = 0;
  explicit TMonitorDpi(int dpi) {
    Dpi = dpi;
    TForm::WindowDpi = [](HWND) { return Dpi; };
  }
  ~TMonitorDpi() { TForm::WindowDpi = FSystem; }
  decltype(TForm::WindowDpi) FSystem = TForm::WindowDpi;
};
}  // namespace

TEST(WindowLayout, ScalesForOtherResolutionsWithoutDrift) {
  for (int ppi : {120, 144}) {
    SCOPED_TRACE(ppi);
    TMonitorDpi monitor(ppi);
    TWindow w;
    TF_glavna& f = *w.Form;
    TFont design(f.Font());
    TFont scaled(f.Font());
    scaled.SetHeight(MulDiv(11, ppi, 96));
    const int d = TForm::TextHeightOf(design), m = TForm::TextHeightOf(scaled);
    ASSERT_GT(m, d);
    w.Show();
    auto s = [&](int v) { return MulDiv(v, m, d); };
    EXPECT_EQ(f.Font().Height(), MulDiv(11, ppi, 96));
    EXPECT_EQ(f.cx(1)->Font().Height(), MulDiv(13, ppi, 96));
    EXPECT_EQ(f.P_izlaz->Font().Height(), MulDiv(15, ppi, 96));
    RECT client{};
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, ExpectedClientWidth(f.Handle(), s(384), s(400)));
    EXPECT_EQ(client.bottom, s(367));
    EXPECT_EQ(f.MinWidth(), s(400));
    EXPECT_EQ(f.MinHeight(), s(230));
    EXPECT_EQ(f.P_naslov->Height(), s(89));
    EXPECT_EQ(f.P_rucni->Top(), s(89));
    EXPECT_TRUE(SameRect(f.cx(16)->BoundsRect(), Rect(s(215), s(178), s(157), s(17))));
    EXPECT_TRUE(SameRect(f.E_hostname->BoundsRect(), Rect(s(175), s(5), s(205), s(24))));
    EXPECT_EQ(f.P_izlaz->Left() + f.P_izlaz->Width(), f.P_spoji->Width() - s(1));
    // Back at 96 dpi everything stands where it was designed.
    f.ScaleForPPI(96);
    PumpApp(20);
    EXPECT_TRUE(SameRect(f.cx(16)->BoundsRect(), Rect(215, 178, 157, 17)));
    EXPECT_EQ(f.P_izlaz->Width(), 192);
    EXPECT_EQ(f.P_izlaz->Left() + 192, f.P_spoji->Width() - 1);
    EXPECT_EQ(f.cx(1)->Font().Height(), 13);
  }
}

TEST(WindowRendering, PanelColoursDottedFrameAndTransparentLogo) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  PumpApp(100);
  test::TDib dib(384, 367);
  dib.CaptureClient(f.Handle());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(dib.Pixel(20, 326 + 20), RGB(0, 128, 0));
  EXPECT_EQ(dib.Pixel(300, 326 + 10), RGB(255, 0, 0));
  EXPECT_EQ(dib.Pixel(f.P_izlaz->Left() + 1, 326 + 20), RGB(255, 0, 0));
  EXPECT_EQ(dib.Pixel(f.P_izlaz->Left(), 326 + 20), GetSysColor(COLOR_BTNHIGHLIGHT));
  // The frame's top edge is dotted: about every other pixel black.
  const int black = dib.Count(RGB(0, 0, 0), RECT{10, 26, 200, 27});
  EXPECT_GT(black, 60);
  EXPECT_LT(black, 130);
  // Logo: its corners are masked out, the disc is drawn.
  const bool hasLogo = !f.I_Logo->Picture().Empty();
  if (hasLogo) {
    EXPECT_EQ(dib.Pixel(225, 6), face);
    EXPECT_EQ(dib.Pixel(224 + 36, 5 + 10), RGB(0x1f, 0x7a, 0x34));
  }
  EXPECT_EQ(dib.Pixel(5, 40), face);

  // Where the exit panel lies on the connect panel it is above it in the
  // window order. Under Wine's thinner frame the window is wider than
  // designed and the two do not overlap, so the exit panel is moved over the
  // other to see which one shows.
  f.P_izlaz->SetLeft(f.P_spajanje->Left() + 100);
  PumpApp(100);
  bool exitAbove = false;
  for (HWND below = GetWindow(f.P_izlaz->Handle(), GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
    exitAbove = exitAbove || below == f.P_spajanje->Handle();
  EXPECT_TRUE(exitAbove);
  test::TDib moved(384, 367);
  moved.CaptureClient(f.Handle());
  EXPECT_EQ(moved.Pixel(f.P_izlaz->Left() + 20, 326 + 20), RGB(255, 0, 0));
  EXPECT_EQ(moved.Pixel(f.P_izlaz->Left() - 20, 326 + 20), RGB(0, 128, 0));
}

// What the window system does for the launcher's windows from their making
// to the settled first picture: each child is made where it stays, in its
// place among its siblings too, and each window is painted once.
struct TWindowTraffic {
  static inline std::vector<HWND> Moved;
  static inline std::vector<HWND> Reordered;
  static inline std::vector<HWND> Painted;
  HHOOK Sent = SetWindowsHookExW(WH_CALLWNDPROC, OnSent, nullptr, GetCurrentThreadId());
  HHOOK Posted = SetWindowsHookExW(WH_GETMESSAGE, OnPosted, nullptr, GetCurrentThreadId());
  TWindowTraffic() {
    Moved.clear();
    Reordered.clear();
    Painted.clear();
  }
  ~TWindowTraffic() {
    UnhookWindowsHookEx(Sent);
    UnhookWindowsHookEx(Posted);
  }
  static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_WINDOWPOSCHANGED &&
        (GetWindowLongPtrW(m->hwnd, GWL_STYLE) & WS_CHILD) != 0) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m->lParam);
      if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) Moved.push_back(m->hwnd);
      if ((pos->flags & SWP_NOZORDER) == 0) Reordered.push_back(m->hwnd);
    }
    if (code == HC_ACTION && m->message == WM_PAINT) Painted.push_back(m->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK OnPosted(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && m->message == WM_PAINT) Painted.push_back(m->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST(WindowRendering, EveryWindowIsMadeWhereItStaysAndPaintedOnce) {
  TWindow w;
  TF_glavna& f = *w.Form;
  // Away from the slots, so that no hover changes a look.
  test::MoveMouseTo(POINT{2, 2});
  TWindowTraffic traffic;
  w.Show();
  PumpApp(200);
  EXPECT_TRUE(TWindowTraffic::Moved.empty()) << TWindowTraffic::Moved.size() << " windows moved";
  EXPECT_TRUE(TWindowTraffic::Reordered.empty()) << TWindowTraffic::Reordered.size() << " windows reordered";
  std::vector<HWND> windows{f.Handle()};
  EnumChildWindows(
      f.Handle(),
      [](HWND child, LPARAM list) -> BOOL {
        if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows.size(), 24u);
  for (HWND window : windows)
    EXPECT_EQ(std::count(TWindowTraffic::Painted.begin(), TWindowTraffic::Painted.end(), window), 1)
        << "window " << window;
}

TEST(WindowRendering, HeaderAndSlotsDoNotMoveOnResize) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  test::TDib before(380, 320);
  before.CaptureClient(f.Handle());
  const RECT outer = f.BoundsRect();
  SetWindowPos(f.Handle(), nullptr, 0, 0, outer.right - outer.left + 150, outer.bottom - outer.top + 60,
               SWP_NOMOVE | SWP_NOZORDER);
  PumpApp(150);
  test::TDib after(380, 320);
  after.CaptureClient(f.Handle());
  // Compare the fixed controls' pixels (header, manual row, slot columns).
  int differing = 0;
  for (int y = 2; y < 320; ++y)
    for (int x = 2; x < 375; ++x)
      if (before.Pixel(x, y) != after.Pixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST(WindowKeyboard, FirstFocusAndTabOrder) {
  for (bool slotChecked : {true, false}) {
    SCOPED_TRACE(slotChecked);
    TWindow w;
    TF_glavna& f = *w.Form;
    if (slotChecked) f.cx(3)->SetChecked(true);
    w.Show();
    PumpApp(50);
    TWinControl* first = slotChecked ? static_cast<TWinControl*>(f.cx(3)) : f.cxRucni_unos;
    EXPECT_TRUE(first->Focused());
    if (slotChecked) {
      // Slot area, then the action bar (no stops), then the manual row.
      Press(VK_TAB);
      PumpApp(50);
      EXPECT_TRUE(f.cxRucni_unos->Focused());
      Press(VK_TAB, true);
      PumpApp(50);
      EXPECT_TRUE(f.cx(3)->Focused());
    } else {
      // The check box is the only stop: the shown, unchecked slots are none.
      Press(VK_TAB);
      PumpApp(50);
      EXPECT_TRUE(f.cxRucni_unos->Focused());
      for (int n = 1; n <= kSlotCount; ++n) EXPECT_FALSE(f.cx(n)->Checked()) << n;
      // A slot checked by the program becomes a stop, reached from the manual
      // row around the end of the order, and Shift+Tab goes back.
      f.cx(5)->SetChecked(true);
      Press(VK_TAB);
      PumpApp(50);
      EXPECT_TRUE(f.cx(5)->Focused());
      Press(VK_TAB, true);
      PumpApp(50);
      EXPECT_TRUE(f.cxRucni_unos->Focused());
    }
    // Enter and Escape start nothing: the window stays.
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    PumpApp(50);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
  }
}

TEST(WindowKeyboard, ManualModeTabsThroughTheHostField) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  f.cxRucni_unos->SetChecked(true);
  PumpApp(30);
  ASSERT_TRUE(f.E_hostname->Visible());
  f.cxRucni_unos->SetFocus();
  PumpApp(30);
  Press(VK_TAB);
  PumpApp(30);
  EXPECT_TRUE(f.E_hostname->Focused());
  Press(VK_TAB);
  PumpApp(30);
  // The slot area is hidden: back to the check box.
  EXPECT_TRUE(f.cxRucni_unos->Focused());
}

TEST(WindowTooltips, SlotsCarryTheirAddressesWithTheHintTimes) {
  TWindow w;
  w.Show();
  HWND tip = Application->TooltipWindow();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), kSlotCount);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
  // The text is asked for when shown: the slot's hint.
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = tip;
  info.hdr.idFrom = reinterpret_cast<UINT_PTR>(w.Form->cx(4)->Handle());
  info.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(w.Form->P_radni->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_NE(info.lpszText, nullptr);
  EXPECT_STREQ(info.lpszText, L"host4.example");
}

TEST(WindowLayout, MovingToAnotherScaleLaysOutAgainForIt) {
  TWindow w;
  TF_glavna& f = *w.Form;
  w.Show();
  RECT suggested{100, 100, 100 + 800, 100 + 700};
  SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  PumpApp(50);
  TFont design(f.Font());
  design.SetHeight(11);
  TFont scaled(f.Font());
  scaled.SetHeight(MulDiv(11, 144, 96));
  const int d = TForm::TextHeightOf(design), m = TForm::TextHeightOf(scaled);
  RECT window{};
  GetWindowRect(f.Handle(), &window);
  EXPECT_TRUE(SameRect(window, suggested));
  EXPECT_EQ(f.PixelsPerInch(), 144);
  EXPECT_EQ(f.cx(1)->Font().Height(), MulDiv(13, 144, 96));
  EXPECT_TRUE(
      SameRect(f.cx(9)->BoundsRect(), Rect(MulDiv(215, m, d), MulDiv(4, m, d), MulDiv(157, m, d), MulDiv(17, m, d))));
  EXPECT_EQ(f.P_izlaz->Left() + f.P_izlaz->Width(), f.P_spoji->Width() - MulDiv(1, m, d));
}

// Layout (alignment, anchors, label auto-size) and what the standard
// controls put on screen, checked pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Edit.h"
#include "framework/Graphics.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Shape.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

RECT WindowBoundsInParent(TWinControl& control) {
  RECT r{};
  GetWindowRect(control.Handle(), &r);
  MapWindowPoints(nullptr, GetParent(control.Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

using test::SameRect;

SIZE TextSize(const std::wstring& text, int pixelHeight) {
  TFont font;
  font.SetHeight(pixelHeight);
  return test::ScreenTextSize(font.Handle(), text);
}

}  // namespace

TEST(Layout, AlignedPanelsShareTheClientAreaAndFollowResizes) {
  test::WithTestForm([](TForm& form) {
    auto make = [&form](TAlign align, int size) {
      auto* p = test::Place<TPanel>(&form);
      p->SetHeight(size);
      p->SetAlign(align);
      return p;
    };
    TPanel* top = make(alTop, 30);
    TPanel* bottom = make(alBottom, 20);
    TPanel* client = make(alClient, 10);
    TPanel* hidden = make(alTop, 50);
    hidden->SetVisible(false);
    EXPECT_TRUE(SameRect(top->BoundsRect(), RECT{0, 0, 400, 30}));
    EXPECT_TRUE(SameRect(bottom->BoundsRect(), RECT{0, 280, 400, 300}));
    EXPECT_TRUE(SameRect(client->BoundsRect(), RECT{0, 30, 400, 280}));

    form.SetClientSize(500, 350);
    test::Pump(20);
    EXPECT_TRUE(SameRect(top->BoundsRect(), RECT{0, 0, 500, 30}));
    EXPECT_TRUE(SameRect(bottom->BoundsRect(), RECT{0, 330, 500, 350}));
    EXPECT_TRUE(SameRect(client->BoundsRect(), RECT{0, 30, 500, 330}));
    EXPECT_TRUE(SameRect(WindowBoundsInParent(*client), client->BoundsRect()));

    hidden->SetVisible(true);
    EXPECT_TRUE(SameRect(client->BoundsRect(), RECT{0, 80, 500, 330}));
  });
}

TEST(Layout, RightAnchorKeepsTheRightDistance) {
  test::WithTestForm([](TForm& form) {
    auto* fixed = test::Place<TPanel>(&form, 300, 10, 80, 30);
    fixed->SetAnchors(akTop | akRight);
    auto* stretched = test::Place<TPanel>(&form, 20, 60, 340, 30);
    stretched->SetAnchors(akLeft | akTop | akRight);

    form.SetClientSize(520, 300);
    test::Pump(20);
    EXPECT_EQ(fixed->Left(), 420);
    EXPECT_EQ(fixed->Width(), 80);
    EXPECT_EQ(stretched->Left(), 20);
    EXPECT_EQ(stretched->Width(), 460);
    EXPECT_TRUE(SameRect(WindowBoundsInParent(*fixed), fixed->BoundsRect()));
    // Smaller again, by the user this time.
    RECT outer{};
    GetWindowRect(form.Handle(), &outer);
    SetWindowPos(form.Handle(), nullptr, 0, 0, outer.right - outer.left - 100, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    test::Pump(20);
    EXPECT_EQ(fixed->Left(), 320);
    EXPECT_EQ(stretched->Width(), 360);
  });
}

TEST(Layout, AnAutoSizedLabelTakesTheSizeOfItsTextInItsFont) {
  test::WithTestForm([](TForm& form) {
    form.Font().SetHeight(24);
    auto* label = new TLabel(&form);
    label->SetCaption(L"Ručni unos");
    // The font comes from the parent; the size must follow it.
    label->SetParent(&form);
    SIZE expected = TextSize(L"Ručni unos", 24);
    EXPECT_EQ(label->Width(), expected.cx);
    EXPECT_EQ(label->Height(), expected.cy);

    label->SetCaption(L"Adresa");
    expected = TextSize(L"Adresa", 24);
    EXPECT_EQ(label->Width(), expected.cx);
    form.Font().SetHeight(12);
    expected = TextSize(L"Adresa", 12);
    EXPECT_EQ(label->Width(), expected.cx);
    EXPECT_EQ(label->Height(), expected.cy);
    // Its own font, changed once its size was taken with the font before.
    label->Font().SetHeight(20);
    expected = TextSize(L"Adresa", 20);
    EXPECT_EQ(label->Width(), expected.cx);
    EXPECT_EQ(label->Height(), expected.cy);

    label->SetAutoSize(false);
    label->SetCaption(L"a much longer caption than before");
    EXPECT_EQ(label->Width(), expected.cx);
  });
}

// A window that exists when its control's font changes is given the new
// font, and the font it was given stays a live one.
TEST(Layout, AFontChangeReachesAWindowThatExists) {
  test::WithTestForm([](TForm& form) {
    auto* edit = test::Place<TEdit>(&form);
    edit->HandleNeeded();
    for (int height : {20, 9}) {
      edit->Font().SetHeight(height);
      auto font = reinterpret_cast<HFONT>(SendMessageW(edit->Handle(), WM_GETFONT, 0, 0));
      LOGFONTW lf{};
      ASSERT_NE(GetObjectW(font, sizeof(lf), &lf), 0) << height;
      EXPECT_EQ(lf.lfHeight, -height);
    }
  });
}

TEST(Paint, APanelShowsItsColourARaisedBevelAndACentredCaption) {
  test::WithTestForm([](TForm& form) {
    auto* panel = test::Place<TPanel>(&form, 20, 20, 200, 60);
    panel->SetColor(RGB(0, 0, 200));
    panel->Font().SetColor(clWhite);
    panel->Font().SetHeight(16);
    panel->SetCaption(L"IIIIII");
    test::Pump(50);
    test::TDib dib(200, 60);
    dib.CaptureClient(panel->Handle());
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(dib.Pixel(0, 30), light);
    EXPECT_EQ(dib.Pixel(100, 0), light);
    EXPECT_EQ(dib.Pixel(199, 30), shadow);
    EXPECT_EQ(dib.Pixel(100, 59), shadow);
    EXPECT_EQ(dib.Pixel(5, 5), RGB(0, 0, 200));

    // The caption's pixels are centred both ways.
    const RECT ink =
        test::PixelBox({1, 1, 199, 59}, [&](int x, int y) { return dib.Pixel(x, y) == RGB(255, 255, 255); });
    ASSERT_GT(ink.right, ink.left) << "no caption drawn";
    // Glyph side bearings leave the ink a few pixels off the text box's centre.
    EXPECT_NEAR(ink.left + ink.right - 1, 199, 8);
    EXPECT_NEAR(ink.top + ink.bottom - 1, 59, 5);

    panel->SetBevelOuter(bvNone);
    test::Pump(30);
    dib.CaptureClient(panel->Handle());
    EXPECT_EQ(dib.Pixel(0, 30), RGB(0, 0, 200));
  });
}

TEST(Paint, AShapeWithADottedPenDrawsAnInterruptedOutline) {
  test::WithTestForm([](TForm& form) {
    form.SetColor(clWhite);
    auto* shape = test::Place<TShape>(&form, 10, 10, 61, 41);
    shape->Pen().SetStyle(psDot);
    shape->Pen().SetColor(clRed);
    shape->Brush().SetStyle(bsClear);
    test::Pump(50);
    test::TDib dib(100, 100);
    dib.CaptureClient(form.Handle());
    const int onTop = dib.Count(RGB(255, 0, 0), RECT{10, 10, 71, 11});
    const int onLeft = dib.Count(RGB(255, 0, 0), RECT{10, 10, 11, 51});
    EXPECT_GT(onTop, 10);
    EXPECT_LT(onTop, 50);
    EXPECT_GT(onLeft, 5);
    EXPECT_LT(onLeft, 35);
    // The outline lies on the bounds, and the inside shows the form.
    EXPECT_GT(dib.Count(RGB(255, 0, 0), RECT{70, 10, 71, 51}), 5);
    EXPECT_GT(dib.Count(RGB(255, 0, 0), RECT{10, 50, 71, 51}), 10);
    EXPECT_EQ(dib.Count(RGB(255, 0, 0), RECT{11, 11, 70, 50}), 0);
    EXPECT_EQ(dib.Pixel(40, 30), RGB(255, 255, 255));
    EXPECT_EQ(dib.Count(RGB(255, 0, 0), RECT{0, 0, 100, 10}), 0);
  });
}

TEST(Paint, AMaskedBitmapKeepsTheDestinationWhereTheMaskIsWhite) {
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HBITMAP mask = CreateBitmap(8, 8, 1, 1, nullptr);
  {
    TMemoryDC dc;
    TSelectGuard sel(dc.Get(), image);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    RECT all{0, 0, 8, 8};
    FillRect(dc.Get(), &all, green);
    DeleteObject(green);
  }
  {
    // Left half opaque (black), right half transparent (white).
    TMemoryDC dc;
    TSelectGuard sel(dc.Get(), mask);
    PatBlt(dc.Get(), 0, 0, 4, 8, BLACKNESS);
    PatBlt(dc.Get(), 4, 0, 4, 8, WHITENESS);
  }
  TBitmap bitmap;
  bitmap.SetHandles(image, mask);
  EXPECT_TRUE(bitmap.Transparent());
  EXPECT_EQ(bitmap.Width(), 8);

  test::TDib dib(20, 20, RGB(0, 0, 255));
  SetTextColor(dib.DC(), RGB(200, 100, 50));
  SetBkColor(dib.DC(), RGB(50, 100, 200));
  bitmap.Draw(dib.DC(), 5, 5);
  EXPECT_EQ(dib.Pixel(5, 5), RGB(0, 160, 0));
  EXPECT_EQ(dib.Pixel(8, 12), RGB(0, 160, 0));
  EXPECT_EQ(dib.Pixel(9, 5), RGB(0, 0, 255));
  EXPECT_EQ(dib.Pixel(12, 12), RGB(0, 0, 255));
  EXPECT_EQ(dib.Pixel(4, 5), RGB(0, 0, 255));
  EXPECT_EQ(dib.Count(RGB(0, 160, 0), RECT{0, 0, 20, 20}), 32);
  // The DC's colours are given back.
  EXPECT_EQ(GetTextColor(dib.DC()), RGB(200, 100, 50));
  EXPECT_EQ(GetBkColor(dib.DC()), RGB(50, 100, 200));

  // Bad input draws nothing rather than failing.
  TBitmap empty;
  empty.Draw(dib.DC(), 0, 0);
  EXPECT_EQ(dib.Pixel(0, 0), RGB(0, 0, 255));
}

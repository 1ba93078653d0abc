// Forms: the one close procedure, size rules, centring, scaling for the
// screen's dpi, and the application title.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

bool TakeQuitMessage() {
  MSG msg{};
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// Height of "0" in Tahoma of the given pixel height, as the screen measures it.
int TextHeight(int pixelHeight) {
  const TFontHandle font(
      CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  return test::ScreenTextSize(font.Get(), L"0").cy;
}

struct TMainForm {
  TForm* Form;
  std::vector<std::string> Log;
  bool Refuse = false;
};

void MakeMainForm(TMainForm& m) {
  m.Form = Application->CreateForm<TForm>(nullptr);
  m.Form->SetBounds(60, 60, 300, 200);
  m.Form->OnCloseQuery = [&m](TForm*, bool& canClose) {
    m.Log.push_back("query");
    if (m.Refuse) canClose = false;
  };
  m.Form->OnClose = [&m](TForm*, TCloseAction&) { m.Log.push_back("close"); };
  m.Form->Show();
  test::Pump(30);
  TakeQuitMessage();
}

}  // namespace

TEST(Form, EveryWayOfClosingTheMainFormRunsOneProcedureAndEndsTheLoop) {
  TMainForm m;
  MakeMainForm(m);
  ASSERT_EQ(Application->MainForm(), m.Form);

  // Refused: no close event, no quit.
  m.Refuse = true;
  SendMessageW(m.Form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(m.Log, (std::vector<std::string>{"query"}));
  EXPECT_FALSE(TakeQuitMessage());
  m.Refuse = false;

  auto closeOnce = [&m](const std::function<void()>& how) {
    m.Log.clear();
    how();
    EXPECT_EQ(m.Log, (std::vector<std::string>{"query", "close"}));
    // The window stays on screen until the loop has taken the quit message.
    EXPECT_TRUE(IsWindowVisible(m.Form->Handle()));
    EXPECT_TRUE(TakeQuitMessage());
  };
  closeOnce([&m] { m.Form->Close(); });
  closeOnce([&m] { SendMessageW(m.Form->Handle(), WM_CLOSE, 0, 0); });
  closeOnce([&m] { SendMessageW(m.Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); });

  Application->DestroyForms();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Form, ASecondFormHidesOnCloseWithoutEndingTheLoop) {
  TMainForm m;
  MakeMainForm(m);
  TForm* second = Application->CreateForm<TForm>(nullptr);
  int closes = 0;
  second->OnClose = [&closes](TForm*, TCloseAction&) { ++closes; };
  second->Show();
  test::Pump(20);
  SendMessageW(second->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(IsWindowVisible(second->Handle()));
  EXPECT_FALSE(second->Visible());
  EXPECT_FALSE(TakeQuitMessage());
  Application->DestroyForms();
}

TEST(Form, SizeRulesCentringAndClientSize) {
  TForm form(nullptr);
  form.SetClientSize(321, 123);
  form.SetMinSize(260, 120);
  form.SetPosition(poDesktopCenter);
  form.Show();
  test::Pump(30);
  RECT client{};
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 321);
  EXPECT_EQ(client.bottom, 123);
  EXPECT_EQ(form.ClientWidth(), 321);

  RECT work{}, outer{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(form.Handle(), &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (work.top + work.bottom) / 2, 1);

  MINMAXINFO info{};
  SendMessageW(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 260);
  EXPECT_EQ(info.ptMinTrackSize.y, 120);
  // The system applies the minimum to any resize, and the object follows.
  form.SetBounds(form.Left(), form.Top(), 100, 100);
  test::Pump(20);
  GetWindowRect(form.Handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 260);
  EXPECT_EQ(form.Width(), 260);
  EXPECT_EQ(form.Height(), 120);

  form.SetClientSize(400, 250);
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 250);
}

TEST(Form, ScalingForThePixelDensity) {
  const int designHeight = TextHeight(11);
  for (const int ppi : {120, 144}) {
    SCOPED_TRACE(ppi);
    TForm form(nullptr);
    form.SetClientSize(400, 300);
    form.SetMinSize(200, 150);
    auto* own = test::Place<TLabel>(&form);
    own->SetAutoSize(false);
    own->Font().SetHeight(20);
    own->SetBounds(40, 30, 100, 20);
    auto* inherits = test::Place<TPanel>(&form, 10, 100, 200, 50);
    auto* nested = test::Place<TEdit>(inherits, 8, 6, 120, 21);
    auto* anchored = test::Place<TPanel>(&form, 300, 200, 80, 40);
    anchored->SetAnchors(akTop | akRight);

    // Once before the window exists, once after.
    if (ppi == 144) form.Show();
    form.ScaleForPPI(ppi);
    const int scaledHeight = TextHeight(MulDiv(11, ppi, 96));
    auto s = [&](int v) { return MulDiv(v, scaledHeight, designHeight); };
    EXPECT_EQ(form.PixelsPerInch(), ppi);
    EXPECT_EQ(form.Font().Height(), MulDiv(11, ppi, 96));
    EXPECT_EQ(inherits->Font().Height(), MulDiv(11, ppi, 96));
    EXPECT_EQ(nested->Font().Height(), MulDiv(11, ppi, 96));
    EXPECT_EQ(own->Font().Height(), MulDiv(20, ppi, 96));
    EXPECT_EQ(form.ClientWidth(), s(400));
    EXPECT_EQ(form.ClientHeight(), s(300));
    EXPECT_EQ(form.MinWidth(), s(200));
    EXPECT_EQ(form.MinHeight(), s(150));
    EXPECT_EQ(own->BoundsRect().left, s(40));
    EXPECT_EQ(own->Width(), s(100));
    EXPECT_EQ(nested->Left(), s(8));
    EXPECT_EQ(nested->Top(), s(6));
    EXPECT_EQ(nested->Width(), s(120));
    EXPECT_EQ(anchored->Left(), s(300));
    EXPECT_EQ(anchored->Width(), s(80));
  }
}

TEST(Application, TitleIsTheExeNameUpToItsFirstFullStop) {
  EXPECT_EQ(TApplication::TitleFromPath(L"lodo.exe"), L"lodo");
  EXPECT_EQ(TApplication::TitleFromPath(L"LODO.EXE"), L"Lodo");
  EXPECT_EQ(TApplication::TitleFromPath(L"My.App.exe"), L"My");
  EXPECT_EQ(TApplication::TitleFromPath(L"C:\\Tools.v2\\LoDo.exe"), L"Lodo");
  EXPECT_EQ(TApplication::TitleFromPath(L"noext"), L"noext");
  EXPECT_EQ(TApplication::TitleFromPath(L""), L"");
  EXPECT_EQ(TApplication::TitleFromPath(L"C:\\dir\\"), L"");
}

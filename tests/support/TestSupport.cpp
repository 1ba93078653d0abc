// Message-loop, form and pixel helpers for the tests.
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "framework/Application.h"

namespace lodo::test {

std::vector<std::string>& ErrorsSeen() {
  static std::vector<std::string> errors;
  return errors;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;  // a test's main form may post one
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ms > 0) Sleep(1);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
  while (!done()) {
    if (static_cast<int>(end - GetTickCount()) <= 0) return done();
    Pump(5);
  }
  return true;
}

TTestForm::TTestForm(int clientWidth, int clientHeight) : FForm(std::make_unique<TForm>(nullptr)) {
  FForm->SetBounds(50, 50, 0, 0);
  FForm->SetClientSize(clientWidth, clientHeight);
  FForm->SetCaption(L"test");
}

TTestForm::~TTestForm() {
  FForm.reset();
  Pump();
}

void TTestForm::ShowAndWait() {
  FForm->Show();
  SetForegroundWindow(FForm->Handle());
  SetActiveWindow(FForm->Handle());
  UpdateWindow(FForm->Handle());
  Pump(30);
}

void WithTestForm(const std::function<void(TForm& form)>& body) {
  TTestForm form;
  form.ShowAndWait();
  body(*form);
  Pump();
}

TDib::TDib(int width, int height, COLORREF fill)
    : FDib(width, height), FDC(nullptr), FSelect(FDC.Get(), FDib.Bitmap()) {
  Fill(fill);
}

COLORREF TDib::Pixel(int x, int y) const {
  GdiFlush();
  return FDib.Pixel(x, y);
}

void TDib::Fill(COLORREF color) {
  GdiFlush();
  FDib.Fill(color);
}

int TDib::Count(COLORREF color, RECT area) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Pixel(x, y) == color) ++n;
  return n;
}

void TDib::CaptureClient(HWND window) {
  TWindowDC dc(window);
  BitBlt(FDC.Get(), 0, 0, Width(), Height(), dc.Get(), 0, 0, SRCCOPY);
  GdiFlush();
}

bool TDib::SaveBmp(const std::string& path) const {
  const std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  const int width = Width();
  const int height = Height();
  const int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(rowBytes * height);
  ih.biSize = sizeof(ih);
  ih.biWidth = width;
  ih.biHeight = height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  std::fwrite(&fh, sizeof(fh), 1, f.get());
  std::fwrite(&ih, sizeof(ih), 1, f.get());
  std::vector<unsigned char> row(static_cast<size_t>(rowBytes));
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = Pixel(x, y);
      row[static_cast<size_t>(x * 3)] = GetBValue(c);
      row[static_cast<size_t>(x * 3 + 1)] = GetGValue(c);
      row[static_cast<size_t>(x * 3 + 2)] = GetRValue(c);
    }
    std::fwrite(row.data(), 1, row.size(), f.get());
  }
  return true;
}

namespace {
void SendMouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof(in));
}
}  // namespace

void MoveMouseTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  // SetCursorPos alone may not queue a WM_MOUSEMOVE; a zero relative move does.
  SendMouse(MOUSEEVENTF_MOVE);
  Pump(20);
}

void MouseDown(bool right) {
  SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  Pump(20);
}

void MouseUp(bool right) {
  SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
  Pump(20);
}

void MouseClickAt(POINT screen, bool right) {
  MoveMouseTo(screen);
  MouseDown(right);
  MouseUp(right);
}

void MouseDoubleClickAt(POINT screen) {
  MouseClickAt(screen);
  MouseDown();
  MouseUp();
}

void KeyPress(WORD vk, bool shift, bool alt, bool ctrl) {
  SendKeyInput(vk, shift, alt, ctrl);
  Pump(30);
}

void PumpApplication(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    Application->ProcessMessages();
    if (ms > 0) Sleep(1);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

void Press(WORD vk, bool shift) {
  SendKeyInput(vk, shift);
  PumpApplication(60);
}

int DifferentPixels(const TDib& a, const TDib& b, const RECT& area) {
  int different = 0;
  for (int y = std::max(0L, area.top); y < std::min<LONG>(a.Height(), area.bottom); ++y)
    for (int x = std::max(0L, area.left); x < std::min<LONG>(a.Width(), area.right); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) ++different;
  return different;
}

int DifferentPixels(const TDib& a, const TDib& b) { return DifferentPixels(a, b, {0, 0, a.Width(), a.Height()}); }

RECT PixelBox(const RECT& area, const std::function<bool(int x, int y)>& counts) {
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (counts(x, y))
        box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
               std::max<LONG>(box.bottom, y + 1)};
  return box;
}

SIZE ScreenTextSize(HFONT font, const std::wstring& text) {
  const TWindowDC screen(nullptr);
  const TSelectGuard select(screen.Get(), font);
  SIZE size{};
  GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
  if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.left << "," << actual.top << "," << actual.right << ","
                                       << actual.bottom << ") != (" << expected.left << "," << expected.top << ","
                                       << expected.right << "," << expected.bottom << ")";
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

void SendKeyInput(WORD vk, bool shift, bool alt, bool ctrl) {
  std::vector<INPUT> inputs;
  auto key = [&inputs](WORD k, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = k;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  if (shift) key(VK_SHIFT, false);
  if (ctrl) key(VK_CONTROL, false);
  if (alt) key(VK_MENU, false);
  key(vk, false);
  key(vk, true);
  if (alt) key(VK_MENU, true);
  if (ctrl) key(VK_CONTROL, true);
  if (shift) key(VK_SHIFT, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace lodo::test

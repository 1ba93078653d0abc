// The start-up benchmark's second yardstick: a program made of the launcher's
// system parts and nothing of its own work. Common Controls 6 by manifest, a
// tooltip window, a check box, sixteen owner-drawn buttons that blit a glyph and
// draw their caption with DrawText, and the panels, in the launcher's layout.
// The tooltip gets no tools: registering them is the program's own work.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "bench/Yardstick.h"

namespace {

constexpr int kSlots = 16;
constexpr int kGlyph = 13;
constexpr wchar_t kWindowClass[] = L"parts.Window";
constexpr wchar_t kPanelClass[] = L"parts.Panel";

HFONT gWindowFont, gControlFont, gActionFont;
HDC gGlyphDC;
HWND gCheckBox;

HFONT Tahoma(int height, int weight) {
  LOGFONTW lf{};
  lf.lfHeight = -height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  return CreateFontIndirectW(&lf);
}

// The glyph every button blits: a disc drawn once into a memory bitmap.
void MakeGlyph() {
  HDC screen = GetDC(nullptr);
  gGlyphDC = CreateCompatibleDC(screen);
  SelectObject(gGlyphDC, CreateCompatibleBitmap(screen, kGlyph, kGlyph));
  ReleaseDC(nullptr, screen);
  RECT all{0, 0, kGlyph, kGlyph};
  FillRect(gGlyphDC, &all, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(gGlyphDC, GetSysColorBrush(COLOR_WINDOW));
  SelectObject(gGlyphDC, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  Ellipse(gGlyphDC, 0, 0, kGlyph, kGlyph);
}

void DrawSlot(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const int top = (item.rcItem.bottom - kGlyph) / 2;
  BitBlt(item.hDC, 1, top, kGlyph, kGlyph, gGlyphDC, 0, 0, SRCCOPY);
  // The caption is the program's own, as a control keeps its text.
  const auto n = GetWindowLongPtrW(item.hwndItem, GWLP_USERDATA);
  const std::wstring caption = L"Podrška " + std::to_wstring(n + 1);
  RECT text = item.rcItem;
  text.left = 1 + kGlyph + 5;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(item.hDC, gControlFont);
  DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(item.hDC, old);
}

// A panel: its colour (the class brush or a colour of its own), a raised
// bevel and a centred caption.
LRESULT CALLBACK PanelProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT r{};
      GetClientRect(window, &r);
      const auto color = static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA));
      HBRUSH brush = color ? CreateSolidBrush(color) : nullptr;
      FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
      if (brush) DeleteObject(brush);
      DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
      wchar_t caption[64] = {};
      if (GetWindowTextW(window, caption, 64) > 0) {
        HGDIOBJ old = SelectObject(dc, gActionFont);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_DRAWITEM:
      DrawSlot(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The launcher's first keyboard stop, without a checked slot, is the check box.
  if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && gCheckBox) {
    SetFocus(gCheckBox);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent,
           HFONT font) {
  HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w, h, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HWND Panel(HWND parent, int x, int y, int w, int h, const wchar_t* caption = L"", COLORREF color = 0) {
  HWND panel = Child(kPanelClass, caption, WS_CLIPCHILDREN, x, y, w, h, parent, gWindowFont);
  SetWindowLongPtrW(panel, GWLP_USERDATA, static_cast<LONG_PTR>(color));
  return panel;
}

bool RegisterClasses(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  WNDCLASSW panelClass = windowClass;
  panelClass.lpfnWndProc = PanelProc;
  panelClass.hbrBackground = nullptr;
  panelClass.lpszClassName = kPanelClass;
  return RegisterClassW(&windowClass) && RegisterClassW(&panelClass);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (!RegisterClasses(instance)) return 1;
  gWindowFont = Tahoma(11, FW_NORMAL);
  gControlFont = Tahoma(13, FW_NORMAL);
  gActionFont = Tahoma(15, FW_BOLD);
  MakeGlyph();

  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  RECT frame{0, 0, 384, 367};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND window = CreateWindowExW(
      WS_EX_CONTROLPARENT, kWindowClass, L"Parts window", style, work.left + (work.right - work.left - width) / 2,
      work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HWND tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(500, 0));
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(2500, 0));

  Panel(window, 0, 0, 384, 89);
  HWND manual = Panel(window, 0, 89, 384, 33);
  HWND bar = Panel(window, 0, 326, 384, 41);
  HWND slotArea = Panel(window, 0, 122, 384, 204);
  gCheckBox = Child(L"BUTTON", L"Ručni unos", BS_AUTOCHECKBOX | WS_TABSTOP, 12, 9, 82, 17, manual, gControlFont);
  for (int n = 0; n < kSlots; ++n) {
    const int row = n % 8;
    const bool right = n >= 8;
    const int top = row == 7 ? (right ? 178 : 180) : 4 + 25 * row;
    HWND slot =
        Child(L"BUTTON", L"", BS_OWNERDRAW | WS_TABSTOP, right ? 215 : 12, top, 157, 17, slotArea, gControlFont);
    SetWindowLongPtrW(slot, GWLP_USERDATA, n);
  }
  Panel(bar, 1, 1, 192, 39, L"S P A J A N J E", RGB(0, 128, 0));
  Panel(bar, 191, 1, 192, 39, L"I Z L A Z", RGB(255, 0, 0));

  return lodo::bench::ShowAndRun(window, show);
}

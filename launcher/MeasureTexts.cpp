// The packaging's measuring tool: a helpdesk's texts put into the real
// launcher window (not shown) at 96 dpi, each measured in its own control's
// font and set against the room its place leaves (scripts/package.sh --client).
//
//   measure_texts.exe TEXTS OUT
//
// TEXTS holds "Key=Value" lines in UTF-16 (the keys of branding.ini; a key
// left out keeps the default). OUT gets one UTF-8 line per text:
// key, width, room and font, separated by tabs.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "controls/Modules.h"
#include "framework/Application.h"
#include "framework/DibSection.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "launcher/F_glavna.h"

using namespace lodo;

namespace {

struct TFit {
  int Width;
  int Room;
  std::wstring Font;
};

std::wstring Describe(const std::wstring& face, int height, bool bold) {
  return face + L" " + std::to_wstring(height) + L" px" + (bold ? L" bold" : L"");
}

std::wstring Describe(TFont& font) { return Describe(font.Name(), font.Height(), (font.Style() & fsBold) != 0); }

// One line of text as DrawText lays it out, in pixels.
int TextWidth(HFONT font, const std::wstring& text, UINT flags) {
  TMemoryDC dc;
  TSelectGuard select(dc.Get(), font);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | flags);
  return r.right - r.left;
}

// The caption in the system's caption font, in the title bar of a window of
// the design size: between the small icon and the close button, inside the
// sizing frame.
TFit TitleFit(TF_glavna& form, const std::wstring& title) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  TGdiObject font(CreateFontIndirectW(&metrics.lfCaptionFont));
  const int width = TextWidth(static_cast<HFONT>(font.Get()), title, DT_NOPREFIX);
  RECT outer{0, 0, form.ClientWidth(), form.ClientHeight()};
  AdjustWindowRectEx(&outer, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, 0);
  const int frame = GetSystemMetrics(SM_CXSIZEFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
  const int edge = GetSystemMetrics(SM_CXEDGE);
  const int outerWidth = std::max<int>(outer.right - outer.left, form.MinWidth());
  const int room =
      outerWidth - 2 * frame - (GetSystemMetrics(SM_CXSMICON) + 2 * edge) - (GetSystemMetrics(SM_CXSIZE) + 2 * edge);
  const LOGFONTW& caption = metrics.lfCaptionFont;
  return {width, room, Describe(caption.lfFaceName, std::abs(caption.lfHeight), caption.lfWeight >= FW_BOLD)};
}

// A label sized to its text, up to the first thing to its right.
TFit LabelFit(TLabel* label, int rightLimit) {
  return {label->Width(), rightLimit - label->Left(), Describe(label->Font())};
}

// The check box's caption: the control draws itself, three times its width
// wide, and the last column it paints is what it needs; the room is its
// width less what it needs beside its text (the box and the gap).
TFit CheckBoxFit(TCheckBox* box, const std::wstring& caption) {
  const int text = TextWidth(box->Font().Handle(), caption, 0);
  const HWND window = box->Handle();
  const int wide = 3 * box->Width() + text, high = box->Height();
  SetWindowPos(window, nullptr, 0, 0, wide, high, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  TDibSection picture(wide, high);
  {
    TMemoryDC dc;
    TSelectGuard select(dc.Get(), picture.Bitmap());
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
  }
  int needed = 0;
  for (int x = wide - 1; x >= 0 && needed == 0; --x)
    for (int y = 0; y < high; ++y)
      if (picture.Pixel(x, y) != picture.Pixel(wide - 1, y)) {
        needed = x + 1;
        break;
      }
  SetWindowPos(window, nullptr, 0, 0, box->Width(), high, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  return {text, box->Width() - (needed - text), Describe(box->Font())};
}

// A panel's spelled-out word, centred inside its bevel; a part of the panel
// that a sibling on top covers is no room, on either side of the centre.
TFit PanelFit(TPanel* panel, TPanel* above) {
  const int width = TextWidth(panel->Font().Handle(), panel->Caption(), DT_NOPREFIX);
  const int bevel = panel->BevelOuter() == bvNone ? 0 : panel->BevelWidth();
  int inner = panel->Width() - 2 * bevel;
  if (above && above->Left() < panel->Left() + panel->Width() - bevel && above->Left() > panel->Left()) {
    const int visible = above->Left() - panel->Left() - bevel;
    inner = std::min(inner, 2 * (visible - inner / 2));
  }
  return {width, inner, Describe(panel->Font())};
}

TBrandTexts ReadTexts(const wchar_t* path, TBrandTexts texts) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring all(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < all.size(); ++i)
    all[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                  (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  if (!all.empty() && all[0] == 0xFEFF) all.erase(0, 1);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(L"\r\n", start);
    if (end == std::wstring::npos) end = all.size();
    const std::wstring line = all.substr(start, end - start);
    start = end + 2;
    const size_t eq = line.find(L'=');
    if (eq == std::wstring::npos) continue;
    for (int i = 0; i < kBrandTextCount; ++i)
      if (line.compare(0, eq, BrandKey(static_cast<TBrandText>(i))) == 0)
        texts[static_cast<size_t>(i)] = line.substr(eq + 1);
  }
  return texts;
}

}  // namespace

int main() {
  int argc = 0;
  std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
  if (argc != 3) {
    std::fputs("usage: measure_texts.exe TEXTS OUT\n", stderr);
    return 2;
  }
  TApplication application;
  TModulesScope modules;
  if (TForm::ScreenPPI() != 96) {
    std::fprintf(stderr, "measure_texts: the screen has %d dpi, not 96\n", TForm::ScreenPPI());
    return 1;
  }
  auto form = std::make_unique<TF_glavna>();
  const TBrandTexts texts = ReadTexts(argv.get()[1], LoadBrandTexts(GetModuleHandleW(nullptr)));
  form->ShowTexts(texts);

  // The frame's right line is its last column.
  const int frameRight = form->Shape1->Left() + form->Shape1->Width() - 1;
  TFit fits[kBrandTextCount] = {
      TitleFit(*form, texts[btTitle]),
      LabelFit(form->Label1, form->I_Logo->Left()),
      LabelFit(form->Label2, frameRight),
      LabelFit(form->Label3, frameRight),
      LabelFit(form->Label4, frameRight),
      {},
      LabelFit(form->L_hostname, form->E_hostname->Left()),
      PanelFit(form->P_spajanje, form->P_izlaz),
      PanelFit(form->P_izlaz, nullptr),
  };
  // Last: asking the check box makes the windows, and a window made may be
  // laid out for the system's minimum size instead of the design's.
  fits[btManualEntry] = CheckBoxFit(form->cxRucni_unos, form->cxRucni_unos->Caption());
  std::ofstream out(argv.get()[2], std::ios::binary);
  for (int i = 0; i < kBrandTextCount; ++i) {
    const TFit& fit = fits[i];
    out << WideToUtf8(BrandKey(static_cast<TBrandText>(i))) << '\t' << fit.Width << '\t' << fit.Room << '\t'
        << WideToUtf8(fit.Font) << '\n';
  }
  form.reset();
  return out ? 0 : 1;
}

// Detection of the Office 2003 colour variant and its five radio colours.
#include "graphics/Office2003Colors.h"

#include <array>
#include <string>

#include "framework/Text.h"
#include "graphics/SelectionTints.h"
#include "theme/ThemeManager.h"
#include "theme/UxTheme.h"

namespace lodo {

namespace {

constexpr int kNameChars = 1024;

struct TSchemeColors {
  TColor Face, Highlight, Hot, Pressed, Disabled;
};

// Indexed by osBlue, osOlive, osSilver (osNone is computed).
constexpr std::array<TSchemeColors, 3> kSchemeColors = {{
    {RGB(158, 190, 245), RGB(0, 0, 128), RGB(255, 244, 204), RGB(255, 211, 142), RGB(141, 141, 141)},
    {RGB(217, 217, 167), RGB(63, 93, 56), RGB(255, 244, 204), RGB(255, 211, 142), RGB(141, 141, 141)},
    {RGB(215, 215, 229), RGB(75, 75, 111), RGB(255, 244, 204), RGB(255, 211, 142), RGB(141, 141, 141)},
}};

Office2003Scheme gScheme = osNone;
bool gThemed = false;
TSchemeColors gColors{};
int gUsers = 0;
TThemeNameSource gNameSource;
TMajorVersionSource gVersionSource;

// Upper-cases ASCII letters only, so that no locale changes the comparison.
std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::wstring FileNamePart(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

TThemeNames CurrentThemeNames() {
  std::wstring file(kNameChars, L'\0'), color(kNameChars, L'\0'), size(kNameChars, L'\0');
  TThemeNames names;
  names.Result = lodo::GetCurrentThemeName(file.data(), kNameChars, color.data(), kNameChars, size.data(), kNameChars);
  if (FAILED(names.Result)) return names;
  // Cut each at its terminator; a full buffer without one is cut at its end.
  auto trim = [](std::wstring& s) { s.resize(s.find(L'\0') == std::wstring::npos ? s.size() : s.find(L'\0')); };
  trim(file);
  trim(color);
  trim(size);
  names.FileName = std::move(file);
  names.ColorName = std::move(color);
  names.SizeName = std::move(size);
  return names;
}

int SystemMajorVersion() { return static_cast<int>(LOBYTE(LOWORD(GetVersion()))); }

TThemeNameSource SetThemeNameSource(TThemeNameSource source) {
  TThemeNameSource previous = std::move(gNameSource);
  gNameSource = std::move(source);
  return previous;
}

TMajorVersionSource SetMajorVersionSource(TMajorVersionSource source) {
  TMajorVersionSource previous = std::move(gVersionSource);
  gVersionSource = std::move(source);
  return previous;
}

Office2003Scheme DetectOffice2003Scheme() {
  if (!VisualStylesAvailableForAll({})) return osNone;
  const TThemeNames names = gNameSource ? gNameSource() : CurrentThemeNames();
  if (FAILED(names.Result)) return osNone;
  const int major = gVersionSource ? gVersionSource() : SystemMajorVersion();
  if (AsciiUpper(WideToAnsi(FileNamePart(names.FileName))) != "LUNA.MSSTYLES" && major <= 5) return osNone;
  const std::string color = AsciiUpper(WideToAnsi(names.ColorName));
  if (color == "NORMALCOLOR") return osBlue;
  if (color == "HOMESTEAD") return osOlive;
  if (color == "METALLIC") return osSilver;
  return osNone;
}

void RefreshOffice2003Colors() {
  gScheme = DetectOffice2003Scheme();
  gThemed = VisualStylesAvailableForAll({}) && gScheme != osNone;
  if (gThemed) {
    gColors = kSchemeColors[gScheme - osBlue];
    return;
  }
  gColors.Face = static_cast<TColor>(ColorToRGB(clBtnFace));
  gColors.Highlight = static_cast<TColor>(ColorToRGB(clHighlight));
  gColors.Hot = HotTrackTint();
  gColors.Pressed = PressedTint();
  gColors.Disabled = static_cast<TColor>(ColorToRGB(clGrayText));
}

void AcquireOffice2003Colors() {
  if (gUsers++ == 0) RefreshOffice2003Colors();
}

void ReleaseOffice2003Colors() {
  if (gUsers > 0) --gUsers;
}

int Office2003ColorsUsers() { return gUsers; }
Office2003Scheme Office2003CurrentScheme() { return gScheme; }
bool Office2003Themed() { return gThemed; }
TColor Office2003Face() { return gColors.Face; }
TColor Office2003Highlight() { return gColors.Highlight; }
TColor Office2003Hot() { return gColors.Hot; }
TColor Office2003Pressed() { return gColors.Pressed; }
TColor Office2003Disabled() { return gColors.Disabled; }

}  // namespace lodo

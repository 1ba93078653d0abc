// The Office 2003 colours of the radio glyph and button face: fixed colours
// for the three colour variants of the default XP theme, else system colours.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Colors.h"

namespace lodo {

enum Office2003Scheme : std::uint8_t { osNone, osBlue, osOlive, osSilver };

// Where the scheme detection learns the current theme's names and the
// system's major version; tests put their own in.
struct TThemeNames {
  HRESULT Result = E_FAIL;
  std::wstring FileName;
  std::wstring ColorName;
  std::wstring SizeName;
};
using TThemeNameSource = std::function<TThemeNames()>;
using TMajorVersionSource = std::function<int()>;

// The real sources: GetCurrentThemeName with 1024-character buffers, and the
// major version that the system reports to this program.
TThemeNames CurrentThemeNames();
int SystemMajorVersion();
// Null restores the real source; each returns the previous one.
TThemeNameSource SetThemeNameSource(TThemeNameSource source);
TMajorVersionSource SetMajorVersionSource(TMajorVersionSource source);

Office2003Scheme DetectOffice2003Scheme();
void RefreshOffice2003Colors();
// A use count: the first acquire computes the colours.
void AcquireOffice2003Colors();
void ReleaseOffice2003Colors();
int Office2003ColorsUsers();

Office2003Scheme Office2003CurrentScheme();
// Visual styles are on and the scheme is one of the three variants.
bool Office2003Themed();

// Explicit RGB values, never system colour references.
TColor Office2003Face();
TColor Office2003Highlight();
TColor Office2003Hot();
TColor Office2003Pressed();
TColor Office2003Disabled();

}  // namespace lodo

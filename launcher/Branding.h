// The texts a helpdesk may brand: read from the program's string table (or,
// for the packaging's measuring, from a file), spelled as the window shows
// them.
#pragma once
#include <windows.h>

#include <array>
#include <string>

namespace lodo {

// In the order of their string ids (IDS_TITLE onwards) and of branding.ini's keys.
enum TBrandText { btTitle, btName, btLine1, btLine2, btLine3, btManualEntry, btHostLabel, btConnect, btExit };
constexpr int kBrandTextCount = btExit + 1;

using TBrandTexts = std::array<std::wstring, kBrandTextCount>;

// The key in branding.ini ("Title", "Line1", ...).
const wchar_t* BrandKey(TBrandText text);

// A string of the module's string table; empty when it has none.
std::wstring LoadText(HINSTANCE instance, UINT id);
// The brandable texts of the module's string table.
TBrandTexts LoadBrandTexts(HINSTANCE instance);

// A panel's word as its caption shows it: one space between letters (a
// letter keeps its accents and the two halves of a surrogate pair), so a
// space of the word becomes three.
std::wstring SpellOut(const std::wstring& word);

// A text shown as written by a control that reads "&" as an accelerator
// prefix.
std::wstring LiteralCaption(const std::wstring& text);

}  // namespace lodo

// Brandable texts from the string table, and how the window spells them.
#include "launcher/Branding.h"

#include "launcher/resource.h"

namespace lodo {

const wchar_t* BrandKey(TBrandText text) {
  static const wchar_t* const keys[kBrandTextCount] = {L"Title",       L"Name",      L"Line1",   L"Line2", L"Line3",
                                                       L"ManualEntry", L"HostLabel", L"Connect", L"Exit"};
  return keys[text];
}

std::wstring LoadText(HINSTANCE instance, UINT id) {
  // A buffer size of 0 hands out the string in place, read-only and not
  // terminated; its length is the result.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

TBrandTexts LoadBrandTexts(HINSTANCE instance) {
  TBrandTexts texts;
  for (int i = 0; i < kBrandTextCount; ++i) texts[static_cast<size_t>(i)] = LoadText(instance, IDS_TITLE + i);
  return texts;
}

namespace {
// A character that belongs to the one before it: the low half of a
// surrogate pair, or a combining mark.
bool JoinsPrevious(wchar_t c) {
  if (c >= 0xDC00 && c <= 0xDFFF) return true;
  WORD type = 0;
  return GetStringTypeW(CT_CTYPE3, &c, 1, &type) && (type & C3_NONSPACING);
}
}  // namespace

std::wstring SpellOut(const std::wstring& word) {
  std::wstring spelled;
  for (size_t i = 0; i < word.size(); ++i) {
    if (i > 0 && !JoinsPrevious(word[i])) spelled += L' ';
    spelled += word[i];
  }
  return spelled;
}

std::wstring LiteralCaption(const std::wstring& text) {
  std::wstring shown;
  for (wchar_t c : text) {
    if (c == L'&') shown += L'&';
    shown += c;
  }
  return shown;
}

}  // namespace lodo

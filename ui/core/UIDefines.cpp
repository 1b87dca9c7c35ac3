#include "ui/core/UIDefines.h"

#include <cwchar>

namespace SkinUI {

DWORD ParseColorText(const wchar_t* text) {
  if (!text) return 0;
  if (*text == L'#') ++text;
  return static_cast<DWORD>(wcstoul(text, nullptr, 16));
}

int ParseNumberList(const wchar_t* text, long* values, int count) {
  for (int i = 0; i < count; ++i) values[i] = 0;
  if (!text) return 0;
  const wchar_t* p = text;
  int found = 0;
  for (int i = 0; i < count; ++i) {
    wchar_t* end = nullptr;
    long value = wcstol(p, &end, 10);
    if (end == p) {
      // A missing number reads 0; step over one separator only if there is one.
      if (!*p) break;
      ++p;
      continue;
    }
    values[i] = value;
    ++found;
    p = end;
    if (!*p) break;
    ++p;  // exactly one separator
  }
  return found;
}

}  // namespace SkinUI

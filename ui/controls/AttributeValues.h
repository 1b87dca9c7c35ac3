// Reading attribute values the way skins write them: booleans true only for the exact text "true",
// colours hexadecimal after one optional '#', numbers separated by single characters.
#pragma once

#include <windows.h>

#include <cwchar>

#include "ui/core/UIDefines.h"

namespace SkinUI {
namespace attr {

inline bool IsTrue(const wchar_t* value) { return value && wcscmp(value, L"true") == 0; }
inline DWORD Color(const wchar_t* value) { return ParseColorText(value); }
inline int Int(const wchar_t* value) { return value ? _wtoi(value) : 0; }
inline RECT Rect(const wchar_t* value) {
  long v[4] = {};
  ParseNumberList(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}
inline SIZE Size(const wchar_t* value) {
  long v[2] = {};
  ParseNumberList(value, v, 2);
  return SIZE{v[0], v[1]};
}
inline bool Contains(const wchar_t* value, const wchar_t* part) { return value && wcsstr(value, part) != nullptr; }

// A non-zero colour written without alpha means an opaque one.
inline DWORD OpaqueIfNoAlpha(DWORD color) { return (color != 0 && (color >> 24) == 0) ? (color | 0xFF000000) : color; }

}  // namespace attr
}  // namespace SkinUI

// The framework's wide string: short texts (attribute names, values, control names) live in an
// inline buffer and never touch the heap; longer ones move to a heap block. Copies are deep.
#pragma once

#include <windows.h>

namespace SkinUI {

class CUIString {
 public:
  // Strings of up to kInlineLimit characters stay inline.
  static constexpr int kInlineChars = 64;
  static constexpr int kInlineLimit = 62;

  CUIString();
  CUIString(const wchar_t* text, int length = -1);
  explicit CUIString(wchar_t ch);
  CUIString(const CUIString& other);
  ~CUIString();

  // length -1 means up to the terminator; a null text assigns the empty string.
  void SetText(const wchar_t* text, int length = -1);
  void AppendText(const wchar_t* text);
  int Length() const { return m_length; }
  bool IsBlank() const { return m_length == 0; }
  void Clear();
  bool IsInline() const { return m_text == m_inline; }

  wchar_t At(int index) const;
  const wchar_t* c_str() const { return m_text; }
  operator const wchar_t*() const { return m_text; }

  CUIString Prefix(int n) const;
  // n -1, or a count running past the end, means up to the end.
  CUIString Substring(int start, int n = -1) const;
  int IndexOf(wchar_t ch, int start = 0) const;
  int IndexOf(const wchar_t* text, int start = 0) const;
  // Replaces every occurrence, never rescanning inserted text; an empty pattern replaces nothing.
  int ReplaceAll(const wchar_t* from, const wchar_t* to);
  // wvsprintfW rules, into a 64-character buffer: longer results are cut at 63 characters.
  int Printf(const wchar_t* format, ...);
  void ToLower();
  int CompareOrdinal(const wchar_t* text) const;
  int CompareIgnoreCase(const wchar_t* text) const;

  CUIString& operator=(const CUIString& other);
  CUIString& operator=(const wchar_t* text);
  CUIString& operator=(wchar_t ch);
  CUIString& operator+=(const wchar_t* text);
  CUIString& operator+=(const CUIString& text);
  CUIString& operator+=(wchar_t ch);
  CUIString operator+(const wchar_t* text) const;
  CUIString operator+(const CUIString& text) const;
  bool operator==(const wchar_t* text) const;
  bool operator!=(const wchar_t* text) const { return !(*this == text); }
  bool operator==(const CUIString& text) const { return *this == text.c_str(); }
  bool operator!=(const CUIString& text) const { return !(*this == text.c_str()); }

 private:
  // Makes room for `length` characters (plus the terminator) and sets the length.
  bool Reserve(int length);

  wchar_t* m_text;
  int m_length = 0;
  wchar_t m_inline[kInlineChars];
};

}  // namespace SkinUI

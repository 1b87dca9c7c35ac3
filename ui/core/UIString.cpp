#include "ui/core/UIString.h"

#include <cstdarg>
#include <cstdlib>
#include <cwchar>

namespace SkinUI {

namespace {
wchar_t FoldCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }
int SafeLength(const wchar_t* text) { return text ? static_cast<int>(wcslen(text)) : 0; }
}  // namespace

CUIString::CUIString() : m_text(m_inline) { m_inline[0] = 0; }

CUIString::CUIString(const wchar_t* text, int length) : CUIString() { SetText(text, length); }

CUIString::CUIString(wchar_t ch) : CUIString() { SetText(&ch, 1); }

CUIString::CUIString(const CUIString& other) : CUIString() { SetText(other.m_text, other.m_length); }

CUIString::~CUIString() {
  if (!IsInline()) free(m_text);
}

bool CUIString::Reserve(int length) {
  if (length <= kInlineLimit) {
    if (!IsInline()) {
      // The caller may be copying from our own heap block: keep it until the copy is done.
      return false;
    }
    m_length = length;
    return true;
  }
  size_t bytes = sizeof(wchar_t) * (static_cast<size_t>(length) + 1);
  wchar_t* block = IsInline() ? static_cast<wchar_t*>(malloc(bytes))
                              : static_cast<wchar_t*>(realloc(m_text, bytes));
  if (!block) return false;
  if (IsInline()) wmemcpy(block, m_inline, m_length + 1);
  m_text = block;
  m_length = length;
  return true;
}

void CUIString::SetText(const wchar_t* text, int length) {
  if (!text) text = L"";
  if (length < 0) length = SafeLength(text);
  if (length <= kInlineLimit) {
    // Copy first: the source may live inside the heap block we are about to free.
    wchar_t copy[kInlineChars];
    wmemcpy(copy, text, length);
    if (!IsInline()) free(m_text);
    m_text = m_inline;
    wmemcpy(m_inline, copy, length);
    m_inline[length] = 0;
    m_length = length;
    return;
  }
  if (text >= m_text && text <= m_text + m_length) {
    CUIString copy(text, length);
    SetText(copy.m_text, copy.m_length);
    return;
  }
  if (!Reserve(length)) return;
  wmemcpy(m_text, text, length);
  m_text[length] = 0;
}

void CUIString::AppendText(const wchar_t* text) {
  int extra = SafeLength(text);
  if (extra == 0) return;
  int total = m_length + extra;
  if (total <= kInlineLimit) {
    wmemmove(m_text + m_length, text, extra);
    m_length = total;
    m_text[total] = 0;
    return;
  }
  CUIString joined;
  if (!joined.Reserve(total)) return;
  wmemcpy(joined.m_text, m_text, m_length);
  wmemcpy(joined.m_text + m_length, text, extra);
  joined.m_text[total] = 0;
  *this = joined;
}

void CUIString::Clear() { SetText(L"", 0); }

wchar_t CUIString::At(int index) const { return (index >= 0 && index < m_length) ? m_text[index] : 0; }

CUIString CUIString::Prefix(int n) const {
  if (n < 0) n = 0;
  if (n > m_length) n = m_length;
  return CUIString(m_text, n);
}

CUIString CUIString::Substring(int start, int n) const {
  if (start < 0) start = 0;
  if (start > m_length) start = m_length;
  if (n < 0 || start + n > m_length) n = m_length - start;
  if (n <= 0) return CUIString();
  return CUIString(m_text + start, n);
}

int CUIString::IndexOf(wchar_t ch, int start) const {
  if (start < 0 || (start > 0 && start >= m_length)) return -1;
  const wchar_t* p = wcschr(m_text + start, ch);
  return (p && ch != 0) ? static_cast<int>(p - m_text) : -1;
}

int CUIString::IndexOf(const wchar_t* text, int start) const {
  if (!text || start < 0 || (start > 0 && start >= m_length)) return -1;
  const wchar_t* p = wcsstr(m_text + start, text);
  return p ? static_cast<int>(p - m_text) : -1;
}

int CUIString::ReplaceAll(const wchar_t* from, const wchar_t* to) {
  int fromLength = SafeLength(from);
  if (fromLength == 0) return 0;
  if (!to) to = L"";
  int toLength = SafeLength(to);
  int count = 0;
  int found = IndexOf(from, 0);
  while (found >= 0) {
    CUIString rebuilt = Prefix(found);
    rebuilt += to;
    rebuilt += m_text + found + fromLength;
    *this = rebuilt;
    ++count;
    int next = found + toLength;
    if (next >= m_length) break;
    found = IndexOf(from, next);
  }
  return count;
}

int CUIString::Printf(const wchar_t* format, ...) {
  // wvsprintfW itself writes at most 1024 characters; the result is cut to our 64-character buffer.
  wchar_t wide[1025];
  va_list args;
  va_start(args, format);
  int written = ::wvsprintfW(wide, format ? format : L"", args);
  va_end(args);
  if (written < 0) written = 0;
  wide[1024] = 0;
  if (written > kInlineChars - 1) written = kInlineChars - 1;
  SetText(wide, written);
  return written;
}

void CUIString::ToLower() {
  for (int i = 0; i < m_length; ++i) m_text[i] = FoldCase(m_text[i]);
}

int CUIString::CompareOrdinal(const wchar_t* text) const { return wcscmp(m_text, text ? text : L""); }

int CUIString::CompareIgnoreCase(const wchar_t* text) const {
  if (!text) text = L"";
  const wchar_t* a = m_text;
  for (;; ++a, ++text) {
    wchar_t ca = FoldCase(*a), cb = FoldCase(*text);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

CUIString& CUIString::operator=(const CUIString& other) {
  if (this != &other) SetText(other.m_text, other.m_length);
  return *this;
}
CUIString& CUIString::operator=(const wchar_t* text) {
  SetText(text);
  return *this;
}
CUIString& CUIString::operator=(wchar_t ch) {
  SetText(&ch, 1);
  return *this;
}
CUIString& CUIString::operator+=(const wchar_t* text) {
  AppendText(text);
  return *this;
}
CUIString& CUIString::operator+=(const CUIString& text) {
  if (&text == this) {
    CUIString copy(text);
    AppendText(copy);
  } else {
    AppendText(text.m_text);
  }
  return *this;
}
CUIString& CUIString::operator+=(wchar_t ch) {
  wchar_t pair[2] = {ch, 0};
  AppendText(pair);
  return *this;
}
CUIString CUIString::operator+(const wchar_t* text) const {
  CUIString result(*this);
  result += text;
  return result;
}
CUIString CUIString::operator+(const CUIString& text) const { return *this + text.m_text; }
bool CUIString::operator==(const wchar_t* text) const { return CompareOrdinal(text) == 0; }

}  // namespace SkinUI

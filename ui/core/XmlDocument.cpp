#include "ui/core/XmlDocument.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "ui/core/SkinFiles.h"

namespace SkinUI {

namespace {

bool IsBlankChar(wchar_t c) { return c >= 1 && c <= 32; }
void SkipBlanks(wchar_t*& p) {
  while (IsBlankChar(*p)) ++p;
}
bool IsNameChar(wchar_t c) { return c != 0 && (iswalnum(c) || c == L'_' || c == L':'); }

struct Entity {
  const wchar_t* name;
  size_t length;
  wchar_t value;
};
constexpr Entity kEntities[] = {
    {L"&amp;", 5, L'&'}, {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

// Decodes in place from p up to `stop` (or the end); p is left on the stop character. Returns the
// end of the decoded text; what decoding left over is overwritten with spaces.
wchar_t* DecodeData(wchar_t*& p, wchar_t stop) {
  wchar_t* write = p;
  wchar_t* read = p;
  while (*read && *read != stop) {
    if (*read == L'&') {
      bool decoded = false;
      for (const Entity& e : kEntities) {
        if (wcsncmp(read, e.name, e.length) == 0) {
          *write++ = e.value;
          read += e.length;
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    wchar_t* next = ::CharNextW(read);
    if (next == read) next = read + 1;
    while (read < next && *read) *write++ = *read++;
  }
  for (wchar_t* q = write; q < read; ++q) *q = L' ';
  p = read;
  return write;
}

}  // namespace

// ---------------------------------------------------------------- CXmlNode

const wchar_t* CXmlNode::Tag() const {
  return m_document ? m_document->m_text + m_document->m_elements[m_element].name : nullptr;
}

const wchar_t* CXmlNode::Text() const {
  return m_document ? m_document->m_text + m_document->m_elements[m_element].data : nullptr;
}

CXmlNode CXmlNode::NextSibling() const {
  if (!m_document) return CXmlNode();
  ULONG next = m_document->m_elements[m_element].next;
  return next ? CXmlNode(m_document, next) : CXmlNode();
}

CXmlNode CXmlNode::FirstChild() const {
  if (!m_document) return CXmlNode();
  ULONG child = m_document->m_elements[m_element].child;
  return child ? CXmlNode(m_document, child) : CXmlNode();
}

bool CXmlNode::HasChild() const { return m_document && m_document->m_elements[m_element].child != 0; }

void CXmlNode::MapAttributes() {
  if (m_mapped || !m_document) return;
  m_mapped = true;
  const wchar_t* text = m_document->m_text;
  const auto& element = m_document->m_elements[m_element];
  ULONG end = element.data;
  ULONG pos = element.name + static_cast<ULONG>(wcslen(text + element.name)) + 1;
  while (pos < end && m_attributeCount < kMaxAttributes) {
    while (pos < end && IsBlankChar(text[pos])) ++pos;
    if (pos >= end || !IsNameChar(text[pos])) break;
    ULONG name = pos;
    pos += static_cast<ULONG>(wcslen(text + pos)) + 1;
    while (pos < end && IsBlankChar(text[pos])) ++pos;
    if (pos >= end || text[pos] != L'"') break;
    ULONG value = ++pos;
    m_attributes[m_attributeCount][0] = name;
    m_attributes[m_attributeCount][1] = value;
    ++m_attributeCount;
    pos += static_cast<ULONG>(wcslen(text + pos)) + 1;
  }
}

int CXmlNode::AttributeCount() {
  MapAttributes();
  return m_attributeCount;
}

bool CXmlNode::HasAnyAttribute() { return AttributeCount() > 0; }

const wchar_t* CXmlNode::AttributeNameAt(int index) {
  if (!m_document) return nullptr;
  MapAttributes();
  if (index < 0 || index >= m_attributeCount) return L"";
  return m_document->m_text + m_attributes[index][0];
}

const wchar_t* CXmlNode::AttributeValueAt(int index) {
  if (!m_document) return nullptr;
  MapAttributes();
  if (index < 0 || index >= m_attributeCount) return L"";
  return m_document->m_text + m_attributes[index][1];
}

bool CXmlNode::CopyAttribute(const wchar_t* name, wchar_t* buffer, size_t size) {
  if (!m_document || !name || !buffer || size == 0) return false;
  MapAttributes();
  for (int i = 0; i < m_attributeCount; ++i) {
    if (wcscmp(m_document->m_text + m_attributes[i][0], name) != 0) continue;
    wcsncpy(buffer, m_document->m_text + m_attributes[i][1], size);
    buffer[size - 1] = 0;
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- CXmlDocument

void CXmlDocument::Clear() {
  free(m_text);
  m_text = nullptr;
  free(m_elements);
  m_elements = nullptr;
  m_elementCount = m_elementCapacity = 0;
}

CXmlNode CXmlDocument::Root() {
  // Element 0 is reserved: a document without an element has no root.
  if (!m_text || m_elementCount < 2) return CXmlNode();
  return CXmlNode(this, 1);
}

bool CXmlDocument::ParseText(const wchar_t* text) {
  Clear();
  if (!text) text = L"";
  size_t length = wcslen(text);
  m_text = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
  if (!m_text) {
    SetLoadError(L"Out of memory");
    return false;
  }
  wmemcpy(m_text, text, length + 1);
  if (Parse()) return true;
  Clear();
  return false;
}

bool CXmlDocument::ParseBytes(const void* bytes, size_t length, int encoding) {
  Clear();
  const unsigned char* b = static_cast<const unsigned char*>(bytes);
  if (!b) length = 0;
  if (length > 0x7FFFFFF0u) {
    SetLoadError(L"File too large");
    return false;
  }
  std::wstring text;
  if (encoding == XmlEncodingUnicode) {
    if (length < 2 || !((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0xFF && b[1] == 0xFE))) {
      SetLoadError(L"Expected byte-order mark");
      return false;
    }
    bool bigEndian = b[0] == 0xFE;
    size_t units = (length - 2) / 2;
    text.resize(units);
    // Converted into our own copy: the caller's bytes may be a read-only resource.
    for (size_t i = 0; i < units; ++i) {
      unsigned char lo = b[2 + 2 * i], hi = b[3 + 2 * i];
      text[i] = bigEndian ? static_cast<wchar_t>((lo << 8) | hi) : static_cast<wchar_t>((hi << 8) | lo);
    }
  } else {
    UINT codePage = encoding == XmlEncodingAnsi ? CP_ACP : CP_UTF8;
    if (codePage == CP_UTF8 && length > 2 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
      b += 3;
      length -= 3;
    }
    if (length > 0) {
      int needed = ::MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(b), static_cast<int>(length),
                                         nullptr, 0);
      text.resize(needed > 0 ? needed : 0);
      if (needed > 0) {
        ::MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(b), static_cast<int>(length), &text[0],
                              needed);
      }
    }
  }
  // An embedded zero would end the text early: the parse sees only what precedes it.
  return ParseText(text.c_str());
}

bool CXmlDocument::ParseSkinFile(const wchar_t* name, int encoding) {
  Clear();
  std::string bytes;
  SkinReadStatus status = ReadSkinFile(name ? name : L"", bytes);
  if (status != SkinReadStatus::kOk) {
    SetLoadError(SkinReadMessage(status));
    return false;
  }
  return ParseBytes(bytes.data(), bytes.size(), encoding);
}

void CXmlDocument::SetLoadError(const wchar_t* message) {
  wcsncpy(m_errorMessage, message, 99);
  m_errorMessage[99] = 0;
  m_errorLocation[0] = 0;
}

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* location) {
  SetLoadError(message);
  if (location) {
    wcsncpy(m_errorLocation, location, 49);
    m_errorLocation[49] = 0;
  }
  return false;
}

ULONG CXmlDocument::NewElement() {
  if (m_elementCount >= m_elementCapacity) {
    ULONG capacity = m_elementCapacity / 2 + m_elementCapacity + 500;
    if (capacity > kMaxElements + 1) capacity = kMaxElements + 1;
    if (capacity <= m_elementCount) return 0;
    auto* grown = static_cast<TElement*>(realloc(m_elements, capacity * sizeof(TElement)));
    if (!grown) return 0;
    m_elements = grown;
    m_elementCapacity = capacity;
  }
  m_elements[m_elementCount] = TElement{0, 0, 0, 0, 0};
  return m_elementCount++;
}

bool CXmlDocument::Parse() {
  m_errorMessage[0] = m_errorLocation[0] = 0;
  m_elementCount = 0;
  if (NewElement() != 0) return Fail(L"Out of memory", m_text);
  wchar_t* p = m_text;
  if (!ParseSequence(p, 0, 0)) return false;
  if (*p) return Fail(L"Unmatched closing tag", p);
  if (m_elementCount < 2) return Fail(L"Document holds no element", m_text);
  return true;
}

bool CXmlDocument::ParseSequence(wchar_t*& p, ULONG parent, int depth) {
  if (depth > kMaxDepth) return Fail(L"Elements nested too deeply", p);
  ULONG last = 0;
  for (;;) {
    SkipBlanks(p);
    if (!*p && parent == 0) return true;
    if (*p != L'<') return Fail(L"Expected start tag", p);
    if (p[1] == L'/') return parent != 0 ? true : Fail(L"Unmatched closing tag", p);
    *p++ = 0;
    SkipBlanks(p);
    if (*p == L'!' || *p == L'?') {
      wchar_t close = *p == L'!' ? L'-' : L'?';
      while (*p && !(p[0] == close && p[1] == L'>')) ++p;
      if (*p) p += 2;
      continue;
    }
    ULONG index = NewElement();
    if (index == 0) return Fail(L"Too many elements", p);
    m_elements[index].name = static_cast<ULONG>(p - m_text);
    m_elements[index].parent = parent;
    if (last) m_elements[last].next = index;
    else if (parent) m_elements[parent].child = index;
    last = index;
    if (!ParseElementBody(p, index, depth)) return false;
  }
}

bool CXmlDocument::ParseElementBody(wchar_t*& p, ULONG index, int depth) {
  while (IsNameChar(*p)) ++p;
  wchar_t* nameEnd = p;
  if (!*p || nameEnd == m_text + m_elements[index].name) return Fail(L"Error parsing element name", p);
  if (!ParseAttributes(p)) return false;
  SkipBlanks(p);
  if (p[0] == L'/' && p[1] == L'>') {
    m_elements[index].data = static_cast<ULONG>(p - m_text);
    *p = 0;
    p += 2;
  } else {
    if (*p != L'>') return Fail(L"Expected start-tag closing", p);
    m_elements[index].data = static_cast<ULONG>(++p - m_text);
    DecodeData(p, L'<');
    // An element still open at the end of the text is malformed, at any depth.
    if (*p != L'<') return Fail(L"Expected end-tag start", p);
    if (p[1] != L'/' && !ParseSequence(p, index, depth + 1)) return false;
    if (!ReadEndTag(p, index)) return false;
  }
  *nameEnd = 0;
  SkipBlanks(p);
  return true;
}

bool CXmlDocument::ReadEndTag(wchar_t*& p, ULONG index) {
  if (!(p[0] == L'<' && p[1] == L'/')) return Fail(L"Expected end-tag start", p);
  *p = 0;
  p += 2;
  SkipBlanks(p);
  const wchar_t* name = m_text + m_elements[index].name;
  size_t length = 0;
  while (IsNameChar(name[length])) ++length;
  if (wcsncmp(p, name, length) != 0) return Fail(L"Unmatched closing tag", p);
  p += length;
  SkipBlanks(p);
  if (*p != L'>') return Fail(L"Unmatched closing tag", p);
  ++p;
  return true;
}

bool CXmlDocument::ParseAttributes(wchar_t*& p) {
  if (*p == L'>') return true;
  if (!(p[0] == L'/' && p[1] == L'>')) *p++ = 0;
  SkipBlanks(p);
  while (*p && *p != L'>' && *p != L'/') {
    wchar_t* name = p;
    while (IsNameChar(*p)) ++p;
    wchar_t* nameEnd = p;
    SkipBlanks(p);
    if (*p != L'=' || nameEnd == name) return Fail(L"Error while parsing attributes", p);
    *p = L' ';
    *nameEnd = 0;
    ++p;
    SkipBlanks(p);
    if (*p != L'"') return Fail(L"Expected attribute value", p);
    ++p;
    wchar_t* valueEnd = DecodeData(p, L'"');
    if (!*p) return Fail(L"Error while parsing attribute string", p);
    if (valueEnd != p) *p = L' ';
    *valueEnd = 0;
    ++p;
    SkipBlanks(p);
  }
  return true;
}

}  // namespace SkinUI

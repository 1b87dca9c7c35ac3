// The skin markup parser: a small XML dialect (elements, double-quoted attributes, the five
// predefined entities; comments and processing instructions skipped) parsed in place into a flat
// element table. CXmlNode is a light, copyable handle on one element.
#pragma once

#include <windows.h>

#include <cstddef>

namespace SkinUI {

enum XmlEncoding { XmlEncodingUtf8 = 0, XmlEncodingUnicode = 1, XmlEncodingAnsi = 2 };

class CXmlDocument;

class CXmlNode {
 public:
  static constexpr int kMaxAttributes = 64;

  CXmlNode() = default;
  CXmlNode(CXmlDocument* document, ULONG element) : m_document(document), m_element(element) {}

  bool Exists() const { return m_document != nullptr; }
  const wchar_t* Tag() const;
  CXmlNode NextSibling() const;
  CXmlNode FirstChild() const;
  bool HasChild() const;
  bool HasAnyAttribute();
  int AttributeCount();
  // Empty for an index out of range, null for an invalid node.
  const wchar_t* AttributeNameAt(int index);
  const wchar_t* AttributeValueAt(int index);
  // Exact, case-sensitive name; copies at most `size` characters (terminated within `size`).
  bool CopyAttribute(const wchar_t* name, wchar_t* buffer, size_t size);
  // The element's text content (empty for an empty element).
  const wchar_t* Text() const;

 private:
  void MapAttributes();

  CXmlDocument* m_document = nullptr;
  ULONG m_element = 0;
  int m_attributeCount = 0;
  bool m_mapped = false;
  ULONG m_attributes[kMaxAttributes][2] = {};
};

class CXmlDocument {
 public:
  // Deeper nesting than this fails the parse instead of exhausting the stack.
  static constexpr int kMaxDepth = 256;
  static constexpr ULONG kMaxElements = 1u << 20;

  CXmlDocument() = default;
  explicit CXmlDocument(const wchar_t* text) { ParseText(text); }
  ~CXmlDocument() { Clear(); }
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;

  bool ParseText(const wchar_t* text);
  bool ParseBytes(const void* bytes, size_t length, int encoding = XmlEncodingUtf8);
  bool ParseSkinFile(const wchar_t* name, int encoding = XmlEncodingUtf8);
  void Clear();
  CXmlNode Root();
  const wchar_t* ErrorMessage() const { return m_errorMessage; }
  const wchar_t* ErrorLocation() const { return m_errorLocation; }
  ULONG ElementCount() const { return m_elementCount; }

 private:
  friend class CXmlNode;
  struct TElement {
    ULONG name;
    ULONG child;
    ULONG next;
    ULONG parent;
    ULONG data;
  };

  bool Parse();
  bool ParseSequence(wchar_t*& p, ULONG parent, int depth);
  bool ParseElementBody(wchar_t*& p, ULONG index, int depth);
  bool ParseAttributes(wchar_t*& p);
  bool ReadEndTag(wchar_t*& p, ULONG index);
  ULONG NewElement();
  bool Fail(const wchar_t* message, const wchar_t* location);
  void SetLoadError(const wchar_t* message);

  wchar_t* m_text = nullptr;
  TElement* m_elements = nullptr;
  ULONG m_elementCount = 0;
  ULONG m_elementCapacity = 0;
  wchar_t m_errorMessage[100] = {};
  wchar_t m_errorLocation[50] = {};
};

}  // namespace SkinUI

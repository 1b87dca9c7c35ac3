#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/XmlDocument.h"

using namespace SkinUI;
using testing_support::CTempFolder;
using testing_support::WriteFileBytes;

namespace {
std::wstring Attr(CXmlNode node, const wchar_t* name) {
  wchar_t buffer[256] = {};
  return node.CopyAttribute(name, buffer, 256) ? buffer : L"<missing>";
}
}  // namespace

TEST(XmlDocument, ElementsFormATreeWithAttributesInOrder) {
  CXmlDocument doc(L"<?xml version=\"1.0\"?>\n<Window size=\"800,550\" caption=\"0,0,0,40\">"
                   L"<!-- a comment -->"
                   L"<VBox><Button name=\"ok\" text=\"OK\"/><Label name=\"l\" /></VBox><HBox/></Window>");
  CXmlNode root = doc.Root();
  ASSERT_TRUE(root.Exists()) << doc.ErrorMessage();
  EXPECT_STREQ(root.Tag(), L"Window");
  EXPECT_EQ(root.AttributeCount(), 2);
  EXPECT_STREQ(root.AttributeNameAt(1), L"caption");
  EXPECT_STREQ(root.AttributeValueAt(0), L"800,550");
  EXPECT_STREQ(root.AttributeValueAt(5), L"");
  CXmlNode vbox = root.FirstChild();
  EXPECT_STREQ(vbox.Tag(), L"VBox");
  CXmlNode button = vbox.FirstChild();
  EXPECT_STREQ(button.Tag(), L"Button");
  EXPECT_EQ(Attr(button, L"text"), L"OK");
  EXPECT_EQ(Attr(button, L"Text"), L"<missing>");  // names are case-sensitive
  EXPECT_FALSE(button.HasChild());
  CXmlNode label = button.NextSibling();
  EXPECT_STREQ(label.Tag(), L"Label");
  EXPECT_EQ(Attr(label, L"name"), L"l");
  EXPECT_FALSE(label.NextSibling().Exists());
  EXPECT_STREQ(vbox.NextSibling().Tag(), L"HBox");
  EXPECT_FALSE(vbox.NextSibling().HasAnyAttribute());
  CXmlNode invalid;
  EXPECT_EQ(invalid.AttributeNameAt(0), nullptr);
  EXPECT_EQ(invalid.Tag(), nullptr);
}

TEST(XmlDocument, EntitiesDecodeAndUnknownOnesStay) {
  CXmlDocument doc(L"<a v=\"&lt;b&gt;\" w=\"&copy;&amp;&amp;&quot;&apos;\" x=\"plain\">t&amp;t</a>");
  CXmlNode a = doc.Root();
  ASSERT_TRUE(a.Exists()) << doc.ErrorMessage();
  EXPECT_EQ(Attr(a, L"v"), L"<b>");
  EXPECT_EQ(Attr(a, L"w"), L"&copy;&&\"'");
  EXPECT_EQ(Attr(a, L"x"), L"plain");
  EXPECT_EQ(std::wstring(a.Text()).substr(0, 3), L"t&t");
}

TEST(XmlDocument, SeventyAttributesShowSixtyFour) {
  std::wstring text = L"<a";
  for (int i = 0; i < 70; ++i) text += L" n" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
  text += L"/>";
  CXmlDocument doc(text.c_str());
  CXmlNode a = doc.Root();
  ASSERT_TRUE(a.Exists());
  EXPECT_EQ(a.AttributeCount(), 64);
  EXPECT_STREQ(a.AttributeValueAt(63), L"63");
}

TEST(XmlDocument, CopyAttributeStaysInsideTheBuffer) {
  CXmlDocument doc(L"<a v=\"0123456789\"/>");
  CXmlNode a = doc.Root();
  wchar_t buffer[6];
  wmemset(buffer, L'#', 6);
  EXPECT_TRUE(a.CopyAttribute(L"v", buffer, 5));
  EXPECT_STREQ(buffer, L"0123");
  EXPECT_EQ(buffer[5], L'#');
}

TEST(XmlDocument, MalformedMarkupFailsWithMessageAndPosition) {
  struct Case {
    const wchar_t* text;
    const wchar_t* message;
  } cases[] = {
      {L"text", L"Expected start tag"},
      {L"<a>", L"Expected end-tag start"},
      {L"<a><b></b>", L"Expected start tag"},
      {L"<a", L"Error parsing element name"},
      {L"<a x=\"1\"", L"Expected start-tag closing"},
      {L"<a x=\"1\" / >", L"Expected start-tag closing"},
      {L"<a></ab>", L"Unmatched closing tag"},
      {L"<a></a x>", L"Unmatched closing tag"},
      {L"<a><b></a>", L"Unmatched closing tag"},
      {L"<a x></a>", L"Error while parsing attributes"},
      {L"<a x=1></a>", L"Expected attribute value"},
      {L"<a x='1'></a>", L"Expected attribute value"},
      {L"<a x=\"1></a>", L"Error while parsing attribute string"},
      {L"</a>", L"Unmatched closing tag"},
      {L"", L"Document holds no element"},
      {L"  \r\n ", L"Document holds no element"},
      {L"<!-- only a comment -->", L"Document holds no element"},
      {L"<?xml version=\"1.0\"?>", L"Document holds no element"},
  };
  for (const Case& c : cases) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.ParseText(c.text)) << c.text;
    EXPECT_STREQ(doc.ErrorMessage(), c.message) << c.text;
    EXPECT_FALSE(doc.Root().Exists()) << c.text;
  }
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText(L"<a><b x=\"1\" y=z/></a>"));
  EXPECT_STREQ(doc.ErrorLocation(), L"z/></a>");
}

TEST(XmlDocument, EmptyElementFormsAndEndTagBlanks) {
  for (const wchar_t* text : {L"<r><a/><b /></r>", L"<r><a></a ><b></b></r>", L"<r>\n<a\n/>\n<b/>\n</r >"}) {
    CXmlDocument doc(text);
    CXmlNode a = doc.Root().FirstChild();
    ASSERT_TRUE(a.Exists()) << text << doc.ErrorMessage();
    EXPECT_STREQ(a.Tag(), L"a") << text;
    EXPECT_STREQ(a.NextSibling().Tag(), L"b") << text;
    EXPECT_EQ(a.AttributeCount(), 0) << text;
  }
}

TEST(XmlDocument, DeepNestingAndManyElementsFailOrLoadWithoutExhaustingMemory) {
  std::wstring deep;
  for (int i = 0; i < 100000; ++i) deep += L"<a>";
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText(deep.c_str()));
  EXPECT_STREQ(doc.ErrorMessage(), L"Elements nested too deeply");

  std::wstring wide = L"<r>";
  for (int i = 0; i < 20000; ++i) wide += L"<b/>";
  wide += L"</r>";
  ASSERT_TRUE(doc.ParseText(wide.c_str()));
  int count = 0;
  for (CXmlNode n = doc.Root().FirstChild(); n.Exists(); n = n.NextSibling()) ++count;
  EXPECT_EQ(count, 20000);

  std::wstring longValue = L"<a v=\"" + std::wstring(1 << 20, L'x') + L"\"/>";
  ASSERT_TRUE(doc.ParseText(longValue.c_str()));
  EXPECT_EQ(wcslen(doc.Root().AttributeValueAt(0)), static_cast<size_t>(1 << 20));
}

TEST(XmlDocument, BytesInEachEncoding) {
  const char utf8[] = "<a t=\"\xE5\xB2\x9A\xE9\xB9\x8A\"/>";
  std::string withMark = "\xEF\xBB\xBF" + std::string(utf8);
  for (const std::string& bytes : {std::string(utf8), withMark}) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.ParseBytes(bytes.data(), bytes.size(), XmlEncodingUtf8)) << doc.ErrorMessage();
    EXPECT_STREQ(doc.Root().AttributeValueAt(0), L"岚鹊");
  }
  // UTF-16 in both byte orders; the caller's bytes are left as they were.
  std::wstring text = L"<a t=\"x\"/>";
  std::string little = "\xFF\xFE", big = "\xFE\xFF";
  for (wchar_t c : text) {
    little += static_cast<char>(c & 0xFF);
    little += static_cast<char>(c >> 8);
    big += static_cast<char>(c >> 8);
    big += static_cast<char>(c & 0xFF);
  }
  for (const std::string& bytes : {little, big}) {
    const std::string before = bytes;
    CXmlDocument doc;
    ASSERT_TRUE(doc.ParseBytes(bytes.data(), bytes.size(), XmlEncodingUnicode)) << doc.ErrorMessage();
    EXPECT_STREQ(doc.Root().Tag(), L"a");
    EXPECT_EQ(bytes, before);
  }
  CXmlDocument doc;
  std::string noMark = little.substr(2);
  EXPECT_FALSE(doc.ParseBytes(noMark.data(), noMark.size(), XmlEncodingUnicode));
  EXPECT_FALSE(doc.Root().Exists());
  const char ansi[] = "<a t=\"v\"/>";
  EXPECT_TRUE(doc.ParseBytes(ansi, sizeof(ansi) - 1, XmlEncodingAnsi));
  EXPECT_TRUE(doc.ParseBytes(ansi, 0, XmlEncodingUtf8) == false);
}

TEST(XmlDocument, SkinFilesLoadFromTheResourceFolderWithSizeLimits) {
  CTempFolder folder;
  CWindowManagerUI::SetSkinFolder((folder.Path() + L"\\").c_str());
  ASSERT_TRUE(WriteFileBytes(folder / L"main.xml", "<Window><Button/></Window>"));
  ASSERT_TRUE(WriteFileBytes(folder / L"empty.xml", ""));
  std::string big(4194304, ' ');
  big.replace(0, 4, "<a/>");
  ASSERT_TRUE(WriteFileBytes(folder / L"limit.xml", big));
  ASSERT_TRUE(WriteFileBytes(folder / L"over.xml", big + " "));
  struct Case {
    const wchar_t* name;
    bool ok;
    const wchar_t* message;
  } cases[] = {
      {L"main.xml", true, L""},
      {L"limit.xml", true, L""},
      {L"over.xml", false, L"File too large"},
      {L"empty.xml", false, L"File is empty"},
      {L"missing.xml", false, L"Error opening file"},
  };
  for (const Case& c : cases) {
    CXmlDocument doc;
    EXPECT_EQ(doc.ParseSkinFile(c.name), c.ok) << c.name;
    EXPECT_STREQ(doc.ErrorMessage(), c.message) << c.name;
    EXPECT_EQ(doc.Root().Exists(), c.ok) << c.name;
  }
  CWindowManagerUI::SetSkinFolder(L"");
}

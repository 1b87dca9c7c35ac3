#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/XmlDocument.h"

using namespace SkinUI;

namespace {

// Registers the fixture archive for one test and closes it afterwards, so that the other tests
// read skin files from the resource folder again.
class SkinArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_bytes = testing_support::ReadFileBytes(testing_support::EnvironmentPath("TOVIK_BINARY_DIR") +
                                             L"\\tests\\ui-fixtures\\skin.zip");
    ASSERT_FALSE(m_bytes.empty());
  }
  void TearDown() override { CWindowManagerUI::CloseSkinArchive(); }
  std::string m_bytes;
};

}  // namespace

TEST_F(SkinArchiveTest, MarkupAndImagesLoadFromTheArchiveWithMessagesForEachFailure) {
  ASSERT_TRUE(CWindowManagerUI::RegisterSkinArchive(m_bytes.data(), m_bytes.size(), "Qm7rTe2K"));
  EXPECT_EQ(CWindowManagerUI::SkinArchiveName(), L"membuffer");
  EXPECT_STREQ(CWindowManagerUI::SkinArchivePassword(), "Qm7rTe2K");
  struct Case {
    const wchar_t* name;
    bool ok;
    const wchar_t* message;
  } cases[] = {
      {L"main.xml", true, L""},
      {L"MAIN.XML", true, L""},  // names are looked up ignoring case
      {L"main.xml", true, L""},  // the same item twice
      {L"pages/Page.xml", true, L""},
      {L"missing.xml", false, L"Could not find ziped file"},
      {L"empty.xml", false, L"File is empty"},
      {L"big.xml", false, L"File too large"},
  };
  for (const Case& c : cases) {
    CXmlDocument doc;
    EXPECT_EQ(doc.ParseSkinFile(c.name), c.ok) << c.name;
    EXPECT_STREQ(doc.ErrorMessage(), c.message) << c.name;
  }
  CXmlDocument doc;
  ASSERT_TRUE(doc.ParseSkinFile(L"main.xml"));
  EXPECT_STREQ(doc.Root().FirstChild().Tag(), L"Button");

  CWindowManagerUI manager;
  TImageInfo* image = manager.ImageByNameOrLoad(L"dot.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(reinterpret_cast<DWORD*>(image->pixels)[0], 0xFF00FF00u);
}

TEST_F(SkinArchiveTest, WrongPasswordMakesItemsUnreadable) {
  ASSERT_TRUE(CWindowManagerUI::RegisterSkinArchive(m_bytes.data(), m_bytes.size(), "wrong"));
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseSkinFile(L"main.xml"));
  EXPECT_STREQ(doc.ErrorMessage(), L"Could not unzip file");
  CWindowManagerUI manager;
  EXPECT_EQ(manager.ImageByNameOrLoad(L"dot.png"), nullptr);
}

TEST_F(SkinArchiveTest, BytesThatAreNoArchiveAreRefused) {
  const char junk[] = "this is not a zip archive at all";
  EXPECT_FALSE(CWindowManagerUI::RegisterSkinArchive(junk, sizeof(junk), "Qm7rTe2K"));
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseSkinFile(L"main.xml"));
  EXPECT_STREQ(doc.ErrorMessage(), L"Error opening zip file");
}

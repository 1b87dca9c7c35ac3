#include "archive/ZipItemDescription.h"

#include <gtest/gtest.h>

#include "tests/archive/ZipFixtureFiles.h"
#include "tests/archive/ZipTestArchive.h"

namespace {

using zip_test::AsNumber;
using zip_test::UnixToFileTime;

TEST(SanitizeItemName, MakesNamesRelativeAndDropsEverythingBeforeTheLastParentStep) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"/abs/x.txt", L"abs/x.txt"},
      {L"C:\\x\\y", L"x\\y"},
      {L"a/../../b", L"b"},
      {L"a\\..\\b\\c", L"b\\c"},
      {L"a/..\\b", L"b"},
      {L"\\\\server\\share\\f", L"server\\share\\f"},
      {L"C:/D:\\e", L"e"},
      {L"a/../b/../c", L"c"},
      {L"//../x", L"../x"},
      {L"plain/name.txt", L"plain/name.txt"},
      {L"a..b/c", L"a..b/c"},
      // A first component ".." has no separator in front: left for the writer to refuse.
      {L"../x", L"../x"},
      {L"x", L"x"},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(std::wstring(c.out), SanitizeItemName(c.in)) << c.in;
}

TEST(ItemAttributes, ReadsDosBitsForDosHostsAndUnixModeOtherwise) {
  struct Case {
    uint16_t madeBy;
    uint32_t external;
    uint32_t expected;
  } cases[] = {
      {0x0314, 0x81A40000, FILE_ATTRIBUTE_ARCHIVE},                           // Unix 0644 file
      {0x0314, 0x81240000, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},  // Unix 0444 file
      {0x0314, 0x41ED0010, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DIRECTORY},  // Unix 0755 folder
      {0x0014, 0x00000027, 0x27},                                             // FAT: every DOS bit
      {0x0B14, 0x00000010, FILE_ATTRIBUTE_DIRECTORY},                         // NTFS folder, no archive
      {0x0E14, 0x00000020, FILE_ATTRIBUTE_ARCHIVE},
      {0x0714, 0x00000001, FILE_ATTRIBUTE_READONLY},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, ItemAttributes(c.madeBy, c.external)) << std::hex << c.external;
}

TEST(DosStampToFileTime, ReadsLocalTimeAndGivesNothingForImpossibleDates) {
  FILETIME got = DosStampToFileTime(0x4ECF5A8F);  // 2019-06-15 11:20:30
  SYSTEMTIME calendar = {2019, 6, 0, 15, 11, 20, 30, 0};
  FILETIME local, expected;
  ASSERT_TRUE(::SystemTimeToFileTime(&calendar, &local));
  ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &expected));
  EXPECT_EQ(AsNumber(expected), AsNumber(got));

  const uint32_t impossible[] = {
      0x00000000,  // month 0, day 0
      0x4EC05A8F,  // day 0
      0x4E0F5A8F,  // month 0
      0x4FAF5A8F,  // month 13
      0x4ECFC000,  // hour 24
  };
  for (uint32_t stamp : impossible) EXPECT_EQ(0u, AsNumber(DosStampToFileTime(stamp))) << std::hex << stamp;
}

TEST(ApplyExtendedTimestamp, TakesOnlyTheTimesTheFieldReallyHolds) {
  using zip_test::UtBlock;
  const uint32_t w = 1500000000, a = 1500000100, c = 1500000200;
  std::string other = std::string("\x0a\x00\x04\x00xxxx", 8);
  struct Case {
    const char* what;
    std::string field;
    uint64_t write, access, creation;  // 0: left as it was (1)
  } cases[] = {
      {"all three", UtBlock(7, {w, a, c}), UnixToFileTime(w), UnixToFileTime(a), UnixToFileTime(c)},
      {"write only", UtBlock(1, {w}), UnixToFileTime(w), 1, 1},
      {"access and creation", UtBlock(6, {a, c}), 1, UnixToFileTime(a), UnixToFileTime(c)},
      {"after another block", other + UtBlock(1, {w}), UnixToFileTime(w), 1, 1},
      {"flags announce three, one held", UtBlock(7, {w}), UnixToFileTime(w), 1, 1},
      {"block longer than the field", UtBlock(7, {w}, 13), UnixToFileTime(w), 1, 1},
      {"half a time", UtBlock(1, {w}).substr(0, 7), 1, 1, 1},
      {"flag byte only", UtBlock(1, {}), 1, 1, 1},
      {"no UT block", other, 1, 1, 1},
  };
  for (const Case& k : cases) {
    ZipItemInfo info = {};
    info.writeTime = info.accessTime = info.creationTime = FILETIME{1, 0};
    // The field is copied into a buffer of exactly its size so that a read past it is a real
    // out-of-bounds read rather than a read of a string's terminator.
    std::vector<uint8_t> field(k.field.begin(), k.field.end());
    ApplyExtendedTimestamp(field.data(), field.size(), info);
    EXPECT_EQ(k.write, AsNumber(info.writeTime)) << k.what;
    EXPECT_EQ(k.access, AsNumber(info.accessTime)) << k.what;
    EXPECT_EQ(k.creation, AsNumber(info.creationTime)) << k.what;
  }
}

TEST(DescribeEntry, TrailingSeparatorMakesAFolderAndLongNamesAreRefused) {
  ZipCentralEntry entry;
  entry.versionMadeBy = 0x0014;
  entry.externalAttributes = 0x20;  // no directory bit
  entry.dosDateTime = 0x4ECF5A8F;
  ZipItemInfo info = {};
  for (const char* name : {"skin/", "skin\\"}) {
    entry.name = name;
    ASSERT_TRUE(DescribeEntry(3, entry, nullptr, 0, info));
    EXPECT_TRUE(info.attributes & FILE_ATTRIBUTE_DIRECTORY) << name;
    EXPECT_EQ(3, info.index);
  }

  entry.name = std::string(259, 'n');
  ASSERT_TRUE(DescribeEntry(0, entry, nullptr, 0, info));
  EXPECT_EQ(259u, wcslen(info.name));
  entry.name = std::string(260, 'n');
  info.index = 42;
  EXPECT_FALSE(DescribeEntry(0, entry, nullptr, 0, info));
  EXPECT_EQ(42, info.index);
}

}  // namespace

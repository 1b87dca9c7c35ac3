#include "archive/ZipExtractor.h"

#include <gtest/gtest.h>

#include "archive/ZipFacade.h"
#include "tests/archive/ZipFixtureFiles.h"
#include "tests/archive/ZipTestArchive.h"

namespace {

using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using zip_test::Build;
using zip_test::Entry;
using zip_test::Facts;
using zip_test::File;
using zip_test::FixtureBytes;
using zip_test::FixturePath;
using zip_test::UnixToFileTime;

const wchar_t* const kPackageFiles[] = {L"pkg\\readme.txt", L"pkg\\zero.txt", L"pkg\\readonly.txt",
                                        L"pkg\\sub\\data.bin", L"pkg\\sub\\deeper\\text.txt"};

// Writes a hand-built archive to disk and extracts it.
bool ExtractBytes(const std::string& bytes, const CTempFolder& work, const std::wstring& target) {
  std::wstring package = work / L"package.zip";
  EXPECT_TRUE(WriteFileBytes(package, bytes));
  return ZipExtractor::ExtractAll(package, target, nullptr);
}

TEST(ExtractAll, UnpacksInfoZipPackagesWithCommentStubOrNoExtraFields) {
  for (const wchar_t* name : {L"plain.zip", L"comment.zip", L"stub.zip", L"noextra.zip"}) {
    CTempFolder folder;
    std::wstring target = folder / L"install\\deep";
    ASSERT_TRUE(ZipExtractor::ExtractAll(FixturePath(name), target, nullptr)) << name;
    for (const wchar_t* file : kPackageFiles) {
      EXPECT_EQ(FixtureBytes(std::wstring(L"src\\") + file), ReadFileBytes(target + L"\\" + file)) << name << file;
    }
    EXPECT_TRUE(Facts(target + L"\\pkg\\empty").attributes & FILE_ATTRIBUTE_DIRECTORY) << name;
    EXPECT_TRUE(Facts(target + L"\\pkg\\readonly.txt").attributes & FILE_ATTRIBUTE_READONLY) << name;
    EXPECT_FALSE(Facts(target + L"\\pkg\\readme.txt").attributes & FILE_ATTRIBUTE_READONLY) << name;
  }
}

TEST(ExtractAll, TakesTheWriteTimeFromTheUtBlockElseFromTheDosStamp) {
  struct Case {
    const wchar_t* archive;
    uint64_t expected;
  } cases[] = {
      {L"plain.zip", UnixToFileTime(1560594031)},    // exact second from "UT"
      // DOS stamps hold even seconds, in local time; Info-ZIP rounds an odd second up.
      {L"noextra.zip", UnixToFileTime(1560594032)},
  };
  for (const Case& c : cases) {
    CTempFolder folder;
    ASSERT_TRUE(ZipExtractor::ExtractAll(FixturePath(c.archive), folder.Path(), nullptr));
    EXPECT_EQ(c.expected, Facts(folder / L"pkg\\readme.txt").writeTime) << c.archive;
  }
}

TEST(ExtractAll, ReplacesReadOnlyFilesAndGivesThemTheItemsAttributesAndTimes) {
  CTempFolder folder;
  std::wstring pkg = folder / L"pkg";
  ASSERT_TRUE(ZipExtractor::CreateFolderPath(pkg));
  for (const wchar_t* leaf : {L"\\readme.txt", L"\\readonly.txt"}) {
    ASSERT_TRUE(WriteFileBytes(pkg + leaf, "stale bytes from an earlier install"));
    ASSERT_TRUE(::SetFileAttributesW((pkg + leaf).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  }
  ASSERT_TRUE(ZipExtractor::ExtractAll(FixturePath(L"plain.zip"), folder.Path(), nullptr));

  EXPECT_EQ(FixtureBytes(L"src\\pkg\\readme.txt"), ReadFileBytes(pkg + L"\\readme.txt"));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), Facts(pkg + L"\\readme.txt").attributes);
  EXPECT_EQ(UnixToFileTime(1560594031), Facts(pkg + L"\\readme.txt").writeTime);
  EXPECT_EQ(FixtureBytes(L"src\\pkg\\readonly.txt"), ReadFileBytes(pkg + L"\\readonly.txt"));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY), Facts(pkg + L"\\readonly.txt").attributes);
}

TEST(ExtractAll, SanitisedNamesLandBelowTheTarget) {
  CTempFolder folder;
  std::wstring target = folder / L"target";
  std::string bytes = Build({File("/abs/x.txt", "abs"), File("C:\\x\\y", "drive"), File("a/../../b", "parent"),
                             File("\\\\server\\share.txt", "unc")});
  ASSERT_TRUE(ExtractBytes(bytes, folder, target));
  EXPECT_EQ("abs", ReadFileBytes(target + L"\\abs\\x.txt"));
  EXPECT_EQ("drive", ReadFileBytes(target + L"\\x\\y"));
  EXPECT_EQ("parent", ReadFileBytes(target + L"\\b"));
  EXPECT_EQ("unc", ReadFileBytes(target + L"\\server\\share.txt"));
}

TEST(ExtractAll, RefusesNameOutsideTarget) {
  const char* const names[] = {"../evil.txt", "..\\evil.txt", "..", "../", "sub/.."};
  for (const char* name : names) {
    CTempFolder folder;
    std::wstring target = folder / L"target";
    std::string bytes = Build({File("fine.txt", "fine"), File(name, "evil")});
    EXPECT_FALSE(ExtractBytes(bytes, folder, target)) << name;
    EXPECT_EQ("fine", ReadFileBytes(target + L"\\fine.txt")) << name;
    EXPECT_FALSE(Facts(folder / L"evil.txt").exists) << name;
  }
}

TEST(ExtractAll, TrailingSeparatorMakesAFolderWithoutTheDirectoryAttribute) {
  CTempFolder folder;
  std::wstring target = folder / L"target";
  Entry dir = File("assets/", "", 0);
  dir.external = 0x81A40000;  // a plain file's mode: only the name says "folder"
  Entry dosDir = File("more\\", "", 0);
  dosDir.versionMadeBy = 0x0014;
  dosDir.external = 0x20;
  ASSERT_TRUE(ExtractBytes(Build({dir, dosDir, File("assets/a.txt", "a")}), folder, target));
  EXPECT_TRUE(Facts(target + L"\\assets").attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(Facts(target + L"\\more").attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ("a", ReadFileBytes(target + L"\\assets\\a.txt"));
}

TEST(ExtractAll, InvalidDosDateKeepsTheFilesOwnTime) {
  CTempFolder folder;
  Entry noDate = File("nodate.txt", "x");
  noDate.dosDateTime = 0;  // month 0, day 0
  FILETIME before;
  ::GetSystemTimeAsFileTime(&before);
  ASSERT_TRUE(ExtractBytes(Build({noDate}), folder, folder / L"t"));
  uint64_t written = Facts(folder / L"t\\nodate.txt").writeTime;
  EXPECT_GE(written + 20000000ULL, zip_test::AsNumber(before));  // within seconds of now, not 1601
}

TEST(ExtractAll, StopsAtACorruptItemKeepingEarlierFilesAndLeavingNoBrokenOne) {
  CTempFolder folder;
  std::wstring target = folder / L"target";
  Entry corrupt = File("b.bin", zip_test::NoisyBytes(50000, 5));
  corrupt.overrideCrc = true;
  corrupt.crc = 1;
  ASSERT_FALSE(ExtractBytes(Build({File("a.txt", "first"), corrupt, File("c.txt", "third")}), folder, target));
  EXPECT_EQ("first", ReadFileBytes(target + L"\\a.txt"));
  EXPECT_FALSE(Facts(target + L"\\b.bin").exists);
  EXPECT_FALSE(Facts(target + L"\\c.txt").exists);
}

TEST(ExtractAll, EncryptedPackageNeedsItsPassword) {
  CTempFolder folder;
  Entry secret = File("secret.txt", std::string(20000, 's'));
  secret.password = "open sesame";
  Entry stored = File("stored.txt", "kept as is", 0);
  stored.password = "open sesame";
  std::wstring package = folder / L"secret.zip";
  ASSERT_TRUE(WriteFileBytes(package, Build({secret, stored})));
  EXPECT_FALSE(ZipExtractor::ExtractAll(package, folder / L"none", nullptr));
  EXPECT_FALSE(ZipExtractor::ExtractAll(package, folder / L"wrong", "open sesam"));
  ASSERT_TRUE(ZipExtractor::ExtractAll(package, folder / L"right", "open sesame"));
  EXPECT_EQ(std::string(20000, 's'), ReadFileBytes(folder / L"right\\secret.txt"));
  EXPECT_EQ("kept as is", ReadFileBytes(folder / L"right\\stored.txt"));
}

TEST(ExtractAll, RefusesMissingPackagesFoldersAndOverlongTargets) {
  CTempFolder folder;
  std::wstring plain = FixturePath(L"plain.zip");
  EXPECT_FALSE(ZipExtractor::ExtractAll(L"", folder.Path(), nullptr));
  EXPECT_FALSE(ZipExtractor::ExtractAll(plain, L"", nullptr));
  EXPECT_FALSE(ZipExtractor::ExtractAll(folder / L"missing.zip", folder.Path(), nullptr));
  EXPECT_FALSE(ZipExtractor::ExtractAll(folder.Path(), folder / L"t", nullptr));
  ASSERT_TRUE(WriteFileBytes(folder / L"text.zip", "not an archive"));
  EXPECT_FALSE(ZipExtractor::ExtractAll(folder / L"text.zip", folder / L"t", nullptr));

  // A target folder that leaves no room for names below it is refused, not cut.
  std::wstring longFolder = folder.Path() + L"\\" + std::wstring(300 - folder.Path().size(), L'f');
  EXPECT_FALSE(ZipExtractor::ExtractAll(plain, longFolder, nullptr));
  CScopedZip zip(ZipOpenFile(plain.c_str(), nullptr));
  EXPECT_EQ(ZipBadArgument, ZipSetTargetFolder(zip.Get(), longFolder.c_str()));
  EXPECT_EQ(ZipBadArgument, ZipSetTargetFolder(zip.Get(), std::wstring(258, L'f').c_str()));
  EXPECT_EQ(ZipOk, ZipSetTargetFolder(zip.Get(), std::wstring(257, L'f').c_str()));
  EXPECT_EQ(ZipBadArgument, ZipSetTargetFolder(zip.Get(), L""));
}

TEST(ZipUnpackToFile, AbsoluteTargetsAreUsedAsGiven) {
  CTempFolder folder;
  std::string bytes = Build({File("inner/name.txt", "payload"), File("dir/", "", 0)});
  CScopedZip zip(ZipOpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr));
  EXPECT_EQ(ZipOk, ZipUnpackToFile(zip.Get(), 0, (folder / L"x\\y\\out.txt").c_str()));
  EXPECT_EQ("payload", ReadFileBytes(folder / L"x\\y\\out.txt"));
  EXPECT_EQ(ZipOk, ZipUnpackToFile(zip.Get(), 1, (folder / L"made\\here").c_str()));
  EXPECT_TRUE(Facts(folder / L"made\\here").attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(ZipBadArgument, ZipUnpackToFile(zip.Get(), 2, (folder / L"z").c_str()));
}

TEST(CreateFolderPath, CreatesEveryMissingLevelAndFailsOnAFileInTheWay) {
  CTempFolder folder;
  EXPECT_TRUE(ZipExtractor::CreateFolderPath(folder / L"a\\b/c\\"));
  EXPECT_TRUE(Facts(folder / L"a\\b\\c").attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(ZipExtractor::CreateFolderPath(folder.Path()));
  ASSERT_TRUE(WriteFileBytes(folder / L"file", "x"));
  EXPECT_FALSE(ZipExtractor::CreateFolderPath(folder / L"file\\below"));
}

}  // namespace

#include "archive/ZipFacade.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/archive/ZipFixtureFiles.h"
#include "tests/archive/ZipTestArchive.h"

namespace {

using testing_support::CTempFolder;
using zip_test::Build;
using zip_test::Entry;
using zip_test::File;
using zip_test::FixtureBytes;
using zip_test::FixturePath;

const char kSkinPassword[] = "skin-pass";

CScopedZip OpenBytes(const std::string& bytes, const char* password = nullptr) {
  return CScopedZip(ZipOpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size()), password));
}

int ItemCount(ZipHandle zip) {
  ZipItemInfo info;
  EXPECT_EQ(ZipOk, ZipItemAt(zip, -1, &info));
  return info.index;
}

// Reads an item through ZipUnpackToMemory in pieces of the given size.
ZipResult ReadInPieces(ZipHandle zip, int index, uint32_t piece, std::string& out) {
  out.clear();
  std::string buffer(piece, '\0');
  for (int round = 0; round < 100000; ++round) {
    ZipResult result = ZipUnpackToMemory(zip, index, &buffer[0], piece);
    if (result != ZipOk && result != ZipMoreData) return result;
    // The facade does not say how much the last piece held: the item's size does.
    ZipItemInfo info;
    if (result == ZipOk) {
      EXPECT_EQ(ZipOk, ZipItemAt(zip, index, &info));
      out.append(buffer, 0, info.uncompressedSize - out.size());
      return ZipOk;
    }
    out += buffer;
  }
  return ZipInflateFailed;
}

TEST(ZipOpen, FindsTheEndRecordBehindALongCommentAndInFrontOfAStub) {
  int expected = ItemCount(CScopedZip(ZipOpenFile(FixturePath(L"plain.zip").c_str(), nullptr)).Get());
  ASSERT_GT(expected, 5);
  for (const wchar_t* name : {L"comment.zip", L"stub.zip", L"noextra.zip"}) {
    CScopedZip fromFile(ZipOpenFile(FixturePath(name).c_str(), nullptr));
    ASSERT_TRUE(fromFile) << name;
    EXPECT_EQ(expected, ItemCount(fromFile.Get())) << name;
    std::string bytes = FixtureBytes(name);
    CScopedZip fromMemory = OpenBytes(bytes);
    ASSERT_TRUE(fromMemory) << name;
    int index = -1;
    EXPECT_EQ(ZipOk, ZipLookup(fromMemory.Get(), L"pkg/sub/deeper/text.txt", false, &index, nullptr)) << name;
    std::string text;
    EXPECT_EQ(ZipOk, ReadInPieces(fromMemory.Get(), index, 65536, text)) << name;
    EXPECT_EQ(FixtureBytes(L"src\\pkg\\sub\\deeper\\text.txt"), text) << name;
  }
}

// The record is searched backwards in overlapping 1 KB chunks: wherever the record falls relative to
// a chunk boundary, and however long the comment (up to the format's 65535 bytes), it is found.
TEST(ZipOpen, FindsTheEndRecordAtEveryDistanceFromTheEnd) {
  std::vector<size_t> lengths;
  for (size_t length = 0; length <= 2100; ++length) lengths.push_back(length);
  for (size_t length : {30000u, 65000u, 65534u, 65535u}) lengths.push_back(length);
  for (size_t length : lengths) {
    std::string bytes = Build({File("a.txt", "alpha"), File("b.txt", "beta")}, {std::string(100, 'S'), std::string(length, 'c')});
    CScopedZip zip = OpenBytes(bytes);
    ASSERT_TRUE(zip) << "comment of " << length << " bytes";
    ASSERT_EQ(2, ItemCount(zip.Get())) << "comment of " << length << " bytes";
    char out[8];
    ASSERT_EQ(ZipOk, ZipUnpackToMemory(zip.Get(), 1, out, sizeof(out))) << "comment of " << length << " bytes";
  }
}

TEST(ZipOpen, RefusesSourcesWithoutAValidEndRecord) {
  std::string good = Build({File("a.txt", "alpha")});
  std::string shortRecord = good.substr(0, good.size() - 5);
  std::string otherDisk = good, countsDiffer = good, directoryAfterRecord = good;
  size_t record = good.size() - 22;
  otherDisk[record + 4] = 1;
  countsDiffer[record + 8] = 2;
  directoryAfterRecord[record + 16] = 0x7F;  // central directory offset beyond the record
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no end record", FixtureBytes(L"noend.zip")},
      {"end record cut short", shortRecord},
      {"other disk", otherDisk},
      {"entry counts differ", countsDiffer},
      {"directory after the record", directoryAfterRecord},
      {"empty", std::string()},
      {"only a signature", std::string("PK\x05\x06", 4)},
      {"text", std::string(70000, 'x')},
  };
  for (const Case& c : cases) EXPECT_FALSE(OpenBytes(c.bytes)) << c.what;
  EXPECT_FALSE(ZipOpenMemory(nullptr, 100, nullptr));
  EXPECT_FALSE(ZipOpenFile(FixturePath(L"missing.zip").c_str(), nullptr));
  EXPECT_TRUE(OpenBytes(good));
}

TEST(ZipItemAt, IndexMinusOneGivesTheCountAndOutOfRangeIsABadArgument) {
  std::string bytes = Build({File("a.txt", "alpha"), File("b/c.txt", std::string(5000, 'c'))});
  CScopedZip zip = OpenBytes(bytes);
  ZipItemInfo info;
  std::memset(&info, 0x55, sizeof(info));
  ASSERT_EQ(ZipOk, ZipItemAt(zip.Get(), -1, &info));
  EXPECT_EQ(2, info.index);
  EXPECT_EQ(L'\0', info.name[0]);
  EXPECT_EQ(0u, info.attributes);
  EXPECT_EQ(0, info.compressedSize);

  ASSERT_EQ(ZipOk, ZipItemAt(zip.Get(), 1, &info));
  EXPECT_EQ(1, info.index);
  EXPECT_STREQ(L"b/c.txt", info.name);
  EXPECT_EQ(5000, info.uncompressedSize);
  for (int bad : {-2, 2, 1000}) EXPECT_EQ(ZipBadArgument, ZipItemAt(zip.Get(), bad, &info)) << bad;
}

TEST(ZipFacade, EveryOperationRefusesANullHandle) {
  ZipItemInfo info;
  char buffer[4];
  EXPECT_EQ(ZipBadArgument, ZipItemAt(nullptr, 0, &info));
  EXPECT_EQ(ZipBadArgument, ZipLookup(nullptr, L"a", true, nullptr, nullptr));
  EXPECT_EQ(ZipBadArgument, ZipUnpackToFile(nullptr, 0, L"a"));
  EXPECT_EQ(ZipBadArgument, ZipUnpackToMemory(nullptr, 0, buffer, sizeof(buffer)));
  EXPECT_EQ(ZipBadArgument, ZipSetTargetFolder(nullptr, L"C:\\"));
  EXPECT_EQ(ZipBadArgument, ZipCloseArchive(nullptr));
}

TEST(ZipLookup, FoldsAsciiCaseOnlyWhenAskedAndNeverOtherBytes) {
  std::string bytes = FixtureBytes(L"skin.zip");
  CScopedZip zip = OpenBytes(bytes, kSkinPassword);
  int index = 7;
  ZipItemInfo info;
  EXPECT_EQ(ZipOk, ZipLookup(zip.Get(), L"MAIN.XML", true, &index, &info));
  EXPECT_STREQ(L"main.xml", info.name);
  EXPECT_EQ(index, info.index);
  EXPECT_EQ(ZipOk, ZipLookup(zip.Get(), L"BkImage/Main_Bk.PNG", true, nullptr, nullptr));

  EXPECT_EQ(ZipNotFound, ZipLookup(zip.Get(), L"MAIN.XML", false, &index, &info));
  EXPECT_EQ(-1, index);
  EXPECT_EQ(-1, info.index);
  EXPECT_EQ(L'\0', info.name[0]);
  EXPECT_EQ(ZipNotFound, ZipLookup(zip.Get(), L"main", true, &index, nullptr));
  EXPECT_EQ(ZipNotFound, ZipLookup(zip.Get(), std::wstring(300, L'a').c_str(), true, &index, nullptr));

  // Two letters that differ only in case in the ANSI code page still count as different bytes.
  wchar_t lower[2] = {}, upper[2] = {};
  ::MultiByteToWideChar(CP_ACP, 0, "\xE4", 1, lower, 1);
  ::MultiByteToWideChar(CP_ACP, 0, "\xC4", 1, upper, 1);
  std::string accented = Build({File("x.txt", "x"), File("\xE4nderung.txt", "u")});
  CScopedZip other = OpenBytes(accented);
  EXPECT_EQ(ZipOk, ZipLookup(other.Get(), (std::wstring(lower) + L"NDERUNG.TXT").c_str(), true, &index, nullptr));
  EXPECT_EQ(1, index);
  EXPECT_EQ(ZipNotFound, ZipLookup(other.Get(), (std::wstring(upper) + L"nderung.txt").c_str(), true, &index, nullptr));
}

TEST(ZipUnpackToMemory, FillsTheBufferWithMoreDataThenDeliversTheRest) {
  std::string text = FixtureBytes(L"src\\skin\\main.xml");
  std::string bytes = FixtureBytes(L"skin.zip");
  CScopedZip zip = OpenBytes(bytes, kSkinPassword);
  int index = -1;
  ASSERT_EQ(ZipOk, ZipLookup(zip.Get(), L"main.xml", true, &index, nullptr));
  std::string first(1000, '\0'), rest(text.size(), '\0');
  EXPECT_EQ(ZipMoreData, ZipUnpackToMemory(zip.Get(), index, &first[0], 1000));
  EXPECT_EQ(ZipOk, ZipUnpackToMemory(zip.Get(), index, &rest[0], static_cast<uint32_t>(rest.size())));
  EXPECT_EQ(text, first + rest.substr(0, text.size() - 1000));

  // Reaching the end closed the stream: reading the same item again starts from its beginning.
  std::string again(text.size(), '\0');
  EXPECT_EQ(ZipOk, ZipUnpackToMemory(zip.Get(), index, &again[0], static_cast<uint32_t>(again.size())));
  EXPECT_EQ(text, again);

  // Another operation in the middle ends the sequence; the next call starts afresh.
  EXPECT_EQ(ZipMoreData, ZipUnpackToMemory(zip.Get(), index, &first[0], 1000));
  ZipItemInfo info;
  EXPECT_EQ(ZipOk, ZipItemAt(zip.Get(), 0, &info));
  std::string fresh(1000, '\0');
  EXPECT_EQ(ZipMoreData, ZipUnpackToMemory(zip.Get(), index, &fresh[0], 1000));
  EXPECT_EQ(text.substr(0, 1000), fresh);
}

TEST(ZipUnpackToMemory, ReadsStoredAndDeflatedItemsOfEverySizeInPieces) {
  std::string big = zip_test::NoisyBytes(40000, 9), empty;
  std::string bytes = Build({File("s.bin", big, 0), File("d.bin", big, 8), File("e.txt", empty, 0),
                             File("e2.txt", empty, 8)});
  CScopedZip zip = OpenBytes(bytes);
  for (uint32_t piece : {1u, 777u, 16384u, 16385u, 100000u}) {
    for (int index = 0; index < 4; ++index) {
      std::string out;
      EXPECT_EQ(ZipOk, ReadInPieces(zip.Get(), index, piece, out)) << index << " " << piece;
      EXPECT_EQ(index < 2 ? big : empty, out) << index << " " << piece;
    }
  }
}

TEST(ZipPassword, WrongOrMissingPasswordIsABadPassword) {
  std::string bytes = FixtureBytes(L"skin.zip");
  std::string xml = FixtureBytes(L"src\\skin\\main.xml");
  std::string png = FixtureBytes(L"src\\skin\\bkimage\\main_bk.png");
  for (const char* password : {static_cast<const char*>(nullptr), "", "skin-pas", "Skin-pass"}) {
    CScopedZip zip = OpenBytes(bytes, password);
    ASSERT_TRUE(zip);
    std::vector<uint8_t> data;
    EXPECT_EQ(ZipBadPassword, ZipReadItem(zip.Get(), L"main.xml", data)) << (password ? password : "null");
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(ZipBadPassword, ZipReadItem(zip.Get(), L"bkimage/main_bk.png", data));

    CTempFolder folder;
    ASSERT_EQ(ZipOk, ZipSetTargetFolder(zip.Get(), folder.Path().c_str()));
    int index = -1;
    ASSERT_EQ(ZipOk, ZipLookup(zip.Get(), L"main.xml", false, &index, nullptr));
    EXPECT_EQ(ZipBadPassword, ZipUnpackToFile(zip.Get(), index, L"main.xml"));
    EXPECT_FALSE(zip_test::Facts(folder / L"main.xml").exists);
  }
}

// The header's check is a single byte, so about one wrong password in 256 passes it. Those are
// found here by trying candidates against the built archive's header; with any of them the item
// must still read as a wrong password, not as a corrupt archive or a success.
TEST(ZipPassword, WrongPasswordThatPassesTheCheckByteIsStillABadPassword) {
  std::string text = zip_test::NoisyBytes(5000, 3);
  zip_test::Entry stored = File("stored.bin", text, 0), deflated = File("deflated.bin", text, 8);
  stored.password = deflated.password = "right-password";
  std::string bytes = Build({stored, deflated});
  const size_t headerAt = 30 + stored.name.size();
  const uint8_t checkByte = static_cast<uint8_t>(zip_test::Crc(text) >> 24);
  std::vector<std::string> lucky;
  for (int candidate = 0; lucky.size() < 3 && candidate < 100000; ++candidate) {
    std::string password = "wrong-" + std::to_string(candidate);
    uint8_t header[12];
    std::memcpy(header, bytes.data() + headerAt, sizeof(header));
    ZipCipher(password).Decrypt(header, sizeof(header));
    if (header[11] == checkByte) lucky.push_back(password);
  }
  ASSERT_EQ(3u, lucky.size());
  for (const std::string& password : lucky) {
    CScopedZip zip = OpenBytes(bytes, password.c_str());
    ASSERT_TRUE(zip);
    for (const wchar_t* name : {L"stored.bin", L"deflated.bin"}) {
      std::vector<uint8_t> data;
      EXPECT_EQ(ZipBadPassword, ZipReadItem(zip.Get(), name, data)) << password;
      EXPECT_TRUE(data.empty()) << password;
    }
    CTempFolder folder;
    ASSERT_EQ(ZipOk, ZipSetTargetFolder(zip.Get(), folder.Path().c_str()));
    EXPECT_EQ(ZipBadPassword, ZipUnpackToFile(zip.Get(), 0, L"stored.bin")) << password;
    EXPECT_FALSE(zip_test::Facts(folder / L"stored.bin").exists) << password;
  }
  CScopedZip right = OpenBytes(bytes, "right-password");
  std::vector<uint8_t> data;
  EXPECT_EQ(ZipOk, ZipReadItem(right.Get(), L"deflated.bin", data));
  EXPECT_EQ(text, std::string(data.begin(), data.end()));
}

// The UI framework's path: the skin archive sits in memory, is opened with its password, and
// files are read by name whatever their case.
TEST(ZipReadItem, ReadsSkinFilesFromAnEncryptedArchiveInMemory) {
  std::string bytes = FixtureBytes(L"skin.zip");
  CScopedZip zip = OpenBytes(bytes, kSkinPassword);
  ASSERT_TRUE(zip);
  std::vector<uint8_t> data;
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(ZipOk, ZipReadItem(zip.Get(), L"Main.xml", data));
    EXPECT_EQ(FixtureBytes(L"src\\skin\\main.xml"), std::string(data.begin(), data.end()));
    ASSERT_EQ(ZipOk, ZipReadItem(zip.Get(), L"BKIMAGE/MAIN_BK.PNG", data));
    EXPECT_EQ(FixtureBytes(L"src\\skin\\bkimage\\main_bk.png"), std::string(data.begin(), data.end()));
  }
  EXPECT_EQ(ZipNotFound, ZipReadItem(zip.Get(), L"missing.xml", data));
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(ZipBadArgument, ZipReadItem(nullptr, L"main.xml", data));
}

TEST(ZipItemData, CorruptOrShortDataIsAnErrorNeverASilentSuccess) {
  std::string text = zip_test::NoisyBytes(30000, 3);
  Entry wrongCrc = File("crc.bin", text, 8);
  wrongCrc.overrideCrc = true;
  wrongCrc.crc = zip_test::Crc(text) ^ 1;
  Entry wrongStoredCrc = File("crc0.bin", text, 0);
  wrongStoredCrc.overrideCrc = true;
  wrongStoredCrc.crc = zip_test::Crc(text) ^ 0x100;
  // Stored data that ends before its declared size.
  Entry shortStored = File("short.bin", text, 0);
  shortStored.overrideSizes = true;
  shortStored.compressedSize = 20000;
  shortStored.uncompressedSize = 30000;
  // Deflated data cut off before the stream's end.
  Entry shortDeflated = File("cut.bin", text, 8);
  shortDeflated.overrideSizes = true;
  shortDeflated.compressedSize = 500;
  shortDeflated.uncompressedSize = 30000;
  // The stream ends before the declared size.
  Entry longClaim = File("claim.bin", "tiny", 8);
  longClaim.overrideSizes = true;
  longClaim.compressedSize = static_cast<uint32_t>(zip_test::RawDeflate("tiny").size());
  longClaim.uncompressedSize = 100;

  struct Case {
    Entry entry;
    ZipResult expected;
  } cases[] = {
      {wrongCrc, ZipCorrupt},          {wrongStoredCrc, ZipCorrupt},      {shortStored, ZipInflateFailed},
      {shortDeflated, ZipInflateFailed}, {longClaim, ZipInflateFailed},
  };
  for (const Case& c : cases) {
    std::string bytes = Build({File("ok.txt", "fine"), c.entry});
    CScopedZip zip = OpenBytes(bytes);
    std::string out(40000, '\0');
    EXPECT_EQ(c.expected, ZipUnpackToMemory(zip.Get(), 1, &out[0], static_cast<uint32_t>(out.size())))
        << c.entry.name;

    CTempFolder folder;
    ASSERT_EQ(ZipOk, ZipSetTargetFolder(zip.Get(), folder.Path().c_str()));
    EXPECT_EQ(c.expected, ZipUnpackToFile(zip.Get(), 1, L"item.bin")) << c.entry.name;
    EXPECT_FALSE(zip_test::Facts(folder / L"item.bin").exists) << c.entry.name << ": corrupt file left behind";
    EXPECT_EQ(ZipOk, ZipUnpackToFile(zip.Get(), 0, L"ok.txt"));
  }
}

TEST(ZipItemData, HeadersThatDisagreeOrCannotBeReadAreCorrupt) {
  std::string bytes = Build({File("a.txt", "alpha"), File("b.txt", "beta"), File("c.txt", "gamma")});
  std::string methodDiffers = bytes;
  methodDiffers[8] = 9;  // the first local header's method
  std::string secondCentralBroken = bytes;
  size_t central = bytes.find("PK\x01\x02");
  size_t second = bytes.find("PK\x01\x02", central + 4);
  secondCentralBroken[second] = 'X';

  CScopedZip zip = OpenBytes(methodDiffers);
  ZipItemInfo info;
  EXPECT_EQ(ZipCorrupt, ZipItemAt(zip.Get(), 0, &info));
  EXPECT_EQ(ZipOk, ZipItemAt(zip.Get(), 1, &info));

  // The cursor cannot step past an unreadable central header, and going back still works.
  CScopedZip broken = OpenBytes(secondCentralBroken);
  char out[16];
  EXPECT_EQ(ZipOk, ZipItemAt(broken.Get(), 0, &info));
  EXPECT_EQ(ZipCorrupt, ZipItemAt(broken.Get(), 1, &info));
  EXPECT_EQ(ZipCorrupt, ZipItemAt(broken.Get(), 2, &info));
  EXPECT_EQ(ZipCorrupt, ZipUnpackToMemory(broken.Get(), 2, out, sizeof(out)));
  EXPECT_EQ(ZipNotFound, ZipLookup(broken.Get(), L"c.txt", false, nullptr, nullptr));
  EXPECT_EQ(ZipOk, ZipLookup(broken.Get(), L"a.txt", false, nullptr, &info));
  EXPECT_EQ(ZipOk, ZipUnpackToMemory(broken.Get(), 0, out, sizeof(out)));
  EXPECT_EQ("alpha", std::string(out, 5));
}

TEST(ZipItemAt, NamesOf260BytesOrMoreAreRefusedWithoutOverrun) {
  std::string longest(259, 'n'), tooLong(260, 'n'), huge(5000, 'h');
  std::string bytes = Build({File(longest, "a"), File(tooLong, "b"), File(huge, "c")});
  CScopedZip zip = OpenBytes(bytes);
  ZipItemInfo info;
  ASSERT_EQ(ZipOk, ZipItemAt(zip.Get(), 0, &info));
  EXPECT_EQ(std::wstring(259, L'n'), info.name);
  EXPECT_EQ(ZipCorrupt, ZipItemAt(zip.Get(), 1, &info));
  EXPECT_EQ(ZipCorrupt, ZipItemAt(zip.Get(), 2, &info));
  EXPECT_EQ(ZipNotFound, ZipLookup(zip.Get(), std::wstring(260, L'n').c_str(), false, nullptr, nullptr));
  char out[4];
  EXPECT_EQ(ZipOk, ZipUnpackToMemory(zip.Get(), 2, out, sizeof(out)));
  EXPECT_EQ('c', out[0]);
}

}  // namespace

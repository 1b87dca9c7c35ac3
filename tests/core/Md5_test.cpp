#include "core/Md5.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using testing_support::CTempFolder;
using testing_support::WriteFileBytes;

TEST(GetStringMd5, MatchesTheRfc1321TestSuite) {
  struct Case {
    std::string in;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.digest, CMd5A().GetStringMd5(c.in)) << c.in;
}

TEST(Md5Context, PiecewiseInputGivesTheSameDigestAcrossBlockBorders) {
  std::string data;
  for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 7);
  std::string whole = CMd5A().GetStringMd5(data);
  for (size_t piece : {1u, 55u, 56u, 63u, 64u, 65u, 127u}) {
    CMd5Context context;
    for (size_t at = 0; at < data.size(); at += piece) context.Update(data.data() + at, std::min(piece, data.size() - at));
    EXPECT_EQ(whole, context.FinishHex()) << piece;
  }
}

TEST(GetFileMd5, DigestsWholeFilesAndGivesNothingForMissingOnes) {
  CTempFolder dir;
  ASSERT_TRUE(WriteFileBytes(dir / L"empty", ""));
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", CMd5A().GetFileMd5(dir / L"empty"));
  EXPECT_EQ("", CMd5A().GetFileMd5(dir / L"missing"));
  EXPECT_EQ("", CMd5A().GetFileMd5(dir.Path()));
  // Sizes around the old 512-byte and the current read block, with bytes of every value.
  for (size_t size : {513u, 65536u, 65537u, 200000u}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131) ^ (i >> 8));
    ASSERT_TRUE(WriteFileBytes(dir / L"data", data));
    EXPECT_EQ(CMd5A().GetStringMd5(data), CMd5A().GetFileMd5(dir / L"data")) << size;
  }
  ASSERT_TRUE(WriteFileBytes(dir / L"中文.bin", "abc"));
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", CMd5A().GetFileMd5(dir / L"中文.bin"));
}

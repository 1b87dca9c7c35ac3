#include "archive/ZipSource.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

using Origin = ZipSource::Origin;

TEST(ZipSource, MemoryReadsStopAtTheEndAndNeverWrapAfterASeekPastIt) {
  const char bytes[] = "0123456789";
  auto source = ZipSource::FromMemory(bytes, 10);
  char out[16] = {};
  ASSERT_TRUE(source->Seek(-4, Origin::End));
  EXPECT_EQ(4, source->Read(out, sizeof(out)));
  EXPECT_EQ(std::string("6789"), std::string(out, 4));

  // Past the end the position is kept, but a read finds nothing rather than a huge wrapped count.
  ASSERT_TRUE(source->Seek(100, Origin::Begin));
  EXPECT_EQ(0, source->Read(out, sizeof(out)));
  ASSERT_TRUE(source->Seek(5, Origin::Current));
  EXPECT_EQ(0, source->Read(out, 1));
  EXPECT_FALSE(source->ReadAt(8, out, 4));
  EXPECT_TRUE(source->ReadAt(6, out, 4));

  EXPECT_FALSE(source->Seek(-11, Origin::End));
  EXPECT_FALSE(source->Seek(0x100000000LL, Origin::Begin));
}

TEST(ZipSource, FileSourceReadsWhatTheFileHolds) {
  testing_support::CTempFolder folder;
  ASSERT_TRUE(testing_support::WriteFileBytes(folder / L"a.bin", "abcdef"));
  auto source = ZipSource::OpenFile(folder / L"a.bin");
  ASSERT_TRUE(source);
  EXPECT_EQ(6, source->Size());
  char out[8] = {};
  ASSERT_TRUE(source->ReadAt(2, out, 3));
  EXPECT_EQ(std::string("cde"), std::string(out, 3));
  EXPECT_FALSE(source->ReadAt(4, out, 3));
  EXPECT_FALSE(ZipSource::OpenFile(folder / L"missing.bin"));
}

}  // namespace

#include "core/DataManager.h"

#include <gtest/gtest.h>

#include <cctype>

#include "core/MachineFacts.h"
#include "core/TextUtils.h"

TEST(ClientUuidSource, LeavesTheHardwareAddressOutFromWindows8On) {
  struct Case {
    int major, minor;
    std::string mac;
    const char* source;
  } cases[] = {
      {10, 0, "00-1A-2B-3C-4D-5E", "PC.4.8589934592.0123456789ABCDEF"},
      {6, 2, "00-1A-2B-3C-4D-5E", "PC.4.8589934592.0123456789ABCDEF"},
      {6, 1, "00-1A-2B-3C-4D-5E", "PC.00-1A-2B-3C-4D-5E.4.8589934592.0123456789ABCDEF"},
      {6, 1, "", "PC..4.8589934592.0123456789ABCDEF"},
      {5, 1, "", "PC..4.8589934592.0123456789ABCDEF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.source, BuildClientUuidSource("PC", c.mac, 4, 8589934592ull, "0123456789ABCDEF",
                                              IsWin8OrLaterVersion(c.major, c.minor)))
        << c.major << "." << c.minor;
  }
}

TEST(MachineFacts, HaveTheirDocumentedShapes) {
  std::string cpu = GetCpuId();
  ASSERT_EQ(16u, cpu.size());
  for (char c : cpu) EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c)) && !std::islower(c)) << cpu;
  std::string mac = GetMacAddress();
  if (!mac.empty()) {
    ASSERT_EQ(17u, mac.size());
    for (int i : {2, 5, 8, 11, 14}) EXPECT_EQ('-', mac[i]) << mac;
  }
  std::string ip = GetLocalIp();
  EXPECT_NE(0u, ip.find("127.")) << ip;
  int major = 0, minor = 0;
  GetOsVersion(major, minor);
  EXPECT_GE(major, 5);
}

TEST(DataManager, ClientUuidIsComputedOnceAsThirtyTwoLowercaseHexDigits) {
  std::string first = DataManager::Instance()->GetClientUuid();
  ASSERT_EQ(32u, first.size());
  EXPECT_TRUE(IsMd5Text(first));
  EXPECT_EQ(first, ChangeCase(false, first));
  EXPECT_EQ(first, DataManager::Instance()->GetClientUuid());
}

TEST(DataManager, OnlyTheFirstClientInfoCounts) {
  DataManager* data = DataManager::Instance();
  data->SetClientInfo("100", 1, 1);
  data->SetClientInfo("200", 7, 9);
  EXPECT_EQ("100", data->GetVersion());
  EXPECT_EQ(1, data->GetChannel());
  EXPECT_EQ(1, data->GetSysType());
}

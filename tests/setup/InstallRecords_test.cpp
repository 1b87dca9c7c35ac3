#include "setup/InstallRecords.h"

#include <gtest/gtest.h>

#include "core/SystemHelpers.h"
#include "setup/ClientContract.h"
#include "tests/setup/SetupTestHelpers.h"
#include "tests/support/TestSupport.h"

using setup_test::DeleteKeyTree;
using setup_test::ReadProfileValue;
using setup_test::ReadStringValue;
using testing_support::CTempFolder;

namespace {

std::wstring UninstallValue(const wchar_t* name) {
  return ReadStringValue(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey, name);
}

}  // namespace

TEST(InstallRecords, SetupRecordNamesTheSetupProgramAndIsRewrittenInPlace) {
  CTempFolder folder;
  ASSERT_TRUE(WriteSetupRecord(folder.Path(), L"C:\\Downloads\\TovikSetup.exe"));
  // The profile writer creates the file in the system code page, so the text stays within it here.
  ASSERT_TRUE(WriteSetupRecord(folder.Path(), L"D:\\Downloads\\TovikSetup.exe"));
  EXPECT_EQ(L"D:\\Downloads\\TovikSetup.exe", ReadProfileValue(folder / L"setup.ini", L"tovik", L"packpath"));
  EXPECT_FALSE(WriteSetupRecord(folder / L"missing", L"C:\\TovikSetup.exe"));

  std::wstring self = GetRunningProgramPath();
  EXPECT_TRUE(PathExists(self)) << self;
  EXPECT_EQ(L"exe", self.substr(self.size() - 3));
}

TEST(InstallRecords, UninstallEntryHoldsTheFourValuesAndTheLatestRunWins) {
  DeleteKeyTree(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey);
  WriteUninstallEntry(L"C:\\Old\\tovik", L"C:\\users\\u\\Desktop\\岚鹊加速器.lnk");
  WriteUninstallEntry(L"D:\\Games\\tovik", L"");

  EXPECT_EQ(L"岚鹊加速器", UninstallValue(L"DisplayName"));
  EXPECT_EQ(L"D:\\Games\\tovik\\unins000.exe", UninstallValue(L"UninstallString"));
  EXPECT_EQ(L"D:\\Games\\tovik\\tvgate.exe", UninstallValue(L"DisplayIcon"));
  // No desktop link in this run: the value is there, empty.
  EXPECT_EQ(L"", UninstallValue(L"DisplayShortcut"));

  // The next start finds the folder through the same value.
  std::wstring read;
  ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey, L"UninstallString", REG_SZ, read));
  EXPECT_EQ(L"D:\\Games\\tovik\\unins000.exe", read);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey);
}

TEST(InstallRecords, AutostartRecordsWhatTheSchedulerWasAskedToDo) {
  CTempFolder folder;
  std::wstring config = folder / L"local.cfg";
  ASSERT_TRUE(WriteClientConfigValue(config, L"lang", L"zh-cn"));

  ApplyAutostart(true, folder / L"tvgate.exe", config);
  EXPECT_EQ(L"1", ReadProfileValue(config, L"config", L"powerup"));
  ApplyAutostart(false, folder / L"tvgate.exe", config);
  EXPECT_EQ(L"0", ReadProfileValue(config, L"config", L"powerup"));
  EXPECT_EQ(L"zh-cn", ReadProfileValue(config, L"config", L"lang"));
}

TEST(InstallRecords, AutostartWritesNothingWhenTheSchedulerCannotBeAsked) {
  CTempFolder folder;
  std::wstring config = folder / L"local.cfg";
  // A client path too long for the scheduler's command line: the scheduler is never started.
  ApplyAutostart(true, std::wstring(600, L'x'), config);
  EXPECT_EQ(L"<missing>", ReadProfileValue(config, L"config", L"powerup"));
  EXPECT_FALSE(PathExists(config));
}

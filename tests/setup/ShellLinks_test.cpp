#include "setup/ShellLinks.h"

#include <gtest/gtest.h>

#include "core/SystemHelpers.h"
#include "tests/setup/SetupTestHelpers.h"
#include "tests/support/TestSupport.h"

using setup_test::LinkTarget;
using testing_support::CTempFolder;

namespace {

class ShellLinksTest : public ::testing::Test {
 protected:
  CComInitializer com;
  CTempFolder temp;
};

}  // namespace

TEST_F(ShellLinksTest, CreateShortcutWritesAndReplacesALinkToTheTarget) {
  std::wstring link = temp / L"client.lnk";
  ASSERT_TRUE(CreateShortcut(L"C:\\first\\tvgate.exe", link));
  EXPECT_EQ(L"C:\\first\\tvgate.exe", LinkTarget(link));
  ASSERT_TRUE(CreateShortcut(L"C:\\second\\tvgate.exe", link));
  EXPECT_EQ(L"C:\\second\\tvgate.exe", LinkTarget(link));
}

TEST_F(ShellLinksTest, CreateShortcutReportsALinkThatCouldNotBeSaved) {
  EXPECT_FALSE(CreateShortcut(L"C:\\app\\tvgate.exe", temp / L"missing-folder\\client.lnk"));
  EXPECT_FALSE(PathExists(temp / L"missing-folder\\client.lnk"));
}

TEST_F(ShellLinksTest, DesktopShortcutPointsAtTheClientAndIsRecorded) {
  std::wstring desktop = GetDesktopFolder();
  ASSERT_FALSE(desktop.empty());
  ASSERT_TRUE(CreateDirectoryTree(desktop));
  std::wstring recorded;
  ASSERT_TRUE(CreateDesktopShortcut(temp.Path(), recorded));
  EXPECT_EQ(desktop + L"\\岚鹊加速器.lnk", recorded);
  EXPECT_EQ(temp / L"tvgate.exe", LinkTarget(recorded));
  ::DeleteFileW(recorded.c_str());
}

TEST_F(ShellLinksTest, DesktopLinkPathStaysAsItWasWhenNoLinkIsWritten) {
  std::wstring desktop = GetDesktopFolder();
  ASSERT_TRUE(CreateDirectoryTree(desktop));
  // A folder under the link's name makes the save itself fail.
  std::wstring blocker = desktop + L"\\岚鹊加速器.lnk";
  ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
  std::wstring recorded = L"unchanged";
  EXPECT_FALSE(CreateDesktopShortcut(temp.Path(), recorded));
  EXPECT_EQ(L"unchanged", recorded);
  ::RemoveDirectoryW(blocker.c_str());

  // A target too long for the link leaves the desktop untouched.
  EXPECT_FALSE(CreateDesktopShortcut(std::wstring(1100, L'x'), recorded));
  EXPECT_EQ(L"unchanged", recorded);
  EXPECT_FALSE(PathExists(blocker));
}

TEST_F(ShellLinksTest, StartMenuGetsAFolderWithTheClientAndUninstallerLinks) {
  std::wstring folder = GetStartMenuProductFolder();
  ASSERT_FALSE(folder.empty());
  testing_support::RemoveTree(folder);
  CreateStartMenuShortcuts(temp / L"tvgate.exe", temp / L"unins000.exe");
  EXPECT_EQ(temp / L"tvgate.exe", LinkTarget(folder + L"\\启动岚鹊加速器.lnk"));
  EXPECT_EQ(temp / L"unins000.exe", LinkTarget(folder + L"\\卸载岚鹊加速器.lnk"));
  testing_support::RemoveTree(folder);
}

#include "setup/TaskbarPin.h"

#include <gtest/gtest.h>

#include <set>

#include "core/SystemHelpers.h"
#include "setup/RegistryKey.h"
#include "setup/ShellLinks.h"
#include "tests/setup/SetupTestHelpers.h"
#include "tests/support/TestSupport.h"

using setup_test::CreateKey;
using setup_test::DeleteKeyTree;
using setup_test::KeyExists;

namespace {

const std::wstring kVerbKey = std::wstring(kShellVerbsKey) + L"\\" + kTemporaryVerb;

std::set<std::wstring> SubKeys(HKEY root, const std::wstring& path) {
  std::set<std::wstring> names;
  CScopedRegKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (::RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.insert(name);
  }
  return names;
}

std::set<std::wstring> FolderEntries(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW entry;
  CScopedFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find) return names;
  do names.insert(entry.cFileName);
  while (::FindNextFileW(find.Get(), &entry));
  return names;
}

class TaskbarPinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = GetTaskbarFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_TRUE(CreateDirectoryTree(folder));
    ASSERT_TRUE(CreateShortcut(L"C:\\app\\tvgate.exe", folder + L"\\岚鹊加速器.lnk"));
  }
  void TearDown() override {
    ::DeleteFileW((folder + L"\\岚鹊加速器.lnk").c_str());
    DeleteKeyTree(HKEY_CURRENT_USER, kVerbKey);
    if (registeredCommand) DeleteKeyTree(HKEY_LOCAL_MACHINE, kTaskbarPinCommandKey);
  }
  // Registers a pin command the way Windows does, with a class id that nothing implements.
  void RegisterStandInPinCommand() {
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTaskbarPinCommandKey));
    CRegistryKey command;
    ASSERT_EQ(ERROR_SUCCESS, command.Create(HKEY_LOCAL_MACHINE, kTaskbarPinCommandKey, nullptr, 0, KEY_ALL_ACCESS, nullptr));
    registeredCommand = true;
    ASSERT_EQ(ERROR_SUCCESS, command.WriteString(kCommandHandlerValue, L"{7A5C4B2E-0000-4000-8000-746F76696B00}"));
  }

  CComInitializer com;
  std::wstring folder;
  bool registeredCommand = false;
};

}  // namespace

TEST_F(TaskbarPinTest, WithoutAPinCommandNothingChanges) {
  // Wine registers no pin command; this test speaks for every system without one.
  ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTaskbarPinCommandKey));
  auto verbsBefore = SubKeys(HKEY_CURRENT_USER, kShellVerbsKey);
  auto entriesBefore = FolderEntries(folder);

  PinToTaskbar(folder, L"岚鹊加速器.lnk");

  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVerbKey));
  EXPECT_EQ(verbsBefore, SubKeys(HKEY_CURRENT_USER, kShellVerbsKey));
  EXPECT_EQ(entriesBefore, FolderEntries(folder));
}

TEST_F(TaskbarPinTest, TheTemporaryVerbIsGoneAfterThePinWhateverWasThere) {
  RegisterStandInPinCommand();
  struct Case {
    const wchar_t* what;
    std::wstring folder;
    std::wstring link;
    std::vector<std::wstring> leftovers;  // keys below "{:}" from an interrupted run
  } cases[] = {
      {L"link present", folder, L"岚鹊加速器.lnk", {}},
      {L"no such link", folder, L"missing.lnk", {}},
      {L"no such folder", folder + L"\\nowhere", L"岚鹊加速器.lnk", {}},
      {L"leftover tree", folder, L"岚鹊加速器.lnk", {L"\\command", L"\\deeper\\deepest", L"\\deeper\\other"}},
  };
  for (const Case& c : cases) {
    for (const std::wstring& leftover : c.leftovers) ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kVerbKey + leftover));
    PinToTaskbar(c.folder, c.link);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVerbKey)) << c.what;
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kShellVerbsKey)) << c.what;
  }
}

TEST_F(TaskbarPinTest, TaskbarFolderIsBelowTheRoamingApplicationData) {
  wchar_t appData[MAX_PATH] = {};
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
  EXPECT_EQ(std::wstring(appData) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar", folder);
}

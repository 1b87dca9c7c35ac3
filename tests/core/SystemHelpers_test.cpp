#include "core/SystemHelpers.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::WaitFor;
using testing_support::WriteFileBytes;

TEST(CreateDirectoryTree, CreatesMissingLevelsAndRefusesBareNames) {
  CTempFolder dir;
  EXPECT_TRUE(CreateDirectoryTree(dir.Path()));
  std::wstring deep = dir / L"a\\b\\c";
  EXPECT_TRUE(CreateDirectoryTree(deep));
  EXPECT_TRUE(PathExists(dir / L"a\\b\\c"));
  EXPECT_TRUE(CreateDirectoryTree(dir / L"x/y/"));
  EXPECT_TRUE(PathExists(dir / L"x\\y"));
  EXPECT_FALSE(CreateDirectoryTree(L"no-separator-here"));
  // A file in the way of a level cannot become a folder.
  ASSERT_TRUE(WriteFileBytes(dir / L"file", "x"));
  EXPECT_FALSE(CreateDirectoryTree(dir / L"file\\sub"));
}

TEST(PathExists, FilesAndFoldersExistEmptyAndMissingDoNot) {
  CTempFolder dir;
  ASSERT_TRUE(WriteFileBytes(dir / L"f.txt", "1"));
  EXPECT_FALSE(PathExists(L""));
  EXPECT_TRUE(PathExists(dir.Path()));
  EXPECT_TRUE(PathExists(dir / L"f.txt"));
  EXPECT_FALSE(PathExists(dir / L"missing"));
}

TEST(IsDirectoryEmpty, TellsEmptyFromFilledFromUnlistable) {
  CTempFolder dir;
  wchar_t message[128] = {};
  EXPECT_TRUE(IsDirectoryEmpty(dir.Path(), message, 127));
  EXPECT_STREQ(L"", message);

  ASSERT_TRUE(WriteFileBytes(dir / L"hidden", "x"));
  ::SetFileAttributesW((dir / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(IsDirectoryEmpty(dir.Path(), message, 127));
  EXPECT_STREQ(L"", message);

  std::wstring missing = dir / L"missing";
  EXPECT_FALSE(IsDirectoryEmpty(missing, message, 127));
  EXPECT_EQ(L"检测文件夹是否为空失败[" + missing + L"\\*.*]", std::wstring(message));
  EXPECT_FALSE(IsDirectoryEmpty(missing, nullptr, 0));

  // A message longer than the capacity is cut and stays terminated.
  wchar_t small[16];
  wmemset(small, L'#', 16);
  EXPECT_FALSE(IsDirectoryEmpty(missing, small, 10));
  EXPECT_EQ(9u, wcslen(small));
  EXPECT_EQ(L'#', small[10]);
}

TEST(GetFileNameFromPath, TakesTextAfterLastSeparator) {
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
  } cases[] = {
      {L"C:\\a\\b.zip", L"b.zip"}, {L"C:\\a\\b/c.zip", L"c.zip"}, {L"plain.zip", L"plain.zip"},
      {L"C:\\a\\", L""},           {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(std::wstring(c.name), GetFileNameFromPath(c.path)) << c.path;
}

TEST(GetModuleDirectory, IsTheProgramFolderWithTrailingBackslash) {
  EXPECT_EQ(testing_support::TestProgramFolder(), GetModuleDirectory(nullptr));
}

class RegistryValue : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                               &m_key, nullptr));
  }
  void TearDown() override {
    ::RegCloseKey(m_key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  }
  void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(m_key, name, 0, type, static_cast<const BYTE*>(data), size));
  }
  static constexpr const wchar_t* kKey = L"Software\\TovikSetupTests\\Registry";
  HKEY m_key = nullptr;
};

TEST_F(RegistryValue, ReadsStringsAndNumbersAsTheCallerStates) {
  const wchar_t text[] = L"C:\\Program Files\\岚鹊\\unins000.exe";
  Set(L"UninstallString", REG_SZ, text, sizeof(text));
  DWORD all = 4294967295u, small = 42;
  Set(L"All", REG_DWORD, &all, 4);
  Set(L"Small", REG_DWORD, &small, 4);
  unsigned char blob[6] = {1, 0, 0, 0, 9, 9};
  Set(L"Blob", REG_BINARY, blob, sizeof(blob));

  std::wstring out = L"stale";
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"UninstallString", REG_SZ, out));
  EXPECT_EQ(text, out);
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"All", REG_DWORD, out));
  EXPECT_EQ(L"-1", out);
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Small", REG_DWORD, out));
  EXPECT_EQ(L"42", out);
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Blob", REG_BINARY, out));
  EXPECT_EQ(L"1", out);
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Small", REG_MULTI_SZ, out));
  EXPECT_EQ(L"", out);
}

TEST_F(RegistryValue, MissingKeyOrValueIsFalseWithEmptyText) {
  std::wstring out = L"stale";
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, L"Software\\TovikSetupTests\\Nope", L"x", REG_SZ, out));
  EXPECT_EQ(L"", out);
  out = L"stale";
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"missing", REG_SZ, out));
  EXPECT_EQ(L"", out);
}

TEST_F(RegistryValue, StringWithoutTerminatorFillingTheLimitStaysInsideTheBuffer) {
  // 10240 bytes of text and no terminator: the reader must still end the string itself.
  std::wstring full(5120, L'z');
  Set(L"Full", REG_SZ, full.data(), 10240);
  std::wstring out;
  // Windows hands such data back unterminated; Wine refuses it for want of room. Either way the text
  // read must be exactly the stored one, never more.
  if (ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Full", REG_SZ, out)) EXPECT_EQ(full, out);
  std::wstring almost(5119, L'y');
  Set(L"Almost", REG_SZ, almost.data(), 10238);
  EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Almost", REG_SZ, out));
  EXPECT_EQ(almost, out);
  // Larger than the limit: the query fails rather than overrunning.
  std::wstring larger(6000, L'q');
  Set(L"Larger", REG_SZ, larger.c_str(), static_cast<DWORD>((larger.size() + 1) * 2));
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Larger", REG_SZ, out));
}

TEST(LogonTask, ParameterTextsQuoteThePathAndDelayFifteenSeconds) {
  EXPECT_EQ(L"/create /tn tvgwRun /tr \"\\\"C:\\Program Files\\Tovik\\tvgate.exe\\\"\"  /sc ONLOGON "
            L"/DELAY 0000:15 /RL HIGHEST /f ",
            BuildCreateLogonTaskParams(L"tvgwRun", L"C:\\Program Files\\Tovik\\tvgate.exe"));
  EXPECT_EQ(L"/delete /tn tvgwRun /f", BuildDeleteLogonTaskParams(L"tvgwRun"));
}

TEST(LogonTask, TextsThatWouldNotFitAreRefusedNotCut) {
  std::wstring longPath = L"C:\\" + std::wstring(600, L'd') + L"\\tvgate.exe";
  EXPECT_EQ(L"", BuildCreateLogonTaskParams(L"tvgwRun", longPath));
  EXPECT_FALSE(CreateLogonTask(L"tvgwRun", longPath));
  EXPECT_EQ(L"", BuildDeleteLogonTaskParams(std::wstring(600, L'n')));
}

// Wine's scheduler program accepts the command line but keeps no real task store, so this shows only
// that the program is found in the system folder and started.
TEST(LogonTask, SchedulerProgramStartsFromTheSystemFolder_TaskItselfNotCheckedUnderWine) {
  EXPECT_TRUE(CreateLogonTask(L"tvgwRunTest", L"C:\\Program Files\\Tovik\\tvgate.exe"));
  EXPECT_TRUE(DeleteLogonTask(L"tvgwRunTest"));
}

TEST(KillProcessTree, ParameterTextQuotesTheTaskkillCommand) {
  EXPECT_EQ(L"/c \"taskkill /f /im tvgate.exe /t\"", BuildKillProcessParams(L"tvgate.exe"));
}

// Wine's taskkill refuses the "/t" (whole tree) option, so under Wine the command ends nothing; this
// shows that the interpreter is found in the system folder and started with the built command.
TEST(KillProcessTree, StartsTheInterpreter_WineTaskkillLacksTheTreeOption) {
  EXPECT_GT(KillProcessTree(L"tovik_no_such_process.exe"), 32);
}

TEST(RunHiddenCommand, RunsTheInterpreterInTheSystemFolder) {
  CTempFolder dir;
  std::wstring out = dir / L"cwd.txt";
  // "cd" prints the working folder: it must be the system folder, so that programs named inside the
  // command are never taken from the setup's folder or the current one.
  std::string command = "cd > \"" + testing_support::WideToUtf8Text(out) + "\"";
  ASSERT_TRUE(RunHiddenCommand(command));
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(out).find('\n') != std::string::npos; }, 30000));
  std::string written = ReadFileBytes(out);
  std::string expected = testing_support::WideToUtf8Text(GetSystemFolder());
  EXPECT_EQ(0, _strnicmp(expected.c_str(), written.c_str(), expected.size())) << written;
}

#include "setup/RegistryKey.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/setup/SetupTestHelpers.h"

using setup_test::CreateKey;
using setup_test::DeleteKeyTree;
using setup_test::KeyExists;

namespace {

const wchar_t kTestRoot[] = L"Software\\TovikSetupTests\\RegistryKey";

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_CURRENT_USER, kTestRoot);
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kTestRoot, nullptr, 0, KEY_ALL_ACCESS, nullptr));
  }
  void TearDown() override {
    key.Close();
    DeleteKeyTree(HKEY_CURRENT_USER, kTestRoot);
  }
  void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes));
  }
  CRegistryKey key;
};

}  // namespace

TEST_F(RegistryKeyTest, WriteStringStoresTheTerminatorAndReadStringCountsIt) {
  ASSERT_EQ(ERROR_SUCCESS, key.WriteString(L"five", L"abcde"));
  DWORD type = 0, bytes = 0;
  ASSERT_EQ(ERROR_SUCCESS, ::RegQueryValueExW(key.Get(), L"five", nullptr, &type, nullptr, &bytes));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(12u, bytes);

  wchar_t buffer[16];
  DWORD size = 16;
  ASSERT_EQ(ERROR_SUCCESS, key.ReadString(L"five", buffer, size));
  EXPECT_EQ(6u, size);
  EXPECT_STREQ(L"abcde", buffer);

  // Exactly enough room, terminator included.
  size = 6;
  EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"five", buffer, size));
  EXPECT_EQ(ERROR_INVALID_DATA, key.WriteString(L"null", nullptr));
}

TEST_F(RegistryKeyTest, ReadStringRefusesWhatIsNotATerminatedStringAndLeavesTheBufferAlone) {
  const DWORD number = 7;
  const wchar_t unterminated[] = {L'a', L'b', L'c'};
  const char odd[] = {'a', 0, 'b'};
  SetRaw(L"dword", REG_DWORD, &number, sizeof(number));
  SetRaw(L"unterminated", REG_SZ, unterminated, sizeof(unterminated));
  SetRaw(L"odd", REG_SZ, odd, sizeof(odd));
  SetRaw(L"expand", REG_EXPAND_SZ, L"%TEMP%", 14);
  SetRaw(L"empty", REG_SZ, L"", 0);
  ASSERT_EQ(ERROR_SUCCESS, key.WriteString(L"long", L"a text longer than the buffer"));

  struct Case {
    const wchar_t* name;
    DWORD capacity;
    LONG expected;
    const wchar_t* text;
    DWORD size;
  } cases[] = {
      {L"dword", 16, ERROR_INVALID_DATA, nullptr, 0},
      {L"unterminated", 16, ERROR_INVALID_DATA, nullptr, 0},
      {L"odd", 16, ERROR_INVALID_DATA, nullptr, 0},
      {L"long", 8, ERROR_MORE_DATA, nullptr, 0},
      {L"missing", 16, ERROR_FILE_NOT_FOUND, nullptr, 0},
      {L"expand", 16, ERROR_SUCCESS, L"%TEMP%", 7},
      {L"empty", 16, ERROR_SUCCESS, L"", 1},
  };
  for (const Case& c : cases) {
    wchar_t buffer[16];
    std::wmemset(buffer, L'#', 16);
    DWORD size = c.capacity;
    EXPECT_EQ(c.expected, key.ReadString(c.name, buffer, size)) << c.name;
    if (c.text) {
      EXPECT_STREQ(c.text, buffer) << c.name;
      EXPECT_EQ(c.size, size) << c.name;
    } else {
      EXPECT_EQ(L'#', buffer[0]) << c.name;
      EXPECT_EQ(c.capacity, size) << c.name;
    }
  }
}

TEST_F(RegistryKeyTest, DeleteTreeRemovesEveryLevelDepthFirst) {
  const std::wstring base = std::wstring(kTestRoot) + L"\\tree";
  for (const wchar_t* path : {L"\\a\\a1\\a11", L"\\a\\a2", L"\\b", L"\\c\\c1"})
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, base + path));
  {
    // A value on a deep key must not stop it from going.
    CRegistryKey deep;
    ASSERT_EQ(ERROR_SUCCESS, deep.Open(HKEY_CURRENT_USER, (base + L"\\a\\a1\\a11").c_str(), KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, deep.WriteString(L"v", L"x"));
  }
  EXPECT_EQ(ERROR_SUCCESS, key.DeleteTree(L"tree"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kTestRoot));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.DeleteTree(L"tree"));
}

TEST(RegistryKey, DeletesInTheViewTheKeyWasOpenedIn) {
  const std::wstring parent = L"SOFTWARE\\TovikSetupTests";
  const std::wstring child = parent + L"\\ViewedTree";
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, child, view);
    ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, child + L"\\inner", view));
  }
  CRegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, parent.c_str(), KEY_ALL_ACCESS | KEY_WOW64_32KEY));
  EXPECT_EQ(static_cast<REGSAM>(KEY_WOW64_32KEY), key.View());
  EXPECT_EQ(ERROR_SUCCESS, key.DeleteTree(L"ViewedTree"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, child, KEY_WOW64_32KEY));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, child + L"\\inner", KEY_WOW64_64KEY));

  key.Close();
  EXPECT_EQ(0u, key.View());
  EXPECT_FALSE(key.IsOpen());
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) DeleteKeyTree(HKEY_LOCAL_MACHINE, parent, view);
}

TEST(RegistryKey, AFailedOpenKeepsTheKeyHeldBefore) {
  CRegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, L"Software", KEY_READ | KEY_WOW64_64KEY));
  HKEY held = key.Get();
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, L"Software\\TovikSetupTests\\NoSuchKey", KEY_READ));
  EXPECT_EQ(held, key.Get());
  EXPECT_EQ(static_cast<REGSAM>(KEY_WOW64_64KEY), key.View());

  DWORD disposition = 0;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"Software\\TovikSetupTests\\Created", nullptr, 0,
                                      KEY_ALL_ACCESS, nullptr, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
  ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"Software\\TovikSetupTests\\Created", nullptr, 0,
                                      KEY_ALL_ACCESS, nullptr, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
  key.Close();
  DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\TovikSetupTests\\Created");
}

// The stand-in client and uninstaller that the demo package carries: the client records how it was
// started, and the uninstaller removes exactly what the setup put there and nothing else.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "core/SystemHelpers.h"
#include "tests/support/TestSupport.h"

using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::TestProgramFolder;
using testing_support::WaitFor;
using testing_support::WriteFileBytes;

namespace {

void CopyProgram(const wchar_t* name, const std::wstring& folder) {
  ASSERT_TRUE(::CopyFileW((TestProgramFolder() + name).c_str(), (folder + L"\\" + name).c_str(), FALSE));
}

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\岚鹊加速器";

}  // namespace

TEST(StandinClient, RecordsItsArgumentsAndShowsAWindow) {
  CTempFolder dir;
  CopyProgram(L"tvgate.exe", dir.Path());
  ::WritePrivateProfileStringW(L"config", L"lang", L"zh-tw", (dir / L"local.cfg").c_str());
  std::wstring line = L"\"" + (dir / L"tvgate.exe") + L"\" -install";
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::CloseHandle(pi.hThread);
  HWND window = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (window = ::FindWindowW(L"TovikStandinClient", nullptr)) != nullptr; }, 20000));
  EXPECT_EQ("-install", ReadFileBytes(dir / L"tvgate-started.txt"));
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hProcess);
}

TEST(StandinUninstaller, QuietRunRemovesPackageFilesLinksAndEntryButNothingElse) {
  CTempFolder dir;
  std::wstring install = dir / L"tovik";
  ASSERT_TRUE(CreateDirectoryTree(install + L"\\docs"));
  CopyProgram(L"unins000.exe", install);
  ASSERT_TRUE(WriteFileBytes(install + L"\\tvgate.exe", "client"));
  ASSERT_TRUE(WriteFileBytes(install + L"\\docs\\readme.txt", "readme"));
  ASSERT_TRUE(WriteFileBytes(install + L"\\files.lst", "tvgate.exe\nunins000.exe\ndocs/readme.txt\n../escape.txt\nfiles.lst\n"));
  ASSERT_TRUE(WriteFileBytes(install + L"\\local.cfg", "[config]\r\nlang=zh-cn\r\n"));
  ASSERT_TRUE(WriteFileBytes(install + L"\\users-own.txt", "keep me"));
  ASSERT_TRUE(WriteFileBytes(dir / L"escape.txt", "outside"));

  wchar_t desktop[MAX_PATH] = {}, startMenu[MAX_PATH] = {};
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, startMenu, CSIDL_STARTMENU, TRUE));
  std::wstring desktopLink = std::wstring(desktop) + L"\\岚鹊加速器.lnk";
  std::wstring menuFolder = std::wstring(startMenu) + L"\\岚鹊加速器";
  ASSERT_TRUE(WriteFileBytes(desktopLink, "link"));
  ASSERT_TRUE(CreateDirectoryTree(menuFolder));
  ASSERT_TRUE(WriteFileBytes(menuFolder + L"\\启动岚鹊加速器.lnk", "link"));
  ASSERT_TRUE(WriteFileBytes(menuFolder + L"\\卸载岚鹊加速器.lnk", "link"));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
  ::RegSetValueExW(key, L"DisplayShortcut", 0, REG_SZ, reinterpret_cast<const BYTE*>(desktopLink.c_str()),
                   static_cast<DWORD>((desktopLink.size() + 1) * 2));
  ::RegCloseKey(key);

  EXPECT_EQ(0, testing_support::RunAndWait(L"\"" + install + L"\\unins000.exe\" /quiet", 60000));

  EXPECT_FALSE(PathExists(install + L"\\tvgate.exe"));
  EXPECT_FALSE(PathExists(install + L"\\docs"));
  EXPECT_FALSE(PathExists(install + L"\\local.cfg"));
  EXPECT_TRUE(PathExists(install + L"\\users-own.txt"));
  EXPECT_TRUE(PathExists(dir / L"escape.txt"));
  EXPECT_FALSE(PathExists(desktopLink));
  EXPECT_FALSE(PathExists(menuFolder));
  HKEY gone = nullptr;
  EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &gone));
  // The uninstaller's own file goes a moment later, through a hidden interpreter.
  EXPECT_TRUE(WaitFor([&] { return !PathExists(install + L"\\unins000.exe"); }, 20000));
}

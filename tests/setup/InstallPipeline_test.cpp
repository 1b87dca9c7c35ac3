// The install worker end to end, against the product-API stand-in: what a whole install leaves
// behind, what each failure shows and logs, and the package held open from check to unpacking.
#include "setup/InstallPipeline.h"

#include <gtest/gtest.h>
#include <process.h>

#include <map>

#include "core/ControlManager.h"
#include "core/DataManager.h"
#include "core/Md5.h"
#include "core/SystemHelpers.h"
#include "setup/ClientContract.h"
#include "setup/InstallRecords.h"
#include "setup/ShellLinks.h"
#include "setup/Startup.h"
#include "setup/TaskbarPin.h"
#include "tests/core/support/ApiStandin.h"
#include "tests/setup/SetupTestHelpers.h"
#include "tests/setup/WizardStandIn.h"
#include "tests/support/TestSupport.h"

using setup_test::KeyExists;
using setup_test::LinkTarget;
using setup_test::ReadProfileValue;
using setup_test::ReadStringValue;
using testing_support::CTempFolder;
using testing_support::ReadFileBytes;
using testing_support::WaitFor;
using testing_support::WriteFileBytes;

namespace {

// Switches under which the stand-in announces and serves the stand-in client package.
const char kClientPackageSwitches[] = TOVIK_TEST_CLIENT_PACKAGE_SWITCHES;

std::wstring UninstallValue(const wchar_t* name) {
  return ReadStringValue(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey, name);
}

class InstallPipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedWorkDir = g_workDir;
    g_workDir = work.Path() + L"\\";
    wnd.AttachWindow(window.Get(), &view);
    setup_test::DeleteKeyTree(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey);
  }
  void TearDown() override {
    g_workDir = savedWorkDir;
    setup_test::DeleteKeyTree(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey);
    std::wstring desktopLink = GetDesktopFolder() + L"\\" + kDesktopLinkName;
    ::DeleteFileW(desktopLink.c_str());
    testing_support::RemoveTree(GetStartMenuProductFolder());
  }

  // Runs one install to its end and lets the window thread take every queued call.
  void Install(const std::string& switches, const std::wstring& folder, CMainWnd::TInstallOptions options) {
    std::string base = api_standin::BaseUrl(switches);
    DataManager::Instance()->SetApiEndpoints(base, base);
    wnd.SetSelectedFolder(folder);
    wnd.SetInstallOptions(options);
    view.calls.clear();
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &InstallWorker, nullptr, 0, nullptr));
    ASSERT_NE(nullptr, worker);
    bool ended = WaitFor([&] { return ::WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }, 120000);
    ::CloseHandle(worker);
    ASSERT_TRUE(ended);
    WaitFor([] { return false; }, 300);
  }

  // The steps as the window saw them, from the timer periods (300 / step ms).
  std::vector<int> StepsSeen() const {
    static const std::map<std::wstring, int> kPeriodToStep = {
        {L"timer 300", 1}, {L"timer 150", 2}, {L"timer 100", 3}, {L"timer 75", 4}, {L"timer 60", 5}, {L"timer 50", 6}};
    std::vector<int> steps;
    for (const std::wstring& call : view.calls) {
      auto found = kPeriodToStep.find(call);
      if (found != kPeriodToStep.end()) steps.push_back(found->second);
    }
    return steps;
  }

  CTempFolder work;
  CTempFolder target;
  log_capture::CLogCapture log;
  setup_test::CStandInWindow window;
  setup_test::CRecordingView view;
  CMainWnd wnd{nullptr};
  std::wstring savedWorkDir;
};

}  // namespace

TEST_F(InstallPipelineTest, AWholeInstallLeavesFilesRecordsAndLinks) {
  const std::wstring folder = target / L"岚鹊 tovik";
  // The package URL carries a query, which is no part of the cached file's name.
  Install(std::string(kClientPackageSwitches) + ",name=tovik-client.zip%3Fv%3D2", folder, {true, true, true});

  EXPECT_TRUE(view.errors.empty());
  EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 6}), StepsSeen());
  EXPECT_EQ(folder, wnd.InstallFolder());
  // The package was kept in the cache and unpacked with its item paths.
  EXPECT_TRUE(IsRegularFile(g_workDir + L"cache\\tovik-client.zip"));
  for (const wchar_t* file : {L"tvgate.exe", L"unins000.exe", L"docs\\readme.txt", L"files.lst"})
    EXPECT_TRUE(IsRegularFile(folder + L"\\" + file)) << file;

  EXPECT_EQ(GetRunningProgramPath(), ReadProfileValue(folder + L"\\setup.ini", L"tovik", L"packpath"));
  EXPECT_EQ(L"1", ReadProfileValue(folder + L"\\local.cfg", L"config", L"powerup"));

  const std::wstring desktopLink = GetDesktopFolder() + L"\\" + kDesktopLinkName;
  EXPECT_EQ(L"岚鹊加速器", UninstallValue(L"DisplayName"));
  EXPECT_EQ(folder + L"\\unins000.exe", UninstallValue(L"UninstallString"));
  EXPECT_EQ(folder + L"\\tvgate.exe", UninstallValue(L"DisplayIcon"));
  EXPECT_EQ(desktopLink, UninstallValue(L"DisplayShortcut"));

  CComInitializer com;
  EXPECT_EQ(folder + L"\\tvgate.exe", LinkTarget(desktopLink));
  const std::wstring startMenu = GetStartMenuProductFolder();
  EXPECT_EQ(folder + L"\\tvgate.exe", LinkTarget(startMenu + L"\\启动岚鹊加速器.lnk"));
  EXPECT_EQ(folder + L"\\unins000.exe", LinkTarget(startMenu + L"\\卸载岚鹊加速器.lnk"));
  // The pin step ran (taskbar option on) and left no verb for every file type behind.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::wstring(kShellVerbsKey) + L"\\" + kTemporaryVerb));
}

TEST_F(InstallPipelineTest, ASecondInstallIntoTheSameFolderOverwritesCleanly) {
  const std::wstring folder = target / L"tovik";
  Install(kClientPackageSwitches, folder, {true, false, true});
  ASSERT_TRUE(view.errors.empty());
  ASSERT_TRUE(WriteFileBytes(folder + L"\\tvgate.exe", "damaged"));

  Install(kClientPackageSwitches, folder, {false, false, false});
  EXPECT_TRUE(view.errors.empty());
  EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 6}), StepsSeen());
  // The damaged file is the package's own again.
  EXPECT_EQ(ReadFileBytes(testing_support::TestProgramFolder() + L"tvgate.exe"), ReadFileBytes(folder + L"\\tvgate.exe"));
  // No desktop link in this run: the entry says so, the other values are this run's.
  EXPECT_EQ(L"", UninstallValue(L"DisplayShortcut"));
  EXPECT_EQ(folder + L"\\unins000.exe", UninstallValue(L"UninstallString"));
  EXPECT_EQ(L"0", ReadProfileValue(folder + L"\\local.cfg", L"config", L"powerup"));
  EXPECT_EQ(GetRunningProgramPath(), ReadProfileValue(folder + L"\\setup.ini", L"tovik", L"packpath"));
  CComInitializer com;
  EXPECT_EQ(folder + L"\\tvgate.exe", LinkTarget(GetStartMenuProductFolder() + L"\\启动岚鹊加速器.lnk"));
}

TEST_F(InstallPipelineTest, EachFailureShowsItsTextLogsItsLineAndStops) {
  struct Case {
    const char* switches;
    const wchar_t* shown;
    const wchar_t* logged;
    std::vector<int> steps;
    bool packageCached;
  } cases[] = {
      {"status=500", L"网络错误，请求安装配置失败", L"[.\\MainWnd.cpp 1157]安装错误：请求安装配置失败", {1, 2}, false},
      {"dl=404", L"网络错误，请求安装数据失败", L"[.\\MainWnd.cpp 1170]安装错误：请求安装数据失败", {1, 2}, false},
      {"md5=wrong", L"网络错误，请求安装数据失败", L"[.\\MainWnd.cpp 1170]安装错误：请求安装数据失败", {1, 2}, true},
      // The stand-in's own made-up package is not a ZIP archive.
      {"seed=notzip", L"安装错误，解压失败", L"[.\\MainWnd.cpp 1202]安装错误：解压失败", {1, 2, 4}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.switches);
    view.errors.clear();
    view.ended = false;
    const std::wstring folder = target / testing_support::Utf8ToWideText(c.switches);
    Install(c.switches, folder, {true, true, true});
    EXPECT_EQ(std::vector<std::wstring>{c.shown}, view.errors);
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(c.steps, StepsSeen());
    EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
    EXPECT_EQ(c.packageCached, IsRegularFile(g_workDir + L"cache\\client_pkg.zip"));
    // Nothing is registered after a failure.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey));
    EXPECT_FALSE(PathExists(folder + L"\\setup.ini"));
    EXPECT_TRUE(wnd.InstallFolder().empty());
    ::DeleteFileW((g_workDir + L"cache\\client_pkg.zip").c_str());
  }
}

TEST(CHeldPackage, HoldsOnlyAVerifiedPackageAndShutsOutWritersWhileHeld) {
  CTempFolder folder;
  const std::wstring path = folder / L"pkg.zip";
  ASSERT_TRUE(WriteFileBytes(path, "package bytes"));
  CMd5A md5;
  std::string digest = md5.GetStringMd5("package bytes");
  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));

  struct Case {
    std::wstring path;
    std::string digest;
    bool held;
  } cases[] = {
      {path, digest, true},
      {path, upper, true},
      {path, md5.GetStringMd5("other bytes"), false},
      {path, "", false},
      {folder / L"missing.zip", digest, false},
      {folder.Path(), md5.GetStringMd5(""), false},
  };
  for (const Case& c : cases) {
    CHeldPackage package;
    EXPECT_EQ(c.held, package.OpenVerified(c.path, c.digest)) << testing_support::WideToUtf8Text(c.path) << c.digest;
    EXPECT_EQ(c.held, package.IsHeld());
  }

  CHeldPackage package;
  ASSERT_TRUE(package.OpenVerified(path, digest));
  // Readers (the extractor) get in; nobody can change, replace or remove the checked bytes.
  CScopedFile reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader.IsValid());
  reader.Reset();
  CScopedFile writer(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(writer.IsValid());
  EXPECT_FALSE(::DeleteFileW(path.c_str()));
  EXPECT_FALSE(::MoveFileW(path.c_str(), (folder / L"moved.zip").c_str()));

  package.Release();
  EXPECT_TRUE(WriteFileBytes(path, "replaced"));
}

#include "setup/Startup.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/SystemHelpers.h"
#include "core/WriteLogFile.h"
#include "tests/support/TestSupport.h"

using testing_support::CTempFolder;
using testing_support::TestProgramFolder;
using testing_support::WriteFileBytes;

TEST(ChooseWorkDir, KeepsTheTemporaryFolderWhetherNewOrExisting) {
  CTempFolder temp;
  std::wstring expected = temp.Path() + L"\\tovikSetup\\";
  EXPECT_EQ(expected, ChooseWorkDir(temp.Path() + L"\\", L"C:\\program\\"));
  EXPECT_TRUE(PathExists(expected));
  // The second run finds it already there and keeps it too.
  EXPECT_EQ(expected, ChooseWorkDir(temp.Path() + L"\\", L"C:\\program\\"));
}

TEST(ChooseWorkDir, FallsBackToTheProgramFolderOnlyWhenThereIsNoUsableTemporaryFolder) {
  CTempFolder temp;
  ASSERT_TRUE(WriteFileBytes(temp / L"plainfile", "x"));
  struct Case {
    std::wstring tempPath;
  } cases[] = {
      {L""},                                    // GetTempPathW failed
      {temp / L"plainfile\\"},                  // the folder cannot be created below a file
      {temp / L"missing\\deeper\\"},            // the parent does not exist
  };
  for (const Case& c : cases) EXPECT_EQ(L"C:\\program\\", ChooseWorkDir(c.tempPath, L"C:\\program\\")) << c.tempPath;
  // A file named like the working folder is not a folder.
  CTempFolder temp2;
  ASSERT_TRUE(WriteFileBytes(temp2 / L"tovikSetup", "x"));
  EXPECT_EQ(L"C:\\program\\", ChooseWorkDir(temp2.Path() + L"\\", L"C:\\program\\"));
}

TEST(InitWorkDirAndLog, UsesTheUsersTemporaryFolderAndPointsTheLogThere) {
  CTempFolder temp;
  wchar_t saved[1024] = {};
  DWORD savedLength = ::GetEnvironmentVariableW(L"TMP", saved, 1024);
  ::SetEnvironmentVariableW(L"TMP", temp.Path().c_str());
  InitWorkDirAndLog(L"TovikSetup.log");
  ::SetEnvironmentVariableW(L"TMP", savedLength ? saved : nullptr);

  EXPECT_EQ(temp.Path() + L"\\tovikSetup\\", g_workDir);
  EXPECT_EQ(g_workDir + L"TovikSetup.log", g_logFile.GetPath());
  EXPECT_TRUE(PathExists(g_workDir));
}

TEST(CInstanceGuard, SecondGuardSeesTheFirstAndClosingTwiceIsHarmless) {
  const char* name = "Local\\TovikSetupTests_guard";
  CInstanceGuard first(name);
  EXPECT_FALSE(first.IsAlreadyRunning());
  {
    CInstanceGuard second(name);
    EXPECT_TRUE(second.IsAlreadyRunning());
    second.Close();
    second.Close();
  }
  first.Close();
  CInstanceGuard third(name);
  EXPECT_FALSE(third.IsAlreadyRunning());
}

namespace {

// A window that looks like a running wizard to start-up: the class and title it searches for.
class CFakeWizardWindow {
 public:
  CFakeWizardWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kWizardWindowClass;
    ::RegisterClassW(&wc);
    m_window = ::CreateWindowExW(0, kWizardWindowClass, kWizardWindowTitle, WS_POPUP, 10, 10, 200, 100, nullptr,
                                 nullptr, wc.hInstance, nullptr);
  }
  ~CFakeWizardWindow() { ::DestroyWindow(m_window); }
  HWND Get() const { return m_window; }

 private:
  HWND m_window = nullptr;
};

int g_wizardRuns = 0;
void CountWizardRun(HINSTANCE) { ++g_wizardRuns; }

}  // namespace

TEST(RunSetup, WithAnotherWizardWindowRaisesItAndDoesNotRunASecondWizard) {
  CInstanceGuard other(kInstanceSemaphoreName);
  CFakeWizardWindow wizard;
  ASSERT_TRUE(wizard.Get());
  ASSERT_FALSE(::IsWindowVisible(wizard.Get()));  // a wizard hidden by the system close command
  g_wizardRuns = 0;
  EXPECT_EQ(0, RunSetup(::GetModuleHandleW(nullptr), &CountWizardRun));
  EXPECT_EQ(0, g_wizardRuns);
  EXPECT_TRUE(::IsWindowVisible(wizard.Get()));
}

TEST(RunSetup, SemaphoreHeldButNoWizardWindowRunsAFullWizard) {
  CInstanceGuard other(kInstanceSemaphoreName);
  g_wizardRuns = 0;
  EXPECT_EQ(0, RunSetup(::GetModuleHandleW(nullptr), &CountWizardRun));
  EXPECT_EQ(1, g_wizardRuns);
}

TEST(RunSetup, ModuleWithoutSkinArchiveEndsAtOnceWithExitCodeZero) {
  g_wizardRuns = 0;
  EXPECT_EQ(0, RunSetup(::GetModuleHandleW(L"kernel32.dll"), &CountWizardRun));
  EXPECT_EQ(0, g_wizardRuns);
}

TEST(RunSetup, ExceptionFromTheWizardIsSwallowedAndExitCodeIsZero) {
  EXPECT_EQ(0, RunSetup(::GetModuleHandleW(nullptr), [](HINSTANCE) { throw 42; }));
}

// The real program, as a second instance: it finds this process's hidden wizard window, shows and
// raises it, and ends with exit code 0. The window's thread pumps messages while the child runs.
TEST(TovikSetupExe, SecondInstanceRestoresTheRunningWizardAndExitsZero) {
  CInstanceGuard other(kInstanceSemaphoreName);
  CFakeWizardWindow wizard;
  ASSERT_FALSE(::IsWindowVisible(wizard.Get()));
  std::wstring exe = TestProgramFolder() + L"TovikSetup.exe";
  EXPECT_EQ(0, testing_support::RunAndWait(L"\"" + exe + L"\"", 60000));
  EXPECT_TRUE(::IsWindowVisible(wizard.Get()));
}

TEST(TovikSetupExe, FirstInstanceMakesItsWorkingFolderInTheTemporaryFolderAndExitsZero) {
  CTempFolder temp;
  wchar_t saved[1024] = {};
  DWORD savedLength = ::GetEnvironmentVariableW(L"TMP", saved, 1024);
  ::SetEnvironmentVariableW(L"TMP", temp.Path().c_str());
  std::wstring exe = TestProgramFolder() + L"TovikSetup.exe";
  // The first instance runs the wizard until its window is closed; close it once it is shown.
  std::thread closer([] {
    for (int i = 0; i < 600; ++i) {
      HWND shown = ::FindWindowW(kWizardWindowClass, kWizardWindowTitle);
      if (shown && ::IsWindowVisible(shown)) {
        ::PostMessageW(shown, WM_CLOSE, 0, 0);
        return;
      }
      ::Sleep(100);
    }
  });
  int code = testing_support::RunAndWait(L"\"" + exe + L"\"", 60000);
  closer.join();
  ::SetEnvironmentVariableW(L"TMP", savedLength ? saved : nullptr);
  EXPECT_EQ(0, code);
  EXPECT_TRUE(PathExists(temp / L"tovikSetup"));
}

// The real TovikSetup.exe, driven by posted mouse input at the places its own markup puts the
// controls, installing the stand-in client from the product-API stand-in.
#include <gtest/gtest.h>

#include <map>

#include "setup/ClientContract.h"
#include "setup/MainWnd.h"
#include "setup/MessageBoxEx.h"
#include "setup/ShellLinks.h"
#include "setup/Startup.h"
#include "tests/core/support/ApiStandin.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardTestSupport.h"

#include "ui/controls/LayoutUI.h"

using namespace wizard_test;
using testing_support::WaitFor;
using namespace ClientContract;

namespace {

std::vector<UINT> g_exits;
void RecordExit(UINT code) { g_exits.push_back(code); }

// Where each control sits on its page, measured on a wizard built in this process from the same
// skin.
std::map<std::wstring, POINT> MeasureControls() {
  std::map<std::wstring, POINT> at;
  if (!RegisterTestSkin()) return at;
  CMainWnd wnd(::GetModuleHandleW(nullptr));
  wnd.SetProcessExit(&RecordExit);
  wnd.Create(nullptr, L"measure", 0x16000000, 0, 0, 0, 0, 0);
  PumpUntil([&] { return wnd.Manager().ControlByName(L"child_page_tab") != nullptr; }, 5000);
  Pump(200);
  auto* tab = static_cast<SkinUI::CTabLayoutUI*>(wnd.Manager().ControlByName(L"child_page_tab")->CastToInterface(L"TabLayout"));
  const wchar_t* pages[][3] = {{L"agree_opt", L"immediate_install_btn", L"self_install_btn"},
                               {L"immediate_install_btn1", L"fast_start_bar_opt", L"power_up_opt"},
                               {nullptr, nullptr, nullptr},
                               {L"immediate_startup_btn", nullptr, nullptr}};
  for (int page = 0; page < 4; ++page) {
    if (page == 1) wnd.ShowPage(1);
    else { wnd.ResizeForPage(false); tab->SelectItem(page, false); }
    Pump(150);
    for (const wchar_t* name : pages[page])
      if (name) at[name] = CentreOf(wnd.Manager(), name);
  }
  ::DestroyWindow(wnd.Handle());
  Pump(50);
  return at;
}

class CSetupProcess {
 public:
  explicit CSetupProcess(const std::string& apiUrl) {
    ::SetEnvironmentVariableW(L"TOVIK_DEV_API_URL", testing_support::Utf8ToWideText(apiUrl).c_str());
    std::wstring command = L"\"" + testing_support::TestProgramFolder() + L"TovikSetup.exe\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    m_started = ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info);
    ::SetEnvironmentVariableW(L"TOVIK_DEV_API_URL", nullptr);
  }
  ~CSetupProcess() {
    if (!m_started) return;
    if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_info.hProcess, 99);
    ::WaitForSingleObject(m_info.hProcess, 5000);
    ::CloseHandle(m_info.hProcess);
    ::CloseHandle(m_info.hThread);
  }
  bool Started() const { return m_started != FALSE; }
  // The wizard's window once it is on screen.
  HWND WaitForWizard(DWORD timeoutMs = 30000) {
    HWND found = nullptr;
    WaitFor([&] {
      found = ::FindWindowW(kWizardWindowClass, kWizardWindowTitle);
      return found && ::IsWindowVisible(found);
    }, timeoutMs);
    return found && ::IsWindowVisible(found) ? found : nullptr;
  }
  // The exit code, or -1 when it has not ended in time.
  int WaitForExit(DWORD timeoutMs) {
    if (!WaitFor([&] { return ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs)) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  BOOL m_started = FALSE;
  PROCESS_INFORMATION m_info = {};
};

std::wstring Profile(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[1024] = {};
  ::GetPrivateProfileStringW(section, key, L"", value, 1024, file.c_str());
  return value;
}

std::wstring SetupLogPath() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"tovikSetup\\TovikSetup.log";
}

std::wstring ReadLog() {
  const std::string bytes = testing_support::ReadFileBytes(SetupLogPath());
  if (bytes.size() < 2) return L"";
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    m_installFolder = std::wstring(system, 2) + L"\\Program Files (x86)\\tovik";
    testing_support::RemoveTree(m_installFolder);
    // A folder left over would bring up the folder question instead of the install.
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(m_installFolder.c_str()));
    ::DeleteFileW(SetupLogPath().c_str());
    static const std::map<std::wstring, POINT> measured = MeasureControls();
    m_at = measured;
    ASSERT_FALSE(m_at.empty());
  }
  void Click(HWND window, const wchar_t* name) {
    PostClick(window, m_at[name]);
    Pump(400);
  }
  std::wstring m_installFolder;
  std::map<std::wstring, POINT> m_at;
};

}  // namespace

TEST_F(EndToEndTest, CustomInstallFromStartPageToTheStartedClient) {
  CSetupProcess setup(api_standin::BaseUrl("pkg=client"));
  ASSERT_TRUE(setup.Started());
  HWND wizard = setup.WaitForWizard();
  ASSERT_NE(nullptr, wizard);
  Pump(500);
  SaveScreenshot(wizard, L"e2e-0-start");
  Click(wizard, L"agree_opt");
  Click(wizard, L"self_install_btn");
  RECT client = {};
  ::GetClientRect(wizard, &client);
  EXPECT_EQ(550, client.bottom) << "the custom page is the tall one";
  Click(wizard, L"power_up_opt");  // no logon task this time
  SaveScreenshot(wizard, L"e2e-1-custom");
  Click(wizard, L"immediate_install_btn1");
  ::GetClientRect(wizard, &client);
  EXPECT_EQ(430, client.bottom);
  Pump(1500);
  SaveScreenshot(wizard, L"e2e-2-progress");

  // The finished page writes the language next to the client; the bar is at 100 by then.
  const std::wstring config = m_installFolder + L"\\" + kClientConfigFile;
  ASSERT_TRUE(WaitFor([&] { return Profile(config, kClientConfigSection, kClientConfigLang) == L"zh-cn"; }, 90000))
      << "the install did not finish";
  Pump(800);
  SaveScreenshot(wizard, L"e2e-3-finished");
  Click(wizard, L"immediate_startup_btn");
  EXPECT_EQ(0, setup.WaitForExit(20000));

  const std::wstring started = m_installFolder + L"\\tvgate-started.txt";
  EXPECT_TRUE(WaitFor([&] { return testing_support::ReadFileBytes(started) == "-install"; }, 20000));
  // The client holds its folder while it runs; the next test starts from a clean machine.
  HWND started_client = nullptr;
  WaitFor([&] { return (started_client = ::FindWindowW(nullptr, L"岚鹊加速器")) != nullptr; }, 10000);
  if (started_client) ::PostMessageW(started_client, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([] { return ::FindWindowW(nullptr, L"岚鹊加速器") == nullptr; }, 10000));

  EXPECT_TRUE(::GetFileAttributesW((m_installFolder + L"\\tvgate.exe").c_str()) != INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(::GetFileAttributesW((m_installFolder + L"\\unins000.exe").c_str()) != INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(Profile(m_installFolder + L"\\" + kSetupRecordFile, kSetupRecordSection, kSetupRecordPackPath).empty());
  EXPECT_EQ(L"0", Profile(config, kClientConfigSection, kClientConfigPowerUp)) << "start at logon was unchecked";
  wchar_t uninstaller[1024] = {};
  DWORD size = sizeof(uninstaller);
  EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, kUninstallString, RRF_RT_REG_SZ, nullptr,
                                          uninstaller, &size));
  EXPECT_EQ(m_installFolder + L"\\unins000.exe", std::wstring(uninstaller));
  const std::wstring desktop = GetDesktopFolder();
  EXPECT_TRUE(::GetFileAttributesW((desktop + L"\\" + kDesktopLinkName).c_str()) != INVALID_FILE_ATTRIBUTES);
  const std::wstring log = ReadLog();
  EXPECT_FALSE(log.empty());
  EXPECT_EQ(std::wstring::npos, log.find(L"安装错误")) << testing_support::WideToUtf8Text(log);
}

TEST_F(EndToEndTest, RefusedRequestShowsTheErrorBoxAndEndsWithExitCodeZero) {
  CSetupProcess setup(api_standin::BaseUrl("reply=refuse"));
  ASSERT_TRUE(setup.Started());
  HWND wizard = setup.WaitForWizard();
  ASSERT_NE(nullptr, wizard);
  Pump(500);
  Click(wizard, L"agree_opt");
  Click(wizard, L"immediate_install_btn");
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    box = ::FindWindowW(CMessageBoxExWnd::kClassName, nullptr);
    return box && ::IsWindowVisible(box);
  }, 60000));
  Pump(600);
  SaveScreenshot(box, L"e2e-error-box");
  EXPECT_NE(std::wstring::npos, ReadLog().find(L"安装错误：请求安装配置失败"));
  ClickBoxButton(box, POINT{157, 208});  // 确定
  EXPECT_EQ(0, setup.WaitForExit(20000));
}

TEST_F(EndToEndTest, ASecondStartRaisesTheHiddenWizardAndLeaves) {
  CSetupProcess first(api_standin::BaseUrl("pkg=client"));
  HWND wizard = first.WaitForWizard();
  ASSERT_NE(nullptr, wizard);
  ::PostMessageW(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4 only hides it
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(wizard); }, 5000));
  EXPECT_EQ(-1, first.WaitForExit(300)) << "hiding is not quitting";
  CSetupProcess second(api_standin::BaseUrl("pkg=client"));
  EXPECT_EQ(0, second.WaitForExit(30000));
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(wizard) != FALSE; }, 5000));
}

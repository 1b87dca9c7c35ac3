#include "setup/MainWnd.h"

#include <gtest/gtest.h>

#include "core/DataManager.h"
#include "core/SystemHelpers.h"
#include "setup/MessageBoxEx.h"
#include "setup/Startup.h"
#include "setup/WizardTexts.h"
#include "tests/core/support/ApiStandin.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardTestSupport.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/LayoutUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"

using namespace wizard_test;
using SkinUI::CControlUI;

namespace {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\岚鹊加速器";

std::vector<UINT> g_exits;
void RecordExit(UINT code) { g_exits.push_back(code); }

// The real wizard window in this process; quitting records the exit instead of ending the tests.
class CWizard {
 public:
  CWizard() : m_wnd(::GetModuleHandleW(nullptr)) {
    m_wnd.SetProcessExit(&RecordExit);
    m_wnd.Create(nullptr, kWizardWindowTitle, 0x16000000, 0, 0, 0, 0, 0);
    m_wnd.CenterOnOwner();
    PumpUntil([&] { return Tab() != nullptr && m_wnd.GetHWND() != nullptr; }, 5000);
    Pump(200);
  }
  ~CWizard() {
    if (::IsWindow(m_wnd.Handle())) ::DestroyWindow(m_wnd.Handle());
    Pump(50);
  }
  CMainWnd& Wnd() { return m_wnd; }
  HWND Window() { return m_wnd.Handle(); }
  CControlUI* Find(const wchar_t* name) { return Control(m_wnd.Manager(), name); }
  SkinUI::COptionUI* Option(const wchar_t* name) {
    CControlUI* c = Find(name);
    return c ? static_cast<SkinUI::COptionUI*>(c->CastToInterface(L"Option")) : nullptr;
  }
  SkinUI::CTabLayoutUI* Tab() {
    CControlUI* c = Find(L"child_page_tab");
    return c ? static_cast<SkinUI::CTabLayoutUI*>(c->CastToInterface(L"TabLayout")) : nullptr;
  }
  int Page() { return Tab() ? Tab()->SelectedIndex() : -1; }
  SIZE ClientSize() {
    RECT r = {};
    ::GetClientRect(Window(), &r);
    return SIZE{r.right, r.bottom};
  }
  void Click(const wchar_t* name) {
    ASSERT_TRUE(PostClickOn(Window(), m_wnd.Manager(), name)) << "no control";
    Pump(150);
  }
  std::wstring Text(const wchar_t* name) { return Find(name) ? Find(name)->GetText().c_str() : L"<none>"; }
  std::wstring Tip(const wchar_t* name) { return Find(name) ? Find(name)->GetToolTip().c_str() : L"<none>"; }

 private:
  CMainWnd m_wnd;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterTestSkin());
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    g_workDir = std::wstring(temp) + L"tovikWizardTests\\";
    ::CreateDirectoryW(g_workDir.c_str(), nullptr);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    g_exits.clear();
  }
};

void SetEarlierInstall(const wchar_t* uninstaller) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
  ::RegSetValueExW(key, L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstaller),
                   static_cast<DWORD>((wcslen(uninstaller) + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

}  // namespace

TEST_F(MainWindowTest, StartsOnTheShortStartPageWithTheOptionsAndFolderOfThisMachine) {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring drive(system, 2);
  struct Case {
    const wchar_t* uninstaller;  // null: no earlier install
    std::wstring expected;
  } cases[] = {
      {nullptr, drive + L"\\Program Files (x86)\\tovik"},
      {L"D:\\Games\\tovik\\unins000.exe", L"D:\\Games\\tovik"},
  };
  for (const Case& c : cases) {
    if (c.uninstaller) SetEarlierInstall(c.uninstaller);
    CWizard wizard;
    EXPECT_EQ(0, wizard.Page());
    EXPECT_EQ(800, wizard.ClientSize().cx);
    EXPECT_EQ(430, wizard.ClientSize().cy);
    EXPECT_EQ(c.expected, wizard.Text(L"path_edit"));
    EXPECT_EQ(c.expected, wizard.Tip(L"path_edit"));
    EXPECT_EQ(c.expected, wizard.Wnd().SelectedFolder());
    EXPECT_TRUE(wizard.Option(L"power_up_opt")->IsSelected());
    EXPECT_TRUE(wizard.Option(L"create_desktop_icon_opt")->IsSelected());
    EXPECT_FALSE(wizard.Option(L"fast_start_bar_opt")->IsSelected());
    EXPECT_FALSE(wizard.Option(L"agree_opt")->IsSelected());
    EXPECT_FALSE(wizard.Find(L"immediate_install_btn")->IsEnabled());
    EXPECT_FALSE(wizard.Find(L"immediate_install_btn1")->IsEnabled());
  }
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
}

TEST_F(MainWindowTest, CustomPageGrowsTheWindowAndTheWayBackShrinksIt) {
  CWizard wizard;
  wizard.Click(L"self_install_btn");
  EXPECT_EQ(1, wizard.Page());
  EXPECT_EQ(550, wizard.ClientSize().cy);
  EXPECT_TRUE(wizard.Find(L"space_line_lab")->IsVisible());
  // The rounded region follows the new size.
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, ::GetWindowRgn(wizard.Window(), region));
  RECT box = {};
  ::GetRgnBox(region, &box);
  ::DeleteObject(region);
  EXPECT_GE(box.bottom, 549);
  wizard.Click(L"return_btn");
  EXPECT_EQ(0, wizard.Page());
  EXPECT_EQ(430, wizard.ClientSize().cy);
  EXPECT_FALSE(wizard.Find(L"space_line_lab")->IsVisible());
}

TEST_F(MainWindowTest, AgreementChecksMirrorEachOtherAndGateBothInstallButtons) {
  CWizard wizard;
  wizard.Click(L"agree_opt");
  EXPECT_TRUE(wizard.Option(L"agree_opt")->IsSelected());
  EXPECT_TRUE(wizard.Option(L"agree_opt1")->IsSelected());
  EXPECT_TRUE(wizard.Find(L"immediate_install_btn")->IsEnabled());
  EXPECT_TRUE(wizard.Find(L"immediate_install_btn1")->IsEnabled());
  EXPECT_EQ(L"", wizard.Tip(L"immediate_install_btn1"));
  wizard.Click(L"self_install_btn");
  wizard.Click(L"agree_opt1");
  EXPECT_FALSE(wizard.Option(L"agree_opt")->IsSelected());
  EXPECT_FALSE(wizard.Option(L"agree_opt1")->IsSelected());
  EXPECT_FALSE(wizard.Find(L"immediate_install_btn")->IsEnabled());
  EXPECT_FALSE(wizard.Find(L"immediate_install_btn1")->IsEnabled());
  EXPECT_EQ(WizardTexts::kAgreementNeededTip.simplified, wizard.Tip(L"immediate_install_btn"));
  EXPECT_EQ(WizardTexts::kAgreementNeededTip.simplified, wizard.Tip(L"immediate_install_btn1"));
}

TEST_F(MainWindowTest, LanguageSwitchSetsEveryTextOfTheSkinAndBack) {
  CWizard wizard;
  wizard.Click(L"agree_opt");
  wizard.Click(L"agree_opt");  // the agreement handling set its own tool tip
  size_t count = 0;
  const WizardTexts::TControlText* texts = WizardTexts::ControlTexts(count);
  for (bool simplified : {false, true}) {
    wizard.Wnd().ApplyLanguage(simplified);
    EXPECT_EQ(simplified, wizard.Wnd().IsSimplified());
    for (size_t i = 0; i < count; ++i) {
      const std::wstring shown = texts[i].property == WizardTexts::TTextProperty::ToolTip
                                     ? wizard.Tip(texts[i].controlName)
                                     : wizard.Text(texts[i].controlName);
      EXPECT_EQ(texts[i].text.Pick(simplified), shown) << testing_support::WideToUtf8Text(texts[i].controlName);
    }
  }
}

TEST_F(MainWindowTest, CaptionBandDragsExceptOverItsButtons) {
  CWizard wizard;
  auto hit = [&](POINT client) {
    ::ClientToScreen(wizard.Window(), &client);
    return ::SendMessageW(wizard.Window(), WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
  };
  EXPECT_EQ(HTCAPTION, hit(POINT{300, 20}));
  EXPECT_EQ(HTCAPTION, hit(POINT{80, 20}));  // over the product name label
  EXPECT_EQ(HTCLIENT, hit(CentreOf(wizard.Wnd().Manager(), L"close_btn")));
  EXPECT_EQ(HTCLIENT, hit(CentreOf(wizard.Wnd().Manager(), L"min_btn")));
  EXPECT_EQ(HTCLIENT, hit(POINT{300, 200}));
}

TEST_F(MainWindowTest, SystemCloseOnlyHidesTheWizard) {
  CWizard wizard;
  ::SendMessageW(wizard.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump(100);
  EXPECT_TRUE(::IsWindow(wizard.Window()));
  EXPECT_FALSE(::IsWindowVisible(wizard.Window()));
  EXPECT_TRUE(g_exits.empty());
}

TEST_F(MainWindowTest, QuitAsksBeforeTheLastPageAndNotOnIt) {
  {
    CWizard wizard;
    WhenWindowAppears(CMessageBoxExWnd::kClassName, [](HWND box) { ClickBoxButton(box, POINT{287, 208}); });
    wizard.Click(L"close_btn");
    Pump(300);
    EXPECT_TRUE(g_exits.empty()) << "the second button keeps the wizard";
    EXPECT_TRUE(::IsWindowVisible(wizard.Window()));
    WhenWindowAppears(CMessageBoxExWnd::kClassName, [](HWND box) { ClickBoxButton(box, POINT{157, 208}); });
    wizard.Click(L"close_btn");
    PumpUntil([] { return !g_exits.empty(); }, 5000);
    EXPECT_EQ(std::vector<UINT>{0}, g_exits);
  }
  g_exits.clear();
  {
    CWizard wizard;
    wizard.Tab()->SelectItem(CMainWnd::kPageFinished, false);
    bool asked = false;
    WhenWindowAppears(CMessageBoxExWnd::kClassName, [&](HWND box) { asked = true; ::PostMessageW(box, WM_CLOSE, 0, 0); },
                      1000);
    wizard.Click(L"close_btn");
    Pump(1200);
    EXPECT_FALSE(asked);
    EXPECT_EQ(std::vector<UINT>{0}, g_exits);
  }
}

TEST_F(MainWindowTest, AFolderThatIsNotAFullPathIsExplainedAndNothingStarts) {
  CWizard wizard;
  wizard.Click(L"agree_opt");
  wizard.Find(L"path_edit")->SetText(L"tovik");
  bool explained = false;
  WhenWindowAppears(CMessageBoxExWnd::kClassName, [&](HWND box) {
    explained = true;
    SaveScreenshot(box, L"msgbox-invalid-folder");
    ClickBoxButton(box, POINT{222, 208});
  });
  wizard.Click(L"immediate_install_btn");
  PumpUntil([&] { return explained; }, 5000);
  Pump(300);
  EXPECT_TRUE(explained);
  EXPECT_EQ(0, wizard.Page());
  EXPECT_EQ(0u, wizard.Wnd().WorkerCount());
  EXPECT_TRUE(g_exits.empty());
}

TEST_F(MainWindowTest, EnterWithoutTheAgreementStartsNothing) {
  CWizard wizard;
  ::SendMessageW(wizard.Window(), WM_KEYDOWN, VK_RETURN, 0);
  Pump(200);
  EXPECT_EQ(0, wizard.Page());
  EXPECT_EQ(0u, wizard.Wnd().WorkerCount());
}

// Enter on the finished page does what "立即体验" does: the client starts with "-install" from the
// install folder and the setup ends with exit code 0.
TEST_F(MainWindowTest, EnterOnTheFinishedPageStartsTheClientAndEndsTheSetup) {
  const std::wstring folder = g_workDir + L"enter-finished";
  testing_support::RemoveTree(folder);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring client = testing_support::EnvironmentPath("TOVIK_BINARY_DIR") + L"\\bin\\tvgate.exe";
  ASSERT_TRUE(::CopyFileW(client.c_str(), (folder + L"\\tvgate.exe").c_str(), FALSE));
  {
    CWizard wizard;
    wizard.Wnd().SetInstallFolder(folder);
    wizard.Tab()->SelectItem(CMainWnd::kPageFinished, false);
    ::SendMessageW(wizard.Window(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(PumpUntil([] { return !g_exits.empty(); }, 5000));
    EXPECT_EQ(std::vector<UINT>{0}, g_exits);
  }
  EXPECT_TRUE(PumpUntil([&] { return testing_support::ReadFileBytes(folder + L"\\tvgate-started.txt") == "-install"; },
                        20000));
  HWND started = nullptr;
  PumpUntil([&] { return (started = ::FindWindowW(nullptr, L"岚鹊加速器")) != nullptr; }, 10000);
  if (started) ::PostMessageW(started, WM_CLOSE, 0, 0);
  Pump(500);
  testing_support::RemoveTree(folder);
}

// The folder question: a folder holding other files gets a "tovik" subfolder, an earlier install
// is reused, and "取消" keeps the wizard where it was. The install itself is refused by the
// stand-in here; its error box ends the run.
TEST_F(MainWindowTest, NonEmptyFolderIsConfirmedFirst) {
  const std::wstring base = g_workDir + L"folder-question";
  struct Case {
    const wchar_t* file;  // what the folder holds
    bool answerOk;
    std::wstring expectedFolder;
    int expectedPage;
  } cases[] = {
      {L"other.txt", false, base, 0},
      {L"other.txt", true, base + L"\\tovik", 2},
      {L"tvgate.exe", true, base, 2},
  };
  DataManager::Instance()->SetApiEndpoints(api_standin::BaseUrl("reply=refuse"), api_standin::BaseUrl("reply=refuse"));
  for (const Case& c : cases) {
    testing_support::RemoveTree(base);
    ::CreateDirectoryW(base.c_str(), nullptr);
    testing_support::WriteFileBytes(base + L"\\" + c.file, "x");
    g_exits.clear();
    CWizard wizard;
    wizard.Click(L"agree_opt");
    wizard.Find(L"path_edit")->SetText(base.c_str());
    int boxes = 0;
    const bool ok = c.answerOk;
    WhenWindowAppears(CMessageBoxExWnd::kClassName, [&boxes, ok](HWND box) {
      ++boxes;
      ClickBoxButton(box, ok ? POINT{157, 208} : POINT{287, 208});
    });
    wizard.Click(L"immediate_install_btn");
    PumpUntil([&] { return boxes == 1; }, 5000);
    Pump(200);
    EXPECT_EQ(c.expectedFolder, wizard.Wnd().SelectedFolder()) << testing_support::WideToUtf8Text(c.file);
    EXPECT_EQ(c.expectedPage, wizard.Page());
    if (c.expectedPage == 2) {
      // The refused request ends in the error box; its OK ends the setup.
      WhenWindowAppears(CMessageBoxExWnd::kClassName, [](HWND box) { ClickBoxButton(box, POINT{157, 208}); }, 30000);
      EXPECT_TRUE(PumpUntil([] { return !g_exits.empty(); }, 40000));
      EXPECT_EQ(0u, wizard.Wnd().WorkerCount()) << "ending the setup ends its workers";
    }
  }
  testing_support::RemoveTree(base);
}

TEST_F(MainWindowTest, ScreenshotsOfEveryPageInBothScripts) {
  CWizard wizard;
  wizard.Click(L"agree_opt");
  ::SetCursorPos(0, 0);
  auto* languages = static_cast<SkinUI::CComboUI*>(wizard.Find(L"lang_select_combo")->CastToInterface(L"Combo"));
  ASSERT_TRUE(languages);
  for (bool simplified : {true, false}) {
    // Chosen through the list, as a person would, so that the list and the texts agree.
    languages->SelectItem(simplified ? 0 : 1);
    Pump(100);
    EXPECT_EQ(simplified, wizard.Wnd().IsSimplified());
    const std::wstring script = simplified ? L"simplified" : L"traditional";
    for (int page = 0; page < 4; ++page) {
      if (page <= 1) {
        wizard.Wnd().ShowPage(page);
      } else {
        wizard.Wnd().ResizeForPage(false);
        wizard.Tab()->SelectItem(page, false);
      }
      if (page == 2) {
        wizard.Find(L"progress_tip_lab")->SetText(L"42%");
        static_cast<SkinUI::CProgressUI*>(wizard.Find(L"setup_process")->CastToInterface(L"Progress"))->SetValue(42);
      }
      Pump(300);
      EXPECT_TRUE(SaveScreenshot(wizard.Window(), L"page" + std::to_wstring(page) + L"-" + script)) << page;
    }
  }
}

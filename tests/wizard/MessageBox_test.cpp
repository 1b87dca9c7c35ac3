#include "setup/MessageBoxEx.h"

#include <gtest/gtest.h>

#include "setup/WizardTexts.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardTestSupport.h"
#include "ui/controls/ControlUI.h"

using namespace wizard_test;

namespace {

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RegisterTestSkin()); }
};

// Creates the box as ShowMessageBoxEx does and waits for its first layout.
struct TOpenBox {
  CMessageBoxExWnd box;
  TOpenBox(const wchar_t* text, int buttons, const wchar_t* ok, const wchar_t* cancel) : box(text, buttons, ok, cancel) {
    box.Create(nullptr, WizardTexts::kWindowTitle, 0x16C00000, WS_EX_TOOLWINDOW, 0, 0, 444, 266);
    PumpUntil([&] { return Control(box.Manager(), L"ok_btn") && Control(box.Manager(), L"ok_btn")->GetWidth() > 0; },
              5000);
    Pump(200);
  }
  bool Visible(const wchar_t* name) {
    SkinUI::CControlUI* control = Control(box.Manager(), name);
    return control && control->IsVisible();
  }
};

}  // namespace

TEST_F(MessageBoxTest, ButtonsShownAndTheResultOfEachWayOut) {
  struct Case {
    const char* what;
    int buttons;
    const wchar_t* cancelText;
    const wchar_t* press;  // control to click, or null for the system close command
    bool okVisible, cancelVisible;
    UINT expected;
  } cases[] = {
      {"OK of a one-button box", 1, L"取消", L"ok_btn", true, false, 1},
      {"OK of a two-button box", 2, L"取消", L"ok_btn", true, true, 1},
      {"second button 取消", 2, L"取消", L"cancel_btn", true, true, 0},
      {"close button", 2, L"取消", L"close_btn", true, true, 0},
      {"Alt+F4", 1, L"取消", nullptr, true, false, 0},
      {"neither button for another count", 3, L"取消", L"close_btn", false, false, 0},
  };
  for (const Case& c : cases) {
    TOpenBox open(L"安装尚未完成，确定退出吗？", c.buttons, L"确定", c.cancelText);
    EXPECT_EQ(c.okVisible, open.Visible(L"ok_btn")) << c.what;
    EXPECT_EQ(c.cancelVisible, open.Visible(L"cancel_btn")) << c.what;
    HWND window = open.box.Handle();
    if (c.press) {
      ASSERT_TRUE(PostClickOn(window, open.box.Manager(), c.press)) << c.what;
    } else {
      ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    EXPECT_EQ(c.expected, open.box.RunModal(true, false)) << c.what;
  }
}

TEST_F(MessageBoxTest, TheCaptionBandDragsExceptOverButtons) {
  TOpenBox open(L"text", 2, L"确定", L"取消");
  HWND window = open.box.Handle();
  auto hit = [&](POINT client) {
    ::ClientToScreen(window, &client);
    return ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
  };
  EXPECT_EQ(HTCAPTION, hit(POINT{100, 20}));
  EXPECT_EQ(HTCLIENT, hit(CentreOf(open.box.Manager(), L"close_btn")));
  EXPECT_EQ(HTCLIENT, hit(POINT{100, 120}));  // below the 50-pixel band
  ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  open.box.RunModal(true, false);
}

TEST_F(MessageBoxTest, ShowMessageBoxExReturnsOneOnlyForOk) {
  WhenWindowAppears(CMessageBoxExWnd::kClassName, [](HWND box) { ClickBoxButton(box, POINT{157, 208}); });
  EXPECT_EQ(1, ShowMessageBoxEx(nullptr, L"此路径下已有文件存在，确定继续安装吗？", 2, L"确定", L"取消", 444, 266));
  WhenWindowAppears(CMessageBoxExWnd::kClassName, [](HWND box) { ClickBoxButton(box, POINT{287, 208}); });
  EXPECT_EQ(0, ShowMessageBoxEx(nullptr, L"此路径下已有文件存在，确定继续安装吗？", 2, L"确定", L"取消", 444, 266));
}

TEST_F(MessageBoxTest, ScreenshotsInBothScripts) {
  struct Case {
    const wchar_t* name;
    const wchar_t* text;
    const wchar_t* ok;
    const wchar_t* cancel;
  } cases[] = {
      {L"msgbox-quit-simplified", WizardTexts::kQuitQuestion.simplified, L"确定", L"取消"},
      {L"msgbox-quit-traditional", WizardTexts::kQuitQuestion.traditional, L"確定", L"取消"},
      {L"msgbox-error-simplified", WizardTexts::kErrorRequestConfig, L"确定", L"打开官网"},
      {L"msgbox-error-traditional", WizardTexts::kErrorRequestConfig, L"確定", L"開啟官網"},
      {L"msgbox-favorites", WizardTexts::kFavoritesWarning.simplified, WizardTexts::kFavoritesOk, L"取消"},
  };
  for (const Case& c : cases) {
    const int buttons = std::wstring(c.name) == L"msgbox-favorites" ? 1 : 2;
    TOpenBox open(c.text, buttons, c.ok, c.cancel);
    ::SetCursorPos(0, 0);
    Pump(300);
    EXPECT_TRUE(SaveScreenshot(open.box.Handle(), c.name)) << testing_support::WideToUtf8Text(c.name);
    ::PostMessageW(open.box.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    open.box.RunModal(true, false);
  }
}

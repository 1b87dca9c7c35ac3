#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/EditUI.h"

using namespace SkinUI;
using ui_testing::CCanvas;
using ui_testing::CControlHost;
using ui_testing::CFixedBox;
using ui_testing::Log;
using ui_testing::PumpMessages;

namespace {

// An edit inside a page box, and a button to move the focus to.
class EditTest : public ::testing::Test {
 public:
  void SetUp() override {
    m_page = m_host.root->Add(new CFixedBox, RECT{0, 0, 400, 200});
    m_edit = m_page->Add(new CEditUI, RECT{20, 20, 220, 44});
    m_edit->SetName(L"edit");
    m_button = m_host.root->Add(new CButtonUI, RECT{20, 250, 120, 280});
    m_button->SetName(L"button");
    ASSERT_TRUE(m_host.Open());
  }
  HWND OpenNative() {
    m_edit->SetFocus();
    PumpMessages();
    m_host.TakeNotes();
    return m_edit->NativeWindowHandle();
  }
  void Type(HWND native, const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) ::SendMessageW(native, WM_CHAR, *p, 1);
  }
  std::pair<DWORD, DWORD> Selection(HWND native) {
    DWORD from = 0, to = 0;
    ::SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
  }
  LONG Style(HWND native) { return ::GetWindowLongW(native, GWL_STYLE); }
  bool ClosesSoon() {
    return testing_support::WaitFor([&] { return m_edit->NativeWindowHandle() == nullptr; }, 2000);
  }

  CControlHost m_host;
  CFixedBox* m_page = nullptr;
  CEditUI* m_edit = nullptr;
  CButtonUI* m_button = nullptr;
};

TEST_F(EditTest, FocusOpensTheNativeWindowOverTheTextArea) {
  m_edit->SetText(L"folder");
  HWND native = OpenNative();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(::GetFocus(), native);
  EXPECT_EQ(::GetParent(native), m_host.Handle());
  RECT rc;
  ::GetWindowRect(native, &rc);
  ::MapWindowPoints(nullptr, m_host.Handle(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 24);
  EXPECT_EQ(rc.top, 23);
  EXPECT_EQ(rc.right, 216);
  EXPECT_EQ(rc.bottom, 41);
  EXPECT_EQ(Selection(native), std::make_pair(DWORD(6), DWORD(6)));
  EXPECT_EQ(m_host.Manager().FocusedControl(), m_edit);
  EXPECT_EQ(m_host.Manager().HostedWindowCount(), 1);
}

TEST_F(EditTest, TypingMirrorsEveryChangeWithTextChanged) {
  HWND native = OpenNative();
  ASSERT_NE(native, nullptr);
  Type(native, L"abc");
  EXPECT_EQ(m_edit->GetText(), CUIString(L"abc"));
  Log notes = m_host.TakeNotes();
  EXPECT_EQ(std::count(notes.begin(), notes.end(), L"textchanged:edit"), 3);
  ::SendMessageW(native, WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(m_edit->GetText(), CUIString(L"ab"));
  m_edit->SetText(L"xyz");
  wchar_t buffer[16] = {};
  ::GetWindowTextW(native, buffer, 16);
  EXPECT_STREQ(buffer, L"xyz");
}

TEST_F(EditTest, ReturnSendsReturnAndInsertsNothing) {
  m_edit->SetText(L"ab");
  HWND native = OpenNative();
  ::SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
  ::SendMessageW(native, WM_CHAR, L'\r', 1);
  Log notes = m_host.TakeNotes();
  EXPECT_EQ(notes, Log{L"return:edit"});
  EXPECT_EQ(m_edit->GetText(), CUIString(L"ab"));
}

TEST_F(EditTest, NativeWindowTakesTheEditsSettings) {
  m_edit->ApplyAttributeText(L"password=\"true\" readonly=\"true\" maxchar=\"3\" numberonly=\"true\" align=\"right\"");
  HWND native = OpenNative();
  ASSERT_NE(native, nullptr);
  EXPECT_NE(Style(native) & ES_PASSWORD, 0);
  EXPECT_NE(Style(native) & ES_READONLY, 0);
  EXPECT_NE(Style(native) & ES_NUMBER, 0);
  EXPECT_NE(Style(native) & ES_RIGHT, 0);
  EXPECT_EQ(::SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(::SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 3);
  Type(native, L"12");
  EXPECT_TRUE(m_edit->GetText().IsBlank());
  m_edit->SetReadOnly(false);
  EXPECT_EQ(Style(native) & ES_READONLY, 0);
  Type(native, L"12345");
  EXPECT_EQ(m_edit->GetText(), CUIString(L"123"));
}

TEST_F(EditTest, DigitsOnlyRefusesLetters) {
  m_edit->ApplyAttribute(L"numberonly", L"true");
  HWND native = OpenNative();
  Type(native, L"4a2");
  EXPECT_EQ(m_edit->GetText(), CUIString(L"42"));
}

TEST_F(EditTest, SelectAllOnFocus) {
  m_edit->ApplyAttribute(L"autoselall", L"true");
  m_edit->SetText(L"hello");
  HWND native = OpenNative();
  EXPECT_EQ(Selection(native), std::make_pair(DWORD(0), DWORD(5)));
}

TEST_F(EditTest, ClickIntoTheOpenWindowPlacesTheCaret) {
  m_edit->SetText(L"abcdefgh");
  HWND native = OpenNative();
  ASSERT_EQ(Selection(native).first, 8u);
  m_host.Press(25, 30);
  ::SendMessageW(native, WM_LBUTTONUP, 0, MAKELPARAM(1, 5));
  EXPECT_EQ(Selection(native), std::make_pair(DWORD(0), DWORD(0)));
  EXPECT_EQ(m_edit->NativeWindowHandle(), native);
}

TEST_F(EditTest, FocusLossClosesTheNativeWindow) {
  struct Way {
    const char* name;
    void (*moveFocus)(EditTest& test);
  } ways[] = {
      {"click on a button", [](EditTest& t) { t.m_host.Click(60, 265); }},
      {"SetFocus on a button", [](EditTest& t) { t.m_button->SetFocus(); }},
  };
  for (const Way& way : ways) {
    HWND native = OpenNative();
    ASSERT_NE(native, nullptr) << way.name;
    way.moveFocus(*this);
    EXPECT_TRUE(ClosesSoon()) << way.name;
    EXPECT_FALSE(::IsWindow(native)) << way.name;
    EXPECT_EQ(m_host.Manager().HostedWindowCount(), 0) << way.name;
    EXPECT_EQ(m_host.Manager().FocusedControl(), m_button) << way.name;
    Log notes = m_host.TakeNotes();
    EXPECT_NE(std::find(notes.begin(), notes.end(), L"killfocus:edit"), notes.end()) << way.name;
  }
}

TEST_F(EditTest, HidingTheParentPageClosesTheNativeWindow) {
  HWND native = OpenNative();
  ASSERT_NE(native, nullptr);
  m_page->SetVisible(false);
  EXPECT_TRUE(ClosesSoon());
  EXPECT_FALSE(::IsWindow(native));
}

TEST_F(EditTest, DeletingTheEditWhileEditingIsSafe) {
  HWND native = OpenNative();
  ASSERT_NE(native, nullptr);
  m_page->Remove(m_edit);
  delete m_edit;
  m_edit = nullptr;
  EXPECT_FALSE(::IsWindow(native));
  PumpMessages();
  EXPECT_EQ(m_host.Manager().HostedWindowCount(), 0);
  EXPECT_EQ(m_host.Manager().FocusedControl(), nullptr);
  m_host.Click(60, 265);
}

TEST_F(EditTest, TextChangedHandlerMayDeleteTheEdit) {
  struct CDeleter : INotifyUI {
    CFixedBox* page;
    void OnNotification(TNotifyMsg& msg) override {
      if (msg.type != L"textchanged" || !msg.sender) return;
      page->Remove(msg.sender);
      delete msg.sender;
    }
  } deleter;
  deleter.page = m_page;
  HWND native = OpenNative();
  m_host.Manager().AddListener(&deleter);
  Type(native, L"a");
  m_host.Manager().RemoveListener(&deleter);
  EXPECT_FALSE(::IsWindow(native));
  PumpMessages();
}

TEST_F(EditTest, PasswordModePaintsTheMaskWhileClosed) {
  auto* plain = m_page->Add(new CEditUI, RECT{20, 100, 220, 124});
  plain->SetText(L"******");
  m_edit->SetText(L"secret");
  m_edit->SetPos(RECT{20, 100, 220, 124}, false);
  CCanvas masked(400, 300), expected(400, 300), unmasked(400, 300);
  m_host.PaintOnto(plain, expected);
  m_host.PaintOnto(m_edit, unmasked);
  m_edit->ApplyAttribute(L"password", L"true");
  m_host.PaintOnto(m_edit, masked);
  RECT area = {20, 100, 220, 124};
  int differences = 0, changed = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      differences += masked.Pixel(x, y) != expected.Pixel(x, y);
      changed += masked.Pixel(x, y) != unmasked.Pixel(x, y);
    }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(changed, 0);
}

TEST_F(EditTest, DisabledEditOpensNothingAndDropsItsState) {
  m_host.MoveTo(50, 30);
  EXPECT_NE(m_edit->ButtonState() & kStateHot, 0u);
  m_edit->SetEnabled(false);
  EXPECT_EQ(m_edit->ButtonState(), 0u);
  EXPECT_EQ(m_edit->ControlTraits(), 0u);
  m_host.Click(50, 30);
  EXPECT_EQ(m_edit->NativeWindowHandle(), nullptr);
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/LayoutBuilder.h"

using namespace SkinUI;
using testing_support::WaitFor;
using ui_testing::CControlHost;
using ui_testing::PumpMessages;

namespace {

struct TNote {
  std::wstring type;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const TNote& o) const { return type == o.type && wParam == o.wParam && lParam == o.lParam; }
};

class CRecorder : public INotifyUI {
 public:
  void OnNotification(TNotifyMsg& msg) override {
    notes.push_back({std::wstring(msg.type.c_str()) + L":" + (msg.sender ? msg.sender->GetName().c_str() : L""),
                     msg.wParam, msg.lParam});
  }
  bool Has(const std::wstring& type) const {
    for (const TNote& n : notes)
      if (n.type == type) return true;
    return false;
  }
  std::vector<TNote> notes;
};

// A combo 150x24 at (10,10) of the test window with items of 20 pixels.
class ComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_combo = m_host.root->Add(new CComboUI, RECT{10, 10, 160, 34});
    m_combo->SetName(L"combo");
    m_combo->ApplyAttribute(L"itemheight", L"20");
    AddItems(3);
    ASSERT_TRUE(m_host.Open());
    m_host.Manager().AddListener(&m_recorder);
  }
  void TearDown() override { m_host.Manager().RemoveListener(&m_recorder); }
  void AddItems(int count) {
    for (int i = 0; i < count; ++i) {
      auto* item = new CListLabelElementUI;
      item->SetName((L"item" + std::to_wstring(m_combo->ItemCount())).c_str());
      item->SetText((L"entry " + std::to_wstring(m_combo->ItemCount())).c_str());
      m_combo->Add(item);
    }
  }
  HWND OpenPopup() {
    EXPECT_TRUE(m_combo->Activate());
    PumpMessages();
    return m_combo->PopupWindow();
  }
  RECT ScreenRect(HWND window) {
    RECT rc;
    ::GetWindowRect(window, &rc);
    return rc;
  }
  RECT ComboOnScreen() {
    RECT rc = m_combo->GetPos();
    ::MapWindowPoints(m_host.Handle(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  bool ClosesSoon() {
    return WaitFor([&] { return !m_combo->IsOpen(); }, 2000);
  }
  void ExpectItemsHome() {
    for (int i = 0; i < m_combo->ItemCount(); ++i) {
      EXPECT_EQ(m_combo->ItemAt(i)->OwnerManager(), &m_host.Manager()) << i;
      EXPECT_EQ(m_combo->ItemAt(i)->GetParent(), m_combo) << i;
    }
  }

  CControlHost m_host;
  CComboUI* m_combo = nullptr;
  CRecorder m_recorder;
};

TEST_F(ComboTest, KeysOnTheClosedComboStepThroughTheItems) {
  m_combo->SelectItem(1, false, false);
  m_combo->SetFocus();
  m_recorder.notes.clear();
  m_host.Key(VK_DOWN);
  EXPECT_EQ(m_combo->SelectedIndex(), 2);
  ASSERT_EQ(m_recorder.notes.size(), 1u);
  EXPECT_EQ(m_recorder.notes[0], (TNote{L"itemselect:combo", 2, 1}));
  m_host.Key(VK_DOWN);
  EXPECT_EQ(m_combo->SelectedIndex(), 2);
  EXPECT_EQ(m_recorder.notes.size(), 1u);
  struct Step {
    WPARAM key;
    int selected;
  } steps[] = {{VK_UP, 1}, {VK_HOME, 0}, {VK_END, 2}, {VK_PRIOR, 1}, {VK_NEXT, 2}};
  for (const Step& s : steps) {
    m_host.Key(s.key);
    EXPECT_EQ(m_combo->SelectedIndex(), s.selected) << s.key;
  }
  EXPECT_EQ(m_combo->GetText(), CUIString(L"entry 2"));
  EXPECT_FALSE(m_combo->IsOpen());
}

TEST_F(ComboTest, DropDownOpensBelowWithTheItemsInside) {
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(m_recorder.Has(L"dropdown:combo"));
  RECT combo = ComboOnScreen(), rc = ScreenRect(popup);
  EXPECT_EQ(rc.left, combo.left);
  EXPECT_EQ(rc.right, combo.right);
  EXPECT_EQ(rc.top, combo.bottom);
  EXPECT_EQ(rc.bottom - rc.top, 60);
  EXPECT_EQ(::GetWindow(popup, GW_OWNER), m_host.Handle());
  EXPECT_NE(::GetWindowLongW(popup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_NE(m_combo->ItemAt(0)->OwnerManager(), &m_host.Manager());
  // A second activation keeps the one popup.
  EXPECT_TRUE(m_combo->Activate());
  EXPECT_EQ(m_combo->PopupWindow(), popup);
}

TEST_F(ComboTest, DropBoxSizeLimitsThePopupAndScrolls) {
  AddItems(2);
  m_combo->ApplyAttribute(L"dropboxsize", L"200,60");
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  RECT rc = ScreenRect(popup);
  EXPECT_EQ(rc.right - rc.left, 200);
  EXPECT_EQ(rc.bottom - rc.top, 60);
  ::UpdateWindow(popup);
  PumpMessages();
  auto* body = static_cast<CComboBodyUI*>(m_combo->ItemAt(0)->GetParent());
  ASSERT_NE(body->VerticalScrollBar(), nullptr);
  EXPECT_TRUE(body->VerticalScrollBar()->IsVisible());
  // Selecting the last item while open scrolls it into view.
  ::SendMessageW(popup, WM_KEYDOWN, VK_END, 0);
  RECT last = m_combo->ItemAt(4)->GetPos();
  EXPECT_LE(last.bottom, body->GetPos().bottom);
}

TEST_F(ComboTest, OpensUpwardsAtTheBottomOfTheScreen) {
  AddItems(2);
  MONITORINFO info = {sizeof(info)};
  ::GetMonitorInfoW(::MonitorFromWindow(m_host.Handle(), MONITOR_DEFAULTTOPRIMARY), &info);
  ::SetWindowPos(m_host.Handle(), nullptr, 0, info.rcWork.bottom - 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  RECT combo = ComboOnScreen(), rc = ScreenRect(popup);
  EXPECT_EQ(rc.bottom, combo.top);
  EXPECT_EQ(rc.bottom - rc.top, 100);
}

TEST_F(ComboTest, ClickingAnItemSelectsItAndCloses) {
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  m_recorder.notes.clear();
  LPARAM at = MAKELPARAM(20, 50);  // the third item, 40..60 inside the popup
  ::SendMessageW(popup, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(popup, WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(ClosesSoon());
  PumpMessages();
  EXPECT_EQ(m_combo->SelectedIndex(), 2);
  EXPECT_TRUE(m_recorder.Has(L"itemclick:item2"));
  EXPECT_TRUE(m_recorder.Has(L"itemselect:combo"));
  EXPECT_FALSE(::IsWindow(popup));
  ExpectItemsHome();
  EXPECT_EQ(m_host.Manager().FocusedControl(), m_combo);
  EXPECT_EQ(m_combo->ButtonState() & kStatePushed, 0u);
}

TEST_F(ComboTest, EscapeRestoresTheSelectionAndReturnKeepsTheNewOne) {
  m_combo->SelectItem(0, false, false);
  for (WPARAM closingKey : {WPARAM(VK_ESCAPE), WPARAM(VK_RETURN)}) {
    m_combo->SelectItem(0, false, false);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    ::SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(m_combo->SelectedIndex(), 1);
    EXPECT_TRUE(m_combo->IsOpen());
    ::SendMessageW(popup, WM_KEYDOWN, closingKey, 0);
    EXPECT_TRUE(ClosesSoon()) << closingKey;
    EXPECT_EQ(m_combo->SelectedIndex(), closingKey == VK_ESCAPE ? 0 : 1);
    ExpectItemsHome();
  }
}

TEST_F(ComboTest, LosingTheFocusClosesTheDropDown) {
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  ::SetFocus(popup);
  ::SetFocus(m_host.Handle());
  EXPECT_TRUE(ClosesSoon());
  EXPECT_FALSE(::IsWindow(popup));
  ExpectItemsHome();
}

TEST_F(ComboTest, ItemsComeBackHoweverThePopupDies) {
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  ::DestroyWindow(popup);
  EXPECT_FALSE(m_combo->IsOpen());
  ExpectItemsHome();
  PumpMessages();
  EXPECT_EQ(m_combo->ItemCount(), 3);
  m_host.Key(VK_DOWN);  // the combo still works
}

TEST_F(ComboTest, DestroyingTheComboClosesItsOpenDropDown) {
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  m_host.root->Remove(m_combo);
  delete m_combo;
  m_combo = nullptr;
  EXPECT_FALSE(::IsWindow(popup));
  PumpMessages();
  m_host.MoveTo(50, 20);
}

TEST_F(ComboTest, ItemsInTheDropDownUseTheWindowsFonts) {
  HFONT big = m_host.Manager().RegisterFont(5, L"Tahoma", 40, false, false, false, false);
  ASSERT_NE(big, nullptr);
  int bigHeight = m_host.Manager().FontRecordById(5)->metrics.tmHeight;
  ASSERT_GT(bigHeight, m_host.Manager().BaseFontRecord()->metrics.tmHeight);
  m_combo->ApplyAttribute(L"itemheight", L"0");
  m_combo->ApplyAttribute(L"itemfont", L"5");
  m_combo->ApplyAttribute(L"dropboxsize", L"0,400");
  HWND popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  RECT rc = ScreenRect(popup);
  EXPECT_EQ(rc.bottom - rc.top, 3 * (bigHeight + 8));
}

TEST_F(ComboTest, RemovingTheSelectedItemSelectsItsSuccessor) {
  m_combo->SelectItem(1, false, false);
  m_recorder.notes.clear();
  ASSERT_TRUE(m_combo->RemoveAt(1));
  EXPECT_EQ(m_combo->SelectedIndex(), 1);
  EXPECT_EQ(m_combo->GetText(), CUIString(L"entry 2"));
  ASSERT_EQ(m_recorder.notes.size(), 1u);
  EXPECT_EQ(m_recorder.notes[0], (TNote{L"itemselect:combo", 1, static_cast<LPARAM>(-1)}));
  // Insertion before the selection moves it; removal before it too.
  auto* first = new CListLabelElementUI;
  ASSERT_TRUE(m_combo->AddAt(first, 0));
  EXPECT_EQ(m_combo->SelectedIndex(), 2);
  EXPECT_EQ(static_cast<IListItemUI*>(first->CastToInterface(L"IListItem"))->ItemIndex(), 0);
  ASSERT_TRUE(m_combo->Remove(first));
  EXPECT_EQ(m_combo->SelectedIndex(), 1);
  m_combo->RemoveAll();
  EXPECT_EQ(m_combo->SelectedIndex(), -1);
  EXPECT_TRUE(m_combo->GetText().IsBlank());
}

}  // namespace

namespace {

// The markup names of the labels, buttons, options, progress, animation, edit and combo controls
// build those controls, and a combo built from markup holds working list items.
TEST(ControlTags, MarkupBuildsEveryControlOfTheFamily) {
  struct Case {
    const wchar_t* tag;
    const wchar_t* className;
  } cases[] = {{L"Label", L"Label"},         {L"Text", L"Text"},       {L"Button", L"Button"},
               {L"Option", L"Option"},       {L"CheckBox", L"CheckBox"}, {L"Progress", L"Progress"},
               {L"GifAnim", L"GifAnim"},     {L"Edit", L"Edit"},       {L"Combo", L"Combo"},
               {L"ComboBox", L"Combo"},      {L"ListLabelElement", L"ListLabelElement"}};
  for (const Case& c : cases) {
    CControlUI* control = CreateControlForTag(c.tag);
    ASSERT_NE(control, nullptr) << c.tag;
    EXPECT_STREQ(control->ClassName(), c.className) << c.tag;
    EXPECT_NE(control->CastToInterface(c.className), nullptr) << c.tag;
    delete control;
  }
  CControlHost host;
  ASSERT_TRUE(host.Open());
  CLayoutBuilder builder;
  CControlUI* combo = builder.Create(
      L"<Window><Combo name=\"c\" itemheight=\"20\"><ListLabelElement text=\"a\"/>"
      L"<ListLabelElement text=\"b\"/></Combo></Window>",
      nullptr, nullptr, &host.Manager(), nullptr);
  ASSERT_NE(combo, nullptr) << builder.ErrorMessage().c_str();
  auto* owner = static_cast<IListOwnerUI*>(combo->CastToInterface(L"IListOwner"));
  ASSERT_NE(owner, nullptr);
  EXPECT_TRUE(owner->SelectItem(1, false, true));
  EXPECT_EQ(combo->GetText(), CUIString(L"b"));
  delete combo;
}

}  // namespace

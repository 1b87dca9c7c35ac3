#include <gtest/gtest.h>

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/ControlTestHost.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/TxtWinHost.h"
#include "ui/core/ControlFactory.h"

using namespace SkinUI;
using ui_testing::CCanvas;
using ui_testing::CControlHost;
using ui_testing::Log;
using ui_testing::PumpMessages;

namespace {

constexpr RECT kRichPos = {20, 20, 220, 120};

bool Noted(const Log& notes, const std::wstring& note) {
  return std::find(notes.begin(), notes.end(), note) != notes.end();
}

// Holds Ctrl down in this thread's key state for as long as it lives.
class CCtrlHeld {
 public:
  explicit CCtrlHeld(bool held) : m_held(held) { Set(held ? 0x80 : 0); }
  ~CCtrlHeld() {
    if (m_held) Set(0);
  }

 private:
  static void Set(BYTE value) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = value;
    ::SetKeyboardState(keys);
  }
  bool m_held;
};

// A rich edit configured by attributes before the window opens, and a button to take the focus.
class RichEditTest : public ::testing::Test {
 public:
  void Open(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attributes = {},
            RECT where = kRichPos) {
    m_rich = new CRichEditUI;
    m_rich->SetName(L"rich");
    for (const auto& a : attributes) m_rich->ApplyAttribute(a.first, a.second);
    m_host.root->Add(m_rich, where);
    m_button = m_host.root->Add(new CButtonUI, RECT{20, 250, 120, 280});
    m_button->SetName(L"button");
    ASSERT_TRUE(m_host.Open());
  }
  void Focus() {
    m_rich->SetFocus();
    PumpMessages();
    m_host.TakeNotes();
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) m_host.Send(WM_CHAR, *p, 1);
  }
  std::wstring Text() { return m_rich->GetText().c_str(); }

  CControlHost m_host;
  CRichEditUI* m_rich = nullptr;
  CButtonUI* m_button = nullptr;
};

TEST_F(RichEditTest, StartsTheServicesWithTheStoredTextAndReadsItBack) {
  m_rich = nullptr;
  auto* rich = new CRichEditUI;
  rich->SetText(L"before start 岚鹊");
  m_host.root->Add(rich, kRichPos);
  ASSERT_TRUE(m_host.Open());
  ASSERT_NE(rich->TextHost(), nullptr);
  EXPECT_EQ(std::wstring(rich->GetText().c_str()), L"before start 岚鹊");
  rich->SetText(L"replaced");
  EXPECT_EQ(std::wstring(rich->GetText().c_str()), L"replaced");
  EXPECT_EQ(rich->TextLength(), 8);
  rich->SetText(L"");
  EXPECT_EQ(std::wstring(rich->GetText().c_str()), L"");
}

TEST_F(RichEditTest, RichTextIsParsedAndReadBackAsItsPlainText) {
  Open();
  SETTEXTEX how = {ST_DEFAULT, CP_ACP};
  LRESULT result = 0;
  const char* rtf = "{\\rtf1\\ansi plain \\b bold\\b0  end}";
  ASSERT_EQ(m_rich->SendToTextServices(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(rtf),
                                       result),
            S_OK);
  EXPECT_EQ(Text(), L"plain bold end");
  m_rich->SelectRange(7, 8);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  m_rich->SendToTextServices(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format), result);
  EXPECT_TRUE(format.dwEffects & CFE_BOLD);
}

TEST_F(RichEditTest, FailedStartLeavesAnInertControlThatIsDestroyedSafely) {
  CTxtWinHost::SetServicesLibrary(L"tovik-no-such-text-services.dll");
  Open();
  CTxtWinHost::SetServicesLibrary(nullptr);
  EXPECT_EQ(m_rich->TextHost(), nullptr);
  EXPECT_TRUE(m_rich->IsInitialised());
  m_rich->SetText(L"kept");
  EXPECT_EQ(Text(), L"");
  LRESULT result = 7;
  EXPECT_EQ(m_rich->SendToTextServices(EM_GETEVENTMASK, 0, 0, result), S_FALSE);
  EXPECT_EQ(result, 7);
  Focus();
  m_host.Send(WM_KEYDOWN, 'A', 0);
  Type(L"a");
  m_host.Click(50, 50);
  CCanvas canvas(400, 300);
  m_host.PaintOnto(m_rich, canvas);
  m_host.root->Remove(m_rich);
  delete m_rich;
  m_host.Send(WM_KEYDOWN, 'A', 0);  // the window manager holds no filter pointing at the deleted control
}

TEST_F(RichEditTest, TypingChangesTheTextAndSendsTextChanged) {
  Open();
  Focus();
  Type(L"ab");
  EXPECT_EQ(Text(), L"ab");
  Log notes = m_host.TakeNotes();
  EXPECT_TRUE(Noted(notes, L"textchanged:rich")) << notes.size();
}

TEST_F(RichEditTest, KeysReachTheServicesOnlyWhileFocused) {
  Open();
  m_button->SetFocus();
  Type(L"x");
  EXPECT_EQ(Text(), L"");
}

TEST_F(RichEditTest, ReadOnlyRefusesTyping) {
  Open({{L"readonly", L"true"}});
  m_rich->SetText(L"fixed");
  Focus();
  Type(L"zz");
  EXPECT_EQ(Text(), L"fixed");
  EXPECT_FALSE(Noted(m_host.TakeNotes(), L"textchanged:rich"));
}

TEST_F(RichEditTest, MaximumLengthCutsTyping) {
  Open({{L"maxchar", L"5"}});
  Focus();
  Type(L"12345678");
  EXPECT_EQ(Text(), L"12345");
  m_rich->SetCharLimit(7);
  Type(L"678");
  EXPECT_EQ(Text(), L"1234567");
  m_rich->SetCharLimit(0);  // "no limit" on a running control means the services' default
  EXPECT_EQ(m_rich->TextHost()->MaxLength(), 32767);
  Type(L"89");
  EXPECT_EQ(Text(), L"123456789");
}

TEST_F(RichEditTest, MarkupLimitOfZeroReachesTheHostUnchanged) {
  Open({{L"maxchar", L"0"}});
  EXPECT_EQ(m_rich->TextHost()->MaxLength(), 0);
}

struct ReturnCase {
  const wchar_t* wantReturn;
  const wchar_t* wantCtrlReturn;
  bool ctrl;
  bool notified;
};

TEST_F(RichEditTest, ReturnGoesToTheServicesOrBecomesAReturnNotification) {
  const ReturnCase cases[] = {
      {L"true", L"true", false, false},
      {L"false", L"true", false, true},
      {L"true", L"true", true, false},
      {L"true", L"false", true, true},
      {L"true", L"false", false, false},
  };
  for (const ReturnCase& c : cases) {
    SCOPED_TRACE(std::wstring(c.wantReturn) + L"/" + c.wantCtrlReturn + (c.ctrl ? L" ctrl" : L""));
    CControlHost host;
    auto* rich = host.root->Add(new CRichEditUI, kRichPos);
    rich->SetName(L"rich");
    rich->ApplyAttribute(L"wantreturn", c.wantReturn);
    rich->ApplyAttribute(L"wantctrlreturn", c.wantCtrlReturn);
    ASSERT_TRUE(host.Open());
    rich->SetText(L"ab");
    rich->SetFocus();
    host.TakeNotes();
    {
      CCtrlHeld held(c.ctrl);
      host.Send(WM_KEYDOWN, VK_RETURN, 0);
      host.Send(WM_CHAR, L'\r', 0);
      host.Send(WM_KEYUP, VK_RETURN, 0);
    }
    EXPECT_EQ(Noted(host.TakeNotes(), L"return:rich"), c.notified);
    bool newLine = std::wstring(rich->GetText().c_str()).find(L'\r') != std::wstring::npos;
    EXPECT_EQ(newLine, !c.notified);
  }
}

TEST_F(RichEditTest, TabIsTakenWhenWantedAndMovesTheFocusOtherwise) {
  for (bool wants : {true, false}) {
    SCOPED_TRACE(wants);
    CControlHost host;
    auto* rich = host.root->Add(new CRichEditUI, kRichPos);
    rich->ApplyAttribute(L"wanttab", wants ? L"true" : L"false");
    auto* button = host.root->Add(new CButtonUI, RECT{20, 250, 120, 280});
    ASSERT_TRUE(host.Open());
    rich->SetFocus();
    // As the message loop does it: the window manager sees the key before it is dispatched.
    MSG down = {host.Handle(), WM_KEYDOWN, VK_TAB, 0};
    if (!CWindowManagerUI::PreTranslate(&down)) {
      host.Send(WM_KEYDOWN, VK_TAB, 0);
      host.Send(WM_CHAR, L'\t', 0);
    }
    host.Send(WM_KEYUP, VK_TAB, 0);
    EXPECT_EQ(host.Manager().FocusedControl(), wants ? static_cast<CControlUI*>(rich) : button);
    EXPECT_EQ(std::wstring(rich->GetText().c_str()), wants ? L"\t" : L"");
  }
}

TEST_F(RichEditTest, PaintsTextInsideItsRectangleOnly) {
  Open({{L"textcolor", L"#FF000000"}});
  m_rich->SetText(L"WWWWWW MMMMMM");
  CCanvas canvas(400, 300, 0xFFFFFFFF);
  m_host.PaintOnto(m_rich, canvas);
  EXPECT_GT(canvas.CountNot(kRichPos, 0xFFFFFF), 20);
  RECT above = {0, 0, 400, kRichPos.top}, below = {0, kRichPos.bottom, 400, 300};
  RECT left = {0, 0, kRichPos.left, 300}, right = {kRichPos.right, 0, 400, 300};
  for (const RECT& outside : {above, below, left, right}) EXPECT_EQ(canvas.CountNot(outside, 0xFFFFFF), 0);
}

// The host's password character is 0 and what the services show for it is theirs to decide, so the
// pixels are not checked: only that the services are told to mask, and that the text stays intact.
TEST_F(RichEditTest, PasswordStyleReachesTheServicesAndKeepsTheText) {
  Open({{L"password", L"true"}});
  m_rich->SetText(L"secret");
  DWORD bits = 0;
  m_rich->TextHost()->TxGetPropertyBits(TXTBIT_USEPASSWORD, &bits);
  EXPECT_EQ(bits, static_cast<DWORD>(TXTBIT_USEPASSWORD));
  EXPECT_EQ(Text(), L"secret");
}

TEST_F(RichEditTest, VerticalBarAppearsForTallContentAndScrolls) {
  Open({{L"vscrollbar", L"true"}, {L"autovscroll", L"true"}});
  CScrollBarUI* bar = m_rich->VerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  std::wstring tall;
  for (int i = 0; i < 40; ++i) tall += L"line " + std::to_wstring(i) + L"\r";
  m_rich->SetText(tall.c_str());
  PumpMessages();
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_GT(bar->ScrollExtent(), 0);
  m_rich->ScrollToBottom();
  EXPECT_GT(bar->ScrollOffset(), 0);
  m_rich->ScrollToTop();
  EXPECT_EQ(bar->ScrollOffset(), 0);
  m_rich->SetScrollOffset(SIZE{0, 40});
  EXPECT_GT(bar->ScrollOffset(), 0);
  m_rich->SetText(L"short");
  PumpMessages();
  EXPECT_FALSE(bar->IsVisible());
}

TEST_F(RichEditTest, ScrollRangeSkipsMissingBarsAndHidesABarWithNothingToScroll) {
  Open();
  CTxtWinHost* host = m_rich->TextHost();
  EXPECT_TRUE(host->TxSetScrollRange(SB_VERT, 0, 5000, TRUE));
  EXPECT_TRUE(host->TxSetScrollRange(SB_HORZ, 0, 5000, TRUE));
  EXPECT_TRUE(host->TxShowScrollBar(SB_BOTH, TRUE));
  EXPECT_TRUE(host->TxSetScrollPos(SB_VERT, 10, TRUE));
  m_rich->EnableScrollBars(true, false);
  CScrollBarUI* bar = m_rich->VerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  const RECT& client = host->ClientRect();
  int height = client.bottom - client.top;
  host->TxSetScrollRange(SB_VERT, 0, height + 30, TRUE);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->ScrollExtent(), 30);
  host->TxSetScrollRange(SB_VERT, 0, height, TRUE);
  EXPECT_FALSE(bar->IsVisible());
}

TEST_F(RichEditTest, ClickedLinkSendsLink) {
  Open();
  LRESULT result = 0;
  m_rich->SendToTextServices(EM_AUTOURLDETECT, TRUE, 0, result);
  m_rich->SendToTextServices(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_LINK, result);
  m_rich->SetText(L"http://example.com/x");
  POINTL at = {};
  m_rich->SendToTextServices(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 4, result);
  m_host.TakeNotes();
  int x = at.x + 2, y = at.y + 4;
  m_host.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  m_host.Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  Log notes = m_host.TakeNotes();
  EXPECT_TRUE(Noted(notes, L"link:rich")) << "clicked at " << x << "," << y;
}

TEST_F(RichEditTest, ButtonOverTheEditKeepsItsPressesFromTheServices) {
  m_rich = new CRichEditUI;
  m_host.root->Add(m_rich, kRichPos);
  m_button = m_host.root->Add(new CButtonUI, RECT{40, 40, 100, 80});
  ASSERT_TRUE(m_host.Open());
  m_host.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 50));
  m_host.Send(WM_RBUTTONUP, 0, MAKELPARAM(50, 50));
  EXPECT_FALSE(m_rich->IsFocused());
  m_host.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 100));
  m_host.Send(WM_RBUTTONUP, 0, MAKELPARAM(150, 100));
  EXPECT_TRUE(m_rich->IsFocused());
}

TEST_F(RichEditTest, LayeredWindowsBlinkADrawnCaretOthersUseThePlatformCaret) {
  for (bool layered : {false, true}) {
    SCOPED_TRACE(layered);
    CControlHost host;
    ASSERT_TRUE(host.Open());
    host.Manager().SetPerPixelAlpha(layered);
    ASSERT_EQ(host.Manager().IsLayered(), layered);
    auto* rich = new CRichEditUI;
    rich->SetNormalTextColor(0xFFFF0000);
    host.root->Add(rich, kRichPos);  // started in the window's current mode
    rich->SetFocus();
    PumpMessages();
    ASSERT_TRUE(rich->TextHost()->IsCaretShown());
    CCanvas canvas(400, 300, 0xFFFFFFFF);
    host.PaintOnto(rich, canvas);
    EXPECT_EQ(canvas.CountNot(kRichPos, 0xFFFFFF) > 0, layered);  // an empty text: only the caret
    if (layered) {
      POINT caret = {};
      ::GetCaretPos(&caret);
      EXPECT_EQ(canvas.Rgb(caret.x, caret.y + 2), 0xFF0000u);
    }
    EXPECT_EQ(host.Manager().StopTimer(rich, CRichEditUI::kCaretTimerId), layered);
  }
}

struct StyleCase {
  std::vector<std::pair<const wchar_t*, const wchar_t*>> attributes;
  DWORD set;
  DWORD clear;
};

TEST(RichEditAttributes, StyleBitsFollowTheMarkup) {
  const StyleCase cases[] = {
      {{{L"align", L"left right"}}, ES_RIGHT, ES_CENTER},
      {{{L"align", L"center"}, {L"align", L"middle"}}, ES_CENTER, ES_RIGHT},
      {{{L"readonly", L"yes"}}, 0, ES_READONLY},
      {{{L"vscrollbar", L"true"}}, WS_VSCROLL | ES_DISABLENOSCROLL, 0},
      {{{L"hscrollbar", L"true"}, {L"vscrollbar", L"true"}, {L"vscrollbar", L"false"}},
       WS_HSCROLL | ES_DISABLENOSCROLL, WS_VSCROLL},
      {{{L"vscrollbar", L"true"}, {L"vscrollbar", L"false"}}, 0, WS_VSCROLL | ES_DISABLENOSCROLL},
      {{{L"multiline", L"no"}}, ES_MULTILINE, 0},
      {{{L"multiline", L"false"}}, 0, ES_MULTILINE},
  };
  for (const StyleCase& c : cases) {
    CRichEditUI rich;
    for (const auto& a : c.attributes) rich.ApplyAttribute(a.first, a.second);
    SCOPED_TRACE(c.attributes.begin()->second);
    EXPECT_EQ(rich.EditStyle() & c.set, c.set);
    EXPECT_EQ(rich.EditStyle() & c.clear, 0u);
  }
  CRichEditUI rich;
  rich.ApplyAttribute(L"vscrollbar", L"true");
  EXPECT_NE(rich.VerticalScrollBar(), nullptr);
}

TEST(RichEditAttributes, TextColourGainsAlphaAndReachesTheServicesNeverAsZero) {
  CRichEditUI rich;
  rich.ApplyAttribute(L"textcolor", L"  #123456");
  EXPECT_EQ(rich.NormalTextColor(), 0xFF123456u);
  EXPECT_EQ(TextServicesColor(0xFF123456), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(TextServicesColor(0), 0x00010000u);
  EXPECT_EQ(TextServicesColor(0xFF000000), 0x00010000u);
}

TEST(RichEditAttributes, MarkupBuildsTheRichEditElement) {
  CControlUI* made = CreateControlForTag(L"RichEdit");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->CastToInterface(L"RichEdit"), made);
  EXPECT_NE(made->CastToInterface(L"IContainer"), nullptr);
  delete made;
}

}  // namespace

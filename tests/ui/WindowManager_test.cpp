#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "tests/support/TestSupport.h"
#include "tests/ui/UiTestControls.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace SkinUI;
using ui_testing::CBox;
using ui_testing::CHostWindow;
using ui_testing::CProbe;
using ui_testing::Log;
using ui_testing::PumpMessages;

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Root box 400x300 with A (10,10)-(110,60), B (200,10)-(300,60) and C (10,100)-(110,150); A and C are
// tab stops, B is not.
class WindowManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = new CBox(L"root", RECT{0, 0, 400, 300}, &m_log);
    m_a = new CProbe(L"a", RECT{10, 10, 110, 60}, &m_log, true);
    m_b = new CProbe(L"b", RECT{200, 10, 300, 60}, &m_log);
    m_c = new CProbe(L"c", RECT{10, 100, 110, 150}, &m_log, true);
    m_root->Add(m_a);
    m_root->Add(m_b);
    m_root->Add(m_c);
    m_host.sharedLog = &m_log;
    ASSERT_TRUE(m_host.Open(m_root));
    PumpMessages();
    m_log.clear();
  }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(m_host.Handle(), message, wParam, lParam);
  }
  CWindowManagerUI& Manager() { return m_host.manager; }

  Log m_log;
  CHostWindow m_host;
  CBox* m_root = nullptr;
  CProbe* m_a = nullptr;
  CProbe* m_b = nullptr;
  CProbe* m_c = nullptr;
};

}  // namespace

TEST_F(WindowManagerTest, FirstPaintLaysOutThenSendsWindowInitOnce) {
  EXPECT_EQ(std::count(m_host.notes.begin(), m_host.notes.end(), L"windowinit:root"), 1);
  EXPECT_EQ(m_a->GetPos().left, 10);
  EXPECT_EQ(m_c->GetPos().bottom, 150);
  ::InvalidateRect(m_host.Handle(), nullptr, FALSE);
  ::UpdateWindow(m_host.Handle());
  EXPECT_EQ(std::count(m_host.notes.begin(), m_host.notes.end(), L"windowinit:root"), 1);
  POINT inB = {250, 30};
  EXPECT_EQ(Manager().ControlAt(inB), m_b);
  EXPECT_EQ(Manager().ControlByName(L"c"), m_c);
  EXPECT_EQ(Manager().ControlByName(L"nobody"), nullptr);
}

TEST_F(WindowManagerTest, ButtonUpGoesToThePressedControlWhereverItIsReleased) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 120));
  EXPECT_TRUE(Manager().IsMouseCaptured());
  EXPECT_EQ(Manager().FocusedControl(), m_c);
  Send(WM_LBUTTONUP, 0, At(250, 30));
  EXPECT_FALSE(Manager().IsMouseCaptured());
  Log expected = {L"a:killfocus", L"notify killfocus:a", L"c:setfocus", L"notify setfocus:c", L"c:down", L"c:up"};
  EXPECT_EQ(m_log, expected);
}

TEST_F(WindowManagerTest, MovingBetweenControlsLeavesBeforeEntering) {
  Manager().AddLeaveWatcher(m_c);
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  Send(WM_MOUSEMOVE, 0, At(21, 21));
  Send(WM_MOUSEMOVE, 0, At(250, 30));
  // The real pointer may have left the root hovered when the window opened.
  auto dropRoot = [](Log& log) {
    log.erase(std::remove_if(log.begin(), log.end(), [](const std::wstring& e) { return e.rfind(L"root:", 0) == 0; }),
              log.end());
  };
  dropRoot(m_log);
  Log expected = {L"c:leave", L"a:enter", L"c:leave", L"a:leave", L"b:enter"};
  EXPECT_EQ(m_log, expected);
  EXPECT_EQ(Manager().HoveredControl(), m_b);
  // Leaving to empty space.
  m_log.clear();
  Send(WM_MOUSEMOVE, 0, At(1000, 1000));
  dropRoot(m_log);
  Log left = {L"c:leave", L"b:leave"};
  EXPECT_EQ(m_log, left);
}

TEST_F(WindowManagerTest, DoubleClickRightButtonWheelAndKeys) {
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(250, 30));
  Send(WM_LBUTTONUP, 0, At(250, 30));
  Send(WM_RBUTTONDOWN, MK_RBUTTON, At(20, 20));
  POINT screen = {20, 120};
  ::ClientToScreen(m_host.Handle(), &screen);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
  Send(WM_KEYDOWN, 'X', 0);
  Send(WM_CHAR, 'x', 0);
  Send(WM_KEYUP, 'X', 0);
  Log expected = {L"b:dblclick", L"b:up",      L"a:rdown", L"c:enter",
                  L"c:wheel:1",  L"a:keydown", L"a:char",  L"a:keyup"};
  // The wheel refreshes hover, which may add an enter event before the wheel event reaches C; and
  // the real pointer, which is not over the window, may make the root leave at any moment.
  m_log.erase(std::remove(m_log.begin(), m_log.end(), L"c:enter"), m_log.end());
  m_log.erase(std::remove_if(m_log.begin(), m_log.end(), [](const std::wstring& e) { return e.rfind(L"root:", 0) == 0; }),
              m_log.end());
  expected.erase(std::remove(expected.begin(), expected.end(), L"c:enter"), expected.end());
  EXPECT_EQ(m_log, expected);
}

TEST_F(WindowManagerTest, TabWalksTheTabStopsAndWraps) {
  // The first paint focused the first tab stop.
  EXPECT_EQ(Manager().FocusedControl(), m_a);
  Manager().FocusControl(nullptr);
  LRESULT result = 0;
  EXPECT_TRUE(Manager().HandleBeforeDispatch(WM_KEYDOWN, VK_TAB, 0, result));
  EXPECT_EQ(Manager().FocusedControl(), m_a);
  Manager().MoveTabFocus(true);
  EXPECT_EQ(Manager().FocusedControl(), m_c);
  Manager().MoveTabFocus(true);
  EXPECT_EQ(Manager().FocusedControl(), m_a);  // wraps, skipping B (no tab stop)
  Manager().MoveTabFocus(false);
  EXPECT_EQ(Manager().FocusedControl(), m_c);  // backwards from the first wraps to the last
  m_c->SetEnabled(false);
  Manager().FocusControl(nullptr);
  Manager().MoveTabFocus(true);
  Manager().MoveTabFocus(true);
  EXPECT_EQ(Manager().FocusedControl(), m_a);
  Log focusNotes;
  for (const auto& note : m_host.notes)
    if (note.find(L"focus") != std::wstring::npos) focusNotes.push_back(note);
  EXPECT_EQ(focusNotes.front(), L"setfocus:a");
  EXPECT_EQ(focusNotes[1], L"killfocus:a");
}

TEST_F(WindowManagerTest, AsyncNotificationsMergeDuplicatesAndSurviveSenderDeletion) {
  m_host.notes.clear();
  Manager().SendNotification(m_a, L"textchanged", 1, 0, true, false);
  Manager().SendNotification(m_a, L"textchanged", 2, 0, true, false);
  Manager().SendNotification(m_a, L"click", 3, 0, true, true);
  Manager().SendNotification(m_a, L"click", 4, 0, true, true);
  EXPECT_EQ(Manager().PendingNotificationCount(), 3);
  EXPECT_TRUE(m_host.notes.empty());
  PumpMessages();
  Log expected = {L"textchanged:a:2", L"click:a:3", L"click:a:4"};
  EXPECT_EQ(m_host.notes, expected);

  // A sender deleted while its notification waits: delivered with no sender, its delegates skipped.
  m_host.notes.clear();
  struct Listener {
    int calls = 0;
    bool On(void*) {
      ++calls;
      return true;
    }
  } listener;
  auto* doomed = new CProbe(L"doomed", RECT{0, 0, 1, 1}, nullptr);
  doomed->BindToManager(&Manager(), nullptr, false);
  doomed->NotifyListeners += MakeDelegate(&listener, &Listener::On);
  Manager().SendNotification(doomed, L"click", 0, 0, true);
  delete doomed;
  PumpMessages();
  Log nullSender = {L"click:null"};
  EXPECT_EQ(m_host.notes, nullSender);
  EXPECT_EQ(listener.calls, 0);
  // Synchronous: the sender's delegates run before the window's listeners.
  auto* live = new CProbe(L"live", RECT{0, 0, 1, 1}, nullptr);
  live->BindToManager(&Manager(), nullptr, false);
  live->NotifyListeners += MakeDelegate(&listener, &Listener::On);
  Manager().SendNotification(live, L"click");
  EXPECT_EQ(listener.calls, 1);
  delete live;
}

TEST_F(WindowManagerTest, TimersFireEventsAndIdsAreNotReusedWhileAlive) {
  ASSERT_TRUE(Manager().StartTimer(m_a, 7, 10));
  EXPECT_FALSE(Manager().StartTimer(m_a, 7, 10));  // already running
  EXPECT_TRUE(testing_support::WaitFor(
      [&] { return std::count(m_host.notes.begin(), m_host.notes.end(), L"timer:a:7") > 0; }, 3000));
  EXPECT_TRUE(Manager().StopTimer(m_a, 7));
  EXPECT_FALSE(Manager().StopTimer(m_a, 7));
  EXPECT_TRUE(Manager().StartTimer(m_a, 7, 1000));  // a stopped timer restarts
  EXPECT_EQ(Manager().TimerCount(), 1);
  // Ids cycle through 255 values and never collide while alive: with A's timer, 254 more fill them.
  for (UINT id = 100; id < 100 + 254; ++id) ASSERT_TRUE(Manager().StartTimer(m_b, id, 100000)) << id;
  EXPECT_FALSE(Manager().StartTimer(m_b, 999, 100000));  // every id is held
  Manager().DropTimers(m_b);
  EXPECT_EQ(Manager().TimerCount(), 1);
  EXPECT_TRUE(Manager().StartTimer(m_b, 999, 100000));
  Manager().DropAllTimers();
  EXPECT_EQ(Manager().TimerCount(), 0);
}

TEST_F(WindowManagerTest, TimerIdsCountModulo255) {
  // The first id after construction is 4097 mod 255 = 17; after 254 comes 0.
  std::vector<UINT_PTR> seen;
  for (UINT i = 0; i < 240; ++i) {
    ASSERT_TRUE(Manager().StartTimer(m_a, i, 100000));
    Manager().StopTimer(m_a, i);
  }
  Manager().DropTimers(m_a);
  // Ids 17..254 were used (238 of them) and then 0 and 1: the next one is 2.
  ASSERT_TRUE(Manager().StartTimer(m_c, 1, 10));
  EXPECT_TRUE(testing_support::WaitFor(
      [&] { return std::count(m_host.notes.begin(), m_host.notes.end(), L"timer:c:1") > 0; }, 3000));
}

TEST_F(WindowManagerTest, DeletedControlsLeaveEveryListAndDeferredDeletionWaitsForTheQueue) {
  auto* extra = new CProbe(L"extra", RECT{0, 0, 5, 5}, &m_log);
  m_root->Add(extra);
  EXPECT_EQ(Manager().ControlByName(L"extra"), extra);
  Manager().AddLeaveWatcher(extra);
  Manager().AddOverlayPainter(extra);
  HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, m_host.Handle(), nullptr, nullptr, nullptr);
  Manager().AddHostedWindow(extra, child);
  Manager().StartTimer(extra, 1, 100000);
  bool destroyed = false;
  extra->destroyedFlag = &destroyed;
  m_root->Remove(extra);
  Manager().DeleteLater(extra);
  EXPECT_FALSE(destroyed);
  PumpMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Manager().LeaveWatcherCount(), 0);
  EXPECT_EQ(Manager().OverlayPainterCount(), 0);
  EXPECT_EQ(Manager().HostedWindowCount(), 0);
  EXPECT_EQ(Manager().TimerCount(), 0);
  EXPECT_EQ(Manager().ControlByName(L"extra"), nullptr);
  ::DestroyWindow(child);
  // Moving the mouse afterwards walks only live controls.
  Send(WM_MOUSEMOVE, 0, At(20, 20));
}

TEST_F(WindowManagerTest, ReplacingTheRootDefersDeletingTheOldTree) {
  bool destroyed = false;
  m_a->destroyedFlag = &destroyed;
  auto* next = new CBox(L"next", RECT{0, 0, 400, 300}, &m_log);
  Manager().SetRoot(next);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(Manager().ControlByName(L"a"), nullptr);
  EXPECT_EQ(Manager().ControlByName(L"next"), next);
  PumpMessages();
  EXPECT_TRUE(destroyed);
}

TEST_F(WindowManagerTest, NamesAreKeptInStepWithRenames) {
  m_a->SetName(L"renamed");
  EXPECT_EQ(Manager().ControlByName(L"renamed"), m_a);
  EXPECT_EQ(Manager().ControlByName(L"a"), nullptr);
  EXPECT_FALSE(Manager().ChangeControlName(m_b, L"renamed"));
  EXPECT_TRUE(Manager().ChangeControlName(m_a, L"renamed"));
  EXPECT_FALSE(Manager().ChangeControlName(m_a, L""));
}

TEST_F(WindowManagerTest, WindowAttributesSizeAndCustomValues) {
  CHostWindow bare;
  ASSERT_NE(bare.Create(nullptr, L"bare", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
  bare.manager.ApplyWindowAttribute(L"size", L"800,550");
  RECT rc;
  ::GetWindowRect(bare.Handle(), &rc);
  EXPECT_EQ(rc.right - rc.left, 800);
  EXPECT_EQ(rc.bottom - rc.top, 550);
  // With a root attached the size is only remembered.
  Manager().ApplyWindowAttribute(L"SIZE", L"640,480");
  ::GetWindowRect(m_host.Handle(), &rc);
  EXPECT_EQ(rc.right - rc.left, 400);
  EXPECT_EQ(Manager().InitialSize().cx, 640);
  Manager().ApplyWindowAttribute(L"caption", L"0,0,0,40");
  Manager().ApplyWindowAttribute(L"mininfo", L"300");
  Manager().ApplyWindowAttribute(L"defaultfontcolor", L"#FF112233");
  Manager().ApplyWindowAttribute(L"NoActivate", L"true");  // case matters: a custom attribute
  Manager().ApplyWindowAttribute(L"skin", L"blue");
  Manager().ApplyWindowAttribute(L"skin", L"red");
  EXPECT_EQ(Manager().CaptionRect().bottom, 40);
  EXPECT_EQ(Manager().MinInfo().cx, 300);
  EXPECT_EQ(Manager().MinInfo().cy, 0);
  EXPECT_EQ(Manager().BaseTextColor(), 0xFF112233u);
  EXPECT_FALSE(Manager().IsNoActivate());
  EXPECT_STREQ(Manager().CustomWindowAttribute(L"skin"), L"blue");
  EXPECT_STREQ(Manager().CustomWindowAttribute(L"NoActivate"), L"true");
}

TEST_F(WindowManagerTest, FontsAreCachedByIdWithFallbackToTheDefault) {
  HFONT font = Manager().RegisterFont(1, L"Tahoma", 14, true, false, false, false);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(Manager().FontById(1), font);
  EXPECT_EQ(Manager().FontById(99), Manager().BaseFontRecord()->font);
  EXPECT_EQ(Manager().MatchFont(L"Tahoma", 14, true, false, false, false), 1);
  EXPECT_EQ(Manager().MatchFont(L"Tahoma", 14, false, false, false, false), -1);
  EXPECT_EQ(Manager().FontRecordByHandle(font)->size, 14);
  EXPECT_GT(Manager().FontRecordById(1)->metrics.tmHeight, 0);  // measured with the window's DC
  HFONT replaced = Manager().RegisterFont(1, L"Tahoma", 20, false, false, false, false);
  EXPECT_EQ(Manager().FontById(1), replaced);
  HFONT shared = Manager().RegisterFont(2, L"Tahoma", 9, false, false, false, false, true);
  CWindowManagerUI other;
  EXPECT_EQ(other.FontById(2), shared);
  EXPECT_NE(other.FontById(1), replaced);
  Manager().DropFonts(true);
}

TEST_F(WindowManagerTest, ImagesAreCachedPerWindowOrShared) {
  testing_support::CTempFolder folder;
  std::wstring path = folder / L"i.png";
  ASSERT_TRUE(testing_support::WriteFileBytes(path, ui_testing::EncodePng(ui_testing::TRgbaImage(3, 2, 0xFF00FF00))));
  EXPECT_EQ(Manager().ImageByName(path.c_str()), nullptr);
  TImageInfo* image = Manager().ImageByNameOrLoad(path.c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Manager().ImageByNameOrLoad(path.c_str()), image);
  EXPECT_EQ(image->width, 3);
  CWindowManagerUI other;
  EXPECT_EQ(other.ImageByName(path.c_str()), nullptr);
  TImageInfo* shared = Manager().RegisterImage(path.c_str(), nullptr, 0, true, true);
  ASSERT_NE(shared, nullptr);
  EXPECT_NE(shared->sourcePixels, nullptr);
  EXPECT_EQ(other.ImageByName(path.c_str()), shared);
  EXPECT_EQ(Manager().RegisterImage(L""), nullptr);
  Manager().DropImages(true);
  EXPECT_EQ(other.ImageByName(path.c_str()), nullptr);
}

TEST_F(WindowManagerTest, OptionGroupsAndClassDefaults) {
  EXPECT_TRUE(Manager().JoinOptionGroup(L"g", m_a));
  EXPECT_FALSE(Manager().JoinOptionGroup(L"g", m_a));
  EXPECT_TRUE(Manager().JoinOptionGroup(L"g", m_b));
  EXPECT_EQ(Manager().OptionGroupMembers(L"g")->Count(), 2);
  Manager().LeaveOptionGroup(L"g", m_a);
  Manager().LeaveOptionGroup(L"g", m_b);
  EXPECT_EQ(Manager().OptionGroupMembers(L"g"), nullptr);
  Manager().SetClassDefaults(L"Button", L"textcolor=\"#FF000000\"");
  Manager().SetClassDefaults(L"Button", L"width=\"10\"");
  EXPECT_STREQ(Manager().ClassDefaults(L"Button"), L"width=\"10\"");
  EXPECT_EQ(Manager().ClassDefaults(L"Label"), nullptr);
}

TEST_F(WindowManagerTest, LayeredPaintingFillsTheArgbBufferWithOpaqueContent) {
  m_a->SetBackColor(0xFFFF0000);
  Manager().SetPerPixelAlpha(true);
  EXPECT_TRUE(Manager().IsLayered());
  EXPECT_TRUE(testing_support::WaitFor([&] { return Manager().OffscreenDC() != nullptr; }, 2000));
  PumpMessages();
  ::Sleep(50);
  PumpMessages();
  HBITMAP bitmap = static_cast<HBITMAP>(::GetCurrentObject(Manager().OffscreenDC(), OBJ_BITMAP));
  DIBSECTION dib = {};
  ASSERT_EQ(::GetObjectW(bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  ASSERT_GT(dib.dsBmih.biHeight, 0);  // bottom-up
  auto* bits = static_cast<DWORD*>(dib.dsBm.bmBits);
  auto pixel = [&](int x, int y) { return bits[(dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidth + x]; };
  EXPECT_EQ(pixel(20, 20), 0xFFFF0000u);
  EXPECT_EQ(pixel(390, 290), 0u);  // nothing painted there: fully transparent
  Manager().SetPerPixelAlpha(false);
  EXPECT_FALSE(Manager().IsLayered());
}

TEST_F(WindowManagerTest, ContextMenuAndSetCursorFollowTheControlFlags) {
  m_a->SetWantsContextMenu(true);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, At(20, 20));
  POINT screen = {20, 20};
  ::ClientToScreen(m_host.Handle(), &screen);
  Send(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
  EXPECT_NE(std::find(m_host.notes.begin(), m_host.notes.end(), L"menu:a:" + std::to_wstring(0)),
            m_host.notes.end() + 1);
  bool menuSent = false;
  for (const auto& note : m_host.notes) menuSent |= note.rfind(L"menu:a", 0) == 0;
  EXPECT_TRUE(menuSent);
  EXPECT_EQ(Manager().PressedControl(), nullptr);
}

TEST(ControlWithoutManager, BuildTimeOperationsSkipTheManagerPart) {
  auto* box = new CBox(L"box", RECT{0, 0, 10, 10}, nullptr);
  auto* child = new CProbe(L"child", RECT{0, 0, 5, 5}, nullptr);
  box->Add(child);
  child->SetFixedWidth(30);
  child->SetPadding(RECT{1, 1, 1, 1});
  child->SetCoverControl(new CProbe(L"cover", RECT{0, 0, 1, 1}, nullptr));
  child->SetCoverControl(new CProbe(L"cover2", RECT{0, 0, 1, 1}, nullptr));
  child->SetVisible(false);
  child->SetVisible(true);
  child->SetPos(RECT{0, 0, 4, 4}, true);
  child->Invalidate();
  child->SetBackImage(L"file='missing.png'");
  child->SetFocus();
  EXPECT_EQ(child->GetFixedWidth(), 30);
  EXPECT_EQ(child->CoverControl()->GetName(), L"cover2");
  delete box;
}

TEST_F(WindowManagerTest, HoverSendsTheHoverEventAndShowsTheToolTip) {
  Manager().SetBaseFont(L"Courier New", 13, false, false, false, false);
  m_b->SetToolTip(L"first<n>second");
  EXPECT_EQ(m_b->GetToolTip(), L"first\r\nsecond");
  Send(WM_MOUSEMOVE, 0, At(250, 30));
  m_log.clear();
  Send(WM_MOUSEHOVER, 0, At(250, 30));
  EXPECT_EQ(m_log, Log{L"b:hover"});
  HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  HWND ours = nullptr;
  for (; tip; tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
    if (::GetWindow(tip, GW_OWNER) == m_host.Handle()) ours = tip;
  ASSERT_TRUE(ours);
  // The tip speaks in the skin's font, which holds its script; the system's tip font may not.
  // (The tip keeps a copy of the font it is given, so the faces are compared, not the handles.)
  auto face = [](HGDIOBJ font) {
    LOGFONTW description = {};
    return ::GetObjectW(font, sizeof(description), &description) ? std::wstring(description.lfFaceName) : L"";
  };
  ASSERT_NE(nullptr, Manager().BaseFontRecord()->font);
  EXPECT_EQ(face(Manager().BaseFontRecord()->font), face(reinterpret_cast<HGDIOBJ>(::SendMessageW(ours, WM_GETFONT, 0, 0))));
  // Closing the window ends hover and press, and takes the tip away.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(250, 30));
  m_log.clear();
  Send(WM_CLOSE);
  EXPECT_EQ(m_log, (Log{L"b:leave", L"b:up", L"b:killfocus", L"notify killfocus:b"}));
  EXPECT_EQ(Manager().FocusedControl(), nullptr);
}

namespace {
class CTabTaker : public CProbe, public IWantsTabUI {
 public:
  CTabTaker() : CProbe(L"rich", RECT{0, 200, 50, 250}, nullptr, true) {}
  const wchar_t* ClassName() const override { return L"RichEditProbe"; }
  void* CastToInterface(const wchar_t* name) override {
    if (wcscmp(name, L"WantsTab") == 0) return static_cast<IWantsTabUI*>(this);
    return CProbe::CastToInterface(name);
  }
  bool WantsTab() const override { return wants; }
  bool wants = true;
};

class CLabelProbe : public CProbe {
 public:
  CLabelProbe() : CProbe(L"label", RECT{300, 200, 350, 250}, nullptr) {}
  const wchar_t* ClassName() const override { return L"Label"; }
};
}  // namespace

TEST_F(WindowManagerTest, RichEditThatWantsTabKeepsItAndShortcutsSkipLabels) {
  auto* rich = new CTabTaker;
  m_root->Add(rich);
  Manager().FocusControl(rich);
  LRESULT result = 0;
  EXPECT_FALSE(Manager().HandleBeforeDispatch(WM_KEYDOWN, VK_TAB, 0, result));
  EXPECT_EQ(Manager().FocusedControl(), rich);
  rich->wants = false;
  EXPECT_TRUE(Manager().HandleBeforeDispatch(WM_KEYDOWN, VK_TAB, 0, result));
  EXPECT_NE(Manager().FocusedControl(), rich);

  // Alt+key: a label with the shortcut hands the focus to the next control found that is not a label;
  // the search runs top first, so that is the one added before it.
  auto* target = new CProbe(L"target", RECT{360, 200, 390, 250}, nullptr);
  m_root->Add(target);
  auto* label = new CLabelProbe;
  m_root->Add(label);
  label->SetAccessKey(L'n');
  m_b->SetAccessKey(L'q');
  EXPECT_TRUE(Manager().HandleBeforeDispatch(WM_SYSCHAR, L'Q', 0, result));
  EXPECT_EQ(Manager().FocusedControl(), m_b);
  EXPECT_TRUE(Manager().HandleBeforeDispatch(WM_SYSCHAR, L'n', 0, result));
  EXPECT_EQ(Manager().FocusedControl(), target);
  EXPECT_FALSE(Manager().HandleBeforeDispatch(WM_SYSCHAR, L'z', 0, result));
}

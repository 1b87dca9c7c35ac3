#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

using namespace SkinUI;

namespace {

class CPlainWindow : public CWindowWnd {
 public:
  ~CPlainWindow() {
    if (Handle()) ::DestroyWindow(Handle());
  }
  const wchar_t* WindowClassName() const override { return L"TovikUiPlainWindow"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP + 7) return 77;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
  }
  void OnDestroyed(HWND) override { ++destroyed; }
  int destroyed = 0;
};

// A superclass of the system edit control: messages we do not handle reach the edit's procedure.
class CEditWindow : public CWindowWnd {
 public:
  ~CEditWindow() {
    if (Handle()) ::DestroyWindow(Handle());
  }
  const wchar_t* WindowClassName() const override { return L"TovikUiEditSuperclass"; }
  const wchar_t* SuperclassName() const override { return L"EDIT"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP + 7) return 78;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
  }
};

class CMissingSuperclass : public CWindowWnd {
 public:
  const wchar_t* WindowClassName() const override { return L"TovikUiNoSuchSuperclass"; }
  const wchar_t* SuperclassName() const override { return L"NoSuchClassAnywhere"; }
};

bool g_ownerWasEnabled = true;
void CALLBACK CloseFromTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(window, id);
  g_ownerWasEnabled = ::IsWindowEnabled(::GetWindow(window, GW_OWNER)) != FALSE;
  ::PostMessageW(window, WM_CLOSE, 5, 0);
}

}  // namespace

TEST(WindowWnd, ClassIsRegisteredOnceAndMessagesReachTheObject) {
  CPlainWindow first, second;
  ASSERT_NE(first.Create(nullptr, L"one", WS_POPUP, 0), nullptr);
  ASSERT_NE(second.Create(nullptr, L"two", WS_POPUP, 0), nullptr);
  EXPECT_EQ(first.SendMsg(WM_APP + 7), 77);
  EXPECT_EQ(second.SendMsg(WM_APP + 7), 77);
  HWND handle = first.Handle();
  ::DestroyWindow(handle);
  EXPECT_EQ(first.Handle(), nullptr);
  EXPECT_EQ(first.destroyed, 1);
  EXPECT_EQ(first.SendMsg(WM_APP + 7), 0);  // wrappers do nothing once the window is gone
  // A destroyed window can be created again.
  EXPECT_NE(first.Create(nullptr, L"again", WS_POPUP, 0), nullptr);
}

TEST(WindowWnd, SuperclassKeepsTheOriginalBehaviour) {
  CEditWindow edit;
  ASSERT_NE(edit.Create(nullptr, L"typed", WS_POPUP, 0, 0, 0, 100, 20), nullptr);
  EXPECT_EQ(edit.SendMsg(WM_APP + 7), 78);
  wchar_t text[16] = {};
  ::GetWindowTextW(edit.Handle(), text, 16);
  EXPECT_STREQ(text, L"typed");
  EXPECT_EQ(edit.SendMsg(WM_GETTEXTLENGTH), 5);
  CMissingSuperclass missing;
  EXPECT_EQ(missing.Create(nullptr, L"x", WS_POPUP, 0), nullptr);
}

TEST(WindowWnd, ModalLoopReturnsTheCloseValueAfterTheWindowIsDestroyed) {
  CPlainWindow window;
  ASSERT_NE(window.Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
  window.Close(1234);
  EXPECT_EQ(window.RunModal(), 1234u);
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(window.destroyed, 1);
}

TEST(WindowWnd, QuitDuringTheModalLoopEndsItAndIsPostedAgain) {
  CPlainWindow window;
  ASSERT_NE(window.Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
  ::PostQuitMessage(42);
  EXPECT_EQ(window.RunModal(false, false), 0u);
  EXPECT_NE(window.Handle(), nullptr);
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 42u);
}

TEST(WindowWnd, ModalWindowDisablesItsOwnerUntilItEnds) {
  CPlainWindow owner, dialog;
  ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP, 0, 0, 0, 200, 200), nullptr);
  ASSERT_NE(dialog.Create(owner.Handle(), L"dialog", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
  g_ownerWasEnabled = true;
  ::SetTimer(dialog.Handle(), 1, 10, CloseFromTimer);
  EXPECT_EQ(dialog.RunModal(), 5u);
  EXPECT_FALSE(g_ownerWasEnabled);
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
}

TEST(WindowWnd, ClientSizeIsExactWhateverTheFrame) {
  for (DWORD style : {static_cast<DWORD>(WS_POPUP), static_cast<DWORD>(WS_OVERLAPPEDWINDOW),
                      static_cast<DWORD>(WS_POPUP | WS_THICKFRAME | WS_CAPTION)}) {
    CPlainWindow window;
    ASSERT_NE(window.Create(nullptr, L"size", style, 0, 10, 10, 300, 200), nullptr);
    window.SetClientSize(800, 550);
    RECT client;
    ::GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right, 800) << style;
    EXPECT_EQ(client.bottom, 550) << style;
  }
}

TEST(WindowWnd, CentringKeepsTheWindowInsideTheWorkArea) {
  MONITORINFO monitor = {sizeof(monitor)};
  ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT work = monitor.rcWork;
  CPlainWindow huge;
  ASSERT_NE(huge.Create(nullptr, L"huge", WS_POPUP, 0, 100, 100, work.right - work.left + 300,
                        work.bottom - work.top + 300),
            nullptr);
  huge.CenterOnOwner();
  RECT rc;
  ::GetWindowRect(huge.Handle(), &rc);
  EXPECT_EQ(rc.left, work.left);
  EXPECT_EQ(rc.top, work.top);

  CPlainWindow small;
  ASSERT_NE(small.Create(nullptr, L"small", WS_POPUP, 0, 0, 0, 100, 60), nullptr);
  small.CenterOnOwner();
  ::GetWindowRect(small.Handle(), &rc);
  EXPECT_EQ(rc.left, (work.left + work.right) / 2 - 50);
  EXPECT_EQ(rc.top, (work.top + work.bottom) / 2 - 30);

  // With an owner, the window centres on it.
  CPlainWindow owner, owned;
  ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 100, 400, 300), nullptr);
  ASSERT_NE(owned.Create(owner.Handle(), L"owned", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
  owned.CenterOnOwner();
  ::GetWindowRect(owned.Handle(), &rc);
  EXPECT_EQ(rc.left, 250);
  EXPECT_EQ(rc.top, 200);
}

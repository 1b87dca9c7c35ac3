// A stand-in for the wizard window in tests: a hidden window whose procedure hands the dispatch
// wake-ups to g_mainWnd, and a view that records what the window was asked to do (all on the
// window's thread, which is the test's thread).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/MainWnd.h"

namespace setup_test {

class CRecordingView : public IWizardView {
 public:
  void RestartProgressTimer(int periodMs) override { Record(L"timer " + std::to_wstring(periodMs)); }
  void StopProgressTimer() override { Record(L"stop"); }
  void ShowErrorBox(const std::wstring& text) override {
    Record(L"box " + text);
    errors.push_back(text);
  }
  void EndSetup() override {
    Record(L"end");
    ended = true;
  }

  std::vector<std::wstring> calls;
  std::vector<std::wstring> errors;
  std::vector<DWORD> threads;
  bool ended = false;

 private:
  void Record(const std::wstring& call) {
    calls.push_back(call);
    threads.push_back(::GetCurrentThreadId());
  }
};

class CStandInWindow {
 public:
  CStandInWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TovikSetupTestsWizard";
    ::RegisterClassW(&windowClass);
    m_window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
  }
  ~CStandInWindow() { ::DestroyWindow(m_window); }
  CStandInWindow(const CStandInWindow&) = delete;
  CStandInWindow& operator=(const CStandInWindow&) = delete;
  HWND Get() const { return m_window; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_mainWnd && g_mainWnd->GetHWND() == window && g_mainWnd->HandleDispatchMessage(message)) return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND m_window = nullptr;
};

}  // namespace setup_test

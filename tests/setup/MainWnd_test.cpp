#include "setup/MainWnd.h"

#include <gtest/gtest.h>
#include <process.h>

#include "tests/setup/WizardStandIn.h"
#include "tests/support/TestSupport.h"

using setup_test::CRecordingView;
using setup_test::CStandInWindow;
using testing_support::WaitFor;

TEST(AdvanceProgress, CreepsTowardsTheCapOfEachStep) {
  struct Case {
    int value, step, expected;
  } cases[] = {
      {0, 1, 1}, {4, 1, 5}, {5, 1, 5}, {30, 1, 5},  // held at the cap, pulled down to it
      {5, 2, 6}, {65, 2, 65},  {64, 4, 65}, {85, 4, 85},
      {85, 5, 86}, {99, 5, 99}, {99, 6, 100}, {100, 6, 100},
      {40, 3, 40}, {40, 0, 40}, {40, 7, 40},  // no step 3, nothing outside 1 to 6
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, AdvanceProgress(c.value, c.step)) << c.value << " @" << c.step;
}

TEST(CMainWnd, ConstructionSetsTheGlobalAndTheStartingValues) {
  {
    CMainWnd wnd(nullptr);
    EXPECT_EQ(&wnd, g_mainWnd);
    EXPECT_EQ(1, wnd.Step());
    EXPECT_EQ(0, wnd.ProgressValue());
    // Ticks at step 1 never pass 5.
    for (int i = 0; i < 20; ++i) wnd.TickProgress();
    EXPECT_EQ(5, wnd.ProgressValue());
  }
  EXPECT_EQ(nullptr, g_mainWnd);
}

namespace {

struct TStepRun {
  CMainWnd* wnd;
  int steps[3];
};

unsigned __stdcall ReportSteps(void* parameter) {
  TStepRun* run = static_cast<TStepRun*>(parameter);
  for (int step : run->steps) run->wnd->SetStep(step);
  return 0;
}

unsigned __stdcall FailInstall(void* parameter) {
  CMainWnd* wnd = static_cast<CMainWnd*>(parameter);
  wnd->PostCall(wnd->GetHWND(), &CMainWnd::ShowInstallError, 0, new std::wstring(L"安装错误，解压失败"));
  return 0;
}

unsigned __stdcall SleepLong(void*) {
  ::Sleep(60000);
  return 0;
}

}  // namespace

TEST(CMainWnd, StepsFromTheWorkerReArmTheTimerOnTheWindowThread) {
  CStandInWindow window;
  CRecordingView view;
  CMainWnd wnd(nullptr);
  wnd.AttachWindow(window.Get(), &view);
  TStepRun run = {&wnd, {2, 4, 6}};
  DWORD started = ::GetTickCount();
  HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ReportSteps, &run, 0, nullptr));
  ASSERT_TRUE(WaitFor([&] { return ::WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }, 10000));
  ::CloseHandle(worker);
  // Each step holds the worker for a second.
  EXPECT_GE(::GetTickCount() - started, 2900u);
  WaitFor([&] { return view.calls.size() == 6; }, 2000);
  std::vector<std::wstring> expected = {L"stop", L"timer 150", L"stop", L"timer 75", L"stop", L"timer 50"};
  EXPECT_EQ(expected, view.calls);
  for (DWORD thread : view.threads) EXPECT_EQ(::GetCurrentThreadId(), thread);
  EXPECT_EQ(6, wnd.Step());
}

TEST(CMainWnd, AnInstallErrorStopsTheTimerShowsTheTextAndEndsTheSetup) {
  CStandInWindow window;
  CRecordingView view;
  CMainWnd wnd(nullptr);
  wnd.AttachWindow(window.Get(), &view);
  HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &FailInstall, &wnd, 0, nullptr));
  ASSERT_TRUE(WaitFor([&] { return view.ended; }, 5000));
  ::WaitForSingleObject(worker, INFINITE);
  ::CloseHandle(worker);
  std::vector<std::wstring> expected = {L"stop", L"box 安装错误，解压失败", L"end"};
  EXPECT_EQ(expected, view.calls);
}

TEST(CMainWnd, WorkersAreRecordedOncePerIdAndEndedTogether) {
  CMainWnd wnd(nullptr);
  unsigned id = 0;
  HANDLE sleeper = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &SleepLong, nullptr, 0, &id));
  ASSERT_NE(nullptr, sleeper);
  HANDLE observer = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), sleeper, ::GetCurrentProcess(), &observer, SYNCHRONIZE, FALSE, 0));
  wnd.RegisterWorker(id, nullptr);
  wnd.RegisterWorker(id, INVALID_HANDLE_VALUE);
  EXPECT_EQ(0u, wnd.WorkerCount());
  wnd.RegisterWorker(id, sleeper);
  wnd.RegisterWorker(id, sleeper);
  EXPECT_EQ(1u, wnd.WorkerCount());

  wnd.TerminateWorkers();
  EXPECT_EQ(0u, wnd.WorkerCount());
  EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(observer, 5000));
  ::CloseHandle(observer);
}

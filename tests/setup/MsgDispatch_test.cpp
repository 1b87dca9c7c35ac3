#include "setup/MsgDispatch.h"

#include <gtest/gtest.h>
#include <process.h>

#include <map>
#include <vector>

#include "tests/support/TestSupport.h"

using testing_support::WaitFor;

namespace {

struct TCallArgument {
  int sender;
  int sequence;
};

// A window object in miniature: its own hidden window, whose procedure runs the queue.
class CDispatchTarget : public CMsgDispatch<CDispatchTarget> {
 public:
  CDispatchTarget() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TovikSetupTestsDispatch";
    ::RegisterClassW(&windowClass);
    window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CDispatchTarget() override { ::DestroyWindow(window); }

  void Record(int wParam, void* lParam) {
    TCallArgument* argument = static_cast<TCallArgument*>(lParam);
    onWindowThread = onWindowThread && ::GetCurrentThreadId() == windowThread;
    received[argument->sender].push_back(argument->sequence);
    wParams.push_back(wParam);
    ++calls;
    delete argument;
  }
  void PostAnother(int, void*) { PostCall(window, &CDispatchTarget::Record, 9, new TCallArgument{99, 0}); }

  HWND window = nullptr;
  DWORD windowThread = ::GetCurrentThreadId();
  bool onWindowThread = true;
  std::map<int, std::vector<int>> received;
  std::vector<int> wParams;
  volatile LONG calls = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDispatchTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && IsWakeMessage(message)) {
      self->RunQueuedCalls();
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
};

constexpr int kSenders = 4;
constexpr int kCallsPerSender = 200;

struct TSenderStart {
  CDispatchTarget* target;
  int sender;
};

unsigned __stdcall Sender(void* parameter) {
  TSenderStart* start = static_cast<TSenderStart*>(parameter);
  for (int i = 0; i < kCallsPerSender; ++i)
    start->target->PostCall(start->target->window, &CDispatchTarget::Record, 0,
                            new TCallArgument{start->sender, i});
  return 0;
}

}  // namespace

TEST(CMsgDispatch, CallsFromSeveralThreadsRunOnTheWindowThreadInOrderOnce) {
  CDispatchTarget target;
  TSenderStart starts[kSenders];
  HANDLE threads[kSenders];
  for (int i = 0; i < kSenders; ++i) {
    starts[i] = {&target, i};
    threads[i] = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Sender, &starts[i], 0, nullptr));
    ASSERT_NE(nullptr, threads[i]);
  }
  ASSERT_TRUE(WaitFor([&] { return target.calls == kSenders * kCallsPerSender; }, 30000));
  for (HANDLE thread : threads) {
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
  }
  // Leftover wake-ups find the queue empty and run nothing twice.
  WaitFor([] { return false; }, 200);
  EXPECT_EQ(kSenders * kCallsPerSender, target.calls);
  EXPECT_TRUE(target.onWindowThread);
  std::vector<int> expected(kCallsPerSender);
  for (int i = 0; i < kCallsPerSender; ++i) expected[i] = i;
  for (int sender = 0; sender < kSenders; ++sender) EXPECT_EQ(expected, target.received[sender]) << sender;
}

TEST(CMsgDispatch, NothingRunsUntilTheWindowThreadTakesItsMessages) {
  CDispatchTarget target;
  target.PostCall(target.window, &CDispatchTarget::Record, 5, new TCallArgument{1, 1});
  EXPECT_EQ(0, target.calls);
  ASSERT_TRUE(WaitFor([&] { return target.calls == 1; }, 5000));
  EXPECT_EQ(std::vector<int>{5}, target.wParams);
}

TEST(CMsgDispatch, ACallPostedByACallRunsToo) {
  CDispatchTarget target;
  target.PostCall(target.window, &CDispatchTarget::PostAnother, 0, nullptr);
  ASSERT_TRUE(WaitFor([&] { return target.calls == 1; }, 5000));
  EXPECT_EQ(std::vector<int>{0}, target.received[99]);
  EXPECT_EQ(std::vector<int>{9}, target.wParams);
}

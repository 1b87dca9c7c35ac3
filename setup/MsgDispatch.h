// Lets other threads run a member function of a window object on the window's own thread. The
// window class T derives from CMsgDispatch<T> and calls RunQueuedCalls() for each wake-up message
// (IsWakeMessage). Calls run in the order they were posted, each exactly once, outside the lock.
#pragma once

#include <windows.h>

#include <deque>

#include "core/ScopedHandle.h"

template <class T>
class CMsgDispatch {
 public:
  // lParam is a heap object whose ownership passes to the called function (or null).
  using Method = void (T::*)(int wParam, void* lParam);

  struct TDispatchItem {
    Method method = nullptr;
    int wParam = 0;
    void* lParam = nullptr;
  };

  static constexpr UINT kFirstWakeMessage = WM_USER + 2000;
  static constexpr UINT kLastWakeMessage = WM_USER + 2003;
  static bool IsWakeMessage(UINT message) { return message >= kFirstWakeMessage && message <= kLastWakeMessage; }

  CMsgDispatch() = default;
  virtual ~CMsgDispatch() = default;
  CMsgDispatch(const CMsgDispatch&) = delete;
  CMsgDispatch& operator=(const CMsgDispatch&) = delete;

  // Any thread. Queues the call and wakes window's thread; a call that finds earlier wake-ups
  // already consumed runs at the next one.
  void PostCall(HWND window, Method method, int wParam, void* lParam) {
    {
      CAutoLock hold(m_lock);
      m_queue.push_back(TDispatchItem{method, wParam, lParam});
    }
    for (UINT message = kFirstWakeMessage; message <= kLastWakeMessage; ++message)
      ::PostMessageW(window, message, 0, 0);
  }

  // The window's thread. Runs every queued call, including calls queued while it runs.
  void RunQueuedCalls() {
    for (;;) {
      TDispatchItem item;
      {
        CAutoLock hold(m_lock);
        if (m_queue.empty()) return;
        item = m_queue.front();
        m_queue.pop_front();
      }
      // Outside the lock: the call may show a modal box or post further calls.
      if (item.method) (static_cast<T*>(this)->*item.method)(item.wParam, item.lParam);
    }
  }

 private:
  CCriticalSection m_lock;
  std::deque<TDispatchItem> m_queue;
};

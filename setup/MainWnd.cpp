#include "setup/MainWnd.h"

#include <memory>

CMainWnd* g_mainWnd = nullptr;

int AdvanceProgress(int value, int step) {
  static constexpr struct {
    int step;
    int cap;
  } kCaps[] = {{1, 5}, {2, 65}, {4, 85}, {5, 99}, {6, 100}};
  for (const auto& entry : kCaps) {
    if (entry.step == step) return value + 1 > entry.cap ? entry.cap : value + 1;
  }
  return value;
}

CMainWnd::CMainWnd(HINSTANCE instance) : m_instance(instance) { g_mainWnd = this; }

CMainWnd::~CMainWnd() {
  if (g_mainWnd == this) g_mainWnd = nullptr;
}

void CMainWnd::AttachWindow(HWND window, IWizardView* view) {
  m_window = window;
  m_view = view;
}

bool CMainWnd::HandleDispatchMessage(UINT message) {
  if (!IsWakeMessage(message)) return false;
  RunQueuedCalls();
  return true;
}

void CMainWnd::SetStep(int step) {
  CAutoLock hold(m_stepLock);
  ::InterlockedExchange(&m_step, step);
  // The timer table belongs to the window's thread, so the re-arming travels there as a call.
  PostCall(m_window, &CMainWnd::OnStepChanged, step, nullptr);
  ::Sleep(kStepPauseMs);
}

void CMainWnd::OnStepChanged(int step, void*) {
  if (!m_view || step <= 0) return;
  m_view->StopProgressTimer();
  m_view->RestartProgressTimer(kBaseProgressPeriodMs / step);
}

int CMainWnd::TickProgress() {
  m_progressValue = AdvanceProgress(m_progressValue, m_step);
  return m_progressValue;
}

void CMainWnd::ShowInstallError(int, void* errorText) {
  std::unique_ptr<std::wstring> text(static_cast<std::wstring*>(errorText));
  if (!m_view) return;
  m_view->StopProgressTimer();
  m_view->ShowErrorBox(text ? *text : std::wstring());
  text.reset();
  m_view->EndSetup();
}

void CMainWnd::RegisterWorker(unsigned threadId, HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  CAutoLock hold(m_workerLock);
  auto found = m_workers.find(threadId);
  // A recorded id that comes back belongs to a thread that has ended; its handle is still ours.
  if (found != m_workers.end() && found->second != handle) ::CloseHandle(found->second);
  m_workers[threadId] = handle;
}

void CMainWnd::TerminateWorkers() {
  CAutoLock hold(m_workerLock);
  for (auto& worker : m_workers) {
    ::TerminateThread(worker.second, 0);
    ::CloseHandle(worker.second);
  }
  m_workers.clear();
}

bool CMainWnd::IsWorkerRunning() {
  CAutoLock hold(m_workerLock);
  for (const auto& worker : m_workers)
    if (::WaitForSingleObject(worker.second, 0) == WAIT_TIMEOUT) return true;
  return false;
}

size_t CMainWnd::WorkerCount() {
  CAutoLock hold(m_workerLock);
  return m_workers.size();
}

// The wizard window's side of the install: the choices the install worker reads, the folder and
// link it records, step reporting and the error report, and the table of worker threads.
// The window's pages, timers and message box reach this class through IWizardView.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "core/ScopedHandle.h"
#include "setup/MsgDispatch.h"

// What the window does, on its own thread, when the worker reports. The wizard window's pages,
// progress timer and message box provide it.
class IWizardView {
 public:
  virtual ~IWizardView() = default;
  // Re-arms the progress timer with a new period (the step changed).
  virtual void RestartProgressTimer(int periodMs) = 0;
  virtual void StopProgressTimer() = 0;
  // The error box (OK and "open web site"); returns when the user closed it.
  virtual void ShowErrorBox(const std::wstring& text) = 0;
  // Ends the setup after an install error: hides the window, ends the workers, ends the process.
  virtual void EndSetup() = 0;
};

// Progress value after one tick of the progress timer at the given step: one more, held at the
// step's cap (5, 65, 85, 99, 100 for steps 1, 2, 4, 5, 6); unchanged for any other step.
int AdvanceProgress(int value, int step);

class CMainWnd : public CMsgDispatch<CMainWnd> {
 public:
  static constexpr int kProgressTimerId = 100;
  static constexpr int kBaseProgressPeriodMs = 300;
  static constexpr DWORD kStepPauseMs = 1000;

  struct TInstallOptions {
    bool desktopIcon = true;
    bool taskbarPin = false;
    bool powerUp = true;
  };

  explicit CMainWnd(HINSTANCE instance);
  ~CMainWnd() override;

  // The window that receives the wake-up messages, and what it shows.
  void AttachWindow(HWND window, IWizardView* view);
  HWND GetHWND() const { return m_window; }
  // For the window procedure: handles the dispatch wake-ups; false for any other message.
  bool HandleDispatchMessage(UINT message);

  // Read by the worker; not changed while it runs.
  const std::wstring& SelectedFolder() const { return m_selectedFolder; }
  void SetSelectedFolder(const std::wstring& folder) { m_selectedFolder = folder; }
  const TInstallOptions& InstallOptions() const { return m_options; }
  void SetInstallOptions(const TInstallOptions& options) { m_options = options; }

  // Written by the worker.
  const std::wstring& InstallFolder() const { return m_installFolder; }
  void SetInstallFolder(const std::wstring& folder) { m_installFolder = folder; }
  std::wstring& DesktopLinkPath() { return m_desktopLinkPath; }

  // Worker thread: records the step, re-arms the progress timer on the window's thread (period
  // 300 / step ms) and pauses the worker for a second under the step lock.
  void SetStep(int step);
  int Step() const { return m_step; }
  // Window thread, one timer tick: advances the progress value and returns it.
  int TickProgress();
  int ProgressValue() const { return m_progressValue; }

  // Window thread, queued by the worker: shows the error and ends the setup. Takes ownership of
  // errorText (a heap std::wstring).
  void ShowInstallError(int wParam, void* errorText);

  // Starts the install worker and records it. False when the thread could not be started.
  bool StartInstallWorker();
  void RegisterWorker(unsigned threadId, HANDLE handle);
  // Ends every recorded worker where it stands and forgets it.
  void TerminateWorkers();
  size_t WorkerCount();

 private:
  void OnStepChanged(int step, void* unused);

  HINSTANCE m_instance;
  std::wstring m_selectedFolder;
  std::wstring m_installFolder;
  std::wstring m_desktopLinkPath;
  CCriticalSection m_stepLock;
  CCriticalSection m_workerLock;
  std::map<unsigned, HANDLE> m_workers;
  TInstallOptions m_options;
  int m_progressValue = 0;
  volatile LONG m_step = 1;
  HWND m_window = nullptr;
  IWizardView* m_view = nullptr;
};

extern CMainWnd* g_mainWnd;

// The setup wizard: one skinned, frameless window built from "main.xml" with four pages (start,
// custom, progress, finished), the choices the install worker reads, the folder and link it records,
// step reporting and the error report, and the table of worker threads.
// The install reaches the window's timer and message box through IWizardView; the window is its own
// view, and tests may put a recording one in its place.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "core/ScopedHandle.h"
#include "setup/MsgDispatch.h"
#include "ui/core/UIDefines.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace SkinUI {
class CControlUI;
class CButtonUI;
class COptionUI;
class CTabLayoutUI;
class CProgressUI;
class CLabelUI;
class CComboUI;
}  // namespace SkinUI

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

class CMainWnd : public SkinUI::CWindowWnd,
                 public SkinUI::INotifyUI,
                 public CMsgDispatch<CMainWnd>,
                 private IWizardView {
 public:
  static constexpr int kProgressTimerId = 100;
  static constexpr UINT kProgressCompleteMessage = WM_USER + 1002;
  static constexpr UINT kQuitRequestMessage = WM_USER + 1003;
  static constexpr int kPageStart = 0, kPageCustom = 1, kPageProgress = 2, kPageFinished = 3;
  static constexpr int kWidth = 800, kShortHeight = 430, kTallHeight = 550;
  static constexpr int kBaseProgressPeriodMs = 300;
  static constexpr DWORD kStepPauseMs = 1000;

  struct TInstallOptions {
    bool desktopIcon = true;
    bool taskbarPin = false;
    bool powerUp = true;
  };

  explicit CMainWnd(HINSTANCE instance);
  ~CMainWnd() override;

  // ---- the window ----
  const wchar_t* WindowClassName() const override { return L"CMainWnd"; }
  UINT ClassStyle() const override { return CS_DBLCLKS; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  virtual LRESULT HandleSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void OnNotification(SkinUI::TNotifyMsg& msg) override;
  SkinUI::CWindowManagerUI& Manager() { return m_manager; }

  // Pages and language, also driven by tests.
  void ShowPage(int index);
  void ResizeForPage(bool tall);
  void ApplyLanguage(bool simplified);
  bool IsSimplified() const { return m_simplified != 0; }
  void SaveLanguage();
  // The install button: takes the folder box's text, checks it, and starts the install. False when
  // the install did not start (invalid folder, the user said no, or one is already running).
  bool BeginInstall();
  // Hides the window, ends the workers and closes the window (the modal loop ends).
  void ExitSetup();

  // For tests without the real window: the window that receives the wake-up messages, and what it
  // shows. The real window attaches itself when it is created.
  void AttachWindow(HWND window, IWizardView* view);
  // What ends the process after quitting, starting the client or an install error; tests that run
  // the real window in their own process put a recorder here.
  void SetProcessExit(void (*exitProcess)(UINT code)) { m_exitProcess = exitProcess; }
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
  static void EndProcess(UINT code) { ::ExitProcess(code); }
  void OnStepChanged(int step, void* unused);

  // IWizardView of the real window.
  void RestartProgressTimer(int periodMs) override;
  void StopProgressTimer() override;
  void ShowErrorBox(const std::wstring& text) override;
  void EndSetup() override;

  void HandleCreate();
  LRESULT HandleHitTest(LPARAM lParam);
  bool HandleEnterKey();
  void InitWizard();
  void FindControls();
  std::wstring InitialFolder() const;
  void DetectLanguage();
  void SelectLanguageItem(int index);
  SkinUI::CComboUI* LanguageList();
  int LanguageItem() const;
  void OnClick(SkinUI::CControlUI* sender);
  void OnAgreementChanged(SkinUI::COptionUI* source, SkinUI::COptionUI* mirror);
  void OnProgressTick();
  bool TakeFolderFromBox();
  bool ConfirmFolder();
  void BrowseForFolder();
  void SetFolderBox(const std::wstring& folder);
  bool IsWorkerRunning();
  void QuitWithQuestion();
  int Ask(const wchar_t* text, int buttons, const wchar_t* okText, const wchar_t* cancelText);

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

  SkinUI::CWindowManagerUI m_manager;
  SkinUI::CControlUI* m_pathEdit = nullptr;
  SkinUI::COptionUI* m_powerUpOpt = nullptr;
  SkinUI::COptionUI* m_agreeOpt = nullptr;
  SkinUI::COptionUI* m_agreeOpt1 = nullptr;
  SkinUI::COptionUI* m_fastStartBarOpt = nullptr;
  SkinUI::COptionUI* m_createDesktopIconOpt = nullptr;
  SkinUI::CControlUI* m_installBtn = nullptr;
  SkinUI::CControlUI* m_installBtn1 = nullptr;
  SkinUI::CTabLayoutUI* m_pageTab = nullptr;
  SkinUI::CProgressUI* m_progressBar = nullptr;
  SkinUI::CControlUI* m_progressLabel = nullptr;
  SkinUI::CControlUI* m_langCombo = nullptr;
  int m_languageItem = 0;
  SkinUI::CControlUI* m_spaceLine = nullptr;
  SkinUI::CControlUI* m_background = nullptr;
  int m_simplified = 1;
  void (*m_exitProcess)(UINT code) = &EndProcess;
};

extern CMainWnd* g_mainWnd;

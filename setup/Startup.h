// The program's entry sequence: working folder and log, COM, the product's service and processes,
// the skin archive, the single-instance guard, and the wizard window.
#pragma once

#include <windows.h>

#include <string>

// The working folder (log file and package cache); ends with a backslash once start-up has set it.
extern std::wstring g_workDir;

constexpr char kInstanceSemaphoreName[] = "Global\\_ONCE_RUN_TvGateway_install_";
constexpr wchar_t kWizardWindowClass[] = L"CMainWnd";
constexpr wchar_t kWizardWindowTitle[] = L"安装向导-岚鹊加速器";
constexpr wchar_t kLogFileName[] = L"TovikSetup.log";
constexpr wchar_t kWorkDirName[] = L"tovikSetup";
constexpr char kSkinArchivePassword[] = "Qm7rTe2K";
constexpr int kSkinResourceId = 102;
constexpr wchar_t kSkinResourceType[] = L"ZIPRES";
constexpr int kLogSizeLimitKB = 1024;

// Marks that a wizard is running for as long as the named semaphore stays open.
class CInstanceGuard {
 public:
  explicit CInstanceGuard(const char* name);
  ~CInstanceGuard();
  CInstanceGuard(const CInstanceGuard&) = delete;
  CInstanceGuard& operator=(const CInstanceGuard&) = delete;

  bool IsAlreadyRunning() const { return m_lastError == ERROR_ALREADY_EXISTS; }
  // Closing twice is harmless.
  void Close();

 private:
  DWORD m_lastError = 0;
  HANDLE m_semaphore = nullptr;
};

// The working folder for a temporary path as GetTempPathW gave it (empty when it failed): the
// "tovikSetup" folder below it when that exists or can be created, otherwise the program's folder.
std::wstring ChooseWorkDir(const std::wstring& tempPath, const std::wstring& programFolder);

// Sets g_workDir and gives g_logFile its path and size limit.
void InitWorkDirAndLog(const wchar_t* logFileName);

// Stops and deletes the product's protection service without waiting for either command.
void StopProtectionService();

// Brings a running wizard's window forward (restoring a hidden one). False when there is none.
bool RaiseRunningWizard();

// The whole start-up sequence; runWizard runs the wizard window modally. Returns the exit code.
using WizardRunner = void (*)(HINSTANCE instance);
int RunSetup(HINSTANCE instance, WizardRunner runWizard);

#include "setup/Startup.h"

#include <objbase.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>

#include "core/SystemHelpers.h"
#include "core/WriteLogFile.h"
#include "setup/ClientContract.h"
#include "ui/core/WindowManagerUI.h"

std::wstring g_workDir;

CInstanceGuard::CInstanceGuard(const char* name) {
  // A null DACL lets every session and account see (and so detect) the semaphore.
  SECURITY_DESCRIPTOR descriptor;
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, TRUE};
  SECURITY_ATTRIBUTES* useAttributes = nullptr;
  if (::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE))
    useAttributes = &attributes;
  m_semaphore = ::CreateSemaphoreA(useAttributes, 1, 1, name);
  m_lastError = ::GetLastError();
}

CInstanceGuard::~CInstanceGuard() { Close(); }

void CInstanceGuard::Close() {
  if (m_semaphore) ::CloseHandle(m_semaphore);
  m_semaphore = nullptr;
}

std::wstring ChooseWorkDir(const std::wstring& tempPath, const std::wstring& programFolder) {
  if (tempPath.empty()) return programFolder;
  std::wstring folder = tempPath;
  if (folder.back() != L'\\') folder += L'\\';
  folder += kWorkDirName;
  folder += L'\\';
  // The folder is kept whether it was just created or already there; only a folder that can
  // neither be found nor made sends the log to the program's own folder.
  if (::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) {
    if (::PathIsDirectoryW(folder.c_str())) return folder;
  }
  return programFolder;
}

void InitWorkDirAndLog(const wchar_t* logFileName) {
  wchar_t tempPath[260] = {};
  DWORD length = ::GetTempPathW(260, tempPath);
  std::wstring temp = (length == 0 || length >= 260) ? std::wstring() : std::wstring(tempPath, length);
  g_workDir = ChooseWorkDir(temp, GetModuleDirectory(nullptr));
  g_logFile.SetLogFile(g_workDir + logFileName, kLogSizeLimitKB);
}

void StopProtectionService() {
  RunHiddenCommand(ClientContract::kServiceStopCommand);
  RunHiddenCommand(ClientContract::kServiceDeleteCommand);
}

bool RaiseRunningWizard() {
  HWND window = ::FindWindowW(kWizardWindowClass, kWizardWindowTitle);
  if (!window) return false;
  ::ShowWindow(window, SW_RESTORE);
  // Topmost and back lifts the window above all others without leaving it topmost.
  ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return true;
}

namespace {

// Copies the skin archive out of the resources and hands it to the UI framework. The copy lives
// until the process ends, because the framework reads skin files from it on demand.
bool RegisterSkinFromResource() {
  HMODULE module = SkinUI::CWindowManagerUI::ResourceModule();
  HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(kSkinResourceId), kSkinResourceType);
  if (!resource) return false;
  HGLOBAL loaded = ::LoadResource(module, resource);
  if (!loaded) return false;
  DWORD size = ::SizeofResource(module, resource);
  const void* bytes = ::LockResource(loaded);
  if (size == 0 || !bytes) return false;
  auto* block = new unsigned char[size];
  memcpy(block, bytes, size);
  return SkinUI::CWindowManagerUI::RegisterSkinArchive(block, size, kSkinArchivePassword);
}

}  // namespace

int RunSetup(HINSTANCE instance, WizardRunner runWizard) {
  InitWorkDirAndLog(kLogFileName);
  CComInitializer com(COINIT_APARTMENTTHREADED);
  if (!com.Succeeded()) return 0;
  SkinUI::CWindowManagerUI::SetModuleInstance(instance);
  StopProtectionService();
  if (!RegisterSkinFromResource()) return 0;
  for (const wchar_t* image : ClientContract::kProductProcesses) KillProcessTree(image);

  CInstanceGuard guard(kInstanceSemaphoreName);
  if (guard.IsAlreadyRunning() && RaiseRunningWizard()) return 0;

  if (runWizard) {
    try {
      runWizard(instance);
    } catch (...) {
      // The wizard's failure must not change how the process ends: clean up and exit 0.
    }
  }
  return 0;
}

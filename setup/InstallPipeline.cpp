#include "setup/InstallPipeline.h"

#include <process.h>

#include <cctype>
#include <memory>
#include <utility>
#include <vector>

#include "archive/ZipExtractor.h"
#include "core/ControlManager.h"
#include "core/Md5.h"
#include "core/ScopedHandle.h"
#include "core/SystemHelpers.h"
#include "core/WriteLogFile.h"
#include "setup/ClientContract.h"
#include "setup/InstallRecords.h"
#include "setup/MainWnd.h"
#include "setup/ShellLinks.h"
#include "setup/Startup.h"
#include "setup/TaskbarPin.h"

namespace {

constexpr DWORD kDigestChunk = 256 * 1024;

bool SameDigest(const std::string& actual, const std::string& expected) {
  if (actual.size() != expected.size()) return false;
  for (size_t i = 0; i < actual.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(actual[i])) != std::tolower(static_cast<unsigned char>(expected[i])))
      return false;
  }
  return true;
}

// Queues the error box on the window's thread and writes the failure's log line.
void FailInstall(CMainWnd& wnd, const wchar_t* text, int logLine, const wchar_t* logArgument) {
  wnd.PostCall(wnd.GetHWND(), &CMainWnd::ShowInstallError, 0, new std::wstring(text));
  g_logFile.WriteLog(kInstallLogSource, logLine, kInstallLogFormat, logArgument);
}

void RegisterWithWindows(CMainWnd& wnd, const std::wstring& installFolder) {
  const std::wstring clientPath = installFolder + L"\\" + ClientContract::kClientExe;
  const std::wstring uninstallerPath = installFolder + L"\\" + ClientContract::kUninstallerExe;
  const CMainWnd::TInstallOptions options = wnd.InstallOptions();

  // Each step is best effort and independent of the ones before it.
  WriteSetupRecord(installFolder, GetRunningProgramPath());
  wnd.DesktopLinkPath().clear();
  if (options.desktopIcon) CreateDesktopShortcut(installFolder, wnd.DesktopLinkPath());
  if (options.taskbarPin) {
    std::wstring taskbar = GetTaskbarFolder();
    if (!taskbar.empty()) PinToTaskbar(taskbar, kDesktopLinkName);
  }
  CreateStartMenuShortcuts(clientPath, uninstallerPath);
  WriteUninstallEntry(installFolder, wnd.DesktopLinkPath());
  ApplyAutostart(options.powerUp, clientPath, installFolder + L"\\" + ClientContract::kClientConfigFile);
}

void RunInstall(CMainWnd& wnd) {
  wnd.SetStep(1);
  CWindowMultiThreadManager* service = CWindowMultiThreadManager::Instance();
  service->SelectApiHost();

  std::string fileUrl, fileMd5, versionCode;
  wnd.SetStep(2);
  if (!service->GetClientZipUrl(fileUrl, fileMd5, versionCode)) {
    FailInstall(wnd, kRequestFailedText, kRequestFailedLogLine, L"请求安装配置失败");
    return;
  }
  const std::wstring packagePath = GetPackageCachePath(g_workDir, fileUrl);
  CreateDirectoryTree(GetPackageCacheFolder(g_workDir));
  // The cache folder can be written by unelevated programs: from the digest check until the
  // unpacking has ended, the package is held open so that nobody can change or swap it.
  CHeldPackage package;
  if (!service->DownloadPackage(packagePath, fileUrl, fileMd5) || !package.OpenVerified(packagePath, fileMd5)) {
    FailInstall(wnd, kDownloadFailedText, kDownloadFailedLogLine, L"请求安装数据失败");
    return;
  }

  wnd.SetStep(4);
  const std::wstring installFolder = wnd.SelectedFolder();
  CreateDirectoryTree(installFolder);
  bool extracted = ZipExtractor::ExtractAll(packagePath, installFolder, nullptr);
  package.Release();
  if (!extracted) {
    FailInstall(wnd, kExtractFailedText, kExtractFailedLogLine, L"解压失败");
    return;
  }

  wnd.SetStep(5);
  wnd.SetInstallFolder(installFolder);
  RegisterWithWindows(wnd, installFolder);
  wnd.SetStep(6);
}

}  // namespace

bool CHeldPackage::OpenVerified(const std::wstring& path, const std::string& expectedMd5) {
  m_file.Reset();
  // Readers may share it (the extractor opens it by name); writers and deleters may not.
  CScopedFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  CMd5Context digest;
  std::vector<char> chunk(kDigestChunk);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.Get(), chunk.data(), kDigestChunk, &read, nullptr)) return false;
    if (read == 0) break;
    digest.Update(chunk.data(), read);
  }
  if (!SameDigest(digest.FinishHex(), expectedMd5)) return false;
  m_file = std::move(file);
  return true;
}

unsigned __stdcall InstallWorker(void*) {
  CMainWnd* wnd = g_mainWnd;
  if (!wnd) return 0;
  // Once for the whole worker: the link, pin and shell calls all run on this thread.
  CComInitializer com;
  RunInstall(*wnd);
  return 0;
}

bool CMainWnd::StartInstallWorker() {
  unsigned threadId = 0;
  HANDLE handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &InstallWorker, nullptr, 0, &threadId));
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  RegisterWorker(threadId, handle);
  return true;
}

// The install, run on its own worker thread: find the package through the product API, download
// and verify it into the cache, unpack it into the chosen folder and register the client with
// Windows. It talks to the wizard only through g_mainWnd: the step number, and on failure one queued
// ShowInstallError call with the text to show.
#pragma once

#include <windows.h>

#include <string>

#include "core/ScopedHandle.h"

// Log lines of the three failures, in the wizard's own log format.
constexpr wchar_t kInstallLogSource[] = L".\\MainWnd.cpp";
constexpr wchar_t kInstallLogFormat[] = L"安装错误：%s";
constexpr int kRequestFailedLogLine = 1157;
constexpr int kDownloadFailedLogLine = 1170;
constexpr int kExtractFailedLogLine = 1202;

constexpr wchar_t kRequestFailedText[] = L"网络错误，请求安装配置失败";
constexpr wchar_t kDownloadFailedText[] = L"网络错误，请求安装数据失败";
constexpr wchar_t kExtractFailedText[] = L"安装错误，解压失败";

// Thread procedure for _beginthreadex; the argument is unused. Always returns 0.
unsigned __stdcall InstallWorker(void* argument);

// Opens the package so that nothing can change, replace or delete it while it is open, and checks
// its MD5 digest (32 hexadecimal digits, either case) through that handle. On success the handle
// stays in held; otherwise held is closed.
class CHeldPackage {
 public:
  bool OpenVerified(const std::wstring& path, const std::string& expectedMd5);
  void Release() { m_file.Reset(); }
  bool IsHeld() const { return m_file.IsValid(); }

 private:
  CScopedFile m_file;
};

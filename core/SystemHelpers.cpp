#include "core/SystemHelpers.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "core/ScopedHandle.h"
#include "core/TextUtils.h"

namespace {

constexpr DWORD kRegistryDataLimit = 10240;
constexpr size_t kTaskParamsCapacity = 512;
constexpr int kLogonDelaySeconds = 15;

std::wstring Format(size_t capacity, const wchar_t* format, ...) {
  std::vector<wchar_t> buffer(capacity, L'\0');
  va_list args;
  va_start(args, format);
  int written = _vsnwprintf(buffer.data(), capacity - 1, format, args);
  va_end(args);
  if (written < 0 || static_cast<size_t>(written) >= capacity - 1) return std::wstring();
  return buffer.data();
}

bool QueryValue(HKEY root, const std::wstring& subKey, REGSAM extraAccess, const std::wstring& valueName,
                std::vector<BYTE>& data, LONG& status) {
  CScopedRegKey key;
  status = ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | extraAccess, key.Receive());
  if (status != ERROR_SUCCESS) return false;
  std::fill(data.begin(), data.end(), 0);
  // Two bytes stay back so a string stored without its terminator still ends inside the buffer.
  DWORD size = kRegistryDataLimit;
  status = ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr, data.data(), &size);
  return status == ERROR_SUCCESS;
}

}  // namespace

std::wstring GetSystemFolder() {
  wchar_t buffer[1024] = {};
  UINT length = ::GetSystemDirectoryW(buffer, 1024);
  if (length == 0 || length >= 1024) return std::wstring();
  return std::wstring(buffer, length);
}

bool StartSystemProgramHidden(const std::wstring& programName, const std::wstring& parameters) {
  std::wstring folder = GetSystemFolder();
  if (folder.empty()) return false;
  std::wstring program = folder + L"\\" + programName;
  std::wstring commandLine = L"\"" + program + L"\" " + parameters;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder.c_str(), &startup, &info))
    return false;
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return true;
}

std::wstring BuildKillProcessParams(const std::wstring& imageName) {
  return L"/c \"taskkill /f /im " + imageName + L" /t\"";
}

INT_PTR KillProcessTree(const std::wstring& imageName) {
  std::wstring params = BuildKillProcessParams(imageName);
  std::wstring folder = GetSystemFolder();
  std::wstring interpreter = folder + L"\\cmd.exe";
  ::OutputDebugStringW(params.c_str());
  // The interpreter runs in the system folder so "taskkill" resolves there, not next to the setup.
  return reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", interpreter.c_str(), params.c_str(), folder.c_str(), SW_HIDE));
}

bool RunHiddenCommand(const std::string& command) {
  return StartSystemProgramHidden(L"cmd.exe", L"/c \"" + AnsiToWide(command) + L"\"");
}

bool CreateDirectoryTree(const std::wstring& path) {
  if (::PathIsDirectoryW(path.c_str())) return true;
  size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return false;
  std::wstring parent = path.substr(0, separator);
  if (parent.empty()) return false;
  if (!::PathIsDirectoryW(parent.c_str()) && !CreateDirectoryTree(parent)) return false;
  if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  return true;
}

bool PathExists(const std::wstring& path) {
  if (path.empty()) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

bool ReadRegistryValue(HKEY rootKey, const std::wstring& subKey, const std::wstring& valueName, DWORD type,
                       std::wstring& text) {
  text.clear();
  std::vector<BYTE> data(kRegistryDataLimit + sizeof(wchar_t), 0);
  LONG status = ERROR_SUCCESS;
  if (!QueryValue(rootKey, subKey, 0, valueName, data, status)) {
    if (status != ERROR_FILE_NOT_FOUND) return false;
    if (!QueryValue(rootKey, subKey, KEY_WOW64_64KEY, valueName, data, status)) return false;
  }
  if (type == REG_SZ) {
    text = reinterpret_cast<const wchar_t*>(data.data());
  } else if (type == REG_DWORD || type == REG_BINARY) {
    LONG number;
    memcpy(&number, data.data(), sizeof(number));
    text = std::to_wstring(number);
  }
  return true;
}

std::wstring GetModuleDirectory(HMODULE module) {
  wchar_t path[512] = {};
  ::GetModuleFileNameW(module, path, 512);
  wchar_t drive[32] = {}, folder[512] = {}, name[512] = {}, extension[128] = {};
  _wsplitpath_s(path, drive, 32, folder, 512, name, 512, extension, 128);
  return std::wstring(drive) + folder;
}

std::wstring GetFileNameFromPath(const std::wstring& path) {
  size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

bool IsDirectoryEmpty(const std::wstring& folder, wchar_t* message, size_t capacity) {
  std::wstring pattern = folder + L"\\*.*";
  WIN32_FIND_DATAW entry;
  CScopedFind find(::FindFirstFileW(pattern.c_str(), &entry));
  if (!find) {
    if (message && capacity > 0) {
      _snwprintf(message, capacity - 1, L"检测文件夹是否为空失败[%s]", pattern.c_str());
      message[capacity - 1] = L'\0';
    }
    return false;
  }
  do {
    if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) return false;
  } while (::FindNextFileW(find.Get(), &entry));
  return true;
}

std::wstring BuildCreateLogonTaskParams(const std::wstring& taskName, const std::wstring& programPath) {
  return Format(kTaskParamsCapacity, L"/create /tn %s /tr \"\\\"%s\\\"\"  /sc ONLOGON /DELAY 0000:%2d /RL HIGHEST /f ",
                taskName.c_str(), programPath.c_str(), kLogonDelaySeconds);
}

std::wstring BuildDeleteLogonTaskParams(const std::wstring& taskName) {
  return Format(kTaskParamsCapacity, L"/delete /tn %s /f", taskName.c_str());
}

bool CreateLogonTask(const std::wstring& taskName, const std::wstring& programPath) {
  std::wstring params = BuildCreateLogonTaskParams(taskName, programPath);
  return !params.empty() && StartSystemProgramHidden(L"schtasks.exe", params);
}

bool DeleteLogonTask(const std::wstring& taskName) {
  std::wstring params = BuildDeleteLogonTaskParams(taskName);
  return !params.empty() && StartSystemProgramHidden(L"schtasks.exe", params);
}

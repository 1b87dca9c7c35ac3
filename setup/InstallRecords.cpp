#include "setup/InstallRecords.h"

#include <windows.h>

#include "core/SystemHelpers.h"
#include "setup/ClientContract.h"
#include "setup/RegistryKey.h"

namespace {

constexpr DWORD kModulePathCapacity = 512;

}  // namespace

bool WriteSetupRecord(const std::wstring& installFolder, const std::wstring& setupPath) {
  std::wstring file = installFolder + L"\\" + ClientContract::kSetupRecordFile;
  return ::WritePrivateProfileStringW(ClientContract::kSetupRecordSection, ClientContract::kSetupRecordPackPath,
                                      setupPath.c_str(), file.c_str()) != FALSE;
}

std::wstring GetRunningProgramPath() {
  wchar_t path[kModulePathCapacity] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, kModulePathCapacity - 1);
  // A cut path would name a different file; better none.
  if (length == 0 || length >= kModulePathCapacity - 1) return std::wstring();
  return std::wstring(path, length);
}

bool WriteClientConfigValue(const std::wstring& configPath, const wchar_t* key, const wchar_t* value) {
  return ::WritePrivateProfileStringW(ClientContract::kClientConfigSection, key, value, configPath.c_str()) != FALSE;
}

void WriteUninstallEntry(const std::wstring& folder, const std::wstring& desktopLinkPath) {
  CRegistryKey key;
  if (key.Create(HKEY_LOCAL_MACHINE, ClientContract::kUninstallKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                 nullptr) != ERROR_SUCCESS)
    return;
  std::wstring uninstaller = folder + L"\\" + ClientContract::kUninstallerExe;
  std::wstring client = folder + L"\\" + ClientContract::kClientExe;
  (void)key.WriteString(kUninstallDisplayName, kProductDisplayName);
  (void)key.WriteString(ClientContract::kUninstallString, uninstaller.c_str());
  (void)key.WriteString(ClientContract::kDisplayIcon, client.c_str());
  (void)key.WriteString(kUninstallDisplayShortcut, desktopLinkPath.c_str());
}

void ApplyAutostart(bool enabled, const std::wstring& clientPath, const std::wstring& configPath) {
  // "true" only says the scheduler was started; whether it succeeded is its own affair.
  if (enabled) {
    if (CreateLogonTask(ClientContract::kLogonTaskName, clientPath))
      WriteClientConfigValue(configPath, ClientContract::kClientConfigPowerUp, L"1");
  } else {
    if (DeleteLogonTask(ClientContract::kLogonTaskName))
      WriteClientConfigValue(configPath, ClientContract::kClientConfigPowerUp, L"0");
  }
}

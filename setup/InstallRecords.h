// The records an install leaves for the client and for Windows: the setup record and the client
// configuration in the install folder, the uninstall entry, and the start-at-logon task. Each step is
// best effort; only the autostart step's outcome decides what it writes.
#pragma once

#include <string>

constexpr wchar_t kProductDisplayName[] = L"岚鹊加速器";
constexpr wchar_t kUninstallDisplayName[] = L"DisplayName";
constexpr wchar_t kUninstallDisplayShortcut[] = L"DisplayShortcut";

// installFolder\setup.ini: [tovik] packpath = setupPath.
bool WriteSetupRecord(const std::wstring& installFolder, const std::wstring& setupPath);

// The full path of the running program; empty when it does not fit in 511 code units.
std::wstring GetRunningProgramPath();

// One value of section [config] of a client configuration file (folder\local.cfg).
bool WriteClientConfigValue(const std::wstring& configPath, const wchar_t* key, const wchar_t* value);

// HKEY_LOCAL_MACHINE uninstall entry: display name, uninstaller and icon in folder, and the desktop
// link ("" when none was made in this run). Values already there are overwritten.
void WriteUninstallEntry(const std::wstring& folder, const std::wstring& desktopLinkPath);

// enabled: (re)creates the logon task for clientPath and writes powerup = "1"; otherwise deletes the
// task and writes powerup = "0". Nothing is written when the scheduler program could not be started.
void ApplyAutostart(bool enabled, const std::wstring& clientPath, const std::wstring& configPath);

// What the setup fixes about the client it installs, the client's uninstaller and the product's
// other programs: names, files, keys and values that the installed product reads or that name its
// processes. Everything else about them belongs to the product.
#pragma once

namespace ClientContract {

// Package content, at the root of the package and so of the install folder.
constexpr wchar_t kClientExe[] = L"tvgate.exe";
constexpr wchar_t kUninstallerExe[] = L"unins000.exe";
constexpr wchar_t kClientStartArgument[] = L"-install";

// install folder + "\setup.ini": [tovik] packpath = the setup executable that installed the client.
constexpr wchar_t kSetupRecordFile[] = L"setup.ini";
constexpr wchar_t kSetupRecordSection[] = L"tovik";
constexpr wchar_t kSetupRecordPackPath[] = L"packpath";

// install folder + "\local.cfg": [config] lang = "zh-cn" | "zh-tw", powerup = "1" | "0".
constexpr wchar_t kClientConfigFile[] = L"local.cfg";
constexpr wchar_t kClientConfigSection[] = L"config";
constexpr wchar_t kClientConfigLang[] = L"lang";
constexpr wchar_t kClientConfigPowerUp[] = L"powerup";
constexpr wchar_t kLangSimplified[] = L"zh-cn";
constexpr wchar_t kLangTraditional[] = L"zh-tw";

// The scheduled task that starts the client at every logon.
constexpr wchar_t kLogonTaskName[] = L"tvgwRun";

// The uninstall entry under HKEY_LOCAL_MACHINE.
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\岚鹊加速器";
constexpr wchar_t kUninstallString[] = L"UninstallString";
constexpr wchar_t kDisplayIcon[] = L"DisplayIcon";

// Ended at start-up, in this order: the client, its tunnel process, the older client.
constexpr const wchar_t* kProductProcesses[] = {L"tvgate.exe", L"openvpn.exe", L"tovikgate.exe"};

// The product's protection service, stopped and deleted at start-up.
constexpr char kServiceStopCommand[] = "sc stop RudodadUzidizo";
constexpr char kServiceDeleteCommand[] = "sc delete RudodadUzidizo";

}  // namespace ClientContract

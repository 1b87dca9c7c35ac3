// Shell links (.lnk files) of the installed client: on the desktop and in a start-menu folder.
// Every call needs COM initialised on the calling thread (the install worker does that once).
#pragma once

#include <string>

constexpr wchar_t kDesktopLinkName[] = L"岚鹊加速器.lnk";
constexpr wchar_t kStartMenuFolderName[] = L"岚鹊加速器";
constexpr wchar_t kStartMenuClientLinkName[] = L"启动岚鹊加速器.lnk";
constexpr wchar_t kStartMenuUninstallLinkName[] = L"卸载岚鹊加速器.lnk";

// Writes a link whose only property is its target, replacing a link of that name. True only when
// the link file was saved.
bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath);

// The user's desktop folder; empty when the shell cannot name it.
std::wstring GetDesktopFolder();

// Links the desktop to installFolder\tvgate.exe. desktopLinkPath receives the link's path only when
// the link was written and is left as it was otherwise.
bool CreateDesktopShortcut(const std::wstring& installFolder, std::wstring& desktopLinkPath);

// The product's folder in the user's start menu; empty when the start menu cannot be found.
std::wstring GetStartMenuProductFolder();

// Creates the product's start-menu folder with a link to the client and one to its uninstaller.
// Best effort: nothing is reported.
void CreateStartMenuShortcuts(const std::wstring& clientPath, const std::wstring& uninstallerPath);

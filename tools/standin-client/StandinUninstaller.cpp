// A stand-in for the product's uninstaller ("unins000.exe"). After the user confirms (or at once with
// "/quiet"), it removes what the setup installed and registered: the package's files (listed in
// "files.lst" beside it, so nothing else in the folder is touched), the two configuration files, the
// desktop and start-menu links, the uninstall entry and the logon task. Its own file and the emptied
// folder go last, through a hidden command interpreter, since a running program cannot delete itself.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kTitle[] = L"岚鹊加速器卸载";
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\岚鹊加速器";
constexpr wchar_t kDesktopLinkName[] = L"岚鹊加速器.lnk";

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  ::GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

// Runs a program from the system folder, hidden, with the system folder as working folder.
bool RunSystemProgram(const std::wstring& program, const std::wstring& arguments, bool wait) {
  std::wstring folder = SystemFolder();
  std::wstring path = folder + L"\\" + program;
  std::wstring line = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW si = {sizeof(si)};
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                        &si, &pi))
    return false;
  if (wait) ::WaitForSingleObject(pi.hProcess, 30000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

std::vector<std::wstring> PackageFiles(const std::wstring& folder) {
  std::vector<std::wstring> files;
  FILE* f = _wfopen((folder + L"\\files.lst").c_str(), L"rb");
  if (!f) return files;
  char line[2048];
  while (fgets(line, sizeof(line), f)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty() || text.find("..") != std::string::npos || text[0] == '/' || text[0] == '\\' ||
        text.find(':') != std::string::npos)
      continue;  // only plain relative names inside the install folder
    wchar_t wide[2048] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, 2048);
    std::wstring name = wide;
    for (auto& c : name)
      if (c == L'/') c = L'\\';
    files.push_back(name);
  }
  fclose(f);
  return files;
}

void RemovePackageFiles(const std::wstring& folder, const std::wstring& self) {
  std::vector<std::wstring> files = PackageFiles(folder);
  for (const auto& name : files) {
    std::wstring path = folder + L"\\" + name;
    if (_wcsicmp(path.c_str(), self.c_str()) == 0) continue;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
  }
  // Folders of the package, deepest first; only empty ones go.
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    std::wstring sub = *it;
    for (size_t cut; (cut = sub.find_last_of(L'\\')) != std::wstring::npos;) {
      sub.resize(cut);
      ::RemoveDirectoryW((folder + L"\\" + sub).c_str());
    }
  }
  for (const wchar_t* extra : {L"files.lst", L"local.cfg", L"setup.ini", L"tvgate-started.txt"})
    ::DeleteFileW((folder + L"\\" + extra).c_str());
}

std::wstring ReadShortcutValue() {
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
      continue;
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    LONG status = ::RegQueryValueExW(key, L"DisplayShortcut", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    if (status == ERROR_SUCCESS) return value;
  }
  return std::wstring();
}

void RemoveLinks() {
  // The desktop link is taken from the uninstall entry, but only when it is the link the setup makes.
  std::wstring desktopLink = ReadShortcutValue();
  size_t slash = desktopLink.find_last_of(L'\\');
  if (slash != std::wstring::npos && desktopLink.compare(slash + 1, std::wstring::npos, kDesktopLinkName) == 0)
    ::DeleteFileW(desktopLink.c_str());
  wchar_t startMenu[MAX_PATH] = {};
  if (::SHGetSpecialFolderPathW(nullptr, startMenu, CSIDL_STARTMENU, FALSE)) {
    std::wstring folder = std::wstring(startMenu) + L"\\岚鹊加速器";
    ::DeleteFileW((folder + L"\\启动岚鹊加速器.lnk").c_str());
    ::DeleteFileW((folder + L"\\卸载岚鹊加速器.lnk").c_str());
    ::RemoveDirectoryW(folder.c_str());
  }
}

void RemoveUninstallEntry() {
  // A 32-bit setup writes the 32-bit view; remove the entry from whichever view holds it.
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, view, 0);
}

void RemoveSelfAndFolder(const std::wstring& self, const std::wstring& folder) {
  std::wstring command = L"/c ping -n 3 127.0.0.1 >nul & del /f /q \"" + self + L"\" & rmdir \"" + folder + L"\"";
  RunSystemProgram(L"cmd.exe", command, false);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  bool quiet = commandLine && wcsstr(commandLine, L"/quiet") != nullptr;
  if (!quiet && ::MessageBoxW(nullptr, L"确定要卸载岚鹊加速器及其所有组件吗？", kTitle,
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return 1;
  std::wstring self = OwnPath();
  std::wstring folder = FolderOf(self);
  RunSystemProgram(L"taskkill.exe", L"/f /im tvgate.exe", true);
  RunSystemProgram(L"schtasks.exe", L"/delete /tn tvgwRun /f", true);
  RemoveLinks();
  RemoveUninstallEntry();
  RemovePackageFiles(folder, self);
  RemoveSelfAndFolder(self, folder);
  if (!quiet) ::MessageBoxW(nullptr, L"岚鹊加速器已从您的电脑中卸载。", kTitle, MB_OK | MB_ICONINFORMATION);
  return 0;
}

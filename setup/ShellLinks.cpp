#include "setup/ShellLinks.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "core/ScopedHandle.h"
#include "core/SystemHelpers.h"
#include "setup/ClientContract.h"

namespace {

constexpr size_t kPathCapacity = 1024;

struct ItemIdListTraits {
  using Type = LPITEMIDLIST;
  static Type Invalid() { return nullptr; }
  static void Close(Type list) { ::CoTaskMemFree(list); }
};
using CScopedItemIdList = CScopedObject<ItemIdListTraits>;

}  // namespace

bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath) {
  CScopedComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())))
    return false;
  if (FAILED(link->SetPath(target.c_str()))) return false;
  CScopedComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) return false;
  return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

std::wstring GetDesktopFolder() {
  CScopedItemIdList list;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, list.Receive())) || !list) return std::wstring();
  wchar_t path[kPathCapacity] = {};
  if (!::SHGetPathFromIDListW(list.Get(), path)) return std::wstring();
  return path;
}

bool CreateDesktopShortcut(const std::wstring& installFolder, std::wstring& desktopLinkPath) {
  std::wstring target = installFolder + L"\\" + ClientContract::kClientExe;
  if (target.size() >= kPathCapacity) return false;
  std::wstring desktop = GetDesktopFolder();
  if (desktop.empty()) return false;
  std::wstring linkPath = desktop + L"\\" + kDesktopLinkName;
  // The uninstall entry names this path, so it is recorded only for a link that exists.
  if (!CreateShortcut(target, linkPath)) return false;
  desktopLinkPath = linkPath;
  return true;
}

std::wstring GetStartMenuProductFolder() {
  wchar_t path[kPathCapacity] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_STARTMENU, FALSE)) return std::wstring();
  return std::wstring(path) + L"\\" + kStartMenuFolderName;
}

void CreateStartMenuShortcuts(const std::wstring& clientPath, const std::wstring& uninstallerPath) {
  std::wstring folder = GetStartMenuProductFolder();
  if (folder.empty() || !CreateDirectoryTree(folder)) return;
  CreateShortcut(clientPath, folder + L"\\" + kStartMenuClientLinkName);
  CreateShortcut(uninstallerPath, folder + L"\\" + kStartMenuUninstallLinkName);
}

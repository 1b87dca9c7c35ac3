// Small checks shared by the setup tests: registry keys and values, shell link targets.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "core/ScopedHandle.h"

namespace setup_test {

inline bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0) {
  CScopedRegKey key;
  return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Receive()) == ERROR_SUCCESS;
}

inline bool CreateKey(HKEY root, const std::wstring& path, REGSAM view = 0) {
  CScopedRegKey key;
  return ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.Receive(), nullptr) ==
         ERROR_SUCCESS;
}

inline void DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view = 0) {
  CScopedRegKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, key.Receive()) != ERROR_SUCCESS) return;
  ::RegDeleteTreeW(key.Get(), nullptr);
  key.Reset();
  ::RegDeleteKeyExW(root, path.c_str(), view, 0);
}

// The REG_SZ value as stored; "<missing>" when it cannot be read.
inline std::wstring ReadStringValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  wchar_t data[2048] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return L"<missing>";
  return data;
}

// The target a saved link resolves to, as the shell resolves it (through the link's item list);
// empty when the link cannot be loaded.
inline std::wstring LinkTarget(const std::wstring& linkPath) {
  CScopedComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())))
    return std::wstring();
  CScopedComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) return std::wstring();
  if (FAILED(file->Load(linkPath.c_str(), STGM_READ))) return std::wstring();
  wchar_t target[MAX_PATH * 2] = {};
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(link->GetIDList(&items)) && items) {
    BOOL named = ::SHGetPathFromIDListW(items, target);
    ::CoTaskMemFree(items);
    if (named) return target;
  }
  if (FAILED(link->GetPath(target, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) return std::wstring();
  return target;
}

inline std::wstring ReadProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[1024] = {};
  ::GetPrivateProfileStringW(section, key, L"<missing>", value, 1024, file.c_str());
  return value;
}

}  // namespace setup_test

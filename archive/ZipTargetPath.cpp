#include "archive/ZipTargetPath.h"

#include <windows.h>

#include <cwchar>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring FullPath(const std::wstring& path) {
  DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring full(needed, L'\0');
  DWORD length = ::GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (length == 0 || length >= needed) return std::wstring();
  full.resize(length);
  return full;
}

}  // namespace

bool IsAbsoluteTargetName(const std::wstring& name) {
  return (!name.empty() && IsSeparator(name[0])) || (name.size() >= 2 && name[1] == L':');
}

void CreateTargetFolders(const std::wstring& root, const std::wstring& relativeFolder) {
  if (!root.empty()) {
    std::wstring trimmed = root;
    if (IsSeparator(trimmed.back())) trimmed.pop_back();
    if (!trimmed.empty() && !Exists(trimmed)) ::CreateDirectoryW(trimmed.c_str(), nullptr);
  }
  // Each prefix that ends at a separator is one folder level; an absolute name's drive or leading
  // separator is skipped as there is nothing to create there.
  for (size_t i = 1; i <= relativeFolder.size(); ++i) {
    if (i < relativeFolder.size() && !IsSeparator(relativeFolder[i])) continue;
    std::wstring prefix = root + relativeFolder.substr(0, i);
    if (prefix.size() == 2 && prefix[1] == L':') continue;
    if (!Exists(prefix)) ::CreateDirectoryW(prefix.c_str(), nullptr);
  }
}

bool IsInsideFolder(const std::wstring& folder, const std::wstring& path) {
  std::wstring base = FullPath(folder), full = FullPath(path);
  if (base.empty() || full.empty()) return false;
  if (!IsSeparator(base.back())) base += L'\\';
  return full.size() > base.size() && _wcsnicmp(full.c_str(), base.c_str(), base.size()) == 0;
}

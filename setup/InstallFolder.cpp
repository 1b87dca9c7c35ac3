#include "setup/InstallFolder.h"

#include <windows.h>

#include <cwctype>

namespace {

std::wstring Trim(const std::wstring& text) {
  size_t first = 0, last = text.size();
  while (first < last && std::iswspace(text[first])) ++first;
  while (last > first && std::iswspace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool IsDrivePath(const std::wstring& path) {
  return path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

bool IsNetworkPath(const std::wstring& path) {
  if (path.size() < 5 || path.compare(0, 2, L"\\\\") != 0) return false;
  // "\\?\" and "\\.\" are device namespaces, not folders a user types.
  if (path[2] == L'?' || path[2] == L'.') return false;
  const size_t shareStart = path.find(L'\\', 2);
  return shareStart != std::wstring::npos && shareStart > 2 && shareStart + 1 < path.size() &&
         path[shareStart + 1] != L'\\';
}

bool HasForbiddenCharacter(const std::wstring& path) {
  const size_t skip = IsDrivePath(path) ? 2 : 0;  // the drive's own colon
  for (size_t i = skip; i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 32 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|' || c == L'?' || c == L'*')
      return true;
  }
  return false;
}

}  // namespace

bool NormaliseInstallFolder(const std::wstring& typed, std::wstring& normalised) {
  normalised.clear();
  std::wstring path = Trim(typed);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  if (!(IsDrivePath(path) || IsNetworkPath(path)) || HasForbiddenCharacter(path)) return false;
  wchar_t full[MAX_PATH * 2] = {};
  const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
  if (length == 0 || length >= MAX_PATH * 2) return false;
  std::wstring result(full, length);
  while (result.size() > 3 && (result.back() == L'\\')) result.pop_back();
  if (result.size() == 2 && result[1] == L':') result += L'\\';
  if (!(IsDrivePath(result) || IsNetworkPath(result))) return false;
  normalised = result;
  return true;
}

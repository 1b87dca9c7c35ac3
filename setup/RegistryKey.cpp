#include "setup/RegistryKey.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace {

constexpr REGSAM kViewMask = KEY_WOW64_64KEY | KEY_WOW64_32KEY;
// Registry key names are at most 255 characters.
constexpr DWORD kKeyNameCapacity = 256;

}  // namespace

void CRegistryKey::Keep(HKEY key, REGSAM access) {
  m_key.Reset(key);
  m_view = access & kViewMask;
}

LONG CRegistryKey::Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
  HKEY key = nullptr;
  LONG status = ::RegOpenKeyExW(parent, subKey, 0, access, &key);
  if (status == ERROR_SUCCESS) Keep(key, access);
  return status;
}

LONG CRegistryKey::Create(HKEY parent, const wchar_t* subKey, wchar_t* keyClass, DWORD options, REGSAM access,
                          SECURITY_ATTRIBUTES* security, DWORD* disposition) {
  HKEY key = nullptr;
  DWORD created = 0;
  LONG status = ::RegCreateKeyExW(parent, subKey, 0, keyClass, options, access, security, &key, &created);
  if (status != ERROR_SUCCESS) return status;
  Keep(key, access);
  if (disposition) *disposition = created;
  return status;
}

LONG CRegistryKey::ReadString(const wchar_t* name, wchar_t* buffer, DWORD& size) const {
  if (!buffer) return ERROR_INVALID_PARAMETER;
  // Read into scratch space first: the caller's buffer changes only for a value that passes.
  std::vector<wchar_t> scratch(size > 0 ? size : 1);
  DWORD type = REG_NONE;
  DWORD bytes = size * sizeof(wchar_t);
  LONG status = ::RegQueryValueExW(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(scratch.data()), &bytes);
  if (status != ERROR_SUCCESS) return status;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
  if (bytes == 0) {
    if (size == 0) return ERROR_MORE_DATA;
    buffer[0] = L'\0';
    size = 1;
    return ERROR_SUCCESS;
  }
  // Without its terminator the text would run on into whatever follows it.
  if (bytes % sizeof(wchar_t) != 0 || scratch[bytes / sizeof(wchar_t) - 1] != L'\0') return ERROR_INVALID_DATA;
  size = bytes / sizeof(wchar_t);
  std::memcpy(buffer, scratch.data(), bytes);
  return ERROR_SUCCESS;
}

LONG CRegistryKey::WriteString(const wchar_t* name, const wchar_t* text, DWORD type) const {
  if (!text) return ERROR_INVALID_DATA;
  DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(m_key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(text), bytes);
}

LONG CRegistryKey::DeleteSubKey(const wchar_t* name) const {
  // The program targets systems that all have RegDeleteKeyExW, the call that honours the view.
  return ::RegDeleteKeyExW(m_key.Get(), name, m_view, 0);
}

LONG CRegistryKey::DeleteTree(const wchar_t* name) const {
  CRegistryKey subKey;
  LONG status = subKey.Open(m_key.Get(), name, m_view | KEY_READ | KEY_WRITE);
  if (status != ERROR_SUCCESS) return status;
  for (;;) {
    wchar_t child[kKeyNameCapacity] = {};
    DWORD length = kKeyNameCapacity;
    // Always the first remaining child: deleting shifts the indexes of the rest.
    if (::RegEnumKeyExW(subKey.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    status = subKey.DeleteTree(child);
    if (status != ERROR_SUCCESS) return status;
  }
  subKey.Close();
  return DeleteSubKey(name);
}

LONG CRegistryKey::Close() {
  LONG status = ERROR_SUCCESS;
  if (m_key.IsValid()) status = ::RegCloseKey(m_key.Take());
  m_view = 0;
  return status;
}

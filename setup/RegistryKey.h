// A registry key that remembers the registry view (32- or 64-bit) it was opened in, so that keys
// deleted through it are deleted in that same view. Every operation returns a Win32 error code
// (ERROR_SUCCESS = 0 on success); an out-parameter is left untouched when the call fails.
#pragma once

#include <windows.h>

#include "core/ScopedHandle.h"

class CRegistryKey {
 public:
  CRegistryKey() = default;
  ~CRegistryKey() = default;
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // On success any key held before is closed and the new one is kept with the view bits
  // (KEY_WOW64_64KEY / KEY_WOW64_32KEY) of access.
  [[nodiscard]] LONG Open(HKEY parent, const wchar_t* subKey, REGSAM access);
  // Creates the key when missing, opens it when present; disposition (may be null) tells which.
  [[nodiscard]] LONG Create(HKEY parent, const wchar_t* subKey, wchar_t* keyClass, DWORD options, REGSAM access,
                            SECURITY_ATTRIBUTES* security, DWORD* disposition = nullptr);

  // size: the buffer's capacity in code units on entry; on success the value's length in code
  // units, terminator included. Only REG_SZ / REG_EXPAND_SZ values whose data ends in a terminator
  // are accepted (ERROR_INVALID_DATA otherwise); an empty value reads as "" with size 1.
  [[nodiscard]] LONG ReadString(const wchar_t* name, wchar_t* buffer, DWORD& size) const;
  // Stores text with its terminator. Null text is ERROR_INVALID_DATA.
  [[nodiscard]] LONG WriteString(const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ) const;

  // Deletes a sub-key without children, in this key's view.
  [[nodiscard]] LONG DeleteSubKey(const wchar_t* name) const;
  // Deletes a sub-key and everything below it, depth first, in this key's view.
  [[nodiscard]] LONG DeleteTree(const wchar_t* name) const;

  LONG Close();

  HKEY Get() const { return m_key.Get(); }
  REGSAM View() const { return m_view; }
  bool IsOpen() const { return m_key.IsValid(); }

 private:
  void Keep(HKEY key, REGSAM access);

  CScopedRegKey m_key;
  REGSAM m_view = 0;
};

// The Info-ZIP archives made at test time (tests/archive/make-zip-fixtures.sh) and small helpers
// around them.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace zip_test {

// A file below the fixture folder, for example FixturePath(L"src\\pkg\\readme.txt").
inline std::wstring FixturePath(const std::wstring& name) {
  return testing_support::EnvironmentPath("TOVIK_BINARY_DIR") + L"\\tests\\archive-fixtures\\" + name;
}

inline std::string FixtureBytes(const std::wstring& name) { return testing_support::ReadFileBytes(FixturePath(name)); }

inline uint64_t AsNumber(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

inline uint64_t UnixToFileTime(uint32_t seconds) { return seconds * 10000000ULL + 116444736000000000ULL; }

struct FileFacts {
  bool exists = false;
  DWORD attributes = 0;
  uint64_t writeTime = 0;
};

inline FileFacts Facts(const std::wstring& path) {
  FileFacts facts;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return facts;
  facts.exists = true;
  facts.attributes = data.dwFileAttributes;
  facts.writeTime = AsNumber(data.ftLastWriteTime);
  return facts;
}

}  // namespace zip_test

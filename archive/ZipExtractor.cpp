#include "archive/ZipExtractor.h"

#include <windows.h>

#include "archive/ZipFacade.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\archive\\ZipExtractor.cpp"

namespace {

bool IsFolder(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool ZipExtractor::ExtractAll(const std::wstring& packagePath, const std::wstring& targetFolder,
                              const char* password) {
  if (packagePath.empty() || targetFolder.empty() || !IsFile(packagePath)) {
    WRITE_LOG(L"zip: nothing to extract from [%s]", packagePath.c_str());
    return false;
  }
  CreateFolderPath(targetFolder);
  CScopedZip zip(ZipOpenFile(packagePath.c_str(), password));
  if (!zip) return false;
  ZipItemInfo info;
  if (ZipSetTargetFolder(zip.Get(), targetFolder.c_str()) != ZipOk || ZipItemAt(zip.Get(), -1, &info) != ZipOk)
    return false;
  int count = info.index;
  for (int index = 0; index < count; ++index) {
    ZipResult result = ZipItemAt(zip.Get(), index, &info);
    if (result == ZipOk) result = ZipUnpackToFile(zip.Get(), index, info.name);
    if (result != ZipOk) {
      WRITE_LOG(L"zip: item %d [%s] of %s failed: 0x%x", index, info.name, packagePath.c_str(),
                static_cast<unsigned>(result));
      return false;
    }
  }
  return true;
}

bool ZipExtractor::CreateFolderPath(const std::wstring& folder) {
  if (IsFolder(folder)) return true;
  if (folder.empty() || folder.size() >= MAX_PATH) return false;
  std::wstring path;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = folder.find_first_of(L"\\/", start);
    if (end == std::wstring::npos) end = folder.size();
    std::wstring component = folder.substr(start, end - start);
    start = end + 1;
    // Empty components (a leading separator, doubled or trailing separators) add nothing to create.
    if (component.empty()) {
      if (path.empty() && end == 0) path = L"\\";
      continue;
    }
    path += component + L"\\";
    if (IsFolder(path)) continue;
    if (!::CreateDirectoryW(path.c_str(), nullptr)) {
      WRITE_LOG(L"zip: cannot create folder %s (error %u)", path.c_str(), static_cast<unsigned>(::GetLastError()));
      return false;
    }
  }
  return true;
}

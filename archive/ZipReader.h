// One open archive as the facade sees it: item descriptions (with a one-item cache), lookup by
// name, and unpacking an item to a file below the target folder or to memory in pieces.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/ZipArchive.h"
#include "archive/ZipItemStream.h"
#include "archive/ZipTypes.h"

class ZipReader {
 public:
  // Null when no valid end record is found. password may be null or empty for none.
  static std::unique_ptr<ZipReader> Open(std::unique_ptr<ZipSource> source, const char* password);

  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Index -1 describes the archive: info.index is the item count, everything else 0.
  ZipResult ItemAt(int index, ZipItemInfo& info);
  // outIndex and info may be null. ZipNotFound leaves both untouched.
  ZipResult Lookup(const wchar_t* name, bool ignoreCase, int* outIndex, ZipItemInfo* info);
  // Relative target names resolve against the target folder and must stay below it
  // (ZipBadArgument otherwise). A file that fails part-way is removed again.
  ZipResult UnpackToFile(int index, const std::wstring& targetName);
  // ZipMoreData: the buffer is full and the item goes on; the next call with the same index
  // continues. ZipOk at the item's end, after which the next call starts the item afresh.
  ZipResult UnpackToMemory(int index, void* buffer, uint32_t length);
  // ZipBadArgument for an empty folder or one that leaves no room for a name below it.
  ZipResult SetTargetFolder(const std::wstring& folder);

 private:
  ZipReader() = default;
  ZipResult Describe(int index, ZipItemInfo& info);
  ZipResult OpenItem(int index);
  void CloseItem();
  static HANDLE CreateTargetFile(const std::wstring& target, DWORD attributes);
  ZipResult WriteItemFile(const std::wstring& target, const ZipItemInfo& info);
  ZipResult CopyItemData(HANDLE file);
  bool NameMatches(const std::string& wanted, bool ignoreCase) const;

  std::unique_ptr<ZipArchive> m_archive;
  std::unique_ptr<ZipItemStream> m_stream;
  int m_openItem = -1;
  ZipItemInfo m_cachedInfo = {};
  int m_cachedIndex = -1;
  std::string m_password;
  std::unique_ptr<uint8_t[]> m_extractBuffer;
  std::wstring m_baseFolder;
  std::wstring m_lastFolderMade;
};

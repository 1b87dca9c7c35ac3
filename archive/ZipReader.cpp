#include "archive/ZipReader.h"

#include <vector>

#include "archive/ZipItemDescription.h"
#include "archive/ZipTargetPath.h"
#include "core/ScopedHandle.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\archive\\ZipReader.cpp"

namespace {

constexpr size_t kLookupNameLimit = 256;

bool EndsWithSeparator(const std::wstring& path) {
  return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

std::string WideToAnsi(const wchar_t* text) {
  int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string bytes(length, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, &bytes[0], length, nullptr, nullptr);
  bytes.resize(length - 1);
  return bytes;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

const FILETIME* TimeOrNull(const FILETIME& time) {
  return (time.dwLowDateTime || time.dwHighDateTime) ? &time : nullptr;
}

}  // namespace

std::unique_ptr<ZipReader> ZipReader::Open(std::unique_ptr<ZipSource> source, const char* password) {
  std::unique_ptr<ZipArchive> archive = ZipArchive::Open(std::move(source));
  if (!archive) return nullptr;
  std::unique_ptr<ZipReader> reader(new ZipReader);
  reader->m_archive = std::move(archive);
  if (password) reader->m_password = password;
  DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring current(needed, L'\0');
  DWORD length = needed ? ::GetCurrentDirectoryW(needed, &current[0]) : 0;
  current.resize(length < needed ? length : 0);
  reader->m_baseFolder = EndsWithSeparator(current) ? current : current + L'/';
  return reader;
}

void ZipReader::CloseItem() {
  m_stream.reset();
  m_openItem = -1;
}

ZipResult ZipReader::ItemAt(int index, ZipItemInfo& info) {
  CloseItem();
  if (index < -1 || index >= m_archive->EntryCount()) return ZipBadArgument;
  if (index == -1) {
    info = ZipItemInfo{};
    info.index = m_archive->EntryCount();
    return ZipOk;
  }
  return Describe(index, info);
}

ZipResult ZipReader::Describe(int index, ZipItemInfo& info) {
  if (index == m_cachedIndex) {
    info = m_cachedInfo;
    return ZipOk;
  }
  ZipLocalLayout layout;
  if (!m_archive->GoTo(index) || !m_archive->CheckLocalHeader(layout)) return ZipCorrupt;
  std::vector<uint8_t> extra(layout.extraLength);
  if (!extra.empty() && !m_archive->ReadAt(layout.extraOffset, extra.data(), layout.extraLength)) {
    WRITE_LOG(L"zip: local extra field of item %d unreadable", index);
    return ZipReadFailed;
  }
  ZipItemInfo described;
  if (!DescribeEntry(index, m_archive->Cursor(), extra.data(), extra.size(), described)) return ZipCorrupt;
  m_cachedInfo = described;
  m_cachedIndex = index;
  info = described;
  return ZipOk;
}

bool ZipReader::NameMatches(const std::string& wanted, bool ignoreCase) const {
  const std::string& name = m_archive->Cursor().name;
  if (name.size() != wanted.size()) return false;
  if (!ignoreCase) return name == wanted;
  for (size_t i = 0; i < name.size(); ++i) {
    if (FoldAscii(name[i]) != FoldAscii(wanted[i])) return false;
  }
  return true;
}

ZipResult ZipReader::Lookup(const wchar_t* name, bool ignoreCase, int* outIndex, ZipItemInfo* info) {
  std::string wanted = name ? WideToAnsi(name) : std::string();
  if (wanted.empty() || wanted.size() >= kLookupNameLimit) return ZipNotFound;
  // The walk starts from the first entry, so a cursor left on an unreadable entry by an earlier
  // call does not hide the readable entries in front of it.
  int remembered = m_archive->CursorIndex();
  for (bool more = m_archive->GoToFirst(); more; more = m_archive->GoToNext()) {
    if (!NameMatches(wanted, ignoreCase)) continue;
    CloseItem();
    int index = m_archive->CursorIndex();
    if (outIndex) *outIndex = index;
    return info ? Describe(index, *info) : ZipOk;
  }
  m_archive->GoTo(remembered);
  return ZipNotFound;
}

ZipResult ZipReader::SetTargetFolder(const std::wstring& folder) {
  std::wstring base = EndsWithSeparator(folder) ? folder : folder + L'/';
  // The folder with its separator must leave room for a name and the terminator in MAX_PATH.
  if (folder.empty() || base.size() >= MAX_PATH - 1) {
    WRITE_LOG(L"zip: target folder refused (%d characters)", static_cast<int>(folder.size()));
    return ZipBadArgument;
  }
  m_baseFolder = base;
  return ZipOk;
}

ZipResult ZipReader::UnpackToFile(int index, const std::wstring& targetName) {
  CloseItem();
  if (index < 0 || index >= m_archive->EntryCount() || targetName.empty()) return ZipBadArgument;
  ZipItemInfo info;
  ZipResult result = Describe(index, info);
  if (result != ZipOk) return result;
  // The description may have come from the cache; the data is read at the cursor.
  if (!m_archive->GoTo(index)) return ZipCorrupt;
  bool absolute = IsAbsoluteTargetName(targetName);
  std::wstring root = absolute ? std::wstring() : m_baseFolder;
  bool directory = (info.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  size_t split = targetName.find_last_of(L"\\/");
  std::wstring folderPart = directory ? targetName
                            : split == std::wstring::npos ? std::wstring()
                                                          : targetName.substr(0, split + 1);
  if (!absolute && !IsInsideFolder(m_baseFolder, root + targetName)) {
    WRITE_LOG(L"zip: item %d would land outside the target folder: %s", index, targetName.c_str());
    return ZipBadArgument;
  }
  // Packages list a folder's files together: the folders made for the previous item usually serve
  // this one too, and checking them again costs a file-system query per level.
  std::wstring folderPath = root + folderPart;
  if (folderPath != m_lastFolderMade) {
    CreateTargetFolders(root, folderPart);
    m_lastFolderMade = folderPath;
  }
  if (directory) return ZipOk;
  return WriteItemFile(root + targetName, info);
}

// CREATE_ALWAYS refuses a read-only file, or a hidden one when the new attributes lack "hidden":
// such a file from an earlier install is made normal and the create tried once more. A fresh
// install never pays for the extra call.
HANDLE ZipReader::CreateTargetFile(const std::wstring& target, DWORD attributes) {
  HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_ACCESS_DENIED) return file;
  if (!::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  file = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  // The retry replaced an existing file; say so as the first attempt would have.
  if (file != INVALID_HANDLE_VALUE) ::SetLastError(ERROR_ALREADY_EXISTS);
  return file;
}

ZipResult ZipReader::WriteItemFile(const std::wstring& target, const ZipItemInfo& info) {
  // Windows marks every new file for archiving anyway; asking for "normal" spares Wine a stored
  // attribute record per file.
  DWORD attributes = info.attributes & ~FILE_ATTRIBUTE_DIRECTORY;
  DWORD createAttributes = attributes == FILE_ATTRIBUTE_ARCHIVE ? FILE_ATTRIBUTE_NORMAL : attributes;
  CScopedFile file(CreateTargetFile(target, createAttributes));
  if (!file) {
    WRITE_LOG(L"zip: cannot create %s (error %u)", target.c_str(), static_cast<unsigned>(::GetLastError()));
    return ZipOpenFailed;
  }
  bool replaced = ::GetLastError() == ERROR_ALREADY_EXISTS;
  if (info.uncompressedSize != 0) {
    ZipResult result = CopyItemData(file.Get());
    if (result != ZipOk) {
      // No half-written or corrupt file is left to pass for the real one.
      file.Reset();
      ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(target.c_str());
      return result;
    }
  }
  ::SetFileTime(file.Get(), TimeOrNull(info.creationTime), TimeOrNull(info.accessTime), TimeOrNull(info.writeTime));
  file.Reset();
  // Wine keeps a replaced file's old attributes whatever CREATE_ALWAYS was given; set them again.
  if (replaced) ::SetFileAttributesW(target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
  return ZipOk;
}

ZipResult ZipReader::CopyItemData(HANDLE file) {
  ZipResult result = ZipOk;
  std::unique_ptr<ZipItemStream> stream = ZipItemStream::Open(*m_archive, m_password, result);
  if (!stream) return result;
  if (!m_extractBuffer) m_extractBuffer.reset(new uint8_t[ZipItemStream::kChunkSize]);
  for (;;) {
    ZipItemStream::Outcome outcome = stream->Read(m_extractBuffer.get(), ZipItemStream::kChunkSize);
    if (outcome.status == ZipItemStream::Status::BadPassword || outcome.status == ZipItemStream::Status::Failed)
      return outcome.error;
    DWORD written = 0;
    if (outcome.delivered &&
        (!::WriteFile(file, m_extractBuffer.get(), outcome.delivered, &written, nullptr) ||
         written != outcome.delivered)) {
      WRITE_LOG(L"zip: write failed (error %u)", static_cast<unsigned>(::GetLastError()));
      return ZipWriteFailed;
    }
    if (outcome.status == ZipItemStream::Status::End) return ZipOk;
    if (outcome.delivered == 0) return ZipInflateFailed;
  }
}

ZipResult ZipReader::OpenItem(int index) {
  CloseItem();
  if (index < 0 || index >= m_archive->EntryCount()) return ZipBadArgument;
  if (!m_archive->GoTo(index)) return ZipCorrupt;
  ZipResult result = ZipOk;
  m_stream = ZipItemStream::Open(*m_archive, m_password, result);
  if (!m_stream) return result;
  m_openItem = index;
  return ZipOk;
}

ZipResult ZipReader::UnpackToMemory(int index, void* buffer, uint32_t length) {
  if (!buffer && length) return ZipBadArgument;
  if (index != m_openItem || !m_stream) {
    ZipResult result = OpenItem(index);
    if (result != ZipOk) return result;
  }
  ZipItemStream::Outcome outcome = m_stream->Read(static_cast<uint8_t*>(buffer), length);
  if (outcome.status == ZipItemStream::Status::Delivering && outcome.delivered > 0) return ZipMoreData;
  // The end, a failure or a read that delivered nothing all close the stream, so the next call
  // for this item starts it afresh.
  CloseItem();
  if (outcome.status == ZipItemStream::Status::End) return ZipOk;
  return outcome.status == ZipItemStream::Status::Delivering ? ZipInflateFailed : outcome.error;
}

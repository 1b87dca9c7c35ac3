#include "archive/ZipFacade.h"

#include <memory>
#include <new>

#include "archive/ZipReader.h"
#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\archive\\ZipFacade.cpp"

struct ZipHandleData {
  std::unique_ptr<ZipReader> reader;
};

namespace {

ZipHandle Wrap(std::unique_ptr<ZipReader> reader) {
  if (!reader) return nullptr;
  return new ZipHandleData{std::move(reader)};
}

}  // namespace

ZipHandle ZipOpenFile(const wchar_t* path, const char* password) {
  if (!path) return nullptr;
  std::unique_ptr<ZipSource> source = ZipSource::OpenFile(path);
  if (!source) {
    WRITE_LOG(L"zip: cannot open %s (error %u)", path, static_cast<unsigned>(::GetLastError()));
    return nullptr;
  }
  return Wrap(ZipReader::Open(std::move(source), password));
}

ZipHandle ZipOpenMemory(const void* buffer, uint32_t length, const char* password) {
  return Wrap(ZipReader::Open(ZipSource::FromMemory(buffer, length), password));
}

ZipResult ZipItemAt(ZipHandle handle, int index, ZipItemInfo* info) {
  if (!handle || !info) return ZipBadArgument;
  info->index = 0;
  info->name[0] = L'\0';
  info->uncompressedSize = 0;
  return handle->reader->ItemAt(index, *info);
}

ZipResult ZipLookup(ZipHandle handle, const wchar_t* name, bool ignoreCase, int* outIndex, ZipItemInfo* info) {
  if (!handle) return ZipBadArgument;
  ZipResult result = handle->reader->Lookup(name, ignoreCase, outIndex, info);
  if (result == ZipNotFound) {
    if (outIndex) *outIndex = -1;
    if (info) {
      *info = ZipItemInfo{};
      info->index = -1;
    }
  }
  return result;
}

ZipResult ZipUnpackToFile(ZipHandle handle, int index, const wchar_t* targetName) {
  if (!handle || !targetName) return ZipBadArgument;
  return handle->reader->UnpackToFile(index, targetName);
}

ZipResult ZipUnpackToMemory(ZipHandle handle, int index, void* buffer, uint32_t length) {
  if (!handle) return ZipBadArgument;
  return handle->reader->UnpackToMemory(index, buffer, length);
}

ZipResult ZipSetTargetFolder(ZipHandle handle, const wchar_t* folder) {
  if (!handle || !folder) return ZipBadArgument;
  return handle->reader->SetTargetFolder(folder);
}

ZipResult ZipCloseArchive(ZipHandle handle) {
  if (!handle) return ZipBadArgument;
  delete handle;
  return ZipOk;
}

ZipResult ZipReadItem(ZipHandle handle, const wchar_t* name, std::vector<uint8_t>& data) {
  data.clear();
  ZipItemInfo info;
  int index = -1;
  ZipResult result = ZipLookup(handle, name, true, &index, &info);
  if (result != ZipOk) return result;
  uint32_t size = static_cast<uint32_t>(info.uncompressedSize);
  try {
    data.resize(size);
  } catch (const std::bad_alloc&) {
    WRITE_LOG(L"zip: no memory for %u bytes of %s", size, name);
    return ZipInflateFailed;
  }
  // The declared size bounds what the stream delivers, so one call reaches the end.
  result = ZipUnpackToMemory(handle, index, data.data(), size);
  if (result != ZipOk) data.clear();
  return result;
}

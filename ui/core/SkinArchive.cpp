// The skin archive over the ZIP facade.
#include <cstdint>
#include <vector>

#include "archive/ZipFacade.h"
#include "ui/core/SkinFiles.h"

namespace SkinUI {
namespace skin_archive {

void* OpenMemory(const void* data, size_t length, const char* password) {
  if (!data || length == 0 || length > UINT32_MAX) return nullptr;
  return ZipOpenMemory(data, static_cast<uint32_t>(length), password);
}

void* OpenFile(const wchar_t* path, const char* password) { return ZipOpenFile(path, password); }

void Close(void* handle) {
  if (handle) ZipCloseArchive(static_cast<ZipHandle>(handle));
}

SkinReadStatus ReadItem(void* handle, const wchar_t* name, std::string& bytes, size_t limit) {
  bytes.clear();
  auto zip = static_cast<ZipHandle>(handle);
  if (!zip) return SkinReadStatus::kArchiveMissing;
  int index = -1;
  ZipItemInfo info = {};
  if (ZipLookup(zip, name, true, &index, &info) != ZipOk || index < 0) return SkinReadStatus::kNotInArchive;
  // The declared size is checked before anything is allocated for it.
  uint32_t size = static_cast<uint32_t>(info.uncompressedSize);
  if (size == 0) return SkinReadStatus::kEmpty;
  if (size > limit) return SkinReadStatus::kTooLarge;
  bytes.resize(size);
  ZipResult result = ZipUnpackToMemory(zip, index, &bytes[0], static_cast<uint32_t>(bytes.size()));
  if (result != ZipOk && result != ZipMoreData) {
    bytes.clear();
    return SkinReadStatus::kUnzipFailed;
  }
  return SkinReadStatus::kOk;
}

}  // namespace skin_archive
}  // namespace SkinUI

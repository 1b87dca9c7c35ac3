// The skin archive. The ZIP reader is not part of the build yet: the registered buffer is kept, and
// every item lookup reports the item as missing, so skins are read from files until it lands.
#include <cstdlib>

#include "ui/core/SkinFiles.h"

namespace SkinUI {
namespace skin_archive {

namespace {
struct TPendingArchive {
  const void* data;
  size_t length;
};
}  // namespace

void* OpenMemory(const void* data, size_t length, const char*) {
  if (!data || length == 0) return nullptr;
  return new TPendingArchive{data, length};
}

void* OpenFile(const wchar_t*, const char*) { return nullptr; }

void Close(void* handle) { delete static_cast<TPendingArchive*>(handle); }

SkinReadStatus ReadItem(void* handle, const wchar_t*, std::string& bytes, size_t) {
  bytes.clear();
  return handle ? SkinReadStatus::kNotInArchive : SkinReadStatus::kArchiveMissing;
}

}  // namespace skin_archive
}  // namespace SkinUI

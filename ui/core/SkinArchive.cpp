// The skin archive over the ZIP facade.
#include "ui/core/SkinFiles.h"

namespace SkinUI {
namespace skin_archive {

// The ZIP reader is not part of the build yet: every archive operation reports that the archive
// cannot be opened, so skins are read from files until it lands.
void* OpenMemory(const void*, size_t, const char*) { return nullptr; }
void* OpenFile(const wchar_t*, const char*) { return nullptr; }
void Close(void*) {}
SkinReadStatus ReadItem(void* handle, const wchar_t*, std::string& bytes, size_t) {
  bytes.clear();
  return handle ? SkinReadStatus::kNotInArchive : SkinReadStatus::kArchiveMissing;
}

}  // namespace skin_archive
}  // namespace SkinUI

// Reads the bytes of a skin file: from the kept skin archive when one is registered, else from the
// resource folder. The one place that knows where skin files come from.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace SkinUI {

enum class SkinReadStatus {
  kOk,
  kOpenFailed,     // "Error opening file"
  kEmpty,          // "File is empty"
  kTooLarge,       // "File too large"
  kReadFailed,     // "Could not read file"
  kArchiveMissing, // "Error opening zip file"
  kNotInArchive,   // "Could not find ziped file"
  kUnzipFailed,    // "Could not unzip file"
};

constexpr size_t kMaxSkinFileBytes = 4194304;

// The loader's message for a status ("" for kOk).
const wchar_t* SkinReadMessage(SkinReadStatus status);

// Reads `name` (relative to the resource folder, or an item of the skin archive).
SkinReadStatus ReadSkinFile(const wchar_t* name, std::string& bytes, size_t limit = kMaxSkinFileBytes);
// Reads a file by path, whole.
SkinReadStatus ReadWholeFile(const wchar_t* path, std::string& bytes, size_t limit = kMaxSkinFileBytes);

// The archive behind the skin: a thin layer over the ZIP facade.
namespace skin_archive {
void* OpenMemory(const void* data, size_t length, const char* password);
void* OpenFile(const wchar_t* path, const char* password);
void Close(void* handle);
// Reads a whole item found by name ignoring case.
SkinReadStatus ReadItem(void* handle, const wchar_t* name, std::string& bytes, size_t limit);
}  // namespace skin_archive

}  // namespace SkinUI

#include "ui/core/SkinFiles.h"

#include "core/ScopedHandle.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

const wchar_t* SkinReadMessage(SkinReadStatus status) {
  switch (status) {
    case SkinReadStatus::kOk: return L"";
    case SkinReadStatus::kOpenFailed: return L"Error opening file";
    case SkinReadStatus::kEmpty: return L"File is empty";
    case SkinReadStatus::kTooLarge: return L"File too large";
    case SkinReadStatus::kReadFailed: return L"Could not read file";
    case SkinReadStatus::kArchiveMissing: return L"Error opening zip file";
    case SkinReadStatus::kNotInArchive: return L"Could not find ziped file";
    case SkinReadStatus::kUnzipFailed: return L"Could not unzip file";
  }
  return L"";
}

SkinReadStatus ReadWholeFile(const wchar_t* path, std::string& bytes, size_t limit) {
  bytes.clear();
  CScopedFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return SkinReadStatus::kOpenFailed;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.Get(), &size)) return SkinReadStatus::kReadFailed;
  if (size.QuadPart == 0) return SkinReadStatus::kEmpty;
  if (static_cast<unsigned long long>(size.QuadPart) > limit) return SkinReadStatus::kTooLarge;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    bytes.clear();
    return SkinReadStatus::kReadFailed;
  }
  return SkinReadStatus::kOk;
}

SkinReadStatus ReadSkinFile(const wchar_t* name, std::string& bytes, size_t limit) {
  bytes.clear();
  CUIString path = CWindowManagerUI::SkinFolder();
  path += name;
  if (CWindowManagerUI::SkinArchiveName().IsBlank()) return ReadWholeFile(path, bytes, limit);
  void* handle = nullptr;
  bool kept = CWindowManagerUI::IsSkinArchiveKept();
  if (kept) {
    handle = CWindowManagerUI::SkinArchiveHandle();
  } else {
    CUIString archive = CWindowManagerUI::SkinFolder() + CWindowManagerUI::SkinArchiveName();
    handle = skin_archive::OpenFile(archive, CWindowManagerUI::SkinArchivePassword());
  }
  if (!handle) return SkinReadStatus::kArchiveMissing;
  SkinReadStatus status = skin_archive::ReadItem(handle, path, bytes, limit);
  if (!kept) skin_archive::Close(handle);
  return status;
}

}  // namespace SkinUI

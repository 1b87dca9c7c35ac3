// The per-window manager of the UI framework. For now only its process-wide part exists: the module
// the framework loads resources from and the in-memory skin archive that skin files are read from.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace SkinUI {

class CWindowManagerUI {
 public:
  static void SetModuleInstance(HINSTANCE instance);
  static HINSTANCE GetModuleInstance();
  // The module searched for resources (the program itself unless set otherwise).
  static HINSTANCE ResourceModule();

  // Keeps the archive over the caller's buffer, which must outlive every later read.
  static bool RegisterSkinArchive(const void* data, size_t length, const char* password);
  static const void* SkinArchiveData();
  static size_t SkinArchiveLength();
};

}  // namespace SkinUI

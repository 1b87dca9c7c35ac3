// The process-wide part of the window manager, shared by its units.
#pragma once

#include "ui/core/ContainersUI.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

struct CManagerShared {
  HINSTANCE instance = nullptr;
  HINSTANCE resourceModule = nullptr;
  CUIString skinFolder;
  CUIString archiveName;
  void* archiveHandle = nullptr;
  char password[64] = {};
  CPtrArrayUI managers;
  CStringMapUI fonts;
  CStringMapUI images;
  CStringMapUI classDefaults;
  CStringMapUI languageTexts;
  TFontInfo baseFont;
  DWORD colors[5] = {0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F, 0xFFBAE4FF};
  HPEN updatePen = nullptr;
  bool initialised = false;

  void InitOnce();
};

CManagerShared& Shared();

}  // namespace SkinUI

#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
HINSTANCE g_instance = nullptr;
const void* g_skinData = nullptr;
size_t g_skinLength = 0;
std::string g_skinPassword;
}  // namespace

void CWindowManagerUI::SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE CWindowManagerUI::GetModuleInstance() { return g_instance; }
HINSTANCE CWindowManagerUI::ResourceModule() { return g_instance; }

bool CWindowManagerUI::RegisterSkinArchive(const void* data, size_t length, const char* password) {
  if (!data || length == 0) return false;
  g_skinData = data;
  g_skinLength = length;
  g_skinPassword = password ? password : "";
  return true;
}

const void* CWindowManagerUI::SkinArchiveData() { return g_skinData; }
size_t CWindowManagerUI::SkinArchiveLength() { return g_skinLength; }

}  // namespace SkinUI

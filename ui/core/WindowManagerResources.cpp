// The window manager's resources: fonts, images, default attribute lists, colours, window
// attributes and option groups, each per window or shared by every window of the process.

#include <cwchar>

#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\ui\\core\\WindowManagerResources.cpp"
#include "ui/core/ManagerShared.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

void CManagerShared::InitOnce() {
  if (initialised) return;
  initialised = true;
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfCharSet = DEFAULT_CHARSET;
  baseFont.font = ::CreateFontIndirectW(&lf);
  baseFont.faceName = lf.lfFaceName;
  baseFont.size = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  baseFont.bold = lf.lfWeight >= FW_BOLD;
  baseFont.underline = lf.lfUnderline != 0;
  baseFont.italic = lf.lfItalic != 0;
  baseFont.strikeout = lf.lfStrikeOut != 0;
  updatePen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
  ::InitCommonControls();
  ::LoadLibraryW(L"msimg32.dll");
}

namespace {
CUIString IdKey(int id) {
  CUIString key;
  key.Printf(L"%d", id);
  return key;
}
}  // namespace

// ---------------------------------------------------------------- fonts

void CWindowManagerUI::MeasureFont(TFontInfo* font) {
  if (!font || font->measured || !m_paintDC) return;
  HGDIOBJ old = ::SelectObject(m_paintDC, font->font);
  ::GetTextMetricsW(m_paintDC, &font->metrics);
  ::SelectObject(m_paintDC, old);
  font->measured = true;
}

TFontInfo* CWindowManagerUI::CreateFontRecord(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                              bool strikeout) {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  if (name) {
    wcsncpy(lf.lfFaceName, name, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
  }
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -size;
  if (bold) lf.lfWeight += FW_BOLD;
  lf.lfUnderline = underline;
  lf.lfItalic = italic;
  lf.lfStrikeOut = strikeout;
  HFONT font = ::CreateFontIndirectW(&lf);
  if (!font) {
    WRITE_LOG(L"font %s %d: cannot create", name ? name : L"", size);
    return nullptr;
  }
  auto* record = new TFontInfo;
  record->font = font;
  record->faceName = lf.lfFaceName;
  record->size = size;
  record->bold = bold;
  record->underline = underline;
  record->italic = italic;
  record->strikeout = strikeout;
  MeasureFont(record);
  return record;
}

HFONT CWindowManagerUI::RegisterFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                     bool strikeout, bool shared) {
  TFontInfo* record = CreateFontRecord(name, size, bold, underline, italic, strikeout);
  if (!record) return nullptr;
  CStringMapUI& map = (shared || m_forceShared) ? Shared().fonts : m_fonts;
  auto* old = static_cast<TFontInfo*>(map.Put(IdKey(id), record));
  if (old) {
    ::DeleteObject(old->font);
    delete old;
  }
  return record->font;
}

HFONT CWindowManagerUI::SetBaseFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                    bool strikeout, bool shared) {
  TFontInfo* record = CreateFontRecord(name, size, bold, underline, italic, strikeout);
  if (!record) return nullptr;
  TFontInfo& target = (shared || m_forceShared) ? Shared().baseFont : m_baseFont;
  if (target.font) ::DeleteObject(target.font);
  target = *record;
  delete record;
  return target.font;
}

TFontInfo* CWindowManagerUI::BaseFontRecord() {
  TFontInfo* base = m_baseFont.faceName.IsBlank() ? &Shared().baseFont : &m_baseFont;
  MeasureFont(base);
  return base;
}

TFontInfo* CWindowManagerUI::FontRecordById(int id) {
  CUIString key = IdKey(id);
  auto* record = static_cast<TFontInfo*>(m_fonts.Lookup(key));
  if (!record) record = static_cast<TFontInfo*>(Shared().fonts.Lookup(key));
  if (!record) return nullptr;
  MeasureFont(record);
  return record;
}

HFONT CWindowManagerUI::FontById(int id) {
  TFontInfo* record = FontRecordById(id);
  return record ? record->font : BaseFontRecord()->font;
}

TFontInfo* CWindowManagerUI::FontRecordByHandle(HFONT font) {
  for (CStringMapUI* map : {&m_fonts, &Shared().fonts}) {
    for (int i = 0; const wchar_t* key = map->KeyAt(i); ++i) {
      auto* record = static_cast<TFontInfo*>(map->Lookup(key, false));
      if (record && record->font == font) {
        MeasureFont(record);
        return record;
      }
    }
  }
  if (m_baseFont.font == font) return &m_baseFont;
  if (Shared().baseFont.font == font) return &Shared().baseFont;
  return nullptr;
}

int CWindowManagerUI::MatchFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                bool strikeout) {
  for (CStringMapUI* map : {&m_fonts, &Shared().fonts}) {
    for (int i = 0; const wchar_t* key = map->KeyAt(i); ++i) {
      auto* r = static_cast<TFontInfo*>(map->Lookup(key, false));
      if (r && r->faceName == name && r->size == size && r->bold == bold && r->underline == underline &&
          r->italic == italic && r->strikeout == strikeout) {
        return _wtoi(key);
      }
    }
  }
  return -1;
}

void CWindowManagerUI::DeleteFontMap(CStringMapUI& map) {
  for (int i = 0; const wchar_t* key = map.KeyAt(i); ++i) {
    auto* record = static_cast<TFontInfo*>(map.Lookup(key, false));
    ::DeleteObject(record->font);
    delete record;
  }
  map.Rebuild(CStringMapUI::kDefaultBuckets);
}

void CWindowManagerUI::DropFonts(bool shared) { DeleteFontMap(shared ? Shared().fonts : m_fonts); }

// ---------------------------------------------------------------- images

TImageInfo* CWindowManagerUI::RegisterImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                                            bool keepSourcePixels, bool shared) {
  if (!name || !*name) return nullptr;
  TImageInfo* loaded = CRenderer::LoadSkinImage(name, type, mask);
  if (!loaded) return nullptr;
  loaded->resourceType = type ? type : L"";
  loaded->mask = mask;
  if (keepSourcePixels) {
    size_t bytes = static_cast<size_t>(loaded->width) * loaded->height * 4;
    loaded->sourcePixels = new BYTE[bytes];
    memcpy(loaded->sourcePixels, loaded->pixels, bytes);
    loaded->keepSourcePixels = true;
  }
  CStringMapUI& map = (shared || m_forceShared) ? Shared().images : m_images;
  auto* existing = static_cast<TImageInfo*>(map.Lookup(name, false));
  if (!existing) {
    map.AddNew(name, loaded);
    return loaded;
  }
  // Draw records keep pointers to the record: its contents are replaced, the record stays.
  if (existing->bitmap) ::DeleteObject(existing->bitmap);
  delete[] existing->sourcePixels;
  *existing = *loaded;
  loaded->bitmap = nullptr;
  loaded->sourcePixels = nullptr;
  CRenderer::FreeImage(loaded);
  return existing;
}

TImageInfo* CWindowManagerUI::ImageByName(const wchar_t* name) const {
  if (!name) return nullptr;
  auto* image = static_cast<TImageInfo*>(m_images.Lookup(name));
  return image ? image : static_cast<TImageInfo*>(Shared().images.Lookup(name));
}

TImageInfo* CWindowManagerUI::ImageByNameOrLoad(const wchar_t* name, const wchar_t* type, DWORD mask,
                                                bool keepSourcePixels) {
  TImageInfo* image = ImageByName(name);
  return image ? image : RegisterImage(name, type, mask, keepSourcePixels);
}

void CWindowManagerUI::DeleteImageMap(CStringMapUI& map) {
  for (int i = 0; const wchar_t* key = map.KeyAt(i); ++i) {
    CRenderer::FreeImage(static_cast<TImageInfo*>(map.Lookup(key, false)));
  }
  map.Rebuild(CStringMapUI::kDefaultBuckets);
}

void CWindowManagerUI::DropImages(bool shared) { DeleteImageMap(shared ? Shared().images : m_images); }

// ---------------------------------------------------------------- attribute lists and colours

void CWindowManagerUI::DeleteStringMap(CStringMapUI& map) {
  for (int i = 0; const wchar_t* key = map.KeyAt(i); ++i) delete static_cast<CUIString*>(map.Lookup(key, false));
  map.Rebuild(CStringMapUI::kDefaultBuckets);
}

void CWindowManagerUI::SetClassDefaults(const wchar_t* className, const wchar_t* list, bool shared) {
  if (!className || !*className) return;
  CStringMapUI& map = (shared || m_forceShared) ? Shared().classDefaults : m_classDefaults;
  delete static_cast<CUIString*>(map.Put(className, new CUIString(list)));
}

const wchar_t* CWindowManagerUI::ClassDefaults(const wchar_t* className) const {
  auto* list = static_cast<CUIString*>(m_classDefaults.Lookup(className));
  if (!list) list = static_cast<CUIString*>(Shared().classDefaults.Lookup(className));
  return list ? list->c_str() : nullptr;
}

void CWindowManagerUI::DropClassDefaults(bool shared) {
  DeleteStringMap(shared ? Shared().classDefaults : m_classDefaults);
}

void CWindowManagerUI::SetColor(int index, DWORD color, bool shared) {
  if (shared) Shared().colors[index] = color;
  m_colors[index] = color;
}

const wchar_t* CWindowManagerUI::CustomWindowAttribute(const wchar_t* name) const {
  auto* value = static_cast<CUIString*>(m_customAttributes.Lookup(name, false));
  return value ? value->c_str() : nullptr;
}

void CWindowManagerUI::AddCustomWindowAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !*name || !value || !*value || m_customAttributes.Lookup(name, false)) return;
  m_customAttributes.AddNew(name, new CUIString(value));
}

void CWindowManagerUI::ApplyWindowAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  CUIString n(name);
  long v[4] = {};
  if (n.CompareIgnoreCase(L"size") == 0) {
    ParseNumberList(value, v, 2);
    m_initialSize = SIZE{v[0], v[1]};
    if (m_window && !m_root) {
      ::SetWindowPos(m_window, nullptr, 0, 0, v[0], v[1], SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
  } else if (n.CompareIgnoreCase(L"sizebox") == 0) {
    ParseNumberList(value, v, 4);
    m_sizeBox = RECT{v[0], v[1], v[2], v[3]};
  } else if (n.CompareIgnoreCase(L"caption") == 0) {
    ParseNumberList(value, v, 4);
    m_caption = RECT{v[0], v[1], v[2], v[3]};
  } else if (n.CompareIgnoreCase(L"roundcorner") == 0) {
    ParseNumberList(value, v, 2);
    m_roundCorner = SIZE{v[0], v[1]};
  } else if (n.CompareIgnoreCase(L"mininfo") == 0) {
    ParseNumberList(value, v, 2);
    m_minInfo = SIZE{v[0], v[1]};
  } else if (n.CompareIgnoreCase(L"maxinfo") == 0) {
    ParseNumberList(value, v, 2);
    m_maxInfo = SIZE{v[0], v[1]};
  } else if (n.CompareIgnoreCase(L"showdirty") == 0) {
    m_showUpdateRects = wcscmp(value, L"true") == 0;
  } else if (n == L"noactivate") {
    m_noActivate = wcscmp(value, L"true") == 0;
  } else if (n.CompareIgnoreCase(L"opacity") == 0) {
    SetWindowAlpha(_wtoi(value));
  } else if (n == L"layeredopacity") {
    SetPerPixelAlphaLevel(_wtoi(value));
  } else if (n == L"layeredimage") {
    SetPerPixelAlphaImage(value);
  } else if (n.CompareIgnoreCase(L"disabledfontcolor") == 0) {
    SetDisabledTextColor(ParseColorText(value));
  } else if (n.CompareIgnoreCase(L"defaultfontcolor") == 0) {
    SetBaseTextColor(ParseColorText(value));
  } else if (n.CompareIgnoreCase(L"linkfontcolor") == 0) {
    SetLinkColor(ParseColorText(value));
  } else if (n.CompareIgnoreCase(L"linkhoverfontcolor") == 0) {
    SetLinkHoverColor(ParseColorText(value));
  } else if (n.CompareIgnoreCase(L"selectedcolor") == 0) {
    SetSelectionColor(ParseColorText(value));
  } else {
    AddCustomWindowAttribute(name, value);
  }
}

// ---------------------------------------------------------------- option groups

bool CWindowManagerUI::JoinOptionGroup(const wchar_t* group, CControlUI* option) {
  if (!group || !*group || !option) return false;
  auto* members = static_cast<CPtrArrayUI*>(m_optionGroups.Lookup(group));
  if (!members) {
    members = new CPtrArrayUI(6);
    m_optionGroups.AddNew(group, members);
  }
  if (members->IndexOf(option) >= 0) return false;
  return members->Push(option);
}

CPtrArrayUI* CWindowManagerUI::OptionGroupMembers(const wchar_t* group) const {
  return group ? static_cast<CPtrArrayUI*>(m_optionGroups.Lookup(group)) : nullptr;
}

void CWindowManagerUI::LeaveOptionGroup(const wchar_t* group, CControlUI* option) {
  auto* members = OptionGroupMembers(group);
  if (!members) return;
  int index = members->IndexOf(option);
  if (index >= 0) members->RemoveRange(index, 1);
  if (members->IsBlank()) {
    delete members;
    m_optionGroups.Erase(group);
  }
}

void CWindowManagerUI::DropOptionGroups() {
  for (int i = 0; const wchar_t* key = m_optionGroups.KeyAt(i); ++i) {
    delete static_cast<CPtrArrayUI*>(m_optionGroups.Lookup(key, false));
  }
  m_optionGroups.Rebuild(CStringMapUI::kDefaultBuckets);
}

}  // namespace SkinUI

#include "ui/core/LayoutBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

#include "core/WriteLogFile.h"

#define LOG_SOURCE L"..\\ui\\core\\LayoutBuilder.cpp"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
bool TagIs(CXmlNode& node, const wchar_t* name) { return _wcsicmp(node.Tag(), name) == 0; }

// An attribute found by name without regard to case, or null.
const wchar_t* Attr(CXmlNode& node, const wchar_t* name) {
  int count = node.AttributeCount();
  for (int i = 0; i < count; ++i) {
    if (_wcsicmp(node.AttributeNameAt(i), name) == 0) return node.AttributeValueAt(i);
  }
  return nullptr;
}

const wchar_t* AttrOr(CXmlNode& node, const wchar_t* name, const wchar_t* fallback) {
  const wchar_t* value = Attr(node, name);
  return value ? value : fallback;
}

bool AttrTrue(CXmlNode& node, const wchar_t* name) {
  const wchar_t* value = Attr(node, name);
  return value && wcscmp(value, L"true") == 0;
}

int AttrInt(CXmlNode& node, const wchar_t* name, int fallback) {
  const wchar_t* value = Attr(node, name);
  return value ? _wtoi(value) : fallback;
}

bool IsResourceTag(CXmlNode& node) {
  return TagIs(node, L"Image") || TagIs(node, L"Font") || TagIs(node, L"Default") || TagIs(node, L"MultiLanguage");
}

std::wstring Lowered(const wchar_t* text) {
  std::wstring s(text);
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// The name an Include chain knows a source by; empty for markup text, which cannot repeat itself.
std::wstring SourceKey(const wchar_t* source, bool fromResource) {
  if (IS_INTRESOURCE(source)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(source));
  if (source[0] == L'<') return std::wstring();
  return Lowered(source);
}
}  // namespace

bool CLayoutBuilder::Fail(const std::wstring& message) {
  if (m_error.empty()) {
    m_error = message;
    WRITE_LOG(L"layout build failed: %s", message.c_str());
  }
  return false;
}

bool CLayoutBuilder::Load(const wchar_t* source, const wchar_t* resourceType) {
  if (IS_INTRESOURCE(source)) {
    m_fromResource = true;
    m_resourceType = resourceType ? resourceType : L"";
    HMODULE module = CWindowManagerUI::ResourceModule();
    HRSRC found = resourceType ? ::FindResourceW(module, source, resourceType) : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = found ? ::SizeofResource(module, found) : 0;
    if (!bytes || size == 0) {
      return Fail(L"markup resource " + std::to_wstring(reinterpret_cast<ULONG_PTR>(source)) + L" not found");
    }
    return m_xml.ParseBytes(bytes, size, XmlEncodingUtf8) ||
           Fail(L"markup resource: " + std::wstring(m_xml.ErrorMessage()));
  }
  if (source[0] == L'<') return m_xml.ParseText(source) || Fail(L"markup text: " + std::wstring(m_xml.ErrorMessage()));
  return m_xml.ParseSkinFile(source, XmlEncodingUtf8) ||
         Fail(std::wstring(source) + L": " + m_xml.ErrorMessage() + L" " + m_xml.ErrorLocation());
}

CControlUI* CLayoutBuilder::Create(const wchar_t* source, const wchar_t* resourceType, IBuilderCallback* callback,
                                   CWindowManagerUI* manager, CControlUI* parent) {
  m_callback = callback;
  m_error.clear();
  if (!source) {
    Fail(L"no markup source");
    return nullptr;
  }
  std::wstring key = SourceKey(source, m_fromResource);
  if (!key.empty() && std::find(m_chain.begin(), m_chain.end(), key) != m_chain.end()) {
    Fail(L"include cycle through " + key);
    return nullptr;
  }
  if (static_cast<int>(m_chain.size()) >= kMaxIncludeDepth) {
    Fail(L"includes nested deeper than " + std::to_wstring(kMaxIncludeDepth));
    return nullptr;
  }
  m_chain.push_back(key);
  if (!Load(source, resourceType)) return nullptr;
  return Create(callback, manager, parent);
}

CControlUI* CLayoutBuilder::Create(IBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent) {
  m_callback = callback;
  m_error.clear();
  m_topAdded.clear();
  CXmlNode root = m_xml.Root();
  if (!root.Exists()) return nullptr;
  if (manager) {
    RegisterResources(root, manager);
    if (TagIs(root, L"Window") && manager->PaintWindow()) {
      for (int i = 0; i < root.AttributeCount(); ++i) {
        manager->ApplyWindowAttribute(root.AttributeNameAt(i), root.AttributeValueAt(i));
      }
    }
  }
  TLevel level;
  if (!BuildChildren(root, parent, manager, level)) {
    Undo(level, parent);
    return nullptr;
  }
  if (!parent && level.added.size() > 1) {
    // Nothing would own the later top-level controls.
    WRITE_LOG(L"layout build: %d top-level controls without a parent dropped", static_cast<int>(level.added.size() - 1));
    for (size_t i = 1; i < level.added.size(); ++i) level.added[i]->DeleteSelf();
    level.added.resize(1);
  }
  m_topAdded = level.added;
  return level.first;
}

void CLayoutBuilder::RegisterResources(CXmlNode root, CWindowManagerUI* manager) {
  for (CXmlNode node = root.FirstChild(); node.Exists(); node = node.NextSibling()) {
    if (TagIs(node, L"Image")) {
      const wchar_t* name = Attr(node, L"name");
      if (!name || !*name) continue;
      const wchar_t* type = Attr(node, L"restype");
      DWORD mask = ParseColorText(AttrOr(node, L"mask", L"0"));
      manager->RegisterImage(name, type && *type ? type : nullptr, mask, AttrTrue(node, L"shared"), false);
    } else if (TagIs(node, L"Font")) {
      int id = AttrInt(node, L"id", -1);
      const wchar_t* name = Attr(node, L"name");
      if (id < 0 || !name || !*name) continue;
      int size = AttrInt(node, L"size", 12);
      bool bold = AttrTrue(node, L"bold"), underline = AttrTrue(node, L"underline");
      bool italic = AttrTrue(node, L"italic"), strikeout = AttrTrue(node, L"strikeout");
      bool shared = AttrTrue(node, L"shared");
      manager->RegisterFont(id, name, size, bold, underline, italic, strikeout, shared);
      if (AttrTrue(node, L"default")) manager->SetBaseFont(name, size, bold, underline, italic, strikeout, shared);
    } else if (TagIs(node, L"Default")) {
      const wchar_t* name = Attr(node, L"name");
      if (name && *name) manager->SetClassDefaults(name, AttrOr(node, L"value", L""), AttrTrue(node, L"shared"));
    } else if (TagIs(node, L"MultiLanguage")) {
      int id = AttrInt(node, L"id", -1);
      const wchar_t* value = Attr(node, L"value");
      if (id >= 0 && value && *value) CWindowManagerUI::SetLanguageText(id, value);
    }
  }
}

bool CLayoutBuilder::BuildChildren(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, TLevel& level) {
  for (CXmlNode child = node.FirstChild(); child.Exists(); child = child.NextSibling()) {
    if (IsResourceTag(child)) continue;
    bool ok = TagIs(child, L"Include") ? BuildInclude(child, parent, manager, level)
                                       : BuildElement(child, parent, manager, level);
    if (!ok) return false;
  }
  return true;
}

bool CLayoutBuilder::BuildInclude(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, TLevel& level) {
  int count = AttrInt(node, L"count", 1);
  if (count > kMaxIncludeCount) {
    WRITE_LOG(L"include count %d cut to %d", count, kMaxIncludeCount);
    count = kMaxIncludeCount;
  }
  const wchar_t* source = Attr(node, L"source");
  if (count <= 0) return true;
  if (!source || !*source) return Fail(L"include without a source");
  CLayoutBuilder included;
  included.m_chain = m_chain;
  included.m_fromResource = m_fromResource;
  for (int i = 0; i < count; ++i) {
    if (i == 0 && m_fromResource) {
      included.Create(MAKEINTRESOURCEW(_wtoi(source)), m_resourceType.c_str(), m_callback, manager, parent);
    } else if (i == 0) {
      included.Create(source, nullptr, m_callback, manager, parent);
    } else {
      included.Create(m_callback, manager, parent);
    }
    if (included.Failed()) return Fail(L"include " + std::wstring(source) + L": " + included.ErrorMessage());
    level.added.insert(level.added.end(), included.m_topAdded.begin(), included.m_topAdded.end());
    if (!level.first && !included.m_topAdded.empty()) level.first = included.m_topAdded.front();
  }
  return true;
}

CControlUI* CLayoutBuilder::CreateForTag(const wchar_t* tag) {
  CControlUI* control = CreateControlForTag(tag);
  if (!control && m_callback) control = m_callback->CreateCustomControl(tag);
  return control;
}

bool CLayoutBuilder::BuildElement(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, TLevel& level) {
  CControlUI* control = CreateForTag(node.Tag());
  if (!control) return true;  // unknown tags are skipped with their children
  if (node.HasChild()) {
    TLevel inner;
    // What was built into the control goes with it when anything below fails.
    if (!BuildChildren(node, control, manager, inner)) {
      control->DeleteSelf();
      return false;
    }
  }
  if (parent) {
    if (!Place(node, control, parent, level)) return !Failed();
  } else {
    level.added.push_back(control);
  }
  Configure(node, control, manager);
  if (!level.first) level.first = control;
  return true;
}

bool CLayoutBuilder::Place(CXmlNode node, CControlUI* control, CControlUI* parent, TLevel& level) {
  const wchar_t* cover = Attr(node, L"cover");
  if (cover && wcscmp(cover, L"true") == 0) {
    parent->SetCoverControl(control);
    level.added.push_back(control);
    return true;
  }
  auto* container = static_cast<IContainerUI*>(parent->CastToInterface(L"IContainer"));
  if (!container) {
    control->DeleteSelf();
    return Fail(std::wstring(L"<") + node.Tag() + L"> inside a control that holds no children");
  }
  if (!container->Add(control)) {
    WRITE_LOG(L"layout build: <%s> refused by its container", node.Tag());
    control->DeleteSelf();
    return false;
  }
  level.added.push_back(control);
  return true;
}

void CLayoutBuilder::Configure(CXmlNode node, CControlUI* control, CWindowManagerUI* manager) {
  // Bound for the attributes' sake (fonts, images, colours); the window binds the tree for good.
  // A control that adding has already attached to a live window stays attached.
  bool bindForNow = manager && control->OwnerManager() != manager;
  if (bindForNow) control->BindToManager(manager, control->GetParent(), false);
  const wchar_t* defaults = manager ? manager->ClassDefaults(node.Tag()) : nullptr;
  if (defaults) control->ApplyAttributeText(defaults);
  for (int i = 0; i < node.AttributeCount(); ++i) control->ApplyAttribute(node.AttributeNameAt(i), node.AttributeValueAt(i));
  if (bindForNow) control->BindToManager(nullptr, control->GetParent(), false);
}

void CLayoutBuilder::Undo(TLevel& level, CControlUI* parent) {
  for (auto it = level.added.rbegin(); it != level.added.rend(); ++it) {
    CControlUI* control = *it;
    if (parent && parent->CoverControl() == control) {
      parent->SetCoverControl(nullptr);
      continue;
    }
    auto* container = parent ? static_cast<IContainerUI*>(parent->CastToInterface(L"IContainer")) : nullptr;
    if (container) container->Remove(control, true);
    control->DeleteSelf();
  }
  level.added.clear();
  level.first = nullptr;
}

}  // namespace SkinUI

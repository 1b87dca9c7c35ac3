// Turns a skin markup document into a tree of controls for one window: registers the document's
// images, fonts, class defaults and language strings with the window manager, applies the root's
// window attributes, then builds the controls, pulling in further skin files through Include.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/core/XmlDocument.h"

namespace SkinUI {

class CControlUI;
class CWindowManagerUI;

// Creates controls for tags the framework does not know.
class IBuilderCallback {
 public:
  virtual CControlUI* CreateCustomControl(const wchar_t* tagName) = 0;

 protected:
  ~IBuilderCallback() = default;
};

class CLayoutBuilder {
 public:
  // Include nesting deeper than this, or a file that includes itself on the way, fails the build.
  static constexpr int kMaxIncludeDepth = 16;
  // Include "count" values above this are cut to it.
  static constexpr int kMaxIncludeCount = 256;

  CLayoutBuilder() = default;
  CLayoutBuilder(const CLayoutBuilder&) = delete;
  CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

  // `source`: a resource id (MAKEINTRESOURCEW, with `resourceType`), markup text (begins with '<')
  // or a skin file name. Returns the first control created at the top level, or null: on failure
  // (Failed() is true and nothing created remains) or when the markup holds no control.
  CControlUI* Create(const wchar_t* source, const wchar_t* resourceType, IBuilderCallback* callback,
                     CWindowManagerUI* manager, CControlUI* parent = nullptr);
  // Builds again from the document already parsed.
  CControlUI* Create(IBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent = nullptr);

  bool Failed() const { return !m_error.empty(); }
  const std::wstring& ErrorMessage() const { return m_error; }
  CXmlDocument& Document() { return m_xml; }

 private:
  // What one level of building added to the parent, to take back when the build fails.
  struct TLevel {
    CControlUI* first = nullptr;
    std::vector<CControlUI*> added;
  };

  bool Load(const wchar_t* source, const wchar_t* resourceType);
  void RegisterResources(CXmlNode root, CWindowManagerUI* manager);
  bool BuildChildren(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, TLevel& level);
  bool BuildElement(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, TLevel& level);
  bool BuildInclude(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, TLevel& level);
  bool Place(CXmlNode node, CControlUI* control, CControlUI* parent, TLevel& level);
  void Configure(CXmlNode node, CControlUI* control, CWindowManagerUI* manager);
  CControlUI* CreateForTag(const wchar_t* tag);
  static void Undo(TLevel& level, CControlUI* parent);
  bool Fail(const std::wstring& message);

  CXmlDocument m_xml;
  IBuilderCallback* m_callback = nullptr;
  std::wstring m_resourceType;
  bool m_fromResource = false;
  // Skin sources being built, outermost first: an Include naming one of them is a cycle.
  std::vector<std::wstring> m_chain;
  // The controls the last build left at the top level (an Include hands them to its includer).
  std::vector<CControlUI*> m_topAdded;
  std::wstring m_error;
};

}  // namespace SkinUI

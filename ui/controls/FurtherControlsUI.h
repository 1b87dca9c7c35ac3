// Controls the markup may name but the wizard never uses: the list family, the tree view, the
// date-time picker, the ActiveX host and web browser, the slider, and the tile and child layouts.
// They accept their attributes (unknown names end as custom attributes) and do nothing more; the
// container kinds hold and lay out their children like the layout they derive from.
#pragma once

#include "ui/controls/ContainerUI.h"
#include "ui/controls/LayoutUI.h"

namespace SkinUI {

// Answers its own class name, then whatever the base answers.
template <class Base>
class CAttributeOnlyUI : public Base {
 public:
  explicit CAttributeOnlyUI(const wchar_t* className) : m_className(className) {}
  const wchar_t* ClassName() const override { return m_className; }
  void* CastToInterface(const wchar_t* name) override {
    return wcscmp(name, m_className) == 0 ? this : Base::CastToInterface(name);
  }

 private:
  const wchar_t* m_className;
};

class CListUI : public CAttributeOnlyUI<CVerticalLayoutUI> {
 public:
  CListUI() : CAttributeOnlyUI(L"List") {}
};
class CListHeaderUI : public CAttributeOnlyUI<CHorizontalLayoutUI> {
 public:
  CListHeaderUI() : CAttributeOnlyUI(L"ListHeader") {}
};
class CListHeaderItemUI : public CAttributeOnlyUI<CControlUI> {
 public:
  CListHeaderItemUI() : CAttributeOnlyUI(L"ListHeaderItem") {}
};
class CListLabelElementUI : public CAttributeOnlyUI<CControlUI> {
 public:
  CListLabelElementUI() : CAttributeOnlyUI(L"ListLabelElement") {}
};
class CListTextElementUI : public CAttributeOnlyUI<CControlUI> {
 public:
  CListTextElementUI() : CAttributeOnlyUI(L"ListTextElement") {}
};
class CListHBoxElementUI : public CAttributeOnlyUI<CHorizontalLayoutUI> {
 public:
  CListHBoxElementUI() : CAttributeOnlyUI(L"ListHBoxElement") {}
};
class CListContainerElementUI : public CAttributeOnlyUI<CContainerUI> {
 public:
  CListContainerElementUI() : CAttributeOnlyUI(L"ListContainerElement") {}
};
class CTreeViewUI : public CAttributeOnlyUI<CVerticalLayoutUI> {
 public:
  CTreeViewUI() : CAttributeOnlyUI(L"TreeView") {}
};
class CTreeNodeUI : public CAttributeOnlyUI<CVerticalLayoutUI> {
 public:
  CTreeNodeUI() : CAttributeOnlyUI(L"TreeNode") {}
};
class CDateTimeUI : public CAttributeOnlyUI<CControlUI> {
 public:
  CDateTimeUI() : CAttributeOnlyUI(L"DateTime") {}
};
class CActiveXUI : public CAttributeOnlyUI<CControlUI> {
 public:
  CActiveXUI() : CAttributeOnlyUI(L"ActiveX") {}

 protected:
  explicit CActiveXUI(const wchar_t* className) : CAttributeOnlyUI(className) {}
};
class CWebBrowserUI : public CActiveXUI {
 public:
  CWebBrowserUI() : CActiveXUI(L"WebBrowser") {}
  void* CastToInterface(const wchar_t* name) override {
    return wcscmp(name, L"ActiveX") == 0 ? this : CActiveXUI::CastToInterface(name);
  }
};
class CSliderUI : public CAttributeOnlyUI<CControlUI> {
 public:
  CSliderUI() : CAttributeOnlyUI(L"Slider") {}
};
class CTileLayoutUI : public CAttributeOnlyUI<CContainerUI> {
 public:
  CTileLayoutUI() : CAttributeOnlyUI(L"TileLayout") {}
};
class CChildLayoutUI : public CAttributeOnlyUI<CContainerUI> {
 public:
  CChildLayoutUI() : CAttributeOnlyUI(L"ChildLayout") {}
};

}  // namespace SkinUI

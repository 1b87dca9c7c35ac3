#include "ui/core/ControlFactory.h"

#include <cwchar>

#include "ui/controls/ButtonUI.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/FurtherControlsUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/LayoutUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/ScrollBarUI.h"

namespace SkinUI {

namespace {
template <class T>
CControlUI* Make() {
  return new T();
}

const TControlTag kTags[] = {
    {L"Control", Make<CControlUI>},
    {L"Container", Make<CContainerUI>},
    {L"VerticalLayout", Make<CVerticalLayoutUI>},
    {L"VBox", Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
    {L"HBox", Make<CHorizontalLayoutUI>},
    {L"TabLayout", Make<CTabLayoutUI>},
    {L"TileLayout", Make<CTileLayoutUI>},
    {L"ChildLayout", Make<CChildLayoutUI>},
    {L"ScrollBar", Make<CScrollBarUI>},
    {L"Slider", Make<CSliderUI>},
    {L"List", Make<CListUI>},
    {L"ListHeader", Make<CListHeaderUI>},
    {L"ListHeaderItem", Make<CListHeaderItemUI>},
    {L"ListTextElement", Make<CListTextElementUI>},
    {L"ListLabelElement", Make<CListLabelElementUI>},
    {L"ListHBoxElement", Make<CListHBoxElementUI>},
    {L"ListContainerElement", Make<CListContainerElementUI>},
    {L"Tree", Make<CTreeViewUI>},
    {L"TreeView", Make<CTreeViewUI>},
    {L"TreeNode", Make<CTreeNodeUI>},
    {L"DateTime", Make<CDateTimeUI>},
    {L"ActiveX", Make<CActiveXUI>},
    {L"WebBrowser", Make<CWebBrowserUI>},
    {L"Label", Make<CLabelUI>},
    {L"Text", Make<CTextUI>},
    {L"Button", Make<CButtonUI>},
    {L"Option", Make<COptionUI>},
    {L"CheckBox", Make<CCheckBoxUI>},
    {L"Edit", Make<CEditUI>},
    {L"Progress", Make<CProgressUI>},
    // RichEdit, Combo/ComboBox and GifAnim join here with their own units.
    {nullptr, nullptr},
};
}  // namespace

const TControlTag* ControlTagTable() { return kTags; }

CControlUI* CreateControlForTag(const wchar_t* tag) {
  if (!tag) return nullptr;
  for (const TControlTag* row = kTags; row->tag; ++row) {
    if (_wcsicmp(row->tag, tag) == 0) return row->create();
  }
  return nullptr;
}

}  // namespace SkinUI

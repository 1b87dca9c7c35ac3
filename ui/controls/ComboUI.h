// Combo: a drop-down list. Closed, it paints a button face with the selected item's text; activated,
// it opens a popup window with its own window manager whose body takes the combo's items for as long
// as it is open, and closes it when an item is chosen, the popup loses the focus, or on Return or
// Escape. Selection changes are reported with "itemselect".
#pragma once

#include "ui/controls/ContainerUI.h"
#include "ui/controls/LayoutUI.h"
#include "ui/controls/ListItemUI.h"

namespace SkinUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;

  const wchar_t* ClassName() const override { return L"Combo"; }
  void* CastToInterface(const wchar_t* name) override;
  UINT ControlTraits() const override { return kFlagTabStop; }
  bool Activate() override;
  CUIString GetText() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void SetEnabled(bool enabled) override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE MeasureDesiredSize(SIZE available) override;
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;

  bool MoveItem(CControlUI* control, int index) override;
  bool MoveItems(CControlUI* first, int count, int newIndex) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;

  TListItemStyle* ItemStyle() override { return &m_itemStyle; }
  int SelectedIndex() const override { return m_selected; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  bool SelectMultiItem(int, bool) override { return false; }
  int SelectedMultiItem() const override { return -1; }

  void SetCloseOnSelect(bool on) { m_closeOnSelect = on; }
  void SetDropSize(int cx, int cy) { m_dropSize = SIZE{cx, cy}; }
  SIZE DropSize() const { return m_dropSize; }
  void SetDropAttributes(const wchar_t* text) { m_dropAttributes = text; }
  const CUIString& DropAttributes() const { return m_dropAttributes; }
  const CUIString& DropScrollSetting(int i) const { return m_dropScroll[i]; }
  void SetShowSelectedText(bool on);
  bool IsOpen() const { return m_popup != nullptr; }
  HWND PopupWindow() const;
  UINT ButtonState() const { return m_state; }
  // Scrolls the open drop-down so that the selected item shows.
  void EnsureItemVisible(int index);

 private:
  friend class CComboWnd;
  void Renumber();
  void SetImageRecord(TDrawInfo& record, const wchar_t* text);
  void SelectStep(int index, bool forward);
  void OnPopupGone();

  CComboWnd* m_popup = nullptr;
  int m_selected = -1;
  bool m_showText = true;
  bool m_closeOnSelect = true;
  RECT m_textPadding = {0, 0, 0, 0};
  CUIString m_dropAttributes;
  CUIString m_dropScroll[4];  // vscrollbar, vscrollbarstyle, hscrollbar, hscrollbarstyle
  SIZE m_dropSize = {0, 150};
  UINT m_state = 0;
  int m_font = -1;
  DWORD m_textColor = 0;
  DWORD m_disabledTextColor = 0;
  UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
  TDrawInfo m_normalImage;
  TDrawInfo m_hotImage;
  TDrawInfo m_pushedImage;
  TDrawInfo m_focusedImage;
  TDrawInfo m_disabledImage;
  TListItemStyle m_itemStyle;
};

// The drop-down's root: a vertical layout that numbers its list items for alternating backgrounds
// and draws the separator lines.
class CComboBodyUI : public CVerticalLayoutUI {
 public:
  explicit CComboBodyUI(CComboUI* owner) : m_owner(owner) {}
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;

 private:
  CComboUI* m_owner;
};

}  // namespace SkinUI

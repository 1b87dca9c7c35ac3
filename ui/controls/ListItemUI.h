// The list contracts a drop-down needs: the owner of list items (what items consult to measure,
// draw and select themselves), the item face, and the list label element, one text row.
#pragma once

#include "ui/controls/ControlUI.h"

namespace SkinUI {

// The appearance every item of one owner shares.
struct TListItemStyle {
  int columns = 0;
  RECT columnRects[64] = {};
  int itemHeight = 0;
  int font = -1;
  UINT textStyle = DT_VCENTER | DT_SINGLELINE;
  RECT textPadding = {0, 0, 0, 0};
  DWORD textColor = 0xFF000000;
  DWORD bkColor = 0;
  TDrawInfo bkImage;
  bool alternateBk = false;
  DWORD selectedTextColor = 0xFF000000;
  DWORD selectedBkColor = 0xFFC1E3FF;
  TDrawInfo selectedImage;
  DWORD hotTextColor = 0xFF000000;
  DWORD hotBkColor = 0xFFE9F5FF;
  TDrawInfo hotImage;
  DWORD disabledTextColor = 0xFFCCCCCC;
  DWORD disabledBkColor = 0xFFFFFFFF;
  TDrawInfo disabledImage;
  int hLineSize = 0;
  DWORD hLineColor = 0xFF3C3C3C;
  int vLineSize = 0;
  DWORD vLineColor = 0xFF3C3C3C;
  bool showHtml = false;
  bool multiExpandable = false;
  int renderingHint = 4;
};

// CastToInterface(L"IListOwner").
class IListOwnerUI {
 public:
  virtual TListItemStyle* ItemStyle() = 0;
  virtual int SelectedIndex() const = 0;
  virtual bool SelectItem(int index, bool takeFocus = false, bool notify = true) = 0;
  virtual void HandleEvent(TEventMsg& event) = 0;
  virtual bool SelectMultiItem(int index, bool takeFocus = false) = 0;
  virtual int SelectedMultiItem() const = 0;

 protected:
  ~IListOwnerUI() = default;
};

// CastToInterface(L"IListItem").
class IListItemUI {
 public:
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual void SetPaintIndex(int index) = 0;
  virtual IListOwnerUI* Owner() const = 0;
  virtual void SetOwner(CControlUI* owner) = 0;
  virtual bool IsSelected() const = 0;
  virtual bool Select(bool select = true, bool notify = true) = 0;
  virtual void PaintItemText(HDC dc, const RECT& rect) = 0;

 protected:
  ~IListItemUI() = default;
};

class CListLabelElementUI : public CControlUI, public IListItemUI {
 public:
  const wchar_t* ClassName() const override { return L"ListLabelElement"; }
  void* CastToInterface(const wchar_t* name) override;
  UINT ControlTraits() const override { return IsEnabled() ? kFlagTabStop : 0u; }
  bool Activate() override;
  void SetEnabled(bool enabled) override;
  void HandleEvent(TEventMsg& event) override;
  SIZE MeasureDesiredSize(SIZE available) override;
  void SetText(const wchar_t* text) override;
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;

  int ItemIndex() const override { return m_index; }
  void SetItemIndex(int index) override { m_index = index; }
  void SetPaintIndex(int index) override { m_paintIndex = index; }
  IListOwnerUI* Owner() const override { return m_owner; }
  void SetOwner(CControlUI* owner) override;
  bool IsSelected() const override { return m_selected; }
  bool Select(bool select = true, bool notify = true) override;
  void PaintItemText(HDC dc, const RECT& rect) override;
  bool IsHot() const { return m_hot; }

 private:
  void PaintItemBackground(HDC dc);
  // Font ids are the owner's: a drop-down's own window manager knows only the shared fonts.
  CWindowManagerUI* FontSource() const;

  int m_index = -1;
  int m_paintIndex = 0;
  bool m_selected = false;
  bool m_hot = false;
  IListOwnerUI* m_owner = nullptr;
  CControlUI* m_ownerControl = nullptr;
  SIZE m_estimate = {0, 0};
  SIZE m_lastAvailable = {0, 0};
  bool m_estimateNeeded = true;
};

}  // namespace SkinUI

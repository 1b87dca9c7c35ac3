// The layouts: vertical and horizontal stacks of fixed and flexible children with padding,
// alignment and an optional draggable separator on one edge, and the tab layout that shows one
// child at a time.
#pragma once

#include "ui/controls/ContainerUI.h"

namespace SkinUI {

// What the vertical and the horizontal layout share: the separator on one edge that the user can
// drag to resize the layout. `vertical` says along which axis the layout stacks its children.
class CStackLayoutUI : public CContainerUI {
 public:
  static constexpr UINT kDragging = 0x40;

  explicit CStackLayoutUI(bool vertical) : m_vertical(vertical) {}
  ~CStackLayoutUI() override;
  UINT ControlTraits() const override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  void PostPaint(HDC dc, const RECT& paint) override;

  int SeparatorSize() const { return m_sepSize; }
  void SetSeparatorSize(int size) { m_sepSize = size; }
  bool IsSeparatorImmediate() const { return m_sepImmediate; }
  void SetSeparatorImmediate(bool immediate);
  bool IsDraggingSeparator() const { return (m_sepState & kDragging) != 0; }
  // The separator strip of the item rectangle, or of the rectangle being dragged when `dragged`.
  RECT SeparatorRect(bool dragged) const;

 protected:
  // The available size a child may take on each axis: its fixed size when set, else its maximum.
  static SIZE LimitToChild(SIZE available, const CControlUI* child);
  void OnSeparatorDrag(POINT pt);
  void OnSeparatorRelease();

  bool m_vertical;
  int m_sepSize = 0;
  UINT m_sepState = 0;
  POINT m_lastMouse = {0, 0};
  RECT m_newPos = {0, 0, 0, 0};
  bool m_sepImmediate = false;
};

class CVerticalLayoutUI : public CStackLayoutUI {
 public:
  CVerticalLayoutUI() : CStackLayoutUI(true) {}
  const wchar_t* ClassName() const override { return L"VerticalLayout"; }
  void* CastToInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
};

class CHorizontalLayoutUI : public CStackLayoutUI {
 public:
  CHorizontalLayoutUI() : CStackLayoutUI(false) {}
  const wchar_t* ClassName() const override { return L"HorizontalLayout"; }
  void* CastToInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
};

class CTabLayoutUI : public CContainerUI {
 public:
  const wchar_t* ClassName() const override { return L"TabLayout"; }
  void* CastToInterface(const wchar_t* name) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  void RemoveAll() override;

  int SelectedIndex() const { return m_selected; }
  bool SelectItem(int index, bool notify = true);

 private:
  int m_selected = -1;
};

}  // namespace SkinUI

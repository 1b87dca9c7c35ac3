// Containers: a control that owns child controls, places them inside its rectangle, paints them
// clipped to itself, searches them for hit tests and scrolls them with two optional owned bars.
// CContainerUI stacks every child over its whole client area; the layouts derive from it.
#pragma once

#include "ui/controls/ControlUI.h"

namespace SkinUI {

class CScrollBarUI;

// The child-management face of every container (CastToInterface(L"IContainer")).
class IContainerUI {
 public:
  virtual CControlUI* ItemAt(int index) const = 0;
  virtual int IndexOfItem(CControlUI* control) const = 0;
  // Never loses the child: a bad index leaves it where it was and fails.
  virtual bool MoveItem(CControlUI* control, int index) = 0;
  virtual bool MoveItems(CControlUI* first, int count, int newIndex) = 0;
  virtual int ItemCount() const = 0;
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  virtual bool Remove(CControlUI* control, bool doNotDestroy = false) = 0;
  virtual bool RemoveAt(int index, bool doNotDestroy = false) = 0;
  virtual void RemoveAll() = 0;

 protected:
  ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  // ---- IContainerUI ----
  CControlUI* ItemAt(int index) const override;
  int IndexOfItem(CControlUI* control) const override;
  bool MoveItem(CControlUI* control, int index) override;
  bool MoveItems(CControlUI* first, int count, int newIndex) override;
  int ItemCount() const override { return m_items.Count(); }
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;

  // ---- CControlUI ----
  const wchar_t* ClassName() const override { return L"Container"; }
  void* CastToInterface(const wchar_t* name) override;
  RECT ContentPos() const override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  void BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetVisible(bool visible) override;
  void SetInheritedVisible(bool visible) override;
  void SetAcceptsMouse(bool on) override;
  CControlUI* FindControl(FindPredicate predicate, void* data, UINT flags) override;
  void HandleEvent(TEventMsg& event) override;
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;
  void PostPaint(HDC dc, const RECT& paint) override;

  // ---- container operations ----
  virtual RECT ContentInset() const { return m_inset; }
  virtual void SetContentInset(RECT rect);
  virtual int ChildGap() const { return m_childPadding; }
  virtual void SetChildGap(int padding);
  virtual UINT ChildHorizontalAlign() const { return m_childAlign; }
  virtual void SetChildHorizontalAlign(UINT align);
  virtual UINT ChildVerticalAlign() const { return m_childVAlign; }
  virtual void SetChildVerticalAlign(UINT align);
  virtual bool OwnsItems() const { return m_autoDestroy; }
  virtual void SetOwnsItems(bool on) { m_autoDestroy = on; }
  virtual bool DefersItemDeletion() const { return m_delayedDestroy; }
  virtual void SetDefersItemDeletion(bool on) { m_delayedDestroy = on; }
  virtual bool ChildrenAcceptMouse() const { return m_mouseChildEnabled; }
  virtual void SetChildrenAcceptMouse(bool on) { m_mouseChildEnabled = on; }
  virtual int FindSelectableItem(int index, bool forward = true) const;
  virtual SIZE ScrollOffset() const;
  virtual SIZE ScrollExtent() const;
  virtual void SetScrollOffset(SIZE offset);
  virtual void ScrollLineUp();
  virtual void ScrollLineDown();
  virtual void ScrollPageUp();
  virtual void ScrollPageDown();
  virtual void ScrollToTop();
  virtual void ScrollToBottom();
  virtual void ScrollLineLeft();
  virtual void ScrollLineRight();
  virtual void ScrollPageLeft();
  virtual void ScrollPageRight();
  virtual void ScrollToLeft();
  virtual void ScrollToRight();
  virtual void EnableScrollBars(bool vertical = true, bool horizontal = false);
  virtual CScrollBarUI* VerticalScrollBar() const { return m_vBar; }
  virtual CScrollBarUI* HorizontalScrollBar() const { return m_hBar; }
  virtual void PlaceFloatingChild(int index);
  virtual void UpdateScrollBars(RECT rect, int cxRequired, int cyRequired);

 protected:
  // Each visible child fills `area` within its own limits; floating children keep their places.
  void PlaceChildrenIn(const RECT& area);
  // Destroys a child now, or later through the window manager when deletion is deferred.
  void DisposeChild(CControlUI* child);
  // The item rectangle less the inset and less the visible bars.
  RECT ClientRect() const;
  bool IsBarShown(const CScrollBarUI* bar) const;
  bool IsBarActive(const CScrollBarUI* bar) const;
  // SetPos again with the current position (relative when floating).
  void Relayout(bool invalidate);
  void PlaceBar(CScrollBarUI* bar, const RECT& rect);
  void UpdateHorizontalOnly(RECT rect, int cxRequired);
  void UpdateVerticalOnly(RECT rect, int cyRequired);
  void UpdateBothBars(RECT rect, int cxRequired, int cyRequired);
  bool PaintChildren(HDC dc, const RECT& paint, CControlUI* stopControl, HRGN outerClip);
  void CreateBar(CScrollBarUI*& bar, bool horizontal);
  void DestroyBar(CScrollBarUI*& bar);

  CPtrArrayUI m_items;
  RECT m_inset = {0, 0, 0, 0};
  int m_childPadding = 0;
  UINT m_childAlign = 0;
  UINT m_childVAlign = 0;
  bool m_autoDestroy = true;
  bool m_delayedDestroy = false;
  bool m_mouseChildEnabled = true;
  bool m_scrollProcessing = false;
  bool m_scrollToBottomPending = false;
  CScrollBarUI* m_vBar = nullptr;
  CScrollBarUI* m_hBar = nullptr;
};

// Clamps v into lo..hi, with lo winning when the two cross.
inline int ClampSize(int v, int lo, int hi) { return v > hi ? (hi < lo ? lo : hi) : (v < lo ? lo : v); }

}  // namespace SkinUI

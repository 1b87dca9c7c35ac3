#include "ui/controls/ContainerUI.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "ui/controls/ScrollBarUI.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
bool IsTrue(const wchar_t* value) { return wcscmp(value, L"true") == 0; }
bool Meets(const RECT& a, const RECT& b) {
  RECT overlap;
  return ::IntersectRect(&overlap, &a, &b) != FALSE;
}

// A clip to a rectangle intersected into the device context's current clip, released on every exit.
// The outer clip can be restored for a while (floating children paint outside the client area).
class CClipScope {
 public:
  CClipScope(HDC dc, const RECT& rect) : m_dc(dc) {
    RECT box;
    ::GetClipBox(dc, &box);
    m_outer = ::CreateRectRgnIndirect(&box);
    m_own = ::CreateRectRgnIndirect(&rect);
    ::ExtSelectClipRgn(dc, m_own, RGN_AND);
  }
  ~CClipScope() {
    ::SelectClipRgn(m_dc, m_outer);
    ::DeleteObject(m_outer);
    ::DeleteObject(m_own);
  }
  CClipScope(const CClipScope&) = delete;
  CClipScope& operator=(const CClipScope&) = delete;
  HRGN Outer() const { return m_outer; }
  void UseOuter() { ::SelectClipRgn(m_dc, m_outer); }
  void UseOwn() {
    ::SelectClipRgn(m_dc, m_outer);
    ::ExtSelectClipRgn(m_dc, m_own, RGN_AND);
  }

 private:
  HDC m_dc;
  HRGN m_outer;
  HRGN m_own;
};
}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  if (m_manager) m_manager->RemoveOverlayPainter(this);
  m_delayedDestroy = false;
  // No relayout requests from a container that is going away: the children just go.
  CPtrArrayUI items(m_items);
  m_items.Clear();
  if (m_autoDestroy) {
    for (int i = 0; i < items.Count(); ++i) static_cast<CControlUI*>(items[i])->DeleteSelf();
  }
  DestroyBar(m_vBar);
  DestroyBar(m_hBar);
}

void* CContainerUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
  if (wcscmp(name, L"Container") == 0) return this;
  return CControlUI::CastToInterface(name);
}

// ---------------------------------------------------------------- children

CControlUI* CContainerUI::ItemAt(int index) const {
  if (index < 0 || index >= m_items.Count()) return nullptr;
  return static_cast<CControlUI*>(m_items[index]);
}

int CContainerUI::IndexOfItem(CControlUI* control) const { return m_items.IndexOf(control); }

bool CContainerUI::MoveItem(CControlUI* control, int index) {
  int current = m_items.IndexOf(control);
  if (current < 0) return false;
  // Checked before the child is taken out, so a bad index can never lose it.
  if (index < 0 || index >= m_items.Count()) return false;
  RequestRelayout();
  m_items.RemoveRange(current, 1);
  if (!m_items.InsertBefore(index, control)) {
    m_items.InsertBefore(current, control);
    return false;
  }
  return true;
}

bool CContainerUI::MoveItems(CControlUI* first, int count, int newIndex) {
  if (!first || count < 0 || newIndex < 0) return false;
  int current = m_items.IndexOf(first);
  if (current < 0) return false;
  if (newIndex == current) return true;
  if (count + current > m_items.Count() || count + newIndex > m_items.Count()) return false;
  CPtrArrayUI run;
  for (int i = 0; i < count; ++i) run.Push(m_items[current + i]);
  m_items.RemoveRange(current, count);
  for (int i = 0; i < count; ++i) m_items.InsertBefore(newIndex + i, run[i]);
  RequestRelayout();
  return true;
}

bool CContainerUI::Add(CControlUI* control) { return CContainerUI::AddAt(control, m_items.Count()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > m_items.Count()) return false;
  // A detached container only records itself as the parent: the child keeps whatever manager it
  // has until the container's own subtree is attached.
  if (m_manager) m_manager->AdoptControls(control, this);
  else control->BindToManager(control->OwnerManager(), this, false);
  if (IsVisible()) RequestRelayout();
  else control->SetInheritedVisible(false);
  return m_items.InsertBefore(index, control);
}

void CContainerUI::DisposeChild(CControlUI* child) {
  if (m_delayedDestroy && m_manager) m_manager->DeleteLater(child);
  else child->DeleteSelf();
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy) {
  int index = m_items.IndexOf(control);
  if (index < 0) return false;
  RequestRelayout();
  m_items.RemoveRange(index, 1);
  if (!doNotDestroy && m_autoDestroy) DisposeChild(control);
  return true;
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) {
  CControlUI* control = ItemAt(index);
  return control ? Remove(control, doNotDestroy) : false;
}

void CContainerUI::RemoveAll() {
  CPtrArrayUI items(m_items);
  m_items.Clear();
  if (m_autoDestroy) {
    for (int i = 0; i < items.Count(); ++i) DisposeChild(static_cast<CControlUI*>(items[i]));
  }
  RequestRelayout();
}

int CContainerUI::FindSelectableItem(int index, bool forward) const {
  int count = m_items.Count();
  if (count == 0) return -1;
  index = std::max(0, std::min(index, count - 1));
  auto selectable = [this](int i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    return child->CastToInterface(L"IListItem") && child->IsVisible() && child->IsEnabled();
  };
  if (forward) {
    for (int i = index; i < count; ++i)
      if (selectable(i)) return i;
    return -1;
  }
  for (int i = index; i >= 0; --i)
    if (selectable(i)) return i;
  return FindSelectableItem(0, true);
}

// ---------------------------------------------------------------- state

void CContainerUI::BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  for (int i = 0; i < m_items.Count(); ++i) static_cast<CControlUI*>(m_items[i])->BindToManager(manager, this, init);
  if (m_vBar) m_vBar->BindToManager(manager, this, init);
  if (m_hBar) m_hBar->BindToManager(manager, this, init);
  CControlUI::BindToManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
  if (m_visible == visible) return;
  CControlUI::SetVisible(visible);
  for (int i = 0; i < m_items.Count(); ++i) static_cast<CControlUI*>(m_items[i])->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetInheritedVisible(bool visible) {
  CControlUI::SetInheritedVisible(visible);
  for (int i = 0; i < m_items.Count(); ++i) static_cast<CControlUI*>(m_items[i])->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetAcceptsMouse(bool on) {
  if (m_vBar) m_vBar->SetAcceptsMouse(on);
  if (m_hBar) m_hBar->SetAcceptsMouse(on);
  CControlUI::SetAcceptsMouse(on);
}

void CContainerUI::SetContentInset(RECT rect) {
  m_inset = rect;
  RequestRelayout();
}
void CContainerUI::SetChildGap(int padding) {
  m_childPadding = std::max(padding, 0);
  RequestRelayout();
}
void CContainerUI::SetChildHorizontalAlign(UINT align) {
  m_childAlign = align;
  RequestRelayout();
}
void CContainerUI::SetChildVerticalAlign(UINT align) {
  m_childVAlign = align;
  RequestRelayout();
}

void CContainerUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"inset") {
    long v[4] = {};
    ParseNumberList(value, v, 4);
    SetContentInset(RECT{v[0], v[1], v[2], v[3]});
  } else if (n == L"mousechild") {
    SetChildrenAcceptMouse(IsTrue(value));
  } else if (n == L"vscrollbar") {
    EnableScrollBars(IsTrue(value), m_hBar != nullptr);
  } else if (n == L"vscrollbarstyle") {
    if (m_vBar) m_vBar->ApplyAttributeText(value);
  } else if (n == L"hscrollbar") {
    EnableScrollBars(m_vBar != nullptr, IsTrue(value));
  } else if (n == L"hscrollbarstyle") {
    if (m_hBar) m_hBar->ApplyAttributeText(value);
  } else if (n == L"childpadding") {
    SetChildGap(_wtoi(value));
  } else if (n == L"childalign") {
    if (n = value; n == L"left") SetChildHorizontalAlign(0);
    else if (n == L"center") SetChildHorizontalAlign(1);
    else if (n == L"right") SetChildHorizontalAlign(2);
  } else if (n == L"childvalign") {
    if (n = value; n == L"top") SetChildVerticalAlign(0);
    else if (n == L"vcenter") SetChildVerticalAlign(4);
    else if (n == L"bottom") SetChildVerticalAlign(8);
  } else {
    CControlUI::ApplyAttribute(name, value);
  }
}

// ---------------------------------------------------------------- placement

bool CContainerUI::IsBarShown(const CScrollBarUI* bar) const { return bar && bar->IsVisible(); }
bool CContainerUI::IsBarActive(const CScrollBarUI* bar) const { return IsBarShown(bar) && bar->IsEnabled(); }

RECT CContainerUI::ContentPos() const { return ClientRect(); }

RECT CContainerUI::ClientRect() const {
  RECT rc = {m_item.left + m_inset.left, m_item.top + m_inset.top, m_item.right - m_inset.right,
             m_item.bottom - m_inset.bottom};
  if (IsBarShown(m_vBar)) rc.right -= m_vBar->GetFixedWidth();
  if (IsBarShown(m_hBar)) rc.bottom -= m_hBar->GetFixedHeight();
  return rc;
}

void CContainerUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  if (m_items.IsBlank()) return;
  RECT rc = {m_item.left + m_inset.left, m_item.top + m_inset.top, m_item.right - m_inset.right,
             m_item.bottom - m_inset.bottom};
  if (IsBarShown(m_vBar)) {
    rc.top -= m_vBar->ScrollOffset();
    rc.bottom -= m_vBar->ScrollOffset();
    rc.bottom += m_vBar->ScrollExtent();
    rc.right -= m_vBar->GetFixedWidth();
  }
  if (IsBarShown(m_hBar)) {
    rc.left -= m_hBar->ScrollOffset();
    rc.right -= m_hBar->ScrollOffset();
    rc.right += m_hBar->ScrollExtent();
    rc.bottom -= m_hBar->GetFixedHeight();
  }
  PlaceChildrenIn(rc);
}

void CContainerUI::PlaceChildrenIn(const RECT& area) {
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible()) continue;
    if (child->IsFloating()) {
      PlaceFloatingChild(i);
      continue;
    }
    int w = ClampSize(area.right - area.left, child->GetMinWidth(), child->GetMaxWidth());
    int h = ClampSize(area.bottom - area.top, child->GetMinHeight(), child->GetMaxHeight());
    child->SetPos(RECT{area.left, area.top, area.left + w, area.top + h}, false);
  }
}

void CContainerUI::PlaceFloatingChild(int index) {
  CControlUI* child = ItemAt(index);
  if (!child || !child->IsVisible() || !child->IsFloating()) return;
  int w = m_item.right - m_item.left, h = m_item.bottom - m_item.top;
  const double* f = child->FloatAnchors();
  SIZE xy = child->FloatOffset();
  RECT rc = {static_cast<LONG>(w * f[0]) + xy.cx, static_cast<LONG>(h * f[1]) + xy.cy,
             static_cast<LONG>(w * f[2]) + xy.cx + child->GetFixedWidth(),
             static_cast<LONG>(h * f[3]) + xy.cy + child->GetFixedHeight()};
  child->SetPos(rc, false);
}

void CContainerUI::Move(SIZE offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  if (IsBarShown(m_vBar)) m_vBar->Move(offset, false);
  if (IsBarShown(m_hBar)) m_hBar->Move(offset, false);
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (child->IsVisible()) child->Move(offset, false);
  }
}

// ---------------------------------------------------------------- scrolling

void CContainerUI::CreateBar(CScrollBarUI*& bar, bool horizontal) {
  bar = new CScrollBarUI();
  bar->SetScrollExtent(0);
  if (horizontal) bar->SetHorizontal(true);
  bar->SetOwner(this);
  if (!m_manager) {
    bar->BindToManager(nullptr, this, false);
    return;
  }
  bar->BindToManager(m_manager, this, false);
  const wchar_t* defaults = m_manager->ClassDefaults(horizontal ? L"HScrollBar" : L"VScrollBar");
  if (defaults) bar->ApplyAttributeText(defaults);
}

void CContainerUI::DestroyBar(CScrollBarUI*& bar) {
  if (!bar) return;
  CScrollBarUI* doomed = bar;
  bar = nullptr;
  doomed->DeleteSelf();
}

void CContainerUI::EnableScrollBars(bool vertical, bool horizontal) {
  if (vertical && !m_vBar) CreateBar(m_vBar, false);
  else if (!vertical && m_vBar) DestroyBar(m_vBar);
  if (horizontal && !m_hBar) CreateBar(m_hBar, true);
  else if (!horizontal && m_hBar) DestroyBar(m_hBar);
  RequestRelayout();
}

SIZE CContainerUI::ScrollOffset() const {
  return SIZE{IsBarShown(m_hBar) ? m_hBar->ScrollOffset() : 0, IsBarShown(m_vBar) ? m_vBar->ScrollOffset() : 0};
}

SIZE CContainerUI::ScrollExtent() const {
  return SIZE{IsBarShown(m_hBar) ? m_hBar->ScrollExtent() : 0, IsBarShown(m_vBar) ? m_vBar->ScrollExtent() : 0};
}

void CContainerUI::SetScrollOffset(SIZE offset) {
  SIZE old = ScrollOffset();
  if (IsBarShown(m_vBar)) m_vBar->SetScrollOffset(offset.cy, true);
  if (IsBarShown(m_hBar)) m_hBar->SetScrollOffset(offset.cx, true);
  SIZE now = ScrollOffset();
  int dx = now.cx - old.cx, dy = now.cy - old.cy;
  if (dx == 0 && dy == 0) return;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (child->IsVisible() && !child->IsFloating()) child->Move(SIZE{-dx, -dy}, false);
  }
  Invalidate();
}

void CContainerUI::ScrollLineUp() {
  int step = 8;
  if (m_manager) step = m_manager->BaseFontRecord()->metrics.tmHeight + 8;
  if (m_vBar && m_vBar->ScrollUnit() > 1) step = m_vBar->ScrollUnit();
  SIZE at = ScrollOffset();
  SetScrollOffset(SIZE{at.cx, at.cy - step});
}

void CContainerUI::ScrollLineDown() {
  int step = 8;
  if (m_manager) step = m_manager->BaseFontRecord()->metrics.tmHeight + 8;
  if (m_vBar && m_vBar->ScrollUnit() > 1) step = m_vBar->ScrollUnit();
  SIZE at = ScrollOffset();
  SetScrollOffset(SIZE{at.cx, at.cy + step});
}

void CContainerUI::ScrollPageUp() {
  SIZE at = ScrollOffset();
  int page = GetHeight() - m_inset.top - m_inset.bottom - (IsBarShown(m_hBar) ? m_hBar->GetFixedHeight() : 0);
  SetScrollOffset(SIZE{at.cx, at.cy - page});
}

void CContainerUI::ScrollPageDown() {
  SIZE at = ScrollOffset();
  int page = GetHeight() - m_inset.top - m_inset.bottom - (IsBarShown(m_hBar) ? m_hBar->GetFixedHeight() : 0);
  SetScrollOffset(SIZE{at.cx, at.cy + page});
}

void CContainerUI::ScrollToTop() { SetScrollOffset(SIZE{ScrollOffset().cx, 0}); }

void CContainerUI::ScrollToBottom() {
  // The range is only right after the next layout, which runs before the paint: served in PostPaint.
  if (m_manager) {
    m_scrollToBottomPending = true;
    m_manager->AddOverlayPainter(this);
  } else {
    SetScrollOffset(SIZE{ScrollOffset().cx, ScrollExtent().cy});
  }
}

void CContainerUI::ScrollLineLeft() {
  int step = (m_hBar && m_hBar->ScrollUnit() > 1) ? m_hBar->ScrollUnit() : 8;
  SIZE at = ScrollOffset();
  SetScrollOffset(SIZE{at.cx - step, at.cy});
}

void CContainerUI::ScrollLineRight() {
  int step = (m_hBar && m_hBar->ScrollUnit() > 1) ? m_hBar->ScrollUnit() : 8;
  SIZE at = ScrollOffset();
  SetScrollOffset(SIZE{at.cx + step, at.cy});
}

void CContainerUI::ScrollPageLeft() {
  SIZE at = ScrollOffset();
  int page = GetWidth() - m_inset.left - m_inset.right - (IsBarShown(m_vBar) ? m_vBar->GetFixedWidth() : 0);
  SetScrollOffset(SIZE{at.cx - page, at.cy});
}

void CContainerUI::ScrollPageRight() {
  SIZE at = ScrollOffset();
  int page = GetWidth() - m_inset.left - m_inset.right - (IsBarShown(m_vBar) ? m_vBar->GetFixedWidth() : 0);
  SetScrollOffset(SIZE{at.cx + page, at.cy});
}

void CContainerUI::ScrollToLeft() { SetScrollOffset(SIZE{0, ScrollOffset().cy}); }
void CContainerUI::ScrollToRight() { SetScrollOffset(SIZE{ScrollExtent().cx, ScrollOffset().cy}); }

void CContainerUI::Relayout(bool invalidate) { SetPos(m_float ? PosInParent() : m_item, invalidate); }

void CContainerUI::PlaceBar(CScrollBarUI* bar, const RECT& rect) { bar->SetPos(rect, false); }

void CContainerUI::UpdateScrollBars(RECT rect, int cxRequired, int cyRequired) {
  if (m_hBar && !m_vBar) UpdateHorizontalOnly(rect, cxRequired);
  else if (m_vBar && !m_hBar) UpdateVerticalOnly(rect, cyRequired);
  else if (m_vBar && m_hBar) UpdateBothBars(rect, cxRequired, cyRequired);
}

void CContainerUI::UpdateHorizontalOnly(RECT rc, int cxRequired) {
  int excess = cxRequired - (rc.right - rc.left);
  if (excess > 0 && !m_hBar->IsVisible()) {
    m_hBar->SetVisible(true);
    m_hBar->SetScrollExtent(excess);
    m_hBar->SetScrollOffset(0);
    m_scrollProcessing = true;
    Relayout(true);
    m_scrollProcessing = false;
    return;
  }
  if (!m_hBar->IsVisible()) return;
  if (excess <= 0 && !m_scrollProcessing) {
    m_hBar->SetVisible(false);
    m_hBar->SetScrollOffset(0);
    m_hBar->SetScrollExtent(0);
    Relayout(true);
    return;
  }
  PlaceBar(m_hBar, RECT{rc.left, rc.bottom, rc.right, rc.bottom + m_hBar->GetFixedHeight()});
  if (m_hBar->ScrollExtent() == excess) return;
  int old = m_hBar->ScrollOffset();
  m_hBar->SetScrollExtent(std::abs(excess));
  if (m_hBar->ScrollExtent() == 0) {
    m_hBar->SetVisible(false);
    m_hBar->SetScrollOffset(0);
  }
  if (m_hBar->ScrollOffset() < old) Relayout(false);
}

void CContainerUI::UpdateVerticalOnly(RECT rc, int cyRequired) {
  int excess = cyRequired - (rc.bottom - rc.top);
  if (excess > 0 && !m_vBar->IsVisible()) {
    m_vBar->SetVisible(true);
    m_vBar->SetScrollExtent(excess);
    m_vBar->SetScrollOffset(0);
    m_scrollProcessing = true;
    Relayout(true);
    m_scrollProcessing = false;
    return;
  }
  if (!m_vBar->IsVisible()) return;
  if (excess <= 0 && !m_scrollProcessing) {
    m_vBar->SetVisible(false);
    m_vBar->SetScrollOffset(0);
    m_vBar->SetScrollExtent(0);
    Relayout(true);
    return;
  }
  PlaceBar(m_vBar, RECT{rc.right, rc.top, rc.right + m_vBar->GetFixedWidth(), rc.bottom});
  if (m_vBar->ScrollExtent() == excess) return;
  int old = m_vBar->ScrollOffset();
  m_vBar->SetScrollExtent(std::abs(excess));
  if (m_vBar->ScrollExtent() == 0) {
    m_vBar->SetVisible(false);
    m_vBar->SetScrollOffset(0);
  }
  if (m_vBar->ScrollOffset() < old) Relayout(false);
}

void CContainerUI::UpdateBothBars(RECT rc, int cxRequired, int cyRequired) {
  bool hChanged = false;
  const int hHeight = m_hBar->GetFixedHeight(), vWidth = m_vBar->GetFixedWidth();
  auto placeHorizontal = [&]() {
    PlaceBar(m_hBar, RECT{rc.left, rc.bottom, rc.right, rc.bottom + hHeight});
  };
  if (cxRequired > rc.right - rc.left) {
    if (!m_hBar->IsVisible()) {
      m_hBar->SetVisible(true);
      m_hBar->SetScrollOffset(0);
      rc.bottom -= hHeight;
      hChanged = true;
    }
    placeHorizontal();
    if (m_hBar->ScrollExtent() != cxRequired - (rc.right - rc.left)) {
      m_hBar->SetScrollExtent(cxRequired - (rc.right - rc.left));
      hChanged = true;
    }
  } else if (m_hBar->IsVisible()) {
    m_hBar->SetVisible(false);
    rc.bottom += hHeight;
    hChanged = true;
  }
  int excess = cyRequired - (rc.bottom - rc.top);
  if (excess > 0 && !m_vBar->IsVisible()) {
    m_vBar->SetVisible(true);
    m_vBar->SetScrollExtent(excess);
    m_vBar->SetScrollOffset(0);
    rc.right -= vWidth;
    if (m_hBar->IsVisible()) {
      placeHorizontal();
      m_hBar->SetScrollExtent(cxRequired - (rc.right - rc.left));
    }
    m_scrollProcessing = true;
    Relayout(true);
    m_scrollProcessing = false;
    return;
  }
  if (!m_vBar->IsVisible()) {
    if (hChanged) Relayout(true);
    return;
  }
  if (excess <= 0 && !m_scrollProcessing) {
    m_vBar->SetVisible(false);
    m_vBar->SetScrollOffset(0);
    m_vBar->SetScrollExtent(0);
    rc.right += vWidth;
    if (m_hBar->IsVisible()) {
      placeHorizontal();
      m_hBar->SetScrollExtent(cxRequired - (rc.right - rc.left));
    }
    Relayout(true);
    return;
  }
  PlaceBar(m_vBar, RECT{rc.right, rc.top, rc.right + vWidth, rc.bottom});
  bool relayout = hChanged;
  if (m_vBar->ScrollExtent() != excess) {
    int old = m_vBar->ScrollOffset();
    m_vBar->SetScrollExtent(std::abs(excess));
    if (m_vBar->ScrollExtent() == 0) {
      m_vBar->SetVisible(false);
      m_vBar->SetScrollOffset(0);
    }
    relayout = relayout || m_vBar->ScrollOffset() < old;
  }
  if (relayout) Relayout(false);
}

// ---------------------------------------------------------------- input

void CContainerUI::HandleEvent(TEventMsg& event) {
  if (!m_mouseEnabled && event.type > 8 && event.type < 19) {
    if (m_parent) m_parent->HandleEvent(event);
    else CControlUI::HandleEvent(event);
    return;
  }
  switch (event.type) {
    case kEventSetFocus:
      m_focused = true;
      return;
    case kEventKillFocus:
      m_focused = false;
      return;
    case kEventKeyDown:
      if (!m_keyboardEnabled || !m_enabled) break;
      if (IsBarActive(m_vBar)) {
        switch (event.key) {
          case VK_PRIOR: ScrollPageUp(); return;
          case VK_NEXT: ScrollPageDown(); return;
          case VK_END: ScrollToBottom(); return;
          case VK_HOME: ScrollToTop(); return;
          case VK_UP: ScrollLineUp(); return;
          case VK_DOWN: ScrollLineDown(); return;
          default: break;
        }
      } else if (IsBarActive(m_hBar)) {
        switch (event.key) {
          case VK_PRIOR: ScrollPageLeft(); return;
          case VK_NEXT: ScrollPageRight(); return;
          case VK_END: ScrollToRight(); return;
          case VK_HOME: ScrollToLeft(); return;
          case VK_UP: ScrollLineLeft(); return;
          case VK_DOWN: ScrollLineRight(); return;
          default: break;
        }
      }
      break;
    case kEventScrollWheel: {
      bool down = LOWORD(event.wParam) == 1;
      bool overHorizontal = IsBarActive(m_hBar) && ::PtInRect(&m_hBar->GetPos(), event.mousePoint);
      if (overHorizontal || (!IsBarActive(m_vBar) && IsBarActive(m_hBar))) {
        down ? ScrollLineRight() : ScrollLineLeft();
        return;
      }
      if (IsBarActive(m_vBar)) {
        down ? ScrollLineDown() : ScrollLineUp();
        return;
      }
      break;
    }
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

// ---------------------------------------------------------------- search

CControlUI* CContainerUI::FindControl(FindPredicate predicate, void* data, UINT flags) {
  const bool hit = (flags & kFindHitTest) != 0;
  if ((flags & kFindVisible) && !IsVisible()) return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled()) return nullptr;
  if (hit && !::PtInRect(&m_item, *static_cast<POINT*>(data))) return nullptr;
  if ((flags & kFindUpdateTest) && predicate(this, data)) return nullptr;
  auto tryMe = [&]() -> CControlUI* { return (hit && !m_mouseEnabled) ? nullptr : predicate(this, data); };
  CControlUI* result = nullptr;
  if (flags & kFindMeFirst) result = tryMe();
  if (!result && m_cover && (!hit || m_mouseChildEnabled)) result = m_cover->FindControl(predicate, data, flags);
  if (!result && m_vBar && (!hit || m_mouseEnabled)) result = m_vBar->FindControl(predicate, data, flags);
  if (!result && m_hBar && (!hit || m_mouseEnabled)) result = m_hBar->FindControl(predicate, data, flags);
  if (result) return result;
  if (!hit || m_mouseChildEnabled) {
    RECT client = ClientRect();
    int count = m_items.Count();
    for (int n = 0; n < count; ++n) {
      int i = (flags & kFindTopFirst) ? count - 1 - n : n;
      auto* child = static_cast<CControlUI*>(m_items[i]);
      CControlUI* found = child->FindControl(predicate, data, flags);
      if (!found) continue;
      if (!hit || found->IsFloating() || ::PtInRect(&client, *static_cast<POINT*>(data))) return found;
    }
  }
  if (!(flags & kFindMeFirst) && (!hit || m_mouseEnabled)) result = predicate(this, data);
  return result;
}

// ---------------------------------------------------------------- painting

bool CContainerUI::PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl) {
  RECT area;
  if (!::IntersectRect(&area, &paint, &m_item)) return true;
  CClipScope clip(dc, area);
  CControlUI::PaintContent(dc, paint, stopControl);
  if (!m_items.IsBlank()) {
    RECT client = ClientRect(), inner;
    if (::IntersectRect(&inner, &paint, &client)) {
      CClipScope innerClip(dc, inner);
      for (int i = 0; i < m_items.Count(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (child == stopControl) return false;
        if (!child->IsVisible() || !Meets(paint, child->GetPos())) continue;
        if (child->IsFloating()) {
          if (!Meets(m_item, child->GetPos())) continue;
          innerClip.UseOuter();
          bool go = child->Paint(dc, paint, stopControl);
          innerClip.UseOwn();
          if (!go) return false;
        } else if (Meets(client, child->GetPos())) {
          if (!child->Paint(dc, paint, stopControl)) return false;
        }
      }
    } else {
      for (int i = 0; i < m_items.Count(); ++i) {
        auto* child = static_cast<CControlUI*>(m_items[i]);
        if (child == stopControl) return false;
        if (!child->IsVisible() || !child->IsFloating() || !Meets(m_item, child->GetPos())) continue;
        if (!Meets(paint, child->GetPos())) continue;
        if (!child->Paint(dc, paint, stopControl)) return false;
      }
    }
  }
  for (CScrollBarUI* bar : {m_vBar, m_hBar}) {
    if (!bar) continue;
    if (bar == stopControl) return false;
    if (bar->IsVisible() && Meets(paint, bar->GetPos()) && !bar->Paint(dc, paint, stopControl)) return false;
  }
  return true;
}

void CContainerUI::PostPaint(HDC dc, const RECT& paint) {
  if (m_scrollToBottomPending) {
    m_scrollToBottomPending = false;
    SetScrollOffset(SIZE{ScrollOffset().cx, ScrollExtent().cy});
    if (m_manager) m_manager->RemoveOverlayPainter(this);
  }
  CControlUI::PostPaint(dc, paint);
}

}  // namespace SkinUI

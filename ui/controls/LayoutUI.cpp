#include "ui/controls/LayoutUI.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "ui/controls/ScrollBarUI.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
bool IsTrue(const wchar_t* value) { return wcscmp(value, L"true") == 0; }
int Height(const RECT& r) { return r.bottom - r.top; }
int Width(const RECT& r) { return r.right - r.left; }
}  // namespace

// ---------------------------------------------------------------- separator

CStackLayoutUI::~CStackLayoutUI() = default;

UINT CStackLayoutUI::ControlTraits() const { return (IsEnabled() && m_sepSize != 0) ? kFlagSetCursor : 0u; }

void CStackLayoutUI::SetSeparatorImmediate(bool immediate) {
  if (immediate == m_sepImmediate) return;
  if (IsDraggingSeparator() && !m_sepImmediate && m_manager) m_manager->RemoveOverlayPainter(this);
  m_sepImmediate = immediate;
}

RECT CStackLayoutUI::SeparatorRect(bool dragged) const {
  RECT rc = (dragged && IsDraggingSeparator()) ? m_newPos : m_item;
  const int s = m_sepSize;
  if (m_vertical) {
    if (s > 0) return RECT{rc.left, std::max(rc.top, rc.bottom - s), rc.right, rc.bottom};
    if (s < 0) return RECT{rc.left, rc.top, rc.right, std::min(rc.bottom, rc.top - s)};
  } else {
    if (s > 0) return RECT{rc.right - s, rc.top, rc.right, rc.bottom};
    if (s < 0) return RECT{rc.left, rc.top, rc.left - s, rc.bottom};
  }
  return RECT{0, 0, 0, 0};
}

SIZE CStackLayoutUI::LimitToChild(SIZE available, const CControlUI* child) {
  int fw = child->GetFixedWidth(), fh = child->GetFixedHeight();
  available.cx = std::min<LONG>(available.cx, fw > 0 ? fw : child->GetMaxWidth());
  available.cy = std::min<LONG>(available.cy, fh > 0 ? fh : child->GetMaxHeight());
  return available;
}

void CStackLayoutUI::OnSeparatorDrag(POINT pt) {
  // Written for the vertical layout; the horizontal one reads x for y and widths for heights.
  const bool v = m_vertical;
  const int d = v ? pt.y - m_lastMouse.y : pt.x - m_lastMouse.x;
  const int at = v ? pt.y : pt.x;
  RECT thumb = SeparatorRect(true);
  LONG& nearEdge = v ? m_newPos.top : m_newPos.left;
  LONG& farEdge = v ? m_newPos.bottom : m_newPos.right;
  const int minSize = v ? GetMinHeight() : GetMinWidth();
  const int maxSize = v ? GetMaxHeight() : GetMaxWidth();
  const int current = farEdge - nearEdge;
  int start = nearEdge, end = farEdge;
  if (m_sepSize > 0) {
    if ((d > 0 && at < (v ? thumb.top : thumb.left)) || (d < 0 && at > farEdge)) return;
    end += d;
  } else {
    if ((d < 0 && at > (v ? thumb.bottom : thumb.right)) || (d > 0 && at < nearEdge)) return;
    start += d;
  }
  auto resize = [&](int size) {
    if (m_sepSize > 0) end = start + size;
    else start = end - size;
  };
  if (end - start <= minSize) {
    if (current <= minSize) return;
    resize(minSize);
  }
  if (end - start >= maxSize) {
    if (current >= maxSize) return;
    resize(maxSize);
  }
  m_lastMouse = pt;
  RECT oldThumb = thumb;
  nearEdge = start;
  farEdge = end;
  if (v) m_fixedSize.cy = end - start;
  else m_fixedSize.cx = end - start;
  if (m_sepImmediate) {
    m_item = m_newPos;
    RequestParentRelayout();
    return;
  }
  if (!m_manager) return;
  m_manager->Redraw(oldThumb);
  m_manager->Redraw(SeparatorRect(true));
  m_manager->Redraw(SeparatorRect(false));
}

void CStackLayoutUI::OnSeparatorRelease() {
  m_sepState &= ~kDragging;
  m_item = m_newPos;
  if (!m_sepImmediate && m_manager) m_manager->RemoveOverlayPainter(this);
  RequestParentRelayout();
}

void CStackLayoutUI::HandleEvent(TEventMsg& event) {
  if (m_sepSize != 0) {
    switch (event.type) {
      case kEventButtonDown:
        if (IsEnabled()) {
          RECT thumb = SeparatorRect(false);
          if (::PtInRect(&thumb, event.mousePoint)) {
            m_sepState |= kDragging;
            m_lastMouse = event.mousePoint;
            m_newPos = m_item;
            if (!m_sepImmediate && m_manager) m_manager->AddOverlayPainter(this);
            return;
          }
        }
        break;
      case kEventMouseMove:
        if (IsDraggingSeparator()) {
          OnSeparatorDrag(event.mousePoint);
          return;
        }
        break;
      case kEventButtonUp:
        if (IsDraggingSeparator()) {
          OnSeparatorRelease();
          return;
        }
        break;
      case kEventSetCursor:
        if (IsEnabled()) {
          RECT thumb = SeparatorRect(false);
          if (::PtInRect(&thumb, event.mousePoint)) {
            ::SetCursor(::LoadCursorW(nullptr, m_vertical ? IDC_SIZENS : IDC_SIZEWE));
            return;
          }
        }
        break;
      default:
        break;
    }
  }
  CContainerUI::HandleEvent(event);
}

void CStackLayoutUI::PostPaint(HDC dc, const RECT& paint) {
  if (IsDraggingSeparator() && !m_sepImmediate) CRenderer::FillColor(dc, SeparatorRect(true), 0xAA000000);
  CContainerUI::PostPaint(dc, paint);
}

void CStackLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  if (wcscmp(name, m_vertical ? L"sepheight" : L"sepwidth") == 0) SetSeparatorSize(_wtoi(value));
  else if (wcscmp(name, L"sepimm") == 0) SetSeparatorImmediate(IsTrue(value));
  else CContainerUI::ApplyAttribute(name, value);
}

// ---------------------------------------------------------------- vertical

void* CVerticalLayoutUI::CastToInterface(const wchar_t* name) {
  return wcscmp(name, L"VerticalLayout") == 0 ? this : CContainerUI::CastToInterface(name);
}

void CVerticalLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT rc = ClientRect();
  if (m_items.IsBlank()) {
    UpdateScrollBars(rc, 0, 0);
    return;
  }
  const bool vShown = IsBarShown(m_vBar), hShown = IsBarShown(m_hBar);
  const SIZE avail = {Width(rc) + (hShown ? m_hBar->ScrollExtent() : 0),
                      Height(rc) + (vShown ? m_vBar->ScrollExtent() : 0)};
  // First pass: what the fixed children take and how many share the rest.
  int fixedTally = 0, flexible = 0, estimated = 0, neededWidth = 0;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible() || child->IsFloating()) continue;
    RECT pad = child->GetPadding();
    SIZE sz = child->MeasureDesiredSize(LimitToChild(SIZE{avail.cx - pad.left - pad.right, avail.cy}, child));
    if (sz.cy == 0) ++flexible;
    else sz.cy = ClampSize(sz.cy, child->GetMinHeight(), child->GetMaxHeight());
    fixedTally += sz.cy + pad.top + pad.bottom;
    sz.cx = ClampSize(std::max<LONG>(sz.cx, 0), child->GetMinWidth(), child->GetMaxWidth());
    neededWidth = std::max<int>(neededWidth, sz.cx + pad.left + pad.right);
    ++estimated;
  }
  if (estimated > 1) fixedTally += (estimated - 1) * m_childPadding;
  const int share = flexible ? std::max<int>(0, (avail.cy - fixedTally) / flexible) : 0;

  // Second pass: place; the last flexible child absorbs the rounding.
  int y = rc.top - (vShown ? m_vBar->ScrollOffset() : 0);
  int remaining = avail.cy, remainingFixed = fixedTally, seen = 0, flexSeen = 0, neededHeight = 0;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible()) continue;
    if (child->IsFloating()) {
      PlaceFloatingChild(i);
      continue;
    }
    RECT pad = child->GetPadding();
    remaining -= pad.top;
    SIZE room = LimitToChild(SIZE{avail.cx - pad.left - pad.right, remaining}, child);
    remainingFixed -= pad.top + pad.bottom;
    if (seen++ > 0) remainingFixed -= m_childPadding;
    SIZE sz = child->MeasureDesiredSize(room);
    int h;
    if (sz.cy != 0) {
      h = ClampSize(sz.cy, child->GetMinHeight(), child->GetMaxHeight());
      remainingFixed -= h;
    } else {
      h = (++flexSeen == flexible) ? std::max(0, remaining - static_cast<int>(pad.bottom) - remainingFixed) : share;
      h = ClampSize(h, child->GetMinHeight(), child->GetMaxHeight());
    }
    int w = child->GetMaxWidth();
    if (w == 0) w = avail.cx - pad.left - pad.right;
    w = std::max(child->GetMinWidth(), std::min<int>(std::max(w, 0), room.cx));
    const int top = y + pad.top;
    RECT placed;
    if (m_childAlign == 1) {
      int c = (rc.left + rc.right) / 2 + (hShown ? m_hBar->ScrollExtent() / 2 - m_hBar->ScrollOffset() : 0);
      placed = RECT{c - w / 2, top, c + w - w / 2, top + h};
    } else if (m_childAlign == 2) {
      int e = rc.right + (hShown ? m_hBar->ScrollExtent() - m_hBar->ScrollOffset() : 0);
      placed = RECT{e - pad.right - w, top, e - pad.right, top + h};
    } else {
      int x = rc.left - (hShown ? m_hBar->ScrollOffset() : 0) + pad.left;
      placed = RECT{x, top, x + w, top + h};
    }
    child->SetPos(placed, false);
    y += h + m_childPadding + pad.top + pad.bottom;
    neededHeight += h + pad.top + pad.bottom;
    remaining -= h + m_childPadding + pad.bottom;
  }
  if (estimated > 1) neededHeight += (estimated - 1) * m_childPadding;
  UpdateScrollBars(rc, neededWidth, neededHeight);
}

// ---------------------------------------------------------------- horizontal

void* CHorizontalLayoutUI::CastToInterface(const wchar_t* name) {
  return wcscmp(name, L"HorizontalLayout") == 0 ? this : CContainerUI::CastToInterface(name);
}

void CHorizontalLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT rc = ClientRect();
  if (m_items.IsBlank()) {
    UpdateScrollBars(rc, 0, 0);
    return;
  }
  const bool vShown = IsBarShown(m_vBar), hShown = IsBarShown(m_hBar);
  const SIZE avail = {Width(rc) + (hShown ? m_hBar->ScrollExtent() : 0),
                      Height(rc) + (vShown ? m_vBar->ScrollExtent() : 0)};
  int fixedTally = 0, flexible = 0, estimated = 0, neededHeight = 0;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible() || child->IsFloating()) continue;
    RECT pad = child->GetPadding();
    ++estimated;
    SIZE sz = {0, child->GetFixedHeight()};
    if (child->GetFixedWidth() == 0) {
      ++flexible;
    } else {
      sz = child->MeasureDesiredSize(LimitToChild(SIZE{avail.cx, avail.cy - pad.top - pad.bottom}, child));
      if (sz.cx == 0) ++flexible;
      else sz.cx = ClampSize(sz.cx, child->GetMinWidth(), child->GetMaxWidth());
    }
    fixedTally += sz.cx + pad.left + pad.right;
    sz.cy = ClampSize(std::max<LONG>(sz.cy, 0), child->GetMinHeight(), child->GetMaxHeight());
    neededHeight = std::max<int>(neededHeight, sz.cy + pad.top + pad.bottom);
  }
  if (estimated > 1) fixedTally += (estimated - 1) * m_childPadding;
  const int share = flexible ? std::max<int>(0, (avail.cx - fixedTally) / flexible) : 0;

  int x = rc.left - (hShown ? m_hBar->ScrollOffset() : 0);
  int remaining = avail.cx, remainingFixed = fixedTally, seen = 0, flexSeen = 0, neededWidth = 0;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible()) continue;
    if (child->IsFloating()) {
      PlaceFloatingChild(i);
      continue;
    }
    RECT pad = child->GetPadding();
    remaining -= pad.left;
    SIZE room = LimitToChild(SIZE{remaining, avail.cy - pad.top - pad.bottom}, child);
    remainingFixed -= pad.left + pad.right;
    if (seen++ > 0) remainingFixed -= m_childPadding;
    SIZE sz = {0, 0};
    if (child->GetFixedWidth() != 0) sz = child->MeasureDesiredSize(room);
    int w;
    if (child->GetFixedWidth() != 0 && sz.cx != 0) {
      w = ClampSize(sz.cx, child->GetMinWidth(), child->GetMaxWidth());
      remainingFixed -= w;
    } else {
      w = (++flexSeen == flexible) ? std::max(0, remaining - static_cast<int>(pad.right) - remainingFixed) : share;
      w = ClampSize(w, child->GetMinWidth(), child->GetMaxWidth());
    }
    int h = child->GetMaxHeight();
    if (h == 0) h = avail.cy - pad.top - pad.bottom;
    h = std::max(child->GetMinHeight(), std::min<int>(std::max(h, 0), room.cy));
    const int left = x + pad.left;
    RECT placed;
    if (m_childVAlign == 4) {
      int c = (rc.top + rc.bottom) / 2 + (vShown ? m_vBar->ScrollExtent() / 2 - m_vBar->ScrollOffset() : 0);
      placed = RECT{left, c - h / 2, left + w, c + h - h / 2};
    } else if (m_childVAlign == 8) {
      int e = rc.bottom + (vShown ? m_vBar->ScrollExtent() - m_vBar->ScrollOffset() : 0);
      placed = RECT{left, e - pad.bottom - h, left + w, e - pad.bottom};
    } else {
      int top = rc.top - (vShown ? m_vBar->ScrollOffset() : 0) + pad.top;
      placed = RECT{left, top, left + w, top + h};
    }
    child->SetPos(placed, false);
    x += w + m_childPadding + pad.left + pad.right;
    neededWidth += w + pad.left + pad.right;
    remaining -= w + m_childPadding + pad.right;
  }
  if (estimated > 1) neededWidth += (estimated - 1) * m_childPadding;
  UpdateScrollBars(rc, neededWidth, neededHeight);
}

// ---------------------------------------------------------------- tab

void* CTabLayoutUI::CastToInterface(const wchar_t* name) {
  return wcscmp(name, L"TabLayout") == 0 ? this : CContainerUI::CastToInterface(name);
}

void CTabLayoutUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT rc = {m_item.left + m_inset.left, m_item.top + m_inset.top, m_item.right - m_inset.right,
             m_item.bottom - m_inset.bottom};
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (child->IsFloating()) {
      if (child->IsVisible()) PlaceFloatingChild(i);
      continue;
    }
    if (i != m_selected) continue;
    RECT pad = child->GetPadding();
    RECT room = {rc.left + pad.left, rc.top + pad.top, rc.right - pad.right, rc.bottom - pad.bottom};
    SIZE sz = child->MeasureDesiredSize(SIZE{Width(room), Height(room)});
    int w = sz.cx ? sz.cx : std::max(0, Width(room));
    int h = sz.cy ? sz.cy : std::max(0, Height(room));
    w = ClampSize(w, child->GetMinWidth(), child->GetMaxWidth());
    h = ClampSize(h, child->GetMinHeight(), child->GetMaxHeight());
    child->SetPos(RECT{room.left, room.top, room.left + w, room.top + h}, false);
  }
}

void CTabLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  if (wcscmp(name, L"selectedid") == 0) SelectItem(_wtoi(value), true);
  CContainerUI::ApplyAttribute(name, value);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, m_items.Count()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  // The child's own wish counts, not what an invisible tab layout imposes on it while being added.
  const bool wanted = control && control->IsVisible();
  if (!CContainerUI::AddAt(control, index)) return false;
  if (m_selected < 0 && wanted) {
    m_selected = index;
    return true;
  }
  if (m_selected >= 0 && index <= m_selected) ++m_selected;
  control->SetVisible(false);
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool doNotDestroy) {
  int index = m_items.IndexOf(control);
  if (index < 0 || !CContainerUI::Remove(control, doNotDestroy)) return false;
  if (index == m_selected) {
    m_selected = m_items.IsBlank() ? -1 : 0;
    if (m_selected == 0) ItemAt(0)->SetVisible(true);
    RequestParentRelayout();
  } else if (index < m_selected) {
    --m_selected;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  m_selected = -1;
  CContainerUI::RemoveAll();
  RequestParentRelayout();
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
  if (index < 0 || index >= m_items.Count()) return false;
  if (index == m_selected) return true;
  int previous = m_selected;
  m_selected = index;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (i == index) {
      child->SetVisible(true);
      child->SetFocus();
    } else {
      child->SetVisible(false);
    }
  }
  RequestParentRelayout();
  if (m_manager) {
    m_manager->MoveTabFocus(true);
    if (notify) m_manager->SendNotification(this, L"tabselect", index, previous);
  }
  return true;
}

}  // namespace SkinUI

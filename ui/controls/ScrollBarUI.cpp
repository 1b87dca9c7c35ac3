#include "ui/controls/ScrollBarUI.h"

#include <algorithm>
#include <cwchar>

#include "ui/controls/ContainerUI.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
bool IsTrue(const wchar_t* value) { return wcscmp(value, L"true") == 0; }
bool IsMouseEvent(int type) { return type > 8 && type < 19; }

// Builds a rectangle from coordinates along the bar and across it.
RECT MakeRect(bool horizontal, int along0, int along1, int cross0, int cross1) {
  return horizontal ? RECT{along0, cross0, along1, cross1} : RECT{cross0, along0, cross1, along1};
}
}  // namespace

CScrollBarUI::CScrollBarUI() { m_fixedSize.cx = 16; }

CScrollBarUI::~CScrollBarUI() = default;

void* CScrollBarUI::CastToInterface(const wchar_t* name) {
  return wcscmp(name, L"ScrollBar") == 0 ? this : CControlUI::CastToInterface(name);
}

void CScrollBarUI::SetVisible(bool visible) {
  // The owner places its bars; showing or hiding one must not ask the tree for a new layout.
  m_visible = visible;
  m_focused = false;
}

void CScrollBarUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) m_button[0].state = m_button[1].state = m_thumb.state = 0;
}

void CScrollBarUI::SetFocus() {
  if (m_owner) m_owner->SetFocus();
  else CControlUI::SetFocus();
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
  if (m_horizontal == horizontal) return;
  m_horizontal = horizontal;
  if (m_horizontal && m_fixedSize.cy == 0) m_fixedSize = SIZE{0, 16};
  else if (!m_horizontal && m_fixedSize.cx == 0) m_fixedSize = SIZE{16, 0};
  if (m_owner) m_owner->RequestRelayout();
  else RequestParentRelayout();
}

void CScrollBarUI::SetScrollExtent(int range) {
  if (m_range == range) return;
  m_range = std::max(range, 0);
  if (m_position > m_range) m_position = m_range;
  LayoutParts();
  Invalidate();
}

void CScrollBarUI::SetScrollOffset(int position, bool notify) {
  if (m_position == position) return;
  if (position < 0) position = 0;
  if (m_scrollUnit > 1) {
    int rest = position % m_scrollUnit;
    position = rest < m_scrollUnit / 2 ? position - rest : position + m_scrollUnit - rest;
  }
  position = std::min(position, m_range);
  int old = m_position;
  if (position == old) return;
  m_position = position;
  LayoutParts();
  Invalidate();
  if (notify && m_manager) m_manager->SendNotification(this, L"scroll", m_position, old, true, false);
}

void CScrollBarUI::SetLineStep(int size) {
  if (size >= 0) m_lineSize = size;
}

void CScrollBarUI::SetScrollUnit(int unit) {
  if (unit >= 0) m_scrollUnit = unit;
}

void CScrollBarUI::SetShowStartButton(bool show) {
  m_button[0].shown = show;
  LayoutParts();
  Invalidate();
}

void CScrollBarUI::SetShowEndButton(bool show) {
  m_button[1].shown = show;
  LayoutParts();
  Invalidate();
}

void CScrollBarUI::SetStartButtonColor(DWORD color) {
  if (m_button[0].color == color) return;
  m_button[0].color = color;
  Invalidate();
}
void CScrollBarUI::SetEndButtonColor(DWORD color) {
  if (m_button[1].color == color) return;
  m_button[1].color = color;
  Invalidate();
}
void CScrollBarUI::SetThumbColor(DWORD color) {
  if (m_thumb.color == color) return;
  m_thumb.color = color;
  Invalidate();
}

// ---------------------------------------------------------------- placement

void CScrollBarUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  LayoutParts();
}

void CScrollBarUI::LayoutParts() {
  LayoutAlong(m_item, m_horizontal ? m_fixedSize.cy : m_fixedSize.cx, m_horizontal);
}

void CScrollBarUI::LayoutAlong(const RECT& item, int thickness, bool flip) {
  const int start = flip ? item.left : item.top;
  const int end = flip ? item.right : item.bottom;
  const int cross = flip ? item.top : item.left;
  const int length = end - start;
  const int shownButtons = (m_button[0].shown ? 1 : 0) + (m_button[1].shown ? 1 : 0);
  const int room = length - thickness * shownButtons;
  if (thickness < room) {
    int firstEnd = m_button[0].shown ? start + thickness : start;
    int secondStart = m_button[1].shown ? end - thickness : end;
    m_button[0].rect = m_button[0].shown ? MakeRect(flip, start, firstEnd, cross, cross + thickness)
                                         : MakeRect(flip, start, start, cross, cross);
    m_button[1].rect = m_button[1].shown ? MakeRect(flip, secondStart, end, cross, cross + thickness)
                                         : MakeRect(flip, end, end, cross, cross);
    int thumbStart = firstEnd, thumbEnd = secondStart;
    if (m_range > 0) {
      // 64-bit products: a long bar with a huge range must not overflow.
      int thumb = static_cast<int>(static_cast<long long>(length) * room / (length + static_cast<long long>(m_range)));
      thumb = std::max(thumb, thickness);
      thumbStart = static_cast<int>(static_cast<long long>(room - thumb) * m_position / m_range) + firstEnd;
      thumbEnd = thumbStart + thumb;
      if (thumbEnd > secondStart) {
        thumbStart -= thumbEnd - secondStart;
        thumbEnd = secondStart;
      }
    }
    m_thumb.rect = MakeRect(flip, thumbStart, thumbEnd, cross, cross + thickness);
    return;
  }
  int button = std::min(length / 2, thickness);
  m_button[0].rect = m_button[0].shown ? MakeRect(flip, start, start + button, cross, cross + thickness)
                                       : MakeRect(flip, start, start, cross, cross);
  m_button[1].rect = m_button[1].shown ? MakeRect(flip, end - button, end, cross, cross + thickness)
                                       : MakeRect(flip, end, end, cross, cross);
  m_thumb.rect = RECT{0, 0, 0, 0};
}

// ---------------------------------------------------------------- attributes

void CScrollBarUI::SetPartImage(TDrawInfo& record, const wchar_t* text) {
  if (record.text == text) return;
  record.Clear();
  record.text = text;
  Invalidate();
}

bool CScrollBarUI::ApplyPartImage(const wchar_t* name, const wchar_t* value) {
  static const wchar_t* const kStates[4] = {L"normalimage", L"hotimage", L"pushedimage", L"disabledimage"};
  struct Family {
    const wchar_t* prefix;
    TDrawInfo* images;
  };
  const Family families[] = {{L"button1", m_button[0].images}, {L"button2", m_button[1].images},
                             {L"thumb", m_thumb.images},       {L"rail", m_railImages},
                             {L"bk", m_backImages}};
  for (const Family& family : families) {
    size_t prefix = wcslen(family.prefix);
    if (wcsncmp(name, family.prefix, prefix) != 0) continue;
    for (int i = 0; i < 4; ++i) {
      if (wcscmp(name + prefix, kStates[i]) == 0) {
        SetPartImage(family.images[i], value);
        return true;
      }
    }
  }
  return false;
}

void CScrollBarUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  if (ApplyPartImage(name, value)) return;
  CUIString n(name);
  if (n == L"button1color") SetStartButtonColor(ParseColorText(value));
  else if (n == L"button2color") SetEndButtonColor(ParseColorText(value));
  else if (n == L"thumbcolor") SetThumbColor(ParseColorText(value));
  else if (n == L"hor") SetHorizontal(IsTrue(value));
  else if (n == L"linesize") SetLineStep(_wtoi(value));
  else if (n == L"range") SetScrollExtent(_wtoi(value));
  else if (n == L"value") SetScrollOffset(_wtoi(value), true);
  else if (n == L"scrollunit") SetScrollUnit(_wtoi(value));
  else if (n == L"showbutton1") SetShowStartButton(IsTrue(value));
  else if (n == L"showbutton2") SetShowEndButton(IsTrue(value));
  else CControlUI::ApplyAttribute(name, value);
}

// ---------------------------------------------------------------- painting

namespace {
// The image for a state: disabled, else pushed, else hot; the normal one when none applies or draws.
template <typename Draw>
void DrawForState(TDrawInfo* images, UINT state, Draw draw) {
  TDrawInfo* chosen = nullptr;
  if (state & CScrollBarUI::kStateDisabled) chosen = &images[3];
  else if (state & CScrollBarUI::kStatePushed) chosen = &images[2];
  else if (state & CScrollBarUI::kStateHot) chosen = &images[1];
  if (chosen && !chosen->text.IsBlank() && draw(*chosen)) return;
  if (!images[0].text.IsBlank()) draw(images[0]);
}
}  // namespace

void CScrollBarUI::PaintPart(HDC dc, TPart& part, TDrawInfo* images, UINT state, const RECT& rect) {
  if (part.color != 0) CRenderer::FillColor(dc, rect, part.color);
  RECT relative = rect;
  ::OffsetRect(&relative, -m_item.left, -m_item.top);
  DrawForState(images, state, [&](TDrawInfo& record) {
    if (!record.parsed) CRenderer::ParseImageString(record);
    record.dest = relative;
    return DrawImageRecord(dc, record);
  });
}

void CScrollBarUI::PaintRail(HDC dc) {
  const RECT& t = m_thumb.rect;
  RECT band;
  if (m_horizontal) {
    int thickness = m_fixedSize.cy, centre = (t.left + t.right) / 2;
    band = RECT{centre - thickness / 2, t.top, centre + thickness - thickness / 2, t.bottom};
  } else {
    int thickness = m_fixedSize.cx, centre = (t.top + t.bottom) / 2;
    band = RECT{t.left, centre - thickness / 2, t.right, centre + thickness - thickness / 2};
  }
  TPart none;
  none.color = 0;
  PaintPart(dc, none, m_railImages, m_thumb.state, band);
}

bool CScrollBarUI::PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl) {
  PaintBackColor(dc);
  PaintBackImage(dc);
  UINT disabled = IsEnabled() ? 0u : kStateDisabled;
  m_thumb.state = (m_thumb.state & ~kStateDisabled) | disabled;
  DrawForState(m_backImages, m_thumb.state, [&](TDrawInfo& record) { return DrawImageRecord(dc, record); });
  for (TPart& button : m_button) {
    if (!button.shown) continue;
    button.state = (button.state & ~kStateDisabled) | disabled;
    PaintPart(dc, button, button.images, button.state, button.rect);
  }
  if (!::IsRectEmpty(&m_thumb.rect)) {
    PaintPart(dc, m_thumb, m_thumb.images, m_thumb.state, m_thumb.rect);
    PaintRail(dc);
  }
  PaintBorder(dc);
  return true;
}

// ---------------------------------------------------------------- input

void CScrollBarUI::PassToOwner(TEventMsg& event) {
  if (m_owner) m_owner->HandleEvent(event);
  else CControlUI::HandleEvent(event);
}

void CScrollBarUI::LineBack() {
  if (!m_owner) SetScrollOffset(m_position - LineStep(), true);
  else if (m_horizontal) m_owner->ScrollLineLeft();
  else m_owner->ScrollLineUp();
}

void CScrollBarUI::LineForward() {
  if (!m_owner) SetScrollOffset(m_position + LineStep(), true);
  else if (m_horizontal) m_owner->ScrollLineRight();
  else m_owner->ScrollLineDown();
}

void CScrollBarUI::PageTowards(POINT pt) {
  int at = Along(pt);
  int thumbStart = m_horizontal ? m_thumb.rect.left : m_thumb.rect.top;
  int thumbEnd = m_horizontal ? m_thumb.rect.right : m_thumb.rect.bottom;
  int page = m_horizontal ? GetWidth() : GetHeight();
  if (at < thumbStart) {
    if (!m_owner) SetScrollOffset(m_position - page, true);
    else if (m_horizontal) m_owner->ScrollPageLeft();
    else m_owner->ScrollPageUp();
  } else if (at >= thumbEnd) {
    if (!m_owner) SetScrollOffset(m_position + page, true);
    else if (m_horizontal) m_owner->ScrollPageRight();
    else m_owner->ScrollPageDown();
  }
}

void CScrollBarUI::ScrollOwnerTo(int position) {
  if (!m_owner) {
    SetScrollOffset(position, true);
    return;
  }
  SIZE offset = m_owner->ScrollOffset();
  if (m_horizontal) offset.cx = position;
  else offset.cy = position;
  m_owner->SetScrollOffset(offset);
}

void CScrollBarUI::StartPress(TEventMsg& event) {
  m_dragOffset = 0;
  m_repeatCount = 0;
  if (m_manager) m_manager->StartTimer(this, kRepeatTimer, kRepeatMs);
  POINT pt = event.mousePoint;
  if (m_button[0].shown && ::PtInRect(&m_button[0].rect, pt)) {
    m_button[0].state |= kStatePushed;
    LineBack();
  } else if (m_button[1].shown && ::PtInRect(&m_button[1].rect, pt)) {
    m_button[1].state |= kStatePushed;
    LineForward();
  } else if (::PtInRect(&m_thumb.rect, pt)) {
    m_thumb.state |= kStatePushed | kStateCaptured;
    m_lastMouse = pt;
    m_dragStartPosition = m_position;
  } else {
    PageTowards(pt);
  }
  Invalidate();
}

void CScrollBarUI::EndPress() {
  m_dragOffset = 0;
  m_repeatCount = 0;
  if (m_manager) m_manager->StopTimer(this, kRepeatTimer);
  if (m_thumb.state & kStateCaptured) {
    m_thumb.state &= ~(kStatePushed | kStateCaptured);
  } else {
    m_button[0].state &= ~kStatePushed;
    m_button[1].state &= ~kStatePushed;
  }
  Invalidate();
}

void CScrollBarUI::OnMouseMove(TEventMsg& event) {
  if (m_thumb.state & kStateCaptured) {
    int thumbLength = m_horizontal ? m_thumb.rect.right - m_thumb.rect.left : m_thumb.rect.bottom - m_thumb.rect.top;
    int buttons = 0;
    for (const TPart& button : m_button) {
      if (button.shown) buttons += m_horizontal ? button.rect.right - button.rect.left : button.rect.bottom - button.rect.top;
    }
    int track = (m_horizontal ? GetWidth() : GetHeight()) - thumbLength - buttons;
    if (track != 0) {
      long long moved = Along(event.mousePoint) - Along(m_lastMouse);
      m_dragOffset = static_cast<int>(moved * m_range / track);
    }
    return;
  }
  if (!IsEnabled()) return;
  UINT hot = ::PtInRect(&m_thumb.rect, event.mousePoint) ? kStateHot : 0u;
  if ((m_thumb.state & kStateHot) == hot) return;
  m_thumb.state = (m_thumb.state & ~kStateHot) | hot;
  Invalidate();
}

void CScrollBarUI::OnTimer() {
  ++m_repeatCount;
  if (m_thumb.state & kStateCaptured) {
    ScrollOwnerTo(m_dragStartPosition + m_dragOffset);
    Invalidate();
    return;
  }
  if (m_repeatCount <= 5) return;
  if (m_button[0].state & kStatePushed) {
    LineBack();
  } else if (m_button[1].state & kStatePushed) {
    LineForward();
  } else {
    POINT pt;
    if (!m_manager || !::GetCursorPos(&pt)) return;
    ::ScreenToClient(m_manager->PaintWindow(), &pt);
    if (!::PtInRect(&m_thumb.rect, pt)) PageTowards(pt);
  }
}

void CScrollBarUI::OnMouseEnter(TEventMsg& event) {
  if (!IsEnabled() || !::PtInRect(&m_item, event.mousePoint)) return;
  m_button[0].state |= kStateHot;
  m_button[1].state |= kStateHot;
  if (::PtInRect(&m_thumb.rect, event.mousePoint)) m_thumb.state |= kStateHot;
  Invalidate();
}

void CScrollBarUI::OnMouseLeave(TEventMsg& event) {
  if (::PtInRect(&m_item, event.mousePoint)) {
    if (m_manager) m_manager->AddLeaveWatcher(this);
    return;
  }
  if (IsEnabled()) {
    m_button[0].state &= ~kStateHot;
    m_button[1].state &= ~kStateHot;
    m_thumb.state &= ~kStateHot;
  }
  Invalidate();
  if (m_manager) m_manager->RemoveLeaveWatcher(this);
}

void CScrollBarUI::HandleEvent(TEventMsg& event) {
  if (!m_mouseEnabled && IsMouseEvent(event.type)) {
    PassToOwner(event);
    return;
  }
  switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
    case kEventContextMenu:
      return;
    case kEventButtonDown:
    case kEventDoubleClick:
      if (IsEnabled()) StartPress(event);
      return;
    case kEventButtonUp:
      EndPress();
      return;
    case kEventMouseMove:
      OnMouseMove(event);
      return;
    case kEventTimer:
      if (event.wParam != kRepeatTimer) break;
      OnTimer();
      return;
    case kEventMouseEnter:
      OnMouseEnter(event);
      return;
    case kEventMouseLeave:
      OnMouseLeave(event);
      return;
    default:
      break;
  }
  PassToOwner(event);
}

}  // namespace SkinUI

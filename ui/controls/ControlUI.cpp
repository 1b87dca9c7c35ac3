#include "ui/controls/ControlUI.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
bool IsTrue(const wchar_t* value) { return wcscmp(value, L"true") == 0; }

RECT ReadRect(const wchar_t* value) {
  long v[4] = {};
  ParseNumberList(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

// Colours in attributes: blanks (1..32) skipped unless `keepBlanks`, one '#' skipped, hexadecimal.
DWORD ReadColor(const wchar_t* value, bool keepBlanks = false) {
  if (!keepBlanks) {
    while (*value >= 1 && *value <= 32) ++value;
  }
  return ParseColorText(value);
}
}  // namespace

CControlUI::CControlUI() : m_extraAttributes(CStringMapUI::kDefaultBuckets) {}

void CControlUI::DeleteSelf() {
  if (m_manager) m_manager->RemoveLeaveWatcher(this);
  delete this;
}

CControlUI::~CControlUI() {
  if (m_cover) {
    CControlUI* cover = m_cover;
    m_cover = nullptr;
    cover->DeleteSelf();
  }
  ClearExtraAttributes();
  if (DestroyListeners.HasDelegates()) DestroyListeners(this);
  if (m_manager) m_manager->ForgetControl(this);
}

void CControlUI::SetName(const wchar_t* name) {
  if (m_name == name) return;
  m_name = name;
  if (m_manager) m_manager->ChangeControlName(this, name);
}

void* CControlUI::CastToInterface(const wchar_t* name) { return wcscmp(name, L"Control") == 0 ? this : nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  if (m_cover) m_cover->BindToManager(manager, this, init);
  m_manager = manager;
  m_parent = parent;
  if (init && m_parent) Init();
}

void CControlUI::SetCoverControl(CControlUI* control) {
  if (control == m_cover) return;
  if (m_cover) m_cover->DeleteSelf();
  m_cover = control;
  if (!m_cover) return;
  // During the build the control may not have a manager yet; the cover is adopted with it later.
  if (m_manager) m_manager->AdoptControls(m_cover, this);
  else m_cover->BindToManager(nullptr, this, false);
  if (IsVisible()) RequestRelayout();
  else m_cover->SetInheritedVisible(false);
}

void CControlUI::SetText(const wchar_t* text) {
  if (m_text == text) return;
  m_text = text;
  Invalidate();
}

RECT CControlUI::PosInParent() const {
  if (!m_parent) return RECT{0, 0, 0, 0};
  RECT rc = m_item;
  RECT parent = m_parent->GetPos();
  ::OffsetRect(&rc, -parent.left, -parent.top);
  return rc;
}

bool CControlUI::ClipToAncestors(RECT& rect) const {
  for (CControlUI* p = m_parent; p; p = p->GetParent()) {
    if (!p->IsVisible()) return false;
    RECT clipped;
    if (!::IntersectRect(&clipped, &rect, &p->GetPos())) return false;
    rect = clipped;
  }
  return !::IsRectEmpty(&rect);
}

void CControlUI::SetPos(RECT rc, bool invalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  RECT dirty = ::IsRectEmpty(&m_item) ? rc : m_item;
  if (m_float && m_parent) {
    RECT p = m_parent->GetPos();
    ::OffsetRect(&rc, p.left, p.top);
    m_item = rc;
    int w = p.right - p.left, h = p.bottom - p.top;
    int offL = static_cast<int>(w * m_floatPercent[0]), offT = static_cast<int>(h * m_floatPercent[1]);
    int offR = static_cast<int>(w * m_floatPercent[2]), offB = static_cast<int>(h * m_floatPercent[3]);
    RECT rel = {rc.left - p.left, rc.top - p.top, rc.right - p.left, rc.bottom - p.top};
    m_fixedXY = SIZE{rel.left - offL, rel.top - offT};
    m_fixedSize = SIZE{rel.right - offR - m_fixedXY.cx, rel.bottom - offB - m_fixedXY.cy};
  } else {
    m_item = rc;
  }
  if (!m_manager) return;
  if (!m_placing && SizeListeners.HasDelegates()) {
    m_placing = true;
    SizeListeners(this);
    m_placing = false;
  }
  m_updateNeeded = false;
  if (invalidate && IsVisible()) {
    ::UnionRect(&dirty, &dirty, &m_item);
    if (ClipToAncestors(dirty)) m_manager->Redraw(dirty);
  }
  if (m_cover && m_cover->IsVisible()) {
    if (m_cover->IsFloating()) {
      int w = m_item.right - m_item.left, h = m_item.bottom - m_item.top;
      const double* f = m_cover->FloatAnchors();
      SIZE xy = m_cover->FloatOffset();
      RECT c = {static_cast<LONG>(w * f[0]) + xy.cx, static_cast<LONG>(h * f[1]) + xy.cy,
                static_cast<LONG>(w * f[2]) + xy.cx + m_cover->GetFixedWidth(),
                static_cast<LONG>(h * f[3]) + xy.cy + m_cover->GetFixedHeight()};
      m_cover->SetPos(c, false);
    } else {
      int cw = rc.right - rc.left, ch = rc.bottom - rc.top;
      cw = std::max(m_cover->GetMinWidth(), std::min(cw, m_cover->GetMaxWidth()));
      ch = std::max(m_cover->GetMinHeight(), std::min(ch, m_cover->GetMaxHeight()));
      m_cover->SetPos(RECT{rc.left, rc.top, rc.left + cw, rc.top + ch}, false);
    }
  }
}

void CControlUI::Move(SIZE offset, bool invalidate) {
  RECT old = m_item;
  ::OffsetRect(&m_item, offset.cx, offset.cy);
  if (invalidate && m_manager && IsVisible()) {
    RECT dirty;
    ::UnionRect(&dirty, &old, &m_item);
    if (ClipToAncestors(dirty)) m_manager->Redraw(dirty);
  }
  if (m_cover && m_cover->IsVisible()) m_cover->Move(offset, false);
}

void CControlUI::SetPadding(RECT rect) {
  m_padding = rect;
  RequestParentRelayout();
}
void CControlUI::SetFloatOffset(SIZE size) {
  m_fixedXY = size;
  RequestParentRelayout();
}
void CControlUI::SetFloatAnchors(double l, double t, double r, double b) {
  m_floatPercent[0] = l;
  m_floatPercent[1] = t;
  m_floatPercent[2] = r;
  m_floatPercent[3] = b;
  RequestParentRelayout();
}
void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) return;
  m_fixedSize.cx = cx;
  RequestParentRelayout();
}
void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) return;
  m_fixedSize.cy = cy;
  RequestParentRelayout();
}
void CControlUI::SetMinWidth(int cx) {
  if (cx < 0 || cx == m_minSize.cx) return;
  m_minSize.cx = cx;
  RequestParentRelayout();
}
void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0 || cx == m_maxSize.cx) return;
  m_maxSize.cx = cx;
  RequestParentRelayout();
}
void CControlUI::SetMinHeight(int cy) {
  if (cy < 0 || cy == m_minSize.cy) return;
  m_minSize.cy = cy;
  RequestParentRelayout();
}
void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0 || cy == m_maxSize.cy) return;
  m_maxSize.cy = cy;
  RequestParentRelayout();
}

void CControlUI::SetToolTip(const wchar_t* text) {
  m_toolTip = text;
  m_toolTip.ReplaceAll(L"<n>", L"\r\n");
}

void CControlUI::SetVisible(bool visible) {
  if (m_visible == visible) return;
  bool wasVisible = IsVisible();
  m_visible = visible;
  m_focused = false;
  if (!visible && m_manager && m_manager->FocusedControl() == this) m_manager->FocusControl(nullptr);
  if (IsVisible() != wasVisible) RequestParentRelayout();
  if (m_cover) m_cover->SetInheritedVisible(IsVisible());
}

void CControlUI::SetInheritedVisible(bool visible) {
  m_inheritedVisible = visible;
  if (!visible && m_manager && m_manager->FocusedControl() == this) m_manager->FocusControl(nullptr);
  if (m_cover) m_cover->SetInheritedVisible(IsVisible());
}

void CControlUI::SetEnabled(bool enabled) {
  if (m_enabled == enabled) return;
  m_enabled = enabled;
  Invalidate();
}

void CControlUI::SetFocus() {
  if (m_manager) m_manager->FocusControl(this, false);
}

void CControlUI::SetFloating(bool on) {
  if (m_float == on) return;
  m_float = on;
  RequestParentRelayout();
}

CControlUI* CControlUI::FindControl(FindPredicate predicate, void* data, UINT flags) {
  if ((flags & kFindVisible) && !IsVisible()) return nullptr;
  if ((flags & kFindEnabled) && !IsEnabled()) return nullptr;
  if ((flags & kFindHitTest) && !::PtInRect(&m_item, *static_cast<POINT*>(data))) return nullptr;
  if ((flags & kFindUpdateTest) && predicate(this, data)) return nullptr;
  auto tryMe = [&]() -> CControlUI* {
    if ((flags & kFindHitTest) && !m_mouseEnabled) return nullptr;
    return predicate(this, data);
  };
  CControlUI* result = nullptr;
  if (flags & kFindMeFirst) result = tryMe();
  if (!result && m_cover) result = m_cover->FindControl(predicate, data, flags);
  if (!result && !(flags & kFindMeFirst)) result = tryMe();
  return result;
}

void CControlUI::Init() {
  InitSelf();
  if (InitListeners.HasDelegates()) InitListeners(this);
}

void CControlUI::DispatchEvent(TEventMsg& event) {
  if (EventListeners(&event)) HandleEvent(event);
}

void CControlUI::HandleEvent(TEventMsg& event) {
  switch (event.type) {
    case kEventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return;
    case kEventSetFocus:
      m_focused = true;
      Invalidate();
      return;
    case kEventKillFocus:
      m_focused = false;
      Invalidate();
      return;
    case kEventTimer:
      if (m_manager) m_manager->SendNotification(this, L"timer", event.wParam, event.lParam);
      return;
    case kEventContextMenu:
      if (m_contextMenu) {
        if (m_manager) m_manager->SendNotification(this, L"menu", event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  if (m_parent) m_parent->HandleEvent(event);
}

void CControlUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"pos") {
    RECT r = ReadRect(value);
    SetFloatOffset(SIZE{r.left, r.top});
    SetFixedWidth(r.right - r.left);
    SetFixedHeight(r.bottom - r.top);
  } else if (n == L"padding") {
    SetPadding(ReadRect(value));
  } else if (n == L"bkcolor" || n == L"bkcolor1") {
    SetBackColor(ReadColor(value));
  } else if (n == L"bkcolor2") {
    SetBackColor2(ReadColor(value));
  } else if (n == L"bkcolor3") {
    SetBackColor3(ReadColor(value));
  } else if (n == L"bordercolor") {
    SetBorderColor(ReadColor(value, true));
  } else if (n == L"focusbordercolor") {
    SetFocusedBorderColor(ReadColor(value, true));
  } else if (n == L"colorhsl") {
    SetHslAdjust(IsTrue(value));
  } else if (n == L"bordersize") {
    if (wcschr(value, L',')) SetBorderSize(ReadRect(value));
    else SetBorderSize(_wtoi(value));
  } else if (n == L"borderstyle") {
    SetBorderLineStyle(_wtoi(value));
  } else if (n == L"borderround") {
    long v[2] = {};
    ParseNumberList(value, v, 2);
    SetCornerSize(v[0], v[1]);
  } else if (n == L"bkimage") {
    SetBackImage(value);
  } else if (n == L"width") {
    SetFixedWidth(_wtoi(value));
  } else if (n == L"height") {
    SetFixedHeight(_wtoi(value));
  } else if (n == L"minwidth") {
    SetMinWidth(_wtoi(value));
  } else if (n == L"minheight") {
    SetMinHeight(_wtoi(value));
  } else if (n == L"maxwidth") {
    SetMaxWidth(_wtoi(value));
  } else if (n == L"maxheight") {
    SetMaxHeight(_wtoi(value));
  } else if (n == L"name") {
    SetName(value);
  } else if (n == L"text") {
    SetText(value);
  } else if (n == L"tooltip") {
    SetToolTip(value);
  } else if (n == L"userdata") {
    SetUserText(value);
  } else if (n == L"tag") {
    SetUserTag(static_cast<UINT_PTR>(_wtoi(value)));
  } else if (n == L"enabled") {
    SetEnabled(IsTrue(value));
  } else if (n == L"mouse") {
    SetAcceptsMouse(IsTrue(value));
  } else if (n == L"keyboard") {
    SetAcceptsKeyboard(IsTrue(value));
  } else if (n == L"visible") {
    SetVisible(IsTrue(value));
  } else if (n == L"float") {
    if (wcschr(value, L',')) {
      double f[4] = {};
      const wchar_t* p = value;
      for (int i = 0; i < 4; ++i) {
        wchar_t* end = nullptr;
        f[i] = wcstod(p, &end);
        p = end;
        if (!*p) break;
        ++p;
      }
      SetFloatAnchors(f[0], f[1], f[2], f[3]);
      SetFloating(true);
    } else {
      SetFloating(IsTrue(value));
    }
  } else if (n == L"shortcut") {
    SetAccessKey(value[0]);
  } else if (n == L"menu") {
    SetWantsContextMenu(IsTrue(value));
  } else if (n == L"virtualwnd") {
    SetVirtualWindowName(value);
  } else {
    AddExtraAttribute(name, value);
  }
}

void CControlUI::ApplyAttributeText(const wchar_t* list) {
  const wchar_t* p = list;
  while (p && *p) {
    const wchar_t* eq = wcschr(p, L'=');
    if (!eq || eq[1] != L'"') return;
    CUIString name(p, static_cast<int>(eq - p));
    const wchar_t* valueStart = eq + 2;
    const wchar_t* close = wcschr(valueStart, L'"');
    if (!close) return;
    CUIString value(valueStart, static_cast<int>(close - valueStart));
    ApplyAttribute(name, value);
    p = close + 1;
    if (*p != L' ') return;
    ++p;
  }
}

bool CControlUI::Paint(HDC dc, const RECT& paint, CControlUI* stopControl) {
  if (this == stopControl) return false;
  if (!::IntersectRect(&m_paint, &paint, &m_item)) return true;
  if (PaintListeners.HasDelegates() && !PaintListeners(this)) return true;
  if (!PaintContent(dc, paint, stopControl)) return false;
  return m_cover ? m_cover->Paint(dc, paint, nullptr) : true;
}

bool CControlUI::PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl) {
  HRGN outer = nullptr, round = nullptr;
  bool rounded = m_borderRound.cx > 0 || m_borderRound.cy > 0;
  if (rounded) {
    RECT box;
    ::GetClipBox(dc, &box);
    outer = ::CreateRectRgnIndirect(&box);
    round = ::CreateRoundRectRgn(m_item.left, m_item.top, m_item.right + 1, m_item.bottom + 1, m_borderRound.cx,
                                 m_borderRound.cy);
    HRGN paintRegion = ::CreateRectRgnIndirect(&m_paint);
    ::CombineRgn(round, round, paintRegion, RGN_AND);
    ::DeleteObject(paintRegion);
    ::ExtSelectClipRgn(dc, round, RGN_AND);
  }
  PaintBackColor(dc);
  PaintBackImage(dc);
  PaintStateImage(dc);
  PaintText(dc);
  PaintBorder(dc);
  if (rounded) {
    ::SelectClipRgn(dc, outer);
    ::DeleteObject(outer);
    ::DeleteObject(round);
  }
  return true;
}

void CControlUI::PaintBackColor(HDC dc) {
  DWORD c1 = HslAdjustedColor(m_backColor[0]);
  if (m_backColor[0] == 0) return;
  DWORD c2 = HslAdjustedColor(m_backColor[1]), c3 = HslAdjustedColor(m_backColor[2]);
  if (m_backColor[1] != 0 && m_backColor[2] != 0) {
    RECT upper = m_item, lower = m_item;
    upper.bottom = lower.top = (m_item.top + m_item.bottom) / 2;
    CRenderer::FillGradient(dc, upper, c1, c2, true, 8);
    CRenderer::FillGradient(dc, lower, c2, c3, true, 8);
  } else if (m_backColor[1] != 0) {
    CRenderer::FillGradient(dc, m_item, c1, c2, true, 16);
  } else {
    CRenderer::FillColor(dc, c1 >= 0xFF000000 ? m_paint : m_item, c1);
  }
}

void CControlUI::PaintBackImage(HDC dc) {
  if (!m_backImage.text.IsBlank()) DrawImageRecord(dc, m_backImage);
}

void CControlUI::PaintBorder(HDC dc) {
  const RECT& b = m_borderSize;
  if (b.left <= 0 && b.top <= 0 && b.right <= 0 && b.bottom <= 0) return;
  if (m_borderColor == 0 && m_focusedBorderColor == 0) return;
  DWORD color = HslAdjustedColor((m_focused && m_focusedBorderColor != 0) ? m_focusedBorderColor : m_borderColor);
  if (m_borderRound.cx > 0 || m_borderRound.cy > 0) {
    CRenderer::DrawRoundRect(dc, m_item, b.left, m_borderRound.cx, m_borderRound.cy, color, m_borderStyle);
  } else if (b.top == b.left && b.right == b.left && b.bottom == b.left) {
    CRenderer::DrawRect(dc, m_item, b.left, color, m_borderStyle);
  } else {
    const RECT& r = m_item;
    if (b.left > 0) {
      LONG x = r.left + b.left / 2;
      CRenderer::DrawLine(dc, RECT{x, r.top, x, r.bottom}, b.left, color, m_borderStyle);
    }
    if (b.top > 0) {
      LONG y = r.top + b.top / 2;
      CRenderer::DrawLine(dc, RECT{r.left + b.left, y, r.right - b.right, y}, b.top, color, m_borderStyle);
    }
    if (b.right > 0) {
      LONG x = r.right - (b.right + 1) / 2;
      CRenderer::DrawLine(dc, RECT{x, r.top, x, r.bottom}, b.right, color, m_borderStyle);
    }
    if (b.bottom > 0) {
      LONG y = r.bottom - (b.bottom + 1) / 2;
      CRenderer::DrawLine(dc, RECT{r.left + b.left, y, r.right - b.right, y}, b.bottom, color, m_borderStyle);
    }
  }
}

void CControlUI::PostPaint(HDC dc, const RECT& paint) {
  if (PostPaintListeners.HasDelegates()) PostPaintListeners(this);
}

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  RECT rc = m_item;
  if (!ClipToAncestors(rc)) return;
  if (m_manager) m_manager->Redraw(rc);
}

void CControlUI::RequestRelayout() {
  if (!IsVisible()) return;
  m_updateNeeded = true;
  Invalidate();
  if (m_manager) m_manager->NeedUpdate();
}

void CControlUI::RequestParentRelayout() {
  if (m_parent) {
    m_parent->RequestRelayout();
    m_parent->Invalidate();
  } else {
    RequestRelayout();
  }
  if (m_manager) m_manager->NeedUpdate();
}

bool CControlUI::DrawImageRecord(HDC dc, TDrawInfo& record) {
  return CRenderer::DrawImageSpec(dc, m_manager, m_item, m_paint, record);
}

void CControlUI::SetBackColor(DWORD color) {
  if (m_backColor[0] == color) return;
  m_backColor[0] = color;
  Invalidate();
}
void CControlUI::SetBackColor2(DWORD color) {
  if (m_backColor[1] == color) return;
  m_backColor[1] = color;
  Invalidate();
}
void CControlUI::SetBackColor3(DWORD color) {
  if (m_backColor[2] == color) return;
  m_backColor[2] = color;
  Invalidate();
}
void CControlUI::SetBorderColor(DWORD color) {
  if (m_borderColor == color) return;
  m_borderColor = color;
  Invalidate();
}
void CControlUI::SetFocusedBorderColor(DWORD color) {
  if (m_focusedBorderColor == color) return;
  m_focusedBorderColor = color;
  Invalidate();
}
void CControlUI::SetHslAdjust(bool on) {
  if (m_colorShift == on) return;
  m_colorShift = on;
  Invalidate();
}
void CControlUI::SetBorderLineStyle(int style) {
  m_borderStyle = style;
  Invalidate();
}
void CControlUI::SetBorderSize(int size) {
  m_borderSize = RECT{size, size, size, size};
  Invalidate();
}
void CControlUI::SetBorderSize(RECT rect) {
  m_borderSize = rect;
  Invalidate();
}
void CControlUI::SetCornerSize(int cx, int cy) {
  m_borderRound = SIZE{cx, cy};
  Invalidate();
}

void CControlUI::SetBackImage(const wchar_t* text) {
  if (m_backImage.text == text && m_backImage.image) return;
  m_backImage.Clear();
  m_backImage.text = text;
  bool resolved = DrawImageRecord(nullptr, m_backImage);
  if (m_float && m_fixedSize.cx == 0 && m_fixedSize.cy == 0 && resolved && m_backImage.image) {
    m_fixedSize = SIZE{m_backImage.image->width, m_backImage.image->height};
  }
  Invalidate();
}

bool CControlUI::AddExtraAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !*name || !value || !*value) return false;
  if (m_extraAttributes.Lookup(name, false)) return false;
  return m_extraAttributes.AddNew(name, new CUIString(value));
}

const wchar_t* CControlUI::ExtraAttribute(const wchar_t* name) const {
  auto* value = static_cast<CUIString*>(m_extraAttributes.Lookup(name, false));
  return value ? value->c_str() : nullptr;
}

void CControlUI::ClearExtraAttributes() {
  for (int i = 0; const wchar_t* key = m_extraAttributes.KeyAt(i); ++i) {
    delete static_cast<CUIString*>(m_extraAttributes.Lookup(key, false));
  }
  m_extraAttributes.Rebuild(CStringMapUI::kDefaultBuckets);
}

CUIString CControlUI::VirtualWindowName() const {
  if (!m_virtualWindow.IsBlank()) return m_virtualWindow;
  return m_parent ? m_parent->VirtualWindowName() : CUIString();
}

void CControlUI::SetVirtualWindowName(const wchar_t* name) {
  m_virtualWindow = name;
  if (m_manager) m_manager->EnableVirtualWindows(true);
}

bool CControlUI::TrackHotBit(const TEventMsg& event, UINT& state, UINT hotBit) {
  if (event.type == kEventMouseEnter) {
    if (::PtInRect(&m_item, event.mousePoint) && IsEnabled() && !(state & hotBit)) {
      state |= hotBit;
      Invalidate();
    }
    return false;
  }
  if (event.type != kEventMouseLeave) return false;
  if (::PtInRect(&m_item, event.mousePoint)) {
    if (m_manager) m_manager->AddLeaveWatcher(this);
    return true;
  }
  if (IsEnabled() && (state & hotBit)) {
    state &= ~hotBit;
    Invalidate();
  }
  if (m_manager) m_manager->RemoveLeaveWatcher(this);
  return false;
}

}  // namespace SkinUI

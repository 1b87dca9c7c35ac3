#include "ui/controls/RichEditUI.h"

#include <imm.h>

#include <cwchar>
#include <vector>

#include "ui/controls/AttributeValues.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/TxtWinHost.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {

constexpr DWORD kCodePageUtf16 = 1200;

bool IsMouseMessage(UINT m) { return m >= WM_MOUSEFIRST && m <= 0x20D; }
bool IsKeyMessage(UINT m) { return m >= WM_KEYFIRST && m <= 0x108; }

RECT Deflate(RECT r, const RECT& by) {
  r.left += by.left;
  r.top += by.top;
  r.right -= by.right;
  r.bottom -= by.bottom;
  return r;
}

class CClip {
 public:
  CClip(HDC dc, const RECT& rect) : m_dc(dc) {
    RECT box;
    ::GetClipBox(dc, &box);
    m_outer = ::CreateRectRgnIndirect(&box);
    HRGN own = ::CreateRectRgnIndirect(&rect);
    ::ExtSelectClipRgn(dc, own, RGN_AND);
    ::DeleteObject(own);
  }
  ~CClip() {
    ::SelectClipRgn(m_dc, m_outer);
    ::DeleteObject(m_outer);
  }
  CClip(const CClip&) = delete;
  CClip& operator=(const CClip&) = delete;

 private:
  HDC m_dc;
  HRGN m_outer;
};

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  // The host may be missing after a failed start: nothing was registered then.
  if (m_host) {
    m_host->Release();
    m_host = nullptr;
  }
  if (m_filterAdded && m_manager) m_manager->RemoveWindowFilter(this);
}

void* CRichEditUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"RichEdit") == 0) return this;
  if (wcscmp(name, L"WantsTab") == 0) return static_cast<IWantsTabUI*>(this);
  return CContainerUI::CastToInterface(name);
}

UINT CRichEditUI::ControlTraits() const { return IsEnabled() ? (kFlagTabStop | kFlagSetCursor) : 0; }

// ---------------------------------------------------------------- setters

void CRichEditUI::SetTransparent(bool on) {
  m_transparent = on;
  if (m_host) m_host->ApplyTransparent(on);
}

void CRichEditUI::SetRichText(bool on) {
  m_rich = on;
  if (m_host) m_host->ApplyRichText(on);
}

void CRichEditUI::SetFont(int id) {
  m_font = id;
  if (m_host && m_manager) m_host->ApplyFont(m_manager->FontById(id));
}

void CRichEditUI::SetNormalTextColor(DWORD color) {
  m_textColor = attr::OpaqueIfNoAlpha(color);
  if (m_host) m_host->ApplyTextColor(m_textColor);
}

void CRichEditUI::SetCharLimit(int count) {
  m_charLimit = count;
  if (m_host) m_host->ApplyMaxLength(count);
}

int CRichEditUI::TextLength(DWORD flags) {
  GETTEXTLENGTHEX query = {flags, kCodePageUtf16};
  LRESULT result = 0;
  SendToTextServices(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0, result);
  return static_cast<int>(result);
}

int CRichEditUI::SelectRange(int first, int last) {
  CHARRANGE range = {first, last};
  LRESULT result = 0;
  SendToTextServices(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), result);
  return static_cast<int>(result);
}

int CRichEditUI::ReplaceSelection(const wchar_t* text, bool canUndo) {
  LRESULT result = 0;
  SendToTextServices(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text ? text : L""), result);
  return static_cast<int>(result);
}

void CRichEditUI::SetTextInset(RECT rect) {
  m_textPadding = rect;
  Invalidate();
}

void CRichEditUI::SetStyleBit(DWORD bit, bool on) {
  m_style = on ? (m_style | bit) : (m_style & ~bit);
  if (m_host) m_host->SetStyleBit(bit, on);
}

void CRichEditUI::SetMultiLine(bool on) {
  m_style = on ? (m_style | ES_MULTILINE) : (m_style & ~ES_MULTILINE);
  if (m_host) m_host->ApplyMultiLine(on);
}

void CRichEditUI::SetVerticalScrollStyle(bool on) {
  SetStyleBit(WS_VSCROLL, on);
  if (on) SetStyleBit(ES_DISABLENOSCROLL, true);
  else if (!(m_style & WS_HSCROLL)) SetStyleBit(ES_DISABLENOSCROLL, false);
}

void CRichEditUI::SetHorizontalScrollStyle(bool on) {
  SetStyleBit(WS_HSCROLL, on);
  if (on) SetStyleBit(ES_DISABLENOSCROLL, true);
  else if (!(m_style & WS_VSCROLL)) SetStyleBit(ES_DISABLENOSCROLL, false);
}

void CRichEditUI::SetAutoVerticalScroll(bool on) { SetStyleBit(ES_AUTOVSCROLL, on); }
void CRichEditUI::SetAutoHorizontalScroll(bool on) { SetStyleBit(ES_AUTOHSCROLL, on); }

void CRichEditUI::SetImageRecord(TDrawInfo& record, const wchar_t* text) {
  if (record.text == text && record.image) return;
  record.Clear();
  record.text = text;
  Invalidate();
}

// ---------------------------------------------------------------- text

CUIString CRichEditUI::GetText() const {
  auto* self = const_cast<CRichEditUI*>(this);
  int length = self->TextLength(GTL_DEFAULT);
  if (length <= 0) return CUIString();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, 0);
  GETTEXTEX query = {};
  query.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  query.flags = GT_DEFAULT;
  query.codepage = kCodePageUtf16;
  LRESULT result = 0;
  self->SendToTextServices(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query), reinterpret_cast<LPARAM>(buffer.data()),
                           result);
  buffer.back() = 0;
  return CUIString(buffer.data());
}

void CRichEditUI::SetText(const wchar_t* text) {
  m_text = text ? text : L"";
  if (!m_host) return;
  SelectRange(0, -1);
  ReplaceSelection(m_text.c_str(), false);
}

// ---------------------------------------------------------------- attributes

void CRichEditUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  const bool on = attr::IsTrue(value);
  if (n == L"vscrollbar") {
    SetVerticalScrollStyle(on);
    CContainerUI::ApplyAttribute(name, value);
  } else if (n == L"autovscroll") {
    SetAutoVerticalScroll(on);
    CContainerUI::ApplyAttribute(name, value);
  } else if (n == L"hscrollbar") {
    SetHorizontalScrollStyle(on);
    CContainerUI::ApplyAttribute(name, value);
  } else if (n == L"autohscroll") {
    SetAutoHorizontalScroll(on);
  } else if (n == L"wanttab") {
    SetTakesTab(on);
  } else if (n == L"wantreturn") {
    SetTakesReturn(on);
  } else if (n == L"wantctrlreturn") {
    SetTakesCtrlReturn(on);
  } else if (n == L"transparent") {
    SetTransparent(on);
  } else if (n == L"rich") {
    SetRichText(on);
  } else if (n == L"multiline") {
    SetMultiLine(!(value && wcscmp(value, L"false") == 0));
  } else if (n == L"readonly") {
    if (on) m_style |= ES_READONLY;
  } else if (n == L"password") {
    if (on) m_style |= ES_PASSWORD;
  } else if (n == L"align") {
    if (attr::Contains(value, L"left")) m_style &= ~(ES_CENTER | ES_RIGHT);
    if (attr::Contains(value, L"center")) m_style = (m_style | ES_CENTER) & ~ES_RIGHT;
    if (attr::Contains(value, L"right")) m_style = (m_style | ES_RIGHT) & ~ES_CENTER;
  } else if (n == L"font") {
    SetFont(attr::Int(value));
  } else if (n == L"textcolor") {
    const wchar_t* p = value ? value : L"";
    while (*p && *p <= L' ') ++p;
    if (*p == L'#') ++p;
    SetNormalTextColor(static_cast<DWORD>(wcstoul(p, nullptr, 16)));
  } else if (n == L"textpadding") {
    SetTextInset(attr::Rect(value));
  } else if (n == L"maxchar") {
    SetCharLimit(attr::Int(value));
  } else if (n == L"focusedimage") {
    SetFocusedImage(value);
  } else if (n == L"disabledimage") {
    SetDisabledImage(value);
  } else {
    CContainerUI::ApplyAttribute(name, value);
  }
}

// ---------------------------------------------------------------- life

void CRichEditUI::InitSelf() {
  if (m_initialised) return;
  TTextHostCreateInfo info;
  info.style = m_style;
  info.text = m_text.c_str();
  CTxtWinHost::CreateTextHost(this, info, m_host);
  if (m_host) {
    if (m_transparent) m_host->ApplyTransparent(true);
    LRESULT ignored = 0;
    m_host->Services()->TxSendMessage(EM_SETLANGOPTIONS, 0, 0, &ignored);
    m_host->ActivateInPlace(nullptr);
    if (m_manager) {
      m_filterAdded = m_manager->AddWindowFilter(this);
      if (m_manager->IsLayered()) m_manager->StartTimer(this, kCaretTimerId, ::GetCaretBlinkTime());
    }
    LRESULT mask = 0;
    SendToTextServices(EM_GETEVENTMASK, 0, 0, mask);
    LRESULT done = 0;
    SendToTextServices(EM_SETEVENTMASK, 0, mask | ENM_CHANGE, done);
  }
  m_initialised = true;
}

// ---------------------------------------------------------------- services

HRESULT CRichEditUI::SendToTextServices(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!m_host || !m_host->Services()) return S_FALSE;
  if (message == WM_KEYDOWN && LOWORD(wParam) == VK_RETURN) {
    bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (!m_wantReturn || (ctrl && !m_wantCtrlReturn)) {
      if (m_manager) m_manager->SendNotification(this, L"return");
      return S_OK;
    }
  }
  return m_host->Services()->TxSendMessage(message, wParam, lParam, &result);
}

void CRichEditUI::OnTextServicesNotify(DWORD code, void* data) {
  switch (code) {
    case EN_CHANGE:
      if (m_manager) m_manager->SendNotification(this, L"textchanged");
      return;
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_LINK:
    case EN_OBJECTPOSITIONS:
    case EN_DRAGDROPDONE:
      break;
    default:
      return;
  }
  if (!data || !m_manager) return;
  auto* header = static_cast<NMHDR*>(data);
  bool carriesMessage = code != EN_OBJECTPOSITIONS && code != EN_DRAGDROPDONE;
  // Every record of the first group starts with the header followed by the message it came from.
  if (carriesMessage && reinterpret_cast<MSGFILTER*>(data)->msg == WM_LBUTTONDOWN) {
    m_manager->SendNotification(this, L"link");
  }
  HWND window = m_manager->PaintWindow();
  if (!window) return;
  header->hwndFrom = window;
  header->idFrom = static_cast<UINT_PTR>(::GetWindowLongW(window, GWL_ID));
  header->code = code;
  ::SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(data));
}

// ---------------------------------------------------------------- window filter

bool CRichEditUI::MouseMessageHits(UINT message, LPARAM lParam) {
  const bool capturing = m_host->IsCapturing();
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (!capturing && message >= WM_LBUTTONDOWN && message <= WM_RBUTTONUP) {
    if (m_manager->ControlAt(pt) != this) return false;
  }
  if (capturing) return true;
  if (message == WM_SETCURSOR) ::GetCursorPos(&pt);
  if (message == WM_SETCURSOR || message == WM_MOUSEWHEEL) ::ScreenToClient(m_manager->PaintWindow(), &pt);
  return ::PtInRect(&m_host->ClientRect(), pt) && !m_manager->IsMouseCaptured();
}

void CRichEditUI::PlaceImeWindow() {
  HWND window = m_manager->PaintWindow();
  HIMC context = ::ImmGetContext(window);
  if (!context) return;
  POINT caret = {0, 0};
  ::GetCaretPos(&caret);
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_FORCE_POSITION;
  form.ptCurrentPos = POINT{caret.x + m_host->CaretSize().cx, caret.y};
  ::ImmSetCompositionWindow(context, &form);
  LOGFONTW lf = {};
  if (HFONT font = m_manager->FontById(m_font); font && ::GetObjectW(font, sizeof(lf), &lf)) {
    ::ImmSetCompositionFontW(context, &lf);
  }
  ::ImmReleaseContext(window, context);
}

LRESULT CRichEditUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  if (!IsVisible() || !IsEnabled() || !m_host || !m_manager) return 0;
  if (!m_mouseEnabled && IsMouseMessage(message)) return 0;
  if (message == WM_MOUSEWHEEL && !(LOWORD(wParam) & MK_CONTROL)) return 0;
  bool take = true;
  if (IsMouseMessage(message) || message == WM_SETCURSOR) {
    if (!MouseMessageHits(message, lParam)) return 0;
    if (message == WM_SETCURSOR) {
      take = false;
    } else if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
      if (!m_manager->IsNoActivate()) ::SetFocus(m_manager->PaintWindow());
      SetFocus();
    }
  } else if (IsKeyMessage(message)) {
    if (!IsFocused()) return 0;
  } else if (message == WM_IME_STARTCOMPOSITION) {
    if (IsFocused()) PlaceImeWindow();
    return 0;
  } else if (message == WM_CONTEXTMENU) {
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_manager->PaintWindow(), &pt);
    if (m_manager->ControlAt(pt) != this) return 0;
  } else if (message == WM_HELP) {
    take = false;
  } else {
    return 0;
  }
  LRESULT result = 0;
  HRESULT status = SendToTextServices(message, wParam, lParam, result);
  if (status == S_OK) handled = take;
  else handled = IsKeyMessage(message) || message == WM_IME_CHAR || (IsMouseMessage(message) && m_host->IsCapturing());
  return result;
}

// ---------------------------------------------------------------- events

bool CRichEditUI::HandleFocusEvent(TEventMsg& event) {
  const bool gaining = event.type == kEventSetFocus;
  if (m_host) {
    m_host->ActivateInPlace(nullptr);
    LRESULT ignored = 0;
    m_host->Services()->TxSendMessage(gaining ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, &ignored);
  }
  m_focused = gaining;
  Invalidate();
  return true;
}

void CRichEditUI::OnCaretTimer() {
  if (!m_host || !m_manager || !m_manager->IsLayered() || !IsFocused()) return;
  if (::GetFocus() != m_manager->PaintWindow()) return;
  m_caretVisible = !m_caretVisible;
  POINT caret = {0, 0};
  ::GetCaretPos(&caret);
  SIZE size = m_host->CaretSize();
  RECT rect = {caret.x, caret.y, caret.x + size.cx, caret.y + size.cy};
  if (!::IntersectRect(&rect, &rect, &m_item)) return;
  for (CControlUI* up = m_parent; up; up = up->GetParent()) {
    if (!::IntersectRect(&rect, &rect, &up->GetPos())) return;
  }
  m_manager->Redraw(rect);
}

void CRichEditUI::HandleEvent(TEventMsg& event) {
  if (!m_mouseEnabled && event.type > 8 && event.type < 19) {
    if (m_parent) m_parent->HandleEvent(event);
    else CControlUI::HandleEvent(event);
    return;
  }
  switch (event.type) {
    case kEventSetCursor:
      if (IsEnabled() && m_host && m_host->SetCursorAt(nullptr, event.mousePoint)) return;
      break;
    case kEventWindowSize:
      if (m_host) m_host->NoteWindowResized();
      break;
    case kEventSetFocus:
    case kEventKillFocus:
      HandleFocusEvent(event);
      return;
    case kEventTimer:
      if (event.wParam == kCaretTimerId) {
        OnCaretTimer();
      } else if (m_host) {
        LRESULT ignored = 0;
        m_host->Services()->TxSendMessage(WM_TIMER, event.wParam, event.lParam, &ignored);
      }
      return;
    case kEventScrollWheel:
      if (event.keyState & kKeyControl) return;
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventKeyDown:
    case kEventKeyUp:
    case kEventChar:
    case kEventSysKey:
      return;
    default:
      break;
  }
  CContainerUI::HandleEvent(event);
}

// ---------------------------------------------------------------- placement

RECT CRichEditUI::TextArea() const { return Deflate(Deflate(m_item, m_inset), m_textPadding); }

bool CRichEditUI::NaturalHeightExceeds(int width, int height) {
  if (!m_host || !m_manager) return false;
  SIZEL extent = {-1, -1};
  LONG w = width, h = 0;
  HRESULT hr = m_host->Services()->TxGetNaturalSize(DVASPECT_CONTENT, m_manager->PaintDC(), nullptr, nullptr,
                                                    TXTNS_FITTOCONTENT, &extent, &w, &h);
  return SUCCEEDED(hr) && h > height;
}

void CRichEditUI::SetPos(RECT rect, bool invalidate) {
  CControlUI::SetPos(rect, invalidate);
  RECT client = Deflate(m_item, m_inset);
  RECT scroll = client;
  const bool vShownAtStart = IsBarShown(m_vBar);
  if (vShownAtStart) {
    scroll.top -= m_vBar->ScrollOffset();
    scroll.bottom -= m_vBar->ScrollOffset();
    scroll.bottom += m_vBar->ScrollExtent();
    scroll.right -= m_vBar->GetFixedWidth();
    client.right -= m_vBar->GetFixedWidth();
  }
  if (IsBarShown(m_hBar)) {
    scroll.left -= m_hBar->ScrollOffset();
    scroll.right -= m_hBar->ScrollOffset();
    scroll.right += m_hBar->ScrollExtent();
    scroll.bottom -= m_hBar->GetFixedHeight();
    client.bottom -= m_hBar->GetFixedHeight();
  }
  if (m_host) {
    m_host->SetClientRect(Deflate(client, m_textPadding));
    if (m_vBar && vShownAtStart && (!m_vBar->IsVisible() || m_barForced)) {
      RECT text = Deflate(scroll, m_textPadding);
      if (NaturalHeightExceeds(text.right - text.left + m_vBar->GetFixedWidth(), text.bottom - text.top)) {
        m_vBar->SetVisible(true);
        m_vBar->SetScrollOffset(0, true);
        m_barForced = true;
      } else if (m_barForced) {
        m_vBar->SetVisible(false);
        m_barForced = false;
      }
    }
  }
  if (IsBarShown(m_vBar)) {
    PlaceBar(m_vBar, RECT{client.right, client.top, client.right + m_vBar->GetFixedWidth(), client.bottom});
  }
  if (IsBarShown(m_hBar)) {
    PlaceBar(m_hBar, RECT{client.left, client.bottom, client.right, client.bottom + m_hBar->GetFixedHeight()});
  }
  PlaceChildrenIn(scroll);
}

void CRichEditUI::Move(SIZE offset, bool invalidate) {
  CContainerUI::Move(offset, invalidate);
  if (!m_host) return;
  RECT rc = TextArea();
  if (IsBarShown(m_vBar)) rc.right -= m_vBar->GetFixedWidth();
  if (IsBarShown(m_hBar)) rc.bottom -= m_hBar->GetFixedHeight();
  m_host->SetClientRect(rc);
}

// ---------------------------------------------------------------- painting

void CRichEditUI::PaintStateImage(HDC dc) {
  bool drawn = false;
  if (IsFocused()) drawn = DrawImageRecord(dc, m_focusedImage);
  if (!drawn && !IsEnabled()) DrawImageRecord(dc, m_disabledImage);
}

bool CRichEditUI::PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl) {
  RECT area;
  if (!::IntersectRect(&area, &paint, &m_item)) return true;
  CClip clip(dc, area);
  CControlUI::PaintContent(dc, paint, stopControl);
  if (m_host) {
    RECTL bounds = {m_host->ClientRect().left, m_host->ClientRect().top, m_host->ClientRect().right,
                    m_host->ClientRect().bottom};
    RECT update = paint;
    m_host->Services()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds, nullptr, &update, nullptr,
                               0, TXTVIEW_ACTIVE);
    if (m_barForced && m_vBar) {
      const RECT& c = m_host->ClientRect();
      if (!NaturalHeightExceeds(c.right - c.left + m_vBar->GetFixedWidth(), c.bottom - c.top)) RequestRelayout();
    }
  }
  RECT client = ClientRect(), inner;
  if (!m_items.IsBlank() && ::IntersectRect(&inner, &paint, &client)) {
    CClip innerClip(dc, inner);
    for (int i = 0; i < m_items.Count(); ++i) {
      auto* child = static_cast<CControlUI*>(m_items[i]);
      if (child == stopControl) return false;
      RECT meet;
      if (!child->IsVisible() || !::IntersectRect(&meet, &paint, &child->GetPos())) continue;
      if (!child->Paint(dc, paint, stopControl)) return false;
    }
  }
  if (m_host && m_host->IsCaretShown() && m_manager && m_manager->IsLayered() && IsFocused() && m_caretVisible) {
    POINT caret = {0, 0};
    ::GetCaretPos(&caret);
    if (::PtInRect(&m_item, caret)) {
      CRenderer::DrawLine(dc, RECT{caret.x, caret.y, caret.x, caret.y + m_host->CaretSize().cy},
                              m_host->CaretSize().cx, m_textColor, PS_SOLID);
    }
  }
  for (CScrollBarUI* bar : {m_vBar, m_hBar}) {
    if (!bar) continue;
    if (bar == stopControl) return false;
    RECT meet;
    if (bar->IsVisible() && ::IntersectRect(&meet, &paint, &bar->GetPos()) && !bar->Paint(dc, paint, stopControl)) {
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------- scrolling

void CRichEditUI::SendScroll(UINT message, WORD code, WORD position) {
  LRESULT ignored = 0;
  SendToTextServices(message, MAKEWPARAM(code, position), 0, ignored);
}

// Plain text: the services may report a bar position short of where a step down should have
// led (they round to whole lines); the bar is then kept where it was, or sent to the end.

void CRichEditUI::ScrollLineDown() {
  const bool plain = !m_rich && m_host && IsBarShown(m_vBar);
  const int before = plain ? m_vBar->ScrollOffset() : 0;
  SendScroll(WM_VSCROLL, SB_LINEDOWN);
  if (plain && m_vBar->ScrollOffset() <= before) m_vBar->SetScrollOffset(m_vBar->ScrollExtent(), true);
}

void CRichEditUI::SetScrollOffset(SIZE offset) {
  int dy = 0, dx = 0;
  const bool plain = !m_rich && m_host && IsBarShown(m_vBar);
  const int before = IsBarShown(m_vBar) ? m_vBar->ScrollOffset() : 0;
  if (IsBarShown(m_vBar)) {
    m_vBar->SetScrollOffset(offset.cy, true);
    dy = m_vBar->ScrollOffset() - before;
  }
  if (IsBarShown(m_hBar)) {
    int old = m_hBar->ScrollOffset();
    m_hBar->SetScrollOffset(offset.cx, true);
    dx = m_hBar->ScrollOffset() - old;
  }
  if (dy != 0) {
    int target = m_vBar->ScrollOffset();
    SendScroll(WM_VSCROLL, SB_THUMBPOSITION, static_cast<WORD>(target));
    if (plain && dy > 0 && m_vBar->ScrollOffset() <= before) m_vBar->SetScrollOffset(before, true);
  }
  if (dx != 0) SendScroll(WM_HSCROLL, SB_THUMBPOSITION, static_cast<WORD>(m_hBar->ScrollOffset()));
}

}  // namespace SkinUI

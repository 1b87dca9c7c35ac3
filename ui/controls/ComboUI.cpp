#include "ui/controls/ComboUI.h"

#include <cwchar>

#include "ui/controls/AttributeValues.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace SkinUI {

namespace {
bool IsMouseEvent(int type) { return type > 8 && type < 19; }
bool IsScrollBar(CControlUI* control) { return control && wcscmp(control->ClassName(), L"ScrollBar") == 0; }
IListItemUI* AsListItem(CControlUI* control) {
  return control ? static_cast<IListItemUI*>(control->CastToInterface(L"IListItem")) : nullptr;
}
void AlignFromText(UINT& style, const wchar_t* value) {
  if (attr::Contains(value, L"left")) style &= ~(DT_CENTER | DT_RIGHT);
  if (attr::Contains(value, L"center")) style = (style & ~DT_RIGHT) | DT_CENTER;
  if (attr::Contains(value, L"right")) style = (style & ~DT_CENTER) | DT_RIGHT;
}
}  // namespace

// The drop-down window: its own window manager with the body as root. It deletes itself when its
// window is gone, and whatever ends it, the items go back to the combo first.
class CComboWnd final : public CWindowWnd, public INotifyUI {
 public:
  explicit CComboWnd(CComboUI* owner) : m_owner(owner), m_oldSelection(owner->SelectedIndex()) {}
  const wchar_t* WindowClassName() const override { return L"ComboWnd"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed(HWND window) override;
  void OnNotification(TNotifyMsg& msg) override;

  bool Open();
  void EnsureVisible(int index);
  // Puts the items back into the combo (once).
  void ReturnItems();
  // The combo is going away: the window refers to it no more.
  void Detach() { m_owner = nullptr; }

 private:
  void OnCreate();
  RECT PopupRect() const;

  CComboUI* m_owner;
  CWindowManagerUI m_manager;
  CComboBodyUI* m_body = nullptr;
  int m_oldSelection;
  bool m_scrollBarClicked = false;
  bool m_itemsReturned = false;
};

RECT CComboWnd::PopupRect() const {
  CComboUI* combo = m_owner;
  RECT item = combo->GetPos();
  SIZE drop = combo->DropSize();
  RECT r = item;
  r.top = item.bottom;
  r.bottom = r.top + drop.cy;
  if (drop.cx > 0) r.right = r.left + drop.cx;
  SIZE available = {r.right - r.left, r.bottom - r.top};
  int sum = 0;
  for (int i = 0; i < combo->ItemCount(); ++i) {
    CControlUI* child = combo->ItemAt(i);
    if (child->IsVisible()) sum += child->MeasureDesiredSize(available).cy;
  }
  int height = sum < drop.cy ? sum : drop.cy;
  r.bottom = r.top + height;
  HWND window = combo->OwnerManager()->PaintWindow();
  RECT screen = r;
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  MONITORINFO info = {sizeof(info)};
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
  if (screen.bottom > info.rcWork.bottom) {
    r.bottom = item.top;
    r.top = r.bottom - height;
    screen = r;
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  }
  return screen;
}

bool CComboWnd::Open() {
  RECT r = PopupRect();
  HWND owner = m_owner->OwnerManager()->PaintWindow();
  if (!Create(owner, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, r)) return false;
  ::ShowWindow(Handle(), SW_SHOW);
  return true;
}

void CComboWnd::OnCreate() {
  CComboUI* combo = m_owner;
  CWindowManagerUI* comboManager = combo->OwnerManager();
  m_manager.Attach(Handle(), L"ComboWnd");
  m_body = new CComboBodyUI(combo);
  m_body->BindToManager(&m_manager, nullptr, true);
  if (const wchar_t* defaults = comboManager->ClassDefaults(L"VerticalLayout")) m_body->ApplyAttributeText(defaults);
  m_body->SetBackColor(combo->ItemStyle()->bkColor);
  m_body->SetOwnsItems(false);
  m_body->EnableScrollBars(true, false);
  m_body->ApplyAttributeText(combo->DropAttributes());
  for (int i = 0; i < combo->ItemCount(); ++i) m_body->Add(combo->ItemAt(i));
  m_manager.SetRoot(m_body);
  m_manager.AddListener(this);
  static const wchar_t* const kScrollNames[4] = {L"vscrollbar", L"vscrollbarstyle", L"hscrollbar", L"hscrollbarstyle"};
  for (int i = 0; i < 4; ++i) {
    if (!combo->DropScrollSetting(i).IsBlank()) m_body->ApplyAttribute(kScrollNames[i], combo->DropScrollSetting(i));
  }
  if (CScrollBarUI* bar = m_body->VerticalScrollBar()) {
    if (const wchar_t* d = comboManager->ClassDefaults(L"VScrollBar")) bar->ApplyAttributeText(d);
  }
  if (CScrollBarUI* bar = m_body->HorizontalScrollBar()) {
    if (const wchar_t* d = comboManager->ClassDefaults(L"HScrollBar")) bar->ApplyAttributeText(d);
  }
}

void CComboWnd::ReturnItems() {
  if (m_itemsReturned || !m_owner) return;
  m_itemsReturned = true;
  if (m_body) m_body->RemoveAll();  // the body owns none of them
  CComboUI* combo = m_owner;
  combo->BindToManager(combo->OwnerManager(), combo->GetParent(), false);
}

void CComboWnd::EnsureVisible(int index) {
  if (!m_owner || !m_body || index < 0 || index >= m_owner->ItemCount()) return;
  RECT item = m_owner->ItemAt(index)->GetPos();
  RECT body = m_body->GetPos();
  CScrollBarUI* hBar = m_body->HorizontalScrollBar();
  if (hBar && hBar->IsVisible()) body.bottom -= hBar->GetFixedHeight();
  if (item.top >= body.top && item.bottom < body.bottom) return;
  SIZE offset = m_body->ScrollOffset();
  offset.cy += item.top < body.top ? item.top - body.top : item.bottom - body.bottom;
  m_body->SetScrollOffset(offset);
}

LRESULT CComboWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_owner) return CWindowWnd::ProcessMessage(message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_KILLFOCUS: {
      HWND focus = reinterpret_cast<HWND>(wParam);
      if (focus != Handle() && !(focus && ::IsChild(Handle(), focus))) PostMsg(WM_CLOSE);
      break;
    }
    case WM_CLOSE: {
      ReturnItems();
      CComboUI* combo = m_owner;
      if (combo->IsFloating()) combo->SetPos(combo->PosInParent(), false);
      else combo->SetPos(combo->GetPos(), false);
      combo->SetFocus();
      break;
    }
    case WM_DESTROY:
      ReturnItems();
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        PostMsg(WM_KILLFOCUS);
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        m_owner->SelectItem(m_oldSelection, true, true);
        EnsureVisible(m_oldSelection);
        PostMsg(WM_KILLFOCUS);
        return 0;
      } else {
        TEventMsg event;
        event.type = kEventKeyDown;
        event.key = static_cast<wchar_t>(wParam);
        event.wParam = wParam;
        event.lParam = lParam;
        event.timestamp = ::GetTickCount();
        m_owner->HandleEvent(event);
        EnsureVisible(m_owner->SelectedIndex());
        return 0;
      }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (IsScrollBar(m_manager.ControlAt(pt))) m_scrollBarClicked = true;
      break;
    }
    case WM_LBUTTONUP: {
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (m_scrollBarClicked) {
        m_scrollBarClicked = false;
      } else {
        CControlUI* control = m_manager.ControlAt(pt);
        if (control && !IsScrollBar(control)) PostMsg(WM_KILLFOCUS);
      }
      break;
    }
    case WM_MOUSEWHEEL: {
      TEventMsg event;
      event.type = kEventScrollWheel;
      event.wParam = static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0;
      event.lParam = lParam;
      event.timestamp = ::GetTickCount();
      m_owner->HandleEvent(event);
      EnsureVisible(m_owner->SelectedIndex());
      return 0;
    }
    default:
      break;
  }
  LRESULT result = 0;
  if (m_manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CComboWnd::OnNotification(TNotifyMsg& msg) {
  if (!m_owner) return;
  if (msg.type == L"itemclick" || msg.type == L"itemactivate" || msg.type == L"link" || msg.type == L"click") {
    m_owner->OwnerManager()->SendNotification(msg.sender, msg.type, msg.wParam, msg.lParam, true);
  }
}

void CComboWnd::OnDestroyed(HWND) {
  ReturnItems();
  if (m_owner) m_owner->OnPopupGone();
  delete this;
}

// ---- CComboUI ----

CComboUI::CComboUI() = default;

CComboUI::~CComboUI() {
  if (!m_popup) return;
  // Destroyed while open: the drop-down gives the items back and goes, without calling back.
  CComboWnd* popup = m_popup;
  m_popup = nullptr;
  popup->ReturnItems();
  popup->Detach();
  ::DestroyWindow(popup->Handle());
}

void* CComboUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  if (wcscmp(name, L"Combo") == 0) return this;
  return CContainerUI::CastToInterface(name);
}

HWND CComboUI::PopupWindow() const { return m_popup ? m_popup->Handle() : nullptr; }

void CComboUI::OnPopupGone() {
  m_popup = nullptr;
  m_state &= ~kStatePushed;
  Invalidate();
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_popup) return true;
  if (!m_manager || !m_manager->PaintWindow()) return false;
  auto* popup = new CComboWnd(this);
  m_popup = popup;
  if (!popup->Open()) {
    if (m_popup == popup && !popup->Handle()) delete popup;
    m_popup = nullptr;
    return false;
  }
  if (m_manager) m_manager->SendNotification(this, L"dropdown");
  Invalidate();
  return true;
}

CUIString CComboUI::GetText() const {
  CControlUI* item = ItemAt(m_selected);
  return item ? item->GetText() : CUIString();
}

void CComboUI::SetPos(RECT rect, bool invalidate) {
  // The items are laid out only inside the drop-down.
  if (!m_popup) {
    for (int i = 0; i < m_items.Count(); ++i) static_cast<CControlUI*>(m_items[i])->SetPos(RECT{0, 0, 0, 0}, false);
  }
  CControlUI::SetPos(rect, invalidate);
}

void CComboUI::Move(SIZE offset, bool invalidate) { CControlUI::Move(offset, invalidate); }

void CComboUI::SetEnabled(bool enabled) {
  CContainerUI::SetEnabled(enabled);
  if (!IsEnabled()) m_state = 0;
}

void CComboUI::SetShowSelectedText(bool on) {
  m_showText = on;
  Invalidate();
}

void CComboUI::SetImageRecord(TDrawInfo& record, const wchar_t* text) {
  if (record.text == text && record.image) return;
  record.Clear();
  record.text = text;
  Invalidate();
}

void CComboUI::Renumber() {
  for (int i = 0; i < m_items.Count(); ++i) {
    if (IListItemUI* item = AsListItem(static_cast<CControlUI*>(m_items[i]))) {
      item->SetOwner(this);
      item->SetItemIndex(i);
    }
  }
}

bool CComboUI::Add(CControlUI* control) { return AddAt(control, m_items.Count()); }

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  Renumber();
  if (m_selected >= 0 && index <= m_selected) ++m_selected;
  return true;
}

bool CComboUI::Remove(CControlUI* control, bool doNotDestroy) {
  int index = IndexOfItem(control);
  if (index < 0) return false;
  if (!CContainerUI::Remove(control, doNotDestroy)) return false;
  Renumber();
  if (index == m_selected) {
    m_selected = -1;
    SelectItem(FindSelectableItem(index, false), false, true);
  } else if (index < m_selected) {
    --m_selected;
  }
  return true;
}

bool CComboUI::RemoveAt(int index, bool doNotDestroy) {
  CControlUI* control = ItemAt(index);
  return control ? Remove(control, doNotDestroy) : false;
}

void CComboUI::RemoveAll() {
  m_selected = -1;
  CContainerUI::RemoveAll();
}

bool CComboUI::MoveItem(CControlUI* control, int index) {
  CControlUI* selected = ItemAt(m_selected);
  if (!CContainerUI::MoveItem(control, index)) return false;
  Renumber();
  if (selected) m_selected = IndexOfItem(selected);
  return true;
}

bool CComboUI::MoveItems(CControlUI* first, int count, int newIndex) {
  CControlUI* selected = ItemAt(m_selected);
  if (!CContainerUI::MoveItems(first, count, newIndex)) return false;
  Renumber();
  if (selected) m_selected = IndexOfItem(selected);
  return true;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool notify) {
  if (m_closeOnSelect && m_popup) m_popup->Close(1);
  if (index == m_selected) return true;
  int previous = m_selected;
  if (m_selected >= 0) {
    if (IListItemUI* old = AsListItem(ItemAt(m_selected))) old->Select(false, notify);
    m_selected = -1;
  }
  if (index < 0 || m_items.Count() == 0) return false;
  if (index >= m_items.Count()) index = m_items.Count() - 1;
  CControlUI* control = ItemAt(index);
  IListItemUI* item = AsListItem(control);
  if (!control->IsEnabled() || !item) return false;
  m_selected = index;
  if (m_popup || takeFocus) control->SetFocus();
  item->Select(true, notify);
  if (m_manager && notify) m_manager->SendNotification(this, L"itemselect", m_selected, previous);
  Invalidate();
  return true;
}

void CComboUI::SelectStep(int index, bool forward) {
  int found = FindSelectableItem(index, forward);
  if (found < 0) return;
  bool close = m_closeOnSelect;
  m_closeOnSelect = false;
  SelectItem(found, false, true);
  m_closeOnSelect = close;
}

void CComboUI::EnsureItemVisible(int index) {
  if (m_popup && m_selected >= 0) m_popup->EnsureVisible(index);
}

void CComboUI::HandleEvent(TEventMsg& event) {
  if (!m_mouseEnabled && IsMouseEvent(event.type)) {
    if (m_parent) m_parent->HandleEvent(event);
    else CContainerUI::HandleEvent(event);
    return;
  }
  switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
      Invalidate();
      break;
    case kEventButtonDown:
      if (IsEnabled()) {
        Activate();
        m_state |= kStatePushed | kStateCaptured;
      }
      return;
    case kEventButtonUp:
      if (m_state & kStateCaptured) {
        m_state &= ~kStateCaptured;
        Invalidate();
      }
      return;
    case kEventMouseMove:
      return;
    case kEventKeyDown:
      if (!AcceptsKeyboard() || !IsEnabled()) break;
      switch (event.key) {
        case VK_F4: Activate(); return;
        case VK_UP:
        case VK_PRIOR: SelectStep(m_selected - 1, false); return;
        case VK_DOWN:
        case VK_NEXT: SelectStep(m_selected + 1, true); return;
        case VK_HOME: SelectStep(0, false); return;
        case VK_END: SelectStep(ItemCount() - 1, true); return;
        default: break;
      }
      break;
    case kEventScrollWheel:
      if (IsEnabled()) {
        bool forward = LOWORD(event.wParam) == 1;
        SelectStep(m_selected + (forward ? 1 : -1), forward);
        return;
      }
      break;
    case kEventContextMenu:
      return;
    case kEventMouseEnter:
    case kEventMouseLeave:
      if (TrackHotBit(event, m_state, kStateHot)) return;
      break;
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

void CComboUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  TListItemStyle& s = m_itemStyle;
  if (n == L"textpadding") m_textPadding = attr::Rect(value), Invalidate();
  else if (n == L"align") AlignFromText(m_textStyle, value), Invalidate();
  else if (n == L"font") m_font = attr::Int(value);
  else if (n == L"textcolor") m_textColor = attr::OpaqueIfNoAlpha(attr::Color(value)), Invalidate();
  else if (n == L"disabledtextcolor") m_disabledTextColor = attr::Color(value), Invalidate();
  else if (n == L"rhaa") s.renderingHint = attr::Int(value);
  else if (n == L"showtext") SetShowSelectedText(attr::IsTrue(value));
  else if (n == L"selectedid") SelectItem(attr::Int(value), false, true);
  else if (n == L"normalimage") SetImageRecord(m_normalImage, value);
  else if (n == L"hotimage") SetImageRecord(m_hotImage, value);
  else if (n == L"pushedimage") SetImageRecord(m_pushedImage, value);
  else if (n == L"focusedimage") SetImageRecord(m_focusedImage, value);
  else if (n == L"disabledimage") SetImageRecord(m_disabledImage, value);
  else if (n == L"dropbox") SetDropAttributes(value);
  else if (n == L"dropboxsize") m_dropSize = attr::Size(value);
  else if (n == L"vscrollbar") m_dropScroll[0] = value;
  else if (n == L"vscrollbarstyle") m_dropScroll[1] = value;
  else if (n == L"hscrollbar") m_dropScroll[2] = value;
  else if (n == L"hscrollbarstyle") m_dropScroll[3] = value;
  else if (n == L"itemheight") s.itemHeight = attr::Int(value);
  else if (n == L"itemfont") s.font = attr::Int(value);
  else if (n == L"itemalign") AlignFromText(s.textStyle, value);
  else if (n == L"itemtextpadding") s.textPadding = attr::Rect(value);
  else if (n == L"itemtextcolor") s.textColor = attr::Color(value);
  else if (n == L"itemselectedtextcolor") s.selectedTextColor = attr::Color(value);
  else if (n == L"itemhottextcolor") s.hotTextColor = attr::Color(value);
  else if (n == L"itemdisabledtextcolor") s.disabledTextColor = attr::Color(value);
  else if (n == L"itembkcolor") s.bkColor = attr::Color(value);
  else if (n == L"itemselectedbkcolor") s.selectedBkColor = attr::Color(value);
  else if (n == L"itemhotbkcolor") s.hotBkColor = attr::Color(value);
  else if (n == L"itemdisabledbkcolor") s.disabledBkColor = attr::Color(value);
  else if (n == L"itembkimage") s.bkImage.Clear(), s.bkImage.text = value;
  else if (n == L"itemselectedimage") s.selectedImage.Clear(), s.selectedImage.text = value;
  else if (n == L"itemhotimage") s.hotImage.Clear(), s.hotImage.text = value;
  else if (n == L"itemdisabledimage") s.disabledImage.Clear(), s.disabledImage.text = value;
  else if (n == L"itemaltbk") s.alternateBk = attr::IsTrue(value);
  else if (n == L"itemhlinesize") s.hLineSize = attr::Int(value);
  else if (n == L"itemvlinesize") s.vLineSize = attr::Int(value);
  else if (n == L"itemhlinecolor") s.hLineColor = attr::Color(value);
  else if (n == L"itemvlinecolor") s.vLineColor = attr::Color(value);
  else if (n == L"itemshowhtml") s.showHtml = attr::IsTrue(value);
  else CContainerUI::ApplyAttribute(name, value);
}

SIZE CComboUI::MeasureDesiredSize(SIZE) {
  if (m_fixedSize.cy != 0) return m_fixedSize;
  int height = m_manager ? m_manager->BaseFontRecord()->metrics.tmHeight : 0;
  return SIZE{m_fixedSize.cx, height + 8};
}

bool CComboUI::PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl) {
  return CControlUI::PaintContent(dc, paint, stopControl);
}

void CComboUI::PaintStateImage(HDC dc) {
  if (IsFocused()) m_state |= kStateFocused;
  else m_state &= ~kStateFocused;
  if (!IsEnabled()) m_state |= kStateDisabled;
  else m_state &= ~kStateDisabled;
  TDrawInfo* candidate = nullptr;
  if (m_state & kStateDisabled) candidate = &m_disabledImage;
  else if (m_state & kStatePushed) candidate = &m_pushedImage;
  else if (m_state & kStateHot) candidate = &m_hotImage;
  else if (m_state & kStateFocused) candidate = &m_focusedImage;
  if (!candidate || !DrawImageRecord(dc, *candidate)) DrawImageRecord(dc, m_normalImage);
}

void CComboUI::PaintText(HDC dc) {
  if (!m_showText || m_selected < 0 || !m_manager) return;
  CControlUI* control = ItemAt(m_selected);
  if (!control) return;
  if (m_textColor == 0) m_textColor = m_manager->BaseTextColor();
  if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->DisabledTextColor();
  RECT rc = {m_item.left + m_textPadding.left, m_item.top + m_textPadding.top, m_item.right - m_textPadding.right,
             m_item.bottom - m_textPadding.bottom};
  if (AsListItem(control)) {
    CRenderer::DrawPlainText(dc, m_manager, rc, control->GetText(), IsEnabled() ? m_textColor : m_disabledTextColor,
                             m_font, m_textStyle);
    return;
  }
  RECT old = control->GetPos();
  control->SetPos(rc, false);
  control->Paint(dc, rc, nullptr);
  control->SetPos(old, false);
}

bool CComboBodyUI::PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl) {
  int drawIndex = 0;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible() || child->IsFloating()) continue;
    if (IListItemUI* item = AsListItem(child)) item->SetPaintIndex(drawIndex++);
  }
  if (!CVerticalLayoutUI::PaintContent(dc, paint, stopControl)) return false;
  TListItemStyle* style = m_owner ? m_owner->ItemStyle() : nullptr;
  if (!style || style->hLineSize <= 0) return true;
  for (int i = 0; i < m_items.Count(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible() || child->IsFloating() || !AsListItem(child)) continue;
    RECT pos = child->GetPos();
    LONG y = pos.bottom + child->GetPadding().bottom + style->hLineSize / 2;
    CRenderer::DrawLine(dc, RECT{pos.left, y, pos.right, y}, style->hLineSize, style->hLineColor);
  }
  return true;
}

}  // namespace SkinUI

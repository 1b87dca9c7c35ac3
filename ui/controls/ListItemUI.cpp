#include "ui/controls/ListItemUI.h"

#include <cwchar>

#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

void* CListLabelElementUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"ListLabelElement") == 0 || wcscmp(name, L"ListElement") == 0) return this;
  if (wcscmp(name, L"IListItem") == 0) return static_cast<IListItemUI*>(this);
  return CControlUI::CastToInterface(name);
}

void CListLabelElementUI::SetOwner(CControlUI* owner) {
  m_owner = owner ? static_cast<IListOwnerUI*>(owner->CastToInterface(L"IListOwner")) : nullptr;
  m_ownerControl = m_owner ? owner : nullptr;
}

CWindowManagerUI* CListLabelElementUI::FontSource() const {
  CWindowManagerUI* manager = m_ownerControl ? m_ownerControl->OwnerManager() : nullptr;
  return manager ? manager : m_manager;
}

void CListLabelElementUI::SetText(const wchar_t* text) {
  CControlUI::SetText(text);
  m_estimateNeeded = true;
}

void CListLabelElementUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!IsEnabled()) m_hot = false;
}

bool CListLabelElementUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_manager) m_manager->SendNotification(this, L"itemactivate");
  return true;
}

bool CListLabelElementUI::Select(bool select, bool notify) {
  if (!IsEnabled()) return false;
  if (select == m_selected) return true;
  m_selected = select;
  if (select && m_owner) m_owner->SelectItem(m_index, false, notify);
  Invalidate();
  return true;
}

void CListLabelElementUI::HandleEvent(TEventMsg& event) {
  bool mouseEvent = event.type > 8 && event.type < 19;
  if (!m_mouseEnabled && mouseEvent) {
    if (m_owner) m_owner->HandleEvent(event);
    else CControlUI::HandleEvent(event);
    return;
  }
  switch (event.type) {
    case kEventButtonDown:
    case kEventRButtonDown:
      if (IsEnabled()) {
        if (m_manager) m_manager->SendNotification(this, L"itemclick");
        Select(true, true);
        Invalidate();
      }
      return;
    case kEventDoubleClick:
      if (IsEnabled()) Activate();
      return;
    case kEventKeyDown:
      if (IsEnabled() && event.key == VK_RETURN) {
        Activate();
        return;
      }
      break;
    case kEventMouseEnter:
      if (IsEnabled() && !m_hot) {
        m_hot = true;
        Invalidate();
      }
      return;
    case kEventMouseLeave:
      if (::PtInRect(&m_item, event.mousePoint)) {
        if (m_manager) m_manager->AddLeaveWatcher(this);
        return;
      }
      if (m_hot) {
        m_hot = false;
        Invalidate();
      }
      if (m_manager) m_manager->RemoveLeaveWatcher(this);
      return;
    case kEventButtonUp:
    case kEventMouseMove:
    case kEventSetCursor:
    case kEventTimer:
      return;
    default:
      break;
  }
  if (m_owner) m_owner->HandleEvent(event);
  else CControlUI::HandleEvent(event);
}

SIZE CListLabelElementUI::MeasureDesiredSize(SIZE available) {
  TListItemStyle* style = m_owner ? m_owner->ItemStyle() : nullptr;
  if (m_fixedSize.cx > 0 && m_fixedSize.cy > 0) return m_fixedSize;
  if (m_fixedSize.cx > 0 && style && style->itemHeight > 0) return SIZE{m_fixedSize.cx, style->itemHeight};
  if (!style || !m_manager) return m_fixedSize;
  bool singleLine = (style->textStyle & DT_SINGLELINE) != 0;
  if (!singleLine && (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy)) m_estimateNeeded = true;
  if (!m_estimateNeeded) return m_estimate;
  m_estimateNeeded = false;
  m_lastAvailable = available;
  const RECT& pad = style->textPadding;
  CWindowManagerUI* fonts = FontSource();
  TFontInfo* font = fonts->FontRecordById(style->font);
  if (!font) font = fonts->BaseFontRecord();
  LONG h = style->itemHeight > 0 ? style->itemHeight : font->metrics.tmHeight + 8 + pad.top + pad.bottom;
  RECT rc = {0, 0, singleLine ? 9999 : available.cx - pad.left - pad.right, 9999};
  UINT measure = (style->textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
  if (HDC dc = m_manager->PaintDC()) {
    if (style->showHtml) {
      int links = 0;
      CRenderer::DrawFormattedText(dc, fonts, rc, m_text, 0, nullptr, nullptr, links, measure);
    } else {
      CRenderer::DrawPlainText(dc, fonts, rc, m_text, 0, style->font, measure);
    }
  } else {
    rc.right = rc.bottom = 0;
  }
  if (singleLine) m_estimate = SIZE{rc.right - rc.left + pad.left + pad.right, h};
  else m_estimate = SIZE{available.cx, rc.bottom - rc.top + pad.top + pad.bottom};
  if (m_fixedSize.cx > 0) m_estimate.cx = m_fixedSize.cx;
  return m_estimate;
}

void CListLabelElementUI::PaintItemBackground(HDC dc) {
  TListItemStyle* style = m_owner->ItemStyle();
  bool odd = style->alternateBk && (m_paintIndex % 2) == 1;
  DWORD color = odd ? 0 : style->bkColor;
  if (m_hot) color = style->hotBkColor;
  if (m_selected) color = style->selectedBkColor;
  if (!IsEnabled()) color = style->disabledBkColor;
  if (color != 0) CRenderer::FillColor(dc, m_item, HslAdjustedColor(color));
  if (!IsEnabled() && DrawImageRecord(dc, style->disabledImage)) return;
  if (m_selected && DrawImageRecord(dc, style->selectedImage)) return;
  if (m_hot && DrawImageRecord(dc, style->hotImage)) return;
  if (!m_backImage.text.IsBlank() && DrawImageRecord(dc, m_backImage)) return;
  if (!odd) DrawImageRecord(dc, style->bkImage);
}

void CListLabelElementUI::PaintItemText(HDC dc, const RECT& rect) {
  if (m_text.IsBlank() || !m_owner || !m_manager) return;
  TListItemStyle* style = m_owner->ItemStyle();
  DWORD color = style->textColor;
  if (m_hot) color = style->hotTextColor;
  if (m_selected) color = style->selectedTextColor;
  if (!IsEnabled()) color = style->disabledTextColor;
  RECT rc = {rect.left + style->textPadding.left, rect.top + style->textPadding.top,
             rect.right - style->textPadding.right, rect.bottom - style->textPadding.bottom};
  if (style->showHtml) {
    int links = 0;
    CRenderer::DrawFormattedText(dc, FontSource(), rc, m_text, color, nullptr, nullptr, links, style->textStyle);
  } else {
    CRenderer::DrawPlainText(dc, FontSource(), rc, m_text, color, style->font, style->textStyle);
  }
}

bool CListLabelElementUI::PaintContent(HDC dc, const RECT&, CControlUI*) {
  if (!m_owner) return true;
  PaintItemBackground(dc);
  PaintItemText(dc, m_item);
  PaintBorder(dc);
  return true;
}

}  // namespace SkinUI

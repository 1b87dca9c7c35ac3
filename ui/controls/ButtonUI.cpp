#include "ui/controls/ButtonUI.h"

#include <cwchar>

#include "ui/controls/AttributeValues.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
bool IsMouseEvent(int type) { return type > 8 && type < 19; }
}  // namespace

CButtonUI::CButtonUI() { m_textStyle = kTextCenter | kTextVCenter | kTextSingleLine; }

CButtonUI::~CButtonUI() {
  if (m_deletedFlag) *m_deletedFlag = true;
}

void* CButtonUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"Button") == 0) return this;
  return CLabelUI::CastToInterface(name);
}

UINT CButtonUI::ControlTraits() const {
  UINT traits = 0;
  if (AcceptsKeyboard()) traits |= kFlagTabStop;
  if (IsEnabled()) traits |= kFlagSetCursor;
  return traits;
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_manager) m_manager->SendNotification(this, L"click");
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!IsEnabled()) m_state = 0;
}

void CButtonUI::SetImageRecord(TDrawInfo& record, const wchar_t* text) {
  if (record.text == text && record.image) return;
  record.Clear();
  record.text = text;
  Invalidate();
}

void CButtonUI::SetFiveStateImage(const wchar_t* text) {
  TDrawInfo* records[5] = {&m_normalImage, &m_pushedImage, &m_hotImage, &m_focusedImage, &m_disabledImage};
  for (TDrawInfo* record : records) {
    record->Clear();
    record->text = text;
    DrawImageRecord(nullptr, *record);
  }
  TImageInfo* image = m_normalImage.image;
  if (image) {
    int fifth = image->width / 5;
    for (int k = 0; k < 5; ++k) records[k]->source = RECT{k * fifth, 0, (k + 1) * fifth, image->height};
    if (m_float && m_fixedSize.cx == 0 && m_fixedSize.cy == 0) m_fixedSize = SIZE{fifth, image->height};
  }
  Invalidate();
}

void CButtonUI::SetHotBackColor(DWORD color) {
  m_hotBackColor = color;
  Invalidate();
}
void CButtonUI::SetHotTextColor(DWORD color) {
  m_hotTextColor = color;
  Invalidate();
}
void CButtonUI::SetPushedTextColor(DWORD color) {
  m_pushedTextColor = color;
  Invalidate();
}
void CButtonUI::SetFocusedTextColor(DWORD color) {
  m_focusedTextColor = color;
  Invalidate();
}
void CButtonUI::SetFocusedBackColor(DWORD color) {
  m_focusedBackColor = color;
  Invalidate();
}

void CButtonUI::SetCursorName(const wchar_t* name) {
  m_cursor = name;
  if (!IsEnabled() || !m_manager) return;
  POINT pt;
  if (!::GetCursorPos(&pt) || !::ScreenToClient(m_manager->PaintWindow(), &pt) || !::PtInRect(&m_item, pt)) return;
  ::SetCursor(::LoadCursorW(nullptr, m_cursor == L"arrow" ? IDC_ARROW : IDC_HAND));
}

void CButtonUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"normalimage") SetNormalImage(value);
  else if (n == L"hotimage") SetHotImage(value);
  else if (n == L"pushedimage") SetPushedImage(value);
  else if (n == L"focusedimage") SetFocusedImage(value);
  else if (n == L"disabledimage") SetDisabledImage(value);
  else if (n == L"foreimage") SetForeImage(value);
  else if (n == L"hotforeimage") SetHotForeImage(value);
  else if (n == L"fivestatusimage") SetFiveStateImage(value);
  else if (n == L"fadedelta") SetFadeStep(static_cast<BYTE>(attr::Int(value) & 0xFF));
  else if (n == L"hotbkcolor") SetHotBackColor(attr::Color(value));
  else if (n == L"hottextcolor") SetHotTextColor(attr::Color(value));
  else if (n == L"pushedtextcolor") SetPushedTextColor(attr::Color(value));
  else if (n == L"focusedtextcolor") SetFocusedTextColor(attr::Color(value));
  else if (n == L"focusedbkcolor") SetFocusedBackColor(attr::Color(value));
  else if (n == L"cursor") SetCursorName(value);
  else CLabelUI::ApplyAttribute(name, value);
}

void CButtonUI::HandleEvent(TEventMsg& event) {
  if (!m_mouseEnabled && IsMouseEvent(event.type)) {
    if (m_parent) m_parent->HandleEvent(event);
    else CLabelUI::HandleEvent(event);
    return;
  }
  bool inside = ::PtInRect(&m_item, event.mousePoint) != 0;
  switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
      Invalidate();
      break;
    case kEventKeyDown:
      if (AcceptsKeyboard() && IsEnabled() && (event.key == L' ' || event.key == L'\r')) {
        Activate();
        return;
      }
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
      if (inside && IsEnabled()) {
        m_state |= kStatePushed | kStateCaptured;
        Invalidate();
      }
      return;
    case kEventMouseMove:
      if (m_state & kStateCaptured) {
        if (inside) m_state |= kStatePushed;
        else m_state &= ~kStatePushed;
        Invalidate();
      }
      return;
    case kEventButtonUp:
      if (m_state & kStateCaptured) {
        if (inside && IsEnabled()) {
          // The click handler may delete this button: nothing of it may be touched afterwards.
          bool deleted = false;
          bool* outer = m_deletedFlag;
          m_deletedFlag = &deleted;
          Activate();
          if (deleted) {
            if (outer) *outer = true;
            return;
          }
          m_deletedFlag = outer;
        }
        m_state &= ~(kStatePushed | kStateCaptured);
        Invalidate();
      }
      return;
    case kEventContextMenu:
      if (m_contextMenu && IsEnabled() && m_manager) {
        m_manager->SendNotification(this, L"menu", event.wParam, event.lParam);
      }
      return;
    case kEventMouseEnter:
      OnMouseEnter(event);
      break;
    case kEventMouseLeave:
      if (inside) {
        if (m_manager) m_manager->AddLeaveWatcher(this);
        return;
      }
      OnMouseLeave(event);
      break;
    case kEventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, m_cursor == L"arrow" ? IDC_ARROW : IDC_HAND));
      return;
    case kEventTimer:
      if (event.wParam == kFadeTimerId) {
        OnFadeTimer();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CButtonUI::OnMouseEnter(TEventMsg& event) {
  if (!::PtInRect(&m_item, event.mousePoint) || !IsEnabled() || (m_state & kStateHot)) return;
  m_state |= kStateHot;
  Invalidate();
  if (m_manager) m_manager->SendNotification(this, L"mouseenter");
  if (m_fadeStep && m_manager) m_manager->StartTimer(this, kFadeTimerId, kFadeIntervalMs);
}

void CButtonUI::OnMouseLeave(TEventMsg&) {
  if (!IsEnabled() || !(m_state & kStateHot)) return;
  m_state &= ~kStateHot;
  Invalidate();
  if (!m_manager) return;
  m_manager->SendNotification(this, L"mouseleave");
  m_manager->RemoveLeaveWatcher(this);
  if (m_fadeStep) m_manager->StartTimer(this, kFadeTimerId, kFadeIntervalMs);
}

void CButtonUI::OnFadeTimer() {
  if (m_state & kStateHot) {
    if (m_fadeStep >= m_fadeAlpha) {
      m_fadeAlpha = 0;
      if (m_manager) m_manager->StopTimer(this, kFadeTimerId);
    } else {
      m_fadeAlpha = static_cast<BYTE>(m_fadeAlpha - m_fadeStep);
    }
  } else {
    if (m_fadeAlpha > 255 - m_fadeStep) {
      m_fadeAlpha = 255;
      if (m_manager) m_manager->StopTimer(this, kFadeTimerId);
    } else {
      m_fadeAlpha = static_cast<BYTE>(m_fadeAlpha + m_fadeStep);
    }
  }
  Invalidate();
}

SIZE CButtonUI::MeasureDesiredSize(SIZE) {
  if (m_fixedSize.cy != 0) return m_fixedSize;
  return SIZE{m_fixedSize.cx, FontTextHeight() + 8};
}

void CButtonUI::PaintBackColor(HDC dc) {
  if (!IsEnabled()) {
    if (m_disabledBackColor != 0) {
      CRenderer::FillColor(dc, m_disabledBackColor >= 0xFF000000 ? m_paint : m_item,
                           HslAdjustedColor(m_disabledBackColor));
      return;
    }
  } else if (IsFocused() && m_focusedBackColor != 0) {
    CRenderer::FillColor(dc, m_focusedBackColor >= 0xFF000000 ? m_paint : m_item, HslAdjustedColor(m_focusedBackColor));
    return;
  }
  CControlUI::PaintBackColor(dc);
}

void CButtonUI::RefreshFocusAndDisabledBits() {
  if (IsFocused()) m_state |= kStateFocused;
  else m_state &= ~kStateFocused;
  if (!IsEnabled()) m_state |= kStateDisabled;
  else m_state &= ~kStateDisabled;
}

bool CButtonUI::DrawWithFade(HDC dc, TDrawInfo& record, BYTE fade) {
  if (!record.parsed) CRenderer::ParseImageString(record);
  BYTE kept = record.fade;
  record.fade = fade;
  bool drawn = DrawImageRecord(dc, record);
  record.fade = kept;
  return drawn;
}

void CButtonUI::DrawNormalWithFade(HDC dc) {
  if (m_fadeStep == 0 || m_fadeAlpha == 255) {
    DrawImageRecord(dc, m_normalImage);
    return;
  }
  DrawWithFade(dc, m_hotImage, static_cast<BYTE>(255 - m_fadeAlpha));
  DrawWithFade(dc, m_normalImage, m_fadeAlpha);
}

void CButtonUI::PaintStateImage(HDC dc) {
  RefreshFocusAndDisabledBits();
  if (m_state & kStateDisabled) {
    if (!DrawImageRecord(dc, m_disabledImage)) DrawNormalWithFade(dc);
  } else if (m_state & kStatePushed) {
    if (!DrawImageRecord(dc, m_pushedImage)) DrawImageRecord(dc, m_normalImage);
    if (DrawImageRecord(dc, m_pushedForeImage)) return;
  } else if (m_state & kStateHot) {
    if (m_fadeStep != 0) {
      if (m_fadeAlpha != 0) DrawWithFade(dc, m_normalImage, m_fadeAlpha);
      DrawWithFade(dc, m_hotImage, m_fadeAlpha == 0 ? 255 : static_cast<BYTE>(255 - m_fadeAlpha));
    } else if (!DrawImageRecord(dc, m_hotImage)) {
      DrawImageRecord(dc, m_normalImage);
    }
    if (DrawImageRecord(dc, m_hotForeImage)) return;
    if (m_hotBackColor != 0) {
      CRenderer::FillColor(dc, m_paint, HslAdjustedColor(m_hotBackColor));
      return;
    }
  } else if (!((m_state & kStateFocused) && DrawImageRecord(dc, m_focusedImage))) {
    DrawNormalWithFade(dc);
  }
  DrawImageRecord(dc, m_foreImage);
}

void CButtonUI::PaintText(HDC dc) {
  RefreshFocusAndDisabledBits();
  TakeDefaultColors();
  if (m_text.IsBlank()) return;
  DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
  if ((m_state & kStatePushed) && m_pushedTextColor != 0) color = m_pushedTextColor;
  else if ((m_state & kStateHot) && m_hotTextColor != 0) color = m_hotTextColor;
  else if ((m_state & kStateFocused) && m_focusedTextColor != 0) color = m_focusedTextColor;
  RECT rc = TextRect();
  if (m_effects) DrawSolidEffectText(dc, rc, m_text, color, m_textStyle);
  else DrawTextThroughEngine(dc, rc, m_text, color, m_textStyle);
}

}  // namespace SkinUI

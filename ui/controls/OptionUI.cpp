#include "ui/controls/OptionUI.h"

#include <cwchar>

#include "ui/controls/AttributeValues.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() {
  if (m_manager && !m_group.IsBlank()) m_manager->LeaveOptionGroup(m_group, this);
}

void* COptionUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"Option") == 0) return this;
  return CButtonUI::CastToInterface(name);
}

void COptionUI::SetGroupName(const wchar_t* name) {
  CUIString next(name ? name : L"");
  if (next == m_group) return;
  if (m_manager && !m_group.IsBlank()) m_manager->LeaveOptionGroup(m_group, this);
  m_group = next;
  if (m_manager) {
    if (!m_group.IsBlank()) m_manager->JoinOptionGroup(m_group, this);
    else m_manager->LeaveOptionGroup(m_group, this);
  }
  SetSelected(m_selected, true);
}

void COptionUI::SetSelected(bool select, bool notify) {
  if (m_selected == select) return;
  m_selected = select;
  if (select) m_state |= kStateSelected;
  else m_state &= ~kStateSelected;
  if (m_manager) {
    if (!m_group.IsBlank()) {
      if (!select) {
        Invalidate();
        return;
      }
      if (CPtrArrayUI* members = m_manager->OptionGroupMembers(m_group)) {
        // Deselecting a member can run code that changes the group: walk a copy.
        CPtrArrayUI others(*members);
        for (int i = 0; i < others.Count(); ++i) {
          auto* member = static_cast<CControlUI*>(others[i]);
          auto* other = static_cast<COptionUI*>(member->CastToInterface(L"Option"));
          if (other && other != this) other->SetSelected(false, notify);
        }
      }
    }
    if (notify) m_manager->SendNotification(this, L"selectchanged");
  }
  Invalidate();
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  if (!m_group.IsBlank()) SetSelected(true, true);
  else SetSelected(!m_selected, true);
  return true;
}

void COptionUI::BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  CControlUI::BindToManager(manager, parent, init);
  if (init && !m_group.IsBlank() && m_manager) m_manager->JoinOptionGroup(m_group, this);
}

void COptionUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!IsEnabled()) m_state = m_selected ? static_cast<UINT>(kStateSelected) : 0u;
}

void COptionUI::SetSelectedBackColor(DWORD color) {
  m_selectedBackColor = color;
  Invalidate();
}

void COptionUI::SetSelectedTextColor(DWORD color) {
  m_selectedTextColor = color;
  Invalidate();
}

void COptionUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"group") SetGroupName(value);
  else if (n == L"selected") SetSelected(attr::IsTrue(value), true);
  else if (n == L"selectedimage") SetSelectedImage(value);
  else if (n == L"selectedhotimage") SetSelectedHotImage(value);
  else if (n == L"foreimage") SetOptionForeImage(value);
  else if (n == L"selectedbkcolor") SetSelectedBackColor(attr::Color(value));
  else if (n == L"selectedtextcolor") SetSelectedTextColor(attr::Color(value));
  else CButtonUI::ApplyAttribute(name, value);
}

void COptionUI::PaintStateImage(HDC dc) {
  if (m_selected) {
    bool drawn = ((m_state & kStateHot) && DrawImageRecord(dc, m_selectedHotImage)) || DrawImageRecord(dc, m_selectedImage);
    if (drawn) {
      DrawImageRecord(dc, m_optionForeImage);
      return;
    }
    if (m_selectedBackColor != 0) {
      CRenderer::FillColor(dc, m_paint, HslAdjustedColor(m_selectedBackColor));
      DrawImageRecord(dc, m_optionForeImage);
      return;
    }
  }
  // An option never shows its pushed image.
  UINT kept = m_state;
  m_state &= ~kStatePushed;
  CButtonUI::PaintStateImage(dc);
  m_state = (m_state & ~kStatePushed) | (kept & kStatePushed);
  DrawImageRecord(dc, m_optionForeImage);
}

void COptionUI::PaintText(HDC dc) {
  if (!m_selected) {
    UINT kept = m_state;
    m_state &= ~kStatePushed;
    CButtonUI::PaintText(dc);
    m_state = (m_state & ~kStatePushed) | (kept & kStatePushed);
    return;
  }
  TakeDefaultColors();
  if (m_text.IsBlank()) return;
  DWORD normal = m_selectedTextColor != 0 ? m_selectedTextColor : m_textColor;
  DWORD color = IsEnabled() ? normal : m_disabledTextColor;
  RECT rc = TextRect();
  if (m_effects) DrawSolidEffectText(dc, rc, m_text, color, m_textStyle);
  else DrawTextThroughEngine(dc, rc, m_text, color, m_textStyle);
}

void* CCheckBoxUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"CheckBox") == 0) return this;
  return COptionUI::CastToInterface(name);
}

}  // namespace SkinUI

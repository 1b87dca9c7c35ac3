#include "ui/controls/ProgressUI.h"

#include <climits>
#include <cwchar>

#include "ui/controls/AttributeValues.h"

namespace SkinUI {

namespace {
// (part × length) / range in 64 bits: a 32-bit product overflows for large ranges.
LONG Scale(long long part, long long length, long long range) { return static_cast<LONG>(part * length / range); }
}  // namespace

CProgressUI::CProgressUI() {
  m_textStyle = kTextSingleLine | kTextCenter;
  m_fixedSize.cy = 12;
}

CProgressUI::~CProgressUI() = default;

void* CProgressUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"Progress") == 0) return this;
  return CLabelUI::CastToInterface(name);
}

void CProgressUI::SetHorizontal(bool on) {
  if (m_horizontal == on) return;
  m_horizontal = on;
  Invalidate();
}

void CProgressUI::SetMinValue(int value) {
  m_min = value;
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  m_max = value;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  if (value > m_max) value = m_max;
  if (value < m_min) value = m_min;
  m_value = value;
  Invalidate();
}

void CProgressUI::SetForegroundImage(const wchar_t* text) {
  if (m_foreground.text == text && m_foreground.image) return;
  m_foreground.Clear();
  m_foreground.text = text;
  Invalidate();
}

void CProgressUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"foreimage") SetForegroundImage(value);
  else if (n == L"hor") SetHorizontal(attr::IsTrue(value));
  else if (n == L"min") SetMinValue(attr::Int(value));
  else if (n == L"max") SetMaxValue(attr::Int(value));
  else if (n == L"value") SetValue(attr::Int(value));
  else CLabelUI::ApplyAttribute(name, value);
}

RECT CProgressUI::FilledPart() {
  if (m_min >= m_max) {
    if (m_min == INT_MAX) m_min = INT_MAX - 1;
    m_max = m_min + 1;
  }
  if (m_value > m_max) m_value = m_max;
  if (m_value < m_min) m_value = m_min;
  LONG w = m_item.right - m_item.left, h = m_item.bottom - m_item.top;
  long long range = static_cast<long long>(m_max) - m_min;
  if (m_horizontal) return RECT{0, 0, Scale(static_cast<long long>(m_value) - m_min, w, range), h};
  return RECT{0, Scale(static_cast<long long>(m_max) - m_value, h, range), w, h};
}

void CProgressUI::PaintStateImage(HDC dc) {
  RECT part = FilledPart();
  if (!m_foreground.parsed) CRenderer::ParseImageString(m_foreground);
  m_foreground.dest = part;
  DrawImageRecord(dc, m_foreground);
}

}  // namespace SkinUI

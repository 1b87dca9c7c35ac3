#include "ui/controls/LabelUI.h"

#include <gdiplus.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "ui/controls/AttributeValues.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {

Gdiplus::Color ToGdiplus(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

// Alignment of a GDI+ string format from the label's text style bits.
void ApplyStyle(Gdiplus::StringFormat& format, UINT style) {
  format.SetLineAlignment((style & kTextVCenter)  ? Gdiplus::StringAlignmentCenter
                          : (style & kTextBottom) ? Gdiplus::StringAlignmentFar
                                                  : Gdiplus::StringAlignmentNear);
  format.SetAlignment((style & kTextCenter)  ? Gdiplus::StringAlignmentCenter
                      : (style & kTextRight) ? Gdiplus::StringAlignmentFar
                                             : Gdiplus::StringAlignmentNear);
  if (style & kTextSingleLine) format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
}

Gdiplus::RectF ToRectF(const RECT& r) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                        static_cast<Gdiplus::REAL>(r.right - r.left), static_cast<Gdiplus::REAL>(r.bottom - r.top));
}

}  // namespace

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

void* CLabelUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"Label") == 0) return this;
  return CControlUI::CastToInterface(name);
}

void CLabelUI::SetText(const wchar_t* text) {
  CControlUI::SetText(text);
  m_estimateNeeded = true;
}

void CLabelUI::SetFixedWidth(int cx) {
  m_estimateNeeded = true;
  CControlUI::SetFixedWidth(cx);
}

void CLabelUI::SetFixedHeight(int cy) {
  m_estimateNeeded = true;
  CControlUI::SetFixedHeight(cy);
}

void CLabelUI::SetNormalTextColor(DWORD color) {
  m_textColor = attr::OpaqueIfNoAlpha(color);
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
  m_disabledTextColor = color;
  Invalidate();
}

void CLabelUI::SetDisabledBackColor(DWORD color) {
  m_disabledBackColor = color;
  Invalidate();
}

void CLabelUI::SetFont(int index) {
  m_font = index;
  m_estimateNeeded = true;
  Invalidate();
}

void CLabelUI::SetTextInset(RECT rect) {
  m_textPadding = rect;
  m_estimateNeeded = true;
  Invalidate();
}

void CLabelUI::SetFormattedText(bool on) {
  if (m_showHtml != on) m_showHtml = on;
  m_estimateNeeded = true;
  Invalidate();
}

void CLabelUI::SetMultiLine(bool on) {
  if (on) {
    m_textStyle &= ~kTextSingleLine;
    m_textStyle |= kTextWordBreak;
  } else {
    m_textStyle |= kTextSingleLine;
  }
  m_estimateNeeded = true;
}

void CLabelUI::SetTextEffects(bool on) {
  m_effects = on;
  m_estimateNeeded = true;
  Invalidate();
}
void CLabelUI::SetGlow(bool on) {
  m_glow = on;
  Invalidate();
}
void CLabelUI::SetGlowFactor(float factor) {
  if (factor < 0.0001f) return;
  m_glowFactor = factor;
  Invalidate();
}
void CLabelUI::SetStroke(bool on) {
  m_stroke = on;
  Invalidate();
}
void CLabelUI::SetShadow(bool on) {
  m_shadow = on;
  Invalidate();
}
void CLabelUI::SetGradientAngle(int x) {
  m_gradientAngle = x;
  Invalidate();
}
void CLabelUI::SetGradientLength(int length) {
  m_gradientLength = length;
  Invalidate();
}
void CLabelUI::SetGradientEndColor(DWORD color) {
  m_textColor2 = color;
  Invalidate();
}
void CLabelUI::SetShadowColors(DWORD a, DWORD b) {
  m_shadowColorA = a;
  m_shadowColorB = b;
  Invalidate();
}
void CLabelUI::SetStrokeColor(DWORD color) {
  m_strokeColor = color;
  Invalidate();
}
void CLabelUI::SetRenderingHint(int hint) {
  m_renderingHint = hint;
  Invalidate();
}

void CLabelUI::SetShadowOffset(int distance, int angle) {
  if (angle > 180 || angle < -180) return;
  // Measured from the item rectangle's corner as it is now (empty while markup is applied).
  LONG top = m_item.top, left = m_item.left;
  LONG p = (angle >= 0) ? top - distance : (angle > -180 ? top + distance : top);
  LONG q = (angle > -90 && angle <= 90) ? left - distance : ((angle > 90 || angle < -90) ? left + distance : left);
  m_shadowOffsetX = static_cast<float>(p);
  m_shadowOffsetY = static_cast<float>(q);
  Invalidate();
}

void CLabelUI::HandleEvent(TEventMsg& event) {
  if (event.type == kEventSetFocus) {
    m_focused = true;
    return;
  }
  if (event.type == kEventKillFocus) {
    m_focused = false;
    return;
  }
  CControlUI::HandleEvent(event);
}

void CLabelUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"align") {
    if (attr::Contains(value, L"left")) m_textStyle &= ~(kTextCenter | kTextRight);
    if (attr::Contains(value, L"center")) m_textStyle = (m_textStyle & ~kTextRight) | kTextCenter;
    if (attr::Contains(value, L"right")) m_textStyle = (m_textStyle & ~kTextCenter) | kTextRight;
    Invalidate();
  } else if (n == L"valign") {
    if (attr::Contains(value, L"top")) m_textStyle &= ~(kTextVCenter | kTextBottom);
    if (attr::Contains(value, L"vcenter")) m_textStyle = (m_textStyle & ~kTextBottom) | kTextVCenter;
    if (attr::Contains(value, L"bottom")) m_textStyle = (m_textStyle & ~kTextVCenter) | kTextBottom;
    Invalidate();
  } else if (n == L"endellipsis") {
    if (attr::IsTrue(value)) m_textStyle |= kTextEndEllipsis;
    else m_textStyle &= ~kTextEndEllipsis;
    Invalidate();
  } else if (n == L"font") {
    SetFont(attr::Int(value));
  } else if (n == L"textcolor") {
    SetNormalTextColor(attr::Color(value));
  } else if (n == L"disabledtextcolor") {
    SetDisabledTextColor(attr::Color(value));
  } else if (n == L"disabledbkcolor") {
    SetDisabledBackColor(attr::Color(value));
  } else if (n == L"textpadding") {
    SetTextInset(attr::Rect(value));
  } else if (n == L"multiline") {
    SetMultiLine(attr::IsTrue(value));
  } else if (n == L"showhtml") {
    SetFormattedText(attr::IsTrue(value));
  } else if (n == L"enabledeffect") {
    SetTextEffects(attr::IsTrue(value));
  } else if (n == L"enabledluminous") {
    SetGlow(attr::IsTrue(value));
  } else if (n == L"rhaa") {
    SetRenderingHint(attr::Int(value));
  } else if (n == L"luminousfuzzy") {
    SetGlowFactor(static_cast<float>(wcstod(value, nullptr)));
  } else if (n == L"gradientangle") {
    SetGradientAngle(attr::Int(value));
  } else if (n == L"enabledstroke") {
    SetStroke(attr::IsTrue(value));
  } else if (n == L"enabledshadow") {
    SetShadow(attr::IsTrue(value));
  } else if (n == L"gradientlength") {
    SetGradientLength(attr::Int(value));
  } else if (n == L"shadowoffset") {
    SIZE v = attr::Size(value);
    SetShadowOffset(v.cx, v.cy);
  } else if (n == L"textcolor1") {
    SetGradientEndColor(attr::Color(value));
  } else if (n == L"textshadowcolora") {
    SetShadowColors(attr::Color(value), m_shadowColorB);
  } else if (n == L"textshadowcolorb") {
    SetShadowColors(m_shadowColorA, attr::Color(value));
  } else if (n == L"strokecolor") {
    SetStrokeColor(attr::Color(value));
  } else {
    CControlUI::ApplyAttribute(name, value);
  }
}

int CLabelUI::FontTextHeight() {
  if (!m_manager) return 0;
  TFontInfo* font = m_manager->FontRecordById(m_font);
  if (!font) font = m_manager->BaseFontRecord();
  return font ? font->metrics.tmHeight : 0;
}

SIZE CLabelUI::MeasureDesiredSize(SIZE available) {
  if (m_fixedSize.cx > 0 && m_fixedSize.cy > 0) return m_fixedSize;
  bool singleLine = (m_textStyle & kTextSingleLine) != 0;
  if (!singleLine && (available.cx != m_lastAvailable.cx || available.cy != m_lastAvailable.cy)) {
    m_estimateNeeded = true;
  }
  if (!m_estimateNeeded) return m_estimate;
  m_estimateNeeded = false;
  m_lastAvailable = available;
  LONG w = m_fixedSize.cx, h = m_fixedSize.cy;
  const RECT& pad = m_textPadding;
  if (singleLine) {
    if (h == 0) h = FontTextHeight() + 8 + pad.top + pad.bottom;
    if (w == 0) {
      RECT rc = {0, 0, 9999, h};
      DrawTextThroughEngine(m_manager ? m_manager->PaintDC() : nullptr, rc, m_text,
                            0, (m_textStyle & ~(kTextCenter | kTextRight)) | kTextMeasure);
      LONG measured = rc.right - rc.left;
      if (m_effects) measured = static_cast<LONG>(measured * 1.03);
      w = measured + pad.left + pad.right;
    }
  } else {
    if (w == 0) w = available.cx;
    RECT rc = {pad.left, 0, w - pad.right, 9999};
    DrawTextThroughEngine(m_manager ? m_manager->PaintDC() : nullptr, rc, m_text, 0,
                          (m_textStyle & ~(kTextCenter | kTextRight)) | kTextMeasure);
    h = rc.bottom - rc.top + pad.top + pad.bottom;
  }
  m_estimate = SIZE{w, h};
  return m_estimate;
}

void CLabelUI::PaintBackColor(HDC dc) {
  if (!IsEnabled() && m_disabledBackColor != 0) {
    DWORD color = HslAdjustedColor(m_disabledBackColor);
    CRenderer::FillColor(dc, m_disabledBackColor >= 0xFF000000 ? m_paint : m_item, color);
    return;
  }
  CControlUI::PaintBackColor(dc);
}

void CLabelUI::TakeDefaultColors() {
  if (!m_manager) return;
  if (m_textColor == 0) m_textColor = m_manager->BaseTextColor();
  if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->DisabledTextColor();
}

RECT CLabelUI::TextRect() const {
  return RECT{m_item.left + m_textPadding.left, m_item.top + m_textPadding.top, m_item.right - m_textPadding.right,
              m_item.bottom - m_textPadding.bottom};
}

void CLabelUI::DrawTextThroughEngine(HDC dc, RECT& rect, const wchar_t* text, DWORD color, UINT style, RECT* linkRects,
                                     CUIString* linkTexts, int* linkCount) {
  if (!dc || !m_manager) {
    // Nothing can be measured without a device context.
    if (style & kTextMeasure) rect.right = rect.left, rect.bottom = rect.top;
    return;
  }
  RECT& target = rect;
  if (m_showHtml) {
    int none = 0;
    int& count = linkCount ? *linkCount : none;
    CRenderer::DrawFormattedText(dc, m_manager, target, text, color, linkRects, linkTexts, count, style);
  } else {
    CRenderer::DrawPlainText(dc, m_manager, target, text, color, m_font, style);
  }
}

void CLabelUI::PaintText(HDC dc) {
  TakeDefaultColors();
  RECT rc = TextRect();
  if (!m_effects) {
    if (m_text.IsBlank()) return;
    DrawTextThroughEngine(dc, rc, m_text, IsEnabled() ? m_textColor : m_disabledTextColor, m_textStyle);
    return;
  }
  DrawEffectText(dc, rc, m_text);
}

void CLabelUI::DrawSolidEffectText(HDC dc, const RECT& rect, const wchar_t* text, DWORD color, UINT style) {
  if (!dc || !m_manager || !text || !*text) return;
  Gdiplus::Graphics graphics(dc);
  graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(m_renderingHint));
  Gdiplus::Font font(dc, m_manager->FontById(m_font));
  Gdiplus::StringFormat format;
  ApplyStyle(format, style);
  Gdiplus::SolidBrush brush(ToGdiplus(color));
  graphics.DrawString(text, -1, &font, ToRectF(rect), &format, &brush);
}

void CLabelUI::DrawEffectText(HDC dc, const RECT& rect, const wchar_t* text) {
  if (!dc || !m_manager || !text || !*text) return;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  Gdiplus::Graphics graphics(dc);
  auto hint = static_cast<Gdiplus::TextRenderingHint>(m_renderingHint);
  graphics.SetTextRenderingHint(hint);
  Gdiplus::Font font(dc, m_manager->FontById(m_font));
  Gdiplus::StringFormat format;
  ApplyStyle(format, m_textStyle);
  int length = m_gradientLength != 0 ? m_gradientLength : height;
  Gdiplus::Point from(m_gradientAngle, 0), to(0, length);
  if (from.X == to.X && from.Y == to.Y) to.Y = 1;  // a gradient needs two distinct points
  Gdiplus::LinearGradientBrush textBrush(from, to, ToGdiplus(m_textColor),
                                         ToGdiplus(m_textColor2 == 0xFFFFFFFF ? m_textColor : m_textColor2));
  Gdiplus::LinearGradientBrush shadowBrush(
      from, to, ToGdiplus(m_shadowColorA), ToGdiplus(m_shadowColorB == 0xFFFFFFFF ? m_shadowColorA : m_shadowColorB));
  Gdiplus::RectF box = ToRectF(rect);
  if (m_glow) {
    Gdiplus::Bitmap layer(width, height, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&layer);
      g.SetTextRenderingHint(hint);
      Gdiplus::RectF local(0, 0, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
      g.DrawString(text, -1, &font, local, &format, &textBrush);
    }
    int smallW = std::max(1, static_cast<int>(width / m_glowFactor));
    int smallH = std::max(1, static_cast<int>(height / m_glowFactor));
    Gdiplus::Bitmap reduced(smallW, smallH, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&reduced);
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.DrawImage(&layer, 0, 0, smallW, smallH);
    }
    {
      Gdiplus::Graphics g(&layer);
      g.Clear(Gdiplus::Color(0, 0, 0, 0));
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.DrawImage(&reduced, Gdiplus::RectF(m_shadowOffsetX, m_shadowOffsetY, static_cast<Gdiplus::REAL>(width),
                                           static_cast<Gdiplus::REAL>(height)));
    }
    graphics.DrawImage(&layer, static_cast<INT>(rect.left), static_cast<INT>(rect.top));
  }
  if (m_stroke && m_strokeColor != 0) {
    Gdiplus::SolidBrush stroke(ToGdiplus(m_strokeColor));
    const Gdiplus::REAL shifts[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& s : shifts) {
      Gdiplus::RectF shifted(box.X + s[0], box.Y + s[1], box.Width, box.Height);
      graphics.DrawString(text, -1, &font, shifted, &format, &stroke);
    }
  }
  if (m_shadow && (m_shadowColorA != 0 || m_shadowColorB != 0)) {
    Gdiplus::RectF shifted(box.X + m_shadowOffsetX, box.Y + m_shadowOffsetY, box.Width, box.Height);
    graphics.DrawString(text, -1, &font, shifted, &format, &shadowBrush);
  }
  graphics.DrawString(text, -1, &font, box, &format, &textBrush);
}

// ---- Text ----

CTextUI::CTextUI() {
  m_textStyle = kTextWordBreak;
  m_textPadding.left = 2;
  m_textPadding.right = 2;
}

CTextUI::~CTextUI() = default;

void* CTextUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"Text") == 0) return this;
  return CLabelUI::CastToInterface(name);
}

UINT CTextUI::ControlTraits() const { return (IsEnabled() && m_linkCount > 0) ? static_cast<UINT>(kFlagSetCursor) : 0u; }

int CTextUI::LinkAt(POINT pt) const {
  for (int i = 0; i < m_linkCount; ++i) {
    if (::PtInRect(&m_linkRects[i], pt)) return i;
  }
  return -1;
}

void CTextUI::HandleEvent(TEventMsg& event) {
  bool mouseEvent = event.type > 8 && event.type < 19;
  if (!m_mouseEnabled && mouseEvent) {
    if (m_parent) m_parent->HandleEvent(event);
    else CLabelUI::HandleEvent(event);
    return;
  }
  int link = LinkAt(event.mousePoint);
  switch (event.type) {
    case kEventSetCursor:
      if (link >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
      }
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
      if (link >= 0 && IsEnabled()) Invalidate();
      return;
    case kEventButtonUp:
      if (IsEnabled() && link >= 0 && m_manager) m_manager->SendNotification(this, L"link", link);
      return;
    case kEventContextMenu:
      return;
    case kEventMouseMove:
      if (IsEnabled() && m_linkCount > 0 && link != m_hoveredLink) {
        m_hoveredLink = link;
        Invalidate();
      }
      if (m_linkCount > 0) return;
      break;
    case kEventMouseLeave:
      if (IsEnabled() && m_hoveredLink >= 0) {
        if (::PtInRect(&m_linkRects[m_hoveredLink], event.mousePoint)) {
          if (m_manager) m_manager->AddLeaveWatcher(this);
          return;
        }
        m_hoveredLink = -1;
        Invalidate();
        if (m_manager) m_manager->RemoveLeaveWatcher(this);
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(HDC dc) {
  if (m_text.IsBlank()) {
    m_linkCount = 0;
    return;
  }
  TakeDefaultColors();
  m_linkCount = kMaxLinks;
  if (!m_showHtml) m_linkCount = 0;
  RECT rc = TextRect();
  if (m_effects) {
    DrawEffectText(dc, rc, m_text);
    return;
  }
  DrawTextThroughEngine(dc, rc, m_text, IsEnabled() ? m_textColor : m_disabledTextColor, m_textStyle, m_linkRects,
                        m_linkTexts, &m_linkCount);
}

}  // namespace SkinUI

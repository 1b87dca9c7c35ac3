// Label: one text drawn in the control's rectangle with a font, colours, alignment and padding,
// as plain or formatted text, optionally with GDI+ effects (gradient, glow, stroke, shadow).
// Text: a multi-line label whose formatted text may hold up to eight clickable links.
#pragma once

#include <windows.h>

#include "ui/controls/ControlUI.h"

namespace SkinUI {

// Text style bits (the platform's DrawText flags).
enum TextStyleBits : UINT {
  kTextCenter = DT_CENTER,
  kTextRight = DT_RIGHT,
  kTextVCenter = DT_VCENTER,
  kTextBottom = DT_BOTTOM,
  kTextWordBreak = DT_WORDBREAK,
  kTextSingleLine = DT_SINGLELINE,
  kTextMeasure = DT_CALCRECT,
  kTextEndEllipsis = DT_END_ELLIPSIS,
};

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  ~CLabelUI() override;

  const wchar_t* ClassName() const override { return L"Label"; }
  void* CastToInterface(const wchar_t* name) override;
  void SetText(const wchar_t* text) override;
  void SetFixedWidth(int cx) override;
  void SetFixedHeight(int cy) override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE MeasureDesiredSize(SIZE available) override;
  void PaintBackColor(HDC dc) override;
  void PaintText(HDC dc) override;

  void SetNormalTextColor(DWORD color);
  DWORD NormalTextColor() const { return m_textColor; }
  void SetDisabledTextColor(DWORD color);
  DWORD DisabledTextColor() const { return m_disabledTextColor; }
  void SetDisabledBackColor(DWORD color);
  void SetFont(int index);
  int Font() const { return m_font; }
  void SetTextInset(RECT rect);
  RECT TextInset() const { return m_textPadding; }
  void SetFormattedText(bool on);
  bool IsFormattedText() const { return m_showHtml; }
  void SetMultiLine(bool on);
  bool IsMultiLine() const { return (m_textStyle & kTextSingleLine) == 0; }
  UINT TextStyle() const { return m_textStyle; }
  void SetTextEffects(bool on);
  bool HasTextEffects() const { return m_effects; }
  void SetGlow(bool on);
  void SetGlowFactor(float factor);
  void SetStroke(bool on);
  void SetShadow(bool on);
  void SetGradientAngle(int x);
  void SetGradientLength(int length);
  void SetShadowOffset(int distance, int angle);
  POINT ShadowOffset() const { return POINT{static_cast<LONG>(m_shadowOffsetX), static_cast<LONG>(m_shadowOffsetY)}; }
  void SetGradientEndColor(DWORD color);
  void SetShadowColors(DWORD a, DWORD b);
  void SetStrokeColor(DWORD color);
  void SetRenderingHint(int hint);

 protected:
  // Fills a zero text or disabled colour from the window manager's defaults (and keeps them).
  void TakeDefaultColors();
  RECT TextRect() const;
  // Plain or formatted text through the render engine; links are recorded when `links` is given.
  void DrawTextThroughEngine(HDC dc, RECT& rect, const wchar_t* text, DWORD color, UINT style, RECT* linkRects = nullptr,
                             CUIString* linkTexts = nullptr, int* linkCount = nullptr);
  // The GDI+ path: a solid brush in `color`, no glow, stroke or shadow.
  void DrawSolidEffectText(HDC dc, const RECT& rect, const wchar_t* text, DWORD color, UINT style);
  // The GDI+ path with every layer of the label's effects.
  void DrawEffectText(HDC dc, const RECT& rect, const wchar_t* text);
  int FontTextHeight();
  void MarkEstimateNeeded() { m_estimateNeeded = true; }

  DWORD m_textColor = 0;
  DWORD m_disabledTextColor = 0;
  DWORD m_disabledBackColor = 0;
  int m_font = -1;
  UINT m_textStyle = kTextVCenter | kTextSingleLine;
  RECT m_textPadding = {0, 0, 0, 0};
  bool m_showHtml = false;
  SIZE m_lastAvailable = {0, 0};
  SIZE m_estimate = {0, 0};
  bool m_estimateNeeded = true;
  float m_glowFactor = 3.0f;
  int m_gradientLength = 0;
  int m_gradientAngle = 0;
  bool m_effects = false;
  bool m_glow = false;
  bool m_stroke = false;
  bool m_shadow = false;
  DWORD m_textColor2 = 0xFFFFFFFF;
  DWORD m_shadowColorA = 0xFF000000;
  DWORD m_shadowColorB = 0xFFFFFFFF;
  DWORD m_strokeColor = 0;
  float m_shadowOffsetX = 0;
  float m_shadowOffsetY = 0;
  int m_renderingHint = 4;
};

class CTextUI : public CLabelUI {
 public:
  static constexpr int kMaxLinks = 8;

  CTextUI();
  ~CTextUI() override;

  const wchar_t* ClassName() const override { return L"Text"; }
  void* CastToInterface(const wchar_t* name) override;
  UINT ControlTraits() const override;
  void HandleEvent(TEventMsg& event) override;
  void PaintText(HDC dc) override;

  int LinkCount() const { return m_linkCount; }
  CUIString LinkText(int index) const { return index >= 0 && index < m_linkCount ? m_linkTexts[index] : CUIString(); }
  int HoveredLink() const { return m_hoveredLink; }

 private:
  int LinkAt(POINT pt) const;

  int m_linkCount = 0;
  RECT m_linkRects[kMaxLinks] = {};
  CUIString m_linkTexts[kMaxLinks];
  int m_hoveredLink = -1;
};

}  // namespace SkinUI

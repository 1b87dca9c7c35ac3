// Button: a label with a state machine (hot, pushed, focused, disabled), one image per state, an
// optional cross-fade between the normal and hot images, keyboard activation and the "click",
// "mouseenter" and "mouseleave" notifications.
#pragma once

#include "ui/controls/LabelUI.h"

namespace SkinUI {

enum ButtonStateBits : UINT {
  kStateFocused = 0x01,
  kStateSelected = 0x02,
  kStateDisabled = 0x04,
  kStateHot = 0x08,
  kStatePushed = 0x10,
  kStateCaptured = 0x40,
};

class CButtonUI : public CLabelUI {
 public:
  static constexpr UINT kFadeTimerId = 11;
  static constexpr UINT kFadeIntervalMs = 30;

  CButtonUI();
  ~CButtonUI() override;

  const wchar_t* ClassName() const override { return L"Button"; }
  void* CastToInterface(const wchar_t* name) override;
  UINT ControlTraits() const override;
  bool Activate() override;
  void SetEnabled(bool enabled) override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE MeasureDesiredSize(SIZE available) override;
  void PaintBackColor(HDC dc) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;

  UINT ButtonState() const { return m_state; }
  BYTE FadeAlpha() const { return m_fadeAlpha; }
  void SetNormalImage(const wchar_t* text) { SetImageRecord(m_normalImage, text); }
  void SetHotImage(const wchar_t* text) { SetImageRecord(m_hotImage, text); }
  void SetPushedImage(const wchar_t* text) { SetImageRecord(m_pushedImage, text); }
  void SetFocusedImage(const wchar_t* text) { SetImageRecord(m_focusedImage, text); }
  void SetDisabledImage(const wchar_t* text) { SetImageRecord(m_disabledImage, text); }
  void SetForeImage(const wchar_t* text) { SetImageRecord(m_foreImage, text); }
  void SetHotForeImage(const wchar_t* text) { SetImageRecord(m_hotForeImage, text); }
  void SetFiveStateImage(const wchar_t* text);
  void SetFadeStep(BYTE step) { m_fadeStep = step; }
  void SetHotBackColor(DWORD color);
  void SetHotTextColor(DWORD color);
  void SetPushedTextColor(DWORD color);
  void SetFocusedTextColor(DWORD color);
  void SetFocusedBackColor(DWORD color);
  void SetCursorName(const wchar_t* name);

 protected:
  // An unchanged text whose image is already resolved keeps the record; otherwise it starts anew.
  void SetImageRecord(TDrawInfo& record, const wchar_t* text);
  // The normal image, cross-faded with the hot image while a fade runs.
  void DrawNormalWithFade(HDC dc);
  bool DrawWithFade(HDC dc, TDrawInfo& record, BYTE fade);
  void RefreshFocusAndDisabledBits();
  void OnFadeTimer();
  void OnMouseEnter(TEventMsg& event);
  void OnMouseLeave(TEventMsg& event);
  // Set while an event handler runs code that may delete this button (a click handler); the
  // destructor raises the flag so the handler stops touching the object.
  bool* m_deletedFlag = nullptr;

  UINT m_state = 0;
  CUIString m_cursor = L"hand";
  DWORD m_hotBackColor = 0;
  DWORD m_hotTextColor = 0;
  DWORD m_pushedTextColor = 0;
  DWORD m_focusedTextColor = 0;
  DWORD m_focusedBackColor = 0;
  BYTE m_fadeAlpha = 255;
  BYTE m_fadeStep = 0;
  TDrawInfo m_normalImage;
  TDrawInfo m_hotImage;
  TDrawInfo m_hotForeImage;
  TDrawInfo m_pushedImage;
  TDrawInfo m_pushedForeImage;
  TDrawInfo m_focusedImage;
  TDrawInfo m_disabledImage;
};

}  // namespace SkinUI

// Edit: a single-line text field. Unfocused it paints itself like a label (status image, text,
// optionally masked); focused it opens a native edit window exactly over its text area, mirrors every
// change back into its text with "textchanged", sends "return" on Return and closes the native
// window as soon as that loses the focus.
#pragma once

#include "ui/controls/LabelUI.h"

namespace SkinUI {

class CEditWnd;

class CEditUI : public CLabelUI {
 public:
  static constexpr UINT kDigitsOnlyStyle = ES_NUMBER;

  CEditUI();
  ~CEditUI() override;

  const wchar_t* ClassName() const override { return L"Edit"; }
  void* CastToInterface(const wchar_t* name) override;
  UINT ControlTraits() const override;
  HWND NativeWindowHandle() const override;
  void SetText(const wchar_t* text) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void SetVisible(bool visible) override;
  void SetInheritedVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE MeasureDesiredSize(SIZE available) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;

  void SetMaxLength(UINT count);
  UINT MaxLength() const { return m_maxChars; }
  void SetReadOnly(bool on);
  bool IsReadOnly() const { return m_readOnly; }
  void SetDigitsOnly(bool on);
  void SetPasswordMode(bool on);
  bool IsPasswordMode() const { return m_password; }
  wchar_t PasswordChar() const { return m_passwordChar; }
  void SetSelectAllOnFocus(bool on) { m_selectAll = on; }
  bool SelectsAllOnFocus() const { return m_selectAll; }
  void SetNativeBackColor(DWORD color) { m_nativeBackColor = color; }
  DWORD NativeBackColor() const { return m_nativeBackColor; }
  UINT NativeStyle() const { return m_nativeStyle; }
  UINT ButtonState() const { return m_state; }
  void SetNormalImage(const wchar_t* text) { SetImageRecord(m_normalImage, text); }
  void SetHotImage(const wchar_t* text) { SetImageRecord(m_hotImage, text); }
  void SetFocusedImage(const wchar_t* text) { SetImageRecord(m_focusedImage, text); }
  void SetDisabledImage(const wchar_t* text) { SetImageRecord(m_disabledImage, text); }
  // The native window's place: the text area clipped to every ancestor; empty when hidden.
  RECT NativeEditRect() const;

 private:
  friend class CEditWnd;
  void SetImageRecord(TDrawInfo& record, const wchar_t* text);
  void OpenNativeWindow();
  void UpdateNativeWindowPlace();
  void OnNativeWindowGone() { m_native = nullptr; }
  // The text as the native window holds it, taken without SetText (no copy back into the window).
  void TakeTextFromNative(const wchar_t* text) { m_text = text; }

  CEditWnd* m_native = nullptr;
  UINT m_maxChars = 255;
  bool m_readOnly = false;
  bool m_password = false;
  bool m_selectAll = false;
  wchar_t m_passwordChar = L'*';
  UINT m_state = 0;
  DWORD m_nativeBackColor = 0xFFFFFFFF;
  UINT m_nativeStyle = 0;
  TDrawInfo m_normalImage;
  TDrawInfo m_hotImage;
  TDrawInfo m_focusedImage;
  TDrawInfo m_disabledImage;
};

}  // namespace SkinUI

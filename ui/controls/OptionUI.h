// Option: a button that can be selected. Options sharing a group name in one window form a radio
// group; an option without a group toggles on each click. CheckBox: an option under another class
// name, with a query of its check state.
#pragma once

#include "ui/controls/ButtonUI.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  ~COptionUI() override;

  const wchar_t* ClassName() const override { return L"Option"; }
  void* CastToInterface(const wchar_t* name) override;
  bool Activate() override;
  void BindToManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetEnabled(bool enabled) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintStateImage(HDC dc) override;
  void PaintText(HDC dc) override;
  virtual void SetSelected(bool select, bool notify = true);

  bool IsSelected() const { return m_selected; }
  const CUIString& GroupName() const { return m_group; }
  void SetGroupName(const wchar_t* name);
  void SetSelectedImage(const wchar_t* text) { SetImageRecord(m_selectedImage, text); }
  void SetSelectedHotImage(const wchar_t* text) { SetImageRecord(m_selectedHotImage, text); }
  void SetOptionForeImage(const wchar_t* text) { SetImageRecord(m_optionForeImage, text); }
  void SetSelectedBackColor(DWORD color);
  void SetSelectedTextColor(DWORD color);

 private:
  bool m_selected = false;
  CUIString m_group;
  DWORD m_selectedBackColor = 0;
  DWORD m_selectedTextColor = 0;
  TDrawInfo m_selectedImage;
  TDrawInfo m_selectedHotImage;
  TDrawInfo m_optionForeImage;
};

class CCheckBoxUI : public COptionUI {
 public:
  const wchar_t* ClassName() const override { return L"CheckBox"; }
  void* CastToInterface(const wchar_t* name) override;
  bool IsChecked() const { return IsSelected(); }
};

}  // namespace SkinUI

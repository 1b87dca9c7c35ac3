// Progress: a label that shows a value between a minimum and a maximum by drawing its fore image
// into the matching part of its rectangle, from the left (horizontal) or from the bottom.
#pragma once

#include "ui/controls/LabelUI.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  ~CProgressUI() override;

  const wchar_t* ClassName() const override { return L"Progress"; }
  void* CastToInterface(const wchar_t* name) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintStateImage(HDC dc) override;

  bool IsHorizontal() const { return m_horizontal; }
  void SetHorizontal(bool on);
  int MinValue() const { return m_min; }
  void SetMinValue(int value);
  int MaxValue() const { return m_max; }
  void SetMaxValue(int value);
  int Value() const { return m_value; }
  void SetValue(int value);
  void SetForegroundImage(const wchar_t* text);
  // Where the fore image goes, relative to the item rectangle, after the values are normalised.
  RECT FilledPart();

 private:
  bool m_horizontal = true;
  int m_max = 100;
  int m_min = 0;
  int m_value = 0;
  TDrawInfo m_foreground;
};

}  // namespace SkinUI

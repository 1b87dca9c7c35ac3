// A vertical or horizontal scroll bar painted in five parts (background, two buttons, thumb and a
// grip centred on the thumb). A bar owned by a container hands every scroll step to it so that the
// container moves its children; a bar without owner only moves its own position.
#pragma once

#include "ui/controls/ControlUI.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
 public:
  // Part state bits.
  static constexpr UINT kStateDisabled = 0x04;
  static constexpr UINT kStateHot = 0x08;
  static constexpr UINT kStatePushed = 0x10;
  static constexpr UINT kStateCaptured = 0x40;
  // The auto-repeat timer of a held button or thumb.
  static constexpr UINT kRepeatTimer = 10;
  static constexpr UINT kRepeatMs = 50;

  CScrollBarUI();
  ~CScrollBarUI() override;

  const wchar_t* ClassName() const override { return L"ScrollBar"; }
  void* CastToInterface(const wchar_t* name) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetFocus() override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;

  CContainerUI* Owner() const { return m_owner; }
  void SetOwner(CContainerUI* owner) { m_owner = owner; }
  bool IsHorizontal() const { return m_horizontal; }
  void SetHorizontal(bool horizontal);
  int ScrollExtent() const { return m_range; }
  void SetScrollExtent(int range);
  int ScrollOffset() const { return m_position; }
  void SetScrollOffset(int position, bool notify = true);
  int LineStep() const { return m_scrollUnit >= 2 ? m_scrollUnit : m_lineSize; }
  void SetLineStep(int size);
  int ScrollUnit() const { return m_scrollUnit; }
  void SetScrollUnit(int unit);
  void SetShowStartButton(bool show);
  void SetShowEndButton(bool show);
  void SetStartButtonColor(DWORD color);
  void SetEndButtonColor(DWORD color);
  void SetThumbColor(DWORD color);

  const RECT& StartButtonRect() const { return m_button[0].rect; }
  const RECT& EndButtonRect() const { return m_button[1].rect; }
  const RECT& ThumbRect() const { return m_thumb.rect; }
  UINT StartButtonState() const { return m_button[0].state; }
  UINT EndButtonState() const { return m_button[1].state; }
  UINT ThumbState() const { return m_thumb.state; }
  int DragOffset() const { return m_dragOffset; }
  int RepeatCount() const { return m_repeatCount; }

 private:
  // One painted part: its rectangle, state bits, fill colour and normal/hot/pushed/disabled images.
  struct TPart {
    bool shown = true;
    RECT rect = {0, 0, 0, 0};
    UINT state = 0;
    DWORD color = 0;
    TDrawInfo images[4];
  };
  enum ImageIndex { kNormal = 0, kHot = 1, kPushed = 2, kDisabled = 3 };

  void LayoutParts();
  // Lays out along y for a vertical bar; `flip` swaps the axes of the result.
  void LayoutAlong(const RECT& item, int thickness, bool flip);
  bool ApplyPartImage(const wchar_t* name, const wchar_t* value);
  void SetPartImage(TDrawInfo& record, const wchar_t* text);
  void PaintPart(HDC dc, TPart& part, TDrawInfo* images, UINT state, const RECT& rect);
  void PaintRail(HDC dc);
  int Along(POINT pt) const { return m_horizontal ? pt.x : pt.y; }
  void LineBack();
  void LineForward();
  void PageTowards(POINT pt);
  void ScrollOwnerTo(int position);
  void StartPress(TEventMsg& event);
  void EndPress();
  void OnMouseMove(TEventMsg& event);
  void OnTimer();
  void OnMouseEnter(TEventMsg& event);
  void OnMouseLeave(TEventMsg& event);
  void PassToOwner(TEventMsg& event);

  bool m_horizontal = false;
  int m_range = 100;
  int m_position = 0;
  int m_lineSize = 8;
  int m_scrollUnit = 1;
  CContainerUI* m_owner = nullptr;
  POINT m_lastMouse = {0, 0};
  int m_dragStartPosition = 0;
  int m_dragOffset = 0;
  int m_repeatCount = 0;
  TDrawInfo m_backImages[4];
  TPart m_button[2];
  TPart m_thumb;
  TDrawInfo m_railImages[4];
};

}  // namespace SkinUI

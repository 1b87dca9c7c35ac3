// RichEdit: a multi-line editor, plain or formatted, without a native window. The platform's
// windowless text services do the editing through a CTxtWinHost; the control filters the window's
// mouse, keyboard and IME messages to them, paints their output inside its own rectangle, drives
// them from its two framework scroll bars, and reports "textchanged", "return" and "link".
// Without text services (msftedit.dll missing or failing) it stays an inert container.
#pragma once

#include <windows.h>

#include <richedit.h>

#include "ui/controls/ContainerUI.h"

namespace SkinUI {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI, public IWantsTabUI {
 public:
  static constexpr UINT kCaretTimerId = 20;

  CRichEditUI();
  ~CRichEditUI() override;

  const wchar_t* ClassName() const override { return L"RichEdit"; }
  void* CastToInterface(const wchar_t* name) override;
  UINT ControlTraits() const override;
  CUIString GetText() const override;
  void SetText(const wchar_t* text) override;
  void SetPos(RECT rect, bool invalidate = true) override;
  void Move(SIZE offset, bool invalidate = true) override;
  void InitSelf() override;
  void HandleEvent(TEventMsg& event) override;
  void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE MeasureDesiredSize(SIZE available) override { return CControlUI::MeasureDesiredSize(available); }
  bool PaintContent(HDC dc, const RECT& paint, CControlUI* stopControl = nullptr) override;
  void PaintStateImage(HDC dc) override;
  void SetScrollOffset(SIZE offset) override;
  void ScrollLineUp() override { SendScroll(WM_VSCROLL, SB_LINEUP); }
  void ScrollLineDown() override;
  void ScrollPageUp() override { SendScroll(WM_VSCROLL, SB_PAGEUP); }
  void ScrollPageDown() override { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
  void ScrollToTop() override { SendScroll(WM_VSCROLL, SB_TOP); }
  void ScrollToBottom() override { SendScroll(WM_VSCROLL, SB_BOTTOM); }
  void ScrollLineLeft() override { SendScroll(WM_HSCROLL, SB_LINELEFT); }
  void ScrollLineRight() override { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
  void ScrollPageLeft() override { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
  void ScrollPageRight() override { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
  void ScrollToLeft() override { SendScroll(WM_HSCROLL, SB_LEFT); }
  void ScrollToRight() override { SendScroll(WM_HSCROLL, SB_RIGHT); }

  // Without a host: S_FALSE and result untouched.
  virtual HRESULT SendToTextServices(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual bool RepaintOnViewChange() { return true; }
  virtual void OnTextServicesNotify(DWORD code, void* data);

  // ---- IMessageFilterUI / IWantsTabUI ----
  LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  bool WantsTab() const override { return TakesTab(); }

  bool TakesTab() const { return m_wantTab; }
  void SetTakesTab(bool on) { m_wantTab = on; }
  bool TakesReturn() const { return m_wantReturn; }
  void SetTakesReturn(bool on) { m_wantReturn = on; }
  bool TakesCtrlReturn() const { return m_wantCtrlReturn; }
  void SetTakesCtrlReturn(bool on) { m_wantCtrlReturn = on; }
  bool IsTransparent() const { return m_transparent; }
  void SetTransparent(bool on);
  bool IsRichText() const { return m_rich; }
  void SetRichText(bool on);
  int GetFont() const { return m_font; }
  void SetFont(int id);
  DWORD NormalTextColor() const { return m_textColor; }
  void SetNormalTextColor(DWORD color);
  int GetCharLimit() const { return m_charLimit; }
  void SetCharLimit(int count);
  int TextLength(DWORD flags = GTL_DEFAULT);
  int SelectRange(int first, int last);
  int ReplaceSelection(const wchar_t* text, bool canUndo);
  RECT TextInset() const { return m_textPadding; }
  void SetTextInset(RECT rect);
  void SetMultiLine(bool on);
  void SetVerticalScrollStyle(bool on);
  void SetHorizontalScrollStyle(bool on);
  void SetAutoVerticalScroll(bool on);
  void SetAutoHorizontalScroll(bool on);
  void SetFocusedImage(const wchar_t* text) { SetImageRecord(m_focusedImage, text); }
  void SetDisabledImage(const wchar_t* text) { SetImageRecord(m_disabledImage, text); }
  DWORD EditStyle() const { return m_style; }
  CTxtWinHost* TextHost() const { return m_host; }
  bool IsVerticalBarForced() const { return m_barForced; }
  bool IsInitialised() const { return m_initialised; }

 private:
  void SetImageRecord(TDrawInfo& record, const wchar_t* text);
  void SetStyleBit(DWORD bit, bool on);
  void SendScroll(UINT message, WORD code, WORD position = 0);
  bool MouseMessageHits(UINT message, LPARAM lParam);
  void PlaceImeWindow();
  void OnCaretTimer();
  RECT TextArea() const;
  bool NaturalHeightExceeds(int width, int height);
  bool HandleFocusEvent(TEventMsg& event);

  CTxtWinHost* m_host = nullptr;
  bool m_barForced = false;
  bool m_wantTab = true;
  bool m_wantReturn = true;
  bool m_wantCtrlReturn = true;
  bool m_transparent = true;
  bool m_rich = true;
  DWORD m_textColor = 0;
  int m_font = -1;
  int m_charLimit = 0x7FFF;
  DWORD m_style = ES_MULTILINE;
  bool m_caretVisible = true;
  bool m_initialised = false;
  bool m_filterAdded = false;
  RECT m_textPadding = {0, 0, 0, 0};
  TDrawInfo m_focusedImage;
  TDrawInfo m_disabledImage;
};

}  // namespace SkinUI

// The wizard's own skinned message box: frameless, per-pixel alpha, a centred message and one or two
// buttons. Its control tree is built in code; only the images come from the skin archive.
#pragma once

#include <windows.h>

#include "ui/core/UIDefines.h"
#include "ui/core/UIString.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace SkinUI {
class CControlUI;
}

class CMessageBoxExWnd : public SkinUI::CWindowWnd, public SkinUI::INotifyUI {
 public:
  static constexpr wchar_t kClassName[] = L"CMessageBoxExWnd";

  CMessageBoxExWnd(const wchar_t* text, int buttons, const wchar_t* okText, const wchar_t* cancelText);
  CMessageBoxExWnd(const CMessageBoxExWnd&) = delete;
  CMessageBoxExWnd& operator=(const CMessageBoxExWnd&) = delete;

  const wchar_t* WindowClassName() const override { return kClassName; }
  UINT ClassStyle() const override { return CS_DBLCLKS; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnNotification(SkinUI::TNotifyMsg& msg) override;

  SkinUI::CWindowManagerUI& Manager() { return m_manager; }

 private:
  void HandleCreate();
  LRESULT HandleHitTest(LPARAM lParam);
  SkinUI::CControlUI* BuildLayout();
  void ShowButtons();

  SkinUI::CWindowManagerUI m_manager;
  SkinUI::CUIString m_text;
  int m_buttons;
  SkinUI::CUIString m_okText;
  SkinUI::CUIString m_cancelText;
};

// Runs the box modally over owner; 1 when the OK button closed it, otherwise 0. buttons: 1 = OK
// only, 2 = OK and a second button; a second button reading "打开官网"/"開啟官網" also opens the
// product web site.
int ShowMessageBoxEx(HWND owner, const wchar_t* text, int buttons, const wchar_t* okText, const wchar_t* cancelText,
                     int width, int height);

// The product web site's home page and the terms page.
const wchar_t* ProductWebSiteUrl();
const wchar_t* ProductTermsUrl();

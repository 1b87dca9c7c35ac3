#include "setup/MessageBoxEx.h"

#include <shellapi.h>

#include <cwchar>

#include "setup/CaptionHitTest.h"
#include "setup/WizardTexts.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/LayoutUI.h"

using namespace SkinUI;

#ifndef TOVIK_WEB_HOST
#define TOVIK_WEB_HOST "https://www.tovik.net"
#endif

namespace {

#define TOVIK_WIDEN2(x) L##x
#define TOVIK_WIDEN(x) TOVIK_WIDEN2(x)
constexpr wchar_t kWebSiteUrl[] = TOVIK_WIDEN(TOVIK_WEB_HOST) L"/";
constexpr wchar_t kBodyFontName[] = L"微软雅黑";
constexpr int kBodyFontSize = 14;
constexpr wchar_t kTermsUrl[] = TOVIK_WIDEN(TOVIK_WEB_HOST) L"/content/6/39.html";

// Applies "name", "value" pairs in order, as markup would.
void Configure(CControlUI* control, std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attributes) {
  for (const auto& attribute : attributes) control->ApplyAttribute(attribute.first, attribute.second);
}

template <class TContainer>
TContainer* AddTo(CContainerUI* parent, TContainer* child) {
  parent->Add(child);
  return child;
}

// One of the box's two buttons: "gray" or "color" art, 110x36, in the box's font.
void AddBoxButton(CContainerUI* row, const wchar_t* name, const std::wstring& art, const wchar_t* textColor,
                  const wchar_t* text) {
  auto* button = AddTo(row, new CButtonUI());
  const std::wstring prefix = L"btn/popup_btn_" + art;
  Configure(button, {{L"name", name},
                     {L"width", L"110"},
                     {L"height", L"36"},
                     {L"normalimage", (prefix + L"_nor.png").c_str()},
                     {L"hotimage", (prefix + L"_hot.png").c_str()},
                     {L"pushedimage", (prefix + L"_push.png").c_str()},
                     {L"textcolor", textColor},
                     {L"font", L"0"}});
  button->SetText(text);
}

bool IsOpenWebSiteText(const CUIString& text) {
  return std::wcscmp(text.c_str(), WizardTexts::kOpenWebSiteButton.simplified) == 0 ||
         std::wcscmp(text.c_str(), WizardTexts::kOpenWebSiteButton.traditional) == 0;
}

}  // namespace

const wchar_t* ProductWebSiteUrl() { return kWebSiteUrl; }
const wchar_t* ProductTermsUrl() { return kTermsUrl; }

CMessageBoxExWnd::CMessageBoxExWnd(const wchar_t* text, int buttons, const wchar_t* okText, const wchar_t* cancelText)
    : m_text(text ? text : L""),
      m_buttons(buttons),
      m_okText(okText ? okText : L""),
      m_cancelText(cancelText ? cancelText : L"") {}

LRESULT CMessageBoxExWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      HandleCreate();
      return 0;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
    case WM_NCLBUTTONDBLCLK:
      return 0;
    case WM_NCHITTEST:
      return HandleHitTest(lParam);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        Close(0);
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      return CWindowWnd::ProcessMessage(message, wParam, lParam);
    default:
      break;
  }
  LRESULT result = 0;
  if (m_manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CMessageBoxExWnd::HandleCreate() {
  LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
  style = (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  ::SetWindowLongW(Handle(), GWL_STYLE, style);
  m_manager.Attach(Handle(), L"");
  m_manager.ApplyWindowAttribute(L"caption", L"0,0,0,50");
  m_manager.SetPerPixelAlphaImage(L"");
  // The box has no markup of its own: its font 0 is the wizard's body font, so that Chinese text
  // never falls back to a system font without the glyphs.
  m_manager.RegisterFont(0, kBodyFontName, kBodyFontSize, false, false, false, false);
  m_manager.SetBaseFont(kBodyFontName, kBodyFontSize, false, false, false, false);
  m_manager.SetRoot(BuildLayout());
  m_manager.AddListener(this);
}

LRESULT CMessageBoxExWnd::HandleHitTest(LPARAM lParam) {
  return HitTestCaptionBand(Handle(), m_manager, lParam, {L"Button"});
}

CControlUI* CMessageBoxExWnd::BuildLayout() {
  auto* root = new CVerticalLayoutUI();
  Configure(root, {{L"bkimage", L"bkimage/popup_bk.png"}});

  auto* titleBar = AddTo(root, new CHorizontalLayoutUI());
  Configure(titleBar, {{L"height", L"40"}});
  AddTo(titleBar, new CLabelUI());
  auto* close = AddTo(titleBar, new CButtonUI());
  Configure(close, {{L"name", L"close_btn"},
                    {L"width", L"32"},
                    {L"height", L"32"},
                    {L"normalimage", L"btn/close_btn_nor.png"},
                    {L"hotimage", L"btn/close_btn_hot.png"},
                    {L"pushedimage", L"btn/close_btn_push.png"},
                    {L"visible", L"true"},
                    {L"padding", L"0,10,10,0"}});

  auto* body = AddTo(root, new CHorizontalLayoutUI());
  Configure(body, {{L"inset", L"10,0,10,0"}});
  auto* content = AddTo(body, new CLabelUI());
  // Plain GDI text rather than the effect renderer: Wine's GDI+ does not find the substituted CJK
  // face and would draw empty boxes.
  Configure(content, {{L"name", L"content_lab"},
                      {L"multiline", L"true"},
                      {L"rhaa", L"5"},
                      {L"textcolor", L"#FFBAB4CE"},
                      {L"font", L"0"},
                      {L"align", L"center"}});
  content->SetText(m_text.c_str());

  auto* bottom = AddTo(root, new CHorizontalLayoutUI());
  Configure(bottom, {{L"name", L"bottom_hor"}, {L"height", L"36"}});
  AddTo(bottom, new CControlUI());
  AddBoxButton(bottom, L"ok_btn", L"gray", L"#FF000000", m_okText.c_str());
  auto* gap = AddTo(bottom, new CControlUI());
  Configure(gap, {{L"width", L"20"}});
  AddBoxButton(bottom, L"cancel_btn", L"color", L"#FFFFFFFF", m_cancelText.c_str());
  AddTo(bottom, new CControlUI());

  auto* margin = AddTo(root, new CControlUI());
  Configure(margin, {{L"height", L"40"}});
  return root;
}

void CMessageBoxExWnd::ShowButtons() {
  if (CControlUI* ok = m_manager.ControlByName(L"ok_btn")) ok->SetVisible(m_buttons == 1 || m_buttons == 2);
  if (CControlUI* cancel = m_manager.ControlByName(L"cancel_btn")) cancel->SetVisible(m_buttons == 2);
}

void CMessageBoxExWnd::OnNotification(TNotifyMsg& msg) {
  if (msg.type == L"windowinit") {
    CenterOnOwner();
    ShowButtons();
    return;
  }
  if (msg.type != L"click" || !msg.sender) return;
  const CUIString name = msg.sender->GetName();
  if (name == L"close_btn") {
    Close(0);
  } else if (name == L"ok_btn") {
    Close(1);
  } else if (name == L"cancel_btn") {
    // Opening the site is a courtesy; the box closes whatever the shell says.
    if (IsOpenWebSiteText(msg.sender->GetText()))
      ::ShellExecuteW(nullptr, L"open", kWebSiteUrl, L"", L"", SW_SHOW);
    Close(0);
  }
}

int ShowMessageBoxEx(HWND owner, const wchar_t* text, int buttons, const wchar_t* okText, const wchar_t* cancelText,
                     int width, int height) {
  CMessageBoxExWnd box(text, buttons, okText, cancelText);
  if (!box.Create(owner, WizardTexts::kWindowTitle, 0x16C00000, WS_EX_TOOLWINDOW, 0, 0, width, height)) return 0;
  // Centred now, not only at its first layout: otherwise it shows for a moment in the screen's corner.
  box.CenterOnOwner();
  return box.RunModal(true, false) == 1 ? 1 : 0;
}

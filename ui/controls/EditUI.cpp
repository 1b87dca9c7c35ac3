#include "ui/controls/EditUI.h"

#include <cwchar>
#include <string>

#include "core/ScopedHandle.h"
#include "ui/controls/AttributeValues.h"
#include "ui/controls/ButtonUI.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace SkinUI {

namespace {
constexpr UINT kReflectedCommand = WM_COMMAND + 0x2000;
constexpr UINT kReflectedColorEdit = WM_CTLCOLOREDIT + 0x2000;
constexpr UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + 0x2000;
constexpr UINT_PTR kCaretTimer = 20;

bool IsMouseEvent(int type) { return type > 8 && type < 19; }

std::wstring WindowText(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}
}  // namespace

// The native edit window over an edit's text area; it lives from set-focus to the focus loss and
// deletes itself when its window is gone.
class CEditWnd final : public CWindowWnd {
 public:
  CEditWnd(CEditUI* owner) : m_owner(owner), m_manager(owner->OwnerManager()) {}
  const wchar_t* WindowClassName() const override { return L"EditWnd"; }
  const wchar_t* SuperclassName() const override { return L"Edit"; }
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed(HWND window) override;

  bool Open();
  // The owning edit is being deleted: from now on the window refers to it no more.
  void Detach() { m_owner = nullptr; }

 private:
  bool IsLayered() const { return m_manager && m_manager->IsLayered(); }
  void OnTextChanged();
  // Sends a notification from the owner; false when a handler destroyed this window (and object).
  bool Notify(const wchar_t* type);
  LRESULT OnColorRequest(HDC dc);
  void DrawLayeredCaret(HDC dc);

  CEditUI* m_owner;
  CWindowManagerUI* m_manager;
  CScopedBrush m_brush;
  CScopedBitmap m_pattern;
  bool m_initialised = false;
  bool m_caretOn = false;
  bool* m_goneFlag = nullptr;
};

bool CEditWnd::Open() {
  CEditUI* edit = m_owner;
  RECT rect = edit->NativeEditRect();
  DWORD style = edit->NativeStyle() | WS_CHILD | ES_AUTOHSCROLL;
  if (edit->TextStyle() & kTextCenter) style |= ES_CENTER;
  else if (edit->TextStyle() & kTextRight) style |= ES_RIGHT;
  if (edit->IsPasswordMode()) style |= ES_PASSWORD;
  if (!Create(m_manager->PaintWindow(), nullptr, style, 0, rect)) return false;
  HWND window = Handle();
  TFontInfo* font = edit->Font() == -1 ? nullptr : m_manager->FontRecordById(edit->Font());
  if (!font) font = m_manager->BaseFontRecord();
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->font), TRUE);
  ::SendMessageW(window, EM_LIMITTEXT, edit->MaxLength(), 0);
  if (edit->IsPasswordMode()) ::SendMessageW(window, EM_SETPASSWORDCHAR, edit->PasswordChar(), 0);
  ::SetWindowTextW(window, edit->GetText());
  ::SendMessageW(window, EM_SETMODIFY, FALSE, 0);
  ::SendMessageW(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  ::EnableWindow(window, edit->IsEnabled());
  ::SendMessageW(window, EM_SETREADONLY, edit->IsReadOnly(), 0);
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  ::SetFocus(window);
  int length = ::GetWindowTextLengthW(window);
  if (edit->SelectsAllOnFocus()) ::SendMessageW(window, EM_SETSEL, 0, length > 0 ? length : 1);
  else ::SendMessageW(window, EM_SETSEL, length, length);
  m_initialised = true;
  return true;
}

LRESULT CEditWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_owner) return CWindowWnd::ProcessMessage(message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      m_manager->AddHostedWindow(m_owner, Handle());
      if (IsLayered()) ::SetTimer(Handle(), kCaretTimer, ::GetCaretBlinkTime(), nullptr);
      break;
    case WM_KILLFOCUS: {
      LRESULT result = CWindowWnd::ProcessMessage(message, wParam, lParam);
      HWND framework = m_manager->PaintWindow();
      if (reinterpret_cast<HWND>(wParam) != framework) ::SendMessageW(framework, WM_KILLFOCUS, wParam, lParam);
      PostMsg(WM_CLOSE);
      return result;
    }
    case kReflectedCommand:
      if (HIWORD(wParam) == EN_CHANGE) OnTextChanged();
      else if (HIWORD(wParam) == EN_UPDATE) ::InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        Notify(L"return");
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;  // Return was handled at key-down; the edit would only beep
      break;
    case WM_PAINT:
      if (IsLayered()) m_manager->AddHostedWindow(m_owner, Handle());
      break;
    case WM_TIMER:
      if (wParam == kCaretTimer) {
        m_caretOn = !m_caretOn;
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
      }
      break;
    case WM_PRINT:
      if (IsLayered()) {
        LRESULT result = CWindowWnd::ProcessMessage(message, wParam, lParam);
        DrawLayeredCaret(reinterpret_cast<HDC>(wParam));
        return result;
      }
      break;
    case kReflectedColorEdit:
    case kReflectedColorStatic:
      return OnColorRequest(reinterpret_cast<HDC>(wParam));
    default:
      break;
  }
  return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CEditWnd::OnTextChanged() {
  if (!m_initialised) return;
  m_owner->TakeTextFromNative(WindowText(Handle()).c_str());
  if (!Notify(L"textchanged")) return;
  if (m_owner && IsLayered()) m_owner->Invalidate();
}

bool CEditWnd::Notify(const wchar_t* type) {
  bool gone = false;
  bool* outer = m_goneFlag;
  m_goneFlag = &gone;
  m_manager->SendNotification(m_owner, type);
  if (gone) {
    if (outer) *outer = true;
    return false;
  }
  m_goneFlag = outer;
  return true;
}

void CEditWnd::DrawLayeredCaret(HDC dc) {
  if (!m_owner->IsEnabled() || !m_caretOn) return;
  POINT caret;
  RECT client;
  if (!::GetCaretPos(&caret) || !::GetClientRect(Handle(), &client)) return;
  RECT line = {caret.x, caret.y + 1, caret.x, caret.y + client.bottom - 1};
  CRenderer::DrawLine(dc, line, 1, 0xFF000000);
}

LRESULT CEditWnd::OnColorRequest(HDC dc) {
  if (IsLayered()) m_manager->AddHostedWindow(m_owner, Handle());
  DWORD back = m_owner->NativeBackColor();
  if (back == 0xFF000000) back = 0xFF000001;
  if (back == 0xFFFFFFFF) return 0;
  ::SetBkMode(dc, TRANSPARENT);
  DWORD text = CRenderer::FixDrawColor(m_owner->NormalTextColor());
  ::SetTextColor(dc, ToColorRef(text));
  if (back < 0xFF000000) {
    // Translucent: the framework window's content behind the field, blended with the colour.
    RECT rect;
    ::GetWindowRect(Handle(), &rect);
    ::MapWindowPoints(nullptr, m_manager->PaintWindow(), reinterpret_cast<POINT*>(&rect), 2);
    m_brush.Reset();
    m_pattern.Reset(CRenderer::RenderToBitmap(m_manager, rect, back));
    if (m_pattern) m_brush.Reset(::CreatePatternBrush(m_pattern.Get()));
  } else if (!m_brush) {
    m_brush.Reset(::CreateSolidBrush(ToColorRef(back)));
  }
  return reinterpret_cast<LRESULT>(m_brush.Get());
}

void CEditWnd::OnDestroyed(HWND window) {
  if (m_owner) {
    m_owner->Invalidate();
    m_owner->OnNativeWindowGone();
  }
  m_brush.Reset();
  m_pattern.Reset();
  if (m_manager) m_manager->RemoveHostedWindow(window);
  if (m_goneFlag) *m_goneFlag = true;
  delete this;
}

// ---- CEditUI ----

CEditUI::CEditUI() { m_textPadding = RECT{4, 3, 4, 3}; }

CEditUI::~CEditUI() {
  if (!m_native) return;
  // Deleted while editing: the native window goes first and must not call back into this edit.
  CEditWnd* native = m_native;
  m_native = nullptr;
  native->Detach();
  ::DestroyWindow(native->Handle());
}

void* CEditUI::CastToInterface(const wchar_t* name) {
  if (wcscmp(name, L"Edit") == 0) return this;
  return CLabelUI::CastToInterface(name);
}

UINT CEditUI::ControlTraits() const { return IsEnabled() ? (kFlagTabStop | kFlagSetCursor) : 0u; }

HWND CEditUI::NativeWindowHandle() const { return m_native ? m_native->Handle() : nullptr; }

void CEditUI::SetText(const wchar_t* text) {
  m_text = text;
  if (m_native) ::SetWindowTextW(m_native->Handle(), m_text);
  m_estimateNeeded = true;
  Invalidate();
}

void CEditUI::SetMaxLength(UINT count) {
  m_maxChars = count;
  if (m_native) ::SendMessageW(m_native->Handle(), EM_LIMITTEXT, m_maxChars, 0);
}

void CEditUI::SetReadOnly(bool on) {
  if (m_readOnly == on) return;
  m_readOnly = on;
  if (m_native) ::SendMessageW(m_native->Handle(), EM_SETREADONLY, m_readOnly, 0);
  Invalidate();
}

void CEditUI::SetDigitsOnly(bool on) {
  if (on) m_nativeStyle |= kDigitsOnlyStyle;
  else m_nativeStyle &= ~kDigitsOnlyStyle;
}

void CEditUI::SetPasswordMode(bool on) {
  if (m_password == on) return;
  m_password = on;
  Invalidate();
}

void CEditUI::SetImageRecord(TDrawInfo& record, const wchar_t* text) {
  if (record.text == text && record.image) return;
  record.Clear();
  record.text = text;
  Invalidate();
}

RECT CEditUI::NativeEditRect() const {
  RECT rc = TextRect();
  if (!ClipToAncestors(rc)) return RECT{0, 0, 0, 0};
  return rc;
}

void CEditUI::OpenNativeWindow() {
  if (m_native || !m_manager || !m_manager->PaintWindow()) return;
  auto* native = new CEditWnd(this);
  m_native = native;
  // A failed creation has already deleted the object through its final message, or never made a
  // window at all.
  if (!native->Open() && m_native == native && !native->Handle()) {
    m_native = nullptr;
    delete native;
  }
}

void CEditUI::UpdateNativeWindowPlace() {
  if (!m_native) return;
  RECT rc = NativeEditRect();
  HWND window = m_native->Handle();
  if (::IsRectEmpty(&rc)) {
    ::ShowWindow(window, SW_HIDE);
    return;
  }
  ::SetWindowPos(window, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CEditUI::SetPos(RECT rect, bool invalidate) {
  CLabelUI::SetPos(rect, invalidate);
  UpdateNativeWindowPlace();
}

void CEditUI::Move(SIZE offset, bool invalidate) {
  CLabelUI::Move(offset, invalidate);
  UpdateNativeWindowPlace();
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible() && m_native && m_manager) m_manager->FocusControl(nullptr);
}

void CEditUI::SetInheritedVisible(bool visible) {
  CLabelUI::SetInheritedVisible(visible);
  if (!IsVisible() && m_native && m_manager) m_manager->FocusControl(nullptr);
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!IsEnabled()) m_state = 0;
}

void CEditUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
  CUIString n(name);
  if (n == L"readonly") SetReadOnly(attr::IsTrue(value));
  else if (n == L"numberonly") SetDigitsOnly(attr::IsTrue(value));
  else if (n == L"password") SetPasswordMode(attr::IsTrue(value));
  else if (n == L"autoselall") SetSelectAllOnFocus(attr::IsTrue(value));
  else if (n == L"maxchar") SetMaxLength(static_cast<UINT>(attr::Int(value)));
  else if (n == L"normalimage") SetNormalImage(value);
  else if (n == L"hotimage") SetHotImage(value);
  else if (n == L"focusedimage") SetFocusedImage(value);
  else if (n == L"disabledimage") SetDisabledImage(value);
  else if (n == L"nativebkcolor") SetNativeBackColor(attr::Color(value));
  else CLabelUI::ApplyAttribute(name, value);
}

void CEditUI::HandleEvent(TEventMsg& event) {
  if (!m_mouseEnabled && IsMouseEvent(event.type)) {
    if (m_parent) m_parent->HandleEvent(event);
    else CLabelUI::HandleEvent(event);
    return;
  }
  switch (event.type) {
    case kEventSetCursor:
      if (IsEnabled()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return;
      }
      break;
    case kEventWindowSize:
      if (m_native && m_manager) m_manager->FocusOnNextPaint(this);
      return;
    case kEventScrollWheel:
      if (m_native) return;
      break;
    case kEventSetFocus:
      if (IsEnabled() && !m_native) {
        OpenNativeWindow();
        Invalidate();
      }
      break;
    case kEventKillFocus:
      // The focus moved on inside the framework (SetFocus on another control) while the native
      // window still has the keyboard: take it back so the native window closes.
      if (m_native && m_manager && ::GetFocus() == m_native->Handle()) ::SetFocus(m_manager->PaintWindow());
      if (IsEnabled()) Invalidate();
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
    case kEventRButtonDown:
      if (!IsEnabled()) return;
      if (m_manager) m_manager->ReleaseMouse();
      if (IsFocused() && !m_native) {
        OpenNativeWindow();
        return;
      }
      if (!m_native || m_selectAll) return;
      ::SendMessageW(m_native->Handle(), EM_SETSEL, static_cast<WPARAM>(-1), 0);
      ::SendMessageW(m_native->Handle(), WM_LBUTTONDOWN, event.keyState,
                     MAKELPARAM(event.mousePoint.x - m_item.left - m_textPadding.left,
                                event.mousePoint.y - m_item.top - m_textPadding.top));
      return;
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventContextMenu:
      return;
    case kEventMouseEnter:
    case kEventMouseLeave:
      if (TrackHotBit(event, m_state, kStateHot)) return;
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

SIZE CEditUI::MeasureDesiredSize(SIZE) {
  if (m_fixedSize.cy != 0) return m_fixedSize;
  return SIZE{m_fixedSize.cx, FontTextHeight() + 8};
}

void CEditUI::PaintStateImage(HDC dc) {
  if (IsFocused()) m_state |= kStateFocused;
  else m_state &= ~kStateFocused;
  if (!IsEnabled()) m_state |= kStateDisabled;
  else m_state &= ~kStateDisabled;
  TDrawInfo* candidate = nullptr;
  if (m_state & kStateDisabled) candidate = &m_disabledImage;
  else if (m_state & kStateFocused) candidate = &m_focusedImage;
  else if (m_state & kStateHot) candidate = &m_hotImage;
  if (!candidate || !DrawImageRecord(dc, *candidate)) DrawImageRecord(dc, m_normalImage);
}

void CEditUI::PaintText(HDC dc) {
  TakeDefaultColors();
  if (m_text.IsBlank()) return;
  CUIString shown = m_text;
  if (m_password) {
    std::wstring masked(static_cast<size_t>(m_text.Length()), m_passwordChar);
    shown = masked.c_str();
  }
  RECT rc = TextRect();
  DWORD color = IsEnabled() ? m_textColor : m_disabledTextColor;
  UINT style = m_textStyle | kTextSingleLine;
  if (m_effects) {
    DrawSolidEffectText(dc, rc, shown, color, style);
    return;
  }
  bool html = m_showHtml;
  m_showHtml = false;  // an edit's text is never formatted
  DrawTextThroughEngine(dc, rc, shown, color, style);
  m_showHtml = html;
}

}  // namespace SkinUI

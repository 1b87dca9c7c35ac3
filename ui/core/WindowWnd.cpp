#include "ui/core/WindowWnd.h"

#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

namespace {
constexpr wchar_t kObjectProperty[] = L"WndX";

int ShowCommand(bool show, bool takeFocus) {
  if (!show) return SW_HIDE;
  return takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
}

bool RegisteredOrExisting(ATOM atom) { return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }
}  // namespace

LRESULT CWindowWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_previousProc, m_window, message, wParam, lParam);
}

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSW wc = {};
  wc.style = ClassStyle();
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = CWindowManagerUI::ModuleInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = WindowClassName();
  return RegisteredOrExisting(::RegisterClassW(&wc));
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, SuperclassName(), &wc) &&
      !::GetClassInfoExW(CWindowManagerUI::ModuleInstance(), SuperclassName(), &wc)) {
    return false;
  }
  m_previousProc = wc.lpfnWndProc;
  wc.lpfnWndProc = SuperclassWindowProc;
  wc.hInstance = CWindowManagerUI::ModuleInstance();
  wc.lpszClassName = WindowClassName();
  return RegisteredOrExisting(::RegisterClassExW(&wc));
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int width,
                        int height, HMENU menu) {
  bool registered = SuperclassName() ? RegisterSuperclass() : RegisterWindowClass();
  if (!registered) return nullptr;
  m_window = ::CreateWindowExW(exStyle, WindowClassName(), name, style, x, y, width, height, parent, menu,
                               CWindowManagerUI::ModuleInstance(), this);
  return m_window;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rect, HMENU menu) {
  return Create(parent, name, style, exStyle, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                menu);
}

LRESULT CALLBACK CWindowWnd::PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  return RouteMessage(self, window, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_window = window;
    ::SetPropW(window, kObjectProperty, self);
  } else {
    self = static_cast<CWindowWnd*>(::GetPropW(window, kObjectProperty));
  }
  return RouteMessage(self, window, message, wParam, lParam, true);
}

LRESULT CWindowWnd::RouteMessage(CWindowWnd* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 bool superclassed) {
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = ::CallWindowProcW(self->m_previousProc, window, message, wParam, lParam);
    if (superclassed) ::RemovePropW(window, kObjectProperty);
    else ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->m_window = nullptr;
    // The object may delete itself here; nothing touches it afterwards.
    self->OnDestroyed(window);
    return result;
  }
  return self->ProcessMessage(message, wParam, lParam);
}

void CWindowWnd::Show(bool show, bool takeFocus) {
  if (::IsWindow(m_window)) ::ShowWindow(m_window, ShowCommand(show, takeFocus));
}

UINT CWindowWnd::RunModal() { return RunModalLoop(SW_SHOWNORMAL); }
UINT CWindowWnd::RunModal(bool show, bool takeFocus) { return RunModalLoop(ShowCommand(show, takeFocus)); }

UINT CWindowWnd::RunModalLoop(int showCommand) {
  if (!::IsWindow(m_window)) return 0;
  HWND window = m_window;
  HWND owner = ::GetWindow(window, GW_OWNER);
  ::ShowWindow(window, showCommand);
  if (owner) ::EnableWindow(owner, FALSE);
  UINT result = 0;
  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg;
  while (::IsWindow(window)) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    // -1 is an error, not a message: the loop cannot go on.
    if (got == -1) break;
    if (got == 0) {
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (msg.message == WM_CLOSE && msg.hwnd == window) {
      result = static_cast<UINT>(msg.wParam);
      if (owner) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
      }
    }
    if (!CWindowManagerUI::PreTranslate(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (owner) {
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
  }
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  return result;
}

void CWindowWnd::Close(UINT result) {
  if (::IsWindow(m_window)) ::PostMessageW(m_window, WM_CLOSE, result, 0);
}

void CWindowWnd::CenterOnOwner() {
  if (!::IsWindow(m_window)) return;
  RECT rc;
  ::GetWindowRect(m_window, &rc);
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  HWND owner = ::GetWindow(m_window, GW_OWNER);
  MONITORINFO monitor = {sizeof(monitor)};
  ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_window, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT work = monitor.rcWork;
  RECT area = work;
  if (owner && !::IsIconic(owner)) ::GetWindowRect(owner, &area);
  int x = (area.left + area.right) / 2 - width / 2;
  int y = (area.top + area.bottom) / 2 - height / 2;
  if (x < work.left) x = work.left;
  else if (x + width > work.right) x = work.right - width;
  if (y < work.top) y = work.top;
  else if (y + height > work.bottom) y = work.bottom - height;
  ::SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetWindowIcons(UINT resourceId) {
  if (!::IsWindow(m_window)) return;
  auto roundUp = [](int v) { return (v + 15) & ~15; };
  HINSTANCE module = CWindowManagerUI::ModuleInstance();
  HANDLE big = ::LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, roundUp(::GetSystemMetrics(SM_CXICON)),
                            roundUp(::GetSystemMetrics(SM_CYICON)), LR_DEFAULTCOLOR);
  if (big) ::SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  HANDLE small = ::LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                              roundUp(::GetSystemMetrics(SM_CXSMICON)), roundUp(::GetSystemMetrics(SM_CYSMICON)),
                              LR_DEFAULTCOLOR);
  if (small) ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CWindowWnd::SetClientSize(int width, int height) {
  if (!::IsWindow(m_window)) return;
  RECT rc;
  ::GetClientRect(m_window, &rc);
  if (width != -1) rc.right = width;
  if (height != -1) rc.bottom = height;
  DWORD style = static_cast<DWORD>(::GetWindowLongW(m_window, GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(m_window, GWL_EXSTYLE));
  BOOL menu = !(style & WS_CHILD) && ::GetMenu(m_window) != nullptr;
  ::AdjustWindowRectEx(&rc, style, menu, exStyle);
  ::SetWindowPos(m_window, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMsg(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::IsWindow(m_window) ? ::SendMessageW(m_window, message, wParam, lParam) : 0;
}

LRESULT CWindowWnd::PostMsg(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::IsWindow(m_window) ? ::PostMessageW(m_window, message, wParam, lParam) : 0;
}

}  // namespace SkinUI

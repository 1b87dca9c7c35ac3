// The window manager's message handling: input turned into control events, painting, tool tips.
#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "ui/controls/ControlUI.h"
#include "ui/core/ManagerShared.h"
#include "ui/core/RenderInternals.h"
#include "ui/core/WindowManagerUI.h"

namespace SkinUI {

using render_detail::CMemoryDC;

namespace {
CControlUI* CollectUpdateNeeded(CControlUI* control, void* data) {
  if (!control->IsUpdateNeeded()) return nullptr;
  static_cast<CPtrArrayUI*>(data)->Push(control);
  return control;
}

CControlUI* MatchShortcut(CControlUI* control, void* data) {
  wchar_t key = *static_cast<wchar_t*>(data);
  return static_cast<wchar_t>(towupper(control->AccessKey())) == key ? control : nullptr;
}

POINT PointFrom(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
}  // namespace

bool CWindowManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!m_window) return false;
  for (int i = 0; i < m_windowFilters.Count(); ++i) {
    bool handled = false;
    LRESULT filtered = static_cast<IMessageFilterUI*>(m_windowFilters[i])->FilterMessage(message, wParam, lParam, handled);
    if (!handled) continue;
    if (message >= WM_MOUSEMOVE && message <= WM_LBUTTONDBLCLK) {
      m_lastMouse = PointFrom(lParam);
    } else if (message == WM_MOUSEWHEEL || message == WM_CONTEXTMENU) {
      POINT pt = PointFrom(lParam);
      ::ScreenToClient(m_window, &pt);
      m_lastMouse = pt;
    }
    result = filtered;
    return true;
  }
  if (m_layered) {
    if (message == WM_NCCALCSIZE || message == WM_NCPAINT) {
      result = 0;
      return true;
    }
    if (message == WM_NCACTIVATE && !::IsIconic(m_window)) {
      result = wParam == 0;
      return true;
    }
  }
  switch (message) {
    case kMsgAsyncNotify:
      DrainAsyncQueue();
      return false;
    case WM_PAINT:
      OnPaintMessage();
      result = 0;
      return true;
    case WM_PRINTCLIENT: {
      if (!m_root) return false;
      RECT client;
      ::GetClientRect(m_window, &client);
      HDC dc = reinterpret_cast<HDC>(wParam);
      int saved = ::SaveDC(dc);
      m_root->Paint(dc, client, nullptr);
      ::RestoreDC(dc, saved);
      if (lParam & PRF_CHILDREN) {
        for (HWND child = ::GetWindow(m_window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
          RECT pos;
          ::GetWindowRect(child, &pos);
          ::MapWindowPoints(HWND_DESKTOP, m_window, reinterpret_cast<POINT*>(&pos), 2);
          POINT old;
          ::SetWindowOrgEx(dc, -pos.left, -pos.top, &old);
          ::SendMessageW(child, WM_PRINT, wParam, lParam | PRF_CLIENT);
          ::SetWindowOrgEx(dc, old.x, old.y, nullptr);
        }
      }
      return false;
    }
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_SIZE:
      if (m_focus) SendEvent(m_focus, kEventWindowSize, wParam, lParam);
      if (m_root) m_root->RequestRelayout();
      m_updateNeeded = true;
      if (m_layered) Redraw();
      result = 0;
      return true;
    case WM_TIMER:
      if (wParam == kLayeredRefreshTimer && m_layered) {
        if (!::IsRectEmpty(&m_dirty) && !::IsIconic(m_window)) OnPaintMessage();
        return false;
      }
      OnTimerMessage(wParam, lParam);
      return false;
    case WM_CLOSE:
      OnCloseMessage();
      return false;
    case WM_KILLFOCUS: {
      HWND focus = reinterpret_cast<HWND>(wParam);
      int index = focus ? m_hostedWindows.IndexOf(focus) : -1;
      if (index >= 0) {
        auto* host = static_cast<CControlUI*>(m_hostedControls[index]);
        if (host != m_focus) {
          FocusControl(nullptr, false);
          m_focus = host;
        }
      }
      return false;
    }
    case WM_MOUSEMOVE:
      OnMouseMove(PointFrom(lParam), wParam);
      return false;
    case WM_MOUSEHOVER:
      OnMouseHover(PointFrom(lParam));
      return false;
    case WM_MOUSELEAVE: {
      if (m_toolTip) ::SendMessageW(m_toolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
      if (m_mouseTracking) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_window, &pt);
        RECT client;
        ::GetClientRect(m_window, &client);
        bool inside = ::GetActiveWindow() == m_window && !::IsIconic(m_window) && ::PtInRect(&client, pt);
        ::SendMessageW(m_window, WM_MOUSEMOVE, 0, inside ? MAKELPARAM(pt.x, pt.y) : static_cast<LPARAM>(-1));
      }
      m_mouseTracking = false;
      return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
      OnButton(message, PointFrom(lParam), wParam);
      return false;
    case WM_CONTEXTMENU: {
      POINT pt = PointFrom(lParam);
      ::ScreenToClient(m_window, &pt);
      m_lastMouse = pt;
      if (m_captured || !m_pressed) return false;
      CControlUI* pressed = m_pressed;
      m_pressed = nullptr;
      SendEvent(pressed, kEventContextMenu, wParam, reinterpret_cast<LPARAM>(pressed));
      return false;
    }
    case WM_MOUSEWHEEL: {
      POINT pt = PointFrom(lParam);
      ::ScreenToClient(m_window, &pt);
      m_lastMouse = pt;
      CControlUI* control = ControlAt(pt);
      if (!control || control->OwnerManager() != this) return false;
      int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      SendEvent(control, kEventScrollWheel, delta < 0 ? 1 : 0, lParam);
      ::SendMessageW(m_window, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
      return false;
    }
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT || !m_root) return false;
      if (m_captured) {
        result = TRUE;
        return true;
      }
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_window, &pt);
      CControlUI* control = ControlAt(pt);
      if (!control || !(control->ControlTraits() & kFlagSetCursor)) return false;
      SendEvent(control, kEventSetCursor, wParam, lParam);
      result = TRUE;
      return true;
    }
    case WM_MOUSEACTIVATE:
      if (!m_noActivate) return false;
      result = MA_NOACTIVATE;
      return true;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (m_minInfo.cx > 0) info->ptMinTrackSize.x = m_minInfo.cx;
      if (m_minInfo.cy > 0) info->ptMinTrackSize.y = m_minInfo.cy;
      if (m_maxInfo.cx > 0) info->ptMaxTrackSize.x = m_maxInfo.cx;
      if (m_maxInfo.cy > 0) info->ptMaxTrackSize.y = m_maxInfo.cy;
      return false;
    }
    case WM_KEYDOWN:
      if (m_focus) {
        SendEvent(m_focus, kEventKeyDown, wParam, lParam, static_cast<wchar_t>(wParam));
        m_keyDown = m_focus;
      }
      return false;
    case WM_KEYUP:
      if (m_keyDown) {
        CControlUI* control = m_keyDown;
        m_keyDown = nullptr;
        SendEvent(control, kEventKeyUp, wParam, lParam, static_cast<wchar_t>(wParam));
      }
      return false;
    case WM_CHAR:
      if (m_focus) SendEvent(m_focus, kEventChar, wParam, lParam, static_cast<wchar_t>(wParam));
      return false;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return ReflectToChild(message, wParam, lParam, result);
    default:
      return false;
  }
}

bool CWindowManagerUI::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    child = header ? header->hwndFrom : nullptr;
  } else {
    child = reinterpret_cast<HWND>(lParam);
  }
  if (!child || !::IsWindow(child)) return false;
  result = ::SendMessageW(child, message + 0x2000, wParam, lParam);
  return true;
}

void CWindowManagerUI::OnCloseMessage() {
  if (m_hover) {
    CControlUI* hover = m_hover;
    m_hover = nullptr;
    SendEvent(hover, kEventMouseLeave);
  }
  if (m_pressed) {
    CControlUI* pressed = m_pressed;
    m_pressed = nullptr;
    SendEvent(pressed, kEventButtonUp);
  }
  FocusControl(nullptr, false);
  if (::GetActiveWindow() == m_window) {
    HWND next = (::GetWindowLongW(m_window, GWL_STYLE) & WS_CHILD) ? ::GetParent(m_window)
                                                                   : ::GetWindow(m_window, GW_OWNER);
    if (next) ::SetFocus(next);
  }
  if (m_toolTip) {
    ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
  }
}

void CWindowManagerUI::TrackMouse() {
  TRACKMOUSEEVENT track = {sizeof(track)};
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = m_window;
  track.dwHoverTime = m_toolTip ? static_cast<DWORD>(::SendMessageW(m_toolTip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                : 1000;
  ::TrackMouseEvent(&track);
  m_mouseTracking = true;
}

void CWindowManagerUI::OnMouseMove(POINT pt, WPARAM wParam) {
  if (!m_mouseTracking) TrackMouse();
  m_lastMouse = pt;
  CControlUI* control = ControlAt(pt);
  if (control && control->OwnerManager() != this) return;
  if (!m_captured && control != m_hover) {
    for (int i = 0; i < m_leaveWatchers.Count(); ++i) {
      SendEvent(static_cast<CControlUI*>(m_leaveWatchers[i]), kEventMouseLeave, wParam);
    }
    if (m_hover) {
      CControlUI* old = m_hover;
      m_hover = nullptr;
      SendEvent(old, kEventMouseLeave, wParam);
    }
    if (m_toolTip) ::SendMessageW(m_toolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
    if (control) {
      m_hover = control;
      SendEvent(control, kEventMouseEnter, wParam);
    }
  }
  CControlUI* target = m_pressed ? m_pressed : control;
  if (target) SendEvent(target, kEventMouseMove, wParam);
}

void CWindowManagerUI::CheckToolTipWidth(int width) {
  if (width == m_lastTipWidth) return;
  m_lastTipWidth = width;
  ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, width);
}

void CWindowManagerUI::OnMouseHover(POINT pt) {
  m_mouseTracking = false;
  if (m_hover) SendEvent(m_hover, kEventMouseHover);
  CControlUI* control = ControlAt(pt);
  if (!control || control->OwnerManager() != this) return;
  m_toolTipText = ExpandLanguageTokens(control->GetToolTip());
  if (m_toolTipText.IsBlank()) return;
  m_toolTipControl = control;
  m_toolInfo = TOOLINFOW{};
  m_toolInfo.cbSize = sizeof(m_toolInfo);
  m_toolInfo.uFlags = TTF_IDISHWND;
  m_toolInfo.hwnd = m_window;
  m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_window);
  m_toolInfo.hinst = ModuleInstance();
  m_toolInfo.lpszText = const_cast<wchar_t*>(m_toolTipText.c_str());
  m_toolInfo.rect = control->GetPos();
  if (!m_toolTip) {
    m_toolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                  ModuleInstance(), nullptr);
    if (!m_toolTip) return;
    // The system's tip font may lack the skin's script (Chinese tips drawn as boxes); the skin's
    // own base font is chosen for its texts.
    if (HFONT font = BaseFontRecord()->font) ::SendMessageW(m_toolTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_lastTipWidth = -1;
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
  }
  CheckToolTipWidth(control->TipMaxWidth());
  ::SendMessageW(m_toolTip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
  ::SendMessageW(m_toolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
  POINT screen = pt;
  ::ClientToScreen(m_window, &screen);
  ::SendMessageW(m_toolTip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
}

void CWindowManagerUI::OnButton(UINT message, POINT pt, WPARAM wParam) {
  m_lastMouse = pt;
  WORD keyState = static_cast<WORD>(wParam);
  if (message == WM_LBUTTONUP) {
    ReleaseMouse();
    if (!m_pressed) return;
    CControlUI* pressed = m_pressed;
    m_pressed = nullptr;
    SendEvent(pressed, kEventButtonUp, wParam, 0, 0, keyState);
    return;
  }
  if (!m_noActivate) ::SetFocus(m_window);
  CControlUI* control = ControlAt(pt);
  if (!control || control->OwnerManager() != this) return;
  m_pressed = control;
  if (message == WM_LBUTTONDOWN) {
    FocusControl(control);
    CaptureMouse();
    SendEvent(control, kEventButtonDown, wParam, 0, 0, keyState);
  } else if (message == WM_LBUTTONDBLCLK) {
    CaptureMouse();
    SendEvent(control, kEventDoubleClick, wParam, 0, 0, keyState);
  } else {
    FocusControl(control);
    SendEvent(control, kEventRButtonDown, wParam, 0, 0, keyState);
  }
}

bool CWindowManagerUI::HandleBeforeDispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  for (int i = 0; i < m_dispatchFilters.Count(); ++i) {
    bool handled = false;
    LRESULT filtered =
        static_cast<IMessageFilterUI*>(m_dispatchFilters[i])->FilterMessage(message, wParam, lParam, handled);
    if (handled) {
      result = filtered;
      return true;
    }
  }
  if (message == WM_KEYDOWN && wParam == VK_TAB) {
    if (m_focus && m_focus->IsVisible() && m_focus->IsEnabled() && wcsstr(m_focus->ClassName(), L"RichEdit")) {
      auto* wants = static_cast<IWantsTabUI*>(m_focus->CastToInterface(L"WantsTab"));
      if (wants && wants->WantsTab()) return false;
    }
    MoveTabFocus(::GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  if (message == WM_SYSCHAR) {
    if (!m_root) return false;
    wchar_t key = static_cast<wchar_t>(towupper(static_cast<wchar_t>(wParam)));
    m_found.Clear();
    struct Collect {
      static CControlUI* Visit(CControlUI* control, void* data) {
        static_cast<CPtrArrayUI*>(data)->Push(control);
        return nullptr;
      }
    };
    m_root->FindControl(Collect::Visit, &m_found, kFindEnabled | kFindTopFirst | kFindMeFirst);
    CControlUI* target = nullptr;
    bool passOn = false;
    for (int i = 0; i < m_found.Count() && !target; ++i) {
      auto* control = static_cast<CControlUI*>(m_found[i]);
      bool isLabel = wcsstr(control->ClassName(), L"Label") != nullptr;
      if (passOn && !isLabel) target = control;
      else if (MatchShortcut(control, &key)) {
        if (isLabel) passOn = true;
        else target = control;
      }
    }
    m_found.Clear();
    if (!target) return false;
    FocusControl(target);
    target->Activate();
    return true;
  }
  if (message == WM_SYSKEYDOWN && m_focus) SendEvent(m_focus, kEventSysKey, wParam, lParam, static_cast<wchar_t>(wParam));
  return false;
}

bool CWindowManagerUI::AddWindowFilter(IMessageFilterUI* filter) {
  if (!filter || m_windowFilters.IndexOf(filter) >= 0) return false;
  return m_windowFilters.Push(filter);
}
bool CWindowManagerUI::RemoveWindowFilter(IMessageFilterUI* filter) {
  int index = m_windowFilters.IndexOf(filter);
  return index >= 0 && m_windowFilters.RemoveRange(index, 1);
}
bool CWindowManagerUI::AddDispatchFilter(IMessageFilterUI* filter) {
  if (!filter || m_dispatchFilters.IndexOf(filter) >= 0) return false;
  return m_dispatchFilters.Push(filter);
}
bool CWindowManagerUI::RemoveDispatchFilter(IMessageFilterUI* filter) {
  int index = m_dispatchFilters.IndexOf(filter);
  return index >= 0 && m_dispatchFilters.RemoveRange(index, 1);
}
bool CWindowManagerUI::AddAcceleratorHandler(ITranslateAccelerator* handler) {
  if (!handler || m_accelerators.IndexOf(handler) >= 0) return false;
  return m_accelerators.Push(handler);
}
bool CWindowManagerUI::RemoveAcceleratorHandler(ITranslateAccelerator* handler) {
  int index = m_accelerators.IndexOf(handler);
  return index >= 0 && m_accelerators.RemoveRange(index, 1);
}
bool CWindowManagerUI::RunAcceleratorHandlers(MSG* msg) {
  for (int i = 0; i < m_accelerators.Count(); ++i) {
    if (static_cast<ITranslateAccelerator*>(m_accelerators[i])->TranslateKey(msg) == 0) return true;
  }
  return false;
}

// ---------------------------------------------------------------- painting

void CWindowManagerUI::DropOffscreen() {
  if (m_offscreenDC) {
    ::SelectObject(m_offscreenDC, m_offscreenOld);
    ::DeleteDC(m_offscreenDC);
  }
  if (m_offscreenBitmap) ::DeleteObject(m_offscreenBitmap);
  m_offscreenDC = nullptr;
  m_offscreenBitmap = nullptr;
  m_offscreenOld = nullptr;
  m_offscreenPixels = nullptr;
  m_offscreenSize = SIZE{0, 0};
}

void CWindowManagerUI::EnsureOffscreen(const RECT& client) {
  SIZE size = {client.right - client.left, client.bottom - client.top};
  if (m_offscreenDC && size.cx == m_offscreenSize.cx && size.cy == m_offscreenSize.cy) return;
  DropOffscreen();
  m_offscreenDC = ::CreateCompatibleDC(m_paintDC);
  m_offscreenBitmap = m_layered ? CRenderer::CreateArgbBitmap(m_paintDC, size.cx, size.cy, &m_offscreenPixels)
                                : ::CreateCompatibleBitmap(m_paintDC, size.cx, size.cy);
  if (!m_offscreenDC || !m_offscreenBitmap) {
    DropOffscreen();
    return;
  }
  m_offscreenOld = ::SelectObject(m_offscreenDC, m_offscreenBitmap);
  m_offscreenSize = size;
}

void CWindowManagerUI::LayoutIfNeeded(bool& stop) {
  RECT client;
  ::GetClientRect(m_window, &client);
  if (m_updateNeeded && !::IsRectEmpty(&client)) {
    m_updateNeeded = false;
    if (m_root->IsUpdateNeeded()) {
      DropOffscreen();
      m_root->SetPos(client, true);
    } else {
      m_found.Clear();
      m_root->FindControl(CollectUpdateNeeded, &m_found, kFindVisible | kFindUpdateTest | kFindMeFirst);
      CPtrArrayUI found(m_found);
      m_found.Clear();
      for (int i = 0; i < found.Count(); ++i) {
        auto* control = static_cast<CControlUI*>(found[i]);
        control->SetPos(control->IsFloating() ? control->PosInParent() : control->GetPos(), true);
      }
    }
    if (m_firstLayout) {
      m_firstLayout = false;
      SendNotification(m_root, L"windowinit");
      if (m_layered && m_layeredChanged) {
        Redraw();
        stop = true;
      }
    }
  } else if (m_layered && m_layeredChanged) {
    m_root->SetPos(client, true);
  }
}

void CWindowManagerUI::OnPaintMessage() {
  if (!m_root) {
    PAINTSTRUCT ps;
    ::BeginPaint(m_window, &ps);
    ::EndPaint(m_window, &ps);
    return;
  }
  RECT client, paint;
  ::GetClientRect(m_window, &client);
  if (m_layered) {
    ::IntersectRect(&paint, &m_dirty, &client);
    ::SetRectEmpty(&m_dirty);
    if (::IsRectEmpty(&paint)) {
      ::ValidateRect(m_window, nullptr);
      return;
    }
  } else if (!::GetUpdateRect(m_window, &paint, FALSE)) {
    return;
  }
  if (m_focusNeeded) MoveTabFocus();
  m_painting = true;
  bool stop = false;
  LayoutIfNeeded(stop);
  if (!m_root) stop = true;  // a notification handler may have replaced the tree
  if (stop) {
    ::ValidateRect(m_window, nullptr);
    m_painting = false;
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_window, &ps);
  EnsureOffscreen(client);
  if (m_offscreenDC) {
    if (m_layered) {
      PaintLayered(paint, client);
    } else {
      int saved = ::SaveDC(m_offscreenDC);
      ::IntersectClipRect(m_offscreenDC, paint.left, paint.top, paint.right, paint.bottom);
      m_root->Paint(m_offscreenDC, paint, nullptr);
      RunOverlayPainters(paint);
      ::RestoreDC(m_offscreenDC, saved);
      ::BitBlt(dc, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top, m_offscreenDC,
               paint.left, paint.top, SRCCOPY);
      if (m_showUpdateRects) {
        HGDIOBJ oldPen = ::SelectObject(dc, Shared().updatePen);
        HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(dc, paint.left, paint.top, paint.right, paint.bottom);
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
      }
    }
  }
  ::EndPaint(m_window, &ps);
  m_painting = false;
  m_layeredChanged = false;
  if (m_updateNeeded || m_focusNeeded) Redraw();
}

void CWindowManagerUI::PaintLayered(const RECT& paint, const RECT& client) {
  int width = client.right, height = client.bottom;
  auto* pixels = reinterpret_cast<DWORD*>(m_offscreenPixels);
  // Bottom-up rows: window row y is stored at (height - 1 - y).
  auto row = [&](DWORD* base, int y) { return base + static_cast<size_t>(height - 1 - y) * width; };
  if (m_layerImage.text.IsBlank()) {
    for (int y = paint.top; y < paint.bottom; ++y) {
      std::fill(row(pixels, y) + paint.left, row(pixels, y) + paint.right, 0u);
    }
  } else {
    if (!m_layerBackground || m_layeredChanged) {
      if (m_layerBackground) ::DeleteObject(m_layerBackground);
      m_layerBackground = CRenderer::CreateArgbBitmap(m_paintDC, width, height, &m_layerBackgroundPixels);
      if (m_layerBackground) {
        CMemoryDC backgroundDC(m_paintDC, m_layerBackground);
        CRenderer::DrawImageSpec(backgroundDC.Get(), this, client, client, m_layerImage);
      }
    }
    if (m_layerBackground) {
      ::GdiFlush();
      auto* background = reinterpret_cast<DWORD*>(m_layerBackgroundPixels);
      for (int y = paint.top; y < paint.bottom; ++y) {
        std::copy(row(background, y) + paint.left, row(background, y) + paint.right, row(pixels, y) + paint.left);
      }
    }
  }
  int saved = ::SaveDC(m_offscreenDC);
  ::IntersectClipRect(m_offscreenDC, paint.left, paint.top, paint.right, paint.bottom);
  m_root->Paint(m_offscreenDC, paint, nullptr);
  for (int i = m_hostedWindows.Count() - 1; i >= 0; --i) {
    HWND child = static_cast<HWND>(m_hostedWindows[i]);
    if (!::IsWindow(child)) {
      m_hostedWindows.RemoveRange(i, 1);
      m_hostedControls.RemoveRange(i, 1);
      continue;
    }
    if (!::IsWindowVisible(child)) continue;
    RECT pos, overlap;
    ::GetWindowRect(child, &pos);
    ::MapWindowPoints(HWND_DESKTOP, m_window, reinterpret_cast<POINT*>(&pos), 2);
    if (!::IntersectRect(&overlap, &pos, &paint)) continue;
    BYTE* childBits = nullptr;
    int cw = pos.right - pos.left, ch = pos.bottom - pos.top;
    HBITMAP childBitmap = CRenderer::CreateArgbBitmap(m_paintDC, cw, ch, &childBits);
    if (!childBitmap) continue;
    {
      CMemoryDC childDC(m_paintDC, childBitmap);
      ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDC.Get()), PRF_CHECKVISIBLE | PRF_CLIENT |
                                                                                 PRF_CHILDREN | PRF_NONCLIENT);
      ::GdiFlush();
      for (int p = 0; p < cw * ch; ++p) childBits[p * 4 + 3] = 0xFF;
      ::BitBlt(m_offscreenDC, pos.left, pos.top, cw, ch, childDC.Get(), 0, 0, SRCCOPY);
    }
    ::DeleteObject(childBitmap);
  }
  RunOverlayPainters(paint);
  ::RestoreDC(m_offscreenDC, saved);
  ::GdiFlush();
  for (int i = 0; i < width * height; ++i) {
    if (pixels[i] != 0 && (pixels[i] >> 24) == 0) pixels[i] |= 0xFF000000;
  }
  using UpdateLayeredFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
  static auto update = reinterpret_cast<UpdateLayeredFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow")));
  if (!update) return;
  RECT window;
  ::GetWindowRect(m_window, &window);
  POINT position = {window.left, window.top}, origin = {0, 0};
  SIZE size = {width, height};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(m_opacity), AC_SRC_ALPHA};
  update(m_window, m_paintDC, &position, &size, m_offscreenDC, &origin, 0, &blend, ULW_ALPHA);
}

void CWindowManagerUI::Redraw() {
  if (!m_window) return;
  RECT client;
  ::GetClientRect(m_window, &client);
  Redraw(client);
}

void CWindowManagerUI::Redraw(const RECT& rect) {
  if (!m_window) return;
  RECT rc = rect;
  if (rc.left < 0) rc.left = 0;
  if (rc.top < 0) rc.top = 0;
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  if (m_layered) {
    if (::IsRectEmpty(&m_dirty)) m_dirty = rc;
    else ::UnionRect(&m_dirty, &m_dirty, &rc);
  } else {
    ::InvalidateRect(m_window, &rc, FALSE);
  }
}

// A painter may take itself (or another) off the list while it paints, as a container does once its
// scroll to the bottom is served: walk a copy and skip those no longer listed.
void CWindowManagerUI::RunOverlayPainters(const RECT& paint) {
  CPtrArrayUI painters(m_postPaint);
  for (int i = 0; i < painters.Count(); ++i) {
    if (m_postPaint.IndexOf(painters[i]) >= 0) static_cast<CControlUI*>(painters[i])->PostPaint(m_offscreenDC, paint);
  }
}

bool CWindowManagerUI::AddOverlayPainter(CControlUI* control) {
  if (!control || m_postPaint.IndexOf(control) >= 0) return false;
  return m_postPaint.Push(control);
}

bool CWindowManagerUI::RemoveOverlayPainter(CControlUI* control) {
  int index = m_postPaint.IndexOf(control);
  return index >= 0 && m_postPaint.RemoveRange(index, 1);
}

bool CWindowManagerUI::AddHostedWindow(CControlUI* control, HWND window) {
  if (!control || !window || m_hostedWindows.IndexOf(window) >= 0) return false;
  if (!m_hostedWindows.Push(window)) return false;
  if (m_hostedControls.Push(control)) return true;
  m_hostedWindows.RemoveRange(m_hostedWindows.Count() - 1, 1);
  return false;
}

bool CWindowManagerUI::RemoveHostedWindow(HWND window) {
  int index = m_hostedWindows.IndexOf(window);
  if (index < 0) return false;
  m_hostedWindows.RemoveRange(index, 1);
  m_hostedControls.RemoveRange(index, 1);
  return true;
}

void CWindowManagerUI::SetPerPixelAlpha(bool on) {
  if (!m_window || (::GetWindowLongW(m_window, GWL_STYLE) & WS_CHILD) || on == m_layered) return;
  m_layered = on;
  LONG exStyle = ::GetWindowLongW(m_window, GWL_EXSTYLE);
  if (on) {
    ::SetTimer(m_window, kLayeredRefreshTimer, 10, nullptr);
    ::SetWindowLongW(m_window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  } else {
    ::KillTimer(m_window, kLayeredRefreshTimer);
    ::SetWindowLongW(m_window, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
  }
  DropOffscreen();
  if (m_root) m_root->RequestRelayout();
  m_updateNeeded = true;
  Redraw();
}

void CWindowManagerUI::SetWindowAlpha(int alpha) {
  m_opacity = alpha < 0 ? 0 : alpha > 255 ? 255 : alpha;
  if (!m_window) return;
  using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  static auto setLayered = reinterpret_cast<SetLayeredFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes")));
  if (!setLayered) return;
  ::SetWindowLongW(m_window, GWL_EXSTYLE, ::GetWindowLongW(m_window, GWL_EXSTYLE) | WS_EX_LAYERED);
  setLayered(m_window, 0, static_cast<BYTE>(m_opacity), LWA_ALPHA);
  SetPerPixelAlpha(false);
  Redraw();
}

void CWindowManagerUI::SetPerPixelAlphaLevel(int level) {
  m_opacity = level < 0 ? 0 : level > 255 ? 255 : level;
  m_layeredChanged = true;
  Redraw();
}

void CWindowManagerUI::SetPerPixelAlphaImage(const wchar_t* imageString) {
  SetPerPixelAlpha(true);
  m_layerImage.Clear();
  m_layerImage.text = imageString;
  m_layeredChanged = true;
  CRenderer::DrawImageSpec(nullptr, this, RECT{0, 0, 0, 0}, RECT{0, 0, 0, 0}, m_layerImage);
}

}  // namespace SkinUI

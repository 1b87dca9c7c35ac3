#include "setup/CaptionHitTest.h"

#include <windowsx.h>

#include <cwchar>

#include "ui/controls/ControlUI.h"

LRESULT HitTestCaptionBand(HWND window, SkinUI::CWindowManagerUI& manager, LPARAM lParam,
                           std::initializer_list<const wchar_t*> clickableClasses) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(window, &pt);
  RECT client = {};
  ::GetClientRect(window, &client);
  const RECT band = manager.CaptionRect();
  if (pt.x < client.left + band.left || pt.x >= client.right - band.right || pt.y < band.top || pt.y >= band.bottom)
    return HTCLIENT;
  SkinUI::CControlUI* control = manager.ControlAt(pt);
  if (!control) return HTCLIENT;
  for (const wchar_t* name : clickableClasses)
    if (std::wcscmp(control->ClassName(), name) == 0) return HTCLIENT;
  return HTCAPTION;
}

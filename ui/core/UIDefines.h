// Records and constants shared by the window manager and the controls: notifications, input
// events, find flags and the listener interfaces.
#pragma once

#include <windows.h>

#include "ui/core/UIString.h"

namespace SkinUI {

class CControlUI;

// Input event kinds (TEventMsg::Type). Keyboard kinds lie strictly between 2 and 7, mouse kinds
// strictly between 8 and 19.
enum EventType {
  kEventKeyDown = 3,
  kEventKeyUp = 4,
  kEventChar = 5,
  kEventSysKey = 6,
  kEventMouseMove = 9,
  kEventMouseLeave = 10,
  kEventMouseEnter = 11,
  kEventMouseHover = 12,
  kEventButtonDown = 13,
  kEventButtonUp = 14,
  kEventRButtonDown = 15,
  kEventDoubleClick = 16,
  kEventContextMenu = 17,
  kEventScrollWheel = 18,
  kEventKillFocus = 20,
  kEventSetFocus = 21,
  kEventWindowSize = 22,
  kEventSetCursor = 23,
  kEventTimer = 24,
};

// Control tree search flags.
enum FindFlags : unsigned {
  kFindAll = 0,
  kFindVisible = 0x01,
  kFindEnabled = 0x02,
  kFindHitTest = 0x04,
  kFindUpdateTest = 0x08,
  kFindTopFirst = 0x10,
  kFindMeFirst = 0x80000000u,
};

// Control flag bits (CControlUI::ControlTraits).
enum ControlFlags : unsigned { kFlagTabStop = 0x01, kFlagSetCursor = 0x02 };

// Key state bits of TEventMsg::keyState.
enum KeyStateBits : WORD { kKeyLButton = 0x01, kKeyRButton = 0x02, kKeyShift = 0x04, kKeyControl = 0x08, kKeyAlt = 0x20 };

struct TNotifyMsg {
  CUIString type;
  CUIString virtualWindow;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mousePoint = {0, 0};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct TEventMsg {
  int type = 0;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mousePoint = {0, 0};
  wchar_t key = 0;
  WORD keyState = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Window messages of the framework.
constexpr UINT kMsgAsyncNotify = WM_APP + 1;
constexpr UINT_PTR kLayeredRefreshTimer = 0x2000;

class INotifyUI {
 public:
  virtual void OnNotification(TNotifyMsg& msg) = 0;

 protected:
  ~INotifyUI() = default;
};

class IMessageFilterUI {
 public:
  virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class ITranslateAccelerator {
 public:
  // 0 means translated.
  virtual LRESULT TranslateKey(MSG* msg) = 0;

 protected:
  ~ITranslateAccelerator() = default;
};

// Answered by controls that take the Tab key themselves (CastToInterface(L"WantsTab")), so that
// Tab moves the focus on only when they do not want it.
class IWantsTabUI {
 public:
  virtual bool WantsTab() const = 0;

 protected:
  ~IWantsTabUI() = default;
};

// Colour helpers: skins write AARRGGBB in hexadecimal with an optional leading '#'.
DWORD ParseColorText(const wchar_t* text);
inline COLORREF ToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Reads decimal numbers separated by exactly one character. Never steps past the terminator; a
// missing number reads as 0. Returns the count of numbers actually present.
int ParseNumberList(const wchar_t* text, long* values, int count);

}  // namespace SkinUI

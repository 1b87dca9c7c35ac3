// Driving the real wizard windows in tests: the skin from this program's resources, posted mouse
// input at a control's centre, waiting while pumping messages, and screenshots under the build tree.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/core/WindowManagerUI.h"

namespace wizard_test {

// Hands the skin archive carried in this program's resources to the UI framework (once).
bool RegisterTestSkin();

// The window manager's control of that name, or null.
SkinUI::CControlUI* Control(SkinUI::CWindowManagerUI& manager, const wchar_t* name);
// The centre of a control, in client coordinates.
POINT CentreOf(SkinUI::CWindowManagerUI& manager, const wchar_t* name);
// A left click as the window would get it from the mouse, posted at a client point.
void PostClick(HWND window, POINT client);
bool PostClickOn(HWND window, SkinUI::CWindowManagerUI& manager, const wchar_t* name);

// Processes this thread's messages for a while.
void Pump(DWORD ms);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Runs `action` from this thread's message loop once a window of that class is shown and painted (for
// modal boxes, whose loop does not return until they close). Polls every 50 ms for timeoutMs.
// Clicks a button of a box that the click closes, and clicks again every 300 ms while the box is still
// shown: the box may be visible a moment before its first layout gives the button its place.
void ClickBoxButton(HWND box, POINT client);

void WhenWindowAppears(const wchar_t* className, std::function<void(HWND)> action, DWORD timeoutMs = 10000);

// Writes the window as it is on the screen to <build>/screenshots/<name>.png. False when the
// window is not on screen or the file could not be written.
bool SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace wizard_test

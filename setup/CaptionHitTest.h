// The hit test of the frameless windows: the caption band given by the window manager drags the
// window, except over the controls that must stay clickable there.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "ui/core/WindowManagerUI.h"

// HTCAPTION inside the band where no clickable control lies, HTCLIENT everywhere else. The band's
// left and right are distances from the client edges, its top and bottom positions from the top.
LRESULT HitTestCaptionBand(HWND window, SkinUI::CWindowManagerUI& manager, LPARAM lParam,
                           std::initializer_list<const wchar_t*> clickableClasses);

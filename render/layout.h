#pragma once

#include <windows.h>

// The rectangle of one of the panel's layout controls in the window's client coordinates: the
// control's top-left corner converted from the screen, with its screen width and height. False,
// leaving rect alone, when the window has no such control or its rectangle cannot be taken.
bool ControlRect(HWND window, int id, RECT& rect);

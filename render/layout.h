#pragma once

#include <windows.h>

// The rectangle of one of the panel's layout controls in the window's client coordinates: the
// control's top-left corner converted from the screen, with its screen width and height. False,
// leaving rect alone, when the window has no such control or its rectangle cannot be taken.
bool ControlRect(HWND window, int id, RECT& rect);

// The painting's copy of every layout control's rectangle, taken when the render resources are
// built. The controls never move, and asking the system costs more than drawing: under Wine one
// control's rectangle takes about 45 microseconds, and a frame draws at some forty controls.
void TakeControlRects(HWND window);
// The rectangle as last taken for this window; for another window, or an id that is no layout
// control, it is asked of the system as ControlRect does.
bool PanelControlRect(HWND window, int id, RECT& rect);

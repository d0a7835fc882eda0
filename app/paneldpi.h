#pragma once

#include <windows.h>

// The panel on a monitor of another DPI (moved there, or the monitor's scale changed): the system
// leaves the dialog alone (KeepDialogLayout), and the panel lays itself out again, as at start-up.

// The panel's size at `dpi`, from its own layout: the answer to WM_GETDPISCALEDSIZE, so that the
// system suggests exactly that size with WM_DPICHANGED. False when the layout cannot be made.
bool PanelSizeAtDpi(UINT dpi, SIZE& size);

// WM_DPICHANGED, also while start-up places the panel: lays the panel out at `dpi` (the message's
// high word), rebuilds what it is drawn with, fits the tooltip, puts the window at the suggested
// rectangle's corner in the layout's size, reshapes it and repaints.
void OnPanelDpiChanged(HWND window, UINT dpi, const RECT& suggested);

// The first shape, at the end of start-up. Until then a DPI change leaves the shape to it; after the
// panel's teardown (ForgetPanelShape) again.
void ShapeNewPanel(HWND window);
void ForgetPanelShape();

// WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE: a shape a DPI change asks for during a move is made when the
// move ends, so that a mask built from a bitmap never runs its wait inside the user's drag.
void OnPanelMoveStarted();
void OnPanelMoveEnded(HWND window);

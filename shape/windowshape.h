#pragma once

#include <windows.h>

// The panel window's shape, chosen by the theme's [MASK] Mode (MASK_MODE, config/keyschema.h): none,
// a rounded rectangle, a colour key from the skin, the colour key [MASK] Color, or a region from the
// [MASK] File bitmap.

// Applies the current mode to `window`, always starting from a rectangular, layered and opaque
// window. `clientRect` and `skinSurface` are the render resources' client rectangle and skin
// surface (null when there is none), `dpi` the DPI the panel is drawn at (the rounded corners grow
// with it). `requester` is disabled while a mask region is being built:
// the panel itself, or the settings dialog when that asked. A failed rounded or mask shape sets
// [MASK] Mode to 0, and a failed mask shape shows the mask error. Runs on the user-interface
// thread; a mask build runs the message dialog's loop until CMD_MASK_BUILT (resources/resource.h) has arrived.
void ApplyWindowShape(HWND requester, HWND window, const RECT& clientRect, HDC skinSurface, UINT dpi);

// The panel window's answer to CMD_MASK_BUILT: ends the shown message dialog with the
// result and, when the build failed, shows the mask error.
void OnMaskRegionBuilt(HWND window, LPARAM result);

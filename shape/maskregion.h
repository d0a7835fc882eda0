#pragma once

#include <windows.h>

// The panel's region from a black-and-white mask bitmap: the mask is stretched over the panel,
// and every exactly black pixel is cut out of the rectangle that reaches one pixel past the right
// and bottom edges of `rect` (only its width and height count; the region is in window
// coordinates). Only Windows bitmap files serve as masks.

// The region, or null when the mask is missing or not a bitmap, `rect` is empty, the region would
// have more rectangles than MaskRegionRectLimit allows for the panel's height, or the system
// refuses a surface or the region.
HRGN MaskRegionFromFile(const RECT& rect, const char* maskPath);

// Makes the region, gives it to `window` and, once the window has taken it, writes it to the cache
// file (a failure there is ignored: the next application builds again). Non-zero when the window
// took the region. Runs on a worker thread; touches the window only through SetWindowRgn.
int BuildMaskRegion(HWND window, const RECT& rect, const char* maskPath, const char* cachePath);

#pragma once

#include <windows.h>

// Recomposes the panel into the back buffer and asks the window to repaint; while minimised it
// only shows the minimised view. Ends with the LED brightness update.
void RefreshPanel(HWND window);

// What a minimised panel shows instead of a frame: the shell installs its readings caption.
// Without one (null) a minimised panel shows nothing new. Refreshes run on measurement workers
// too, so it is swapped atomically.
using MINIMISEDVIEW = void (*)(HWND window);
void SetMinimisedView(MINIMISEDVIEW view);

// Draws one whole frame into dc (the back buffer) and invalidates the window without erasing.
void ComposePanel(HWND window, HDC dc);

// The x coordinate of history entry index as the graph last drew it (the same for every trace);
// -1 outside the history's range.
int GraphPointX(int index);

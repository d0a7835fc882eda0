#pragma once

#include <windows.h>

// Recomposes the panel into the back buffer and asks the window to repaint; while minimised it
// only updates the caption. Ends with the LED brightness update.
void RefreshPanel(HWND window);

// Draws one whole frame into dc (the back buffer) and invalidates the window without erasing.
void ComposePanel(HWND window, HDC dc);

// The x coordinate of history entry index as the graph last drew it (the same for every trace);
// -1 outside the history's range.
int GraphPointX(int index);

#pragma once

#include <windows.h>

// Recomposes the panel into the back buffer and asks the window to repaint; while minimised it
// only updates the caption. Ends with the LED brightness update.
void RefreshPanel(HWND window);

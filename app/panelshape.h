#pragma once

#include <windows.h>

// The panel's shape from the current theme and render resources.
void ReshapePanel(HWND requester, HWND window);

#pragma once

#include <windows.h>

// Gives the window a taskbar button (show not 0) or makes it a tool window without one.
void ShowInTaskbar(HWND window, int show);
// The same style for a window not shown yet, which it leaves hidden.
void SetTaskbarStyle(HWND window, int show);
// Brings a window to the foreground even when another process owns the foreground.
void ForceForeground(HWND window);

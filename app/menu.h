#pragma once

#include <windows.h>

// The panel's context menu and its commands.
void ShowContextMenu(HWND window);
void RunCommand(HWND window, WORD command, LPARAM lParam);

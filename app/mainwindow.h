#pragma once

#include <windows.h>

// The panel's dialog procedure (template 200).
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

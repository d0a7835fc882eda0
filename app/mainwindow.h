#pragma once

#include <windows.h>

enum {
    MEASURE_TIMER_ID = 4096,
    CMD_REFRESH = 32769,
    CMD_RESET_MAXIMUM = 32770,
    CMD_MINIMIZE = 32771,
    CMD_TASKBAR = 32772,
    CMD_STABLE = 32773,
    CMD_SKIN = 32774,
    CMD_MASK_NONE = 32775,
    CMD_MASK_ROUND = 32776,
    CMD_MASK_AUTO = 32777,
    CMD_MASK_COLOR = 32784,
    CMD_MASK_BITMAP = 32785,
    CMD_LOG = 32786,
    CMD_SETTINGS = 32992,
    CMD_CONFIG_LOAD = 32993,
    CMD_CONFIG_SAVE = 32994,
    CMD_THEME_LOAD = 32995,
    CMD_THEME_SAVE = 32996,
    CMD_MASK_BUILT = 33022,
    CMD_EXIT = 33023,
};

// The panel's dialog procedure (template 200).
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the window a taskbar button (show not 0) or makes it a tool window without one.
void ShowInTaskbar(HWND window, int show);
// The same style for a window not shown yet, which it leaves hidden.
void SetTaskbarStyle(HWND window, int show);
// Brings a window to the foreground even when another process owns the foreground.
void ForceForeground(HWND window);

// The measurement timer runs only once: starting a running timer changes nothing.
void StartMeasureTimer(HWND window);
void StopMeasureTimer(HWND window);

// Context menu and its commands.
void ShowContextMenu(HWND window);
void RunCommand(HWND window, WORD command, LPARAM lParam);

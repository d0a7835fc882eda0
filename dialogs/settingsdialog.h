#pragma once

#include <windows.h>

// Opens the settings dialog over the panel, or brings the open one to the front: there is never a
// second one. The dialog is modeless; App.settingsDialog holds its window while it is open.
void OpenSettingsDialog(HWND panel);

// The frame's procedure (template 201): the tab control, the eight pages of dialogs/pages.h and
// the buttons OK ("設 定"), Cancel ("中 止") and Apply ("適 用").
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

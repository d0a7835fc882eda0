#pragma once

#include <windows.h>

// The eight pages of the settings dialog, one procedure and one file each, in tab order. Every
// page is a child dialog of the frame, made from its own template (resources/settings.rc) each
// time the dialog opens and destroyed with it.
//
// The store command: the frame sends every page WM_COMMAND with the low word
// PAGE_STORE_COMMAND, the high word 0 and lParam 0, on OK and on Apply, with the measurement
// timer stopped. A page answers it by copying its controls and working state into CONFIG or
// THEMEDATA; until then it changes neither record. Afterwards the frame rebuilds the render
// resources, reshapes and repaints the panel and, on OK, saves both files. Leaving a page sends it
// nothing: a page is never asked to validate.
constexpr WORD PAGE_STORE_COMMAND = IDOK;

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AlertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LabelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GraphPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SkinPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

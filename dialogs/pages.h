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

// A page is one row of handlers, each optional (null when the page has nothing to do there), and
// one procedure dispatches every page through its row.
struct PAGEHANDLERS {
    // WM_INITDIALOG: TRUE to let the system set the focus.
    BOOL (*init)(HWND page);
    // WM_COMMAND from the page's own controls.
    void (*command)(HWND page, WORD id, WORD code);
    // The store command.
    void (*store)(HWND page);
    // WM_CTLCOLORSTATIC: the swatches in their working colours, every other static as the dialog.
    INT_PTR (*swatchColors)(WPARAM wParam, LPARAM lParam);
    // WM_DESTROY: releases what the page holds.
    void (*destroy)(HWND page);
    // Any other message the page answers itself (the Information page paints, shows and times its
    // bars); true when it did, with the procedure's answer in `result`.
    bool (*other)(HWND page, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
};

extern const PAGEHANDLERS SettingsPage;
extern const PAGEHANDLERS AlertPage;
extern const PAGEHANDLERS LabelPage;
extern const PAGEHANDLERS ColorPage;
extern const PAGEHANDLERS GraphPage;
extern const PAGEHANDLERS SkinPage;
extern const PAGEHANDLERS InformationPage;
extern const PAGEHANDLERS VersionPage;

// The procedure of every page made by the frame: the row comes as the creation parameter and is
// kept in the page's DWLP_USER.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The dispatch itself, for a row at hand.
INT_PTR DispatchPage(const PAGEHANDLERS& row, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Each page's procedure under its own name, dispatching through its row.

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AlertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LabelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GraphPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SkinPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

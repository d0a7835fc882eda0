#pragma once

#include <windows.h>

// The modal message dialog of template 210: an icon and up to four centred lines, no buttons.
// Only its owner ends it, with EndDialog on the window the request holds while it is shown.

struct MESSAGEREQUEST {
    HINSTANCE instance;
    HWND parent;
    HWND window;              // the dialog, while it is shown
    HICON icon;               // null: the system's exclamation icon
    const char* title;        // null: the template's title
    const char* const* lines; // up to four, ended by a null entry
};

// The one request: fill it, then run DialogBoxParamA with template 210 and MessageDialog.
// Cleared when the dialog goes.
extern MESSAGEREQUEST MessageRequest;

INT_PTR CALLBACK MessageDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the request and runs the dialog over `parent`. Its result is what the owner gave
// EndDialog; -1 when it could not be shown, also while another message dialog is shown (the two
// would share the one request).
INT_PTR ShowMessageDialog(HINSTANCE instance, HWND parent, HICON icon, const char* title, const char* const* lines);

// Ends the shown message dialog with `result`; false when none is shown.
bool EndMessageDialog(INT_PTR result);

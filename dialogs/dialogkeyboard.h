#pragma once

#include <windows.h>

// Keyboard navigation for the modeless settings dialog. The panel runs inside DialogBoxParamA's
// loop, which hands IsDialogMessage only the panel's own messages, so without help no Tab, Escape
// or mnemonic reaches the dialog. A message hook on the user-interface thread gives the dialog's
// keyboard messages to IsDialogMessage while the dialog exists: Tab and Shift+Tab move through
// the shown page and the buttons, Escape cancels, Enter presses OK. Ctrl+Tab and Ctrl+Shift+Tab are
// taken first (IsDialogMessage would treat them as Tab) and handed to `switchPage`. Messages of
// any other window, the panel's included, pass untouched.
using PAGESWITCH = void (*)(HWND dialog, bool forward);

// One dialog at a time; false when the hook could not be set (the dialog then works by mouse).
bool InstallDialogKeyboard(HWND dialog, PAGESWITCH switchPage);
void RemoveDialogKeyboard();

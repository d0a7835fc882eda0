#include "app/taskbar.h"

#include "app/appstate.h"
#include "config/config.h"

void SetTaskbarStyle(HWND window, int show)
{
    LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (show)
        style &= ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW);
    else
        style |= WS_EX_TOOLWINDOW;
    SetWindowLongPtrA(window, GWL_EXSTYLE, style);
}

void ShowInTaskbar(HWND window, int show)
{
    // The taskbar takes a changed tool-window style only from a window that is shown anew.
    ShowWindow(window, SW_HIDE);
    SetTaskbarStyle(window, show);
    ShowWindow(window, SW_SHOW);
}

void ForceForeground(HWND window)
{
    // Every system this 64-bit program runs on refuses SetForegroundWindow to a background
    // process, so it always borrows the input of the current foreground thread.
    HWND foreground = GetForegroundWindow();
    DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    DWORD ownThread = GetCurrentThreadId();
    bool attached = foregroundThread && foregroundThread != ownThread &&
                    AttachThreadInput(ownThread, foregroundThread, TRUE);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(ownThread, foregroundThread, FALSE);
    BringWindowToTop(window);
}

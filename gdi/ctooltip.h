#pragma once

#include <windows.h>
#include <commctrl.h>

// Owner of the panel's tooltip control and of its single tool registration.
class CTOOLTIP {
public:
    CTOOLTIP();
    virtual ~CTOOLTIP();
    CTOOLTIP(const CTOOLTIP&) = delete;
    CTOOLTIP& operator=(const CTOOLTIP&) = delete;

    // Removes the tool and destroys the tooltip window; harmless when there is none.
    void Close();

    HINSTANCE instance;
    HWND window;
    HICON icon;
    int active;
    TOOLINFOA tool;
};

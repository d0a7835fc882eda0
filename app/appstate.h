#pragma once

#include <windows.h>

#include "resources/resource.h"

// Process-wide state of the shell, filled at start-up.
struct APPSTATE {
    HINSTANCE instance;
    HICON icons[IDI_COUNT];
    HWND mainWindow;
    HWND settingsDialog;
    UINT_PTR timerId;
    // A measurement worker did not come back from the driver before the panel ended; the
    // process must then end without running its static destructors under that worker.
    bool workersLeft;
};

extern APPSTATE App;

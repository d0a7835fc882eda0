#pragma once

#include <windows.h>

// Opens the settings dialog over the panel, or brings the open one to the front.
void OpenSettingsDialog(HWND panel);

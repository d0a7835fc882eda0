#pragma once

#include <windows.h>

// Creates the panel's tooltip (Tooltip, render/panelres.h) over the temperature blocks, with the
// sensor text (null: the text is asked of the window when shown), the [TOOLTIP] Title and the
// tooltip icon. Fails when the tooltip already exists or the control cannot be made.
bool CreateTooltip(HWND window, const char* text);

// Removes the tool, destroys the tooltip window and its title icon and clears the object.
void RemoveTooltip();

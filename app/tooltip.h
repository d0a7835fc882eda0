#pragma once

#include <windows.h>

// Creates the panel's tooltip (Tooltip, render/panelres.h) over the temperature blocks of the panel's
// layout (LayOutPanel), with the sensor text (null: the text is asked of the window when shown), the
// [TOOLTIP] Title and the tooltip icon. Fails when the tooltip already exists or the control cannot
// be made.
bool CreateTooltip(HWND window, const char* text);

// Fits the tooltip to the panel's layout after a DPI change: the tool's rectangle, the tip's width
// and the title icon's size.
void FitTooltipToPanel();

// Removes the tool, destroys the tooltip window and its title icon and clears the object.
void RemoveTooltip();

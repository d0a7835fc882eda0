#pragma once

#include <windows.h>

// Sets the panel's caption (its taskbar button's text) and with it the title band's text: the
// GPU's identity when temperatures or usages is null, otherwise the readings. temperatures holds
// core and ambient, usages core, memory and video; memory in use in MB, fan level in per cent.
// The window text is only set when it changes. May run on a measurement worker.
void SetCaptionText(HWND window, const unsigned int* temperatures, const unsigned int* usages,
                    unsigned int memoryUsed, unsigned int fanLevel);

// The caption of a minimised panel: the current readings.
void ShowReadingsCaption(HWND window);

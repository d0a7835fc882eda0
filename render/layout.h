#pragma once

#include <windows.h>
#include <cstddef>

// A dialog template laid out by the program itself, at any DPI: the panel's controls are never
// drawn, they only give the places its painting draws at, and the panel must find them again on a
// monitor of another DPI, where the system does not lay it out anew (or, like Wine, never does).
//
// The template's dialog units become pixels as the dialog manager makes them: its font is made
// FONT points high at the DPI, the horizontal base unit is the average width of the 52 Latin letters
// in that font ((width / 26 + 1) / 2), the vertical one the font's height, and each coordinate and
// size is x * base / 4 or y * base / 8, rounded to the nearest pixel (MulDiv). At the DPI the system
// made the dialog at, this gives its client area and its controls' rectangles exactly.

constexpr int LAYOUT_CONTROL_CAPACITY = 64;

struct LAYOUTCONTROL {
    int id;
    RECT rect;  // in client pixels, right and bottom exclusive
};

struct DIALOGLAYOUT {
    UINT dpi;
    RECT client;  // (0, 0) to the client area's width and height
    int count;
    LAYOUTCONTROL controls[LAYOUT_CONTROL_CAPACITY];
};

// Lays out an extended dialog template (DIALOGEX) of `size` bytes at `dpi`. False, leaving `layout`
// alone, for a template that is cut short, is no extended one, has no font of its own (DS_SETFONT),
// has more controls than LAYOUT_CONTROL_CAPACITY, or whose font cannot be made.
[[nodiscard]] bool LayOutDialogTemplate(const void* dialogTemplate, size_t size, UINT dpi, DIALOGLAYOUT& layout);
// The same for the dialog resource `templateId` of `module`; false when it is missing.
[[nodiscard]] bool LayOutDialogResource(HMODULE module, int templateId, UINT dpi, DIALOGLAYOUT& layout);

// The rectangle of control `id`; false when the layout has no such control.
bool LayoutRect(const DIALOGLAYOUT& layout, int id, RECT& rect);

#pragma once

#include <windows.h>

#include "gdi/ctooltip.h"
#include "gdi/gdiobjects.h"
#include "gdi/winmemdc.h"
#include "image/winimg.h"
#include "render/hover.h"

enum PANEL_FONT {
    FONT_TITLE,
    FONT_FRAME,
    FONT_LABEL,
    FONT_VALUE,
    FONT_UNIT,
    PANEL_FONTS_MADE,      // the panel's own fonts; the rest belong to the Version tab
    PANEL_FONT_COUNT = 8
};

enum PANEL_PEN {
    PEN_GRID,
    PEN_TRACE_FIRST,       // one per graph trace, in the order of the theme's traces
    PEN_FAULT = 10,
    PANEL_PEN_COUNT
};

// Everything the panel is drawn with, made in advance from the theme, and the layout taken from
// the panel's controls. Painting creates no GDI object of its own.
struct PANELRES {
    WINIMG skin;
    WINMEMDC skinSurface;  // the skin stretched to the client size
    WINMEMDC backBuffer;   // each frame is composed here, then copied to the screen
    RECT clientRect;       // stored by the main window before the first build
    int clientX;
    int clientY;
    int clientW;
    int clientH;
    RECT graphRect;
    int graphX;
    int graphY;
    int graphW;
    int graphH;
    RECT hotRect[HOVER_FIELD_COUNT];
    WINFONT fonts[PANEL_FONT_COUNT];
    WINPEN pens[PANEL_PEN_COUNT];
    WINBRUSH backgroundBrush;
    WINBRUSH frameBrush;
    WINBRUSH faceBrush;    // backgrounds of the settings pages
};

// The process-wide render resources and the panel's tooltip, destroyed at exit in reverse order:
// the tooltip first, then the brushes, pens, fonts, surfaces and the skin.
extern PANELRES PanelRes;
extern CTOOLTIP Tooltip;

// Makes every object from the theme and takes the layout; true when all were made. Waits for a
// paint in progress. A failed build keeps what it made until the next free.
[[nodiscard]] bool BuildRenderResources(HWND window);
void FreeRenderResources();

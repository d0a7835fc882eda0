#pragma once

#include <windows.h>

#include "base/dpi.h"
#include "gdi/ctooltip.h"
#include "gdi/gdiobjects.h"
#include "gdi/winmemdc.h"
#include "image/winimg.h"
#include "render/hover.h"
#include "render/layout.h"

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

// Everything the panel is drawn with, made in advance from the theme, and its layout at the DPI it
// is drawn at. Painting creates no GDI object of its own.
struct PANELRES {
    WINIMG skin;
    WINMEMDC skinSurface;  // the skin stretched to the client size
    WINMEMDC backBuffer;   // each frame is composed here, then copied to the screen
    UINT dpi = BASE_DPI;   // the DPI of the layout and of every object made
    DIALOGLAYOUT layout;   // template 200 at that DPI: where the painting draws
    RECT clientRect;       // the layout's client area
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

// Lengths of the painting in pixels at the panel's DPI: the theme's held to the panel first, and the
// program's own.
struct PANELMETRICS {
    int shadowOffset;  // [SHADOW] Offset
    int unitOffset;    // [UNIT] Offset, the scale labels' indent
    int unitShadow;    // how far the scale labels' shadow lies: 1
    int blockDrop;     // how far a block's frame lies below its group box's top: 8
    int line;          // a frame line's width: 1
};

// The process-wide render resources and the panel's tooltip, destroyed at exit in reverse order:
// the tooltip first, then the brushes, pens, fonts, surfaces and the skin.
extern PANELRES PanelRes;
extern CTOOLTIP Tooltip;

// Lays the panel out at `dpi` from template 200 of the program's resources (ResourceModule): its
// client rectangle, the graph and value field rectangles and every place the painting draws at.
// False, changing nothing, when the template cannot be read. Waits for a paint in progress. The
// objects follow with the next build.
[[nodiscard]] bool LayOutPanel(UINT dpi);
// The rectangle of a layout control of the panel, as laid out last; false for an id that is none.
bool PanelControlRect(int id, RECT& rect);

// Makes every object from the theme at the layout's DPI; true when all were made. Waits for a paint
// in progress. A failed build keeps what it made until the next free.
[[nodiscard]] bool BuildRenderResources(HWND window);
void FreeRenderResources();

// The painting's lengths for the current theme and layout.
PANELMETRICS PanelMetrics();
// A theme font as the panel draws it at `dpi`: held to the panel, then scaled.
LOGFONTA PanelFont(const LOGFONTA& theme, UINT dpi);
// A trace pen's width as the panel draws it at `dpi`: held to the graph, then scaled. Width 0, the
// system's one-pixel pen, stays so until a 96-dpi pixel is two or more.
int PanelPenWidth(int width, UINT dpi);

#include "render/panelres.h"

#include "base/critsect.h"
#include "config/theme.h"
#include "render/drawlimits.h"
#include "render/layout.h"
#include "resources/resource.h"

PANELRES PanelRes;
// Defined after the render resources so that it is destroyed before them at exit.
CTOOLTIP Tooltip;

namespace {

// The controls never move, so a rectangle that cannot be taken keeps the one stored before.
void TakeLayout(HWND window)
{
    PANELRES& res = PanelRes;
    RECT rect;
    if (ControlRect(window, IDC_GRAPH, rect)) {
        res.graphRect = rect;
        res.graphX = rect.left;
        res.graphY = rect.top;
        res.graphW = rect.right - rect.left;
        res.graphH = rect.bottom - rect.top;
    }
    for (int field = 0; field < HOVER_FIELD_COUNT; ++field) {
        if (ControlRect(window, HoverFieldIds[field], rect))
            res.hotRect[field] = rect;
    }
    TakeControlRects(window);
}

// The skin is loaded whether it is enabled or not, so that the context menu can switch it on
// without a rebuild. One that does not load is no failure: the surface then holds the colour the
// panel has without a skin, so that a missing or refused skin shows as the plain panel (a fresh
// surface's content is undefined, black under Wine) and a colour key taken from it reads a
// defined pixel.
void PaintSkinSurface()
{
    PANELRES& res = PanelRes;
    HDC surface = res.skinSurface.hdc;
    if (!res.skin.Load(Theme.Skin.File)) {
        const RECT whole = {res.clientX, res.clientY, res.clientX + res.clientW, res.clientY + res.clientH};
        SetDCBrushColor(surface, Theme.Skin.Color);
        FillRect(surface, &whole, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    // Halftoning a monochrome image would grey its edges; keeping black over white keeps its lines.
    SetStretchBltMode(surface, res.skin.bm.bmBitsPixel < 3 ? BLACKONWHITE : HALFTONE);
    SetBrushOrgEx(surface, 0, 0, nullptr);
    StretchBlt(surface, res.clientX, res.clientY, res.clientW, res.clientH, res.skin.hdc, 0, 0,
               res.skin.bm.bmWidth, res.skin.bm.bmHeight, SRCCOPY);
}

bool MakeFont(PANEL_FONT font, const LOGFONTA& theme)
{
    PANELRES& res = PanelRes;
    return res.fonts[font].Create(HeldFont(theme, res.clientW, res.clientH));
}

bool MakeFonts()
{
    return MakeFont(FONT_TITLE, Theme.Font.Title) && MakeFont(FONT_FRAME, Theme.Font.Frame) &&
           MakeFont(FONT_LABEL, Theme.Font.Label) && MakeFont(FONT_VALUE, Theme.Font.Value) &&
           MakeFont(FONT_UNIT, Theme.Unit.Font);
}

// [GRID] Width plays no part: the grid is always the one-pixel dotted pen.
bool MakePens()
{
    WINPEN* pens = PanelRes.pens;
    if (!pens[PEN_GRID].CreateDotted(Theme.Grid.Color))
        return false;
    for (int trace = 0; trace < TRACE_COUNT; ++trace) {
        const THEMETRACE& line = Theme.Trace[trace];
        if (!pens[PEN_TRACE_FIRST + trace].Create(PS_SOLID, HeldPenWidth(line.Width, PanelRes.graphW), line.Color))
            return false;
    }
    return pens[PEN_FAULT].Create(PS_SOLID, 32, RGB(255, 0, 0));
}

bool MakeBrushes()
{
    PANELRES& res = PanelRes;
    return res.backgroundBrush.Create(Theme.Skin.Color) && res.frameBrush.Create(Theme.Frame.Color) &&
           res.faceBrush.Create(GetSysColor(COLOR_BTNFACE));
}

}  // namespace

bool BuildRenderResources(HWND window)
{
    // Building and freeing wait for the Update section, when it exists: a paint on a measurement
    // worker finishes before the objects it draws with go away.
    SECTIONGUARD hold(UpdateSection);
    PANELRES& res = PanelRes;
    res.clientX = res.clientRect.left;
    res.clientY = res.clientRect.top;
    res.clientW = res.clientRect.right - res.clientRect.left;
    res.clientH = res.clientRect.bottom - res.clientRect.top;

    bool surfaces = res.backBuffer.Create(window, res.clientW, res.clientH) &&
                    res.skinSurface.Create(window, res.clientW, res.clientH);
    TakeLayout(window);
    if (!surfaces)
        return false;

    PaintSkinSurface();
    return MakeFonts() && MakePens() && MakeBrushes();
}

void FreeRenderResources()
{
    SECTIONGUARD hold(UpdateSection);
    PANELRES& res = PanelRes;
    res.skin.Close();
    res.skinSurface.Close();
    res.backBuffer.Close();
    for (int font = 0; font < PANEL_FONTS_MADE; ++font)
        res.fonts[font].Close();
    for (WINPEN& pen : res.pens)
        pen.Close();
    res.backgroundBrush.Close();
    res.frameBrush.Close();
    res.faceBrush.Close();
}

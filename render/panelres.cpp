#include "render/panelres.h"

#include "base/critsect.h"
#include "config/theme.h"
#include "render/drawlimits.h"
#include "resources/resource.h"
#include "ui/resourcemodule.h"

PANELRES PanelRes;
// Defined after the render resources so that it is destroyed before them at exit.
CTOOLTIP Tooltip;

namespace {

// The fault cross's red pen, and the program's own lengths of the painting (PANELMETRICS).
constexpr int FAULT_PEN_WIDTH = 32;
constexpr int UNIT_SHADOW = 1;
constexpr int BLOCK_FRAME_DROP = 8;
constexpr int FRAME_LINE = 1;

void TakeClientSize()
{
    PANELRES& res = PanelRes;
    res.clientX = res.clientRect.left;
    res.clientY = res.clientRect.top;
    res.clientW = res.clientRect.right - res.clientRect.left;
    res.clientH = res.clientRect.bottom - res.clientRect.top;
}

// A template without the graph or a value field keeps the rectangle stored before.
void TakeLayout(const DIALOGLAYOUT& layout)
{
    PANELRES& res = PanelRes;
    res.dpi = layout.dpi;
    res.layout = layout;
    res.clientRect = layout.client;
    TakeClientSize();
    RECT rect;
    if (LayoutRect(layout, IDC_GRAPH, rect)) {
        res.graphRect = rect;
        res.graphX = rect.left;
        res.graphY = rect.top;
        res.graphW = rect.right - rect.left;
        res.graphH = rect.bottom - rect.top;
    }
    for (int field = 0; field < HOVER_FIELD_COUNT; ++field) {
        if (LayoutRect(layout, HoverFieldIds[field], rect))
            res.hotRect[field] = rect;
    }
}

// The panel's extent in 96-dpi pixels, the unit of the theme's lengths and of their limits.
int ThemeExtent(int pixels) { return ScaleFromDpi(pixels, PanelRes.dpi); }

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
    return PanelRes.fonts[font].Create(PanelFont(theme, PanelRes.dpi));
}

bool MakeFonts()
{
    return MakeFont(FONT_TITLE, Theme.Font.Title) && MakeFont(FONT_FRAME, Theme.Font.Frame) &&
           MakeFont(FONT_LABEL, Theme.Font.Label) && MakeFont(FONT_VALUE, Theme.Font.Value) &&
           MakeFont(FONT_UNIT, Theme.Unit.Font);
}

// [GRID] Width plays no part: the grid is always the dotted pen of one 96-dpi pixel.
bool MakePens()
{
    const UINT dpi = PanelRes.dpi;
    WINPEN* pens = PanelRes.pens;
    if (!pens[PEN_GRID].CreateDotted(Theme.Grid.Color, ScaleToDpi(1, dpi)))
        return false;
    for (int trace = 0; trace < TRACE_COUNT; ++trace) {
        const THEMETRACE& line = Theme.Trace[trace];
        if (!pens[PEN_TRACE_FIRST + trace].Create(PS_SOLID, PanelPenWidth(line.Width, dpi), line.Color))
            return false;
    }
    return pens[PEN_FAULT].Create(PS_SOLID, ScaleToDpi(FAULT_PEN_WIDTH, dpi), RGB(255, 0, 0));
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
    TakeClientSize();
    if (!res.backBuffer.Create(window, res.clientW, res.clientH) ||
        !res.skinSurface.Create(window, res.clientW, res.clientH))
        return false;

    PaintSkinSurface();
    return MakeFonts() && MakePens() && MakeBrushes();
}

bool LayOutPanel(UINT dpi)
{
    DIALOGLAYOUT layout;
    if (!LayOutDialogResource(ResourceModule, IDD_PANEL, dpi, layout))
        return false;
    SECTIONGUARD hold(UpdateSection);
    TakeLayout(layout);
    return true;
}

bool PanelControlRect(int id, RECT& rect) { return LayoutRect(PanelRes.layout, id, rect); }

PANELMETRICS PanelMetrics()
{
    const PANELRES& res = PanelRes;
    const int extent = res.clientW > res.clientH ? res.clientW : res.clientH;
    PANELMETRICS metrics;
    metrics.shadowOffset = ScaleToDpi(HeldOffset(Theme.Shadow.Offset, ThemeExtent(extent)), res.dpi);
    metrics.unitOffset = ScaleToDpi(HeldOffset(Theme.Unit.Offset, ThemeExtent(res.graphW)), res.dpi);
    metrics.unitShadow = ScaleToDpi(UNIT_SHADOW, res.dpi);
    metrics.blockDrop = ScaleToDpi(BLOCK_FRAME_DROP, res.dpi);
    metrics.line = ScaleToDpi(FRAME_LINE, res.dpi);
    return metrics;
}

LOGFONTA PanelFont(const LOGFONTA& theme, UINT dpi)
{
    LOGFONTA font = HeldFont(theme, ThemeExtent(PanelRes.clientW), ThemeExtent(PanelRes.clientH));
    font.lfHeight = ScaleToDpi(font.lfHeight, dpi);
    font.lfWidth = ScaleToDpi(font.lfWidth, dpi);
    return font;
}

int PanelPenWidth(int width, UINT dpi)
{
    const int held = HeldPenWidth(width, ThemeExtent(PanelRes.graphW));
    if (held > 0)
        return ScaleToDpi(held, dpi);
    const int pixel = ScaleToDpi(1, dpi);
    return pixel > 1 ? pixel : 0;
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

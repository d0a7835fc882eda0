// Frames and texts of the title band and the three blocks.
#include "render/drawsteps.h"

#include "config/theme.h"
#include "render/panelres.h"
#include "render/paneltitle.h"
#include "resources/resource.h"

namespace {

// Text is never clipped to its control.
constexpr UINT TEXT_CENTRED = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
constexpr UINT TEXT_LEFT = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
constexpr UINT TEXT_RIGHT = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
static_assert(TEXT_CENTRED == 0x925 && TEXT_LEFT == 0x924 && TEXT_RIGHT == 0x926, "text layout flags");

struct TEXTCLASS {
    int font;
    COLORREF colour;
    COLORREF shadow;
    int shadowOn;
    UINT format;
};

TEXTCLASS TitleClass()
{
    return {FONT_TITLE, Theme.Color.Title, Theme.Shadow.Title, Theme.Shadow.EnableTitle, TEXT_CENTRED};
}

TEXTCLASS HeadingClass()
{
    return {FONT_FRAME, Theme.Color.Frame, Theme.Shadow.Frame, Theme.Shadow.EnableFrame, TEXT_CENTRED};
}

TEXTCLASS LabelClass()
{
    return {FONT_LABEL, Theme.Color.Label, Theme.Shadow.Label, Theme.Shadow.EnableLabel, TEXT_LEFT};
}

TEXTCLASS ValueClass()
{
    return {FONT_VALUE, Theme.Color.Value, Theme.Shadow.Value, Theme.Shadow.EnableValue, TEXT_RIGHT};
}

void DrawClassText(HDC dc, const TEXTCLASS& textClass, const char* text, const RECT& rect)
{
    HFONT font = PanelRes.fonts[textClass.font].hfont;
    if (font)
        SelectObject(dc, font);
    if (textClass.shadowOn) {
        const int offset = PanelMetrics().shadowOffset;
        RECT shadow = {rect.left + offset, rect.top + offset, rect.right + offset, rect.bottom + offset};
        SetTextColor(dc, textClass.shadow);
        DrawTextA(dc, text, -1, &shadow, textClass.format);
    }
    SetTextColor(dc, textClass.colour);
    RECT place = rect;
    DrawTextA(dc, text, -1, &place, textClass.format);
}

// A frame line `width` pixels wide inside the rectangle's edge.
void FrameLine(HDC dc, RECT rect, int width, HBRUSH brush)
{
    for (int ring = 0; ring < width; ++ring) {
        FrameRect(dc, &rect, brush);
        InflateRect(&rect, -1, -1);
    }
}

// A line of two widths whose four outer corners stay empty: the rectangle, then the same one a
// width narrower and a width taller. The block frames start at the group box's line, below the
// middle of its (empty) caption.
void DrawFrame(HDC dc, int id, bool block)
{
    HBRUSH brush = PanelRes.frameBrush.hbrush;
    RECT rect;
    if (!Theme.Frame.Enable || !brush || !PanelControlRect(id, rect))
        return;
    const PANELMETRICS metrics = PanelMetrics();
    const int line = metrics.line;
    if (block)
        rect.top += metrics.blockDrop;
    FrameLine(dc, rect, line, brush);
    rect.left += line;
    rect.top -= line;
    rect.right -= line;
    rect.bottom += line;
    FrameLine(dc, rect, line, brush);
}

}  // namespace

void DrawGraphFrame(HDC dc) { DrawFrame(dc, IDC_GRAPH, false); }

void DrawBlockFrame(HDC dc, int groupId, int headingId, const char* heading)
{
    DrawFrame(dc, groupId, true);
    RECT rect;
    if (headingId && PanelControlRect(headingId, rect))
        DrawClassText(dc, HeadingClass(), heading, rect);
}

void DrawTitle(HDC dc)
{
    DrawFrame(dc, IDC_TITLE, false);
    RECT rect;
    if (!PanelControlRect(IDC_TITLE, rect))
        return;
    char title[PANEL_TITLE_SIZE];
    CopyPanelTitle(title, sizeof title);
    DrawClassText(dc, TitleClass(), title, rect);
}

void DrawRow(HDC dc, int labelId, const char* label, int valueId, const char* valueText)
{
    RECT rect;
    if (PanelControlRect(labelId, rect))
        DrawClassText(dc, LabelClass(), label, rect);
    if (PanelControlRect(valueId, rect))
        DrawClassText(dc, ValueClass(), valueText, rect);
}

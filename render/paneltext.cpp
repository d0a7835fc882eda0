// Frames and texts of the title band and the three blocks.
#include "render/drawsteps.h"

#include "config/theme.h"
#include "render/drawlimits.h"
#include "render/layout.h"
#include "render/panelres.h"
#include "render/paneltitle.h"
#include "resources/resource.h"

namespace {

// Text is never clipped to its control.
constexpr UINT TEXT_CENTRED = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
constexpr UINT TEXT_LEFT = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
constexpr UINT TEXT_RIGHT = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
static_assert(TEXT_CENTRED == 0x925 && TEXT_LEFT == 0x924 && TEXT_RIGHT == 0x926, "text layout flags");

// The block frames start at the group box's line, below the middle of its (empty) caption.
constexpr int BLOCK_FRAME_DROP = 8;

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
        const PANELRES& res = PanelRes;
        const int offset = HeldOffset(Theme.Shadow.Offset, res.clientW > res.clientH ? res.clientW : res.clientH);
        RECT shadow = {rect.left + offset, rect.top + offset, rect.right + offset, rect.bottom + offset};
        SetTextColor(dc, textClass.shadow);
        DrawTextA(dc, text, -1, &shadow, textClass.format);
    }
    SetTextColor(dc, textClass.colour);
    RECT place = rect;
    DrawTextA(dc, text, -1, &place, textClass.format);
}

// A two-pixel line whose four outer corner pixels stay empty: the rectangle, then the same one
// a pixel narrower and a pixel taller.
void DrawFrame(HWND window, HDC dc, int id, int topDrop)
{
    HBRUSH brush = PanelRes.frameBrush.hbrush;
    RECT rect;
    if (!Theme.Frame.Enable || !brush || !PanelControlRect(window, id, rect))
        return;
    rect.top += topDrop;
    FrameRect(dc, &rect, brush);
    rect.left += 1;
    rect.top -= 1;
    rect.right -= 1;
    rect.bottom += 1;
    FrameRect(dc, &rect, brush);
}

}  // namespace

void DrawGraphFrame(HWND window, HDC dc) { DrawFrame(window, dc, IDC_GRAPH, 0); }

void DrawBlockFrame(HWND window, HDC dc, int groupId, int headingId, const char* heading)
{
    DrawFrame(window, dc, groupId, BLOCK_FRAME_DROP);
    RECT rect;
    if (headingId && PanelControlRect(window, headingId, rect))
        DrawClassText(dc, HeadingClass(), heading, rect);
}

void DrawTitle(HWND window, HDC dc)
{
    DrawFrame(window, dc, IDC_TITLE, 0);
    RECT rect;
    if (!PanelControlRect(window, IDC_TITLE, rect))
        return;
    char title[PANEL_TITLE_SIZE];
    CopyPanelTitle(title, sizeof title);
    DrawClassText(dc, TitleClass(), title, rect);
}

void DrawRow(HWND window, HDC dc, int labelId, const char* label, int valueId, const char* valueText)
{
    RECT rect;
    if (PanelControlRect(window, labelId, rect))
        DrawClassText(dc, LabelClass(), label, rect);
    if (PanelControlRect(window, valueId, rect))
        DrawClassText(dc, ValueClass(), valueText, rect);
}

#include "dialogs/progbar.h"

#include <climits>
#include <cstdio>

#include "base/dpi.h"
#include "base/scopeguards.h"

namespace {

// Multiplied before it is divided: 29 / 100 * 100 is 28.999..., and would show as 28%.
int Percent(double number, double scale) { return scale > 0 ? CutToInt(number * 100.0 / scale) : 0; }

void DrawLine(HDC dc, int fromX, int fromY, int toX, int toY)
{
    MoveToEx(dc, fromX, fromY, nullptr);
    LineTo(dc, toX, toY);
}

}  // namespace

int CutToInt(double number)
{
    if (number != number)
        return 0;
    if (number <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (number >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(number);
}

unsigned int CutToUnsigned(double number)
{
    if (!(number > 0))
        return 0;
    if (number >= static_cast<double>(UINT_MAX))
        return UINT_MAX;
    return static_cast<unsigned int>(number);
}

CPROGBAR::CPROGBAR()
    : parent(nullptr), placeholder(nullptr), dpi(BASE_DPI), scale(100.0), value(0), peak(0), font(nullptr),
      textColor(0),
      backgroundColor(0), barColor(0), lightEdgeColor(0), darkEdgeColor(0), showText(1), showPeak(0), border(1),
      transparent(0), textMode(1), text{}
{
}

CPROGBAR::~CPROGBAR()
{
    if (Attached())
        Detach();
}

void CPROGBAR::Attach(HWND parentWindow, HWND placeholderWindow)
{
    parent = parentWindow;
    placeholder = placeholderWindow;
}

void CPROGBAR::Detach()
{
    DeleteObjects();
    parent = nullptr;
    placeholder = nullptr;
}

bool CPROGBAR::CreateObjects()
{
    DeleteObjects();
    return backgroundBrush.Create(backgroundColor) && barBrush.Create(barColor) &&
           lightPen.Create(PS_SOLID, 0, lightEdgeColor) && darkPen.Create(PS_SOLID, 0, darkEdgeColor);
}

void CPROGBAR::DeleteObjects()
{
    backgroundBrush.Close();
    barBrush.Close();
    lightPen.Close();
    darkPen.Close();
}

bool CPROGBAR::Offer(unsigned int offered)
{
    if (offered > CutToUnsigned(scale))
        return false;
    value = offered;
    if (value > peak)
        peak = value;
    return true;
}

const char* CPROGBAR::FormatText()
{
    int valuePercent = Percent(value, scale);
    int peakPercent = Percent(peak, scale);
    switch (textMode) {
    case 0:
        if (showPeak)
            snprintf(text, sizeof text, "%d%%", peakPercent);
        else
            text[0] = '\0';
        break;
    case 1:
        if (showPeak)
            snprintf(text, sizeof text, "%d%% (%d%%)", valuePercent, peakPercent);
        else
            snprintf(text, sizeof text, "%d%%", valuePercent);
        break;
    case 2:
        if (showPeak)
            snprintf(text, sizeof text, "%d/%d (%d)", CutToInt(value), CutToInt(scale), CutToInt(peak));
        else
            snprintf(text, sizeof text, "%d/%d", CutToInt(value), CutToInt(scale));
        break;
    default:
        break;
    }
    return text;
}

void CPROGBAR::BarRectangles(const RECT& placeholder, bool withBorder, double value, double scale, int pixel,
                             RECT& outer, RECT& filled)
{
    outer = placeholder;
    if (withBorder)
        outer.right -= pixel;
    filled.left = outer.left + 2 * pixel;
    filled.top = outer.top + 2 * pixel;
    filled.bottom = outer.bottom - (withBorder ? 1 : 2) * pixel;
    // Multiplied before it is divided, so that a whole result stays whole.
    double shown = value > 0 ? (value < scale ? value : scale) : 0.0;
    int width = (outer.right - 2 * pixel) - filled.left;
    filled.right = filled.left + (width > 0 && scale > 0 ? CutToInt(width * shown / scale) : 0);
}

bool CPROGBAR::Rectangles(RECT& outer, RECT& filled) const
{
    RECT screen;
    if (!Attached() || !GetWindowRect(placeholder, &screen))
        return false;
    POINT corner = {screen.left, screen.top};
    ScreenToClient(parent, &corner);
    RECT inParent = {corner.x, corner.y, corner.x + (screen.right - screen.left),
                     corner.y + (screen.bottom - screen.top)};
    BarRectangles(inParent, border != 0, value, scale, ScaleToDpi(1, dpi), outer, filled);
    return true;
}

void CPROGBAR::Paint(HDC dc)
{
    FormatText();
    RECT outer;
    RECT filled;
    if (!dc || !Rectangles(outer, filled))
        return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    SetBkColor(dc, backgroundColor);
    SELECTIONGUARD fontSelection(dc, font);
    if (!transparent && backgroundBrush.hbrush)
        FillRect(dc, &outer, backgroundBrush.hbrush);
    if (barBrush.hbrush && filled.right > filled.left)
        FillRect(dc, &filled, barBrush.hbrush);
    if (showText)
        DrawTextA(dc, text, -1, &outer, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    if (!border)
        return;
    // Lines stop one pixel short of their end: the bottom edge runs on row B, just below the
    // placeholder, and reaches the right edge's column.
    if (darkPen.hpen) {
        SELECTIONGUARD pen(dc, darkPen.hpen);
        DrawLine(dc, outer.left, outer.top, outer.left, outer.bottom);
        DrawLine(dc, outer.left, outer.top, outer.right, outer.top);
    }
    if (lightPen.hpen) {
        SELECTIONGUARD pen(dc, lightPen.hpen);
        DrawLine(dc, outer.right, outer.top, outer.right, outer.bottom);
        DrawLine(dc, outer.left, outer.bottom, outer.right + 1, outer.bottom);
    }
}

// The history graph: grid, cursor line, the nine traces and the scale labels.
#include <cmath>

#include "base/checkedformat.h"
#include "base/settingcopy.h"
#include "config/config.h"
#include "config/formats.h"
#include "config/keyschema.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/drawsteps.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"

namespace {

constexpr UINT SCALE_TEXT = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

// The point lists are recomputed on every frame; they are kept here so that painting never
// allocates.
POINT TracePoints[TRACE_COUNT][HISTORY_SIZE];
int TracePointCount[TRACE_COUNT];
// The x coordinate of each history entry as last drawn, for the mouse-over lookup.
int PointX[HISTORY_SIZE];

struct GRAPHSCALE {
    int left;
    int top;
    int width;
    int height;
    unsigned int limit;
    float step;  // pixels of 10 units
    float unit;  // pixels of one unit
};

// Loading keeps [GLOBAL] Limit within its range; a record edited elsewhere could hold anything, and
// a step near zero would never walk the float grid loop down to 0.
unsigned int GraphLimit()
{
    static const KEYRANGE range = FindKey(&Config.Global.Limit)->loaded;
    const unsigned int low = static_cast<unsigned int>(range.low);
    const unsigned int high = static_cast<unsigned int>(range.high);
    const unsigned int limit = Config.Global.Limit;
    return limit < low ? low : limit > high ? high : limit;
}

GRAPHSCALE TakeScale()
{
    GRAPHSCALE scale;
    scale.left = PanelRes.graphX;
    scale.top = PanelRes.graphY;
    scale.width = PanelRes.graphW;
    scale.height = PanelRes.graphH;
    scale.limit = GraphLimit();
    // Limit / 10 is an integer division: 155 spaces the grid as 150 does.
    scale.step = static_cast<float>(scale.height) / static_cast<float>(scale.limit / 10);
    scale.unit = static_cast<float>(scale.step / 10.0);
    return scale;
}

// Values above the scale may rise above the graph (a temperature up to 199 at a Limit of 100
// reaches one graph height above it), but nothing goes further than that, and nothing (a clock
// below zero) goes below the graph's bottom edge.
int ClampRow(double row, const GRAPHSCALE& scale)
{
    const double highest = scale.top - scale.height;
    const double lowest = scale.top + scale.height;
    if (row < highest)
        row = highest;
    if (row > lowest)
        row = lowest;
    return static_cast<int>(row);
}

int ValueRow(unsigned int value, const GRAPHSCALE& scale)
{
    float row = static_cast<float>(scale.height) - static_cast<float>(value) * scale.unit +
                static_cast<float>(scale.top);
    return ClampRow(row, scale);
}

// A clock is drawn in per cent of its boost clock. A boost clock of zero (or one that makes the
// quotient infinite or not a number) gives no point: the trace joins the points that have one.
bool ClockRow(double clock, double boost, const GRAPHSCALE& scale, int& row)
{
    if (!(boost > 0.0))
        return false;
    double y = scale.height - (clock / boost) * 100.0 * scale.unit + scale.top;
    if (!std::isfinite(y))
        return false;
    row = ClampRow(y, scale);
    return true;
}

void AddPoint(int trace, int x, int y)
{
    POINT& point = TracePoints[trace][TracePointCount[trace]++];
    point.x = x;
    point.y = y;
}

void AddClockPoint(int trace, int x, double clock, double boost, const GRAPHSCALE& scale)
{
    int row;
    if (ClockRow(clock, boost, scale, row))
        AddPoint(trace, x, row);
}

void SelectPen(HDC dc, int pen)
{
    HPEN handle = PanelRes.pens[pen].hpen;
    if (handle)
        SelectObject(dc, handle);
}

void DrawGrid(HDC dc, const GRAPHSCALE& scale)
{
    // The first line lies on the bottom edge; a line on the top edge is not drawn.
    for (float y = static_cast<float>(scale.height); y > 0; y -= scale.step) {
        const int row = scale.top + static_cast<int>(y);
        MoveToEx(dc, scale.left, row, nullptr);
        LineTo(dc, scale.left + scale.width, row);
    }
}

// Computes the points of every trace and draws the cursor line at the hovered entry.
void ComputePoints(HDC dc, const GRAPHSCALE& scale)
{
    const SAMPLEDATA& sample = Sample;
    const unsigned int count = sample.HistoryCount < static_cast<unsigned int>(HISTORY_SIZE)
                                   ? sample.HistoryCount
                                   : static_cast<unsigned int>(HISTORY_SIZE);
    const float dx = static_cast<float>(scale.width) * 0.00390625f;
    const POINT hover = HoverPosition;
    const bool hoverInGraph = hover.y >= PanelRes.graphRect.top && hover.y <= PanelRes.graphRect.bottom;

    for (int& points : TracePointCount)
        points = 0;
    for (unsigned int i = 0; i < count; ++i) {
        const HISTORYENTRY& entry = sample.History[i];
        const int x = static_cast<int>(static_cast<float>(scale.left) + static_cast<float>(i) * dx);
        PointX[i] = x;
        AddPoint(TRACE_CORE_TEMP, x, ValueRow(entry.CoreTemp, scale));
        AddPoint(TRACE_AMBIENT_TEMP, x, ValueRow(entry.AmbientTemp, scale));
        AddClockPoint(TRACE_CORE_CLOCK, x, entry.ClockCore, sample.BoostClockCore, scale);
        AddClockPoint(TRACE_MEMORY_CLOCK, x, entry.ClockMemory, sample.BoostClockMemory, scale);
        AddClockPoint(TRACE_SHADER_CLOCK, x, entry.ClockShader, sample.BoostClockShader, scale);
        AddPoint(TRACE_CORE_USAGE, x, ValueRow(entry.UsageCore, scale));
        AddPoint(TRACE_MEMORY_USAGE, x, ValueRow(entry.UsageMemory, scale));
        AddPoint(TRACE_VIDEO_USAGE, x, ValueRow(entry.UsageVideo, scale));
        AddPoint(TRACE_FAN_USAGE, x, ValueRow(entry.FanLevel, scale));

        if (hoverInGraph && x <= hover.x && static_cast<float>(hover.x) < static_cast<float>(x) + dx) {
            MoveToEx(dc, hover.x, scale.top, nullptr);
            LineTo(dc, hover.x, scale.top + scale.height);
        }
    }
}

// A polyline needs two points; one sample draws no trace.
void DrawTraces(HDC dc)
{
    for (int trace = 0; trace < TRACE_COUNT; ++trace) {
        if (!Theme.Trace[trace].Enable || TracePointCount[trace] < 2)
            continue;
        SelectPen(dc, PEN_TRACE_FIRST + trace);
        Polyline(dc, TracePoints[trace], TracePointCount[trace]);
    }
}

// Each label is centred on its grid line; 0 at the bottom and values from the limit up get none.
void DrawScale(HDC dc, const GRAPHSCALE& scale, const PANELMETRICS& metrics)
{
    HFONT font = PanelRes.fonts[FONT_UNIT].hfont;
    if (font)
        SelectObject(dc, font);
    char format[sizeof Theme.Unit.Format];
    CopySetting(format, Theme.Unit.Format);
    char text[64];
    unsigned int value = 0;
    for (float y = static_cast<float>(scale.height); y > 0; y -= scale.step, value += 10) {
        if (value == 0 || value >= scale.limit)
            continue;
        FormatChecked(text, sizeof text, format, UNIT_FORMAT_DEFAULT, UNIT_FORMAT_ARGUMENTS,
                      static_cast<int>(value));
        RECT rect;
        rect.left = scale.left + metrics.unitOffset;
        rect.right = scale.left + scale.width;
        rect.top = static_cast<int>(static_cast<double>(y) - scale.step * 0.5 + scale.top);
        rect.bottom = static_cast<int>(static_cast<float>(rect.top) + scale.step);
        const int drop = metrics.unitShadow;
        RECT shadow = {rect.left + drop, rect.top + drop, rect.right + drop, rect.bottom + drop};
        SetTextColor(dc, Theme.Unit.Shadow);
        DrawTextA(dc, text, -1, &shadow, SCALE_TEXT);
        SetTextColor(dc, Theme.Unit.Color);
        DrawTextA(dc, text, -1, &rect, SCALE_TEXT);
    }
}

}  // namespace

int GraphPointX(int index)
{
    return index >= 0 && index < HISTORY_SIZE ? PointX[index] : -1;
}

void DrawGraph(HDC dc)
{
    const GRAPHSCALE scale = TakeScale();
    SelectPen(dc, PEN_GRID);
    if (Theme.Grid.Enable)
        DrawGrid(dc, scale);
    ComputePoints(dc, scale);
    DrawTraces(dc);
    if (Theme.Unit.Enable)
        DrawScale(dc, scale, PanelMetrics());
    DrawGraphFrame(dc);
}

// One frame of the panel: background, blocks, graph and the fault cross.
#include "base/checkedformat.h"
#include "base/scopeguards.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/drawsteps.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "resources/resource.h"

namespace {

// A whole number and a label of at most 15 bytes always fit; only an absurd clock is cut.
enum { VALUE_TEXT_SIZE = 32 };

// A whole number with its unit label. The label comes from the theme file and may be
// double-byte text; the checked formatting cuts without splitting a character.
struct VALUETEXT {
    VALUETEXT(unsigned int value, const char* unit)
    {
        FormatChecked(text, sizeof text, "%d%s", "%d%s", "ds", static_cast<int>(value), unit);
    }
    VALUETEXT(double clock, const char* unit)
    {
        FormatChecked(text, sizeof text, "%.1f%s", "%.1f%s", "fs", clock, unit);
    }
    char text[VALUE_TEXT_SIZE];
};

int RowLabelId(int firstId, int row) { return firstId + 2 * row; }
int RowValueId(int firstId, int row) { return firstId + 2 * row + 1; }

void DrawBlockRow(HDC dc, int firstId, int row, const char* label, const VALUETEXT& value)
{
    DrawRow(dc, RowLabelId(firstId, row), label, RowValueId(firstId, row), value.text);
}

void DrawBackground(HDC dc)
{
    const PANELRES& res = PanelRes;
    if (Theme.Skin.Enable)
        BitBlt(dc, res.clientX, res.clientY, res.clientW, res.clientH, res.skinSurface.hdc, 0, 0, SRCCOPY);
    else if (res.backgroundBrush.hbrush)
        FillRect(dc, &res.clientRect, res.backgroundBrush.hbrush);
}

// Rows 1 to 3 of the core block (row 0 stays empty).
void DrawCoreRows(HDC dc)
{
    const SAMPLEDATA& s = Sample;
    const char* unit = Theme.Label.UnitTemp;
    DrawBlockRow(dc, IDC_CORE_ROW_FIRST, 1, Theme.Label.Current, VALUETEXT(s.CoreTemp, unit));
    DrawBlockRow(dc, IDC_CORE_ROW_FIRST, 2, Theme.Label.Maximum, VALUETEXT(s.MaxCoreTemp, unit));
    DrawBlockRow(dc, IDC_CORE_ROW_FIRST, 3, Theme.Label.Average, VALUETEXT(s.AveCoreTemp, unit));
}

// Rows 1 to 3 of the middle block as the ambient temperature block (row 0 stays empty).
void DrawAmbientRows(HDC dc)
{
    const SAMPLEDATA& s = Sample;
    const char* unit = Theme.Label.UnitTemp;
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 1, Theme.Label.Current, VALUETEXT(s.AmbientTemp, unit));
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 2, Theme.Label.Maximum, VALUETEXT(s.MaxAmbientTemp, unit));
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 3, Theme.Label.Average, VALUETEXT(s.AveAmbientTemp, unit));
}

// The middle block as the usage block; a hovered field shows its maximum.
void DrawUsageRows(HDC dc)
{
    const SAMPLEDATA& s = Sample;
    const char* unit = Theme.Label.UnitUsage;
    const unsigned int core = HoverFlags[HOVER_USAGE_CORE] ? s.MaxUsageCore : s.UsageCore;
    const unsigned int memory = HoverFlags[HOVER_USAGE_MEMORY] ? s.MaxUsageMemory : s.UsageMemory;
    const unsigned int video = HoverFlags[HOVER_USAGE_VIDEO] ? s.MaxUsageVideo : s.UsageVideo;
    const unsigned int used = HoverFlags[HOVER_MEMORY_USED] ? s.MaxMemoryUsed >> 10 : MemoryUsedMB(s);
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 0, Theme.Label.UsageCore, VALUETEXT(core, unit));
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 1, Theme.Label.UsageMemory, VALUETEXT(memory, unit));
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 2, Theme.Label.UsageVideo, VALUETEXT(video, unit));
    DrawBlockRow(dc, IDC_MIDDLE_ROW_FIRST, 3, Theme.Label.Used, VALUETEXT(used, Theme.Label.UnitUsed));
}

// Clocks and fan; the shader row only while there is a shader clock.
void DrawClockRows(HDC dc)
{
    const SAMPLEDATA& s = Sample;
    const char* unit = Theme.Label.UnitClock;
    const double core = HoverFlags[HOVER_CLOCK_CORE] ? s.MaxClockCore : s.ClockCore;
    const double memory = HoverFlags[HOVER_CLOCK_MEMORY] ? s.MaxClockMemory : s.ClockMemory;
    const double shader = HoverFlags[HOVER_CLOCK_SHADER] ? s.MaxClockShader : s.ClockShader;
    DrawBlockRow(dc, IDC_CLOCK_ROW_FIRST, 0, Theme.Label.ClockCore, VALUETEXT(core, unit));
    DrawBlockRow(dc, IDC_CLOCK_ROW_FIRST, 1, Theme.Label.ClockMemory, VALUETEXT(memory, unit));
    if (s.ClockShader > 0.0)
        DrawBlockRow(dc, IDC_CLOCK_ROW_FIRST, 2, Theme.Label.ClockShader, VALUETEXT(shader, unit));
    const VALUETEXT fan = HoverFlags[HOVER_FAN] ? VALUETEXT(s.FanSpeed, Theme.Label.UnitSpeed)
                                                : VALUETEXT(s.FanLevel, Theme.Label.UnitFan);
    DrawBlockRow(dc, IDC_CLOCK_ROW_FIRST, 3, Theme.Label.Fan, fan);
}

// A red cross over the middle of the panel, half the client height wide and high.
void DrawFaultCross(HDC dc)
{
    const PANELRES& res = PanelRes;
    HPEN pen = res.pens[PEN_FAULT].hpen;
    if (!pen)
        return;
    const int size = res.clientH / 2;
    const int x0 = (res.clientW - size) / 2 + res.clientX;
    const int y0 = size / 2 + res.clientY;
    SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x0 + size, y0 + size);
    MoveToEx(dc, x0 + size, y0, nullptr);
    LineTo(dc, x0, y0 + size);
}

}  // namespace

void ComposePanel(HWND window, HDC dc)
{
    {
        // The DC's own pen and font go back when the frame is done, so that no object of the
        // resource set stays selected into the back buffer when the set is freed. (SaveDC would do
        // the same, but may allocate a saved state on every frame.)
        SELECTIONGUARD pen(dc, OBJ_PEN);
        SELECTIONGUARD font(dc, OBJ_FONT);
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawBackground(dc);

        const bool core = Theme.Trace[TRACE_CORE_TEMP].Enable != 0;
        const bool ambient = Theme.Trace[TRACE_AMBIENT_TEMP].Enable != 0;
        const bool usage = !ambient && Config.Global.Usage;
        if (core)
            DrawBlockFrame(dc, IDC_CORE_GROUP, IDC_CORE_HEADING, Theme.Label.Core);
        if (ambient)
            DrawBlockFrame(dc, IDC_MIDDLE_GROUP, IDC_MIDDLE_HEADING, Theme.Label.Ambient);
        else if (usage)
            DrawBlockFrame(dc, IDC_MIDDLE_GROUP, IDC_MIDDLE_HEADING, "");
        DrawBlockFrame(dc, IDC_CLOCK_GROUP, 0, "");
        DrawTitle(dc);

        if (core)
            DrawCoreRows(dc);
        if (ambient)
            DrawAmbientRows(dc);
        else if (usage)
            DrawUsageRows(dc);
        DrawClockRows(dc);
        DrawGraph(dc);
        if (Sample.Fault)
            DrawFaultCross(dc);
    }
    InvalidateRect(window, nullptr, FALSE);
}

#include "config/theme.h"

#include <cstdio>
#include <cstring>

#include "base/inifile.h"
#include "config/config.h"
#include "config/formats.h"
#include "config/keyschema.h"

THEMEDATA Theme;

namespace {

constexpr KEYSCHEMA Font(const char* section, const char* key, LOGFONTA& field)
{
    return {section, key, KEY_FONT, &field, 0, 0, nullptr, true, NO_RANGE, NO_RANGE, 0, true};
}

constexpr KEYSCHEMA Color(const char* section, const char* key, COLORREF& field)
{
    return {section, key, KEY_COLOR, &field, 0, 0, nullptr, true, NO_RANGE, NO_RANGE, 0};
}

constexpr KEYSCHEMA Number(const char* section, const char* key, int& field, int value, KEYRANGE offered = NO_RANGE,
                           int enumCount = 0)
{
    return {section, key, KEY_SIGNED, &field, 0, value, nullptr, true, NO_RANGE, offered, enumCount};
}

constexpr KEYSCHEMA Pixels(KEYSCHEMA key)
{
    key.pixels = true;
    return key;
}

template <unsigned long Size>
constexpr KEYSCHEMA Text(const char* section, const char* key, char (&field)[Size], const char* text)
{
    return {section, key, KEY_TEXT, field, Size, 0, text, true, NO_RANGE, NO_RANGE, 0};
}

// Widths of the grid and of every trace, as the dialog offers them.
constexpr KEYRANGE WIDTHS = {1, 5};

// The three keys of one trace section; only the ambient temperature's trace is off by default.
constexpr KEYSCHEMA TraceEnable(THEMETRACE_INDEX trace)
{
    return Number(ThemeTraceSection[trace], "Enable", Theme.Trace[trace].Enable, trace == TRACE_AMBIENT_TEMP ? 0 : 1);
}
constexpr KEYSCHEMA TraceColor(THEMETRACE_INDEX trace)
{
    return Color(ThemeTraceSection[trace], "Color", Theme.Trace[trace].Color);
}
constexpr KEYSCHEMA TraceWidth(THEMETRACE_INDEX trace)
{
    return Pixels(Number(ThemeTraceSection[trace], "Width", Theme.Trace[trace].Width, 1, WIDTHS));
}

constexpr KEYSCHEMA Keys[] = {
    Font("FONT", "Title", Theme.Font.Title),
    Font("FONT", "Frame", Theme.Font.Frame),
    Font("FONT", "Label", Theme.Font.Label),
    Font("FONT", "Value", Theme.Font.Value),
    Color("COLOR", "Title", Theme.Color.Title),
    Color("COLOR", "Frame", Theme.Color.Frame),
    Color("COLOR", "Label", Theme.Color.Label),
    Color("COLOR", "Value", Theme.Color.Value),
    Pixels(Number("SHADOW", "Offset", Theme.Shadow.Offset, 2, {1, 4})),
    Number("SHADOW", "EnableTitle", Theme.Shadow.EnableTitle, 1),
    Number("SHADOW", "EnableFrame", Theme.Shadow.EnableFrame, 1),
    Number("SHADOW", "EnableLabel", Theme.Shadow.EnableLabel, 1),
    Number("SHADOW", "EnableValue", Theme.Shadow.EnableValue, 1),
    Color("SHADOW", "Title", Theme.Shadow.Title),
    Color("SHADOW", "Frame", Theme.Shadow.Frame),
    Color("SHADOW", "Label", Theme.Shadow.Label),
    Color("SHADOW", "Value", Theme.Shadow.Value),
    Text("LABEL", "Core", Theme.Label.Core, "Core"),
    Text("LABEL", "Ambient", Theme.Label.Ambient, "Ambient"),
    Text("LABEL", "Current", Theme.Label.Current, "Cur."),
    Text("LABEL", "Maximum", Theme.Label.Maximum, "Max."),
    Text("LABEL", "Average", Theme.Label.Average, "Ave."),
    Text("LABEL", "ClockCore", Theme.Label.ClockCore, "Core"),
    Text("LABEL", "ClockMemory", Theme.Label.ClockMemory, "Memory"),
    Text("LABEL", "ClockShader", Theme.Label.ClockShader, "Shader"),
    Text("LABEL", "UsageCore", Theme.Label.UsageCore, "Core"),
    Text("LABEL", "UsageMemory", Theme.Label.UsageMemory, "Memory"),
    Text("LABEL", "UsageVideo", Theme.Label.UsageVideo, "Video"),
    Text("LABEL", "Used", Theme.Label.Used, "Used"),
    Text("LABEL", "Fan", Theme.Label.Fan, "Fan"),
    Text("LABEL", "UnitTemp", Theme.Label.UnitTemp, UNIT_TEMP_DEFAULT),
    Text("LABEL", "UnitClock", Theme.Label.UnitClock, "MHz"),
    Text("LABEL", "UnitUsage", Theme.Label.UnitUsage, "%"),
    Text("LABEL", "UnitUsed", Theme.Label.UnitUsed, "MB"),
    Text("LABEL", "UnitSpeed", Theme.Label.UnitSpeed, "rpm"),
    Text("LABEL", "UnitFan", Theme.Label.UnitFan, "%"),
    Number("SKIN", "Enable", Theme.Skin.Enable, 0),
    Text("SKIN", "File", Theme.Skin.File, "VKSKIN.BMP"),
    Color("SKIN", "Color", Theme.Skin.Color),
    Number("MASK", "Mode", Theme.Mask.Mode, MASK_NONE, NO_RANGE, MASK_MODE_COUNT),
    Color("MASK", "Color", Theme.Mask.Color),
    Text("MASK", "File", Theme.Mask.File, "VKMASK.BMP"),
    Number("FRAME", "Enable", Theme.Frame.Enable, 1),
    Color("FRAME", "Color", Theme.Frame.Color),
    Number("UNIT", "Enable", Theme.Unit.Enable, 1),
    Color("UNIT", "Color", Theme.Unit.Color),
    Color("UNIT", "Shadow", Theme.Unit.Shadow),
    Font("UNIT", "Font", Theme.Unit.Font),
    Text("UNIT", "Format", Theme.Unit.Format, UNIT_FORMAT_DEFAULT),
    Pixels(Number("UNIT", "Offset", Theme.Unit.Offset, 4)),
    Number("GRID", "Enable", Theme.Grid.Enable, 1),
    Color("GRID", "Color", Theme.Grid.Color),
    Pixels(Number("GRID", "Width", Theme.Grid.Width, 1, WIDTHS)),
    TraceEnable(TRACE_CORE_TEMP),     TraceColor(TRACE_CORE_TEMP),     TraceWidth(TRACE_CORE_TEMP),
    TraceEnable(TRACE_AMBIENT_TEMP),  TraceColor(TRACE_AMBIENT_TEMP),  TraceWidth(TRACE_AMBIENT_TEMP),
    TraceEnable(TRACE_CORE_CLOCK),    TraceColor(TRACE_CORE_CLOCK),    TraceWidth(TRACE_CORE_CLOCK),
    TraceEnable(TRACE_MEMORY_CLOCK),  TraceColor(TRACE_MEMORY_CLOCK),  TraceWidth(TRACE_MEMORY_CLOCK),
    TraceEnable(TRACE_SHADER_CLOCK),  TraceColor(TRACE_SHADER_CLOCK),  TraceWidth(TRACE_SHADER_CLOCK),
    TraceEnable(TRACE_CORE_USAGE),    TraceColor(TRACE_CORE_USAGE),    TraceWidth(TRACE_CORE_USAGE),
    TraceEnable(TRACE_MEMORY_USAGE),  TraceColor(TRACE_MEMORY_USAGE),  TraceWidth(TRACE_MEMORY_USAGE),
    TraceEnable(TRACE_VIDEO_USAGE),   TraceColor(TRACE_VIDEO_USAGE),   TraceWidth(TRACE_VIDEO_USAGE),
    TraceEnable(TRACE_FAN_USAGE),     TraceColor(TRACE_FAN_USAGE),     TraceWidth(TRACE_FAN_USAGE),
};

void SetFont(LOGFONTA& font, LONG height, BYTE italic, const char* face)
{
    memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    font.lfItalic = italic;
    snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", face);
}

}  // namespace

void SetThemeStartupValues()
{
    for (const KEYSCHEMA& key : ThemeKeys())
        SetKeyDefault(key);
    SetFont(Theme.Font.Title, -16, TRUE, "Arial");
    SetFont(Theme.Font.Frame, -16, TRUE, "Arial");
    SetFont(Theme.Font.Label, -17, FALSE, "Courier New");
    SetFont(Theme.Font.Value, -16, FALSE, "Arial");
    SetFont(Theme.Unit.Font, -11, FALSE, "Arial");

    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    Theme.Color.Title = Theme.Color.Frame = Theme.Color.Label = Theme.Color.Value = text;
    Theme.Shadow.Title = Theme.Shadow.Frame = Theme.Shadow.Label = Theme.Shadow.Value = shadow;
    Theme.Skin.Color = GetSysColor(COLOR_BTNFACE);
    Theme.Mask.Color = RGB(0, 0, 0);
    Theme.Frame.Color = shadow;
    Theme.Unit.Color = text;
    Theme.Unit.Shadow = shadow;
    Theme.Grid.Color = shadow;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (THEMETRACE& trace : Theme.Trace)
        trace.Color = highlight;
}

KEYTABLE ThemeKeys() { return {Keys, sizeof Keys / sizeof Keys[0]}; }

void LoadTheme()
{
    INIFILE file;
    if (!file.Open(Config.Theme.File))
        return;
    // Missing fonts and colours keep what they hold (the start-up values, or the previous theme's),
    // while missing numbers and texts take their defaults: the profile reads work that way.
    for (const KEYSCHEMA& key : ThemeKeys())
        ReadKey(file, key);
    file.Close();
}

bool SaveTheme() { return SaveKeys(Config.Theme.File, ThemeKeys()); }

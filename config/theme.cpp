#include "config/theme.h"

#include <cstdio>
#include <cstring>

#include "base/inifile.h"
#include "config/config.h"
#include "config/formats.h"
#include "config/profiletext.h"

THEMEDATA Theme;

const char* const ThemeTraceSection[TRACE_COUNT] = {
    "CORE TEMP",   "AMBIENT TEMP", "CORE CLOCK",  "MEMORY CLOCK", "SHADER CLOCK",
    "CORE USAGE",  "MEMORY USAGE", "VIDEO USAGE", "FAN USAGE",
};

namespace {

enum ThemeType { THEME_FONT, THEME_COLOR, THEME_INT, THEME_TEXT };

struct ThemeKey {
    const char* section;
    const char* key;
    ThemeType type;
    void* field;
    unsigned long size;
    int defaultNumber;
    const char* defaultText;
};

constexpr ThemeKey FontKey(const char* section, const char* key, LOGFONTA& field)
{
    return {section, key, THEME_FONT, &field, 0, 0, nullptr};
}

constexpr ThemeKey ColorKey(const char* section, const char* key, COLORREF& field)
{
    return {section, key, THEME_COLOR, &field, 0, 0, nullptr};
}

constexpr ThemeKey IntKey(const char* section, const char* key, int& field, int value)
{
    return {section, key, THEME_INT, &field, 0, value, nullptr};
}

template <unsigned long Size>
constexpr ThemeKey TextKey(const char* section, const char* key, char (&field)[Size], const char* text)
{
    return {section, key, THEME_TEXT, field, Size, 0, text};
}

// Every key but the traces', in file order, which is both the load and the save order.
constexpr ThemeKey ThemeKeys[] = {
    FontKey("FONT", "Title", Theme.Font.Title),
    FontKey("FONT", "Frame", Theme.Font.Frame),
    FontKey("FONT", "Label", Theme.Font.Label),
    FontKey("FONT", "Value", Theme.Font.Value),
    ColorKey("COLOR", "Title", Theme.Color.Title),
    ColorKey("COLOR", "Frame", Theme.Color.Frame),
    ColorKey("COLOR", "Label", Theme.Color.Label),
    ColorKey("COLOR", "Value", Theme.Color.Value),
    IntKey("SHADOW", "Offset", Theme.Shadow.Offset, 2),
    IntKey("SHADOW", "EnableTitle", Theme.Shadow.EnableTitle, 1),
    IntKey("SHADOW", "EnableFrame", Theme.Shadow.EnableFrame, 1),
    IntKey("SHADOW", "EnableLabel", Theme.Shadow.EnableLabel, 1),
    IntKey("SHADOW", "EnableValue", Theme.Shadow.EnableValue, 1),
    ColorKey("SHADOW", "Title", Theme.Shadow.Title),
    ColorKey("SHADOW", "Frame", Theme.Shadow.Frame),
    ColorKey("SHADOW", "Label", Theme.Shadow.Label),
    ColorKey("SHADOW", "Value", Theme.Shadow.Value),
    TextKey("LABEL", "Core", Theme.Label.Core, "Core"),
    TextKey("LABEL", "Ambient", Theme.Label.Ambient, "Ambient"),
    TextKey("LABEL", "Current", Theme.Label.Current, "Cur."),
    TextKey("LABEL", "Maximum", Theme.Label.Maximum, "Max."),
    TextKey("LABEL", "Average", Theme.Label.Average, "Ave."),
    TextKey("LABEL", "ClockCore", Theme.Label.ClockCore, "Core"),
    TextKey("LABEL", "ClockMemory", Theme.Label.ClockMemory, "Memory"),
    TextKey("LABEL", "ClockShader", Theme.Label.ClockShader, "Shader"),
    TextKey("LABEL", "UsageCore", Theme.Label.UsageCore, "Core"),
    TextKey("LABEL", "UsageMemory", Theme.Label.UsageMemory, "Memory"),
    TextKey("LABEL", "UsageVideo", Theme.Label.UsageVideo, "Video"),
    TextKey("LABEL", "Used", Theme.Label.Used, "Used"),
    TextKey("LABEL", "Fan", Theme.Label.Fan, "Fan"),
    TextKey("LABEL", "UnitTemp", Theme.Label.UnitTemp, UnitTempDefault),
    TextKey("LABEL", "UnitClock", Theme.Label.UnitClock, "MHz"),
    TextKey("LABEL", "UnitUsage", Theme.Label.UnitUsage, "%"),
    TextKey("LABEL", "UnitUsed", Theme.Label.UnitUsed, "MB"),
    TextKey("LABEL", "UnitSpeed", Theme.Label.UnitSpeed, "rpm"),
    TextKey("LABEL", "UnitFan", Theme.Label.UnitFan, "%"),
    IntKey("SKIN", "Enable", Theme.Skin.Enable, 0),
    TextKey("SKIN", "File", Theme.Skin.File, "VKSKIN.BMP"),
    ColorKey("SKIN", "Color", Theme.Skin.Color),
    IntKey("MASK", "Mode", Theme.Mask.Mode, 0),
    ColorKey("MASK", "Color", Theme.Mask.Color),
    TextKey("MASK", "File", Theme.Mask.File, "VKMASK.BMP"),
    IntKey("FRAME", "Enable", Theme.Frame.Enable, 1),
    ColorKey("FRAME", "Color", Theme.Frame.Color),
    IntKey("UNIT", "Enable", Theme.Unit.Enable, 1),
    ColorKey("UNIT", "Color", Theme.Unit.Color),
    ColorKey("UNIT", "Shadow", Theme.Unit.Shadow),
    FontKey("UNIT", "Font", Theme.Unit.Font),
    TextKey("UNIT", "Format", Theme.Unit.Format, UnitFormatDefault),
    IntKey("UNIT", "Offset", Theme.Unit.Offset, 4),
    IntKey("GRID", "Enable", Theme.Grid.Enable, 1),
    ColorKey("GRID", "Color", Theme.Grid.Color),
    IntKey("GRID", "Width", Theme.Grid.Width, 1),
};

// Missing fonts and colours keep what they hold (the start-up values, or the previous theme's),
// while missing integers and texts take their defaults: the profile reads work that way. A read
// has nothing to report.
bool ReadKey(INIFILE& file, const ThemeKey& entry)
{
    switch (entry.type) {
    case THEME_FONT: {
        LOGFONTA* font = static_cast<LOGFONTA*>(entry.field);
        // The face name is the last field of the value and is cut to its buffer on reading;
        // what the cut leaves at its end would not come back from the next save.
        if (file.Read(entry.section, entry.key, font))
            TrimValueEnd(font->lfFaceName, sizeof font->lfFaceName);
        break;
    }
    case THEME_COLOR:
        file.Read(entry.section, entry.key, static_cast<COLORREF*>(entry.field));
        break;
    case THEME_INT:
        file.Read(entry.section, entry.key, entry.defaultNumber, static_cast<int*>(entry.field));
        break;
    case THEME_TEXT:
        ReadProfileText(file, entry.section, entry.key, entry.defaultText, static_cast<char*>(entry.field),
                        entry.size);
        break;
    }
    return true;
}

bool WriteKey(INIFILE& file, const ThemeKey& entry)
{
    switch (entry.type) {
    case THEME_FONT:
        return file.Write(entry.section, entry.key, static_cast<const LOGFONTA*>(entry.field)) != 0;
    case THEME_COLOR:
        return file.Write(entry.section, entry.key, static_cast<const COLORREF*>(entry.field)) != 0;
    case THEME_INT:
        return file.Write(entry.section, entry.key, *static_cast<const int*>(entry.field)) != 0;
    case THEME_TEXT:
        return WriteProfileText(file, entry.section, entry.key, static_cast<const char*>(entry.field), entry.size);
    }
    return false;
}

using KEYACTION = bool (*)(INIFILE&, const ThemeKey&);

// The three keys of one trace section; only the ambient temperature's trace is off by default.
// Every key is visited even after a failure; true when every action succeeded.
bool ForEachTraceKey(int trace, KEYACTION action, INIFILE& file)
{
    const char* section = ThemeTraceSection[trace];
    THEMETRACE& data = Theme.Trace[trace];
    const ThemeKey keys[] = {
        {section, "Enable", THEME_INT, &data.Enable, 0, trace == TRACE_AMBIENT_TEMP ? 0 : 1, nullptr},
        {section, "Color", THEME_COLOR, &data.Color, 0, 0, nullptr},
        {section, "Width", THEME_INT, &data.Width, 0, 1, nullptr},
    };
    bool done = true;
    for (const ThemeKey& key : keys)
        done = action(file, key) && done;
    return done;
}

bool ForEachKey(KEYACTION action, INIFILE& file)
{
    bool done = true;
    for (const ThemeKey& key : ThemeKeys)
        done = action(file, key) && done;
    for (int trace = 0; trace < TRACE_COUNT; ++trace)
        done = ForEachTraceKey(trace, action, file) && done;
    return done;
}

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

void LoadTheme()
{
    INIFILE file;
    if (!file.Open(Config.Theme.File))
        return;
    ForEachKey(ReadKey, file);
    file.Close();
}

bool SaveTheme()
{
    INIFILE file;
    if (!file.Open(Config.Theme.File))
        return false;
    bool written = ForEachKey(WriteKey, file);
    file.Close();
    return written;
}

#pragma once

#include <windows.h>

#include "base/textpolicy.h"

// One graph trace: one sensor's line in the history graph.
struct THEMETRACE {
    int Enable;
    COLORREF Color;
    int Width;
};

enum THEMETRACE_INDEX {
    TRACE_CORE_TEMP,
    TRACE_AMBIENT_TEMP,
    TRACE_CORE_CLOCK,
    TRACE_MEMORY_CLOCK,
    TRACE_SHADER_CLOCK,
    TRACE_CORE_USAGE,
    TRACE_MEMORY_USAGE,
    TRACE_VIDEO_USAGE,
    TRACE_FAN_USAGE,
    TRACE_COUNT
};

// The process-wide theme record: everything that decides how the panel looks.
struct THEMEDATA {
    struct {
        LOGFONTA Title;
        LOGFONTA Frame;
        LOGFONTA Label;
        LOGFONTA Value;
    } Font;
    struct {
        COLORREF Title;
        COLORREF Frame;
        COLORREF Label;
        COLORREF Value;
    } Color;
    struct {
        int Offset;
        int EnableTitle;
        int EnableFrame;
        int EnableLabel;
        int EnableValue;
        COLORREF Title;
        COLORREF Frame;
        COLORREF Label;
        COLORREF Value;
    } Shadow;
    struct {
        char Core[16];
        char Ambient[16];
        char Current[16];
        char Maximum[16];
        char Average[16];
        char ClockCore[16];
        char ClockMemory[16];
        char ClockShader[16];
        char UsageCore[16];
        char UsageMemory[16];
        char UsageVideo[16];
        char Used[16];
        char Fan[16];
        char UnitTemp[16];
        char UnitClock[16];
        char UnitUsage[16];
        char UnitUsed[16];
        char UnitSpeed[16];
        char UnitFan[16];
    } Label;
    struct {
        int Enable;
        char File[PATH_CAPACITY];
        COLORREF Color;
    } Skin;
    struct {
        int Mode;
        COLORREF Color;
        char File[PATH_CAPACITY];
    } Mask;
    struct {
        int Enable;
        COLORREF Color;
    } Frame;
    struct {
        int Enable;
        COLORREF Color;
        COLORREF Shadow;
        LOGFONTA Font;
        char Format[32];
        int Offset;
    } Unit;
    struct {
        int Enable;
        COLORREF Color;
        int Width;
    } Grid;
    THEMETRACE Trace[TRACE_COUNT];
};

extern THEMEDATA Theme;

// The file section of each trace, in file order.
inline constexpr const char* ThemeTraceSection[TRACE_COUNT] = {
    "CORE TEMP",  "AMBIENT TEMP", "CORE CLOCK",  "MEMORY CLOCK", "SHADER CLOCK",
    "CORE USAGE", "MEMORY USAGE", "VIDEO USAGE", "FAN USAGE",
};

// Gives the fonts and colours their start-up values (system colours, Arial and Courier New), and
// every number and text its default, so that a theme file that cannot be opened leaves a whole
// theme.
void SetThemeStartupValues();
void LoadTheme();
// Writes the record to [THEME] File, key by key; false when the file could not be opened (an empty
// or over-long path) or any write failed.
[[nodiscard]] bool SaveTheme();

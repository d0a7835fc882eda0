// The "グラフ" tab (template 206): the history graph's scale labels, grid and nine traces in
// THEMEDATA.
#include "base/dpi.h"
#include "config/theme.h"
#include "dialogs/fontsample.h"
#include "dialogs/pagecolors.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "gdi/gdiobjects.h"
#include "resources/resource.h"
#include "ui/commondialogs.h"

namespace {

// One trace's group: its theme section and the five controls that edit it.
struct SERIESROW {
    THEMETRACE_INDEX section;
    int enable;
    int button;
    int swatch;
    int edit;
    int updown;
};

// In the order of the theme's trace sections.
const SERIESROW Series[] = {
    {TRACE_CORE_TEMP, IDC_TRACE_CORE_TEMP_ENABLE, IDC_TRACE_CORE_TEMP_COLOR_BUTTON, IDC_TRACE_CORE_TEMP_COLOR_SWATCH,
     IDC_TRACE_CORE_TEMP_WIDTH_EDIT, IDC_TRACE_CORE_TEMP_WIDTH_UPDOWN},
    {TRACE_AMBIENT_TEMP, IDC_TRACE_AMBIENT_TEMP_ENABLE, IDC_TRACE_AMBIENT_TEMP_COLOR_BUTTON,
     IDC_TRACE_AMBIENT_TEMP_COLOR_SWATCH, IDC_TRACE_AMBIENT_TEMP_WIDTH_EDIT, IDC_TRACE_AMBIENT_TEMP_WIDTH_UPDOWN},
    {TRACE_CORE_CLOCK, IDC_TRACE_CORE_CLOCK_ENABLE, IDC_TRACE_CORE_CLOCK_COLOR_BUTTON, IDC_TRACE_CORE_CLOCK_COLOR_SWATCH,
     IDC_TRACE_CORE_CLOCK_WIDTH_EDIT, IDC_TRACE_CORE_CLOCK_WIDTH_UPDOWN},
    {TRACE_MEMORY_CLOCK, IDC_TRACE_MEMORY_CLOCK_ENABLE, IDC_TRACE_MEMORY_CLOCK_COLOR_BUTTON,
     IDC_TRACE_MEMORY_CLOCK_COLOR_SWATCH, IDC_TRACE_MEMORY_CLOCK_WIDTH_EDIT, IDC_TRACE_MEMORY_CLOCK_WIDTH_UPDOWN},
    {TRACE_SHADER_CLOCK, IDC_TRACE_SHADER_CLOCK_ENABLE, IDC_TRACE_SHADER_CLOCK_COLOR_BUTTON,
     IDC_TRACE_SHADER_CLOCK_COLOR_SWATCH, IDC_TRACE_SHADER_CLOCK_WIDTH_EDIT, IDC_TRACE_SHADER_CLOCK_WIDTH_UPDOWN},
    {TRACE_CORE_USAGE, IDC_TRACE_CORE_USAGE_ENABLE, IDC_TRACE_CORE_USAGE_COLOR_BUTTON,
     IDC_TRACE_CORE_USAGE_COLOR_SWATCH, IDC_TRACE_CORE_USAGE_WIDTH_EDIT, IDC_TRACE_CORE_USAGE_WIDTH_UPDOWN},
    {TRACE_MEMORY_USAGE, IDC_TRACE_MEMORY_USAGE_ENABLE, IDC_TRACE_MEMORY_USAGE_COLOR_BUTTON,
     IDC_TRACE_MEMORY_USAGE_COLOR_SWATCH, IDC_TRACE_MEMORY_USAGE_WIDTH_EDIT, IDC_TRACE_MEMORY_USAGE_WIDTH_UPDOWN},
    {TRACE_VIDEO_USAGE, IDC_TRACE_VIDEO_USAGE_ENABLE, IDC_TRACE_VIDEO_USAGE_COLOR_BUTTON,
     IDC_TRACE_VIDEO_USAGE_COLOR_SWATCH, IDC_TRACE_VIDEO_USAGE_WIDTH_EDIT, IDC_TRACE_VIDEO_USAGE_WIDTH_UPDOWN},
    {TRACE_FAN_USAGE, IDC_TRACE_FAN_USAGE_ENABLE, IDC_TRACE_FAN_USAGE_COLOR_BUTTON, IDC_TRACE_FAN_USAGE_COLOR_SWATCH,
     IDC_TRACE_FAN_USAGE_WIDTH_EDIT, IDC_TRACE_FAN_USAGE_WIDTH_UPDOWN},
};

// The working scale font and the sample's font, and the working colours with their swatches'
// brushes. Check boxes and widths live in their controls until the store command; the scale's
// format and offset are not on this page and stay as they are.
struct GRAPHPAGE {
    LOGFONTA unitFont;
    WINFONT sample;
    PAGECOLORS colors;
};

GRAPHPAGE State;

void RefreshSample(HWND page) { ShowFontSample(page, IDC_UNIT_FONT_SAMPLE, State.sample, State.unitFont); }

BOOL OnInitDialog(HWND page)
{
    State.unitFont = Theme.Unit.Font;
    State.colors.Clear();
    State.colors.Add(IDC_UNIT_COLOR_BUTTON, IDC_UNIT_COLOR_SWATCH, Theme.Unit.Color);
    State.colors.Add(IDC_UNIT_SHADOW_BUTTON, IDC_UNIT_SHADOW_SWATCH, Theme.Unit.Shadow);
    State.colors.Add(IDC_GRID_COLOR_BUTTON, IDC_GRID_COLOR_SWATCH, Theme.Grid.Color);
    SetCheck(page, IDC_UNIT_ENABLE, Theme.Unit.Enable);
    SetCheck(page, IDC_GRID_ENABLE, Theme.Grid.Enable);
    SetupNumber(page, {IDC_GRID_WIDTH_EDIT, IDC_GRID_WIDTH_UPDOWN, &Theme.Grid.Width});
    for (const SERIESROW& row : Series) {
        THEMETRACE& trace = Theme.Trace[row.section];
        State.colors.Add(row.button, row.swatch, trace.Color);
        SetCheck(page, row.enable, trace.Enable);
        SetupNumber(page, {row.edit, row.updown, &trace.Width});
    }
    RefreshSample(page);
    return TRUE;
}

void OnStore(HWND page)
{
    Theme.Unit.Font = State.unitFont;
    State.colors.Store();
    Theme.Unit.Enable = IsChecked(page, IDC_UNIT_ENABLE);
    Theme.Grid.Enable = IsChecked(page, IDC_GRID_ENABLE);
    StoreNumber(page, {IDC_GRID_WIDTH_EDIT, IDC_GRID_WIDTH_UPDOWN, &Theme.Grid.Width});
    for (const SERIESROW& row : Series) {
        THEMETRACE& trace = Theme.Trace[row.section];
        trace.Enable = IsChecked(page, row.enable);
        StoreNumber(page, {row.edit, row.updown, &trace.Width});
    }
}

void OnCommand(HWND page, WORD id, WORD code)
{
    if (id == IDC_UNIT_FONT_BUTTON) {
        // A cancelled chooser leaves the working font as it was.
        (void)SelectFont(GetAncestor(page, GA_ROOT), State.unitFont);
        RefreshSample(page);
        InvalidateRect(page, nullptr, TRUE);
        return;
    }
    State.colors.Choose(page, id);
}

void OnDestroy(HWND page)
{
    ReleaseFontSample(page, IDC_UNIT_FONT_SAMPLE, State.sample);
    State.colors.Clear();
}

INT_PTR SwatchColors(WPARAM wParam, LPARAM lParam) { return State.colors.Paint(wParam, lParam); }

// The samples' fonts are the page's own: at a new DPI it makes them again.
bool OnOtherMessage(HWND page, UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    if (message != MSG_DPICHANGED_AFTERPARENT)
        return false;
    RefreshSample(page);
    result = 0;
    return true;
}

}  // namespace

const PAGEHANDLERS GraphPage = {OnInitDialog, OnCommand, OnStore, SwatchColors, OnDestroy, OnOtherMessage};

INT_PTR CALLBACK GraphPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(GraphPage, page, message, wParam, lParam);
}

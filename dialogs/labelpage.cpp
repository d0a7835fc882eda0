// The "ラベル" tab (template 204): the panel's captions and its four text fonts in THEMEDATA.
#include <cstddef>

#include "base/dpi.h"
#include "config/theme.h"
#include "dialogs/fontsample.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "gdi/gdiobjects.h"
#include "resources/resource.h"
#include "ui/commondialogs.h"

namespace {

// A caption field and the 16-byte theme text it edits. The texts live only in the fields until
// the store command.
struct CAPTIONFIELD {
    int id;
    char (&text)[16];
};

const CAPTIONFIELD Captions[] = {
    {IDC_LABEL_CORE, Theme.Label.Core},
    {IDC_LABEL_AMBIENT, Theme.Label.Ambient},
    {IDC_LABEL_CURRENT, Theme.Label.Current},
    {IDC_LABEL_MAXIMUM, Theme.Label.Maximum},
    {IDC_LABEL_AVERAGE, Theme.Label.Average},
    {IDC_LABEL_UNIT_TEMP, Theme.Label.UnitTemp},
    {IDC_LABEL_USAGE_CORE, Theme.Label.UsageCore},
    {IDC_LABEL_USAGE_MEMORY, Theme.Label.UsageMemory},
    {IDC_LABEL_USAGE_VIDEO, Theme.Label.UsageVideo},
    {IDC_LABEL_FAN, Theme.Label.Fan},
    {IDC_LABEL_CLOCK_CORE, Theme.Label.ClockCore},
    {IDC_LABEL_CLOCK_MEMORY, Theme.Label.ClockMemory},
    {IDC_LABEL_CLOCK_SHADER, Theme.Label.ClockShader},
};

// The four fonts, in the order Title, Frame, Label, Value, each with its button and sample.
struct FONTROW {
    int button;
    int sample;
    LOGFONTA& font;
};

const FONTROW Fonts[] = {
    {IDC_FONT_TITLE_BUTTON, IDC_FONT_TITLE_SAMPLE, Theme.Font.Title},
    {IDC_FONT_FRAME_BUTTON, IDC_FONT_FRAME_SAMPLE, Theme.Font.Frame},
    {IDC_FONT_LABEL_BUTTON, IDC_FONT_LABEL_SAMPLE, Theme.Font.Label},
    {IDC_FONT_VALUE_BUTTON, IDC_FONT_VALUE_SAMPLE, Theme.Font.Value},
};

constexpr size_t FONT_COUNT = sizeof Fonts / sizeof Fonts[0];

// The working fonts and the samples' fonts, one per row of Fonts.
struct LABELPAGE {
    LOGFONTA fonts[FONT_COUNT];
    WINFONT samples[FONT_COUNT];
};

LABELPAGE State;

void RefreshSamples(HWND page)
{
    for (size_t i = 0; i < FONT_COUNT; ++i)
        ShowFontSample(page, Fonts[i].sample, State.samples[i], State.fonts[i]);
}

BOOL OnInitDialog(HWND page)
{
    for (size_t i = 0; i < FONT_COUNT; ++i)
        State.fonts[i] = Fonts[i].font;
    for (const CAPTIONFIELD& caption : Captions)
        ShowText(page, caption.id, caption.text, sizeof caption.text);
    RefreshSamples(page);
    return TRUE;
}

// Each caption keeps at most 15 bytes; where byte 15 would be the first half of a double-byte
// character, the caption ends before it, with 14 (ReadText).
void OnStore(HWND page)
{
    for (size_t i = 0; i < FONT_COUNT; ++i)
        Fonts[i].font = State.fonts[i];
    for (const CAPTIONFIELD& caption : Captions)
        ReadText(page, caption.id, caption.text, sizeof caption.text);
}

void OnCommand(HWND page, WORD id, WORD code)
{
    for (size_t i = 0; i < FONT_COUNT; ++i) {
        if (Fonts[i].button != id)
            continue;
        // A cancelled chooser leaves the working font as it was.
        (void)SelectFont(GetAncestor(page, GA_ROOT), State.fonts[i]);
        RefreshSamples(page);
        InvalidateRect(page, nullptr, TRUE);
        return;
    }
}

void OnDestroy(HWND page)
{
    for (size_t i = 0; i < FONT_COUNT; ++i)
        ReleaseFontSample(page, Fonts[i].sample, State.samples[i]);
}

// The samples' fonts are the page's own: at a new DPI it makes them again.
bool OnOtherMessage(HWND page, UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    if (message != MSG_DPICHANGED_AFTERPARENT)
        return false;
    RefreshSamples(page);
    result = 0;
    return true;
}

}  // namespace

const PAGEHANDLERS LabelPage = {OnInitDialog, OnCommand, OnStore, nullptr, OnDestroy, OnOtherMessage};

INT_PTR CALLBACK LabelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(LabelPage, page, message, wParam, lParam);
}

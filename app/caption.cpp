#include "app/caption.h"

#include <cstring>

#include "app/captiontext.h"
#include "gpu/gpuinfo.h"
#include "gpu/sampledata.h"
#include "render/paneltitle.h"

static_assert(CAPTION_SIZE == PANEL_TITLE_SIZE, "the title band shows the whole caption");

void SetCaptionText(HWND window, const unsigned int* temperatures, const unsigned int* usages,
                    unsigned int memoryUsed, unsigned int fanLevel)
{
    // One byte more than a caption can hold: a longer text already in the window reads as
    // different instead of matching a cut copy of itself.
    char current[CAPTION_SIZE + 1] = "";
    GetWindowTextA(window, current, sizeof current);

    char text[CAPTION_SIZE];
    if (temperatures && usages)
        BuildReadingsText(text, sizeof text, temperatures, usages, memoryUsed, fanLevel);
    else
        BuildIdentityText(text, sizeof text, GpuInfo);

    SetPanelTitle(text);
    if (strcmp(current, text) != 0)
        SetWindowTextA(window, text);
}

void ShowReadingsCaption(HWND window)
{
    const SAMPLEDATA& s = Sample;
    const unsigned int temperatures[2] = {s.CoreTemp, s.AmbientTemp};
    const unsigned int usages[3] = {s.UsageCore, s.UsageMemory, s.UsageVideo};
    SetCaptionText(window, temperatures, usages, MemoryUsedMB(s), s.FanLevel);
}

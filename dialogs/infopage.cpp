// The "情報" tab (template 208): the GPU's identity and its usage bars. Read-only: the store
// command is not its business and falls through to FALSE.
#include "dialogs/infopage.h"

#include <cstdio>

#include "base/dpi.h"
#include "dialogs/pages.h"
#include "gpu/gpuinfo.h"
#include "gpu/sampledata.h"
#include "resources/resource.h"

CPROGBAR InformationBars[INFORMATION_BAR_COUNT];

namespace {

struct BARROW {
    int placeholder;
    int textMode;
    const unsigned int* maximum;
};

// The memory bar's text is the page's own (text mode 3): megabytes, not a share.
const BARROW BarRows[INFORMATION_BAR_COUNT] = {
    {IDC_INFO_BAR_CORE, 1, &Sample.MaxUsageCore},
    {IDC_INFO_BAR_MEMORY, 1, &Sample.MaxUsageMemory},
    {IDC_INFO_BAR_VIDEO, 1, &Sample.MaxUsageVideo},
    {IDC_INFO_BAR_MEMORY_USED, 3, &Sample.MaxMemoryUsed},
};

struct INFOPAGE {
    bool timerRunning;
};

INFOPAGE State;

// Memory in use in KB, in unsigned 32-bit arithmetic: free memory above the total gives a huge
// number, which the bar refuses as above its scale.
unsigned int MemoryUsedKB() { return Sample.MemoryTotal - Sample.MemoryFree; }

unsigned int CurrentValue(int bar)
{
    switch (bar) {
    case BAR_CORE_USAGE: return Sample.UsageCore;
    case BAR_MEMORY_USAGE: return Sample.UsageMemory;
    case BAR_VIDEO_USAGE: return Sample.UsageVideo;
    default: return MemoryUsedKB();
    }
}

unsigned int Megabytes(double kilobytes) { return CutToUnsigned(kilobytes) >> 10; }

// Shows what the bar holds, so a refused reading does not appear in the text either.
void SetMemoryText(CPROGBAR& bar)
{
    snprintf(bar.text, sizeof bar.text, "%uMB/%uMB (%uMB)", Megabytes(bar.value), Megabytes(bar.scale),
             Megabytes(bar.peak));
}

void SetUpBar(HWND page, int index)
{
    const BARROW& row = BarRows[index];
    CPROGBAR& bar = InformationBars[index];
    HWND placeholder = GetDlgItem(page, row.placeholder);
    if (!placeholder)
        return;
    bar.Attach(page, placeholder);
    ShowWindow(placeholder, SW_HIDE);
    bar.DeleteObjects();
    bar.textColor = GetSysColor(COLOR_BTNTEXT);
    bar.backgroundColor = GetSysColor(COLOR_BTNFACE);
    bar.barColor = GetSysColor(COLOR_BTNSHADOW);
    bar.lightEdgeColor = GetSysColor(COLOR_BTNHIGHLIGHT);
    bar.darkEdgeColor = GetSysColor(COLOR_BTNSHADOW);
    if (bar.CreateObjects())
        bar.font = reinterpret_cast<HFONT>(SendMessageA(placeholder, WM_GETFONT, 0, 0));
    bar.dpi = WindowDpi(page);
    bar.showPeak = 1;
    bar.textMode = row.textMode;
    // A total memory of 0 keeps the scale of before; the peak starts afresh in any case, so that a
    // peak of an earlier opening never shows.
    double scale = index == BAR_MEMORY_USED ? Sample.MemoryTotal : 100.0;
    if (scale != 0)
        bar.scale = scale;
    bar.value = 0;
    bar.peak = 0;
    bar.Offer(*row.maximum);
    bar.Offer(CurrentValue(index));
    if (index == BAR_MEMORY_USED)
        SetMemoryText(bar);
}

void ShowNumber(HWND page, int id, unsigned int number)
{
    char text[16];
    snprintf(text, sizeof text, "%u", number);
    SetDlgItemTextA(page, id, text);
}

void ShowIdentity(HWND page)
{
    SetDlgItemTextA(page, IDC_INFO_ADAPTER, GpuInfo.FullName);
    SetDlgItemTextA(page, IDC_INFO_BIOS, GpuInfo.BiosVersion);
    char driver[160];
    snprintf(driver, sizeof driver, "%s (%s)", GpuInfo.DriverVersion, GpuInfo.DriverBranch);
    SetDlgItemTextA(page, IDC_INFO_DRIVER, driver);
    ShowNumber(page, IDC_INFO_TEMP_LIMIT, Sample.CoreTempLimit);
    SetDlgItemTextA(page, IDC_INFO_BUS_MODE, GpuInfo.BusName);
    ShowNumber(page, IDC_INFO_BUS_RATE, GpuInfo.BusRate);
    ShowNumber(page, IDC_INFO_APERTURE, GpuInfo.Aperture);
    ShowNumber(page, IDC_INFO_MEMORY, GpuInfo.Memory);
}

BOOL OnInitDialog(HWND page)
{
    State = INFOPAGE{};
    for (int bar = 0; bar < INFORMATION_BAR_COUNT; ++bar)
        SetUpBar(page, bar);
    ShowIdentity(page);
    return TRUE;
}

void OnPaint(HWND page)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    for (CPROGBAR& bar : InformationBars)
        if (bar.parent == page)
            bar.Paint(dc);
    EndPaint(page, &paint);
}

void OnShowWindow(HWND page, bool shown)
{
    if (shown && !State.timerRunning)
        State.timerRunning = SetTimer(page, INFORMATION_TIMER_ID, INFORMATION_TIMER_MS, nullptr) != 0;
    else if (!shown && State.timerRunning) {
        KillTimer(page, INFORMATION_TIMER_ID);
        State.timerRunning = false;
    }
}

void OnTimer(HWND page)
{
    for (int index = 0; index < INFORMATION_BAR_COUNT; ++index) {
        CPROGBAR& bar = InformationBars[index];
        if (bar.parent != page)
            continue;
        bar.Offer(CurrentValue(index));
        if (index == BAR_MEMORY_USED)
            SetMemoryText(bar);
        RECT outer;
        RECT filled;
        if (bar.Rectangles(outer, filled)) {
            // The bottom edge lies one row below the placeholder.
            ++outer.right;
            ++outer.bottom;
            InvalidateRect(page, &outer, TRUE);
        }
    }
}

// The system has given the placeholders the dialog's font made anew for the new DPI, and may have
// deleted the one the bars held.
void OnDpiChanged(HWND page)
{
    for (CPROGBAR& bar : InformationBars) {
        if (bar.parent != page)
            continue;
        bar.font = reinterpret_cast<HFONT>(SendMessageA(bar.placeholder, WM_GETFONT, 0, 0));
        bar.dpi = WindowDpi(page);
    }
    InvalidateRect(page, nullptr, TRUE);
}

void OnDestroy(HWND page)
{
    OnShowWindow(page, false);
    for (CPROGBAR& bar : InformationBars)
        if (bar.parent == page)
            bar.Detach();
}

bool OnOtherMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_PAINT:
        OnPaint(page);
        result = 0;
        return true;
    case WM_SHOWWINDOW:
        OnShowWindow(page, wParam != 0);
        result = TRUE;
        return true;
    case WM_TIMER:
        if (wParam == INFORMATION_TIMER_ID)
            OnTimer(page);
        result = 0;
        return true;
    case MSG_DPICHANGED_AFTERPARENT:
        OnDpiChanged(page);
        result = 0;
        return true;
    default:
        return false;
    }
}

}  // namespace

const PAGEHANDLERS InformationPage = {OnInitDialog, nullptr, nullptr, nullptr, OnDestroy, OnOtherMessage};

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(InformationPage, page, message, wParam, lParam);
}

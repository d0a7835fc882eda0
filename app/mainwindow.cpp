#include "app/mainwindow.h"

#include <windows.h>
#include <shellapi.h>
#include <cstring>

#include "app/appstate.h"
#include "app/caption.h"
#include "app/measuretimer.h"
#include "app/menu.h"
#include "app/panelcontrol.h"
#include "app/paneldpi.h"
#include "app/taskbar.h"
#include "app/tooltip.h"
#include "base/critsect.h"
#include "base/dpi.h"
#include "base/textpolicy.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/gpuinfo.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "gpu/sensortext.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "ui/messageboxes.h"
#include "ui/texts.h"

namespace {

// How long teardown waits for a measurement worker stuck in the driver before it gives up and
// leaves the guarded sections alive rather than pull them from under the worker.
const DWORD WORKER_SHUTDOWN_WAIT_MS = 10000;

bool InsideInclusive(const RECT& rect, int x, int y)
{
    return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
}

void ForgetHover(HWND window)
{
    SetCaptionText(window, nullptr, nullptr, 0, 0);
    ForgetHoverPosition();
}

// Removes caption and frame so that the dialog becomes a bare panel exactly the size of its
// client area, which stays where it was on the screen.
void MakeBorderless(HWND window, const RECT& client)
{
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    RECT rect;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
        SetWindowLongPtrA(window, GWL_STYLE, style);
        GetWindowRect(window, &rect);
        int caption = GetSystemMetrics(SM_CYCAPTION);
        SetWindowPos(window, nullptr, rect.left, rect.top + caption, rect.right - rect.left,
                     rect.bottom - rect.top - caption, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    style &= ~static_cast<LONG_PTR>(DS_MODALFRAME);
    SetWindowLongPtrA(window, GWL_STYLE, style);
    LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME);
    SetWindowLongPtrA(window, GWL_EXSTYLE, exStyle);
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, rect.left, rect.top, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool OnAnyScreen(int x, int y, int width, int height)
{
    RECT rect = {x, y, x + width, y + height};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

// A panel placed where no screen shows it (saved on a monitor that is gone) is centred on the
// primary screen instead: borderless and deaf to Escape and Alt+F4, it could not be reached.
void PlaceWindow(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = Config.Global.X;
    int y = Config.Global.Y;
    if ((x == -1 && y == -1) || !OnAnyScreen(x, y, width, height)) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The panel is laid out by the program itself, at the DPI it was made at (its client area and
// controls as the system made them), and again at every DPI change: then Wine, which never lays a
// dialog out anew, and Windows go the same way.
bool SetUpWindow(HWND window)
{
    if (!LayOutPanel(WindowDpi(window)))
        return false;
    RECT client = PanelRes.clientRect;
    if (!BuildRenderResources(window))
        return false;
    char sensorText[SENSORTEXT_SIZE] = {};
    if (!ProbeGpu(Gpu, sensorText, sizeof sensorText))
        return false;
    if (!CreateTooltip(window, sensorText))
        return false;
    // The window stays hidden until it is complete, so it appears once, as the finished panel.
    SetTaskbarStyle(window, Config.Global.Taskbar);
    MakeBorderless(window, client);
    SetCaptionText(window, nullptr, nullptr, 0, 0);
    PlaceWindow(window);
    MeasureLog.FileName(Config.Log.File);
    MeasureLog.FormatType(LF_DATETIME);
    MeasureLog.Enable(true);
    StartMeasureTimer(window);
    return App.timerId != 0;
}

BOOL OnInitDialog(HWND window)
{
    App.mainWindow = window;
    KeepDialogLayout(window);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(App.icons[IDI_PANEL_LARGE - IDI_FIRST]));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(App.icons[IDI_PANEL_SMALL - IDI_FIRST]));
    DragAcceptFiles(window, TRUE);
    ForgetHoverPosition();
    SetPanelRefresh(RefreshPanel);
    SetMinimisedView(ShowReadingsCaption);
    AllowMeasureWorkers();
    CreateCritSect(ProbeSection, "PROBE");
    CreateCritSect(UpdateSection, "UPDATE");

    if (!Gpu.Initialize() && !Config.Global.Dummy) {
        ShowErrorMessage(window, TEXT_NO_NVIDIA);
        EndDialog(window, 0);
        return FALSE;
    }
    if (!SetUpWindow(window)) {
        ShowErrorMessage(window, TEXT_INIT_ERROR);
        EndDialog(window, 0);
        return FALSE;
    }
    ShapeNewPanel(window);
    RefreshPanel(window);
    MeasureCycle(window);
    ShowWindow(window, SW_SHOW);
    return FALSE;
}

void OnDestroy(HWND window)
{
    StopMeasureTimer(window);
    bool workersGone = StopMeasureWorkers(WORKER_SHUTDOWN_WAIT_MS);
    App.workersLeft = !workersGone;
    FreeRenderResources();
    RemoveTooltip();
    ForgetPanelShape();
    // A worker that never came back from the driver may still enter the sections; leaving them
    // alive costs nothing at this point, deleting them under it would crash the exit.
    if (workersGone) {
        DeleteCritSect(UpdateSection);
        DeleteCritSect(ProbeSection);
    }
    PostQuitMessage(0);
}

void OnTimer(HWND window, WPARAM id)
{
    if (id != App.timerId)
        return;
    if (HoverPosition.x != -1 || HoverPosition.y != -1) {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        if (!InsideInclusive(PanelRes.graphRect, cursor.x, cursor.y))
            ForgetHover(window);
    }
    if (Config.Global.Async)
        StartMeasureWorker(window);
    else
        MeasureCycle(window);
}

// Looks the position up in the history as last drawn; false when no sample lies under it.
bool HoverHistory(HWND window, int x)
{
    float dx = PanelRes.graphW * 0.00390625f;
    for (unsigned int i = 0; i < Sample.HistoryCount && i < HISTORY_SIZE; ++i) {
        float left = static_cast<float>(GraphPointX(i));
        if (left <= x && x < left + dx) {
            const HISTORYENTRY& entry = Sample.History[i];
            unsigned int temperatures[2] = {entry.CoreTemp, entry.AmbientTemp};
            unsigned int usages[3] = {entry.UsageCore, entry.UsageMemory, entry.UsageVideo};
            SetCaptionText(window, temperatures, usages, entry.MemoryUsed, entry.FanLevel);
            return true;
        }
    }
    return false;
}

// Whether the position is over a value field or a sample of the graph, marking what it is over.
// Reads the history, so it runs under the Probe section.
bool HoverAt(HWND window, int x, int y)
{
    ClearHoverFlags();
    for (int i = 0; i < HOVER_FIELD_COUNT; ++i) {
        if (InsideInclusive(PanelRes.hotRect[i], x, y)) {
            HoverFlags[i] = true;
            return true;
        }
    }
    return InsideInclusive(PanelRes.graphRect, x, y) && HoverHistory(window, x);
}

BOOL OnMouseMove(HWND window, LPARAM lParam)
{
    // The position is taken as two unsigned 16-bit values, as the message packs them.
    HoverPosition.x = LOWORD(lParam);
    HoverPosition.y = HIWORD(lParam);
    bool hovered = false;
    {
        SECTIONTRYGUARD probe(ProbeSection);
        hovered = probe.Held() && HoverAt(window, HoverPosition.x, HoverPosition.y);
    }
    if (!hovered)
        ForgetHover(window);
    RefreshPanel(window);
    return hovered ? TRUE : FALSE;
}

void OnSize(HWND window, WPARAM kind)
{
    if (kind == SIZE_RESTORED) {
        ShowInTaskbar(window, Config.Global.Taskbar);
        SetCaptionText(window, nullptr, nullptr, 0, 0);
        RefreshPanel(window);
    } else if (kind == SIZE_MINIMIZED) {
        RefreshPanel(window);
    }
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc && PanelRes.backBuffer.hdc) {
        const RECT& client = PanelRes.clientRect;
        BitBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top,
               PanelRes.backBuffer.hdc, 0, 0, SRCCOPY);
    }
    EndPaint(window, &paint);
}

bool HasExtension(const char* extension, const char* const* list)
{
    for (; *list; ++list)
        if (lstrcmpiA(extension, *list) == 0)
            return true;
    return false;
}

void OnDropFiles(HWND window, HDROP drop)
{
    static const char* const images[] = {".BMP", ".JPG", ".JPEG", ".GIF", ".PNG", ".WMF", nullptr};
    static const char* const themes[] = {".VKT", nullptr};
    char path[PATH_CAPACITY] = {};
    UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length == 0 || length >= sizeof path)
        return;
    const char* dot = strrchr(path, '.');
    const char* slash = strrchr(path, '\\');
    if (!dot || (slash && dot < slash))
        return;
    bool image = HasExtension(dot, images);
    if (!image && !HasExtension(dot, themes))
        return;
    MeasureTimerPause pause(window);
    if (image) {
        Theme.Skin.Enable = 1;
        lstrcpynA(Theme.Skin.File, path, sizeof Theme.Skin.File);
    } else {
        lstrcpynA(Config.Theme.File, path, sizeof Config.Theme.File);
        LoadTheme();
    }
    RebuildPanel(window, window);
}

// The size the panel will have at the new DPI; the answer goes in the message result, as for any
// dialog.
BOOL OnGetDpiScaledSize(HWND window, WPARAM dpi, LPARAM lParam)
{
    SIZE* size = reinterpret_cast<SIZE*>(lParam);
    if (!size || !PanelSizeAtDpi(static_cast<UINT>(dpi), *size))
        return FALSE;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

void OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    const UINT dpi = HIWORD(wParam);
    if (suggested && dpi)
        OnPanelDpiChanged(window, dpi, *suggested);
}

void OnPowerBroadcast(HWND window, WPARAM event)
{
    if (event == PBT_APMSUSPEND)
        StopMeasureTimer(window);
    else if (event == PBT_APMRESUMESUSPEND)
        StartMeasureTimer(window);
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(window);
    case WM_DESTROY:
        OnDestroy(window);
        return TRUE;
    case WM_SIZE:
        OnSize(window, wParam);
        return TRUE;
    case WM_PAINT:
        OnPaint(window);
        return FALSE;
    case WM_COMMAND:
        RunCommand(window, LOWORD(wParam), lParam);
        return TRUE;
    case WM_TIMER:
        OnTimer(window, wParam);
        return TRUE;
    case WM_MOUSEMOVE:
        return OnMouseMove(window, lParam);
    case WM_LBUTTONDOWN:
        if (!Config.Global.Stable)
            PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        RunCommand(window, CMD_MINIMIZE, 0);
        return TRUE;
    case WM_RBUTTONDOWN:
        ShowContextMenu(window);
        PostMessageA(window, WM_NULL, 0, 0);
        return TRUE;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(window, wParam);
        return TRUE;
    case WM_DROPFILES:
        OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        return FALSE;
    case WM_DPICHANGED:
        OnDpiChanged(window, wParam, lParam);
        return TRUE;
    case MSG_GETDPISCALEDSIZE:
        return OnGetDpiScaledSize(window, wParam, lParam);
    case WM_ENTERSIZEMOVE:
        OnPanelMoveStarted();
        return FALSE;
    case WM_EXITSIZEMOVE:
        OnPanelMoveEnded(window);
        return FALSE;
    default:
        return FALSE;
    }
}

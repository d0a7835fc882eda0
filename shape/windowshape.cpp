#include "shape/windowshape.h"

#include <cstring>

#include "base/dpi.h"
#include "base/textpolicy.h"
#include "config/keyschema.h"
#include "config/theme.h"
#include "resources/resource.h"
#include "shape/maskregion.h"
#include "shape/regioncache.h"
#include "ui/messageboxes.h"
#include "ui/messagedialog.h"
#include "ui/resourcemodule.h"
#include "ui/texts.h"

namespace {

// Handed to the worker thread, which copies it before it signals the event: from then on the
// requester's copy may go.
struct MASKREQUEST {
    HANDLE event;
    HWND window;
    RECT rect;
    char maskPath[PATH_CAPACITY];
    char cachePath[PATH_CAPACITY];
};
static_assert(sizeof(MASKREQUEST) == 4128, "worker request layout");

const char* const MASK_WAIT_LINES[] = {"マスク情報を生成しています。", "しばらくお待ち下さい。", nullptr};

// The rounded shape's corner ellipses, in 96-dpi pixels.
constexpr int ROUND_CORNER = 6;

void MakeLayered(HWND window)
{
    LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED))
        SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
}

void SetColorKey(HWND window, COLORREF key)
{
    MakeLayered(window);
    SetLayeredWindowAttributes(window, key, 255, LWA_COLORKEY | LWA_ALPHA);
}

void ApplyRoundedShape(HWND window, const RECT& clientRect, UINT dpi)
{
    const int corner = ScaleToDpi(ROUND_CORNER, dpi);
    HRGN region = CreateRoundRectRgn(clientRect.left, clientRect.top, clientRect.right + 1, clientRect.bottom + 1,
                                     corner, corner);
    if (region && SetWindowRgn(window, region, TRUE))
        return;
    if (region)
        DeleteObject(region);
    Theme.Mask.Mode = MASK_NONE;
}

// The skin's top left pixel while a skin is shown; the plain background colour otherwise, and
// when the surface cannot be read (a key of CLR_INVALID would be no colour at all).
COLORREF AutomaticColorKey(HDC skinSurface)
{
    if (Theme.Skin.Enable && skinSurface) {
        COLORREF corner = GetPixel(skinSurface, 0, 0);
        if (corner != CLR_INVALID)
            return corner;
    }
    return Theme.Skin.Color;
}

void FailMaskShape(HWND requester, HWND window)
{
    ShowErrorMessage(window, TEXT_MASK_ERROR);
    Theme.Mask.Mode = MASK_NONE;
    EnableWindow(requester, TRUE);
}

DWORD WINAPI MaskRegionWorker(void* parameter)
{
    MASKREQUEST request;
    memcpy(&request, parameter, sizeof request);
    SetEvent(request.event);
    int result = BuildMaskRegion(request.window, request.rect, request.maskPath, request.cachePath);
    PostMessageA(request.window, WM_COMMAND, MAKEWPARAM(CMD_MASK_BUILT, 0), result);
    return static_cast<DWORD>(result);
}

bool ApplyCachedRegion(HWND window, const char* cachePath, const RECT& clientRect)
{
    HRGN region = LoadRegionCache(cachePath, clientRect);
    if (!region)
        return false;
    if (SetWindowRgn(window, region, TRUE))
        return true;
    DeleteObject(region);
    return false;
}

void ApplyMaskShape(HWND requester, HWND window, const RECT& clientRect)
{
    MASKREQUEST request = {};
    // A cache path that does not fit could only name some other file.
    if (!MakeRegionCachePath(request.cachePath, Theme.Mask.File)) {
        FailMaskShape(requester, window);
        return;
    }
    if (ApplyCachedRegion(window, request.cachePath, clientRect))
        return;

    request.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!request.event)
        return;
    request.window = window;
    request.rect = clientRect;
    memcpy(request.maskPath, Theme.Mask.File, sizeof request.maskPath);
    request.maskPath[sizeof request.maskPath - 1] = '\0';
    EnableWindow(requester, FALSE);
    HANDLE worker = CreateThread(nullptr, 0, MaskRegionWorker, &request, 0, nullptr);
    if (!worker) {
        // Without a worker no completion ever comes: waiting for one would hang the panel.
        CloseHandle(request.event);
        FailMaskShape(requester, window);
        return;
    }
    CloseHandle(worker);
    WaitForSingleObject(request.event, INFINITE);
    CloseHandle(request.event);

    // With another message dialog shown, the completion ends that one instead; this build is
    // reported failed at once.
    if (!MessageRequest.window) {
        INT_PTR result = ShowMessageDialog(ResourceModule, window, nullptr, nullptr, MASK_WAIT_LINES);
        if (result != 0 && result != -1) {
            EnableWindow(requester, TRUE);
            return;
        }
    }
    FailMaskShape(requester, window);
}

}  // namespace

void ApplyWindowShape(HWND requester, HWND window, const RECT& clientRect, HDC skinSurface, UINT dpi)
{
    SetWindowRgn(window, nullptr, TRUE);
    MakeLayered(window);
    SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);

    switch (Theme.Mask.Mode) {
    case MASK_ROUND:
        ApplyRoundedShape(window, clientRect, dpi);
        break;
    case MASK_AUTO_COLOR:
        SetColorKey(window, AutomaticColorKey(skinSurface));
        break;
    case MASK_COLOR:
        SetColorKey(window, Theme.Mask.Color);
        break;
    case MASK_BITMAP:
        ApplyMaskShape(requester, window, clientRect);
        break;
    default:
        SetWindowRgn(window, nullptr, TRUE);
        break;
    }
}

void OnMaskRegionBuilt(HWND window, LPARAM result)
{
    EndMessageDialog(static_cast<INT_PTR>(result));
    if (result == 0)
        ShowErrorMessage(window, TEXT_MASK_ERROR);
}

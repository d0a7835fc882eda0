#include "base/dpi.h"

#include "base/scopeguards.h"

namespace {

// The values of DDC_DISABLE_ALL and DCDC_DISABLE_FONT_UPDATE, both first in Windows 10, 1703.
constexpr DWORD DIALOG_DISABLE_ALL = 0x0001;
constexpr DWORD CONTROL_DISABLE_FONT_UPDATE = 0x0001;

using GETDPIFORWINDOW = UINT(WINAPI*)(HWND);
using SETDPICHANGEBEHAVIOR = BOOL(WINAPI*)(HWND, DWORD, DWORD);

FARPROC UserFunction(const char* name)
{
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? GetProcAddress(user, name) : nullptr;
}

template <typename FUNCTION>
FUNCTION Find(const char* name)
{
    return reinterpret_cast<FUNCTION>(reinterpret_cast<void*>(UserFunction(name)));
}

UINT LogicalDpi(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return BASE_DPI;
    RELEASEDCGUARD release(window, dc);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : BASE_DPI;
}

}  // namespace

int ScaleToDpi(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), BASE_DPI); }

int ScaleFromDpi(int pixels, UINT dpi) { return dpi ? MulDiv(pixels, BASE_DPI, static_cast<int>(dpi)) : pixels; }

UINT WindowDpi(HWND window)
{
    static const GETDPIFORWINDOW getDpi = Find<GETDPIFORWINDOW>("GetDpiForWindow");
    const UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi ? dpi : LogicalDpi(window);
}

UINT ScreenDpi() { return LogicalDpi(nullptr); }

void KeepDialogLayout(HWND dialog)
{
    static const SETDPICHANGEBEHAVIOR set = Find<SETDPICHANGEBEHAVIOR>("SetDialogDpiChangeBehavior");
    if (set && dialog)
        set(dialog, DIALOG_DISABLE_ALL, DIALOG_DISABLE_ALL);
}

void KeepControlFont(HWND control)
{
    static const SETDPICHANGEBEHAVIOR set = Find<SETDPICHANGEBEHAVIOR>("SetDialogControlDpiChangeBehavior");
    if (set && control)
        set(control, CONTROL_DISABLE_FONT_UPDATE, CONTROL_DISABLE_FONT_UPDATE);
}

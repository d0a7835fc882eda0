#include "dialogs/pages.h"

INT_PTR DispatchPage(const PAGEHANDLERS& row, HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return row.init ? row.init(page) : TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == PAGE_STORE_COMMAND) {
            if (row.store)
                row.store(page);
        } else if (row.command) {
            row.command(page, LOWORD(wParam), HIWORD(wParam));
        }
        return row.store || row.command ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
        return row.swatchColors ? row.swatchColors(wParam, lParam) : FALSE;
    case WM_DESTROY:
        if (row.destroy)
            row.destroy(page);
        return TRUE;
    default:
        return row.other && row.other(page, message, wParam, lParam, result) ? result : FALSE;
    }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(page, DWLP_USER, lParam);
    const PAGEHANDLERS* row = reinterpret_cast<const PAGEHANDLERS*>(GetWindowLongPtrA(page, DWLP_USER));
    // Messages before WM_INITDIALOG (WM_SETFONT) find no row yet and go to the system.
    return row ? DispatchPage(*row, page, message, wParam, lParam) : FALSE;
}

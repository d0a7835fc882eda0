// The "カラー" tab (template 205): frame, text and shadow colours of THEMEDATA.
#include "dialogs/pages.h"

namespace {

BOOL OnInitDialog(HWND page) { return TRUE; }

void OnStore(HWND page) {}

void OnCommand(HWND page, WORD id, WORD code) {}

void OnDestroy(HWND page) {}

}  // namespace

INT_PTR CALLBACK ColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_COMMAND:
        if (LOWORD(wParam) == PAGE_STORE_COMMAND)
            OnStore(page);
        else
            OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(page);
        return TRUE;
    default:
        return FALSE;
    }
}

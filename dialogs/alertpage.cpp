// The "警告" tab (template 203): the temperature alert settings of CONFIG.
#include "dialogs/pages.h"

namespace {

BOOL OnInitDialog(HWND page) { return TRUE; }

void OnStore(HWND page) {}

void OnCommand(HWND page, WORD id, WORD code) {}

}  // namespace

INT_PTR CALLBACK AlertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
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
    default:
        return FALSE;
    }
}

// The "バージョン" tab (template 209): the program's version, the driver interface and library
// versions, and the diagnostic counters. Read-only: the store command falls through to FALSE.
#include "dialogs/pages.h"

namespace {

BOOL OnInitDialog(HWND page) { return TRUE; }

void OnDestroy(HWND page) {}

}  // namespace

INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_DESTROY:
        OnDestroy(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// The "情報" tab (template 208): the GPU's identity and its usage bars. Read-only: the store
// command is not its business and falls through to FALSE.
#include "dialogs/pages.h"

namespace {

BOOL OnInitDialog(HWND page) { return TRUE; }

void OnDestroy(HWND page) {}

}  // namespace

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_DESTROY:
        OnDestroy(page);
        return TRUE;
    default:
        return FALSE;
    }
}

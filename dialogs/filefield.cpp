#include "dialogs/filefield.h"

#include "ui/commondialogs.h"
#include "ui/initialpath.h"

bool ChooseFileInto(HWND page, int edit, const char* title, const char* filter)
{
    char path[PATH_CAPACITY] = {};
    GetDlgItemTextA(page, edit, path, sizeof path);
    char folder[PATH_CAPACITY];
    InitialFolder(path, folder, sizeof folder);
    // Owned by the frame, not the page: a child window cannot own the chooser.
    if (!FileDialog(GetAncestor(page, GA_ROOT), title, filter, folder, path, TRUE))
        return false;
    SetDlgItemTextA(page, edit, path);
    return true;
}

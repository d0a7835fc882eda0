// The "カラー" tab (template 205): frame, text and shadow colours of THEMEDATA.
#include "config/theme.h"
#include "dialogs/pagecolors.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "resources/resource.h"

namespace {

struct COLORROW {
    int button;
    int swatch;
    COLORREF& color;
};

const COLORROW Colors[] = {
    {IDC_FRAME_COLOR_BUTTON, IDC_FRAME_COLOR_SWATCH, Theme.Frame.Color},
    {IDC_COLOR_TITLE_BUTTON, IDC_COLOR_TITLE_SWATCH, Theme.Color.Title},
    {IDC_COLOR_FRAME_BUTTON, IDC_COLOR_FRAME_SWATCH, Theme.Color.Frame},
    {IDC_COLOR_LABEL_BUTTON, IDC_COLOR_LABEL_SWATCH, Theme.Color.Label},
    {IDC_COLOR_VALUE_BUTTON, IDC_COLOR_VALUE_SWATCH, Theme.Color.Value},
    {IDC_SHADOW_TITLE_BUTTON, IDC_SHADOW_TITLE_SWATCH, Theme.Shadow.Title},
    {IDC_SHADOW_FRAME_BUTTON, IDC_SHADOW_FRAME_SWATCH, Theme.Shadow.Frame},
    {IDC_SHADOW_LABEL_BUTTON, IDC_SHADOW_LABEL_SWATCH, Theme.Shadow.Label},
    {IDC_SHADOW_VALUE_BUTTON, IDC_SHADOW_VALUE_SWATCH, Theme.Shadow.Value},
};

const CHECKFIELD Checks[] = {
    {IDC_FRAME_ENABLE, &Theme.Frame.Enable},
    {IDC_SHADOW_TITLE_ENABLE, &Theme.Shadow.EnableTitle},
    {IDC_SHADOW_FRAME_ENABLE, &Theme.Shadow.EnableFrame},
    {IDC_SHADOW_LABEL_ENABLE, &Theme.Shadow.EnableLabel},
    {IDC_SHADOW_VALUE_ENABLE, &Theme.Shadow.EnableValue},
};

const NUMBERFIELD Numbers[] = {
    {IDC_SHADOW_OFFSET_EDIT, IDC_SHADOW_OFFSET_UPDOWN, &Theme.Shadow.Offset},
};

// The working colours and their swatches' brushes; the flags and the offset live in their
// controls until the store command.
PAGECOLORS Working;

BOOL OnInitDialog(HWND page)
{
    Working.Clear();
    for (const COLORROW& row : Colors)
        Working.Add(row.button, row.swatch, row.color);
    SetupNumbers(page, Numbers);
    SetupChecks(page, Checks);
    return TRUE;
}

void OnStore(HWND page)
{
    Working.Store();
    StoreChecks(page, Checks);
    StoreNumbers(page, Numbers);
}

void OnCommand(HWND page, WORD id, WORD code) { Working.Choose(page, id); }

void OnDestroy(HWND page) { Working.Clear(); }

INT_PTR SwatchColors(WPARAM wParam, LPARAM lParam) { return Working.Paint(wParam, lParam); }

}  // namespace

const PAGEHANDLERS ColorPage = {OnInitDialog, OnCommand, OnStore, SwatchColors, OnDestroy, nullptr};

INT_PTR CALLBACK ColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(ColorPage, page, message, wParam, lParam);
}

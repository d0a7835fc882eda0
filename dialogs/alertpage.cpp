// The "警告" tab (template 203): the temperature alert settings of CONFIG.
#include "config/config.h"
#include "dialogs/filefield.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "resources/resource.h"
#include "ui/filechoosers.h"

namespace {

const NUMBERFIELD Numbers[] = {
    {IDC_ALERT_CORE_EDIT, IDC_ALERT_CORE_UPDOWN, &Config.Alert.Core},
    {IDC_ALERT_AMBIENT_EDIT, IDC_ALERT_AMBIENT_UPDOWN, &Config.Alert.Ambient},
};

BOOL OnInitDialog(HWND page)
{
    SetCheck(page, IDC_ALERT_ENABLE, Config.Alert.Enable);
    // No typing limit: the stored path is cut to the record when the page stores.
    ShowText(page, IDC_ALERT_FILE, Config.Alert.File, 0);
    SetupNumbers(page, Numbers);
    return TRUE;
}

void OnStore(HWND page)
{
    Config.Alert.Enable = IsChecked(page, IDC_ALERT_ENABLE);
    ReadText(page, IDC_ALERT_FILE, Config.Alert.File, sizeof Config.Alert.File);
    StoreNumbers(page, Numbers);
}

void OnCommand(HWND page, WORD id, WORD code)
{
    if (id == IDC_ALERT_FILE_BUTTON && code == BN_CLICKED)
        ChooseFileInto(page, IDC_ALERT_FILE, FILE_TITLE_SOUND, FILE_FILTER_SOUND);
}

}  // namespace

const PAGEHANDLERS AlertPage = {OnInitDialog, OnCommand, OnStore, nullptr, nullptr, nullptr};

INT_PTR CALLBACK AlertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(AlertPage, page, message, wParam, lParam);
}

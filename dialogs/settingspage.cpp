// The "設定" tab (template 202): measurement, LED, log, taskbar text and theme file settings of CONFIG.
// The controls hold the edited values; the record changes only on the store command, apart from the
// LED settings of a board that has no LED (below).
#include <cstddef>

#include "config/config.h"
#include "config/keyschema.h"
#include "dialogs/filefield.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "gpu/measure.h"
#include "resources/resource.h"
#include "ui/filechoosers.h"

namespace {

// In the order they are stored.
const NUMBERFIELD Numbers[] = {
    {IDC_DEVICE_EDIT, IDC_DEVICE_UPDOWN, &Config.Global.Device},
    {IDC_GPU_EDIT, IDC_GPU_UPDOWN, &Config.Global.GPU},
    {IDC_TIMER_EDIT, IDC_TIMER_UPDOWN, &Config.Global.Timer},
    {IDC_LED_VALUE_EDIT, IDC_LED_VALUE_UPDOWN, &Config.Illumination.Value},
    {IDC_LIMIT_EDIT, IDC_LIMIT_UPDOWN, &Config.Global.Limit},
    {IDC_MEMORY_RATE_EDIT, IDC_MEMORY_RATE_UPDOWN, &Config.Global.MemoryRate},
};

const CHECKFIELD Checks[] = {
    {IDC_ASYNC, &Config.Global.Async},           {IDC_STABLE, &Config.Global.Stable},
    {IDC_USAGE, &Config.Global.Usage},           {IDC_LED_ENABLE, &Config.Illumination.Enable},
    {IDC_LOG_ENABLE, &Config.Log.Enable},        {IDC_TASKBAR_CORE, &Config.Taskbar.Core},
    {IDC_TASKBAR_MEMORY, &Config.Taskbar.Memory}, {IDC_TASKBAR_VIDEO, &Config.Taskbar.Video},
    {IDC_TASKBAR_USED, &Config.Taskbar.Used},    {IDC_TASKBAR_FAN, &Config.Taskbar.Fan},
};

// Each field limits typing to its record buffer, terminator included.
struct TEXTFIELD {
    int id;
    char* field;
    size_t size;
};

const TEXTFIELD Texts[] = {
    {IDC_LOG_FILE, Config.Log.File, sizeof Config.Log.File},
    {IDC_LOG_FORMAT, Config.Log.Format, sizeof Config.Log.Format},
    {IDC_TASKBAR_FORMAT, Config.Taskbar.Format, sizeof Config.Taskbar.Format},
    {IDC_THEME_FILE, Config.Theme.File, sizeof Config.Theme.File},
};

// The items of the LED list; an item's index is the [ILLUMINATION] Sync it stands for.
const char* const SyncItems[] = {"無効", "コア温度", "コア稼働率", "ファン回転率"};
static_assert(sizeof SyncItems / sizeof SyncItems[0] == SYNC_COUNT, "one item for each LED sync");

const int LedControls[] = {IDC_LED_VALUE_EDIT, IDC_LED_VALUE_UPDOWN, IDC_LED_ENABLE, IDC_LED_SYNC};

// A board without LED control cannot keep them switched on: the record is cleared at once, so even
// a cancelled dialog leaves them off, and the next save writes them so.
void RefuseLedWithoutSupport(HWND page)
{
    if (IlluminationSupported())
        return;
    Config.Illumination.Enable = 0;
    Config.Illumination.Sync = SYNC_NONE;
    for (int id : LedControls)
        EnableWindow(GetDlgItem(page, id), FALSE);
}

BOOL OnInitDialog(HWND page)
{
    RefuseLedWithoutSupport(page);
    SetupNumbers(page, Numbers);
    SetupChecks(page, Checks);
    for (const char* item : SyncItems)
        SendDlgItemMessageA(page, IDC_LED_SYNC, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageA(page, IDC_LED_SYNC, CB_SETCURSEL, Config.Illumination.Sync, 0);
    for (const TEXTFIELD& text : Texts)
        ShowText(page, text.id, text.field, static_cast<unsigned int>(text.size));
    return TRUE;
}

void OnStore(HWND page)
{
    StoreNumbers(page, Numbers);
    StoreChecks(page, Checks);
    // A Sync the file set beyond the list selects no item; it stays as it was.
    LRESULT sync = SendDlgItemMessageA(page, IDC_LED_SYNC, CB_GETCURSEL, 0, 0);
    if (sync != CB_ERR)
        Config.Illumination.Sync = static_cast<int>(sync);
    for (const TEXTFIELD& text : Texts)
        ReadText(page, text.id, text.field, text.size);
}

void OnCommand(HWND page, WORD id, WORD code)
{
    if (code != BN_CLICKED)
        return;
    if (id == IDC_LOG_FILE_BUTTON)
        ChooseFileInto(page, IDC_LOG_FILE, FILE_TITLE_LOG, FILE_FILTER_LOG);
    else if (id == IDC_THEME_FILE_BUTTON)
        ChooseFileInto(page, IDC_THEME_FILE, FILE_TITLE_THEME_FILE, FILE_FILTER_THEME);
}

}  // namespace

const PAGEHANDLERS SettingsPage = {OnInitDialog, OnCommand, OnStore, nullptr, nullptr, nullptr};

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(SettingsPage, page, message, wParam, lParam);
}

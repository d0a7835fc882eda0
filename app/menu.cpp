#include "app/menu.h"

#include <windows.h>

#include "app/appstate.h"
#include "app/measuretimer.h"
#include "app/panelcontrol.h"
#include "app/panelshape.h"
#include "app/taskbar.h"
#include "config/config.h"
#include "config/keyschema.h"
#include "config/theme.h"
#include "dialogs/settingsdialog.h"
#include "gpu/measure.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "shape/windowshape.h"
#include "ui/commondialogs.h"
#include "ui/filechoosers.h"
#include "ui/initialpath.h"

namespace {

void AppendItem(HMENU menu, UINT id, const char* text, bool checked = false)
{
    AppendMenuA(menu, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), id, text);
}

void SetMaskMode(HWND window, MASK_MODE mode)
{
    Theme.Mask.Mode = mode;
    ReshapePanel(window, window);
}

void MinimizeToTaskbar(HWND window)
{
    if (!Config.Global.Taskbar) {
        // A tool window would vanish when minimised: it needs its button first.
        ShowWindow(window, SW_HIDE);
        SetWindowLongPtrA(window, GWL_EXSTYLE,
                          GetWindowLongPtrA(window, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
        ShowWindow(window, SW_SHOW);
    }
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void ReloadSettings(HWND window)
{
    MeasureTimerPause pause(window);
    LoadConfig();
    LoadTheme();
    ShowInTaskbar(window, Config.Global.Taskbar);
    RebuildPanel(window, window);
}

void SaveSettings(HWND window)
{
    RecordPanelPosition(window);
    // A file that could not be written has been named to the user; the panel runs on either way.
    if (!SaveSettingsFiles(window))
        return;
}

// SelectFile takes the work buffer and frees it on every path.
int ChooseThemeFile(HWND window, const char* title, int open)
{
    char* work = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, PATH_CAPACITY));
    return SelectFile(window, title, FILE_FILTER_THEME, Config.Theme.File, open, work, "VKT");
}

void LoadThemeFromFile(HWND window)
{
    MeasureTimerPause pause(window);
    if (ChooseThemeFile(window, FILE_TITLE_THEME_LOAD, TRUE)) {
        LoadTheme();
        RebuildPanel(window, window);
    }
}

void SaveThemeToFile(HWND window)
{
    // A theme that could not be written has been named to the user; the panel runs on either way.
    if (!ChooseThemeFile(window, FILE_TITLE_THEME_SAVE, FALSE) || !SaveThemeFile(window))
        return;
}

}  // namespace

void ShowContextMenu(HWND window)
{
    HMENU menu = CreatePopupMenu();
    HMENU mask = CreatePopupMenu();
    HMENU config = CreatePopupMenu();
    HMENU theme = CreatePopupMenu();
    if (!menu || !mask || !config || !theme) {
        DestroyMenu(menu);
        DestroyMenu(mask);
        DestroyMenu(config);
        DestroyMenu(theme);
        return;
    }
    AppendItem(menu, CMD_REFRESH, "最新の情報に更新");
    AppendItem(menu, CMD_RESET_MAXIMUM, "最大値を初期化");
    AppendItem(menu, CMD_MINIMIZE, "画面を最小化");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendItem(menu, CMD_TASKBAR, "タスクバー表示", Config.Global.Taskbar != 0);
    AppendItem(menu, CMD_STABLE, "位置を固定", Config.Global.Stable != 0);
    AppendItem(menu, CMD_SKIN, "スキンを有効", Theme.Skin.Enable != 0);
    AppendItem(mask, CMD_MASK_NONE, "マスクを無効", Theme.Mask.Mode == MASK_NONE);
    AppendItem(mask, CMD_MASK_ROUND, "ラウンドを有効", Theme.Mask.Mode == MASK_ROUND);
    AppendItem(mask, CMD_MASK_AUTO, "自動を有効", Theme.Mask.Mode == MASK_AUTO_COLOR);
    AppendItem(mask, CMD_MASK_COLOR, "カラーを有効", Theme.Mask.Mode == MASK_COLOR);
    AppendItem(mask, CMD_MASK_BITMAP, "ビットマップを有効", Theme.Mask.Mode == MASK_BITMAP);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(mask), "マスク");
    AppendItem(menu, CMD_LOG, "ログを有効", Config.Log.Enable != 0);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendItem(menu, CMD_SETTINGS, "設定画面...");
    AppendItem(config, CMD_CONFIG_LOAD, "ロード");
    AppendItem(config, CMD_CONFIG_SAVE, "セーブ");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(config), "設定ファイル");
    AppendItem(theme, CMD_THEME_LOAD, "ロード...");
    AppendItem(theme, CMD_THEME_SAVE, "セーブ...");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(theme), "テーマファイル");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendItem(menu, CMD_EXIT, "終了");

    POINT cursor;
    GetCursorPos(&cursor);
    ForceForeground(window);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    DestroyMenu(menu);  // destroys the submenus with it
}

void RunCommand(HWND window, WORD command, LPARAM lParam)
{
    switch (command) {
    case CMD_REFRESH: MeasureCycle(window); break;
    case CMD_RESET_MAXIMUM: ResetMaximum(window); break;
    case CMD_MINIMIZE: MinimizeToTaskbar(window); break;
    case CMD_TASKBAR:
        Config.Global.Taskbar ^= 1;
        ShowInTaskbar(window, Config.Global.Taskbar);
        break;
    case CMD_STABLE: Config.Global.Stable ^= 1; break;
    case CMD_SKIN:
        Theme.Skin.Enable ^= 1;
        RefreshPanel(window);
        break;
    case CMD_MASK_NONE: SetMaskMode(window, MASK_NONE); break;
    case CMD_MASK_ROUND: SetMaskMode(window, MASK_ROUND); break;
    case CMD_MASK_AUTO: SetMaskMode(window, MASK_AUTO_COLOR); break;
    case CMD_MASK_COLOR: SetMaskMode(window, MASK_COLOR); break;
    case CMD_MASK_BITMAP: SetMaskMode(window, MASK_BITMAP); break;
    case CMD_LOG: Config.Log.Enable ^= 1; break;
    case CMD_SETTINGS: OpenSettingsDialog(window); break;
    case CMD_CONFIG_LOAD: ReloadSettings(window); break;
    case CMD_CONFIG_SAVE: SaveSettings(window); break;
    case CMD_THEME_LOAD: LoadThemeFromFile(window); break;
    case CMD_THEME_SAVE: SaveThemeToFile(window); break;
    case CMD_MASK_BUILT: OnMaskRegionBuilt(window, lParam); break;
    case CMD_EXIT:
        StopMeasureTimer(window);
        EndDialog(window, 1);
        break;
    default:
        break;  // Escape and Alt+F4 arrive as IDCANCEL and do nothing: only "終了" ends the panel.
    }
}

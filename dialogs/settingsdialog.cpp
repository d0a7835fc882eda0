#include "dialogs/settingsdialog.h"

#include <windows.h>
#include <commctrl.h>

#include "app/appstate.h"
#include "app/panelcontrol.h"
#include "app/taskbar.h"
#include "base/dpi.h"
#include "dialogs/dialogkeyboard.h"
#include "dialogs/pages.h"
#include "resources/resource.h"
#include "ui/resourcemodule.h"

namespace {

struct PAGEROW {
    const char* label;
    int templateId;
    const PAGEHANDLERS* handlers;
};

// One row per tab, in tab order.
const PAGEROW PageTable[] = {
    {"設定", IDD_PAGE_SETTINGS, &SettingsPage},
    {"警告", IDD_PAGE_ALERT, &AlertPage},
    {"ラベル", IDD_PAGE_LABEL, &LabelPage},
    {"カラー", IDD_PAGE_COLOR, &ColorPage},
    {"グラフ", IDD_PAGE_GRAPH, &GraphPage},
    {"スキン", IDD_PAGE_SKIN, &SkinPage},
    {"情報", IDD_PAGE_INFORMATION, &InformationPage},
    {"バージョン", IDD_PAGE_VERSION, &VersionPage},
};
constexpr int PAGE_COUNT = sizeof PageTable / sizeof PageTable[0];

// Space around a tab's label, in 96-dpi pixels.
constexpr int TAB_PADDING_X = 3;
constexpr int TAB_PADDING_Y = 3;

// Posted to the frame at a new DPI: the pages are placed again once the system has laid the frame
// out anew, which it does after the frame's own answer to WM_DPICHANGED.
constexpr UINT MSG_PLACE_PAGES = WM_APP + 1;

// The open dialog's frame; App.settingsDialog holds its window.
struct FRAMESTATE {
    HWND panel;
    int shownPage;
    HWND pages[PAGE_COUNT];  // null for a page that could not be made
};

FRAMESTATE Frame;

HWND Tabs(HWND dialog) { return GetDlgItem(dialog, IDC_SETTINGS_TABS); }

// Lays the page over the tab control's display area. Above the tab control in the z-order, the page
// is never painted over by it, and it comes first in the Tab order, before the tabs and buttons.
void PlacePage(HWND dialog, HWND page)
{
    HWND tabs = Tabs(dialog);
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, dialog, reinterpret_cast<POINT*>(&area), 2);
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE | SWP_NOREDRAW);
}

// A hidden page must not keep the keyboard focus: it moves to the first control of the shown page,
// or to the tabs when that page has none.
void MoveFocusTo(HWND dialog, HWND page)
{
    HWND target = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
    if (!target || !IsChild(page, target))
        target = Tabs(dialog);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void ShowPage(HWND dialog, int index)
{
    Frame.shownPage = index;
    HWND shown = index >= 0 && index < PAGE_COUNT ? Frame.pages[index] : nullptr;
    if (shown)
        ShowWindow(shown, SW_SHOW);
    HWND focus = GetFocus();
    bool focusHidden = false;
    for (int i = 0; i < PAGE_COUNT; ++i) {
        if (!Frame.pages[i] || i == index)
            continue;
        focusHidden = focusHidden || IsChild(Frame.pages[i], focus);
        ShowWindow(Frame.pages[i], SW_HIDE);
    }
    if (focusHidden)
        MoveFocusTo(dialog, shown);
}

// Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, round the end.
void SwitchPage(HWND dialog, bool forward)
{
    HWND tabs = Tabs(dialog);
    int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0)
        return;
    int current = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    int next = ((current < 0 ? 0 : current) + (forward ? 1 : count - 1)) % count;
    SendMessageA(tabs, TCM_SETCURSEL, next, 0);
    ShowPage(dialog, next);
}

BOOL OnInitDialog(HWND dialog)
{
    App.settingsDialog = dialog;
    SendMessageA(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(App.icons[IDI_SETTINGS_LARGE - IDI_FIRST]));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(App.icons[IDI_SETTINGS_SMALL - IDI_FIRST]));

    Frame.shownPage = 0;
    HWND tabs = Tabs(dialog);
    // The eight labels are about as wide as the dialog: with the default padding the last tab
    // would sit behind scroll arrows.
    const UINT dpi = WindowDpi(dialog);
    SendMessageA(tabs, TCM_SETPADDING, 0, MAKELPARAM(ScaleToDpi(TAB_PADDING_X, dpi), ScaleToDpi(TAB_PADDING_Y, dpi)));
    for (int i = 0; i < PAGE_COUNT; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(PageTable[i].label);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        Frame.pages[i] = CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(PageTable[i].templateId), dialog,
                                            PageProc, reinterpret_cast<LPARAM>(PageTable[i].handlers));
        if (Frame.pages[i])
            PlacePage(dialog, Frame.pages[i]);
    }
    SendMessageA(tabs, TCM_SETCURSEL, 0, 0);
    ShowPage(dialog, 0);
    InstallDialogKeyboard(dialog, SwitchPage);
    return TRUE;
}

// The system has scaled the frame and its controls; the pages follow the tabs' new display area (the
// Skin page places its preview again as its size changes), and the tabs get their padding at the new
// DPI.
void PlacePagesAgain(HWND dialog)
{
    const UINT dpi = WindowDpi(dialog);
    SendMessageA(Tabs(dialog), TCM_SETPADDING, 0,
                 MAKELPARAM(ScaleToDpi(TAB_PADDING_X, dpi), ScaleToDpi(TAB_PADDING_Y, dpi)));
    for (HWND page : Frame.pages)
        if (page)
            PlacePage(dialog, page);
    InvalidateRect(dialog, nullptr, TRUE);
}

BOOL OnNotify(HWND dialog, const NMHDR* notification)
{
    if (notification && notification->idFrom == IDC_SETTINGS_TABS && notification->code == TCN_SELCHANGE)
        ShowPage(dialog, static_cast<int>(SendMessageA(notification->hwndFrom, TCM_GETCURSEL, 0, 0)));
    return TRUE;
}

// The timer stays stopped from before the first page stores until the panel is rebuilt, and then
// starts with the period just stored.
void ApplyPages(HWND dialog)
{
    MeasureTimerPause pause(Frame.panel);
    for (int i = 0; i < PAGE_COUNT; ++i)
        if (Frame.pages[i])
            SendMessageA(Frame.pages[i], WM_COMMAND, MAKEWPARAM(PAGE_STORE_COMMAND, 0), 0);
    RebuildPanel(Frame.panel, dialog);
}

void CloseDialog(HWND dialog)
{
    App.settingsDialog = nullptr;
    DestroyWindow(dialog);
}

void OnOk(HWND dialog)
{
    ApplyPages(dialog);
    RecordPanelPosition(Frame.panel);
    // A file that could not be written has been named to the user. The dialog stays open with the
    // values applied in memory, so that nothing is lost: OK can be tried again, or another theme
    // path chosen.
    if (!SaveSettingsFiles(dialog))
        return;
    CloseDialog(dialog);
}

BOOL OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDC_APPLY:
        ApplyPages(dialog);
        return TRUE;
    case IDCANCEL:  // also the close box and Escape
        CloseDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

// The pages, the frame's children, go after this, each releasing what it holds.
void OnDestroy(HWND dialog)
{
    RemoveDialogKeyboard();
    for (HWND& page : Frame.pages)
        page = nullptr;
    if (App.settingsDialog == dialog)
        App.settingsDialog = nullptr;
}

}  // namespace

void OpenSettingsDialog(HWND panel)
{
    if (App.settingsDialog) {
        ForceForeground(App.settingsDialog);
        return;
    }
    // The frame's own tab control needs its class before the template is made.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    Frame.panel = panel;
    HWND dialog = CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_SETTINGS), panel, SettingsDialogProc, 0);
    if (!dialog)
        return;
    App.settingsDialog = dialog;
    ShowWindow(dialog, SW_SHOW);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_NOTIFY:
        return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_SYSCOLORCHANGE:
        InvalidateRect(dialog, nullptr, FALSE);
        return FALSE;
    case WM_DPICHANGED:
        PostMessageA(dialog, MSG_PLACE_PAGES, 0, 0);
        return FALSE;
    case MSG_PLACE_PAGES:
        PlacePagesAgain(dialog);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

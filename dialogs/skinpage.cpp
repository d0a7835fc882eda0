// The "スキン" tab (template 207): the skin and the mask of THEMEDATA, with a preview of the skin
// in the panel's proportions and, in bitmap mask mode, the mask laid over it.
#include "config/keyschema.h"
#include "config/theme.h"
#include "dialogs/filefield.h"
#include "dialogs/pagecolors.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "image/winimg.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "ui/commondialogs.h"
#include "ui/filechoosers.h"
#include "ui/initialpath.h"

namespace {

// The list's items, by [MASK] Mode.
const char* const MaskModes[] = {"無効", "ラウンド", "自動", "カラー", "ビットマップ"};
static_assert(sizeof MaskModes / sizeof MaskModes[0] == MASK_MODE_COUNT, "one item for each mask mode");

// The working colours with their swatches' brushes, the mode the list shows, the two preview
// images and the preview field's own procedure. The check box and the paths live in their
// controls until the store command.
struct SKINPAGE {
    PAGECOLORS colors;
    int mode;
    WINIMG skin;
    WINIMG mask;
    WNDPROC previewProc;
};

SKINPAGE State;

HWND Preview(HWND page) { return GetDlgItem(page, IDC_SKIN_PREVIEW); }

int ValidMode(int mode) { return mode < 0 || mode >= MASK_MODE_COUNT ? MASK_NONE : mode; }

void StretchImage(HDC dc, const RECT& area, const WINIMG& image, DWORD operation)
{
    if (image.hbm)
        StretchBlt(dc, 0, 0, area.right, area.bottom, image.hdc, 0, 0, image.bm.bmWidth, image.bm.bmHeight,
                   operation);
}

// The field's plain background first: an image that did not load draws nothing over it. The
// images fill the client area, inside the sunken edge, so the whole of each is seen.
void PaintPreview(HWND preview, HDC dc)
{
    RECT area;
    GetClientRect(preview, &area);
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageA(
        GetParent(preview), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(preview)));
    FillRect(dc, &area, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchImage(dc, area, State.skin, SRCCOPY);
    // The mask's black parts show black over the skin.
    if (State.mode == MASK_BITMAP)
        StretchImage(dc, area, State.mask, SRCAND);
}

// WM_PRINTCLIENT draws the same picture into a given DC, so that the preview can be printed
// (PrintWindow) and checked.
LRESULT CALLBACK PreviewProc(HWND preview, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(preview, &paint);
        if (dc)
            PaintPreview(preview, dc);
        EndPaint(preview, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintPreview(preview, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return CallWindowProcA(State.previewProc, preview, message, wParam, lParam);
    }
}

// The preview's size: the field's height, and a width in the panel's proportions,
// clientW / clientH × height cut toward zero. A panel without an area keeps the field's own size
// rather than dividing by zero; one so wide that the preview would leave the page gets the page's
// width and a height in proportion; neither side is ever below one pixel.
SIZE PreviewSize(int panelWidth, int panelHeight, SIZE field, int pageWidth)
{
    if (panelWidth <= 0 || panelHeight <= 0 || field.cy <= 0 || pageWidth <= 0)
        return field;
    double width = static_cast<double>(panelWidth) / panelHeight * field.cy;
    if (width <= pageWidth)
        return SIZE{width < 1 ? 1 : static_cast<LONG>(width), field.cy};
    double height = static_cast<double>(panelHeight) / panelWidth * pageWidth;
    return SIZE{pageWidth, height < 1 ? 1 : static_cast<LONG>(height)};
}

// Centred on the page, keeping its top.
void PlacePreview(HWND page)
{
    HWND preview = Preview(page);
    RECT field;
    GetWindowRect(preview, &field);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&field), 2);
    RECT client;
    GetClientRect(page, &client);
    SIZE size = PreviewSize(PanelRes.clientW, PanelRes.clientH,
                            SIZE{field.right - field.left, field.bottom - field.top}, client.right);
    MoveWindow(preview, client.right / 2 - size.cx / 2, field.top, size.cx, size.cy, TRUE);
}

// A file that does not load leaves its image empty: the preview then shows nothing of it.
void LoadPreviewImage(HWND page, WINIMG& image, const char* path)
{
    image.Close();
    image.Load(path);
    InvalidateRect(Preview(page), nullptr, TRUE);
}

void EnableByMode(HWND page)
{
    State.mode = ValidMode(State.mode);
    const bool color = State.mode == MASK_COLOR;
    const bool bitmap = State.mode == MASK_BITMAP;
    EnableWindow(GetDlgItem(page, IDC_MASK_COLOR_BUTTON), color);
    EnableWindow(GetDlgItem(page, IDC_MASK_COLOR_SWATCH), color);
    EnableWindow(GetDlgItem(page, IDC_MASK_FILE_BUTTON), bitmap);
    EnableWindow(GetDlgItem(page, IDC_MASK_FILE), bitmap);
}

BOOL OnInitDialog(HWND page)
{
    HWND preview = Preview(page);
    State.previewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviewProc)));
    PlacePreview(page);
    SetCheck(page, IDC_SKIN_ENABLE, Theme.Skin.Enable);
    ShowText(page, IDC_SKIN_FILE, Theme.Skin.File, sizeof Theme.Skin.File);
    LoadPreviewImage(page, State.skin, Theme.Skin.File);
    State.colors.Clear();
    State.colors.Add(IDC_SKIN_COLOR_BUTTON, IDC_SKIN_COLOR_SWATCH, Theme.Skin.Color);
    for (const char* mode : MaskModes)
        SendDlgItemMessageA(page, IDC_MASK_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    State.mode = Theme.Mask.Mode;
    EnableByMode(page);
    SendDlgItemMessageA(page, IDC_MASK_MODE, CB_SETCURSEL, State.mode, 0);
    State.colors.Add(IDC_MASK_COLOR_BUTTON, IDC_MASK_COLOR_SWATCH, Theme.Mask.Color);
    ShowText(page, IDC_MASK_FILE, Theme.Mask.File, sizeof Theme.Mask.File);
    LoadPreviewImage(page, State.mask, Theme.Mask.File);
    return TRUE;
}

void OnStore(HWND page)
{
    Theme.Skin.Enable = IsChecked(page, IDC_SKIN_ENABLE);
    ReadText(page, IDC_SKIN_FILE, Theme.Skin.File, sizeof Theme.Skin.File);
    State.colors.Store();
    Theme.Mask.Mode = ValidMode(static_cast<int>(SendDlgItemMessageA(page, IDC_MASK_MODE, CB_GETCURSEL, 0, 0)));
    ReadText(page, IDC_MASK_FILE, Theme.Mask.File, sizeof Theme.Mask.File);
}

void ChooseSkin(HWND page)
{
    if (!ChooseFileInto(page, IDC_SKIN_FILE, FILE_TITLE_SKIN, FILE_FILTER_SKIN))
        return;
    char path[PATH_CAPACITY];
    ReadText(page, IDC_SKIN_FILE, path, sizeof path);
    LoadPreviewImage(page, State.skin, path);
}

void ChooseMask(HWND page)
{
    char path[PATH_CAPACITY];
    ReadText(page, IDC_MASK_FILE, path, sizeof path);
    // SelectFile takes the work buffer and frees it; without one the button does nothing.
    char* work = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, PATH_CAPACITY));
    if (!work)
        return;
    if (!SelectFile(GetAncestor(page, GA_ROOT), FILE_TITLE_MASK, FILE_FILTER_MASK, path, TRUE, work))
        return;
    SetDlgItemTextA(page, IDC_MASK_FILE, path);
    LoadPreviewImage(page, State.mask, path);
}

void OnCommand(HWND page, WORD id, WORD code)
{
    switch (id) {
    case IDC_SKIN_FILE_BUTTON:
        ChooseSkin(page);
        break;
    case IDC_MASK_FILE_BUTTON:
        ChooseMask(page);
        break;
    case IDC_MASK_MODE:
        if (code != CBN_SELCHANGE)
            break;
        State.mode = static_cast<int>(SendDlgItemMessageA(page, IDC_MASK_MODE, CB_GETCURSEL, 0, 0));
        EnableByMode(page);
        InvalidateRect(Preview(page), nullptr, TRUE);
        break;
    default:
        State.colors.Choose(page, id);
        break;
    }
}

// The preview outlives this message (children go after their parent), so it gets its own
// procedure back before the state that procedure reads goes.
void OnDestroy(HWND page)
{
    if (State.previewProc)
        SetWindowLongPtrA(Preview(page), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(State.previewProc));
    State.previewProc = nullptr;
    State.skin.Close();
    State.mask.Close();
    State.colors.Clear();
}

INT_PTR SwatchColors(WPARAM wParam, LPARAM lParam) { return State.colors.Paint(wParam, lParam); }

// The frame places the page again at a new DPI; the preview follows the page's new size.
bool OnOtherMessage(HWND page, UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    if (message != WM_SIZE || !State.previewProc)
        return false;
    PlacePreview(page);
    result = 0;
    return true;
}

}  // namespace

const PAGEHANDLERS SkinPage = {OnInitDialog, OnCommand, OnStore, SwatchColors, OnDestroy, OnOtherMessage};

INT_PTR CALLBACK SkinPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(SkinPage, page, message, wParam, lParam);
}

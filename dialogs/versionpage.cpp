// The "バージョン" tab (template 209): the program's version, the driver interface and library
// versions, and the diagnostic counters. Read-only: the store command falls through to FALSE.
#include <png.h>
#include <zlib.h>
#include <cstdio>
#include <cstring>

#include "base/critsect.h"
#include "base/dpi.h"
#include "base/textpolicy.h"
#include "base/win32ver.h"
#include "config/config.h"
#include "dialogs/pages.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "render/panelres.h"
#include "resources/resource.h"

namespace {

// The three fonts of this page are the last entries of PanelRes.fonts, which the panel's build
// leaves alone: made here at each opening, at the page's DPI, and again at every new DPI (the system
// leaves their fields' fonts alone), and deleted when the page goes. Heights in 96-dpi pixels.
struct VERSIONFONT {
    int index;
    int height;
    int controls[2];
};

const VERSIONFONT Fonts[] = {
    {PANEL_FONTS_MADE + 2, -25, {IDC_VERSION_DESCRIPTION, 0}},
    {PANEL_FONTS_MADE + 1, -17, {IDC_VERSION_FILE, IDC_VERSION_COPYRIGHT}},
    {PANEL_FONTS_MADE, -13, {IDC_VERSION_NVAPI, IDC_VERSION_LIBRARIES}},
};

const int DebugLines[] = {IDC_VERSION_DEBUG_LINE1, IDC_VERSION_DEBUG_LINE2, IDC_VERSION_DEBUG_LINE3,
                          IDC_VERSION_DEBUG_LINE4};

// A font that cannot be made leaves its fields in the dialog's font.
void MakeFonts(HWND page)
{
    const UINT dpi = WindowDpi(page);
    for (const VERSIONFONT& row : Fonts) {
        LOGFONTA description = {};
        description.lfHeight = ScaleToDpi(row.height, dpi);
        description.lfWeight = FW_BOLD;
        description.lfCharSet = ANSI_CHARSET;
        strcpy(description.lfFaceName, "Arial");
        WINFONT& font = PanelRes.fonts[row.index];
        if (!font.Create(description))
            continue;
        for (int id : row.controls) {
            if (!id)
                continue;
            KeepControlFont(GetDlgItem(page, id));
            SendDlgItemMessageA(page, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.hfont), FALSE);
        }
    }
}

// Description, version and legal notice from the program file's own version block; all three stay
// empty when the block or its one translation cannot be read.
void ShowProgramVersion(HWND page)
{
    char path[PATH_CAPACITY] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path - 1);
    if (length == 0 || length >= sizeof path - 1)
        return;
    WIN32VER version;
    WORD language = 0;
    WORD codePage = 0;
    if (!version.Load(path) || !version.Translation(language, codePage))
        return;
    char text[256];
    version.Value(language, codePage, "FileDescription", text, sizeof text);
    SetDlgItemTextA(page, IDC_VERSION_DESCRIPTION, text);
    version.Value(language, codePage, "FileVersion", text, sizeof text);
    char line[300];
    snprintf(line, sizeof line, "Version %s (%s)", text, "x64");
    SetDlgItemTextA(page, IDC_VERSION_FILE, line);
    version.Value(language, codePage, "LegalCopyright", text, sizeof text);
    SetDlgItemTextA(page, IDC_VERSION_COPYRIGHT, text);
}

void ShowDebugLines(HWND page)
{
    char lines[3][96] = {};
    if (Config.Global.Debug) {
        snprintf(lines[0], sizeof lines[0], "Critical Section 'Probe' Error : %ld",
                 static_cast<long>(ProbeSection.failures));
        snprintf(lines[1], sizeof lines[1], "Critical Section 'Update' Error : %ld",
                 static_cast<long>(UpdateSection.failures));
        snprintf(lines[2], sizeof lines[2], "API Error Temp/Clock/Fan : %u/%u/%u", Sample.ErrorTemp,
                 Sample.ErrorClock, Sample.ErrorFan);
    }
    for (size_t i = 0; i < sizeof DebugLines / sizeof DebugLines[0]; ++i)
        SetDlgItemTextA(page, DebugLines[i], i < 3 ? lines[i] : "");
}

BOOL OnInitDialog(HWND page)
{
    MakeFonts(page);
    ShowProgramVersion(page);
    char line[160];
    snprintf(line, sizeof line, "%s", Gpu.InterfaceVersion());
    SetDlgItemTextA(page, IDC_VERSION_NVAPI, line);
    snprintf(line, sizeof line, "LIBPNG Version %s , ZLIB Version %s", png_get_libpng_ver(nullptr), zlibVersion());
    SetDlgItemTextA(page, IDC_VERSION_LIBRARIES, line);
    ShowDebugLines(page);
    return TRUE;
}

void OnDestroy(HWND page)
{
    for (const VERSIONFONT& row : Fonts)
        PanelRes.fonts[row.index].Close();
}

bool OnOtherMessage(HWND page, UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    if (message != MSG_DPICHANGED_AFTERPARENT)
        return false;
    MakeFonts(page);
    InvalidateRect(page, nullptr, TRUE);
    result = 0;
    return true;
}

}  // namespace

const PAGEHANDLERS VersionPage = {OnInitDialog, nullptr, nullptr, nullptr, OnDestroy, OnOtherMessage};

INT_PTR CALLBACK VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchPage(VersionPage, page, message, wParam, lParam);
}

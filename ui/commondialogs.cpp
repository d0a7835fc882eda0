#include "ui/commondialogs.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "base/dpi.h"
#include "ui/initialpath.h"

// The structure sizes the program hands over on 64-bit Windows: the file chooser's is the one
// without the Windows 2000 extension fields (no places bar options are used).
static_assert(offsetof(OPENFILENAMEA, pvReserved) == 136, "64-bit OPENFILENAMEA without extensions");
static_assert(sizeof(CHOOSEFONTA) == 104, "64-bit CHOOSEFONTA");
static_assert(sizeof(CHOOSECOLORA) == 72, "64-bit CHOOSECOLORA");

int FileDialog(HWND owner, const char* title, const char* filter, const char* initialFolder, char* path, BOOL open,
               const char* saveExtension)
{
    if (!path)
        return 0;
    char file[PATH_CAPACITY];
    InitialFileName(path, file, sizeof file);

    OPENFILENAMEA chooser = {};
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = filter;
    chooser.lpstrFile = file;
    chooser.nMaxFile = sizeof file;
    chooser.lpstrInitialDir = initialFolder && initialFolder[0] ? initialFolder : nullptr;
    chooser.lpstrTitle = title;
    chooser.Flags = OFN_READONLY | OFN_HIDEREADONLY;
    if (!open) {
        // A save must not replace a file the user did not mean, and a file saved without its
        // extension could not be used where the extension decides (a theme dropped on the panel).
        chooser.Flags |= OFN_OVERWRITEPROMPT;
        chooser.lpstrDefExt = saveExtension;
    }
    BOOL chosen = open ? GetOpenFileNameA(&chooser) : GetSaveFileNameA(&chooser);
    if (!chosen)
        return 0;
    snprintf(path, PATH_CAPACITY, "%s", file);
    return 1;
}

int SelectFile(HWND owner, const char* title, const char* filter, char* path, BOOL open, char* workBuffer,
               const char* saveExtension)
{
    int chosen = 0;
    if (path) {
        if (workBuffer)
            InitialFolder(path, workBuffer, PATH_CAPACITY);
        chosen = FileDialog(owner, title, filter, workBuffer, path, open, saveExtension);
    }
    if (workBuffer)
        HeapFree(GetProcessHeap(), 0, workBuffer);
    return chosen;
}

int SelectFont(HWND owner, LOGFONTA& font)
{
    // The chooser works on a copy: a cancelled chooser must leave the caller's font untouched. A font
    // stored at the chooser's DPI would be stored too big by that DPI / 96, and scaled once more where
    // it is drawn.
    const UINT dpi = ScreenDpi();
    LOGFONTA copy = font;
    copy.lfHeight = ScaleToDpi(font.lfHeight, dpi);
    copy.lfWidth = ScaleToDpi(font.lfWidth, dpi);
    CHOOSEFONTA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpLogFont = &copy;
    chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    chooser.nFontType = SCREEN_FONTTYPE;
    if (!ChooseFontA(&chooser))
        return 0;
    copy.lfHeight = ScaleFromDpi(copy.lfHeight, dpi);
    copy.lfWidth = ScaleFromDpi(copy.lfWidth, dpi);
    font = copy;
    return 1;
}

void PrepareColorChooser(CHOOSECOLORA& chooser, HWND owner, COLORREF initial, COLORREF (&customColors)[16])
{
    memset(customColors, 0, sizeof customColors);
    chooser = CHOOSECOLORA{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.rgbResult = initial;
    chooser.lpCustColors = customColors;
    chooser.Flags = CC_RGBINIT | CC_ANYCOLOR;
}

COLORREF SelectColor(HWND owner, COLORREF initial)
{
    COLORREF customColors[16];
    CHOOSECOLORA chooser;
    PrepareColorChooser(chooser, owner, initial, customColors);
    return ChooseColorA(&chooser) ? chooser.rgbResult : initial;
}

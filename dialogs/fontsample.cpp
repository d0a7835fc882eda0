#include "dialogs/fontsample.h"

#include <cstring>

#include "base/dpi.h"
#include "render/panelres.h"

namespace {

void SetSampleFont(HWND page, int sample, HFONT font)
{
    if (!font)
        font = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
    SendDlgItemMessageA(page, sample, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

void ShowFontSample(HWND page, int sample, WINFONT& font, const LOGFONTA& logfont)
{
    KeepControlFont(GetDlgItem(page, sample));
    bool made = font.Create(PanelFont(logfont, WindowDpi(page)));
    if (made) {
        // A record's face name need not end within its 32 bytes.
        char face[LF_FACESIZE + 1] = {};
        memcpy(face, logfont.lfFaceName, LF_FACESIZE);
        SetDlgItemTextA(page, sample, face);
    }
    SetSampleFont(page, sample, font.hfont);
}

void ReleaseFontSample(HWND page, int sample, WINFONT& font)
{
    SetSampleFont(page, sample, nullptr);
    font.Close();
}

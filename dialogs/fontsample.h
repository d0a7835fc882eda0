#pragma once

#include <windows.h>

#include "gdi/gdiobjects.h"

// Font samples of the Label and Graph pages: a static that shows a font's face name in that font.

// Makes `font` from `logfont` and, when it was made, shows the face name in the sample in that
// font. The size is the panel's (PanelFont) at the page's DPI: the sample shows the font as the
// panel will on the page's monitor, and an absurd height in a theme cannot stall the page's
// painting. The system leaves the sample's font alone when the DPI changes: the page shows its
// samples again then. A font that cannot be made leaves the sample's text as it was, in the page's
// own font.
void ShowFontSample(HWND page, int sample, WINFONT& font, const LOGFONTA& logfont);

// Gives the sample the page's font back, then deletes `font`: no control keeps a deleted font.
void ReleaseFontSample(HWND page, int sample, WINFONT& font);

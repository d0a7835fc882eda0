#pragma once

#include <windows.h>

// Display scaling. The program declares itself per-monitor aware (version 2, system aware where that
// is missing): Windows then stretches nothing, and every window draws itself at the DPI of its
// monitor. Lengths the program or a theme gives in pixels are pixels at 96 dpi and are scaled where
// they are drawn; the files keep them as written.
//
// The functions of the newer systems are looked up at run time: older Windows and Wine lack some.

constexpr UINT BASE_DPI = 96;

// Sent to the child windows of a window whose DPI changed, once it has been handled (Windows 10,
// 1703 on); asked of a per-monitor window before its DPI changes, for its size at the new DPI. The
// system headers name them only for newer targets than this program's.
constexpr UINT MSG_DPICHANGED_AFTERPARENT = 0x02E3;
constexpr UINT MSG_GETDPISCALEDSIZE = 0x02E4;

// A length of 96-dpi pixels at `dpi`, rounded to the nearest pixel (MulDiv). The length must be held
// to its drawing limit first: the result has to fit an int.
int ScaleToDpi(int length, UINT dpi);
// A length of pixels at `dpi` in 96-dpi pixels.
int ScaleFromDpi(int pixels, UINT dpi);

// The DPI the window is drawn at: GetDpiForWindow where the system has it (Windows 10, 1607 on; Wine
// gives its LogPixels setting), otherwise the logical DPI of the window's device context. Never 0.
UINT WindowDpi(HWND window);
// The logical DPI of the screen's device context: the one the system's font chooser converts points
// to pixels with, whatever monitor it appears on.
UINT ScreenDpi();

// A dialog that lays itself out at every DPI: the system neither resizes it nor moves or rescales its
// controls when its DPI changes. Nothing where the system cannot do it.
void KeepDialogLayout(HWND dialog);
// A dialog control whose font its dialog sets: the system does not replace it with the dialog's font
// rescaled when the DPI changes.
void KeepControlFont(HWND control);

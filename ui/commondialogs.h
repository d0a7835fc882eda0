#pragma once

#include <windows.h>
#include <commdlg.h>

// The system's file, font and colour choosers as the program uses them. Paths are code page 932
// byte strings in buffers of PATH_CAPACITY bytes (base/textpolicy.h); `filter` is one of filechoosers.h.

// The open (`open` non-zero) or save chooser, starting in `initialFolder` (empty or null: the
// system's default) with the file name part of `path`. Non-zero when the user chose a file; `path`
// then holds the full chosen path, otherwise it is unchanged. The save chooser asks before it
// names a file that exists, and adds `saveExtension` (when given) to a name typed without one.
int FileDialog(HWND owner, const char* title, const char* filter, const char* initialFolder, char* path, BOOL open,
               const char* saveExtension = nullptr);

// FileDialog starting in the folder of `path`, derived into `workBuffer`. Takes ownership of
// `workBuffer` (PATH_CAPACITY bytes from the process heap, or null) and frees it on every path.
// 0 when `path` is null.
int SelectFile(HWND owner, const char* title, const char* filter, char* path, BOOL open, char* workBuffer,
               const char* saveExtension = nullptr);

// 1 when the user chose a font (`font` overwritten), 0 when cancelled (`font` unchanged). `font` is
// in 96-dpi pixels, as themes keep fonts: the chooser, which converts points to pixels at the
// screen's DPI (ScreenDpi), is shown it at that DPI, and what it chose comes back in 96-dpi pixels.
int SelectFont(HWND owner, LOGFONTA& font);

// The chosen colour, or `initial` when the user cancelled.
COLORREF SelectColor(HWND owner, COLORREF initial);

// Fills the colour chooser SelectColor runs. The sixteen custom colours start black at every
// call: they are not kept between calls.
void PrepareColorChooser(CHOOSECOLORA& chooser, HWND owner, COLORREF initial, COLORREF (&customColors)[16]);

#pragma once

#include <windows.h>

// Decodes a PNG file into a bottom-up 24-bit DIB section (32-bit when the image has alpha
// or a transparency chunk), corrected for a 2.2 screen gamma. Null on any failure.
HBITMAP LoadPngBitmap(const char* path);

#pragma once

#include <windows.h>

class WINIMG;

// Loads any file the system picture loader understands (JPEG, GIF, metafiles...).
// A bitmap picture is kept in image.picture and its own bitmap returned; a metafile is
// drawn into a bitmap of its own, which the caller then owns, and no picture is kept.
// COM must be initialised on the calling thread. Null on failure.
HBITMAP LoadPictureBitmap(WINIMG& image, const char* path);

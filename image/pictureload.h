#pragma once

#include <windows.h>
#include <cstdint>

class WINIMG;

// The longest side of the bitmap a metafile is drawn into. Every record of a metafile may touch
// the whole picture, so what one costs grows with its area many times over
// (image/metafileplay.h); no skin needs more than a screen, and this is wider than a 4K one.
constexpr int METAFILE_SIDE_LIMIT = 4096;

// The size in pixels at which a metafile of this HIMETRIC extent is drawn: its natural size, the
// extent at the screen's resolution. False when that is empty or beyond METAFILE_SIDE_LIMIT.
[[nodiscard]] bool MetafilePixelSize(int64_t extentX, int64_t extentY, int& width, int& height);

// Loads any file the system picture loader understands (JPEG, GIF, metafiles...).
// A bitmap picture is kept in image.picture and its own bitmap returned; a metafile is
// drawn into a bitmap of its own, which the caller then owns, and no picture is kept.
// COM must be initialised on the calling thread. Null on failure.
HBITMAP LoadPictureBitmap(WINIMG& image, const char* path);

#pragma once

#include <windows.h>

#include <cstddef>

// A mask keeps every pixel of the panel that is not exactly black, and always the column just
// past the right edge and the row just past the bottom edge (the panel's region reaches one pixel
// further than its client area, as the rounded shape does).
//
// Pixels are 0x00RRGGBB in top-down rows of `width` pixels, as GetDIBits gives them at 32 bits
// per pixel; the top byte is ignored.

// Writes the rectangles of the kept area to `out` (when not null) in the system's own band order:
// bands top to bottom, neighbouring rows with the same runs merged into one band, runs left to
// right. Answers how many there are; call once with null to size the buffer. Negative sizes
// give 0.
size_t MaskRegionRects(const DWORD* pixels, int width, int height, RECT* out);

// The region of the kept area, or null when memory or the region cannot be had.
HRGN RegionFromMaskPixels(const DWORD* pixels, int width, int height);

#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

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

// The most rectangles a window region of the panel may have: MASK_RECTS_PER_ROW for each pixel row
// of the region (the client area's rows and the one past them), and never more than
// MASK_RECTS_CEILING.
//
// Wine hands a window's region to the X server in one request of at most 256 KiB, 8 bytes a
// rectangle: seen applied at 30,000 rectangles and failing at 40,000, and the failure ends the
// process. Elsewhere a busier region only makes the panel slow to move and paint. Real shapes need
// far less per row: a rounded corner one or two runs, an outline two, a large text-shaped mask over
// the whole panel a few dozen at its busiest rows and fewer on average. A per-row limit keeps what
// fits the panel at 100 % fitting at 200 %, where every row is drawn twice: 12,960 rectangles for the
// 404 rows of the panel at 96 dpi, 25,888 for its 808 rows at 192 dpi, both well below Wine's limit.
constexpr size_t MASK_RECTS_PER_ROW = 32;
constexpr size_t MASK_RECTS_CEILING = 26000;
constexpr size_t MaskRegionRectLimit(int height)
{
    return height < 0 ? 0
                      : (static_cast<size_t>(height) + 1) * MASK_RECTS_PER_ROW < MASK_RECTS_CEILING
                            ? (static_cast<size_t>(height) + 1) * MASK_RECTS_PER_ROW
                            : MASK_RECTS_CEILING;
}

// The region of the kept area, or null when memory or the region cannot be had, or when it would
// take more than `maxRects` rectangles.
HRGN RegionFromMaskPixels(const DWORD* pixels, int width, int height, size_t maxRects = SIZE_MAX);

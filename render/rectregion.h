#pragma once

#include <windows.h>

#include <cstddef>

// The region covering all the given rectangles (each with left < right and top < bottom); an
// empty region for none; null when the system refuses one. Stays fast for the hundreds of
// thousands of rectangles of a large, busy mask.
HRGN RegionFromRects(const RECT* rects, size_t count);

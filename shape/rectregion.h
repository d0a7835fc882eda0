#pragma once

#include <windows.h>
#include <cstddef>

// The region covering all the given rectangles (each with left < right and top < bottom); an
// empty region for none; null when the system refuses one. Stays fast for the tens of thousands of
// rectangles of the busiest mask a panel may have, and for far more.
HRGN RegionFromRects(const RECT* rects, size_t count);

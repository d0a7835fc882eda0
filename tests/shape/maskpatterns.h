#pragma once

#include <windows.h>
#include <vector>

// Mask images as 0x00RRGGBB pixels, top row first.
struct MASKIMAGE {
    int width;
    int height;
    std::vector<DWORD> pixels;
};

MASKIMAGE SolidMask(int width, int height, DWORD colour);
// Black and white squares of `cell` pixels, black in the top left corner.
MASKIMAGE CheckerMask(int width, int height, int cell);
// Random greys of every shade with some exact blacks among them (fixed seed).
MASKIMAGE PhotographicMask(int width, int height, unsigned seed);
// A white panel with black rounded-off corners and a black hole: long runs, few bands.
MASKIMAGE RoundedMask(int width, int height);
// The busiest mask a panel takes: rows of single black pixels, as many runs in each row as the
// limit allows, every row shifted against its neighbours so that no two form one band. At least
// three pixels per run wide.
MASKIMAGE BusiestMask(int width, int height);

#pragma once

#include <windows.h>
#include <cstddef>

#include "base/textpolicy.h"
#include "shape/maskruns.h"

// A region cache file beside the mask holds exactly the system's region data (RGNDATA, as
// GetRegionData gives it), so a later start can skip the slow build from the mask bitmap.

// The cache file of a mask: its whole path with ".RGN" appended. False, and `out` empty, when
// there is no mask path or the result would not fit 2047 characters.
bool MakeRegionCachePath(char (&out)[PATH_CAPACITY], const char* maskPath);

// A copy of a region's data as GetRegionData gives it, taken while the region is still ours.
class REGIONDATA {
public:
    explicit REGIONDATA(HRGN region);
    virtual ~REGIONDATA();
    REGIONDATA(const REGIONDATA&) = delete;
    REGIONDATA& operator=(const REGIONDATA&) = delete;

    // True only when the whole region data was written; an old file is replaced.
    bool Save(const char* cachePath) const;

private:
    BYTE* bytes_;
    DWORD size_;
};

// True only when the whole region data was written; an old file is replaced.
bool SaveRegion(HRGN region, const char* cachePath);

// A file larger than this is never region data we wrote: the busiest mask region a panel may have
// (shape/maskruns.h) and its header.
const size_t REGION_CACHE_MAX_BYTES = sizeof(RGNDATAHEADER) + MASK_RECTS_CEILING * sizeof(RECT);
// Coordinates of a window region; anything further out is not from a panel.
const LONG REGION_CACHE_MIN_COORD = -32768;
const LONG REGION_CACHE_MAX_COORD = 32767;

// Whether `data` is region data as GetRegionData writes it, checked before the system sees it:
// a 32-byte header of type RDH_RECTANGLES; at least one rectangle and exactly as many as the
// size holds; a rectangle-list size of 0 or the list's true size; every rectangle non-empty,
// inside the bounding rectangle and the coordinate range; and the rectangles in band order
// (bands top to bottom without overlap, runs within a band left to right without overlap). The
// band order is what keeps a crafted file from making the system build a huge region; an empty
// region is refused because it would make the panel vanish with no way to click it.
bool IsRegionCacheData(const void* data, size_t size);

// Whether region data was made for the panel of `clientRect`: no more rectangles than a mask region
// of its height may have, and its bounding rectangle exactly the one every mask region of that size
// has, from (0, 0) to one column and one row past the client area (the extra column and row are never
// cut, shape/maskruns.h). A cache made for another size, at another DPI, would cut the panel in the
// wrong places, or leave it invisible with nothing to click.
bool FitsPanel(const RGNDATAHEADER& header, const RECT& clientRect);

// The region held by the cache file, or null when the file is missing, unreadable, larger than
// REGION_CACHE_MAX_BYTES, not region data, or does not fit the panel of `clientRect` (the caller
// then builds from the mask).
HRGN LoadRegionCache(const char* cachePath, const RECT& clientRect);

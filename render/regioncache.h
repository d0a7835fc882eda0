#pragma once

#include <windows.h>

#include <cstddef>

// A region cache file beside the mask holds exactly the system's region data (RGNDATA, as
// GetRegionData gives it), so a later start can skip the slow build from the mask bitmap.

// The cache file of a mask: its whole path with ".RGN" appended. False, and `out` empty, when
// there is no mask path or the result would not fit 2047 characters.
bool MakeRegionCachePath(char (&out)[2048], const char* maskPath);

// True only when the whole region data was written; an old file is replaced.
bool SaveRegion(HRGN region, const char* cachePath);

// A file larger than this is never region data we wrote (a full-screen mask of 1920 x 1080
// pixels at its busiest needs about 16 MiB).
const size_t REGION_CACHE_MAX_BYTES = 64u * 1024u * 1024u;
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

// The region held by the cache file, or null when the file is missing, unreadable, larger than
// REGION_CACHE_MAX_BYTES or not region data (the caller then builds from the mask).
HRGN LoadRegionCache(const char* cachePath);

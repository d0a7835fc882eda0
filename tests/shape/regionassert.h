#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

struct RegionDeleter {
    void operator()(HRGN region) const
    {
        if (region)
            DeleteObject(region);
    }
};
using RegionPtr = std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter>;

// The region's data exactly as the system gives it (and as the cache file holds it).
std::string RegionBytes(HRGN region);

// Passes when both regions give byte-identical region data; on failure names the first
// rectangle that differs.
::testing::AssertionResult SameRegionData(HRGN expected, HRGN actual);

// The rectangles of a region as "l,t,r,b l,t,r,b ...", for short expectations.
std::string RegionRects(HRGN region);

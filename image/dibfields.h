#pragma once

#include <cstdint>

// The fields of a device-independent bitmap's header inside a metafile record, as the player reads
// them: a core header (12 bytes) or an info header, whose sizes `infoSizes` lists (0 ends the list).
struct DIBFIELDS {
    uint32_t size;
    uint64_t width;
    uint64_t height;  // rows, whichever way they run
    uint32_t depth;
    uint32_t compression;
    uint32_t colours;
    // The most colours a table of this depth may hold.
    uint32_t mostColours;
};

// False for a header the player would refuse or misread: one plane, a depth of 1, 4, 8, 16, 24
// or 32 bits, no compression but bit fields at 16 or 32 bits, no more colours than the depth has
// values, and a drawable size (image/imagelimits.h). `header` holds the header's first 40 bytes
// (the rest zero when it is shorter).
bool ReadDibFields(const unsigned char (&header)[40], const uint32_t* infoSizes, DIBFIELDS& fields);

#pragma once

#include <string>
#include <vector>

// Image files that are honest about their size but not about their cost: each passes the header
// checks of every format, yet a decoder that trusted it would run out of memory or time. Made in
// memory at test time; the tests load each one and the image benchmark measures each load.
namespace hostileimages {

enum OUTCOME { LOADS, REFUSED };

struct HOSTILEIMAGE {
    std::string name;
    std::string bytes;
    OUTCOME outcome;
};

// PNG chunks, JPEG scans, GIF frames and OLE stream wrappers.
std::vector<HOSTILEIMAGE> RasterCases();
// Placeable Windows metafiles and enhanced metafiles, sound ones recorded by GDI among them.
std::vector<HOSTILEIMAGE> MetafileCases();

}  // namespace hostileimages

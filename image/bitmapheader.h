#pragma once

#include "image/filebytes.h"

// "BM" and a core, info, V2, V3, V4 or V5 header: the fields a loader relies on, and for
// uncompressed pixels that all rows lie in the file. Reads the headers only, never the pixels.
bool IsBitmapFileSound(const IMAGEVIEW& image);

#pragma once

#include "image/filebytes.h"

// Metafiles are drawing commands, not pixels: a file of honest size can still ask for a pen a
// million pixels wide or for minutes of raster work. Each check walks every record before the
// system picture loader sees the file.

// A placeable Windows metafile: its 22-byte header (key 0x9AC6CDD7) and the metafile behind it.
bool IsPlaceableMetafileSound(const IMAGEVIEW& image);
// An enhanced metafile: its header record and every record up to the end-of-file record.
bool IsEnhancedMetafileSound(const IMAGEVIEW& image);

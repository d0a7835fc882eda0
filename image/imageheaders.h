#pragma once

#include "image/filebytes.h"

// The eight bytes every PNG file starts with.
inline constexpr unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Each check walks the structure of one image format and says whether the system's decoders may
// be given the image: every declared size drawable (image/imagelimits.h), where the format says
// where its data lies, that data inside the image, and everything a decoder keeps while it decodes
// (frames, chunks, coefficients) within IMAGE_BYTES_LIMIT. The checks never decode.

// The PNG signature, its IHDR chunk first, and every chunk up to IEND inside the image: the pixels
// and every chunk but the pixel data, compressed ones at their greatest expansion.
bool IsPngSound(const IMAGEVIEW& image);
// The frame header, and every marker and scan up to the end of the image: a bounded number of
// scans, and the coefficients a progressive decoder keeps.
bool IsJpegSound(const IMAGEVIEW& image);
// The logical screen and every image descriptor: a bounded number of frames and extension blocks,
// and all of them together.
bool IsGifSound(const IMAGEVIEW& image);
// An icon or cursor directory: every entry's image inside the file, and its declared size.
bool IsIconSound(const IMAGEVIEW& image);

// Which of the checks above (or of the metafile checks, image/metafilecheck.h) an image's first
// bytes call for: the same bytes by which the system picture loader picks its decoder.
enum IMAGE_FORMAT {
    FORMAT_UNKNOWN,
    FORMAT_BITMAP,
    FORMAT_PNG,
    FORMAT_JPEG,
    FORMAT_GIF,
    FORMAT_ICON,
    FORMAT_PLACEABLE_METAFILE,
    FORMAT_ENHANCED_METAFILE
};
IMAGE_FORMAT FormatAt(const IMAGEVIEW& image);

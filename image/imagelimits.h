#pragma once

#include <cstdint>

// The largest image any loader of the panel accepts, checked against the size a file declares
// before a decoder sees it. No skin needs more, and within these a decoder's buffers stay far
// from the sizes where the system's own arithmetic overflows. Decoded images take at most 32
// bits a pixel (a display-compatible bitmap, or a PNG with alpha).
constexpr uint32_t IMAGE_SIDE_LIMIT = 16384;
constexpr uint64_t IMAGE_BYTES_LIMIT = 256ull << 20;

constexpr bool IsDrawableImageSize(uint64_t width, uint64_t height)
{
    return width >= 1 && height >= 1 && width <= IMAGE_SIDE_LIMIT && height <= IMAGE_SIDE_LIMIT &&
           width * height * 4 <= IMAGE_BYTES_LIMIT;
}

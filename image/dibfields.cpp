#include "image/dibfields.h"

#include <windows.h>

#include "image/filebytes.h"
#include "image/imagelimits.h"

bool ReadDibFields(const unsigned char (&header)[40], const uint32_t* infoSizes, DIBFIELDS& fields)
{
    fields = {};
    fields.size = LittleEndian32(header);
    fields.compression = BI_RGB;
    bool info = false;
    for (const uint32_t* size = infoSizes; *size; ++size)
        info = info || fields.size == *size;
    if (fields.size == 12) {
        fields.width = LittleEndian16(header + 4);
        fields.height = LittleEndian16(header + 6);
        fields.depth = LittleEndian16(header + 10);
        if (LittleEndian16(header + 8) != 1)
            return false;
    } else if (info) {
        const int32_t w = static_cast<int32_t>(LittleEndian32(header + 4));
        const int32_t h = static_cast<int32_t>(LittleEndian32(header + 8));
        if (w <= 0 || h == 0 || h == INT32_MIN || LittleEndian16(header + 12) != 1)
            return false;
        fields.width = static_cast<uint64_t>(w);
        fields.height = static_cast<uint64_t>(h < 0 ? -static_cast<int64_t>(h) : h);
        fields.depth = LittleEndian16(header + 14);
        fields.compression = LittleEndian32(header + 16);
        fields.colours = LittleEndian32(header + 32);
    } else {
        return false;
    }
    const uint32_t depth = fields.depth;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return false;
    if (fields.compression != BI_RGB && !(fields.compression == BI_BITFIELDS && (depth == 16 || depth == 32)))
        return false;
    fields.mostColours = depth <= 8 ? 1u << depth : 256;
    return fields.colours <= fields.mostColours && IsDrawableImageSize(fields.width, fields.height);
}

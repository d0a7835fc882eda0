// The header of a Windows bitmap file, as the system image loader reads it: the file header, then
// one of six header versions told apart by their size, bit masks, a colour table and the pixels.
#include "image/bitmapheader.h"

#include "image/imagelimits.h"

namespace {

const uint64_t FILE_HEADER = 14;
const uint32_t CORE_HEADER = 12;
const uint32_t INFO_HEADER = 40;
const uint32_t V5_HEADER = 124;
const uint32_t PROFILE_EMBEDDED_TYPE = 0x4D424544;  // 'MBED'
const uint32_t PROFILE_LINKED_TYPE = 0x4C494E4B;    // 'LINK'

bool IsKnownHeaderSize(uint32_t size)
{
    return size == CORE_HEADER || size == INFO_HEADER || size == 52 || size == 56 || size == 108 || size == V5_HEADER;
}

struct BITMAPFIELDS {
    uint64_t width;
    uint64_t height;  // rows, whichever way they run
    bool topDown;
    uint32_t planes;
    uint32_t bitCount;
    uint32_t compression;
    uint32_t imageBytes;
    uint64_t colours;
    uint64_t colourBytes;  // of one colour-table entry
    uint64_t maskBytes;    // the three masks behind a plain info header
};

bool ReadCoreFields(const unsigned char* header, BITMAPFIELDS& fields)
{
    fields.width = LittleEndian16(header + 4);
    fields.height = LittleEndian16(header + 6);
    fields.planes = LittleEndian16(header + 8);
    fields.bitCount = LittleEndian16(header + 10);
    fields.compression = BI_RGB;
    fields.colourBytes = 3;
    return fields.bitCount == 1 || fields.bitCount == 4 || fields.bitCount == 8 || fields.bitCount == 24;
}

// Compressed bitmaps run bottom-up only, each compression with its own bit count.
bool IsCompressionSound(uint32_t compression, uint32_t bitCount, bool topDown)
{
    switch (compression) {
    case BI_RGB:
        return true;
    case BI_RLE8:
        return bitCount == 8 && !topDown;
    case BI_RLE4:
        return bitCount == 4 && !topDown;
    case BI_BITFIELDS:
        return bitCount == 16 || bitCount == 32;
    default:
        return false;
    }
}

bool ReadInfoFields(const unsigned char* header, uint32_t headerSize, BITMAPFIELDS& fields)
{
    const int32_t width = static_cast<int32_t>(LittleEndian32(header + 4));
    const int32_t height = static_cast<int32_t>(LittleEndian32(header + 8));
    if (width <= 0 || height == 0)
        return false;
    fields.width = static_cast<uint64_t>(width);
    fields.topDown = height < 0;
    const int64_t rows = height;
    fields.height = static_cast<uint64_t>(fields.topDown ? -rows : rows);
    fields.planes = LittleEndian16(header + 12);
    fields.bitCount = LittleEndian16(header + 14);
    fields.compression = LittleEndian32(header + 16);
    fields.imageBytes = LittleEndian32(header + 20);
    fields.colours = LittleEndian32(header + 32);
    fields.colourBytes = 4;
    fields.maskBytes = headerSize == INFO_HEADER && fields.compression == BI_BITFIELDS ? 12 : 0;
    const uint32_t bits = fields.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    return IsCompressionSound(fields.compression, bits, fields.topDown);
}

// A colour table has at most one entry per pixel value; deeper bitmaps may carry a short table
// to help palette displays, never a long one.
bool TakeColourCount(BITMAPFIELDS& fields)
{
    if (fields.bitCount <= 8) {
        const uint64_t values = 1ull << fields.bitCount;
        if (fields.colours == 0)
            fields.colours = values;
        return fields.colours <= values;
    }
    return fields.colours <= 256;
}

// A V5 header may point at a colour profile, relative to the header's start.
bool IsProfileInside(const unsigned char* header, uint32_t headerSize, uint64_t imageSize)
{
    if (headerSize != V5_HEADER)
        return true;
    const uint32_t type = LittleEndian32(header + 56);
    if (type != PROFILE_EMBEDDED_TYPE && type != PROFILE_LINKED_TYPE)
        return true;
    const uint64_t at = FILE_HEADER + LittleEndian32(header + 112);
    return at + LittleEndian32(header + 116) <= imageSize;
}

}  // namespace

bool IsBitmapFileSound(const IMAGEVIEW& image)
{
    unsigned char file[FILE_HEADER];
    unsigned char header[V5_HEADER] = {};
    if (!image.Read(0, file, sizeof file) || file[0] != 'B' || file[1] != 'M' || !image.Read(FILE_HEADER, header, 4))
        return false;
    const uint32_t headerSize = LittleEndian32(header);
    if (!IsKnownHeaderSize(headerSize) || !image.Read(FILE_HEADER, header, headerSize))
        return false;

    BITMAPFIELDS fields = {};
    const bool read =
        headerSize == CORE_HEADER ? ReadCoreFields(header, fields) : ReadInfoFields(header, headerSize, fields);
    if (!read || fields.planes != 1 || !TakeColourCount(fields) || !IsDrawableImageSize(fields.width, fields.height) ||
        !IsProfileInside(header, headerSize, image.size))
        return false;

    const uint64_t headersEnd = FILE_HEADER + headerSize + fields.maskBytes;
    const uint64_t tableEnd = headersEnd + fields.colours * fields.colourBytes;
    uint64_t pixelsAt = LittleEndian32(file + 10);
    // An offset of 0 means the pixels follow the colour table.
    if (pixelsAt == 0)
        pixelsAt = tableEnd;
    if (tableEnd > image.size || pixelsAt < headersEnd || pixelsAt > image.size)
        return false;
    if (fields.compression == BI_RLE8 || fields.compression == BI_RLE4)
        return fields.imageBytes > 0 && fields.imageBytes <= image.size - pixelsAt;
    const uint64_t rowBytes = (fields.width * fields.bitCount + 31) / 32 * 4;
    return rowBytes * fields.height <= image.size - pixelsAt;
}

#include "image/imagecheck.h"

#include <cstring>

#include "image/bitmapheader.h"
#include "image/filebytes.h"
#include "image/imageheaders.h"
#include "image/metafilecheck.h"

namespace {


// The system picture loader reads OLE's stream form too: eight-byte headers ("lt\0\0" and a
// length, or any other first word and a length) before the image, as many as there are. It skips
// headers until one starts with a first word it knows as image data, or carries a length that
// cannot be one, and then decodes from there as many bytes as the last header skipped gave. It
// takes an "lt\0\0" header whose length, added in 32 bits to the bytes read so far, stays within
// the file as one, even when the sum overflowed: it then asks for a buffer of up to 4 GB. A file
// of more headers than this is no picture of ours.
const int PICTURE_HEADER_LIMIT = 64;
const uint64_t PICTURE_HEADER = 8;

bool IsPictureDataStart(const unsigned char* block)
{
    const uint32_t first = LittleEndian32(block);
    return memcmp(block, "GIF8", 4) == 0 || (block[0] == 'B' && block[1] == 'M') ||
           (block[0] == 0xFF && block[1] == 0xD8) || first == EMR_HEADER || first == 0x10000 || first == 0x20000;
}

// The stretch of the file the picture loader decodes; false when it would walk headers beyond the
// limit, or meets an "lt\0\0" header whose length runs past the file.
bool FindPictureData(FILEBYTES& file, IMAGEVIEW& data)
{
    const uint64_t size = file.Size();
    uint64_t length = size;
    for (int header = 0; header < PICTURE_HEADER_LIMIT; ++header) {
        const uint64_t at = header * PICTURE_HEADER;
        unsigned char block[PICTURE_HEADER];
        if (!file.Read(at, block, sizeof block)) {
            // The loader fails to read a header: nothing is decoded.
            data = {&file, at, 0};
            return true;
        }
        const uint64_t stated = LittleEndian32(block + 4);
        if (memcmp(block, "lt\0\0", 4) == 0) {
            const uint64_t read = at + PICTURE_HEADER;
            if (stated > size - read || stated + read > UINT32_MAX)
                return false;
            // A length of zero ends the headers with nothing to decode.
            if (stated == 0) {
                data = {&file, read, 0};
                return true;
            }
            length = stated;
            continue;
        }
        if (IsPictureDataStart(block) || stated > size || stated == 0) {
            data = {&file, at, header == 0 ? size : (length < size - at ? length : size - at)};
            return true;
        }
        length = stated;
    }
    return false;
}

bool IsSound(const IMAGEVIEW& image, IMAGE_FORMAT format)
{
    switch (format) {
    case FORMAT_BITMAP:
        return IsBitmapFileSound(image);
    case FORMAT_PNG:
        return IsPngSound(image);
    case FORMAT_JPEG:
        return IsJpegSound(image);
    case FORMAT_GIF:
        return IsGifSound(image);
    case FORMAT_ICON:
        return IsIconSound(image);
    case FORMAT_PLACEABLE_METAFILE:
        return IsPlaceableMetafileSound(image);
    case FORMAT_ENHANCED_METAFILE:
        return IsEnhancedMetafileSound(image);
    case FORMAT_UNKNOWN:
        break;
    }
    return true;
}

}  // namespace

IMAGE_FILE_KIND CheckImageFile(const char* path)
{
    // A file that cannot be read here is not handed to a loader that might read it otherwise.
    FILEBYTES file(path);
    if (!file.IsOpen())
        return IMAGE_REFUSED;
    const IMAGEVIEW whole = {&file, 0, file.Size()};
    // The PNG loader takes any file that starts with the signature's first four bytes.
    unsigned char start[4] = {};
    if (FormatAt(whole) == FORMAT_BITMAP)
        return IsBitmapFileSound(whole) ? IMAGE_BITMAP_FILE : IMAGE_REFUSED;
    if (whole.Read(0, start, sizeof start) && memcmp(start, PNG_SIGNATURE, sizeof start) == 0)
        return IsPngSound(whole) ? IMAGE_PNG : IMAGE_REFUSED;
    // Where the loader's reading of stream headers differs from this one, it decodes from the start:
    // that is checked too.
    IMAGEVIEW data;
    if (!FindPictureData(file, data) || !IsSound(data, FormatAt(data)) || !IsSound(whole, FormatAt(whole)))
        return IMAGE_REFUSED;
    return IMAGE_PICTURE;
}

// PNG, JPEG, GIF and icon images walked without decoding: their declared sizes, and what a decoder
// will hold and how long it will work.
#include "render/imageheaders.h"

#include <cstring>

#include "render/imagelimits.h"

namespace {

const unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// libpng and the system's PNG decoder keep the ancillary chunks they know, and inflate the compressed
// ones (zTXt, iTXt, iCCP) whole: the system's decoder lets one chunk inflate to any size. Each is
// counted at deflate's greatest expansion of its compressed bytes.
const uint64_t DEFLATE_EXPANSION = 1032;
// libpng writes its pixels in chunks of 8 KB, so an image within the limits takes at most some 33,000
// of them; other chunks are a handful.
const int PNG_CHUNK_LIMIT = 65536;

// Real files carry a few dozen segments and fill bytes before their first scan; a file of nothing
// but markers is not walked to its end.
const int JPEG_SEGMENT_LIMIT = 4096;

bool IsJpegFrameMarker(int marker)
{
    // SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsStandaloneJpegMarker(int marker)
{
    return marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7);
}

// The compressed bytes of a zTXt, iTXt or iCCP chunk of `length` bytes at `at`: what follows its
// keyword (or profile name), the keyword's end and the compression method, and for iTXt the
// compression flag. Zero for other chunks and for uncompressed international text.
uint64_t PngCompressedBytes(const IMAGEVIEW& image, uint64_t at, uint64_t length, const unsigned char* type)
{
    const bool international = memcmp(type, "iTXt", 4) == 0;
    if (!international && memcmp(type, "zTXt", 4) != 0 && memcmp(type, "iCCP", 4) != 0)
        return 0;
    // A keyword of up to 79 bytes, its end, and the two bytes after it.
    unsigned char start[82];
    const size_t count = static_cast<size_t>(length < sizeof start ? length : sizeof start);
    const void* end = image.Read(at, start, count) ? memchr(start, 0, count) : nullptr;
    if (!end)
        return length;
    const size_t keyword = static_cast<size_t>(static_cast<const unsigned char*>(end) - start);
    if (international && (keyword + 1 >= count || start[keyword + 1] == 0))
        return 0;
    const uint64_t prefix = keyword + (international ? 3 : 2);
    return length > prefix ? length - prefix : 0;
}

// Steps over a chain of GIF data sub-blocks (each a length byte and that many bytes, ended by a
// zero length). False when the file ends inside the chain.
bool SkipSubBlocks(const IMAGEVIEW& image, uint64_t& at)
{
    for (;;) {
        const int length = image.Byte(at);
        if (length < 0)
            return false;
        at += 1 + static_cast<uint64_t>(length);
        if (length == 0)
            return true;
    }
}

uint64_t GifColourTableBytes(int flags) { return (flags & 0x80) ? 3ull << ((flags & 7) + 1) : 0; }

// An icon's image is a PNG file or a bitmap header without the file header, twice as high as the
// icon (the colour rows, then the mask rows).
bool IsIconImageSound(const IMAGEVIEW& image)
{
    unsigned char header[12];
    if (FormatAt(image) == FORMAT_PNG)
        return IsPngSound(image);
    if (!image.Read(0, header, sizeof header) || LittleEndian32(header) > image.size)
        return false;
    if (LittleEndian32(header) == 12)
        return IsDrawableImageSize(LittleEndian16(header + 4), LittleEndian16(header + 6));
    const int32_t width = static_cast<int32_t>(LittleEndian32(header + 4));
    const int32_t height = static_cast<int32_t>(LittleEndian32(header + 8));
    return width > 0 && height > 0 && IsDrawableImageSize(static_cast<uint64_t>(width), static_cast<uint64_t>(height));
}

}  // namespace

IMAGE_FORMAT FormatAt(const IMAGEVIEW& image)
{
    unsigned char head[2];
    if (!image.Read(0, head, sizeof head))
        return FORMAT_UNKNOWN;
    if (head[0] == 'B' && head[1] == 'M')
        return FORMAT_BITMAP;
    if (head[0] == 0xFF && head[1] == 0xD8)
        return FORMAT_JPEG;
    if (head[0] == 'G' && head[1] == 'I')
        return FORMAT_GIF;
    if (head[0] == PNG_SIGNATURE[0] && head[1] == PNG_SIGNATURE[1])
        return FORMAT_PNG;
    // The first word of an icon or cursor directory is reserved and zero.
    if (head[0] == 0 && head[1] == 0)
        return FORMAT_ICON;
    // The low word of a placeable metafile's key; any other start is tried as an enhanced
    // metafile, whose first record, the header, has the type 1.
    if (head[0] == 0xD7 && head[1] == 0xCD)
        return FORMAT_PLACEABLE_METAFILE;
    unsigned char type[4];
    if (image.Read(0, type, sizeof type) && LittleEndian32(type) == EMR_HEADER)
        return FORMAT_ENHANCED_METAFILE;
    return FORMAT_UNKNOWN;
}

bool IsPngSound(const IMAGEVIEW& image)
{
    unsigned char head[25];
    if (!image.Read(0, head, sizeof head) || memcmp(head, PNG_SIGNATURE, sizeof PNG_SIGNATURE) != 0 ||
        BigEndian32(head + 8) != 13 || memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    const uint64_t width = BigEndian32(head + 16);
    const uint64_t height = BigEndian32(head + 20);
    if (!IsDrawableImageSize(width, height))
        return false;
    // The system's decoder keeps 16-bit samples as they are: up to eight bytes a pixel.
    uint64_t held = width * height * (head[24] == 16 ? 8 : 4);
    uint64_t at = sizeof PNG_SIGNATURE;
    for (int chunk = 0; chunk < PNG_CHUNK_LIMIT; ++chunk) {
        // A file that ends between chunks fails in the decoder, which holds no more than it had.
        if (at == image.size)
            return true;
        unsigned char header[8];
        if (!image.Read(at, header, sizeof header))
            return false;
        const uint64_t length = BigEndian32(header);
        if (length > 0x7FFFFFFF || length + 4 > image.size - at - sizeof header)
            return false;
        if (memcmp(header + 4, "IEND", 4) == 0)
            return true;
        // Pixel data streams through the decoder; every other chunk may be kept.
        if (memcmp(header + 4, "IDAT", 4) != 0)
            held += length + DEFLATE_EXPANSION * PngCompressedBytes(image, at + sizeof header, length, header + 4);
        if (held > IMAGE_BYTES_LIMIT)
            return false;
        at += sizeof header + length + 4;
    }
    return false;
}

// Markers are walked by their lengths up to the first scan (SOS); the decoder takes its size from
// the frame header (SOFn) met on the way, and refuses a second one.
bool IsJpegSound(const IMAGEVIEW& image)
{
    if (image.Byte(0) != 0xFF || image.Byte(1) != 0xD8)
        return false;
    bool frame = false;
    uint64_t at = 2;
    for (int segment = 0; segment < JPEG_SEGMENT_LIMIT; ++segment) {
        if (image.Byte(at) != 0xFF)
            return frame;
        // Any number of fill bytes may stand before a marker.
        int marker = 0xFF;
        for (int fill = 0; marker == 0xFF; ++fill) {
            if (fill == JPEG_SEGMENT_LIMIT)
                return false;
            marker = image.Byte(++at);
        }
        ++at;
        if (marker < 0)
            return frame;
        if (IsStandaloneJpegMarker(marker))
            continue;
        unsigned char length[2];
        if (marker == 0xD9 || marker == 0xDA || !image.Read(at, length, sizeof length))
            return frame;
        const uint32_t segmentBytes = BigEndian16(length);
        if (segmentBytes < 2)
            return false;
        if (IsJpegFrameMarker(marker)) {
            unsigned char header[6];
            if (frame || segmentBytes < 8 || !image.Read(at + 2, header, sizeof header) ||
                !IsDrawableImageSize(BigEndian16(header + 3), BigEndian16(header + 1)))
                return false;
            frame = true;
        }
        at += segmentBytes;
    }
    return false;
}

// A decoder reads every image of the file up front, so each descriptor counts, placed where it
// says it lies on the screen.
bool IsGifSound(const IMAGEVIEW& image)
{
    unsigned char screen[13];
    if (!image.Read(0, screen, sizeof screen) || memcmp(screen, "GIF", 3) != 0 ||
        !IsDrawableImageSize(LittleEndian16(screen + 6), LittleEndian16(screen + 8)))
        return false;
    uint64_t at = sizeof screen + GifColourTableBytes(screen[10]);
    for (;;) {
        switch (image.Byte(at)) {
        case -1:
        case 0x3B:
            return true;
        case 0x21:
            at += 2;
            break;
        case 0x2C: {
            unsigned char descriptor[9];
            if (!image.Read(at + 1, descriptor, sizeof descriptor))
                return true;
            const uint32_t width = LittleEndian16(descriptor + 4);
            const uint32_t height = LittleEndian16(descriptor + 6);
            if (width == 0 || height == 0 ||
                !IsDrawableImageSize(LittleEndian16(descriptor) + width, LittleEndian16(descriptor + 2) + height))
                return false;
            at += 1 + sizeof descriptor + GifColourTableBytes(descriptor[8]) + 1;
            break;
        }
        default:
            return false;
        }
        if (!SkipSubBlocks(image, at))
            return true;
    }
}

// The loader trusts the directory: it takes every entry's offset and length as given.
bool IsIconSound(const IMAGEVIEW& image)
{
    const uint64_t DIRECTORY = 6;
    const uint64_t ENTRY = 16;
    unsigned char directory[DIRECTORY];
    if (!image.Read(0, directory, sizeof directory))
        return false;
    const uint32_t count = LittleEndian16(directory + 4);
    if (count == 0 || DIRECTORY + count * ENTRY > image.size)
        return false;
    for (uint32_t index = 0; index < count; ++index) {
        unsigned char entry[ENTRY];
        if (!image.Read(DIRECTORY + index * ENTRY, entry, sizeof entry))
            return false;
        const uint64_t bytes = LittleEndian32(entry + 8);
        const uint64_t at = LittleEndian32(entry + 12);
        if (at > image.size || bytes > image.size - at)
            return false;
        const IMAGEVIEW icon = {image.file, image.start + at, bytes};
        if (!IsIconImageSound(icon))
            return false;
    }
    return true;
}

// PNG, JPEG, GIF and icon images walked without decoding: their declared sizes, and what a decoder
// will hold and how long it will work.
#include "image/imageheaders.h"

#include <cstring>

#include "image/imagelimits.h"

namespace {


// libpng and the system's PNG decoder keep the ancillary chunks they know, and inflate the compressed
// ones (zTXt, iTXt, iCCP) whole: the system's decoder lets one chunk inflate to any size. Each is
// counted at deflate's greatest expansion of its compressed bytes.
const uint64_t DEFLATE_EXPANSION = 1032;
// libpng writes its pixels in chunks of 8 KB, so an image within the limits takes at most some 33,000
// of them; other chunks are a handful.
const int PNG_CHUNK_LIMIT = 65536;

// Real files carry a few dozen segments; a file of nothing but markers is not walked to its end.
const int JPEG_SEGMENT_LIMIT = 4096;
// Every scan makes the decoder pass over all blocks of its components (about 17 ms a scan for the
// largest progressive image accepted, 5000 scans of a 4096 x 4096 grey one take 27 s). Real
// progressive files carry about ten scans: libjpeg writes ten for colour and six a component
// otherwise, 24 for CMYK.
const int JPEG_SCAN_LIMIT = 32;
// A progressive or multi-scan decoder keeps every coefficient of the image, 64 of two bytes a block.
const uint64_t JPEG_BLOCK_BYTES = 128;

// What the system's GIF decoder keeps of each frame besides its pixels (its record and colour
// tables) and of each extension block besides its bytes.
const uint64_t GIF_FRAME_BYTES = 2048;
const uint64_t GIF_EXTENSION_BYTES = 64;
// Animations carry a few hundred frames, each after an extension block or two. The decoder grows
// its list of frames and of extension blocks one entry at a time: 100,000 one-pixel frames take it
// seconds.
const int GIF_FRAME_LIMIT = 4096;
const int GIF_EXTENSION_LIMIT = 16384;
// The decoder grows an extension block's copy by each sub-block it reads, copying it whole once it
// is large: one comment of 16 MB takes it 9 s, of a megabyte in one-byte sub-blocks half a second.
// Real files carry a few kilobytes of extension data (loop counts, delays, comments, XMP).
const uint64_t GIF_EXTENSION_DATA_LIMIT = 1 << 20;
const uint64_t GIF_EXTENSION_SUB_BLOCK_LIMIT = 65536;

bool IsJpegFrameMarker(int marker)
{
    // SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsStandaloneJpegMarker(int marker)
{
    return marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7);
}

// The offset of the 0xFF that starts the next marker at or after `at`, the end of the image when
// there is none. A 0xFF followed by another (a fill byte), by a stuffed zero or by a restart marker
// starts none. Between markers lies the entropy-coded data of a scan, most of the file, so it is
// read a block at a time.
uint64_t NextJpegMarker(const IMAGEVIEW& image, uint64_t at)
{
    unsigned char block[4096];
    while (at + 1 < image.size) {
        const size_t count = static_cast<size_t>(image.size - at < sizeof block ? image.size - at : sizeof block);
        if (!image.Read(at, block, count))
            return image.size;
        const unsigned char* last = block + count - 1;
        for (const unsigned char* byte = block; byte < last; ++byte) {
            byte = static_cast<const unsigned char*>(memchr(byte, 0xFF, static_cast<size_t>(last - byte)));
            if (!byte)
                break;
            if (byte[1] != 0 && byte[1] != 0xFF && (byte[1] < 0xD0 || byte[1] > 0xD7))
                return at + static_cast<uint64_t>(byte - block);
        }
        // The last byte may be a 0xFF whose marker is in the next block.
        at += count - 1;
    }
    return image.size;
}

struct JPEGFRAME {
    uint64_t width;
    uint64_t height;
    int components;
    bool progressive;
    // Some scan holds fewer components than the frame.
    bool multiScan;
    uint64_t coefficientBytes;
};

uint64_t DivideRoundingUp(uint64_t value, uint64_t divisor) { return (value + divisor - 1) / divisor; }

// The frame header (SOFn) whose length field is at `at`: its size, and the coefficients a decoder
// keeps of it when it must keep them all, as libjpeg lays them out (every component's blocks,
// padded to whole units of its sampling factors).
bool ReadJpegFrame(const IMAGEVIEW& image, uint64_t at, int marker, JPEGFRAME& frame)
{
    unsigned char header[8 + 3 * 255];
    if (!image.Read(at, header, 8))
        return false;
    const uint32_t segmentBytes = BigEndian16(header);
    const int components = header[7];
    frame.height = BigEndian16(header + 3);
    frame.width = BigEndian16(header + 5);
    if (components == 0 || segmentBytes < 8u + 3u * components || !IsDrawableImageSize(frame.width, frame.height) ||
        !image.Read(at + 8, header + 8, 3u * components))
        return false;
    const unsigned char* sampling = header + 9;
    uint64_t maxAcross = 1;
    uint64_t maxDown = 1;
    for (int c = 0; c < components; ++c) {
        const uint64_t across = sampling[3 * c] >> 4;
        const uint64_t down = sampling[3 * c] & 15;
        if (across < 1 || across > 4 || down < 1 || down > 4)
            return false;
        maxAcross = across > maxAcross ? across : maxAcross;
        maxDown = down > maxDown ? down : maxDown;
    }
    frame.coefficientBytes = 0;
    for (int c = 0; c < components; ++c) {
        const uint64_t across = sampling[3 * c] >> 4;
        const uint64_t down = sampling[3 * c] & 15;
        const uint64_t unitsAcross = DivideRoundingUp(DivideRoundingUp(frame.width * across, 8 * maxAcross), across);
        const uint64_t unitsDown = DivideRoundingUp(DivideRoundingUp(frame.height * down, 8 * maxDown), down);
        frame.coefficientBytes += unitsAcross * across * unitsDown * down * JPEG_BLOCK_BYTES;
    }
    frame.components = components;
    frame.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
    return true;
}

// The decoded image, and the coefficients of a progressive or multi-scan image besides.
bool IsJpegHeld(const JPEGFRAME& frame)
{
    const uint64_t coefficients = frame.progressive || frame.multiScan ? frame.coefficientBytes : 0;
    return frame.width * frame.height * 4 + coefficients <= IMAGE_BYTES_LIMIT;
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

struct GIFDATA {
    uint64_t bytes;
    uint64_t subBlocks;
};

// Steps over a chain of GIF data sub-blocks (each a length byte and that many bytes, ended by a
// zero length), reading the file a block at a time: a chain may hold millions of sub-blocks. Adds
// what it stepped over to `data`. False when the file ends inside the chain.
bool SkipSubBlocks(const IMAGEVIEW& image, uint64_t& at, GIFDATA& data)
{
    unsigned char block[4096];
    uint64_t blockAt = 0;
    size_t blockBytes = 0;
    for (;;) {
        if (at < blockAt || at >= blockAt + blockBytes) {
            if (at >= image.size)
                return false;
            blockAt = at;
            blockBytes = static_cast<size_t>(image.size - at < sizeof block ? image.size - at : sizeof block);
            if (!image.Read(at, block, blockBytes))
                return false;
        }
        const int length = block[at - blockAt];
        at += 1 + static_cast<uint64_t>(length);
        if (length == 0)
            return true;
        data.bytes += static_cast<uint64_t>(length);
        ++data.subBlocks;
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

// Markers are walked by their lengths and scans by their entropy-coded data up to the end of the
// image. The decoder takes its size from the frame header (SOFn), refuses a second one, and skips
// bytes that are no marker where one should be, as this walk does.
bool IsJpegSound(const IMAGEVIEW& image)
{
    if (image.Byte(0) != 0xFF || image.Byte(1) != 0xD8)
        return false;
    JPEGFRAME frame = {};
    int scans = 0;
    uint64_t at = 2;
    for (int segment = 0; segment < JPEG_SEGMENT_LIMIT; ++segment) {
        at = NextJpegMarker(image, at);
        const int marker = image.Byte(at + 1);
        at += 2;
        // The decoder ends the image at the end of the file as at its end marker.
        if (marker < 0 || marker == 0xD9)
            return frame.width != 0 && IsJpegHeld(frame);
        if (IsStandaloneJpegMarker(marker))
            continue;
        unsigned char length[2];
        if (!image.Read(at, length, sizeof length))
            return frame.width != 0 && IsJpegHeld(frame);
        const uint32_t segmentBytes = BigEndian16(length);
        if (segmentBytes < 2)
            return false;
        if (IsJpegFrameMarker(marker) && (frame.width != 0 || !ReadJpegFrame(image, at, marker, frame)))
            return false;
        if (marker == 0xDA) {
            // A scan of fewer components than the frame has makes the decoder keep every coefficient.
            const int components = image.Byte(at + 2);
            if (frame.width == 0 || components < 1 || ++scans > JPEG_SCAN_LIMIT)
                return false;
            frame.multiScan = frame.multiScan || components < frame.components;
        }
        at += segmentBytes;
    }
    return false;
}

// The system's decoder reads every frame of the file up front and keeps them all, with every
// extension block, so all of them count; each frame is placed where it says it lies on the screen.
bool IsGifSound(const IMAGEVIEW& image)
{
    unsigned char screen[13];
    if (!image.Read(0, screen, sizeof screen) || memcmp(screen, "GIF", 3) != 0 ||
        !IsDrawableImageSize(LittleEndian16(screen + 6), LittleEndian16(screen + 8)))
        return false;
    uint64_t held = 0;
    int frames = 0;
    int extensions = 0;
    GIFDATA extensionData = {};
    uint64_t at = sizeof screen + GifColourTableBytes(screen[10]);
    // A file that ends inside a frame or an extension fails in the decoder, after it read them.
    for (bool complete = true; complete;) {
        switch (image.Byte(at)) {
        case -1:
        case 0x3B:
            return true;
        case 0x21: {
            if (++extensions > GIF_EXTENSION_LIMIT)
                return false;
            at += 2;
            const uint64_t before = extensionData.bytes;
            complete = SkipSubBlocks(image, at, extensionData);
            held += GIF_EXTENSION_BYTES + extensionData.bytes - before;
            if (extensionData.bytes > GIF_EXTENSION_DATA_LIMIT ||
                extensionData.subBlocks > GIF_EXTENSION_SUB_BLOCK_LIMIT)
                return false;
            break;
        }
        case 0x2C: {
            unsigned char descriptor[9];
            if (!image.Read(at + 1, descriptor, sizeof descriptor))
                return true;
            const uint64_t width = LittleEndian16(descriptor + 4);
            const uint64_t height = LittleEndian16(descriptor + 6);
            if (width == 0 || height == 0 || ++frames > GIF_FRAME_LIMIT ||
                !IsDrawableImageSize(LittleEndian16(descriptor) + width, LittleEndian16(descriptor + 2) + height))
                return false;
            // One byte a pixel of every frame; the first is also made into a bitmap of four.
            held += GIF_FRAME_BYTES + width * height * (frames == 1 ? 5 : 1);
            at += 1 + sizeof descriptor + GifColourTableBytes(descriptor[8]) + 1;
            GIFDATA pixels = {};
            complete = SkipSubBlocks(image, at, pixels);
            break;
        }
        default:
            return false;
        }
        if (held > IMAGE_BYTES_LIMIT)
            return false;
    }
    return true;
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

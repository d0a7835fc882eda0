#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Test images made or taken apart in memory.
namespace imagefiles {

struct PNGCHUNK {
    std::string type;
    std::string data;
};

// The chunks of a PNG file in order; empty when the signature is wrong.
std::vector<PNGCHUNK> ReadChunks(const std::string& png);
// A PNG file made of these chunks, with fresh CRCs.
std::string WriteChunks(const std::vector<PNGCHUNK>& chunks);
// The same file without any chunk of the given type.
std::string WithoutChunk(const std::string& png, const char* type);

struct PNGHEADER {
    uint32_t width = 0;
    uint32_t height = 0;
    int depth = 0;
    int colorType = 0;
    int interlace = 0;
    bool transparency = false;
};
PNGHEADER ReadHeader(const std::string& png);

// A bottom-up 24-bit Windows bitmap file of the given pixels (row-major, top row first).
std::string BitmapFile(int width, int height, const std::vector<COLORREF>& pixels);

// A Windows bitmap file of any header version: 12 (core), 40 (info), 52, 56, 108 or 124 bytes,
// with its colour table or bit masks, uncompressed, run-length encoded (BI_RLE8 at 8 bits,
// BI_RLE4 at 4) or with bit fields. A negative height stores the rows top-down.
struct BITMAPSPEC {
    uint32_t headerSize = 40;
    int width = 5;
    int height = 3;
    int bitCount = 24;
    uint32_t compression = BI_RGB;
};
std::string BitmapOf(const BITMAPSPEC& layout);

// A PNG file of 8-bit RGB pixels.
std::string PngOf(int width, int height);

// A 5 x 3 GIF (red rows above and below a blue one) and a 16 x 8 JPEG (all RGB(0, 128, 255)).
std::string Gif5x3();
std::string Jpeg16x8();

// An icon file of one 16 x 16 image (a PNG file, or a bitmap header and its rows): its directory,
// then the image.
std::string IconOf(const std::string& image);
// The stream form of OLE pictures: eight bytes, the first four `magic`, the second four the length
// of what follows.
std::string Prefixed(const char* magic, const std::string& image);

// The header of a 32-bit top-down DIB, for reading pixels out of a device context in one copy.
inline BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// Pixels of a DIB section as top-down rows of bm.bmBitsPixel / 8 bytes each, unpadded.
std::vector<unsigned char> DibRows(const BITMAP& bm);

}  // namespace imagefiles

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

// Pixels of a DIB section as top-down rows of bm.bmBitsPixel / 8 bytes each, unpadded.
std::vector<unsigned char> DibRows(const BITMAP& bm);

}  // namespace imagefiles

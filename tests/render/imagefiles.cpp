#include "imagefiles.h"

#include <zlib.h>

#include <cstring>

namespace imagefiles {

namespace {

const char SIGNATURE[] = "\x89PNG\r\n\x1a\n";

uint32_t BigEndian(const std::string& bytes, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

void PutBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift & 0xFF);
}

void PutLittleEndian(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

}  // namespace

std::vector<PNGCHUNK> ReadChunks(const std::string& png)
{
    std::vector<PNGCHUNK> chunks;
    if (png.compare(0, 8, SIGNATURE, 8) != 0)
        return chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        uint32_t length = BigEndian(png, at);
        if (length > png.size() - at - 12)
            break;
        chunks.push_back({png.substr(at + 4, 4), png.substr(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

std::string WriteChunks(const std::vector<PNGCHUNK>& chunks)
{
    std::string out(SIGNATURE, 8);
    for (const PNGCHUNK& chunk : chunks) {
        PutBigEndian(out, static_cast<uint32_t>(chunk.data.size()));
        std::string body = chunk.type + chunk.data;
        out += body;
        PutBigEndian(out, static_cast<uint32_t>(
                              crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    }
    return out;
}

std::string WithoutChunk(const std::string& png, const char* type)
{
    std::vector<PNGCHUNK> kept;
    for (const PNGCHUNK& chunk : ReadChunks(png))
        if (chunk.type != type)
            kept.push_back(chunk);
    return WriteChunks(kept);
}

PNGHEADER ReadHeader(const std::string& png)
{
    PNGHEADER header;
    for (const PNGCHUNK& chunk : ReadChunks(png)) {
        if (chunk.type == "IHDR" && chunk.data.size() == 13) {
            header.width = BigEndian(chunk.data, 0);
            header.height = BigEndian(chunk.data, 4);
            header.depth = static_cast<unsigned char>(chunk.data[8]);
            header.colorType = static_cast<unsigned char>(chunk.data[9]);
            header.interlace = static_cast<unsigned char>(chunk.data[12]);
        } else if (chunk.type == "tRNS") {
            header.transparency = true;
        }
    }
    return header;
}

std::string BitmapFile(int width, int height, const std::vector<COLORREF>& pixels)
{
    int stride = (width * 3 + 3) / 4 * 4;
    uint32_t imageBytes = static_cast<uint32_t>(stride * height);
    std::string out = "BM";
    PutLittleEndian(out, 14 + 40 + imageBytes, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 14 + 40, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, static_cast<uint32_t>(width), 4);
    PutLittleEndian(out, static_cast<uint32_t>(height), 4);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 24, 2);
    PutLittleEndian(out, BI_RGB, 4);
    PutLittleEndian(out, imageBytes, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            row += static_cast<char>(GetBValue(c));
            row += static_cast<char>(GetGValue(c));
            row += static_cast<char>(GetRValue(c));
        }
        row.resize(static_cast<size_t>(stride), '\0');
        out += row;
    }
    return out;
}

std::vector<unsigned char> DibRows(const BITMAP& bm)
{
    std::vector<unsigned char> rows;
    if (!bm.bmBits)
        return rows;
    size_t rowBytes = static_cast<size_t>(bm.bmWidth) * bm.bmBitsPixel / 8;
    const unsigned char* bits = static_cast<const unsigned char*>(bm.bmBits);
    // GetObject reports a DIB section's height as positive; its rows are stored bottom-up.
    for (int y = bm.bmHeight - 1; y >= 0; --y) {
        const unsigned char* row = bits + static_cast<size_t>(y) * bm.bmWidthBytes;
        rows.insert(rows.end(), row, row + rowBytes);
    }
    return rows;
}

}  // namespace imagefiles

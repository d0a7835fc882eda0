#include "support/imagefiles.h"

#include <zlib.h>

#include <cstring>

namespace imagefiles {

namespace {

const char SIGNATURE[] = "\x89PNG\r\n\x1a\n";

// 5 x 3: red rows above and below a blue one.
const unsigned char GIF_5X3[] = {
    0x47, 0x49, 0x46, 0x38, 0x37, 0x61, 0x05, 0x00, 0x03, 0x00, 0x81, 0x00, 0x00, 0xFF, 0x00, 0x00,
    0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00,
    0x03, 0x00, 0x00, 0x08, 0x0C, 0x00, 0x01, 0x08, 0x14, 0x18, 0xA0, 0x60, 0xC1, 0x81, 0x02, 0x03,
    0x02, 0x00, 0x3B,
};

// 16 x 8, all RGB(0, 128, 255).
const unsigned char JPEG_16X8[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03,
    0x03, 0x03, 0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0A, 0x07,
    0x07, 0x06, 0x08, 0x0C, 0x0A, 0x0C, 0x0C, 0x0B, 0x0A, 0x0B, 0x0B, 0x0D, 0x0E, 0x12, 0x10, 0x0D,
    0x0E, 0x11, 0x0E, 0x0B, 0x0B, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0C, 0x0F,
    0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x03, 0x04,
    0x04, 0x05, 0x04, 0x05, 0x09, 0x05, 0x05, 0x09, 0x14, 0x0D, 0x0B, 0x0D, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0xFF, 0xC0,
    0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x10, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xFF, 0xC4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xC4,
    0x00, 0x14, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x08, 0xFF, 0xC4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01,
    0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x9F, 0x80, 0x71, 0x87, 0x4F, 0xFF, 0xD9,
};

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

std::string Bytes(const unsigned char* bytes, size_t size)
{
    return std::string(reinterpret_cast<const char*>(bytes), size);
}

// One row of run-length encoded pixels: runs of at most 255, then the end-of-line code.
void PutRunLengthRow(std::string& out, int width, int value)
{
    for (int left = width; left > 0; left -= 255) {
        out += static_cast<char>(left < 255 ? left : 255);
        out += static_cast<char>(value);
    }
    out += std::string("\0\0", 2);
}

std::string BitmapPixels(const BITMAPSPEC& layout, int rows)
{
    std::string pixels;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        for (int y = 0; y < rows; ++y)
            PutRunLengthRow(pixels, layout.width, layout.compression == BI_RLE8 ? y % 4 : (y % 4) * 0x11);
        return pixels + std::string("\0\1", 2);
    }
    const int stride = (layout.width * layout.bitCount + 31) / 32 * 4;
    for (int y = 0; y < rows; ++y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < layout.width; ++x) {
            const uint32_t value = static_cast<uint32_t>((x + y) * 0x2F3B5D);
            const int bit = x * layout.bitCount;
            const uint32_t index = value & ((1u << layout.bitCount) - 1);
            if (layout.bitCount < 8)
                row[static_cast<size_t>(bit / 8)] |= static_cast<char>(index << (8 - layout.bitCount - bit % 8));
            else
                for (int b = 0; b < layout.bitCount / 8; ++b)
                    row[static_cast<size_t>(bit / 8 + b)] = static_cast<char>(value >> (8 * b));
        }
        pixels += row;
    }
    return pixels;
}

}  // namespace

std::string BitmapOf(const BITMAPSPEC& layout)
{
    const bool core = layout.headerSize == 12;
    const int rows = layout.height < 0 ? -layout.height : layout.height;
    const std::string pixels = BitmapPixels(layout, rows);
    std::string header;
    PutLittleEndian(header, layout.headerSize, 4);
    PutLittleEndian(header, static_cast<uint32_t>(layout.width), core ? 2 : 4);
    PutLittleEndian(header, static_cast<uint32_t>(layout.height), core ? 2 : 4);
    PutLittleEndian(header, 1, 2);
    PutLittleEndian(header, static_cast<uint32_t>(layout.bitCount), 2);
    const bool fields = layout.compression == BI_BITFIELDS;
    const uint32_t masks[3] = {layout.bitCount == 16 ? 0xF800u : 0xFF0000u, layout.bitCount == 16 ? 0x07E0u : 0xFF00u,
                               layout.bitCount == 16 ? 0x001Fu : 0xFFu};
    if (!core) {
        PutLittleEndian(header, layout.compression, 4);
        PutLittleEndian(header, static_cast<uint32_t>(pixels.size()), 4);
        PutLittleEndian(header, 2835, 4);
        PutLittleEndian(header, 2835, 4);
        PutLittleEndian(header, 0, 4);
        PutLittleEndian(header, 0, 4);
        for (int mask = 0; mask < 3 && layout.headerSize > 40; ++mask)
            PutLittleEndian(header, fields ? masks[mask] : 0, 4);
        if (layout.headerSize >= 108)
            PutLittleEndian(header, 0x73524742, 4);  // sRGB
        header.resize(layout.headerSize, '\0');
    }
    std::string table;
    for (int mask = 0; mask < 3 && fields && layout.headerSize == 40; ++mask)
        PutLittleEndian(table, masks[mask], 4);
    for (int i = 0; layout.bitCount <= 8 && i < 1 << layout.bitCount; ++i)
        PutLittleEndian(table, static_cast<uint32_t>(i * 0x3F1D47), core ? 3 : 4);
    std::string out = "BM";
    const uint32_t offset = static_cast<uint32_t>(14 + header.size() + table.size());
    PutLittleEndian(out, offset + static_cast<uint32_t>(pixels.size()), 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, offset, 4);
    return out + header + table + pixels;
}

std::string PngOf(int width, int height)
{
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\0\0\0", 5);
    std::string rows;
    for (int y = 0; y < height; ++y) {
        rows += '\0';
        for (int x = 0; x < width * 3; ++x)
            rows += static_cast<char>(x * 17 + y * 29);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
             static_cast<uLong>(rows.size()));
    packed.resize(packedSize);
    return WriteChunks({{"IHDR", header}, {"IDAT", packed}, {"IEND", ""}});
}

std::string Gif5x3() { return Bytes(GIF_5X3, sizeof GIF_5X3); }
std::string Jpeg16x8() { return Bytes(JPEG_16X8, sizeof JPEG_16X8); }

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

std::string IconOf(const std::string& image)
{
    std::string icon;
    PutLittleEndian(icon, 0, 2);
    PutLittleEndian(icon, 1, 2);
    PutLittleEndian(icon, 1, 2);
    PutLittleEndian(icon, 0x1010, 2);
    PutLittleEndian(icon, 0, 2);
    PutLittleEndian(icon, 1, 2);
    PutLittleEndian(icon, 32, 2);
    PutLittleEndian(icon, static_cast<uint32_t>(image.size()), 4);
    PutLittleEndian(icon, 22, 4);
    return icon + image;
}

std::string Prefixed(const char* magic, const std::string& image)
{
    std::string prefix(magic, 4);
    PutLittleEndian(prefix, static_cast<uint32_t>(image.size()), 4);
    return prefix + image;
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

#include "support/damagedimages.h"

#include <windows.h>

#include <cstdint>
#include <random>

#include "image/imagelimits.h"
#include "support/imagefiles.h"

using imagefiles::BITMAPSPEC;
using imagefiles::BitmapOf;
using imagefiles::IconOf;
using imagefiles::Prefixed;

namespace damagedimages {

namespace {

std::string Put(std::string bytes, size_t at, uint32_t value, int count, bool bigEndian = false)
{
    std::string encoded;
    for (int i = 0; i < count; ++i)
        encoded += static_cast<char>(value >> (8 * (bigEndian ? count - 1 - i : i)));
    if (at < bytes.size())
        bytes.replace(at, encoded.size(), encoded.substr(0, bytes.size() - at));
    return bytes;
}

// Offsets in a bitmap file: the file header, then the info header from byte 14.
enum { BMP_OFFBITS = 10, BMP_HEADER = 14, BMP_WIDTH = 18, BMP_HEIGHT = 22, BMP_PLANES = 26, BMP_BITS = 28,
       BMP_COMPRESSION = 30, BMP_IMAGE_BYTES = 34, BMP_COLOURS = 46 };
// In the GIF and the JPEG below.
enum { GIF_SCREEN = 6, GIF_DESCRIPTOR = 25 };

std::string PngSized(uint32_t width, uint32_t height)
{
    std::vector<imagefiles::PNGCHUNK> chunks = imagefiles::ReadChunks(imagefiles::PngOf(4, 4));
    chunks[0].data = Put(Put(chunks[0].data, 0, width, 4, true), 4, height, 4, true);
    return imagefiles::WriteChunks(chunks);
}

size_t JpegFrame() { return imagefiles::Jpeg16x8().find("\xFF\xC0"); }

std::string JpegSized(uint32_t width, uint32_t height)
{
    return Put(Put(imagefiles::Jpeg16x8(), JpegFrame() + 5, height, 2, true), JpegFrame() + 7, width, 2, true);
}

// The GIF with a copy of its image (descriptor and data) as a second frame.
std::string GifTwoFrames(uint32_t secondWidth, uint32_t secondHeight)
{
    const std::string gif = imagefiles::Gif5x3();
    std::string frame = gif.substr(GIF_DESCRIPTOR, gif.size() - 1 - GIF_DESCRIPTOR);
    frame = Put(Put(frame, 5, secondWidth, 2), 7, secondHeight, 2);
    return gif.substr(0, gif.size() - 1) + frame + ";";
}

// A 16 x 16 icon of 32-bit pixels: a bitmap header twice as high as the icon, the colour rows and
// the mask rows.
std::string Icon()
{
    std::string header = Put(Put(Put(std::string(40, '\0'), 0, 40, 4), 4, 16, 4), 8, 32, 4);
    header = Put(Put(header, 12, 1, 2), 14, 32, 2);
    return IconOf(header + std::string(16 * 16 * 4, '\x7F') + std::string(16 * 4, '\0'));
}

// Random changes of a sound file: bytes anywhere or in the headers set to any value, extreme
// numbers written over header fields, or the file cut short.
std::string Change(const std::string& original, std::mt19937& random)
{
    std::string bytes = original;
    auto below = [&](size_t bound) { return bound ? random() % bound : 0; };
    const size_t headers = bytes.size() < 64 ? bytes.size() : 64;
    switch (below(4)) {
    case 0:
        for (size_t count = 1 + below(4); count > 0; --count)
            bytes[below(bytes.size())] = static_cast<char>(random());
        break;
    case 1:
        for (size_t count = 1 + below(3); count > 0; --count)
            bytes[below(headers)] = static_cast<char>(random());
        break;
    case 2: {
        static const uint32_t extremes[] = {0, 1, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 30000, 65500};
        bytes = Put(bytes, below(headers), extremes[below(std::size(extremes))], below(2) ? 2 : 4, below(2));
        break;
    }
    default:
        bytes.resize(below(bytes.size()));
        break;
    }
    return bytes;
}

// Changes of each sound file. Runs of up to 3,000 changes per file, some 30,000 files in all, found
// nothing more once icon directories were checked.
constexpr int CHANGES_PER_FILE = 25;

}  // namespace

std::vector<IMAGECASE> SoundFiles()
{
    const BITMAPSPEC bitmaps[] = {
        {12, 5, 3, 1}, {12, 5, 3, 4}, {12, 5, 3, 8}, {12, 5, 3, 24},
        {40, 5, 3, 1}, {40, 5, 3, 4}, {40, 5, 3, 8}, {40, 5, 3, 16}, {40, 5, 3, 24}, {40, 5, 3, 32}, {40, 5, -3, 24},
        {40, 5, 3, 8, BI_RLE8}, {40, 5, 3, 4, BI_RLE4}, {40, 5, 3, 16, BI_BITFIELDS}, {40, 5, 3, 32, BI_BITFIELDS},
        {52, 5, 3, 16, BI_BITFIELDS}, {56, 5, 3, 32, BI_BITFIELDS}, {108, 5, 3, 24}, {108, 5, 3, 32, BI_BITFIELDS},
        {124, 5, 3, 8}, {124, 5, -3, 24},
        {40, static_cast<int>(IMAGE_SIDE_LIMIT), 1, 1},  // the limits themselves are allowed
        {40, 8192, 8192, 1},
    };
    std::vector<IMAGECASE> cases;
    for (const BITMAPSPEC& layout : bitmaps) {
        const bool version2or3 = layout.headerSize == 52 || layout.headerSize == 56;
        cases.push_back({"bmp" + std::to_string(layout.headerSize) + "_" + std::to_string(layout.width) + "x" +
                             std::to_string(layout.height) + "_" + std::to_string(layout.bitCount) + "bit_c" +
                             std::to_string(layout.compression),
                         BitmapOf(layout), version2or3 ? CHECKED : LOADS});
    }
    cases.push_back({"png", imagefiles::PngOf(5, 3), LOADS});
    cases.push_back({"jpeg", imagefiles::Jpeg16x8(), LOADS});
    cases.push_back({"gif", imagefiles::Gif5x3(), LOADS});
    cases.push_back({"gif_two_frames", GifTwoFrames(5, 3), LOADS});
    cases.push_back({"jpeg_behind_prefix", Prefixed("ABCD", imagefiles::Jpeg16x8()), LOADS});
    cases.push_back({"icon", Icon(), LOADS});
    return cases;
}

std::vector<IMAGECASE> LyingFiles()
{
    const std::string mono = BitmapOf({40, 8, 1, 1});
    const std::string mono12 = BitmapOf({12, 8, 1, 1});
    const std::string rgb = BitmapOf({40, 5, 3, 24});
    const std::string indexed = BitmapOf({40, 5, 3, 8});
    const std::string rle = BitmapOf({40, 5, 3, 8, BI_RLE8});
    const std::string v5 = BitmapOf({124, 5, 3, 24});
    const std::string gif = imagefiles::Gif5x3();
    const std::string jpeg = imagefiles::Jpeg16x8();
    const size_t frame = JpegFrame();
    const uint32_t segment = 17;  // the length of the JPEG's frame header segment
    return {
        // The reported skin: a few dozen bytes claiming 30000 x 30000 pixels.
        {"bmp_30000_square", Put(Put(mono, BMP_WIDTH, 30000, 4), BMP_HEIGHT, 30000, 4), REFUSED},
        {"bmp_core_30000_square", Put(Put(mono12, BMP_WIDTH, 30000, 2), BMP_WIDTH + 2, 30000, 2), REFUSED},
        {"bmp_wider_than_the_limit", BitmapOf({40, static_cast<int>(IMAGE_SIDE_LIMIT) + 1, 1, 8, BI_RLE8}), REFUSED},
        {"bmp_more_than_256MB", BitmapOf({40, 8192, 8193, 8, BI_RLE8}), REFUSED},
        {"bmp_height_int_min", Put(rgb, BMP_HEIGHT, 0x80000000u, 4), REFUSED},
        {"bmp_negative_width", Put(rgb, BMP_WIDTH, static_cast<uint32_t>(-5), 4), REFUSED},
        {"bmp_zero_height", Put(rgb, BMP_HEIGHT, 0, 4), REFUSED},
        {"bmp_last_row_cut", rgb.substr(0, rgb.size() - 1), REFUSED},
        {"bmp_colour_table_cut", indexed.substr(0, BMP_HEADER + 40 + 100), REFUSED},
        {"bmp_header_cut", rgb.substr(0, 20), REFUSED},
        {"bmp_more_colours_than_values", Put(indexed, BMP_COLOURS, 257, 4), REFUSED},
        {"bmp_pixels_beyond_the_file", Put(rgb, BMP_OFFBITS, static_cast<uint32_t>(rgb.size()) + 1, 4), REFUSED},
        {"bmp_pixels_inside_the_header", Put(rgb, BMP_OFFBITS, 20, 4), REFUSED},
        {"bmp_rle_longer_than_the_file", Put(rle, BMP_IMAGE_BYTES, 100000, 4), REFUSED},
        {"bmp_rle_without_length", Put(rle, BMP_IMAGE_BYTES, 0, 4), REFUSED},
        {"bmp_rle_top_down", Put(rle, BMP_HEIGHT, static_cast<uint32_t>(-3), 4), REFUSED},
        {"bmp_two_planes", Put(rgb, BMP_PLANES, 2, 2), REFUSED},
        {"bmp_2_bits", Put(indexed, BMP_BITS, 2, 2), REFUSED},
        {"bmp_jpeg_inside", Put(rgb, BMP_COMPRESSION, BI_JPEG, 4), REFUSED},
        {"bmp_png_inside", Put(rgb, BMP_COMPRESSION, BI_PNG, 4), REFUSED},
        {"bmp_bit_fields_at_24_bits", Put(rgb, BMP_COMPRESSION, BI_BITFIELDS, 4), REFUSED},
        {"bmp_unknown_header_size", Put(rgb, BMP_HEADER, 64, 4), REFUSED},
        {"bmp_profile_beyond_the_file", Put(Put(Put(v5, BMP_HEADER + 56, 0x4D424544, 4), BMP_HEADER + 112, 1000, 4),
                                            BMP_HEADER + 116, 1000, 4), REFUSED},
        {"png_60000_square", PngSized(60000, 60000), REFUSED},
        {"png_wider_than_the_limit", PngSized(IMAGE_SIDE_LIMIT + 1, 1), REFUSED},
        {"png_more_than_256MB", PngSized(8192, 8193), REFUSED},
        {"png_without_header_first", imagefiles::WriteChunks({{"tEXt", "a"}, {"IHDR", PngSized(4, 4).substr(16, 13)}}),
         REFUSED},
        // The reported JPEG: a frame header claiming 65500 x 65500 pixels.
        {"jpeg_65500_square", JpegSized(65500, 65500), REFUSED},
        {"jpeg_wider_than_the_limit", JpegSized(IMAGE_SIDE_LIMIT + 1, 8), REFUSED},
        {"jpeg_more_than_256MB", JpegSized(8192, 8193), REFUSED},
        {"jpeg_zero_height", JpegSized(16, 0), REFUSED},
        {"jpeg_two_frame_headers", jpeg.substr(0, frame + 2 + segment) + jpeg.substr(frame), REFUSED},
        {"jpeg_segment_shorter_than_its_length", Put(jpeg, 4, 1, 2, true), REFUSED},
        {"jpeg_65500_behind_prefix", Prefixed("ABCD", JpegSized(65500, 65500)), REFUSED},
        {"jpeg_65500_behind_lt_prefix", Prefixed("lt\0\0", JpegSized(65500, 65500)), REFUSED},
        {"gif_screen_65535_square", Put(Put(gif, GIF_SCREEN, 65535, 2), GIF_SCREEN + 2, 65535, 2), REFUSED},
        {"gif_screen_zero_wide", Put(gif, GIF_SCREEN, 0, 2), REFUSED},
        {"gif_frame_65535_square", Put(Put(gif, GIF_DESCRIPTOR + 5, 65535, 2), GIF_DESCRIPTOR + 7, 65535, 2), REFUSED},
        {"gif_second_frame_65535_square", GifTwoFrames(65535, 65535), REFUSED},
        {"gif_frame_placed_beyond_the_limit", Put(Put(gif, GIF_DESCRIPTOR + 1, 16000, 2), GIF_DESCRIPTOR + 5, 1000, 2),
         REFUSED},
        {"gif_unknown_block", gif.substr(0, gif.size() - 1) + "\x99", REFUSED},
        {"gif_65535_behind_prefix", Prefixed("ABCD", Put(gif, GIF_SCREEN, 65535, 2)), REFUSED},
        {"jpeg_65500_behind_two_prefixes", Prefixed("ABCD", Prefixed("EFGH", JpegSized(65500, 65500))), REFUSED},
        // A changed PNG whose first bytes became zero was read as an icon directory of many entries.
        {"icon_entries_beyond_the_file", Put(Icon(), 4, 0xFFFF, 2), REFUSED},
        {"icon_image_beyond_the_file", Put(Icon(), 18, 0x7FFFFFFF, 4), REFUSED},
        {"icon_image_65535_wide", Put(Icon(), 22 + 4, 65535, 4), REFUSED},
        {"icon_of_a_huge_png", IconOf(PngSized(60000, 60000)), REFUSED},
    };
}

std::vector<IMAGECASE> ChangedFiles()
{
    const std::vector<std::pair<std::string, std::string>> originals = {
        {"bmp40_8bit", BitmapOf({40, 5, 3, 8})},
        {"bmp124_24bit", BitmapOf({124, 5, 3, 24})},
        {"bmp12_1bit", BitmapOf({12, 5, 3, 1})},
        {"bmp40_rle8", BitmapOf({40, 5, 3, 8, BI_RLE8})},
        {"bmp40_rle4", BitmapOf({40, 5, 3, 4, BI_RLE4})},
        {"png", imagefiles::PngOf(5, 3)},
        {"jpeg", imagefiles::Jpeg16x8()},
        {"gif", GifTwoFrames(5, 3)},
        {"icon", Icon()},
        {"jpeg_behind_prefix", Prefixed("ABCD", imagefiles::Jpeg16x8())},
    };
    std::vector<IMAGECASE> cases;
    for (const auto& original : originals) {
        for (int seed = 1; seed <= CHANGES_PER_FILE; ++seed) {
            std::mt19937 random(static_cast<unsigned int>(seed) * 7919u + static_cast<unsigned int>(cases.size()));
            const std::string name = original.first + "_change" + std::to_string(seed);
            cases.push_back({name, Change(original.second, random), EITHER});
        }
    }
    return cases;
}

}  // namespace damagedimages

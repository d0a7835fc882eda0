#include "support/hostileimages.h"

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/imagefiles.h"

namespace hostileimages {

namespace {

using imagefiles::PNGCHUNK;
using imagefiles::Prefixed;

void PutBigEndian(std::string& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A zlib stream of `prefix` followed by `zeros` zero bytes. Run-length matching reaches deflate's
// greatest expansion (about 1030:1) at little cost, so large bombs are made quickly.
std::string Deflated(const std::string& prefix, uint64_t zeros)
{
    static const unsigned char ZEROS[65536] = {};
    z_stream stream = {};
    deflateInit2(&stream, 9, Z_DEFLATED, 15, 9, Z_RLE);
    std::string out;
    auto feed = [&](const void* bytes, size_t count, int flush) {
        unsigned char buffer[65536];
        stream.next_in = static_cast<Bytef*>(const_cast<void*>(bytes));
        stream.avail_in = static_cast<uInt>(count);
        do {
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(reinterpret_cast<const char*>(buffer), sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    feed(prefix.data(), prefix.size(), Z_NO_FLUSH);
    do {
        const size_t take = static_cast<size_t>(zeros < sizeof ZEROS ? zeros : sizeof ZEROS);
        zeros -= take;
        feed(ZEROS, take, zeros == 0 ? Z_FINISH : Z_NO_FLUSH);
    } while (zeros > 0);
    deflateEnd(&stream);
    return out;
}

// The 132-byte header of an ICC profile of `length` bytes: an RGB display profile without tags.
std::string ProfileHeader(uint32_t length)
{
    std::string header;
    PutBigEndian(header, length, 4);
    header += std::string(4, '\0');
    PutBigEndian(header, 0x02100000, 4);
    header += "mntrRGB XYZ ";
    header += std::string(12, '\0');
    header += "acsp";
    header += std::string(24, '\0');
    PutBigEndian(header, 0, 4);
    for (uint32_t d50 : {0x0000F6D6u, 0x00010000u, 0x0000D32Du})
        PutBigEndian(header, d50, 4);
    header.resize(128, '\0');
    PutBigEndian(header, 0, 4);
    return header;
}

// A profile of the common sRGB profile's size: its header, then patterned bytes. (libpng takes a
// profile chunk of fewer than 92 bytes for a damaged one.)
std::string SrgbSizedProfile()
{
    const uint32_t size = 3144;
    std::string profile = ProfileHeader(size);
    for (uint32_t at = static_cast<uint32_t>(profile.size()); at < size; ++at)
        profile += static_cast<char>(at * 7 ^ at >> 3);
    return profile;
}

PNGCHUNK Text(const std::string& keyword, const std::string& text) { return {"tEXt", keyword + '\0' + text}; }
// A zTXt or iCCP chunk; an iTXt one without a language tag or a translated keyword.
PNGCHUNK Compressed(const char* type, const std::string& keyword, const std::string& deflated)
{
    const bool international = std::string(type) == "iTXt";
    return {type, keyword + (international ? std::string("\0\1\0\0\0", 5) : std::string(2, '\0')) + deflated};
}

// A 16 x 8 PNG with `extra` chunks between its header and its pixels, `copies` times over.
std::string PngWith(const std::vector<PNGCHUNK>& extra, int copies = 1)
{
    const std::vector<PNGCHUNK> image = imagefiles::ReadChunks(imagefiles::PngOf(16, 8));
    std::vector<PNGCHUNK> chunks(image.begin(), image.begin() + 1);
    for (int copy = 0; copy < copies; ++copy)
        chunks.insert(chunks.end(), extra.begin(), extra.end());
    chunks.insert(chunks.end(), image.begin() + 1, image.end());
    return imagefiles::WriteChunks(chunks);
}

std::vector<HOSTILEIMAGE> PngCases()
{
    // Thousands of chunks of a kilobyte each that inflate to a megabyte each.
    const std::string megabyte = Deflated("", 1 << 20);
    const std::string textBomb = PngWith({Compressed("zTXt", "Comment", megabyte)}, 3000);
    const std::string internationalBomb = PngWith({Compressed("iTXt", "XML:com.adobe.xmp", megabyte)}, 3000);
    // One colour profile that says, and inflates to, 288 MB.
    const uint32_t profileBytes = 288u << 20;
    const std::string profileBomb =
        PngWith({Compressed("iCCP", "ICC", Deflated(ProfileHeader(profileBytes), profileBytes - 132))});
    const std::string sound = PngWith({Text("Title", "VARNOK skin"), Compressed("zTXt", "Comment", Deflated("skin", 0)),
                                       Compressed("iTXt", "Author", Deflated("VARNOK", 0)),
                                       Compressed("iCCP", "sRGB", Deflated(SrgbSizedProfile(), 0))});
    return {
        {"png_ztxt_bomb", textBomb, REFUSED},
        {"png_itxt_bomb", internationalBomb, REFUSED},
        {"png_iccp_bomb", profileBomb, REFUSED},
        {"png_ztxt_bomb_behind_wrapper", Prefixed("lt\0\0", textBomb), REFUSED},
        {"png_itxt_bomb_in_icon", imagefiles::IconOf(internationalBomb), REFUSED},
        {"png_iccp_bomb_in_icon", imagefiles::IconOf(profileBomb), REFUSED},
        {"png_70000_chunks", PngWith({Text("a", "")}, 70000), REFUSED},
        {"png_chunk_beyond_the_file", PngWith({Text("Title", "VARNOK")}).substr(0, 70), REFUSED},
        {"png_with_text_and_profile", sound, LOADS},
        {"png_with_text_and_profile_behind_wrapper", Prefixed("lt\0\0", sound), LOADS},
        {"png_with_text_and_profile_in_icon", imagefiles::IconOf(sound), LOADS},
    };
}

}  // namespace

std::vector<HOSTILEIMAGE> RasterCases()
{
    return PngCases();
}

}  // namespace hostileimages

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

void PutLittleEndian(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
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

// Entropy-coded bits, most significant first, with a zero stuffed after every 0xFF byte and the
// last byte padded with ones.
class ENTROPYBITS {
public:
    void Put(uint32_t code, int length)
    {
        for (int bit = length - 1; bit >= 0; --bit) {
            byte = static_cast<unsigned char>(byte << 1 | (code >> bit & 1));
            if (++used == 8)
                Flush();
        }
    }
    std::string Finish()
    {
        while (used != 0)
            Put(1, 1);
        return bytes;
    }

private:
    void Flush()
    {
        bytes += static_cast<char>(byte);
        if (byte == 0xFF)
            bytes += '\0';
        byte = 0;
        used = 0;
    }
    std::string bytes;
    unsigned char byte = 0;
    int used = 0;
};

std::string JpegSegment(int marker, const std::string& body)
{
    std::string segment = {'\xFF', static_cast<char>(marker)};
    PutBigEndian(segment, static_cast<uint32_t>(body.size() + 2), 2);
    return segment + body;
}

// One band of AC coefficients of one component; `high` and `low` are the successive approximation
// bits.
struct ACSCAN {
    int component;
    int start;
    int end;
    int high;
    int low;
};

// A progressive JPEG of `components` (1 or 3) components at full resolution whose coefficients are
// all zero (a grey picture): one DC scan of all components, then the AC scans, each coded as runs of
// empty bands. Each scan costs a few bytes and the decoder a pass over every block of its component.
std::string ProgressiveJpeg(int width, int height, int components, const std::vector<ACSCAN>& scans)
{
    const uint32_t blocks = static_cast<uint32_t>((width + 7) / 8) * static_cast<uint32_t>((height + 7) / 8);
    std::string out = "\xFF\xD8" + JpegSegment(0xDB, std::string(1, '\0') + std::string(64, '\1'));
    std::string frame(1, '\x08');
    PutBigEndian(frame, static_cast<uint32_t>(height), 2);
    PutBigEndian(frame, static_cast<uint32_t>(width), 2);
    frame += static_cast<char>(components);
    for (int c = 1; c <= components; ++c)
        frame += {static_cast<char>(c), '\x11', '\0'};
    out += JpegSegment(0xC2, frame);
    // DC table 0: the one difference category 0, coded "0". AC table 0: the end-of-band runs EOB0 to
    // EOB14, four bits each, so that run r is coded as r.
    std::string tables(1, '\x00');
    tables += '\x01' + std::string(15, '\0') + '\0';
    tables += '\x10';
    tables += std::string(3, '\0') + '\x0F' + std::string(12, '\0');
    for (int run = 0; run <= 14; ++run)
        tables += static_cast<char>(run << 4);
    out += JpegSegment(0xC4, tables);

    std::string dcScan(1, static_cast<char>(components));
    for (int c = 1; c <= components; ++c)
        dcScan += {static_cast<char>(c), '\0'};
    out += JpegSegment(0xDA, dcScan + std::string(3, '\0'));
    ENTROPYBITS dc;
    for (uint32_t block = 0; block < blocks * static_cast<uint32_t>(components); ++block)
        dc.Put(0, 1);
    out += dc.Finish();

    ENTROPYBITS emptyBands;
    for (uint32_t left = blocks; left > 0;) {
        const uint32_t run = left < 32767 ? left : 32767;
        int bits = 0;
        while (run >> (bits + 1))
            ++bits;
        emptyBands.Put(static_cast<uint32_t>(bits), 4);
        emptyBands.Put(run - (1u << bits), bits);
        left -= run;
    }
    const std::string bands = emptyBands.Finish();
    for (const ACSCAN& scan : scans) {
        const std::string header = {'\x01', static_cast<char>(scan.component), '\0', static_cast<char>(scan.start),
                                    static_cast<char>(scan.end), static_cast<char>(scan.high << 4 | scan.low)};
        out += JpegSegment(0xDA, header) + bands;
    }
    return out + "\xFF\xD9";
}

// The ten scans of a usual progression: DC, then per component two bands of first bits and one pass
// of refinement.
std::string SoundProgressiveJpeg()
{
    std::vector<ACSCAN> scans;
    for (int c = 1; c <= 3; ++c) {
        scans.push_back({c, 1, 5, 0, 1});
        scans.push_back({c, 6, 63, 0, 1});
        scans.push_back({c, 1, 63, 1, 0});
    }
    return ProgressiveJpeg(48, 32, 3, scans);
}

// LZW codes (two-bit minimum code size) of `count` pixels of colour 0: each code one pixel longer
// than the last, the table cleared when it is full. Split into sub-blocks.
std::string LzwZeros(uint64_t count)
{
    const uint32_t CLEAR = 4;
    const uint32_t END = 5;
    std::string codes;
    uint32_t accumulator = 0;
    int bits = 0;
    auto put = [&](uint32_t code, int size) {
        accumulator |= code << bits;
        for (bits += size; bits >= 8; bits -= 8, accumulator >>= 8)
            codes += static_cast<char>(accumulator & 0xFF);
    };
    int size = 3;
    uint32_t last = END;
    uint64_t longest = 1;
    put(CLEAR, size);
    while (count > 0) {
        const uint64_t run = count < longest ? count : longest;
        put(run == 1 ? 0 : END + static_cast<uint32_t>(run) - 1, size);
        count -= run;
        longest = run + 1;
        if (++last >= (1u << size))
            ++size;
        if (last == 4095) {
            put(CLEAR, size);
            size = 3;
            last = END;
            longest = 1;
        }
    }
    put(END, size);
    if (bits > 0)
        codes += static_cast<char>(accumulator & 0xFF);
    std::string blocks = "\x02";
    for (size_t at = 0; at < codes.size(); at += 255) {
        const size_t length = codes.size() - at < 255 ? codes.size() - at : 255;
        blocks += static_cast<char>(length) + codes.substr(at, length);
    }
    return blocks + '\0';
}

// An animated GIF: `frames` frames of `width` x `height` pixels of colour 0 on a four-colour screen
// of that size, each after a graphic control extension unless `bare`, looping for ever.
std::string GifFrames(int width, int height, int frames, bool bare = false)
{
    std::string out = "GIF89a";
    PutLittleEndian(out, static_cast<uint32_t>(width), 2);
    PutLittleEndian(out, static_cast<uint32_t>(height), 2);
    out += std::string("\x81\0\0", 3) + std::string("\x20\x40\x80\xFF\xFF\xFF\0\0\0\xC0\x20\x20", 12);
    out += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19);
    std::string frame = bare ? "," : std::string("\x21\xF9\x04\x04\x0A\0\0\0,", 9);
    PutLittleEndian(frame, 0, 4);
    PutLittleEndian(frame, static_cast<uint32_t>(width), 2);
    PutLittleEndian(frame, static_cast<uint32_t>(height), 2);
    frame += '\0' + LzwZeros(static_cast<uint64_t>(width) * static_cast<uint32_t>(height));
    for (int f = 0; f < frames; ++f)
        out += frame;
    return out + ";";
}

// A GIF of one small frame after `count` comment extensions of `bytes` bytes each, in sub-blocks of
// `subBlock` bytes.
std::string GifWithComments(int count, uint64_t bytes, int subBlock)
{
    std::string comment = "\x21\xFE";
    for (uint64_t left = bytes; left > 0;) {
        const uint64_t length = left < static_cast<uint64_t>(subBlock) ? left : static_cast<uint64_t>(subBlock);
        comment += static_cast<char>(length) + std::string(length, 'c');
        left -= length;
    }
    comment += '\0';
    std::string gif = GifFrames(16, 8, 1);
    gif.pop_back();
    for (int c = 0; c < count; ++c)
        gif += comment;
    return gif + ";";
}

// An OLE stream header: "lt\0\0" and any length.
std::string StreamHeader(uint32_t length)
{
    std::string header("lt\0\0", 4);
    PutLittleEndian(header, length, 4);
    return header;
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

std::vector<HOSTILEIMAGE> JpegAndGifCases()
{
    const std::string manyScans = ProgressiveJpeg(4096, 4096, 1, std::vector<ACSCAN>(2000, {1, 1, 63, 0, 0}));
    return {
        {"jpeg_2000_scans", manyScans, REFUSED},
        {"jpeg_2000_scans_behind_wrapper", Prefixed("lt\0\0", manyScans), REFUSED},
        {"jpeg_10_scans", SoundProgressiveJpeg(), LOADS},
        // Drawable, but its coefficients and its pixels together take 550 MB.
        {"jpeg_progressive_8000_square", ProgressiveJpeg(8000, 8000, 1, {{1, 1, 63, 0, 0}}), REFUSED},
        // 20 frames of 16 MB each, every one drawable alone.
        {"gif_20_frames_of_4096_square", GifFrames(4096, 4096, 20), REFUSED},
        {"gif_100000_frames_of_one_pixel", GifFrames(1, 1, 100000, true), REFUSED},
        {"gif_comment_of_8MB", GifWithComments(1, 8 << 20, 255), REFUSED},
        {"gif_comment_of_a_million_sub_blocks", GifWithComments(1, 1000000, 1), REFUSED},
        {"gif_100000_comments", GifWithComments(100000, 0, 1), REFUSED},
        {"gif_3_frames", GifFrames(32, 16, 3), LOADS},
        {"gif_with_comments", GifWithComments(3, 1000, 255), LOADS},
    };
}

std::vector<HOSTILEIMAGE> WrapperCases()
{
    const std::string jpeg = imagefiles::Jpeg16x8();
    const uint32_t size = static_cast<uint32_t>(jpeg.size());
    return {
        // The loader adds the length to the 8 bytes read so far in 32 bits: 0 and a 4 GB buffer.
        {"wrapper_length_overflows", StreamHeader(0xFFFFFFF8u) + jpeg, REFUSED},
        {"wrapper_second_length_overflows", StreamHeader(size + 8) + StreamHeader(0xFFFFFFF0u) + jpeg, REFUSED},
        {"wrapper_past_the_file", StreamHeader(size + 1) + jpeg, REFUSED},
        {"jpeg_behind_wrapper", Prefixed("lt\0\0", jpeg), LOADS},
        {"jpeg_behind_two_wrappers", StreamHeader(size + 8) + Prefixed("lt\0\0", jpeg), LOADS},
    };
}

}  // namespace

std::vector<HOSTILEIMAGE> RasterCases()
{
    std::vector<HOSTILEIMAGE> cases = PngCases();
    for (auto group : {JpegAndGifCases, WrapperCases})
        for (HOSTILEIMAGE& image : group())
            cases.push_back(std::move(image));
    return cases;
}

}  // namespace hostileimages

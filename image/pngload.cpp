#include "image/pngload.h"

#include <png.h>
#include <cstdio>
#include <cstring>

#include "image/imagelimits.h"

namespace {

// The loader was written against libpng 1.6.14. libpng accepts the string from any 1.6
// release: it compares versions only up to the second dot.
const char PNG_BUILT_VERSION[] = "1.6.14";
const double SCREEN_GAMMA = 2.2;
// Files without a gAMA chunk are taken to be encoded for a 2.2 display, which leaves them
// uncorrected.
const double DEFAULT_FILE_GAMMA = 0.45455;
// Ancillary chunks that change nothing the panel draws: texts, suggested palettes and Exif data.
// libpng skips them unread; left to itself it would keep them, inflating compressed texts.
const png_byte IGNORED_CHUNKS[] = "tEXt\0zTXt\0iTXt\0sPLT\0eXIf";
// What libpng may allocate for one chunk it reads (a colour profile is the largest left to it) and
// how many chunks it may keep: past these it warns and skips the chunk. The file's check has already
// bounded both; these stand should that check ever miss a chunk.
const png_alloc_size_t CHUNK_BYTES_LIMIT = 4u << 20;
const png_uint_32 CHUNK_COUNT_LIMIT = 128;

// Everything the error return has to free. It lives in the caller's frame, outside the
// function that calls setjmp, so its fields are current when libpng jumps back.
struct PNGREAD {
    FILE* file;
    png_structp png;
    png_infop info;
    png_bytepp rows;
    png_uint_32 rowsMade;
    png_uint_32 width;
    png_uint_32 height;
    size_t rowBytes;
    int bitsPerPixel;
};

void FreeRows(PNGREAD* read)
{
    if (!read->rows)
        return;
    for (png_uint_32 i = 0; i < read->rowsMade; ++i)
        png_free(read->png, read->rows[i]);
    png_free(read->png, read->rows);
    read->rows = nullptr;
    read->rowsMade = 0;
}

// Decodes the whole image into read->rows as 8-bit BGR or BGRA. libpng leaves this function
// by longjmp on any error, so it holds no object with a destructor and keeps no state in
// its own locals that is needed after the jump.
bool DecodeRows(PNGREAD* read)
{
    if (setjmp(png_jmpbuf(read->png)))
        return false;

    png_structp png = read->png;
    png_infop info = read->info;
    png_init_io(png, read->file);
    // The same limits as every other loader; libpng then refuses a larger image in its header.
    png_set_user_limits(png, IMAGE_SIDE_LIMIT, IMAGE_SIDE_LIMIT);
    png_set_chunk_malloc_max(png, CHUNK_BYTES_LIMIT);
    png_set_chunk_cache_max(png, CHUNK_COUNT_LIMIT);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, IGNORED_CHUNKS, sizeof IGNORED_CHUNKS / 5);
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);

    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_expand(png);
    png_set_bgr(png);
    png_set_packing(png);
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma))
        png_set_gamma(png, SCREEN_GAMMA, fileGamma);
    else
        png_set_gamma(png, SCREEN_GAMMA, DEFAULT_FILE_GAMMA);
    // Asked for explicitly so that png_read_update_info plans all seven passes of an
    // interlaced image; png_read_image would otherwise turn it on late, with a warning.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    read->width = width;
    read->height = height;
    read->rowBytes = png_get_rowbytes(png, info);
    read->bitsPerPixel = png_get_channels(png, info) * depth;
    if (read->bitsPerPixel != 24 && read->bitsPerPixel != 32)
        png_error(png, "unexpected pixel layout after the transformations");
    if (!IsDrawableImageSize(width, height) || read->rowBytes == 0 || read->rowBytes > static_cast<size_t>(width) * 4)
        png_error(png, "image too large for a bitmap");

    read->rows = static_cast<png_bytepp>(png_malloc(png, height * sizeof(png_bytep)));
    for (png_uint_32 i = 0; i < height; ++i) {
        read->rows[i] = static_cast<png_bytep>(png_malloc(png, read->rowBytes));
        read->rowsMade = i + 1;
    }
    png_read_image(png, read->rows);
    png_read_end(png, nullptr);
    return true;
}

// Copies the decoded rows into a bottom-up DIB section, upright.
HBITMAP MakeDibSection(const PNGREAD& read)
{
    BITMAPINFO header;
    memset(&header, 0, sizeof header);
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = static_cast<LONG>(read.width);
    header.bmiHeader.biHeight = static_cast<LONG>(read.height);
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = static_cast<WORD>(read.bitsPerPixel);
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits)
        return dib;
    size_t stride = ((static_cast<size_t>(read.bitsPerPixel) * read.width + 31) / 32) * 4;
    unsigned char* target = static_cast<unsigned char*>(bits);
    for (png_uint_32 r = 0; r < read.height; ++r)
        memcpy(target + r * stride, read.rows[read.height - 1 - r], read.rowBytes);
    return dib;
}

}  // namespace

HBITMAP LoadPngBitmap(const char* path)
{
    PNGREAD read;
    memset(&read, 0, sizeof read);
    read.file = fopen(path, "rb");
    if (!read.file)
        return nullptr;
    read.png = png_create_read_struct(PNG_BUILT_VERSION, nullptr, nullptr, nullptr);
    if (read.png)
        read.info = png_create_info_struct(read.png);
    HBITMAP dib = nullptr;
    if (read.info && DecodeRows(&read))
        dib = MakeDibSection(read);
    // Rows made before an error are freed too: libpng does not know about them.
    FreeRows(&read);
    png_destroy_read_struct(&read.png, &read.info, nullptr);
    fclose(read.file);
    return dib;
}

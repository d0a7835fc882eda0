#include "render/imagecheck.h"

#include "render/filebytes.h"
#include "render/imageheaders.h"

namespace {

// The picture loader length prefix: the stream format that OLE pictures are saved in begins with
// eight bytes, the second four the length of the image behind them. The loader accepts any such
// prefix before an image it knows, so an image behind one is checked like one at the start.
const uint64_t PICTURE_PREFIX = 8;

bool IsSound(const IMAGEVIEW& image, IMAGE_FORMAT format)
{
    switch (format) {
    case FORMAT_BITMAP:
        return IsBitmapFileSound(image);
    case FORMAT_PNG:
        return IsPngSound(image);
    case FORMAT_JPEG:
        return IsJpegSound(image);
    case FORMAT_GIF:
        return IsGifSound(image);
    case FORMAT_UNKNOWN:
        break;
    }
    return true;
}

bool IsPrefixedImageSound(FILEBYTES& file)
{
    unsigned char prefix[PICTURE_PREFIX];
    if (!file.Read(0, prefix, sizeof prefix))
        return true;
    const uint32_t length = LittleEndian32(prefix + 4);
    if (length == 0 || length > file.Size() - PICTURE_PREFIX)
        return true;
    const IMAGEVIEW inner = {&file, PICTURE_PREFIX, length};
    return IsSound(inner, FormatAt(inner));
}

}  // namespace

IMAGE_FILE_KIND CheckImageFile(const char* path)
{
    // A file that cannot be read here is not handed to a loader that might read it otherwise.
    FILEBYTES file(path);
    if (!file.IsOpen())
        return IMAGE_REFUSED;
    const IMAGEVIEW whole = {&file, 0, file.Size()};
    const IMAGE_FORMAT format = FormatAt(whole);
    if (!IsSound(whole, format))
        return IMAGE_REFUSED;
    switch (format) {
    case FORMAT_BITMAP:
        return IMAGE_BITMAP_FILE;
    case FORMAT_PNG:
        return IMAGE_PNG;
    case FORMAT_UNKNOWN:
        return IsPrefixedImageSound(file) ? IMAGE_PICTURE : IMAGE_REFUSED;
    case FORMAT_JPEG:
    case FORMAT_GIF:
        break;
    }
    return IMAGE_PICTURE;
}

#include "image/pictureload.h"

#include <ole2.h>
#include <olectl.h>

#include "base/textpolicy.h"
#include "image/imagelimits.h"
#include "image/winimg.h"

namespace {

const int HIMETRIC_PER_INCH = 2540;

// Picture handles are 32-bit values; on 64-bit Windows a handle is widened by sign
// extension.
HGDIOBJ HandleFromPicture(OLE_HANDLE handle)
{
    return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
}

// The size of a picture's HIMETRIC extent at the screen's resolution.
bool PixelSize(int64_t extentX, int64_t extentY, int& width, int& height)
{
    if (extentX <= 0 || extentY <= 0 || extentX > INT32_MAX || extentY > INT32_MAX)
        return false;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    width = MulDiv(static_cast<int>(extentX), GetDeviceCaps(screen, LOGPIXELSX), HIMETRIC_PER_INCH);
    height = MulDiv(static_cast<int>(extentY), GetDeviceCaps(screen, LOGPIXELSY), HIMETRIC_PER_INCH);
    ReleaseDC(nullptr, screen);
    return width > 0 && height > 0;
}

// Metafiles and icons have no bitmap of their own: they are drawn at their natural size onto
// white, into a 24-bit DIB section that then belongs to the caller like any decoded image.
HBITMAP RenderPicture(IPicture* picture, bool metafile)
{
    OLE_XSIZE_HIMETRIC extentX = 0;
    OLE_YSIZE_HIMETRIC extentY = 0;
    int width = 0;
    int height = 0;
    if (FAILED(picture->get_Width(&extentX)) || FAILED(picture->get_Height(&extentY)))
        return nullptr;
    // A metafile claims any frame it likes; its records were checked against this size.
    const bool sized = metafile ? MetafilePixelSize(extentX, extentY, width, height)
                                : PixelSize(extentX, extentY, width, height) &&
                                      IsDrawableImageSize(static_cast<uint64_t>(width), static_cast<uint64_t>(height));
    if (!sized)
        return nullptr;

    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    bool drawn = false;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        if (old) {
            PatBlt(dc, 0, 0, width, height, WHITENESS);
            // HIMETRIC runs upwards: the source starts at the top edge with a negative height.
            drawn = SUCCEEDED(picture->Render(dc, 0, 0, width, height, 0, extentY, extentX, -extentY, nullptr));
            SelectObject(dc, old);
        }
        DeleteDC(dc);
    }
    if (!drawn) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HBITMAP PictureBitmap(WINIMG& image)
{
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(image.picture->get_Type(&type)) || FAILED(image.picture->get_Handle(&handle)) || !handle)
        return nullptr;
    if (type == PICTYPE_BITMAP)
        return static_cast<HBITMAP>(HandleFromPicture(handle));
    // The rendered bitmap is the image's own, so the picture is not kept: WINIMG frees the
    // bitmap of an image without a picture itself.
    HBITMAP rendered = RenderPicture(image.picture, type == PICTYPE_METAFILE || type == PICTYPE_ENHMETAFILE);
    image.picture->Release();
    image.picture = nullptr;
    return rendered;
}

}  // namespace

bool MetafilePixelSize(int64_t extentX, int64_t extentY, int& width, int& height)
{
    return PixelSize(extentX, extentY, width, height) && width <= METAFILE_SIDE_LIMIT && height <= METAFILE_SIDE_LIMIT;
}

HBITMAP LoadPictureBitmap(WINIMG& image, const char* path)
{
    // The wide-only loader must open the same file the ANSI file functions (and the checks before
    // it) opened by this path.
    wchar_t wide[PATH_CAPACITY];
    if (!WidenPath(path, wide))
        return nullptr;
    void* object = nullptr;
    if (FAILED(OleLoadPicturePath(wide, nullptr, 0, 0, IID_IPicture, &object)) || !object)
        return nullptr;
    image.picture = static_cast<IPicture*>(object);
    return PictureBitmap(image);
}

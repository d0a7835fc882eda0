#include "render/winimg.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "render/pictureload.h"
#include "render/pngload.h"

namespace {

enum IMAGE_KIND { IMAGE_OTHER, IMAGE_BITMAP_FILE, IMAGE_PNG };

// The kind is read from the first bytes, never from the name: skins are often renamed.
// A file that cannot be opened or is too short is left to the picture loader.
IMAGE_KIND ProbeImageKind(const char* path)
{
    // Shared reading: a viewer or editor that has the skin open must not make it unloadable.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return IMAGE_OTHER;
    unsigned char head[4] = {};
    DWORD got = 0;
    BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    if (!read)
        return IMAGE_OTHER;
    if (got >= 2 && head[0] == 'B' && head[1] == 'M')
        return IMAGE_BITMAP_FILE;
    if (got == 4 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G')
        return IMAGE_PNG;
    return IMAGE_OTHER;
}

}  // namespace

WINIMG::WINIMG() : picture(nullptr) {}

WINIMG::~WINIMG() { Close(); }

void WINIMG::Close()
{
    if (hdc) {
        DeleteDC(hdc);
        hdc = nullptr;
    }
    if (picture) {
        picture->Release();
        picture = nullptr;
        hbm = nullptr;
    } else if (hbm) {
        DeleteObject(hbm);
        hbm = nullptr;
    }
    memset(&bm, 0, sizeof bm);
}

int WINIMG::Load(const char* path)
{
    Close();
    hdc = CreateCompatibleDC(nullptr);
    if (!hdc || !path) {
        Close();
        return 0;
    }
    switch (ProbeImageKind(path)) {
    case IMAGE_BITMAP_FILE:
        hbm = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_VGACOLOR));
        break;
    case IMAGE_PNG:
        hbm = LoadPngBitmap(path);
        break;
    case IMAGE_OTHER:
        hbm = LoadPictureBitmap(*this, path);
        break;
    }
    // A bitmap that cannot be selected would draw as nothing: that is no loaded image.
    if (!hbm || !SelectObject(hdc, hbm) || !GetObjectA(hbm, sizeof bm, &bm)) {
        // A failed load leaves nothing behind, not even the picture of a half-made image.
        Close();
        return 0;
    }
    return 1;
}

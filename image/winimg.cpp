#include "image/winimg.h"

#include <ole2.h>
#include <olectl.h>
#include <cstring>

#include "image/imagecheck.h"
#include "image/pictureload.h"
#include "image/pngload.h"

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
    switch (CheckImageFile(path)) {
    case IMAGE_REFUSED:
        break;
    case IMAGE_BITMAP_FILE:
        hbm = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_VGACOLOR));
        break;
    case IMAGE_PNG:
        hbm = LoadPngBitmap(path);
        break;
    case IMAGE_PICTURE:
        hbm = LoadPictureBitmap(*this, path);
        break;
    }
    // A refused file, and a bitmap that cannot be selected and would draw as nothing, are no
    // loaded image.
    if (!hbm || !SelectObject(hdc, hbm) || !GetObjectA(hbm, sizeof bm, &bm)) {
        // A failed load leaves nothing behind, not even the picture of a half-made image.
        Close();
        return 0;
    }
    return 1;
}

#pragma once

// The plain way of making a mask region: read every pixel with GetPixel and cut each black one
// out with its own CombineRgn. Far too slow for the program, kept as the yardstick the fast
// build must match exactly and beat. Shared by the shape tests and the benchmark.

#include <windows.h>

#include "base/scopeguards.h"

namespace reference {

// The mask stretched over a work surface of the panel's size, made exactly as the program makes
// it: the bitmap loaded in its own size, a surface compatible with the screen, BLACKONWHITE,
// brush origin (0, 0), StretchBlt with SRCCOPY.
class STRETCHEDMASK {
public:
    STRETCHEDMASK(const RECT& rect, const char* maskPath)
        : width_(rect.right - rect.left), height_(rect.bottom - rect.top)
    {
        HDC maskDc = CreateCompatibleDC(nullptr);
        DELETEDCGUARD deleteMaskDc(maskDc);
        HBITMAP mask = static_cast<HBITMAP>(
            LoadImageA(nullptr, maskPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_VGACOLOR));
        DELETEOBJECTGUARD deleteMask(mask);
        if (!maskDc || !mask)
            return;
        SELECTIONGUARD selectMask(maskDc, mask);
        BITMAP maskInfo = {};
        if (!GetObjectA(mask, sizeof maskInfo, &maskInfo))
            return;
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
        ReleaseDC(nullptr, screen);
        if (!dc_ || !bitmap_)
            return;
        previous_ = SelectObject(dc_, bitmap_);
        SetStretchBltMode(dc_, BLACKONWHITE);
        SetBrushOrgEx(dc_, 0, 0, nullptr);
        StretchBlt(dc_, 0, 0, width_, height_, maskDc, 0, 0, maskInfo.bmWidth, maskInfo.bmHeight, SRCCOPY);
        ready_ = true;
    }
    virtual ~STRETCHEDMASK()
    {
        if (previous_)
            SelectObject(dc_, previous_);
        if (dc_)
            DeleteDC(dc_);
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    STRETCHEDMASK(const STRETCHEDMASK&) = delete;
    STRETCHEDMASK& operator=(const STRETCHEDMASK&) = delete;

    bool Ready() const { return ready_; }
    HDC Surface() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    bool ready_ = false;
};

// Cuts the exactly black pixels of rows [top, bottom) out of `region`, one pixel at a time.
inline void SubtractBlackPixels(HRGN region, HDC surface, int width, int top, int bottom)
{
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < width; ++x) {
            if (GetPixel(surface, x, y) != RGB(0, 0, 0))
                continue;
            HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
            CombineRgn(region, region, pixel, RGN_DIFF);
            DeleteObject(pixel);
        }
    }
}

inline HRGN RegionFromSurface(const STRETCHEDMASK& mask)
{
    HRGN region = CreateRectRgn(0, 0, mask.Width() + 1, mask.Height() + 1);
    SubtractBlackPixels(region, mask.Surface(), mask.Width(), 0, mask.Height());
    return region;
}

// Null when the mask cannot be loaded or the surface made.
inline HRGN MaskRegionFromFile(const RECT& rect, const char* maskPath)
{
    STRETCHEDMASK mask(rect, maskPath);
    return mask.Ready() ? RegionFromSurface(mask) : nullptr;
}

}  // namespace reference

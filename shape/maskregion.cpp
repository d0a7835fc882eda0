#include "shape/maskregion.h"

#include <cstddef>

#include "base/scopeguards.h"
#include "image/imagecheck.h"
#include "shape/maskruns.h"
#include "shape/regioncache.h"

namespace {

// Reads the work surface in one block, top row first, 32 bits per pixel. The bitmap must not be
// selected into a DC meanwhile.
bool ReadSurfacePixels(HDC dc, HBITMAP bitmap, int width, int height, DWORD* pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS) == height;
}

}  // namespace

HRGN MaskRegionFromFile(const RECT& rect, const char* maskPath)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || !maskPath)
        return nullptr;
    const size_t pixelBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(DWORD);

    HDC maskDc = CreateCompatibleDC(nullptr);
    if (!maskDc)
        return nullptr;
    DELETEDCGUARD deleteMaskDc(maskDc);
    // LoadImageA converts the file to the display's format; other image kinds than Windows
    // bitmaps, and bitmaps whose header fails the check, are refused here.
    if (CheckImageFile(maskPath) != IMAGE_BITMAP_FILE)
        return nullptr;
    HBITMAP mask = static_cast<HBITMAP>(
        LoadImageA(nullptr, maskPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_VGACOLOR));
    if (!mask)
        return nullptr;
    DELETEOBJECTGUARD deleteMask(mask);
    SELECTIONGUARD selectMask(maskDc, mask);
    BITMAP maskInfo = {};
    if (!selectMask.Selected() || !GetObjectA(mask, sizeof maskInfo, &maskInfo))
        return nullptr;

    HDC workDc = nullptr;
    HBITMAP work = nullptr;
    {
        HDC screen = GetDC(nullptr);
        if (!screen)
            return nullptr;
        RELEASEDCGUARD releaseScreen(nullptr, screen);
        workDc = CreateCompatibleDC(screen);
        work = CreateCompatibleBitmap(screen, width, height);
    }
    DELETEDCGUARD deleteWorkDc(workDc);
    DELETEOBJECTGUARD deleteWork(work);
    if (!workDc || !work)
        return nullptr;

    DWORD* pixels = static_cast<DWORD*>(HeapAlloc(GetProcessHeap(), 0, pixelBytes));
    if (!pixels)
        return nullptr;
    HEAPFREEGUARD freePixels(pixels);
    {
        SELECTIONGUARD selectWork(workDc, work);
        if (!selectWork.Selected())
            return nullptr;
        // BLACKONWHITE keeps black when the mask is shrunk: a thin black line must not vanish.
        SetStretchBltMode(workDc, BLACKONWHITE);
        SetBrushOrgEx(workDc, 0, 0, nullptr);
        // A failed stretch would leave the fresh surface's undefined (often black) pixels to be
        // read as the mask.
        if (!StretchBlt(workDc, 0, 0, width, height, maskDc, 0, 0, maskInfo.bmWidth, maskInfo.bmHeight, SRCCOPY))
            return nullptr;
    }
    if (!ReadSurfacePixels(workDc, work, width, height, pixels))
        return nullptr;
    return RegionFromMaskPixels(pixels, width, height, MaskRegionRectLimit(height));
}

int BuildMaskRegion(HWND window, const RECT& rect, const char* maskPath, const char* cachePath)
{
    HRGN region = MaskRegionFromFile(rect, maskPath);
    if (!region)
        return 0;
    // Once taken, the region belongs to the window, so its data for the cache is copied before.
    REGIONDATA data(region);
    int result = SetWindowRgn(window, region, TRUE);
    if (!result) {
        DeleteObject(region);
        return 0;
    }
    // Written only once the window has taken the region: a cache of a region the system could not
    // apply would fail again at every later start.
    data.Save(cachePath);
    return result;
}

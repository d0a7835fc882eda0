#include "shape/maskruns.h"

#include "base/scopeguards.h"
#include "shape/rectregion.h"

namespace {

bool IsBlack(DWORD pixel) { return (pixel & 0x00FFFFFF) == 0; }

// Row `height` is the extra row past the bottom edge: nothing in it is ever cut.
class MASKROWS {
public:
    MASKROWS(const DWORD* pixels, int width, int height) : pixels_(pixels), width_(width), height_(height) {}
    virtual ~MASKROWS() = default;

    bool Same(int a, int b) const
    {
        if (a == height_ || b == height_)
            return !HasBlack(a == height_ ? b : a);
        const DWORD* rowA = Row(a);
        const DWORD* rowB = Row(b);
        for (int x = 0; x < width_; ++x)
            if (IsBlack(rowA[x]) != IsBlack(rowB[x]))
                return false;
        return true;
    }

    // The runs of row `y` stretched over the band [top, bottom); the extra column joins the
    // last run when that run reaches the right edge.
    size_t EmitBand(int y, int top, int bottom, RECT* out) const
    {
        size_t count = 0;
        auto emit = [&](int left, int right) {
            if (out)
                out[count] = RECT{left, top, right, bottom};
            ++count;
        };
        if (y == height_) {
            emit(0, width_ + 1);
            return count;
        }
        const DWORD* row = Row(y);
        int x = 0;
        for (;;) {
            while (x < width_ && IsBlack(row[x]))
                ++x;
            if (x == width_) {
                emit(width_, width_ + 1);
                return count;
            }
            int left = x;
            while (x < width_ && !IsBlack(row[x]))
                ++x;
            if (x == width_) {
                emit(left, width_ + 1);
                return count;
            }
            emit(left, x);
        }
    }

private:
    const DWORD* Row(int y) const { return pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width_); }

    bool HasBlack(int y) const
    {
        const DWORD* row = Row(y);
        for (int x = 0; x < width_; ++x)
            if (IsBlack(row[x]))
                return true;
        return false;
    }

    const DWORD* pixels_;
    int width_;
    int height_;
};

}  // namespace

size_t MaskRegionRects(const DWORD* pixels, int width, int height, RECT* out)
{
    if (width < 0 || height < 0 || (!pixels && width > 0 && height > 0))
        return 0;
    MASKROWS rows(pixels, width, height);
    size_t count = 0;
    int top = 0;
    for (int y = 1; y <= height; ++y) {
        if (rows.Same(top, y))
            continue;
        count += rows.EmitBand(top, top, y, out ? out + count : nullptr);
        top = y;
    }
    count += rows.EmitBand(top, top, height + 1, out ? out + count : nullptr);
    return count;
}

HRGN RegionFromMaskPixels(const DWORD* pixels, int width, int height, size_t maxRects)
{
    if (width < 0 || height < 0)
        return nullptr;
    size_t count = MaskRegionRects(pixels, width, height, nullptr);
    if (count == 0 || count > maxRects || count > SIZE_MAX / sizeof(RECT))
        return nullptr;
    RECT* rects = static_cast<RECT*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(RECT)));
    if (!rects)
        return nullptr;
    HEAPFREEGUARD freeRects(rects);
    MaskRegionRects(pixels, width, height, rects);
    return RegionFromRects(rects, count);
}

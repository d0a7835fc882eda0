#include "shape/rectregion.h"

#include <cstring>

namespace {

// Some systems build a region from RGNDATA by adding one rectangle at a time, each addition
// costing as much as the region built so far (Wine does), and old ones refuse a few thousand
// rectangles in one call. So the rectangles go in as small pieces, and the pieces are joined
// pairwise like a binary counter: every join is between regions of about the same size, and each
// rectangle is copied only about log2(pieces) times. Small pieces keep the per-rectangle cost of
// the first step low; much smaller ones only add calls (16 measured best under Wine).
const size_t PIECE_RECTS = 16;
// A binary counter over at most 2^64 pieces never holds more regions than this.
const int MAX_PENDING = 64;

struct PIECEDATA {
    RGNDATAHEADER header;
    RECT rects[PIECE_RECTS];
};

HRGN RegionFromPiece(const RECT* rects, size_t count)
{
    PIECEDATA data;
    data.header.dwSize = sizeof(RGNDATAHEADER);
    data.header.iType = RDH_RECTANGLES;
    data.header.nCount = static_cast<DWORD>(count);
    data.header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    RECT bound = rects[0];
    for (size_t i = 1; i < count; ++i) {
        if (rects[i].left < bound.left)
            bound.left = rects[i].left;
        if (rects[i].top < bound.top)
            bound.top = rects[i].top;
        if (rects[i].right > bound.right)
            bound.right = rects[i].right;
        if (rects[i].bottom > bound.bottom)
            bound.bottom = rects[i].bottom;
    }
    data.header.rcBound = bound;
    memcpy(data.rects, rects, count * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + count * sizeof(RECT)),
                           reinterpret_cast<const RGNDATA*>(&data));
}

// Partial regions waiting to be joined, largest at the bottom.
class PENDINGREGIONS {
public:
    PENDINGREGIONS() = default;
    virtual ~PENDINGREGIONS()
    {
        for (int i = 0; i < depth_; ++i)
            DeleteObject(regions_[i]);
    }
    PENDINGREGIONS(const PENDINGREGIONS&) = delete;
    PENDINGREGIONS& operator=(const PENDINGREGIONS&) = delete;

    bool Push(HRGN region)
    {
        if (!region || depth_ == MAX_PENDING) {
            if (region)
                DeleteObject(region);
            return false;
        }
        regions_[depth_] = region;
        pieces_[depth_] = 1;
        ++depth_;
        while (depth_ >= 2 && pieces_[depth_ - 1] == pieces_[depth_ - 2]) {
            if (!JoinTop())
                return false;
        }
        return true;
    }

    // Joins everything into one region and hands it over.
    HRGN Finish()
    {
        while (depth_ >= 2) {
            if (!JoinTop())
                return nullptr;
        }
        if (depth_ == 0)
            return CreateRectRgn(0, 0, 0, 0);
        depth_ = 0;
        return regions_[0];
    }

private:
    bool JoinTop()
    {
        HRGN below = regions_[depth_ - 2];
        HRGN top = regions_[depth_ - 1];
        if (CombineRgn(below, below, top, RGN_OR) == ERROR)
            return false;
        DeleteObject(top);
        pieces_[depth_ - 2] += pieces_[depth_ - 1];
        --depth_;
        return true;
    }

    HRGN regions_[MAX_PENDING] = {};
    size_t pieces_[MAX_PENDING] = {};
    int depth_ = 0;
};

}  // namespace

HRGN RegionFromRects(const RECT* rects, size_t count)
{
    PENDINGREGIONS pending;
    for (size_t start = 0; start < count; start += PIECE_RECTS) {
        size_t size = count - start < PIECE_RECTS ? count - start : PIECE_RECTS;
        if (!pending.Push(RegionFromPiece(rects + start, size)))
            return nullptr;
    }
    return pending.Finish();
}

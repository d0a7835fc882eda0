#include <gtest/gtest.h>
#include <vector>

#include "regionassert.h"
#include "shape/rectregion.h"

namespace {

// One CombineRgn per rectangle: slow but plainly right.
HRGN UnionOneByOne(const std::vector<RECT>& rects)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects) {
        HRGN piece = CreateRectRgnIndirect(&r);
        CombineRgn(region, region, piece, RGN_OR);
        DeleteObject(piece);
    }
    return region;
}

std::vector<RECT> RandomRects(size_t count, unsigned seed)
{
    std::vector<RECT> rects;
    unsigned state = seed;
    auto next = [&state](int limit) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 8) % static_cast<unsigned>(limit));
    };
    for (size_t i = 0; i < count; ++i) {
        int left = next(300) - 20;
        int top = next(200) - 10;
        rects.push_back(RECT{left, top, left + 1 + next(40), top + 1 + next(25)});
    }
    return rects;
}

// Non-overlapping one-pixel-high runs in band order, as a mask gives them.
std::vector<RECT> BandRects(size_t count)
{
    std::vector<RECT> rects;
    for (size_t i = 0; i < count; ++i) {
        LONG row = static_cast<LONG>(i / 10);
        LONG column = static_cast<LONG>(i % 10) * 3 + static_cast<LONG>(row % 2);
        rects.push_back(RECT{column, row, column + 2, row + 1});
    }
    return rects;
}

}  // namespace

TEST(RectRegion, OverlappingRectanglesInAnyOrderGiveTheirUnion)
{
    std::vector<RECT> rects = RandomRects(700, 7);
    RegionPtr expected(UnionOneByOne(rects));
    RegionPtr actual(RegionFromRects(rects.data(), rects.size()));
    EXPECT_TRUE(SameRegionData(expected.get(), actual.get()));
}

TEST(RectRegion, CountsAroundThePieceSizeLoseNoRectangle)
{
    for (size_t count : {1u, 63u, 64u, 65u, 128u, 129u, 191u, 192u, 1000u}) {
        SCOPED_TRACE(count);
        std::vector<RECT> rects = BandRects(count);
        RegionPtr expected(UnionOneByOne(rects));
        RegionPtr actual(RegionFromRects(rects.data(), rects.size()));
        EXPECT_TRUE(SameRegionData(expected.get(), actual.get()));
    }
}

TEST(RectRegion, NoRectanglesGiveAnEmptyRegion)
{
    RegionPtr region(RegionFromRects(nullptr, 0));
    ASSERT_NE(nullptr, region.get());
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(region.get(), &box));
}

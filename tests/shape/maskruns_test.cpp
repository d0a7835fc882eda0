#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shape/maskruns.h"

namespace {

const DWORD W = 0xFFFFFF;  // any colour but black
const DWORD B = 0x000000;

std::string Rects(const std::vector<DWORD>& pixels, int width, int height)
{
    size_t count = MaskRegionRects(pixels.data(), width, height, nullptr);
    std::vector<RECT> rects(count);
    EXPECT_EQ(count, MaskRegionRects(pixels.data(), width, height, rects.data()));
    std::string text;
    for (const RECT& r : rects) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                std::to_string(r.bottom);
    }
    return text;
}

}  // namespace

TEST(MaskRuns, WholeMaskWithoutBlackIsOneRectangleOnePixelLarger)
{
    EXPECT_EQ("0,0,5,4", Rects(std::vector<DWORD>(12, W), 4, 3));
}

TEST(MaskRuns, AllBlackKeepsOnlyTheColumnAndRowPastTheEdges)
{
    EXPECT_EQ("4,0,5,3 0,3,5,4", Rects(std::vector<DWORD>(12, B), 4, 3));
}

TEST(MaskRuns, RowsWithTheSameRunsShareOneBand)
{
    // Two black rows on top of each other with the same gap form one band; the row below with no
    // black merges with the extra bottom row.
    std::vector<DWORD> pixels = {
        W, B, W, W,
        W, B, W, W,
        W, W, W, W,
    };
    EXPECT_EQ("0,0,1,2 2,0,5,2 0,2,5,4", Rects(pixels, 4, 3));
}

TEST(MaskRuns, BlackAtTheRightEdgeLeavesTheExtraColumnAlone)
{
    std::vector<DWORD> pixels = {
        W, W, B,
        B, W, W,
    };
    EXPECT_EQ("0,0,2,1 3,0,4,1 1,1,4,2 0,2,4,3", Rects(pixels, 3, 2));
}

TEST(MaskRuns, OnlyExactBlackIsCutAndTheTopByteIsIgnored)
{
    // GetDIBits leaves the fourth byte of a 32-bit pixel undefined on some systems.
    std::vector<DWORD> pixels = {0xFF000000, 0x00010101, 0x00010000, 0x00000100, 0x00000001};
    EXPECT_EQ("1,0,6,1 0,1,6,2", Rects(pixels, 5, 1));
}

TEST(MaskRuns, DegenerateSizes)
{
    EXPECT_EQ("0,0,1,3", Rects(std::vector<DWORD>(), 0, 2));
    EXPECT_EQ("0,0,4,1", Rects(std::vector<DWORD>(), 3, 0));
    EXPECT_EQ(0u, MaskRegionRects(nullptr, -1, 5, nullptr));
    EXPECT_EQ(nullptr, RegionFromMaskPixels(nullptr, 5, -1));
}

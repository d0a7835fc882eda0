#include <gtest/gtest.h>
#include <string>

#include "maskpatterns.h"
#include "regionassert.h"
#include "shape/maskregion.h"
#include "shape/maskruns.h"
#include "shape/regioncache.h"
#include "support/mask_bitmap_file.h"
#include "support/reference_region.h"
#include "support/testenv.h"

namespace {

class MaskFile : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const MASKIMAGE& mask, int bitsPerPixel = 24)
    {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteMaskBitmap(path.c_str(), mask.pixels.data(), mask.width, mask.height, bitsPerPixel));
        return path;
    }

    testenv::TempDir dir_;
};

struct SHAPECASE {
    const char* pattern;
    int width;
    int height;
    int bitsPerPixel;
};

MASKIMAGE Pattern(const std::string& name)
{
    if (name == "black")
        return SolidMask(40, 30, 0x000000);
    if (name == "white")
        return SolidMask(40, 30, 0xFFFFFF);
    if (name == "grey")
        return SolidMask(40, 30, 0x010101);
    if (name == "checker")
        return CheckerMask(40, 30, 1);
    if (name == "checker3")
        return CheckerMask(40, 30, 3);
    if (name == "rounded")
        return RoundedMask(40, 30);
    return PhotographicMask(40, 30, 20240611u);
}

class FastMatchesPerPixel : public MaskFile, public ::testing::WithParamInterface<SHAPECASE> {};

std::string CaseName(const ::testing::TestParamInfo<SHAPECASE>& info)
{
    return std::string(info.param.pattern) + "_" + std::to_string(info.param.width) + "x" +
           std::to_string(info.param.height) + "_" + std::to_string(info.param.bitsPerPixel) + "bit";
}

// A real popup window to give regions to.
class POPUP {
public:
    POPUP(int width, int height)
        : window_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr))
    {
    }
    virtual ~POPUP()
    {
        if (window_)
            DestroyWindow(window_);
    }
    POPUP(const POPUP&) = delete;
    POPUP& operator=(const POPUP&) = delete;

    HWND Window() const { return window_; }

private:
    HWND window_;
};

}  // namespace

// The mask is 40 x 30: the same size, stretched up, shrunk, and stretched one way while shrunk
// the other; colour files and black-and-white (1 bit) files. BLACKONWHITE makes shrinking merge
// pixels, so both builds must read the same stretched surface and cut exactly the same pixels.
TEST_P(FastMatchesPerPixel, RegionDataIsIdentical)
{
    const SHAPECASE& c = GetParam();
    std::string path = Write("VKMASK.BMP", Pattern(c.pattern), c.bitsPerPixel);
    RECT rect = {0, 0, c.width, c.height};
    RegionPtr expected(reference::MaskRegionFromFile(rect, path.c_str()));
    RegionPtr actual(MaskRegionFromFile(rect, path.c_str()));
    ASSERT_NE(nullptr, expected.get());
    EXPECT_TRUE(SameRegionData(expected.get(), actual.get()));
}

INSTANTIATE_TEST_SUITE_P(Patterns, FastMatchesPerPixel,
                         ::testing::Values(SHAPECASE{"black", 40, 30, 24}, SHAPECASE{"black", 67, 53, 24},
                                           SHAPECASE{"black", 23, 17, 24}, SHAPECASE{"white", 40, 30, 24},
                                           SHAPECASE{"white", 61, 19, 24}, SHAPECASE{"grey", 67, 53, 24},
                                           SHAPECASE{"grey", 23, 17, 24}, SHAPECASE{"checker", 40, 30, 24},
                                           SHAPECASE{"checker", 67, 53, 24}, SHAPECASE{"checker", 23, 17, 24},
                                           SHAPECASE{"checker3", 61, 19, 24}, SHAPECASE{"rounded", 67, 53, 24},
                                           SHAPECASE{"rounded", 23, 17, 24}, SHAPECASE{"photo", 40, 30, 24},
                                           SHAPECASE{"photo", 67, 53, 24}, SHAPECASE{"photo", 23, 17, 24},
                                           SHAPECASE{"photo", 61, 19, 24}, SHAPECASE{"checker", 67, 53, 1},
                                           SHAPECASE{"checker3", 23, 17, 1}, SHAPECASE{"rounded", 61, 19, 1},
                                           SHAPECASE{"photo", 40, 30, 1}, SHAPECASE{"photo", 23, 17, 1}),
                         CaseName);

TEST_F(MaskFile, AllBlackLeavesOnlyTheRowAndColumnPastTheEdges)
{
    std::string path = Write("BLACK.BMP", SolidMask(40, 30, 0x000000));
    RegionPtr region(MaskRegionFromFile(RECT{10, 20, 60, 50}, path.c_str()));
    EXPECT_EQ("50,0,51,30 0,30,51,31", RegionRects(region.get()));
}

TEST_F(MaskFile, AllWhiteLeavesTheWholeRectangle)
{
    std::string path = Write("WHITE.BMP", SolidMask(40, 30, 0xFFFFFF));
    RegionPtr region(MaskRegionFromFile(RECT{10, 20, 60, 50}, path.c_str()));
    EXPECT_EQ("0,0,51,31", RegionRects(region.get()));
}

TEST_F(MaskFile, NearlyBlackGreyStaysOpaque)
{
    std::string path = Write("GREY.BMP", SolidMask(40, 30, 0x010101));
    RegionPtr region(MaskRegionFromFile(RECT{0, 0, 40, 30}, path.c_str()));
    EXPECT_EQ("0,0,41,31", RegionRects(region.get()));
}

TEST_F(MaskFile, WhatIsNotAWindowsBitmapGivesNoRegion)
{
    std::string missing = dir_.File("MISSING.BMP");
    std::string text = dir_.File("TEXT.BMP");
    std::string png = dir_.File("MASK.PNG");
    ASSERT_TRUE(testenv::WriteFile(text, "this is not a bitmap\r\n"));
    // A complete one-pixel PNG image.
    const unsigned char pngBytes[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
        0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4,
        0x89, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00,
        0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE,
        0x42, 0x60, 0x82};
    ASSERT_TRUE(testenv::WriteFile(png, std::string(reinterpret_cast<const char*>(pngBytes), sizeof pngBytes)));
    RECT rect = {0, 0, 30, 20};
    for (const std::string& path : {missing, text, png}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(nullptr, MaskRegionFromFile(rect, path.c_str()));
    }
    EXPECT_EQ(nullptr, MaskRegionFromFile(rect, nullptr));
}

TEST_F(MaskFile, EmptyPanelRectangleGivesNoRegion)
{
    std::string path = Write("WHITE.BMP", SolidMask(8, 8, 0xFFFFFF));
    EXPECT_EQ(nullptr, MaskRegionFromFile(RECT{5, 5, 5, 40}, path.c_str()));
    EXPECT_EQ(nullptr, MaskRegionFromFile(RECT{5, 5, 40, 2}, path.c_str()));
}

TEST_F(MaskFile, BuildGivesTheWindowItsRegionAndWritesTheCache)
{
    POPUP popup(80, 60);
    ASSERT_NE(nullptr, popup.Window());
    std::string mask = Write("VKMASK.BMP", RoundedMask(40, 30));
    std::string cache = mask + ".RGN";
    RECT rect = {0, 0, 80, 60};

    EXPECT_NE(0, BuildMaskRegion(popup.Window(), rect, mask.c_str(), cache.c_str()));

    RegionPtr expected(reference::MaskRegionFromFile(rect, mask.c_str()));
    RegionPtr taken(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(popup.Window(), taken.get()));
    EXPECT_TRUE(SameRegionData(expected.get(), taken.get()));
    EXPECT_EQ(RegionBytes(expected.get()), testenv::ReadFile(cache));
    RegionPtr cached(LoadRegionCache(cache.c_str(), rect));
    EXPECT_TRUE(SameRegionData(expected.get(), cached.get()));
}

TEST_F(MaskFile, BuildReportsAWindowThatRefusesTheRegion)
{
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone);
    DestroyWindow(gone);
    std::string mask = Write("VKMASK.BMP", CheckerMask(10, 10, 2));
    std::string cache = mask + ".RGN";
    EXPECT_EQ(0, BuildMaskRegion(gone, RECT{0, 0, 10, 10}, mask.c_str(), cache.c_str()));
    // A region the window did not take is never cached: it would fail again at every start.
    EXPECT_FALSE(testenv::FileExists(cache));
}

// Every row of the panel busier than any real shape: refused before a region is made, so the
// window keeps none and no cache is written.
TEST_F(MaskFile, MaskBusierThanThePanelTakesIsRefused)
{
    POPUP popup(120, 80);
    const RECT rect = {0, 0, 120, 80};
    std::string mask = Write("VKMASK.BMP", CheckerMask(120, 80, 1));
    std::string cache = mask + ".RGN";
    EXPECT_EQ(nullptr, MaskRegionFromFile(rect, mask.c_str()));
    EXPECT_EQ(0, BuildMaskRegion(popup.Window(), rect, mask.c_str(), cache.c_str()));
    EXPECT_FALSE(testenv::FileExists(cache));
    RegionPtr taken(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(ERROR, GetWindowRgn(popup.Window(), taken.get()));

    // The limit itself is allowed.
    MASKIMAGE busiest = BusiestMask(120, 80);
    ASSERT_EQ(MaskRegionRectLimit(80) - MASK_RECTS_PER_ROW + 1,
              MaskRegionRects(busiest.pixels.data(), 120, 80, nullptr));
    RegionPtr region(MaskRegionFromFile(rect, Write("BUSIEST.BMP", busiest).c_str()));
    EXPECT_NE(nullptr, region.get());
}

TEST_F(MaskFile, BuildWithoutAUsableMaskFailsAndWritesNothing)
{
    POPUP popup(30, 20);
    std::string mask = dir_.File("MISSING.BMP");
    std::string cache = mask + ".RGN";
    EXPECT_EQ(0, BuildMaskRegion(popup.Window(), RECT{0, 0, 30, 20}, mask.c_str(), cache.c_str()));
    EXPECT_FALSE(testenv::FileExists(cache));
    RegionPtr taken(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(ERROR, GetWindowRgn(popup.Window(), taken.get()));
}

TEST_F(MaskFile, BuildStillSetsTheRegionWhenTheCacheCannotBeWritten)
{
    POPUP popup(30, 20);
    std::string mask = Write("VKMASK.BMP", CheckerMask(15, 10, 2));
    std::string cache = dir_.File("NO SUCH FOLDER\\VKMASK.BMP.RGN");
    EXPECT_NE(0, BuildMaskRegion(popup.Window(), RECT{0, 0, 30, 20}, mask.c_str(), cache.c_str()));
    RegionPtr taken(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(popup.Window(), taken.get()));
}

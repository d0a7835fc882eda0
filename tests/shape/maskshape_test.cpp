#include <gtest/gtest.h>
#include <cstdio>
#include <string>

#include "maskpatterns.h"
#include "shape/maskregion.h"
#include "shape/maskruns.h"
#include "shape/regioncache.h"
#include "shape/windowshape.h"
#include "shapewindow.h"
#include "support/mask_bitmap_file.h"
#include "ui/messagedialog.h"
#include "ui/resourcemodule.h"
#include "ui/texts.h"

namespace {

class MaskShape : public ShapedPanel {
protected:
    void SetUp() override
    {
        ShapedPanel::SetUp();
        mask_ = dir_.File("VKMASK.BMP");
        cache_ = mask_ + ".RGN";
        MASKIMAGE image = RoundedMask(60, 40);
        ASSERT_TRUE(WriteMaskBitmap(mask_.c_str(), image.pixels.data(), image.width, image.height));
        snprintf(Theme.Mask.File, sizeof Theme.Mask.File, "%s", mask_.c_str());
        Theme.Mask.Mode = 4;
    }

    // The region a build from the mask gives the panel.
    RegionPtr MaskRegion() const { return RegionPtr(MaskRegionFromFile(client_, mask_.c_str())); }

    // Region data of a shape unlike the mask's, as a cache file made for another mask holds it.
    std::string OtherMaskCache() const
    {
        MASKIMAGE other = CheckerMask(120, 80, 20);
        RegionPtr region(RegionFromMaskPixels(other.pixels.data(), other.width, other.height));
        return RegionBytes(region.get());
    }

    // A build ran behind the wait dialog, gave the window the mask's region and wrote the cache.
    void ExpectBuiltFromTheMask()
    {
        const COMPLETIONLOG& completion = Completion();
        EXPECT_EQ(1, completion.count);
        EXPECT_NE(0, completion.result);
        EXPECT_TRUE(completion.waitDialogShown);
        EXPECT_EQ("メッセージ", completion.waitTitle);
        EXPECT_EQ("マスク情報を生成しています。", completion.waitLines[0]);
        EXPECT_EQ("しばらくお待ち下さい。", completion.waitLines[1]);
        EXPECT_EQ("", completion.waitLines[2]);
        EXPECT_FALSE(completion.requesterEnabled);
        EXPECT_TRUE(IsWindowEnabled(requester_));
        RegionPtr expected = MaskRegion();
        RegionPtr taken = WindowRegion();
        EXPECT_TRUE(SameRegionData(expected.get(), taken.get()));
        EXPECT_EQ(RegionBytes(expected.get()), testenv::ReadFile(cache_));
        EXPECT_EQ(4, Theme.Mask.Mode);
        EXPECT_EQ(0, ErrorBoxes());
        EXPECT_TRUE(LayeredAndOpaque());
    }

    // The mask error was shown `boxes` times and the window was left rectangular, layered and
    // opaque, with the mode off and the requester usable.
    void ExpectFailed(int boxes)
    {
        EXPECT_EQ(boxes, ErrorBoxes());
        std::string texts;
        for (int i = 0; i < boxes; ++i)
            texts += std::string(TEXT_MASK_ERROR) + "|";
        EXPECT_EQ(texts, ErrorTexts());
        EXPECT_EQ(0, Theme.Mask.Mode);
        EXPECT_EQ(nullptr, WindowRegion().get());
        EXPECT_TRUE(LayeredAndOpaque());
        EXPECT_TRUE(IsWindowEnabled(requester_));
    }

    std::string mask_;
    std::string cache_;
};

}  // namespace

TEST_F(MaskShape, WithoutCacheBuildsFromTheMaskAndWritesTheCache)
{
    Apply();
    ExpectBuiltFromTheMask();
}

TEST_F(MaskShape, SecondApplicationUsesTheCacheWithoutBuilding)
{
    Apply();
    ASSERT_EQ(1, Completion().count);
    Theme.Mask.Mode = 0;
    Apply();
    ASSERT_EQ(nullptr, WindowRegion().get());

    Theme.Mask.Mode = 4;
    Apply();
    EXPECT_EQ(1, Completion().count);
    RegionPtr expected = MaskRegion();
    RegionPtr taken = WindowRegion();
    EXPECT_TRUE(SameRegionData(expected.get(), taken.get()));
}

// The cache names no mask: a cache made for another one is used as it is, at once, with no
// worker (no completion command) and no rewrite.
TEST_F(MaskShape, CacheMadeForAnotherMaskStillApplies)
{
    const std::string other = OtherMaskCache();
    ASSERT_TRUE(testenv::WriteFile(cache_, other));
    Apply();
    EXPECT_EQ(0, Completion().count);
    EXPECT_EQ(other, RegionBytes(WindowRegion().get()));
    EXPECT_EQ(other, testenv::ReadFile(cache_));
    EXPECT_EQ(4, Theme.Mask.Mode);
    EXPECT_TRUE(IsWindowEnabled(requester_));
    EXPECT_EQ(0, ErrorBoxes());
    EXPECT_TRUE(LayeredAndOpaque());
}

// A mask black along its whole last column and row still reaches the column and row past the panel:
// its cache is the panel's size and applies.
TEST_F(MaskShape, CacheOfAMaskBlackAlongItsEdgesStillApplies)
{
    MASKIMAGE edged = SolidMask(client_.right, client_.bottom, 0xFFFFFF);
    for (int y = 0; y < edged.height; ++y)
        for (int x = 0; x < edged.width; ++x)
            if (x == 0 || x == edged.width - 1 || y == edged.height - 1)
                edged.pixels[static_cast<size_t>(y) * edged.width + x] = 0;
    RegionPtr region(RegionFromMaskPixels(edged.pixels.data(), edged.width, edged.height));
    const std::string bytes = RegionBytes(region.get());
    ASSERT_TRUE(testenv::WriteFile(cache_, bytes));
    Apply();
    EXPECT_EQ(0, Completion().count);
    EXPECT_EQ(bytes, RegionBytes(WindowRegion().get()));
}

struct BADCACHE {
    const char* name;
    std::string (*bytes)(const std::string& valid);
};

class DamagedCache : public MaskShape, public ::testing::WithParamInterface<BADCACHE> {};

std::string CaseName(const ::testing::TestParamInfo<BADCACHE>& info) { return info.param.name; }

TEST_P(DamagedCache, IsRebuiltFromTheMask)
{
    ASSERT_TRUE(testenv::WriteFile(cache_, GetParam().bytes(OtherMaskCache())));
    Apply();
    ExpectBuiltFromTheMask();
}

// Region data of a shape that is sound in itself but not the panel's.
std::string RegionOfRect(int left, int top, int right, int bottom)
{
    RegionPtr region(CreateRectRgn(left, top, right, bottom));
    return RegionBytes(region.get());
}

std::string RegionOfMask(const MASKIMAGE& mask)
{
    RegionPtr region(RegionFromMaskPixels(mask.pixels.data(), mask.width, mask.height));
    return RegionBytes(region.get());
}

std::string Random(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedCache,
    ::testing::Values(BADCACHE{"Empty", [](const std::string&) { return std::string(); }},
                      BADCACHE{"HeaderOnly", [](const std::string& valid) { return valid.substr(0, 32); }},
                      BADCACHE{"Truncated", [](const std::string& valid) { return valid.substr(0, valid.size() - 7); }},
                      BADCACHE{"OneRectangleShort",
                               [](const std::string& valid) { return valid.substr(0, valid.size() - 16); }},
                      BADCACHE{"Random", [](const std::string&) { return Random(1000, 7u); }},
                      BADCACHE{"RandomAfterHeader",
                               [](const std::string& valid) { return valid.substr(0, 32) + Random(valid.size() - 32, 11u); }},
                      BADCACHE{"Text", [](const std::string&) { return std::string("not a region\r\n"); }},
                      // The panel would be invisible, with nothing left to click.
                      BADCACHE{"WhollyOffThePanel",
                               [](const std::string&) { return RegionOfRect(32000, 32000, 32001, 32001); }},
                      BADCACHE{"ReachingPastThePanel", [](const std::string&) { return RegionOfRect(0, 0, 122, 81); }},
                      // Made for the panel at another DPI: smaller or larger than this one.
                      BADCACHE{"ForASmallerPanel",
                               [](const std::string&) { return RegionOfMask(RoundedMask(80, 53)); }},
                      BADCACHE{"ForALargerPanel",
                               [](const std::string&) { return RegionOfMask(RoundedMask(180, 120)); }},
                      BADCACHE{"BusierThanThePanelTakes",
                               [](const std::string&) { return RegionOfMask(CheckerMask(120, 80, 1)); }}),
    CaseName);

// Larger than any region data the program writes, whatever its start holds.
TEST_F(MaskShape, OversizedCacheIsRebuiltFromTheMask)
{
    ASSERT_TRUE(testenv::WriteFile(cache_, OtherMaskCache()));
    HANDLE file = CreateFileA(cache_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(REGION_CACHE_MAX_BYTES) + 1;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    Apply();
    ExpectBuiltFromTheMask();
}

// A mask busier than any real shape fails as a mask that cannot be made, and leaves no cache that
// would fail again at the next start.
TEST_F(MaskShape, MaskBusierThanThePanelTakesShowsTheErrorAndIsNotCached)
{
    MASKIMAGE checker = CheckerMask(120, 80, 1);
    ASSERT_TRUE(WriteMaskBitmap(mask_.c_str(), checker.pixels.data(), checker.width, checker.height));
    Apply();
    EXPECT_EQ(1, Completion().count);
    EXPECT_EQ(0, Completion().result);
    ExpectFailed(2);
    EXPECT_FALSE(testenv::FileExists(cache_));
}

// The completion handler reports the failed build, then the shape reports it again as it turns
// the mode off.
TEST_F(MaskShape, MissingMaskShowsTheErrorAndTurnsTheModeOff)
{
    ASSERT_TRUE(DeleteFileA(mask_.c_str()));
    Apply();
    EXPECT_EQ(1, Completion().count);
    EXPECT_EQ(0, Completion().result);
    EXPECT_TRUE(Completion().waitDialogShown);
    ExpectFailed(2);
    EXPECT_FALSE(testenv::FileExists(cache_));
}

TEST_F(MaskShape, MaskThatIsNoBitmapShowsTheErrorAndTurnsTheModeOff)
{
    ASSERT_TRUE(testenv::WriteFile(mask_, "BM but nothing more"));
    Apply();
    EXPECT_EQ(1, Completion().count);
    ExpectFailed(2);
}

TEST_F(MaskShape, FailureAfterAnEarlierShapeLeavesTheWindowRectangular)
{
    Theme.Mask.Mode = 1;
    Apply();
    ASSERT_NE(nullptr, WindowRegion().get());
    ASSERT_TRUE(DeleteFileA(mask_.c_str()));
    Theme.Mask.Mode = 4;
    Apply();
    ExpectFailed(2);
}

// The cache path must fit 2047 characters; a longer one is refused before any file or worker.
TEST_F(MaskShape, CachePathTooLongIsRefusedWithTheError)
{
    std::string mask = dir_.Path() + "\\" + std::string(2044 - dir_.Path().size() - 1, 'M');
    ASSERT_EQ(2044u, mask.size());
    snprintf(Theme.Mask.File, sizeof Theme.Mask.File, "%s", mask.c_str());
    Apply();
    EXPECT_EQ(0, Completion().count);
    ExpectFailed(1);
}

// One character shorter, the cache path fits and the build is tried (and fails: no such mask).
TEST_F(MaskShape, CachePathOfExactlyTheLimitIsTried)
{
    std::string mask = dir_.Path() + "\\" + std::string(2043 - dir_.Path().size() - 1, 'M');
    ASSERT_EQ(2043u, mask.size());
    snprintf(Theme.Mask.File, sizeof Theme.Mask.File, "%s", mask.c_str());
    Apply();
    EXPECT_EQ(1, Completion().count);
    ExpectFailed(2);
}

TEST_F(MaskShape, EmptyMaskPathShowsTheErrorAndTurnsTheModeOff)
{
    Theme.Mask.File[0] = '\0';
    Apply();
    ExpectFailed(1);
}

// While another message dialog is shown, the build is reported failed at once; its worker still
// runs, and its completion ends the dialog that is shown.
TEST_F(MaskShape, AnotherMessageDialogShownFailsAtOnce)
{
    HWND window = window_;
    testenv::DialogWatch watch([window](HWND dialog) {
        if (testenv::WindowText(dialog) == "OTHER")
            PostMessageA(window, WM_COMMAND, APPLY_SHAPE_COMMAND, 0);
    });
    const char* const lines[] = {"OTHER", nullptr};
    INT_PTR result = ShowMessageDialog(ResourceModule, window_, nullptr, "OTHER", lines);
    EXPECT_NE(0, result);
    EXPECT_EQ(1, Completion().count);
    EXPECT_EQ(1, ErrorBoxes());
    EXPECT_EQ(0, Theme.Mask.Mode);
    EXPECT_TRUE(IsWindowEnabled(requester_));
}

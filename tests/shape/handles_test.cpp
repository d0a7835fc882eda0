#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "maskpatterns.h"
#include "regionassert.h"
#include "shape/maskregion.h"
#include "shape/regioncache.h"
#include "support/mask_bitmap_file.h"
#include "support/testenv.h"

namespace {

const int CALLS = 300;
const size_t HEADROOM = 64;
// Far beyond any GDI handle table: Windows gives a process at most 65,536 handles.
const size_t FILL_LIMIT = 1000000;

// GetGuiResources says nothing under Wine, so leaks are shown the hard way: the process's GDI
// handle table is filled up to a small headroom, and the operation must then keep working for
// many more calls than the headroom could feed if each call left even one handle behind.
class HandleRelease : public ::testing::Test {
protected:
    void TearDown() override { ReleaseFiller(); }

    // Fills the table until it refuses a region: a fill that stops anywhere else would leave
    // the leak tests below room enough to pass with a leak.
    void FillHandleTable()
    {
        bool refused = false;
        while (!refused && filler_.size() < FILL_LIMIT) {
            HRGN filler = CreateRectRgn(0, 0, 1, 1);
            if (filler)
                filler_.push_back(filler);
            else
                refused = true;
        }
        ASSERT_TRUE(refused) << "the handle table took " << filler_.size() << " regions without refusing one";
        ASSERT_GT(filler_.size(), HEADROOM);
        for (size_t i = 0; i < HEADROOM; ++i) {
            DeleteObject(filler_.back());
            filler_.pop_back();
        }
    }

    void ReleaseFiller()
    {
        for (HRGN filler : filler_)
            DeleteObject(filler);
        filler_.clear();
    }

    // Counts the calls that failed while the table was nearly full.
    int FailuresNearlyFull(const std::function<bool()>& call)
    {
        FillHandleTable();
        if (HasFatalFailure())
            return -1;
        int failures = 0;
        for (int i = 0; i < CALLS; ++i)
            if (!call())
                ++failures;
        ReleaseFiller();
        return failures;
    }

    testenv::TempDir dir_;
    std::vector<HRGN> filler_;
};

}  // namespace

TEST_F(HandleRelease, BuildingFromAMaskFileLeavesNoHandle)
{
    MASKIMAGE mask = CheckerMask(16, 12, 1);
    std::string path = dir_.File("VKMASK.BMP");
    ASSERT_TRUE(WriteMaskBitmap(path.c_str(), mask.pixels.data(), mask.width, mask.height));
    EXPECT_EQ(0, FailuresNearlyFull([&path] {
        HRGN region = MaskRegionFromFile(RECT{0, 0, 20, 10}, path.c_str());
        return region && DeleteObject(region);
    }));
}

TEST_F(HandleRelease, FailedMaskLoadsLeaveNoHandle)
{
    std::string text = dir_.File("TEXT.BMP");
    ASSERT_TRUE(testenv::WriteFile(text, "not a bitmap"));
    MASKIMAGE mask = CheckerMask(8, 8, 2);
    std::string real = dir_.File("REAL.BMP");
    ASSERT_TRUE(WriteMaskBitmap(real.c_str(), mask.pixels.data(), mask.width, mask.height));
    // A failed load answers null either way, so a real build after each one shows that the
    // failures left the table as they found it.
    EXPECT_EQ(0, FailuresNearlyFull([&text, &real] {
        if (MaskRegionFromFile(RECT{0, 0, 20, 10}, text.c_str()))
            return false;
        HRGN region = MaskRegionFromFile(RECT{0, 0, 8, 8}, real.c_str());
        return region && DeleteObject(region);
    }));
}

TEST_F(HandleRelease, RegionRefusedByTheWindowIsDeleted)
{
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone);
    DestroyWindow(gone);
    MASKIMAGE mask = CheckerMask(16, 12, 1);
    std::string path = dir_.File("VKMASK.BMP");
    ASSERT_TRUE(WriteMaskBitmap(path.c_str(), mask.pixels.data(), mask.width, mask.height));
    // Each call makes a region the window refuses; one kept would soon exhaust the table, and
    // the build after it would fail.
    EXPECT_EQ(0, FailuresNearlyFull([&path, gone] {
        if (BuildMaskRegion(gone, RECT{0, 0, 20, 10}, path.c_str(), nullptr) != 0)
            return false;
        HRGN region = MaskRegionFromFile(RECT{0, 0, 20, 10}, path.c_str());
        return region && DeleteObject(region);
    }));
}

TEST_F(HandleRelease, LoadingTheCacheLeavesNoHandle)
{
    MASKIMAGE mask = PhotographicMask(30, 20, 5u);
    std::string maskPath = dir_.File("VKMASK.BMP");
    std::string cache = maskPath + ".RGN";
    ASSERT_TRUE(WriteMaskBitmap(maskPath.c_str(), mask.pixels.data(), mask.width, mask.height));
    RegionPtr region(MaskRegionFromFile(RECT{0, 0, 30, 20}, maskPath.c_str()));
    ASSERT_TRUE(SaveRegion(region.get(), cache.c_str()));
    EXPECT_EQ(0, FailuresNearlyFull([&cache] {
        HRGN loaded = LoadRegionCache(cache.c_str(), RECT{0, 0, 30, 20});
        return loaded && DeleteObject(loaded);
    }));
}

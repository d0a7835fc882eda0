#include <gtest/gtest.h>
#include <cstring>
#include <string>

#include "base/textpolicy.h"
#include "maskpatterns.h"
#include "regionassert.h"
#include "shape/maskruns.h"
#include "shape/regioncache.h"
#include "support/testenv.h"

namespace {

class RegionCache : public ::testing::Test {
protected:
    RegionCache() : valid_(RegionFromMaskPixels(mask_.pixels.data(), mask_.width, mask_.height)) {}

    // Region data of a small, irregular region, as the system gives it.
    std::string ValidData() const { return RegionBytes(valid_.get()); }

    HRGN LoadBytes(const std::string& bytes)
    {
        std::string path = dir_.File("CASE.RGN");
        EXPECT_TRUE(testenv::WriteFile(path, bytes));
        return LoadRegionCache(path.c_str(), Client());
    }

    RECT Client() const { return RECT{0, 0, mask_.width, mask_.height}; }

    static void PutLong(std::string& data, size_t offset, LONG value) { memcpy(&data[offset], &value, sizeof value); }

    testenv::TempDir dir_;
    MASKIMAGE mask_ = RoundedMask(24, 16);
    RegionPtr valid_;
};

// Offsets in region data.
const size_t HEADER_SIZE = 0, TYPE = 4, COUNT = 8, LIST_SIZE = 12, BOUND = 16, FIRST_RECT = 32;

}  // namespace

TEST_F(RegionCache, SavedRegionLoadsBackEqual)
{
    std::string path = dir_.File("VKMASK.BMP.RGN");
    ASSERT_TRUE(SaveRegion(valid_.get(), path.c_str()));
    EXPECT_EQ(ValidData(), testenv::ReadFile(path));
    RegionPtr loaded(LoadRegionCache(path.c_str(), Client()));
    EXPECT_TRUE(SameRegionData(valid_.get(), loaded.get()));
}

TEST_F(RegionCache, LargeBusyRegionLoadsBackEqual)
{
    MASKIMAGE busy = BusiestMask(300, 200);
    RegionPtr region(RegionFromMaskPixels(busy.pixels.data(), busy.width, busy.height));
    std::string path = dir_.File("BUSY.BMP.RGN");
    ASSERT_TRUE(SaveRegion(region.get(), path.c_str()));
    RegionPtr loaded(LoadRegionCache(path.c_str(), RECT{0, 0, busy.width, busy.height}));
    EXPECT_TRUE(SameRegionData(region.get(), loaded.get()));
}

TEST_F(RegionCache, SavingReplacesALongerOldFile)
{
    std::string path = dir_.File("OLD.RGN");
    ASSERT_TRUE(testenv::WriteFile(path, std::string(100000, 'x')));
    ASSERT_TRUE(SaveRegion(valid_.get(), path.c_str()));
    EXPECT_EQ(ValidData(), testenv::ReadFile(path));
}

TEST_F(RegionCache, SavingWhereNoFileCanBeMadeFails)
{
    EXPECT_FALSE(SaveRegion(valid_.get(), dir_.File("MISSING\\A.RGN").c_str()));
    EXPECT_FALSE(SaveRegion(valid_.get(), nullptr));
    EXPECT_FALSE(SaveRegion(nullptr, dir_.File("A.RGN").c_str()));
    EXPECT_FALSE(testenv::FileExists(dir_.File("A.RGN")));
}

TEST_F(RegionCache, ListSizeZeroIsAccepted)
{
    std::string data = ValidData();
    PutLong(data, LIST_SIZE, 0);
    RegionPtr loaded(LoadBytes(data));
    EXPECT_TRUE(SameRegionData(valid_.get(), loaded.get()));
}

TEST_F(RegionCache, DamagedOrForeignFilesGiveNoRegion)
{
    const std::string valid = ValidData();
    ASSERT_GT(valid.size(), FIRST_RECT + 3 * sizeof(RECT));
    const LONG count = static_cast<LONG>((valid.size() - FIRST_RECT) / sizeof(RECT));
    struct BADCASE {
        const char* name;
        std::string data;
    };
    auto changed = [&valid](size_t offset, LONG value) {
        std::string data = valid;
        PutLong(data, offset, value);
        return data;
    };
    std::string swapped = valid;
    std::swap_ranges(&swapped[FIRST_RECT], &swapped[FIRST_RECT + sizeof(RECT)], &swapped[FIRST_RECT + sizeof(RECT)]);
    std::string lastTwoSwapped = valid;
    size_t last = valid.size() - sizeof(RECT);
    std::swap_ranges(&lastTwoSwapped[last - sizeof(RECT)], &lastTwoSwapped[last], &lastTwoSwapped[last]);
    std::string overlapping = valid;
    // The second run of the first band starts inside the first run.
    LONG firstRight;
    memcpy(&firstRight, &valid[FIRST_RECT + 8], sizeof firstRight);
    PutLong(overlapping, FIRST_RECT + sizeof(RECT), firstRight - 1);
    std::string random;
    unsigned state = 12345u;
    for (int i = 0; i < 4000; ++i) {
        state = state * 1103515245u + 12345u;
        random += static_cast<char>(state >> 16);
    }
    std::string randomBody = valid.substr(0, FIRST_RECT) + random.substr(0, valid.size() - FIRST_RECT);

    const BADCASE cases[] = {
        {"empty", ""},
        {"header only, cut", valid.substr(0, 31)},
        {"one byte short", valid.substr(0, valid.size() - 1)},
        {"one rectangle short", valid.substr(0, valid.size() - sizeof(RECT))},
        {"one extra byte", valid + "x"},
        {"one extra rectangle", valid + valid.substr(FIRST_RECT, sizeof(RECT))},
        {"header size 40", changed(HEADER_SIZE, 40)},
        {"header size 0", changed(HEADER_SIZE, 0)},
        {"type 2", changed(TYPE, 2)},
        {"count one more", changed(COUNT, count + 1)},
        {"count one less", changed(COUNT, count - 1)},
        {"count zero", changed(COUNT, 0)},
        {"count huge", changed(COUNT, static_cast<LONG>(0xFFFFFFFFu))},
        {"count wrapping to the size", changed(COUNT, count + 0x10000000)},
        {"list size wrong", changed(LIST_SIZE, 5)},
        {"bound inside out", changed(BOUND + 8, -5)},
        {"bound too far out", changed(BOUND + 8, 100000)},
        {"empty rectangle", changed(FIRST_RECT + 8, 0)},
        {"rectangle beyond the bound", changed(FIRST_RECT, -1)},
        {"first two swapped", swapped},
        {"last two swapped", lastTwoSwapped},
        {"overlapping runs", overlapping},
        {"random bytes", random},
        {"random rectangles", randomBody},
        {"text", "[MASK]\r\nMode=4\r\n"},
    };
    for (const BADCASE& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(IsRegionCacheData(c.data.data(), c.data.size()));
        RegionPtr loaded(LoadBytes(c.data));
        EXPECT_EQ(nullptr, loaded.get());
    }
}

TEST_F(RegionCache, MissingLockedOrHugeFilesGiveNoRegion)
{
    EXPECT_EQ(nullptr, LoadRegionCache(dir_.File("MISSING.RGN").c_str(), Client()));
    EXPECT_EQ(nullptr, LoadRegionCache(nullptr, Client()));
    EXPECT_EQ(nullptr, LoadRegionCache("", Client()));

    std::string locked = dir_.File("LOCKED.RGN");
    ASSERT_TRUE(testenv::WriteFile(locked, ValidData()));
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(nullptr, LoadRegionCache(locked.c_str(), Client()));
    CloseHandle(holder);
    RegionPtr unlocked(LoadRegionCache(locked.c_str(), Client()));
    EXPECT_NE(nullptr, unlocked.get());

    // Past the size limit, with a header that claims exactly that many rectangles.
    std::string huge = dir_.File("HUGE.RGN");
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const LONGLONG size = static_cast<LONGLONG>(REGION_CACHE_MAX_BYTES) + 32 + sizeof(RECT);
    std::string header = ValidData().substr(0, FIRST_RECT);
    PutLong(header, COUNT, static_cast<LONG>((size - FIRST_RECT) / sizeof(RECT)));
    PutLong(header, LIST_SIZE, static_cast<LONG>(size - FIRST_RECT));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, header.data(), static_cast<DWORD>(header.size()), &written, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(nullptr, LoadRegionCache(huge.c_str(), Client()));
}

TEST(RegionCachePath, AppendsRgnToTheWholeName)
{
    char out[PATH_CAPACITY];
    ASSERT_TRUE(MakeRegionCachePath(out, "C:\\skins\\VKMASK.BMP"));
    EXPECT_STREQ("C:\\skins\\VKMASK.BMP.RGN", out);
    ASSERT_TRUE(MakeRegionCachePath(out, "VKMASK.BMP"));
    EXPECT_STREQ("VKMASK.BMP.RGN", out);
}

TEST(RegionCachePath, RefusesWhatWouldNotFit)
{
    char out[PATH_CAPACITY];
    std::string longest(2047 - 4, 'a');
    ASSERT_TRUE(MakeRegionCachePath(out, longest.c_str()));
    EXPECT_EQ(2047u, strlen(out));

    std::string tooLong(2047 - 3, 'a');
    EXPECT_FALSE(MakeRegionCachePath(out, tooLong.c_str()));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(MakeRegionCachePath(out, std::string(5000, 'b').c_str()));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(MakeRegionCachePath(out, ""));
    EXPECT_FALSE(MakeRegionCachePath(out, nullptr));
}

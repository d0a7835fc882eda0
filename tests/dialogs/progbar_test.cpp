#include "dialogs/progbar.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialogs/infopage.h"
#include "dialogs/pages.h"
#include "gpu/sampledata.h"
#include "resources/resource.h"
#include "support/testenv.h"

namespace {

std::string Text(CPROGBAR& bar, int mode, int showPeak)
{
    bar.textMode = mode;
    bar.showPeak = showPeak;
    return bar.FormatText();
}

// Left, top, right and bottom of the outer and the filled rectangle.
std::string Bar(RECT placeholder, bool border, double value, double scale)
{
    RECT outer;
    RECT filled;
    CPROGBAR::BarRectangles(placeholder, border, value, scale, 1, outer, filled);
    char text[96];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld %ld,%ld,%ld,%ld", outer.left, outer.top, outer.right, outer.bottom,
             filled.left, filled.top, filled.right, filled.bottom);
    return text;
}

}  // namespace

TEST(ProgressBar, TextsInEveryModeWholePercentagesAndTheScaleAsAWholeNumber)
{
    CPROGBAR bar;
    ASSERT_TRUE(bar.Offer(85));
    ASSERT_TRUE(bar.Offer(37));
    EXPECT_EQ("37%", Text(bar, 1, 0));
    EXPECT_EQ("85%", Text(bar, 0, 1));
    EXPECT_EQ("", Text(bar, 0, 0));
    EXPECT_EQ("37/100 (85)", Text(bar, 2, 1));
    snprintf(bar.text, sizeof bar.text, "mine");
    EXPECT_EQ("mine", Text(bar, 3, 1));
    // 29 / 100 * 100 is 28.999... in doubles.
    ASSERT_TRUE(bar.Offer(29));
    EXPECT_EQ("29% (85%)", Text(bar, 1, 1));
    // The scale counts as the whole number below it; a zero scale takes 0 alone and shows 0%.
    bar.scale = 99.9;
    EXPECT_FALSE(bar.Offer(100));
    bar.scale = 0;
    EXPECT_FALSE(bar.Offer(1));
    EXPECT_EQ("0% (0%)", Text(bar, 1, 1));
}

TEST(ProgressBar, TheFillStartsTwoPixelsInAndCoversItsShareOfTheInnerWidth)
{
    const RECT placeholder = {10, 20, 100, 32};
    // 12 + (97 - 12) * 37 / 100 = 43.45; without the border the inner width is 86.
    EXPECT_EQ("10,20,99,32 12,22,43,31", Bar(placeholder, true, 37, 100));
    EXPECT_EQ("10,20,100,32 12,22,43,30", Bar(placeholder, false, 37, 100));
    EXPECT_EQ("10,20,99,32 12,22,97,31", Bar(placeholder, true, 100, 100));
    // Absurd values neither leave the bar nor turn it round.
    EXPECT_EQ("10,20,99,32 12,22,97,31", Bar(placeholder, true, 1e12, 100));
    EXPECT_EQ("10,20,99,32 12,22,12,31", Bar(placeholder, true, 50, 0));
    EXPECT_EQ("10,20,99,32 12,22,12,31", Bar(placeholder, true, -3, 100));
    EXPECT_EQ("0,0,2,3 2,2,2,2", Bar(RECT{0, 0, 3, 3}, true, 100, 100));
}

TEST(InformationPage, BarsStartFromTheRecordedMaximaRefuseGarbageAndLetGoOfTheirObjects)
{
    ASSERT_NE(nullptr, testenv::ProgramResources()) << "VARNOK_EXE";
    Sample = SAMPLEDATA{};
    Sample.UsageCore = 37;
    Sample.MaxUsageCore = 85;
    Sample.UsageVideo = 150;
    Sample.MaxUsageVideo = 40;
    Sample.MemoryTotal = 2048 * 1024;
    Sample.MemoryFree = 1536 * 1024;
    Sample.MaxMemoryUsed = 900 * 1024;
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr, nullptr, nullptr);
    auto open = [&] {
        return CreateDialogParamA(testenv::ProgramResources(), MAKEINTRESOURCEA(IDD_PAGE_INFORMATION), parent,
                                  InformationPageProc, 0);
    };
    HWND page = open();
    ASSERT_NE(nullptr, page);
    CPROGBAR& core = InformationBars[BAR_CORE_USAGE];
    CPROGBAR& memory = InformationBars[BAR_MEMORY_USED];
    EXPECT_STREQ("37% (85%)", core.FormatText());
    EXPECT_STREQ("40% (40%)", InformationBars[BAR_VIDEO_USAGE].FormatText());
    EXPECT_STREQ("512MB/2048MB (900MB)", memory.FormatText());
    // A tick offers the current values; free memory above the total is no reading.
    Sample.UsageCore = 90;
    Sample.MemoryFree = Sample.MemoryTotal + 1;
    SendMessageA(page, WM_TIMER, INFORMATION_TIMER_ID, 0);
    EXPECT_STREQ("90% (90%)", core.FormatText());
    EXPECT_STREQ("512MB/2048MB (900MB)", memory.FormatText());
    // The page's timer runs while it is shown, and only then.
    ShowWindow(page, SW_SHOW);
    ShowWindow(page, SW_HIDE);
    EXPECT_FALSE(KillTimer(page, INFORMATION_TIMER_ID));
    ShowWindow(page, SW_SHOW);
    EXPECT_TRUE(KillTimer(page, INFORMATION_TIMER_ID));
    HGDIOBJ brush = core.barBrush.hbrush;
    DestroyWindow(page);
    EXPECT_EQ(nullptr, core.parent);
    EXPECT_EQ(0u, GetObjectType(brush));

    // Reopened: the peaks start again from the maxima, and a total of 0 keeps the scale of before.
    Sample.UsageCore = 20;
    Sample.MaxUsageCore = 50;
    Sample.MemoryTotal = 0;
    Sample.MemoryFree = 0;
    page = open();
    EXPECT_STREQ("20% (50%)", core.FormatText());
    EXPECT_STREQ("0MB/2048MB (900MB)", memory.FormatText());
    DestroyWindow(page);
    DestroyWindow(parent);
    Sample = SAMPLEDATA{};
}

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

CPROGBAR& CoreBar = InformationBars[BAR_CORE_USAGE];
CPROGBAR& VideoBar = InformationBars[BAR_VIDEO_USAGE];
CPROGBAR& MemoryBar = InformationBars[BAR_MEMORY_USED];

std::string Text(CPROGBAR& bar, int mode, int showPeak)
{
    bar.textMode = mode;
    bar.showPeak = showPeak;
    return bar.FormatText();
}

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

bool Same(const RECT& expected, const RECT& actual) { return EqualRect(&expected, &actual) != FALSE; }

// The Information page made as the frame makes it, over a hidden window.
class InformationPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sample = SAMPLEDATA{};
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        Close();
        DestroyWindow(parent_);
        Sample = SAMPLEDATA{};
    }
    void Open()
    {
        ASSERT_NE(nullptr, testenv::ProgramResources()) << "VARNOK_EXE";
        page_ = CreateDialogParamA(testenv::ProgramResources(), MAKEINTRESOURCEA(IDD_PAGE_INFORMATION), parent_,
                                   InformationPageProc, 0);
        ASSERT_NE(nullptr, page_);
    }
    void Close()
    {
        if (page_)
            DestroyWindow(page_);
        page_ = nullptr;
    }

    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

}  // namespace

TEST(ProgressBar, TextsFollowTheModeWithWholePercentages)
{
    CPROGBAR bar;
    ASSERT_TRUE(bar.Offer(85));
    ASSERT_TRUE(bar.Offer(37));
    EXPECT_EQ("37% (85%)", Text(bar, 1, 1));
    EXPECT_EQ("37%", Text(bar, 1, 0));
    EXPECT_EQ("85%", Text(bar, 0, 1));
    EXPECT_EQ("", Text(bar, 0, 0));
    EXPECT_EQ("37/100 (85)", Text(bar, 2, 1));
    EXPECT_EQ("37/100", Text(bar, 2, 0));
    snprintf(bar.text, sizeof bar.text, "mine");
    EXPECT_EQ("mine", Text(bar, 3, 1));
    // 29 / 100 * 100 is 28.999... in doubles; the share is a whole 29.
    ASSERT_TRUE(bar.Offer(29));
    EXPECT_EQ("29% (85%)", Text(bar, 1, 1));
    bar.scale = 3;
    bar.value = 2;
    EXPECT_EQ("66%", Text(bar, 1, 0));
    bar.scale = 0;
    EXPECT_EQ("0% (0%)", Text(bar, 1, 1));
}

TEST(ProgressBar, AValueAboveTheScaleIsRefusedAndChangesNothing)
{
    CPROGBAR bar;
    EXPECT_FALSE(bar.Offer(101));
    EXPECT_EQ(0, bar.value);
    EXPECT_TRUE(bar.Offer(100));
    EXPECT_TRUE(bar.Offer(60));
    EXPECT_EQ(60, bar.value);
    EXPECT_EQ(100, bar.peak);
    // The scale counts as the whole number below it.
    bar.scale = 99.9;
    EXPECT_FALSE(bar.Offer(100));
    bar.scale = 0;
    EXPECT_FALSE(bar.Offer(1));
    EXPECT_TRUE(bar.Offer(0));
    bar.scale = 1e300;
    EXPECT_TRUE(bar.Offer(4294967295u));
}

TEST(ProgressBar, TheFillStartsTwoPixelsInAndCoversItsShareOfTheInnerWidth)
{
    RECT outer;
    RECT filled;
    CPROGBAR::BarRectangles(Rect(10, 20, 100, 32), true, 37, 100, outer, filled);
    EXPECT_TRUE(Same(Rect(10, 20, 99, 32), outer));
    // 12 + (97 - 12) * 37 / 100 = 43.45
    EXPECT_TRUE(Same(Rect(12, 22, 43, 31), filled));
    CPROGBAR::BarRectangles(Rect(10, 20, 100, 32), false, 37, 100, outer, filled);
    EXPECT_TRUE(Same(Rect(10, 20, 100, 32), outer));
    EXPECT_TRUE(Same(Rect(12, 22, 43, 30), filled));
    CPROGBAR::BarRectangles(Rect(10, 20, 100, 32), true, 100, 100, outer, filled);
    EXPECT_EQ(97, filled.right);
    // Absurd values neither leave the bar nor turn it round.
    for (double scale : {0.0, -5.0})
        for (double value : {0.0, 50.0, -3.0}) {
            CPROGBAR::BarRectangles(Rect(10, 20, 100, 32), true, value, scale, outer, filled);
            EXPECT_EQ(12, filled.right) << value << "/" << scale;
        }
    CPROGBAR::BarRectangles(Rect(10, 20, 100, 32), true, 1e9, 100, outer, filled);
    EXPECT_EQ(97, filled.right);
    CPROGBAR::BarRectangles(Rect(0, 0, 3, 3), true, 100, 100, outer, filled);
    EXPECT_EQ(filled.left, filled.right);
}

TEST_F(InformationPage, BarsStartFromTheRecordedMaximaAndMoveOnlyWhileShown)
{
    Sample.UsageCore = 37;
    Sample.MaxUsageCore = 85;
    Sample.UsageVideo = 150;  // garbage, above the scale
    Sample.MaxUsageVideo = 40;
    Sample.MemoryTotal = 2048 * 1024;
    Sample.MemoryFree = 1536 * 1024;
    Sample.MaxMemoryUsed = 900 * 1024;
    Open();
    EXPECT_EQ(page_, CoreBar.parent);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page_, IDC_INFO_BAR_CORE)));
    EXPECT_STREQ("37% (85%)", CoreBar.FormatText());
    EXPECT_STREQ("40% (40%)", VideoBar.FormatText());
    EXPECT_STREQ("512MB/2048MB (900MB)", MemoryBar.FormatText());
    HGDIOBJ brush = CoreBar.barBrush.hbrush;
    EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(brush)));

    Sample.UsageCore = 90;
    Sample.MemoryFree = 0;
    SendMessageA(page_, WM_TIMER, INFORMATION_TIMER_ID, 0);
    EXPECT_STREQ("90% (90%)", CoreBar.FormatText());
    EXPECT_STREQ("2048MB/2048MB (2048MB)", MemoryBar.FormatText());
    // Free memory above the total is no reading: the bar keeps what it had.
    Sample.MemoryFree = Sample.MemoryTotal + 1;
    SendMessageA(page_, WM_TIMER, INFORMATION_TIMER_ID, 0);
    EXPECT_STREQ("2048MB/2048MB (2048MB)", MemoryBar.FormatText());

    // The page timer runs while the page is shown, and only then.
    ShowWindow(page_, SW_SHOW);
    ShowWindow(page_, SW_HIDE);
    EXPECT_FALSE(KillTimer(page_, INFORMATION_TIMER_ID));
    ShowWindow(page_, SW_SHOW);
    EXPECT_TRUE(KillTimer(page_, INFORMATION_TIMER_ID));

    Close();
    EXPECT_EQ(nullptr, CoreBar.parent);
    EXPECT_EQ(0u, GetObjectType(brush));

    // Reopened, the peaks start again from the maxima; a total of 0 keeps the scale of before.
    Sample.UsageCore = 20;
    Sample.MaxUsageCore = 50;
    Sample.MemoryTotal = 0;
    Sample.MemoryFree = 0;
    Open();
    EXPECT_STREQ("20% (50%)", CoreBar.FormatText());
    EXPECT_STREQ("0MB/2048MB (900MB)", MemoryBar.FormatText());
}

// Background, frames, blocks, hover substitution and the fault cross, read from the back buffer
// of a panel made from template 200.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "render/paneltitle.h"
#include "resources/resource.h"
#include "support/panelfixture.h"

using namespace painttest;

namespace {

// A rectangle grown by some pixels on every side.
RECT Grown(RECT rect, int by) { return {rect.left - by, rect.top - by, rect.right + by, rect.bottom + by}; }

RECT Union(const RECT& a, const RECT& b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

class FramePaint : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        Theme.Frame.Enable = 1;
        Theme.Trace[TRACE_CORE_TEMP].Enable = 1;
        Config.Global.Usage = 1;
        Rebuild();
    }
};

// The frame is the control's rectangle and the same rectangle one pixel narrower and taller:
// two pixels thick, with the four outer corner pixels left empty.
TEST_F(FramePaint, TitleFrameIsTwoPixelsWithEmptyOuterCorners)
{
    Compose();
    const RECT r = Control(IDC_TITLE);
    EXPECT_EQ(BACKGROUND, Pixel(r.left, r.top - 1));
    EXPECT_EQ(BACKGROUND, Pixel(r.right - 1, r.top - 1));
    EXPECT_EQ(BACKGROUND, Pixel(r.left, r.bottom));
    EXPECT_EQ(BACKGROUND, Pixel(r.right - 1, r.bottom));
    for (int y : {static_cast<int>(r.top - 1), static_cast<int>(r.top)})
        EXPECT_EQ(FRAME_COLOUR, Pixel(r.left + 1, y)) << y;
    for (int x : {static_cast<int>(r.left), static_cast<int>(r.left + 1)})
        EXPECT_EQ(FRAME_COLOUR, Pixel(x, (r.top + r.bottom) / 2)) << x;
    EXPECT_EQ(FRAME_COLOUR, Pixel(r.right - 1, r.top));
    EXPECT_EQ(FRAME_COLOUR, Pixel(r.right - 2, r.bottom));
    EXPECT_EQ(BACKGROUND, Pixel(r.left + 2, (r.top + r.bottom) / 2));
    EXPECT_EQ(BACKGROUND, Pixel(r.left + 5, r.top + 1));
}

TEST_F(FramePaint, BlockFramesStartEightPixelsLower)
{
    Compose();
    for (int group : {IDC_CORE_GROUP, IDC_MIDDLE_GROUP, IDC_CLOCK_GROUP}) {
        const RECT r = Control(group);
        const int top = r.top + 8;
        EXPECT_EQ(FRAME_COLOUR, Pixel(r.left, top)) << group;
        EXPECT_EQ(FRAME_COLOUR, Pixel(r.left + 1, top - 1)) << group;
        EXPECT_EQ(BACKGROUND, Pixel(r.left, top - 1)) << group;
        EXPECT_EQ(BACKGROUND, Pixel(r.left + 1, top - 2)) << group;
        EXPECT_EQ(FRAME_COLOUR, Pixel(r.left + 1, r.bottom)) << group;
        EXPECT_EQ(BACKGROUND, Pixel(r.left, r.bottom)) << group;
    }
}

TEST_F(FramePaint, NoFramesWhenSwitchedOff)
{
    Theme.Frame.Enable = 0;
    Compose();
    EXPECT_EQ(0, CountColour(PanelRes.clientRect, FRAME_COLOUR));
}

class BlockPaint : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        Theme.Frame.Enable = 1;
        Theme.Shadow.EnableFrame = Theme.Shadow.EnableLabel = Theme.Shadow.EnableValue = 1;
        Theme.Trace[TRACE_CORE_TEMP].Enable = 1;
        Rebuild();
        Sample.CoreTemp = 65;
        Sample.AmbientTemp = 45;
        Sample.UsageCore = 30;
        Sample.ClockCore = 1215.5;
        Sample.FanLevel = 40;
    }
    // The middle block from just above its frame's top to below its bottom.
    RECT MiddleBlock() const
    {
        RECT r = Grown(Control(IDC_MIDDLE_GROUP), 1);
        r.top += 8;
        return r;
    }
};

TEST_F(BlockPaint, MiddleBlockIsEmptyWithoutAmbientAndUsage)
{
    Config.Global.Usage = 0;
    Compose();
    EXPECT_EQ(0, CountDrawn(MiddleBlock()));
    Config.Global.Usage = 1;
    Compose();
    EXPECT_GT(CountDrawn(MiddleBlock()), 0);
}

// The ambient block takes the middle block whatever [GLOBAL] Usage says, and its first row
// (where the usage block shows the core usage) stays empty.
TEST_F(BlockPaint, AmbientBlockHidesTheUsageRows)
{
    Theme.Trace[TRACE_AMBIENT_TEMP].Enable = 1;
    Theme.Label.Ambient[0] = '\0';
    Config.Global.Usage = 1;
    Compose();
    const RECT firstRow = Union(Control(IDC_MIDDLE_ROW_FIRST), Control(IDC_MIDDLE_ROW_FIRST + 1));
    EXPECT_EQ(0, CountDrawn(firstRow));
    const RECT secondRow = Union(Control(IDC_MIDDLE_ROW_FIRST + 2), Control(IDC_MIDDLE_ROW_FIRST + 3));
    EXPECT_GT(CountDrawn(secondRow), 0);
}

TEST_F(BlockPaint, CoreBlockFollowsItsTraceSwitch)
{
    const RECT core = Grown(Control(IDC_CORE_GROUP), 1);
    Compose();
    EXPECT_GT(CountDrawn(core), 0);
    Theme.Trace[TRACE_CORE_TEMP].Enable = 0;
    Compose();
    RECT below = core;
    below.top += 8;
    EXPECT_EQ(0, CountDrawn(below));
}

TEST_F(BlockPaint, ShaderRowIsEmptyWithoutAShaderClock)
{
    const RECT row = Union(Control(IDC_CLOCK_ROW_FIRST + 4), Control(IDC_CLOCK_ROW_FIRST + 5));
    Sample.ClockShader = 0.0;
    Sample.MaxClockShader = 1500.0;
    Compose();
    EXPECT_EQ(0, CountDrawn(row));
    // A hovered shader field still shows nothing while there is no shader clock.
    HoverFlags[HOVER_CLOCK_SHADER] = true;
    Compose();
    EXPECT_EQ(0, CountDrawn(row));
    Sample.ClockShader = 1.5;
    Compose();
    EXPECT_GT(CountDrawn(row), 0);
}

// Readings no sensor gives still make texts that fit their buffers, cut in whole characters.
TEST_F(BlockPaint, AbsurdReadingsAreDrawnCut)
{
    Config.Global.Usage = 1;
    snprintf(Theme.Label.UnitClock, sizeof Theme.Label.UnitClock, "%s",
             "\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0");
    Sample.ClockCore = 1e300;
    Sample.ClockMemory = -1e300;
    Sample.ClockShader = 1e-300;
    Sample.CoreTemp = 4294967295u;
    Sample.UsageCore = 4294967295u;
    Sample.MemoryTotal = 0;
    Sample.MemoryFree = 4294967295u;
    Compose();
    const RECT coreClock = Union(Control(IDC_CLOCK_ROW_FIRST), Control(IDC_CLOCK_ROW_FIRST + 1));
    EXPECT_GT(CountDrawn(coreClock), 0);
}

TEST_F(BlockPaint, TitleBandShowsThePanelTitle)
{
    const RECT band = Control(IDC_TITLE);
    RECT inside = {band.left + 2, band.top + 1, band.right - 2, band.bottom - 1};
    Compose();
    EXPECT_EQ(0, CountDrawn(inside));
    SetPanelTitle("N PCI-E 4096MB");
    Compose();
    EXPECT_GT(CountColour(inside, TEXT_COLOUR), 0);
}

// Hover substitution is checked by whole frames: a hovered field must look exactly like the
// unhovered field showing the substituted value with the substituted unit.
class HoverPaint : public PanelTest {};

TEST_F(HoverPaint, FanFieldShowsTheFanSpeedInItsUnit)
{
    snprintf(Theme.Label.UnitFan, sizeof Theme.Label.UnitFan, "%%");
    snprintf(Theme.Label.UnitSpeed, sizeof Theme.Label.UnitSpeed, "rpm");
    Sample.FanLevel = 40;
    Sample.FanSpeed = 1234;
    Compose();
    const std::string plain = Frame();
    HoverFlags[HOVER_FAN] = true;
    Compose();
    const std::string hovered = Frame();
    EXPECT_FALSE(plain == hovered);

    HoverFlags[HOVER_FAN] = false;
    Sample.FanLevel = 1234;
    snprintf(Theme.Label.UnitFan, sizeof Theme.Label.UnitFan, "rpm");
    Compose();
    EXPECT_TRUE(hovered == Frame());
}

TEST_F(HoverPaint, MemoryInUseShowsTheMaximumInMB)
{
    Config.Global.Usage = 1;
    Sample.MemoryTotal = 1048576;
    Sample.MemoryFree = 0;
    Sample.MaxMemoryUsed = 4096;
    HoverFlags[HOVER_MEMORY_USED] = true;
    Compose();
    const std::string hovered = Frame();

    HoverFlags[HOVER_MEMORY_USED] = false;
    Sample.MemoryTotal = 4096;
    Compose();
    EXPECT_TRUE(hovered == Frame()) << "4096 KB should show as 4";
    Sample.MemoryTotal = 1048576;
    Compose();
    EXPECT_FALSE(hovered == Frame());
}

TEST_F(HoverPaint, UsageAndClockFieldsShowTheirMaxima)
{
    Config.Global.Usage = 1;
    Sample.UsageCore = 10;
    Sample.MaxUsageCore = 97;
    Sample.ClockMemory = 405.0;
    Sample.MaxClockMemory = 7010.0;
    HoverFlags[HOVER_USAGE_CORE] = true;
    HoverFlags[HOVER_CLOCK_MEMORY] = true;
    Compose();
    const std::string hovered = Frame();

    ClearHoverFlags();
    Sample.UsageCore = 97;
    Sample.ClockMemory = 7010.0;
    Compose();
    EXPECT_TRUE(hovered == Frame());
}

// The ambient block's fields do not take the usage block's maxima.
TEST_F(HoverPaint, AmbientBlockIgnoresTheUsageHover)
{
    Theme.Trace[TRACE_AMBIENT_TEMP].Enable = 1;
    Sample.MaxUsageMemory = 99;
    Sample.AmbientTemp = 45;
    Compose();
    const std::string plain = Frame();
    HoverFlags[HOVER_USAGE_MEMORY] = true;
    Compose();
    EXPECT_TRUE(plain == Frame());
}

class FaultPaint : public PanelTest {};

// A cross of 32-pixel red lines over the middle, half the client height in size.
TEST_F(FaultPaint, FaultDrawsTheRedCross)
{
    const int size = PanelRes.clientH / 2;
    const int x0 = (PanelRes.clientW - size) / 2;
    const int y0 = size / 2;
    Compose();
    EXPECT_EQ(0, CountColour(PanelRes.clientRect, FAULT_COLOUR));
    Sample.Fault = 1;
    Compose();
    EXPECT_EQ(FAULT_COLOUR, Pixel(x0 + size / 2, y0 + size / 2));
    EXPECT_EQ(FAULT_COLOUR, Pixel(x0 + 20, y0 + 20));
    EXPECT_EQ(FAULT_COLOUR, Pixel(x0 + size - 20, y0 + 20));
    EXPECT_EQ(FAULT_COLOUR, Pixel(x0 + 20, y0 + size - 20));
    // Between the arms, and clear of the pen's half width of 16 pixels
    EXPECT_NE(FAULT_COLOUR, Pixel(x0 + size / 2, y0 + 5));
    EXPECT_NE(FAULT_COLOUR, Pixel(x0 + 5, y0 + size / 2));
    RECT outside = {0, 0, PanelRes.clientW, y0 - 17};
    EXPECT_EQ(0, CountColour(outside, FAULT_COLOUR));
}

// The resource set is freed after the back buffer's DC is gone, but a frame must not leave its
// pens and fonts selected in the buffer all the same.
TEST_F(FaultPaint, FrameLeavesNoPenOrFontOfTheSetSelected)
{
    Theme.Grid.Enable = Theme.Unit.Enable = 1;
    for (THEMETRACE& trace : Theme.Trace)
        trace.Enable = 1;
    Rebuild();
    Sample.Fault = 1;
    Sample.HistoryCount = 10;
    const HGDIOBJ pen = GetCurrentObject(BackBuffer(), OBJ_PEN);
    const HGDIOBJ font = GetCurrentObject(BackBuffer(), OBJ_FONT);
    Compose();
    EXPECT_EQ(pen, GetCurrentObject(BackBuffer(), OBJ_PEN));
    EXPECT_EQ(font, GetCurrentObject(BackBuffer(), OBJ_FONT));
}

class SkinPaint : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        Theme.Skin.Color = RGB(0, 0, 128);
    }
    void LoadSkin(int bits, COLORREF (*pixel)(int, int), int width, int height)
    {
        const std::string path = dir.File(bits == 1 ? "mono.bmp" : "colour.bmp");
        ASSERT_TRUE(WriteBitmapFile(path, width, height, bits, pixel));
        snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", path.c_str());
        Rebuild();
        ASSERT_NE(nullptr, PanelRes.skin.hbm);
    }
    RECT Middle() const { return {0, PanelRes.clientH / 2 - 5, PanelRes.clientW, PanelRes.clientH / 2 + 5}; }
};

COLORREF LeftBlackRightWhite(int x, int) { return x == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255); }
COLORREF Green(int, int) { return RGB(10, 200, 30); }

// A one-bit skin is stretched keeping black over white: every pixel stays black or white.
TEST_F(SkinPaint, MonochromeSkinIsStretchedBlackOnWhite)
{
    LoadSkin(1, LeftBlackRightWhite, 2, 1);
    EXPECT_EQ(BLACKONWHITE, GetStretchBltMode(PanelRes.skinSurface.hdc));
    Theme.Skin.Enable = 1;
    Compose();
    const RECT middle = Middle();
    const int black = CountColour(middle, RGB(0, 0, 0));
    const int white = CountColour(middle, RGB(255, 255, 255));
    EXPECT_EQ((middle.right - middle.left) * (middle.bottom - middle.top), black + white);
    EXPECT_EQ(RGB(0, 0, 0), Pixel(PanelRes.clientW / 4, PanelRes.clientH / 2));
    EXPECT_EQ(RGB(255, 255, 255), Pixel(PanelRes.clientW * 3 / 4, PanelRes.clientH / 2));
}

TEST_F(SkinPaint, ColourSkinIsStretchedWithHalftone)
{
    LoadSkin(24, Green, 4, 3);
    EXPECT_EQ(HALFTONE, GetStretchBltMode(PanelRes.skinSurface.hdc));
    Theme.Skin.Enable = 1;
    Compose();
    EXPECT_EQ(RGB(10, 200, 30), Pixel(PanelRes.clientW / 2, PanelRes.clientH / 2));
    EXPECT_EQ(RGB(10, 200, 30), Pixel(PanelRes.clientW - 1, PanelRes.clientH - 1));
}

// The skin is loaded even while switched off, so that switching it on needs no rebuild.
TEST_F(SkinPaint, SwitchedOffSkinLeavesTheBackgroundColour)
{
    LoadSkin(24, Green, 4, 3);
    Compose();
    EXPECT_EQ(RGB(0, 0, 128), Pixel(PanelRes.clientW / 2, PanelRes.clientH / 2));
    Theme.Skin.Enable = 1;
    Compose();
    EXPECT_EQ(RGB(10, 200, 30), Pixel(PanelRes.clientW / 2, PanelRes.clientH / 2));
}

// Shadows are drawn first, shifted by the offset: a negative offset puts them up and left.
TEST_F(BlockPaint, NegativeShadowOffsetPutsTheShadowUpAndLeft)
{
    Theme.Shadow.EnableTitle = 1;
    Theme.Shadow.Offset = -3;
    SetPanelTitle("IIIIIIIIII");
    Compose();
    const RECT band = Control(IDC_TITLE);
    int shadowLeft = band.right;
    int textLeft = band.right;
    for (int x = band.left + 2; x < band.right - 2; ++x)
        for (int y = band.top + 1; y < band.bottom - 1; ++y) {
            if (Pixel(x, y) == SHADOW_COLOUR && x < shadowLeft)
                shadowLeft = x;
            if (Pixel(x, y) == TEXT_COLOUR && x < textLeft)
                textLeft = x;
        }
    ASSERT_LT(textLeft, band.right);
    EXPECT_EQ(textLeft - 3, shadowLeft);
}

}  // namespace

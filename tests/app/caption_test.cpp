// The caption: identity and readings texts, their cuts, and when the window text is set.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/caption.h"
#include "app/captiontext.h"
#include "base/textpolicy.h"
#include "config/config.h"
#include "config/formats.h"
#include "config/theme.h"
#include "gpu/gpuinfo.h"
#include "render/paneltitle.h"
#include "support/formatrace.h"
#include "support/testenv.h"

namespace {

const unsigned int Temperatures[2] = {65, 45};
const unsigned int Usages[3] = {30, 20, 10};

// A buffer with guard bytes behind it: the texts must never reach them.
struct GUARDED {
    static constexpr size_t GUARD = 32;
    char bytes[CAPTION_SIZE + GUARD];
    GUARDED() { memset(bytes, '#', sizeof bytes); }
    char* Text() { return bytes; }
    bool GuardIntact() const
    {
        for (size_t i = CAPTION_SIZE; i < sizeof bytes; ++i)
            if (bytes[i] != '#')
                return false;
        return true;
    }
};

// True when the text ends on a whole character of code page 932.
bool EndsWhole(const char* text) { return WholeCharacterLength(text, strlen(text)) == strlen(text); }

class CaptionText : public ::testing::Test {
protected:
    void SetUp() override
    {
        snprintf(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%s", TASKBAR_FORMAT_DEFAULT);
        Config.Taskbar.Core = Config.Taskbar.Memory = Config.Taskbar.Video = 0;
        Config.Taskbar.Used = Config.Taskbar.Fan = 0;
        snprintf(Theme.Label.UnitUsage, sizeof Theme.Label.UnitUsage, "%%");
        snprintf(Theme.Label.UnitUsed, sizeof Theme.Label.UnitUsed, "MB");
        snprintf(Theme.Label.UnitFan, sizeof Theme.Label.UnitFan, "%%");
    }
    std::string Readings(unsigned int memoryUsed = 512, unsigned int fanLevel = 40)
    {
        GUARDED buffer;
        BuildReadingsText(buffer.Text(), CAPTION_SIZE, Temperatures, Usages, memoryUsed, fanLevel);
        EXPECT_TRUE(buffer.GuardIntact());
        return buffer.Text();
    }
};

TEST_F(CaptionText, IdentityNamesTheGpuItsBusAndMemory)
{
    GPUINFO info;
    ClearGpuInfo(info);
    info.FullName = "N";
    info.BusName = "PCI-E";
    info.Memory = 4096;
    char text[CAPTION_SIZE];
    BuildIdentityText(text, sizeof text, info);
    EXPECT_STREQ("N PCI-E 4096MB", text);
}

TEST_F(CaptionText, IdentityWithoutAGpu)
{
    GPUINFO info;
    ClearGpuInfo(info);
    char text[CAPTION_SIZE];
    BuildIdentityText(text, sizeof text, info);
    EXPECT_STREQ("  0MB", text);
}

TEST_F(CaptionText, LongGpuNameIsCutToTheCaption)
{
    const std::string name(300, 'G');
    GPUINFO info;
    ClearGpuInfo(info);
    info.FullName = name.c_str();
    info.BusName = "PCI-E";
    GUARDED buffer;
    BuildIdentityText(buffer.Text(), CAPTION_SIZE, info);
    EXPECT_EQ(name.substr(0, CAPTION_SIZE - 1), buffer.Text());
    EXPECT_TRUE(buffer.GuardIntact());
}

// 126 single bytes and then double-byte characters: the 127th byte would be a lead byte alone.
TEST_F(CaptionText, CutNeverSplitsADoubleByteCharacter)
{
    std::string name(126, 'g');
    for (int i = 0; i < 10; ++i)
        name += "\x82\xa0";
    GPUINFO info;
    ClearGpuInfo(info);
    info.FullName = name.c_str();
    GUARDED buffer;
    BuildIdentityText(buffer.Text(), CAPTION_SIZE, info);
    EXPECT_EQ(std::string(126, 'g'), buffer.Text());
    EXPECT_TRUE(buffer.GuardIntact());
}

TEST_F(CaptionText, TemperaturesWithCoreUsageAndFan)
{
    Config.Taskbar.Core = 1;
    Config.Taskbar.Fan = 1;
    EXPECT_EQ("65\xB0" "C/45\xB0" "C 30% 40%", Readings());
}

TEST_F(CaptionText, NoSwitchesGiveTheTemperaturesAlone)
{
    EXPECT_EQ("65\xB0" "C/45\xB0" "C", Readings());
}

TEST_F(CaptionText, EverySwitchInItsOrder)
{
    Config.Taskbar.Core = Config.Taskbar.Memory = Config.Taskbar.Video = 1;
    Config.Taskbar.Used = Config.Taskbar.Fan = 1;
    EXPECT_EQ("65\xB0" "C/45\xB0" "C 30% 20% 10% 512MB 40%", Readings());
}

TEST_F(CaptionText, SingleConversionShowsTheCoreTemperatureOnly)
{
    snprintf(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%%d");
    EXPECT_EQ("65", Readings());
}

TEST_F(CaptionText, HostileFormatFallsBackToTheDefault)
{
    for (const char* hostile : {"%s", "%n", "%d%d%d", "%*d", "%.300d", "%lld", "%f", "100%"}) {
        snprintf(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%s", hostile);
        EXPECT_EQ("65\xB0" "C/45\xB0" "C", Readings()) << hostile;
    }
}

// A reload may store a new format while a measurement worker builds the caption: the format that
// was checked must be the one that is used, so only the accepted format or the default shows.
TEST_F(CaptionText, FormatStoredWhileInUseIsNeverUsedUnchecked)
{
    int odd = 0;
    testenv::RaceFormatRewrites(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%d/%d", "%s/%s", 1000000, [&] {
        const std::string text = Readings();
        odd += text != "65/45" && text != "65\xB0" "C/45\xB0" "C";
    });
    EXPECT_EQ(0, odd);
}

// " 30" and a 15-byte unit make 18: the part keeps its first 15 characters.
TEST_F(CaptionText, LongUnitLabelIsCutToFifteenCharacters)
{
    Config.Taskbar.Core = 1;
    Config.Taskbar.Fan = 1;
    snprintf(Theme.Label.UnitUsage, sizeof Theme.Label.UnitUsage, "ABCDEFGHIJKLMNO");
    EXPECT_EQ("65\xB0" "C/45\xB0" "C 30ABCDEFGHIJKL 40%", Readings());
}

// " 5" and seven double-byte characters: the fifteenth byte is a lead byte, so the part ends
// after the sixth character.
TEST_F(CaptionText, UnitCutKeepsDoubleByteCharactersWhole)
{
    Config.Taskbar.Fan = 1;
    snprintf(Theme.Label.UnitFan, sizeof Theme.Label.UnitFan, "%s", "\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0");
    const std::string text = Readings(0, 5);
    EXPECT_EQ("65\xB0" "C/45\xB0" "C 5\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0", text);
}

// A format padded to the field limit and every part on: the caption stops at 127 bytes.
TEST_F(CaptionText, LongReadingsAreCutToTheCaption)
{
    snprintf(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%%120d/%%d");
    Config.Taskbar.Core = Config.Taskbar.Memory = Config.Taskbar.Video = 1;
    Config.Taskbar.Used = Config.Taskbar.Fan = 1;
    const std::string text = Readings(4000000000u, 4000000000u);
    EXPECT_EQ(CAPTION_SIZE - 1, text.size());
    EXPECT_EQ(std::string(118, ' ') + "65/45 30%", text);
}

TEST_F(CaptionText, CaptionCutKeepsDoubleByteCharactersWhole)
{
    snprintf(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%%119d/%%d");
    Config.Taskbar.Fan = 1;
    snprintf(Theme.Label.UnitFan, sizeof Theme.Label.UnitFan, "%s", "\x82\xa0\x82\xa0\x82\xa0");
    // 119 + "/45" = 122 bytes, then " 4" and the characters: byte 127 would be a lead byte.
    const std::string text = Readings(0, 4);
    EXPECT_TRUE(EndsWhole(text.c_str()));
    EXPECT_EQ(126u, text.size());
}

// Counts the texts that reach the window.
struct SETTEXTCOUNTER {
    static WNDPROC original;
    static int count;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SETTEXT)
            ++count;
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
};
WNDPROC SETTEXTCOUNTER::original = nullptr;
int SETTEXTCOUNTER::count = 0;

class Caption : public CaptionText {
protected:
    void SetUp() override
    {
        CaptionText::SetUp();
        window = CreateWindowExA(0, "STATIC", "VARNOK", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
        SETTEXTCOUNTER::count = 0;
        SETTEXTCOUNTER::original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SETTEXTCOUNTER::Procedure)));
        saved = GpuInfo;
        GpuInfo.FullName = "N";
        GpuInfo.BusName = "PCI-E";
        GpuInfo.Memory = 4096;
    }
    void TearDown() override
    {
        DestroyWindow(window);
        GpuInfo = saved;
    }
    std::string WindowText() const
    {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    std::string Title() const
    {
        char text[PANEL_TITLE_SIZE];
        CopyPanelTitle(text, sizeof text);
        return text;
    }
    HWND window = nullptr;
    GPUINFO saved;
};

TEST_F(Caption, IdentityWhenEitherReadingIsMissing)
{
    SetCaptionText(window, nullptr, nullptr, 0, 0);
    EXPECT_EQ("N PCI-E 4096MB", WindowText());
    SetCaptionText(window, Temperatures, Usages, 0, 0);
    SetCaptionText(window, Temperatures, nullptr, 0, 0);
    EXPECT_EQ("N PCI-E 4096MB", WindowText());
    SetCaptionText(window, Temperatures, Usages, 0, 0);
    SetCaptionText(window, nullptr, Usages, 0, 0);
    EXPECT_EQ("N PCI-E 4096MB", WindowText());
}

TEST_F(Caption, ReadingsBecomeTheWindowTextAndTheTitle)
{
    Config.Taskbar.Core = 1;
    Config.Taskbar.Fan = 1;
    SetCaptionText(window, Temperatures, Usages, 512, 40);
    EXPECT_EQ("65\xB0" "C/45\xB0" "C 30% 40%", WindowText());
    EXPECT_EQ(WindowText(), Title());
}

TEST_F(Caption, WindowTextIsSetOnlyWhenItChanges)
{
    SetCaptionText(window, nullptr, nullptr, 0, 0);
    EXPECT_EQ(1, SETTEXTCOUNTER::count);
    SetCaptionText(window, nullptr, nullptr, 0, 0);
    EXPECT_EQ(1, SETTEXTCOUNTER::count);
    SetCaptionText(window, Temperatures, Usages, 0, 0);
    SetCaptionText(window, Temperatures, Usages, 0, 0);
    EXPECT_EQ(2, SETTEXTCOUNTER::count);
    const unsigned int hotter[2] = {66, 45};
    SetCaptionText(window, hotter, Usages, 0, 0);
    EXPECT_EQ(3, SETTEXTCOUNTER::count);
}

// A window text longer than any caption is no match for the cut caption that equals its start.
TEST_F(Caption, LongerWindowTextIsReplaced)
{
    const std::string name(200, 'G');
    GpuInfo.FullName = name.c_str();
    SetWindowTextA(window, (name + " PCI-E 4096MB").c_str());
    SETTEXTCOUNTER::count = 0;
    SetCaptionText(window, nullptr, nullptr, 0, 0);
    EXPECT_EQ(1, SETTEXTCOUNTER::count);
    EXPECT_EQ(name.substr(0, CAPTION_SIZE - 1), WindowText());
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "config/config.h"
#include "config/theme.h"
#include "records.h"
#include "support/syscolors.h"
#include "support/testenv.h"

using configtest::FindValue;
using configtest::KeysInOrder;
using configtest::ExpectSameTheme;
using configtest::SameFont;

namespace {

void ExpectFont(const LOGFONTA& font, LONG height, BYTE italic, const char* face)
{
    LOGFONTA expected = {};
    expected.lfHeight = height;
    expected.lfWeight = 700;
    expected.lfItalic = italic;
    snprintf(expected.lfFaceName, sizeof expected.lfFaceName, "%s", face);
    EXPECT_TRUE(SameFont(expected, font)) << face << " " << height;
}

class ThemeFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.File("VARNOK.VKT");
        memset(&Theme, 0, sizeof Theme);
        SetThemeStartupValues();
        snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", path.c_str());
    }

    void Load(const std::string& contents)
    {
        ASSERT_TRUE(testenv::WriteFile(path, contents));
        LoadTheme();
    }

    testenv::TempDir dir;
    std::string path;
};

void ExpectDefaultIntegersAndTexts()
{
    EXPECT_EQ(2, Theme.Shadow.Offset);
    EXPECT_EQ(1, Theme.Shadow.EnableTitle);
    EXPECT_EQ(1, Theme.Shadow.EnableFrame);
    EXPECT_EQ(1, Theme.Shadow.EnableLabel);
    EXPECT_EQ(1, Theme.Shadow.EnableValue);
    EXPECT_STREQ("Core", Theme.Label.Core);
    EXPECT_STREQ("Ambient", Theme.Label.Ambient);
    EXPECT_STREQ("Cur.", Theme.Label.Current);
    EXPECT_STREQ("Max.", Theme.Label.Maximum);
    EXPECT_STREQ("Ave.", Theme.Label.Average);
    EXPECT_STREQ("Core", Theme.Label.ClockCore);
    EXPECT_STREQ("Memory", Theme.Label.ClockMemory);
    EXPECT_STREQ("Shader", Theme.Label.ClockShader);
    EXPECT_STREQ("Core", Theme.Label.UsageCore);
    EXPECT_STREQ("Memory", Theme.Label.UsageMemory);
    EXPECT_STREQ("Video", Theme.Label.UsageVideo);
    EXPECT_STREQ("Used", Theme.Label.Used);
    EXPECT_STREQ("Fan", Theme.Label.Fan);
    const unsigned char unitTemp[] = {0xB0, 'C', 0};
    EXPECT_EQ(0, memcmp(unitTemp, Theme.Label.UnitTemp, sizeof unitTemp));
    EXPECT_STREQ("MHz", Theme.Label.UnitClock);
    EXPECT_STREQ("%", Theme.Label.UnitUsage);
    EXPECT_STREQ("MB", Theme.Label.UnitUsed);
    EXPECT_STREQ("rpm", Theme.Label.UnitSpeed);
    EXPECT_STREQ("%", Theme.Label.UnitFan);
    EXPECT_EQ(0, Theme.Skin.Enable);
    EXPECT_STREQ("VKSKIN.BMP", Theme.Skin.File);
    EXPECT_EQ(0, Theme.Mask.Mode);
    EXPECT_STREQ("VKMASK.BMP", Theme.Mask.File);
    EXPECT_EQ(1, Theme.Frame.Enable);
    EXPECT_EQ(1, Theme.Unit.Enable);
    EXPECT_STREQ("%3d", Theme.Unit.Format);
    EXPECT_EQ(4, Theme.Unit.Offset);
    EXPECT_EQ(1, Theme.Grid.Enable);
    EXPECT_EQ(1, Theme.Grid.Width);
    for (int i = 0; i < TRACE_COUNT; ++i) {
        EXPECT_EQ(i == TRACE_AMBIENT_TEMP ? 0 : 1, Theme.Trace[i].Enable) << ThemeTraceSection[i];
        EXPECT_EQ(1, Theme.Trace[i].Width) << ThemeTraceSection[i];
    }
}

// Gives every field a value that is neither a default nor a start-up value.
void FillDistinctTheme()
{
    LOGFONTA* fonts[] = {&Theme.Font.Title, &Theme.Font.Frame, &Theme.Font.Label, &Theme.Font.Value, &Theme.Unit.Font};
    int n = 1;
    for (LOGFONTA* font : fonts) {
        font->lfHeight = -n;
        font->lfWidth = n + 1;
        font->lfEscapement = 900 * n;
        font->lfOrientation = -900;
        font->lfWeight = 100 * n;
        font->lfItalic = static_cast<BYTE>(n % 2);
        font->lfUnderline = 1;
        font->lfStrikeOut = static_cast<BYTE>(n % 2);
        font->lfCharSet = 128;
        font->lfOutPrecision = 3;
        font->lfClipPrecision = 2;
        font->lfQuality = 5;
        font->lfPitchAndFamily = 255;
        snprintf(font->lfFaceName, sizeof font->lfFaceName, "Face %d \x82\x6C\x82\x72", n);
        ++n;
    }
    COLORREF* colors[] = {&Theme.Color.Title,  &Theme.Color.Frame,  &Theme.Color.Label, &Theme.Color.Value,
                          &Theme.Shadow.Title, &Theme.Shadow.Frame, &Theme.Shadow.Label, &Theme.Shadow.Value,
                          &Theme.Skin.Color,   &Theme.Mask.Color,   &Theme.Frame.Color, &Theme.Unit.Color,
                          &Theme.Unit.Shadow,  &Theme.Grid.Color};
    for (COLORREF* color : colors)
        *color = RGB(n * 7 % 256, n * 13 % 256, n * 29 % 256), ++n;
    Theme.Shadow.Offset = -3;
    Theme.Shadow.EnableTitle = 0;
    Theme.Shadow.EnableFrame = 2;
    Theme.Shadow.EnableLabel = 0;
    Theme.Shadow.EnableValue = 5;
    char(*labels)[16] = &Theme.Label.Core;
    for (size_t i = 0; i < sizeof Theme.Label / 16; ++i)
        snprintf(labels[i], 16, "L%zu \x89\xB7", i);
    snprintf(Theme.Label.Maximum, sizeof Theme.Label.Maximum, " spaced ");
    Theme.Skin.Enable = 1;
    snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "C:\\skins\\blue skin.png");
    Theme.Mask.Mode = 4;
    snprintf(Theme.Mask.File, sizeof Theme.Mask.File, "C:\\skins\\mask.bmp");
    Theme.Frame.Enable = 0;
    Theme.Unit.Enable = 0;
    snprintf(Theme.Unit.Format, sizeof Theme.Unit.Format, "%%d\xB0");
    Theme.Unit.Offset = 9;
    Theme.Grid.Enable = 0;
    Theme.Grid.Width = 3;
    for (int i = 0; i < TRACE_COUNT; ++i) {
        Theme.Trace[i].Enable = i == TRACE_AMBIENT_TEMP ? 1 : 0;
        Theme.Trace[i].Color = RGB(i, 2 * i, 255 - i);
        Theme.Trace[i].Width = i + 2;
    }
}

}  // namespace

TEST_F(ThemeFile, StartupValuesComeFromTheSystemColoursAndFixedFonts)
{
    ExpectFont(Theme.Font.Title, -16, 1, "Arial");
    ExpectFont(Theme.Font.Frame, -16, 1, "Arial");
    ExpectFont(Theme.Font.Label, -17, 0, "Courier New");
    ExpectFont(Theme.Font.Value, -16, 0, "Arial");
    ExpectFont(Theme.Unit.Font, -11, 0, "Arial");

    // Every system colour distinct, so each field shows which one it took: button text for the
    // texts, button shadow for shadows, frame and grid, button face for the skin background,
    // highlight for the traces.
    testenv::DistinctSysColors colors;
    ASSERT_TRUE(colors.Active());
    SetThemeStartupValues();
    const COLORREF text = colors.Of(COLOR_BTNTEXT);
    const COLORREF shadow = colors.Of(COLOR_BTNSHADOW);
    for (COLORREF color : {Theme.Color.Title, Theme.Color.Frame, Theme.Color.Label, Theme.Color.Value, Theme.Unit.Color})
        EXPECT_EQ(text, color);
    for (COLORREF color : {Theme.Shadow.Title, Theme.Shadow.Frame, Theme.Shadow.Label, Theme.Shadow.Value,
                           Theme.Frame.Color, Theme.Unit.Shadow, Theme.Grid.Color})
        EXPECT_EQ(shadow, color);
    EXPECT_EQ(colors.Of(COLOR_BTNFACE), Theme.Skin.Color);
    EXPECT_EQ(0u, Theme.Mask.Color);
    for (const THEMETRACE& trace : Theme.Trace)
        EXPECT_EQ(colors.Of(COLOR_HIGHLIGHT), trace.Color);
}

TEST_F(ThemeFile, MissingFileGivesDefaultsAndKeepsFontsAndColours)
{
    THEMEDATA startup = Theme;
    LoadTheme();
    ExpectDefaultIntegersAndTexts();
    EXPECT_TRUE(SameFont(startup.Font.Title, Theme.Font.Title));
    EXPECT_TRUE(SameFont(startup.Font.Label, Theme.Font.Label));
    EXPECT_EQ(startup.Color.Title, Theme.Color.Title);
    EXPECT_EQ(startup.Trace[0].Color, Theme.Trace[0].Color);
    EXPECT_FALSE(testenv::FileExists(path)) << "loading must not create the file";
}

TEST_F(ThemeFile, FileWithOnlyTitleColourMixesTheRecord)
{
    FillDistinctTheme();
    THEMEDATA before = Theme;
    Load("[COLOR]\r\nTitle=10,20,30\r\n");
    EXPECT_EQ(RGB(10, 20, 30), Theme.Color.Title);
    ExpectDefaultIntegersAndTexts();
    EXPECT_EQ(before.Color.Frame, Theme.Color.Frame);
    EXPECT_EQ(before.Shadow.Value, Theme.Shadow.Value);
    EXPECT_EQ(before.Skin.Color, Theme.Skin.Color);
    EXPECT_EQ(before.Mask.Color, Theme.Mask.Color);
    EXPECT_EQ(before.Grid.Color, Theme.Grid.Color);
    EXPECT_EQ(before.Unit.Shadow, Theme.Unit.Shadow);
    for (int i = 0; i < TRACE_COUNT; ++i)
        EXPECT_EQ(before.Trace[i].Color, Theme.Trace[i].Color);
    EXPECT_TRUE(SameFont(before.Font.Title, Theme.Font.Title));
    EXPECT_TRUE(SameFont(before.Font.Value, Theme.Font.Value));
    EXPECT_TRUE(SameFont(before.Unit.Font, Theme.Unit.Font));
}

TEST_F(ThemeFile, PartialColourChangesOnlyTheGivenComponents)
{
    Theme.Color.Label = RGB(17, 34, 51);
    Theme.Color.Value = RGB(17, 34, 51);
    Load("[COLOR]\r\nLabel=255\r\nValue=10,20\r\n");
    EXPECT_EQ(RGB(255, 34, 51), Theme.Color.Label);
    EXPECT_EQ(RGB(10, 20, 51), Theme.Color.Value);
}

TEST_F(ThemeFile, EmptyColourAndFontKeepTheirValues)
{
    THEMEDATA before = Theme;
    Load("[COLOR]\r\nTitle=\r\n[FONT]\r\nTitle=\r\n");
    EXPECT_EQ(before.Color.Title, Theme.Color.Title);
    EXPECT_TRUE(SameFont(before.Font.Title, Theme.Font.Title));
}

TEST_F(ThemeFile, FontValueIsReadInFontForm)
{
    Load("[FONT]\r\nLabel=-20,0,0,0,400,1,0,0,128,0,0,0,0,MS Gothic\r\n");
    LOGFONTA expected = {};
    expected.lfHeight = -20;
    expected.lfWeight = 400;
    expected.lfItalic = 1;
    expected.lfCharSet = 128;
    snprintf(expected.lfFaceName, sizeof expected.lfFaceName, "MS Gothic");
    EXPECT_TRUE(SameFont(expected, Theme.Font.Label));
}

TEST_F(ThemeFile, LongFaceNameKeepsOnlyWhatASaveCanGiveBack)
{
    // Cut to 31 bytes, the first face ends in a blank and the second in the lead byte of "温";
    // neither would come back from the file, so both end with the thirty letters.
    const std::string letters(30, 'f');
    Load("[FONT]\r\nTitle=-16,0,0,0,700,0,0,0,0,0,0,0,0," + letters + " tail\r\n"
         "Frame=-16,0,0,0,700,0,0,0,0,0,0,0,0," + letters + "\x89\xB7\r\n");
    EXPECT_EQ(letters, Theme.Font.Title.lfFaceName);
    EXPECT_EQ(letters, Theme.Font.Frame.lfFaceName);
}

TEST_F(ThemeFile, SaveAndLoadReproduceEveryField)
{
    FillDistinctTheme();
    EXPECT_TRUE(SaveTheme());
    THEMEDATA saved = Theme;
    memset(&Theme, 0, sizeof Theme);
    SetThemeStartupValues();
    LoadTheme();
    ExpectSameTheme(saved, Theme);
}

TEST_F(ThemeFile, LongLabelIsCutToFifteenCharacters)
{
    Load("[LABEL]\r\nMaximum=ABCDEFGHIJKLMNOPQRST\r\n");
    EXPECT_STREQ("ABCDEFGHIJKLMNO", Theme.Label.Maximum);
}

TEST_F(ThemeFile, SaveWritesEveryKeyInFileOrderAndForm)
{
    LoadTheme();
    Theme.Color.Title = RGB(255, 0, 128);
    EXPECT_TRUE(SaveTheme());
    const std::string contents = testenv::ReadFile(path);
    auto order = KeysInOrder(contents);
    std::vector<std::pair<std::string, std::string>> expected = {
        {"FONT", "Title"},          {"FONT", "Frame"},         {"FONT", "Label"},         {"FONT", "Value"},
        {"COLOR", "Title"},         {"COLOR", "Frame"},        {"COLOR", "Label"},        {"COLOR", "Value"},
        {"SHADOW", "Offset"},       {"SHADOW", "EnableTitle"}, {"SHADOW", "EnableFrame"}, {"SHADOW", "EnableLabel"},
        {"SHADOW", "EnableValue"},  {"SHADOW", "Title"},       {"SHADOW", "Frame"},       {"SHADOW", "Label"},
        {"SHADOW", "Value"},        {"LABEL", "Core"},         {"LABEL", "Ambient"},      {"LABEL", "Current"},
        {"LABEL", "Maximum"},       {"LABEL", "Average"},      {"LABEL", "ClockCore"},    {"LABEL", "ClockMemory"},
        {"LABEL", "ClockShader"},   {"LABEL", "UsageCore"},    {"LABEL", "UsageMemory"},  {"LABEL", "UsageVideo"},
        {"LABEL", "Used"},          {"LABEL", "Fan"},          {"LABEL", "UnitTemp"},     {"LABEL", "UnitClock"},
        {"LABEL", "UnitUsage"},     {"LABEL", "UnitUsed"},     {"LABEL", "UnitSpeed"},    {"LABEL", "UnitFan"},
        {"SKIN", "Enable"},         {"SKIN", "File"},          {"SKIN", "Color"},         {"MASK", "Mode"},
        {"MASK", "Color"},          {"MASK", "File"},          {"FRAME", "Enable"},       {"FRAME", "Color"},
        {"UNIT", "Enable"},         {"UNIT", "Color"},         {"UNIT", "Shadow"},        {"UNIT", "Font"},
        {"UNIT", "Format"},         {"UNIT", "Offset"},        {"GRID", "Enable"},        {"GRID", "Color"},
        {"GRID", "Width"},
    };
    for (int i = 0; i < TRACE_COUNT; ++i)
        for (const char* key : {"Enable", "Color", "Width"})
            expected.emplace_back(ThemeTraceSection[i], key);
    EXPECT_EQ(expected, order);

    std::string value;
    ASSERT_TRUE(FindValue(contents, "FONT", "Title", value));
    EXPECT_EQ("-16,0,0,0,700,1,0,0,0,0,0,0,0,Arial", value);
    ASSERT_TRUE(FindValue(contents, "COLOR", "Title", value));
    EXPECT_EQ("255,0,128", value);
    ASSERT_TRUE(FindValue(contents, "SHADOW", "Offset", value));
    EXPECT_EQ("2", value);
    ASSERT_TRUE(FindValue(contents, "LABEL", "UnitTemp", value));
    EXPECT_EQ("\xB0" "C", value);
    ASSERT_TRUE(FindValue(contents, "AMBIENT TEMP", "Enable", value));
    EXPECT_EQ("0", value);
}

TEST_F(ThemeFile, ForeignKeysSurviveASave)
{
    Load("[LABEL]\r\nCore=GPU\r\nComment=mine\r\n[EXTRA]\r\nAuthor=someone\r\n");
    EXPECT_TRUE(SaveTheme());
    const std::string contents = testenv::ReadFile(path);
    std::string value;
    ASSERT_TRUE(FindValue(contents, "LABEL", "Comment", value));
    EXPECT_EQ("mine", value);
    ASSERT_TRUE(FindValue(contents, "EXTRA", "Author", value));
    EXPECT_EQ("someone", value);
    ASSERT_TRUE(FindValue(contents, "LABEL", "Core", value));
    EXPECT_EQ("GPU", value);
}

TEST_F(ThemeFile, SaveIntoAMissingFolderReportsFailure)
{
    const std::string missing = dir.File("gone\\VARNOK.VKT");
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", missing.c_str());
    EXPECT_FALSE(SaveTheme());
    EXPECT_FALSE(testenv::FileExists(missing));
}

// A theme the profile functions cannot open still leaves a whole theme at start-up: labels, traces
// and frames with their defaults, not empty and off.
TEST_F(ThemeFile, UnreadablePathAtStartUpLeavesTheDefaults)
{
    memset(&Theme, 0, sizeof Theme);
    SetThemeStartupValues();
    const std::string tooLong = dir.Path() + "\\" + std::string(300, 't') + ".VKT";
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", tooLong.c_str());
    LoadTheme();
    EXPECT_STREQ("Core", Theme.Label.Core);
    EXPECT_STREQ("MHz", Theme.Label.UnitClock);
    EXPECT_EQ(1, Theme.Frame.Enable);
    EXPECT_EQ(1, Theme.Trace[TRACE_CORE_TEMP].Enable);
    EXPECT_EQ(0, Theme.Trace[TRACE_AMBIENT_TEMP].Enable);
    EXPECT_EQ(1, Theme.Trace[TRACE_FAN_USAGE].Width);
    EXPECT_EQ(2, Theme.Shadow.Offset);
}

TEST_F(ThemeFile, EmptyThemePathReadsAndWritesNothing)
{
    FillDistinctTheme();
    THEMEDATA before = Theme;
    Config.Theme.File[0] = '\0';
    LoadTheme();
    EXPECT_FALSE(SaveTheme());
    ExpectSameTheme(before, Theme);
    EXPECT_FALSE(testenv::FileExists(path));
}

#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>

#include "base/textforms.h"

namespace {

// A font followed by bytes that no parser may touch.
struct GuardedFont {
    LOGFONTA font;
    unsigned char guard[64];

    GuardedFont()
    {
        memset(&font, 0, sizeof font);
        memset(guard, 0xCC, sizeof guard);
    }
    bool GuardIntact() const
    {
        for (unsigned char byte : guard)
            if (byte != 0xCC)
                return false;
        return true;
    }
};

}  // namespace

TEST(ProfileTextNumbers, StopsAtTheFirstUnreadableNumber)
{
    long values[4] = {-1, -1, -1, -1};
    EXPECT_EQ(2, ParseNumberList("5, 6,x,8", values, 4));
    EXPECT_EQ(5, values[0]);
    EXPECT_EQ(6, values[1]);
    EXPECT_EQ(-1, values[2]);
    EXPECT_EQ(-1, values[3]);
    EXPECT_EQ(1, ParseNumberList("7 ,8", values, 4));
    EXPECT_EQ(0, ParseNumberList("", values, 4));
    EXPECT_EQ(0, ParseNumberList(nullptr, values, 4));
}

TEST(ProfileTextNumbers, NeverReadsMoreThanAsked)
{
    long values[3] = {0, 0, 99};
    EXPECT_EQ(2, ParseNumberList("1,2,3,4", values, 2));
    EXPECT_EQ(99, values[2]);
}

TEST(ProfileTextNumbers, HugeNumbersAreHeldAtTheRangeEnds)
{
    long values[3] = {};
    EXPECT_EQ(3, ParseNumberList("99999999999999999999,-99999999999999999999,+12", values, 3));
    EXPECT_EQ(2147483647L, values[0]);
    EXPECT_EQ(-2147483647L - 1, values[1]);
    EXPECT_EQ(12, values[2]);
}

TEST(ProfileTextColor, ComponentsKeepTheirLowByteAndTheTopByteIsCleared)
{
    COLORREF color = 0xFF000000 | RGB(1, 2, 3);
    ParseColorText("256,-1,300", &color);
    EXPECT_EQ(RGB(0, 255, 44), color);
}

TEST(ProfileTextFont, ReadsAllFieldsAndTheFaceName)
{
    GuardedFont g;
    ParseFontText("-16,0,0,0,700,1,0,0,128,0,0,0,0,Courier New", &g.font);
    EXPECT_EQ(-16, g.font.lfHeight);
    EXPECT_EQ(700, g.font.lfWeight);
    EXPECT_EQ(1, g.font.lfItalic);
    EXPECT_EQ(128, g.font.lfCharSet);
    EXPECT_EQ(0, g.font.lfWidth);
    EXPECT_EQ(0, g.font.lfEscapement);
    EXPECT_EQ(0, g.font.lfOrientation);
    EXPECT_EQ(0, g.font.lfUnderline);
    EXPECT_EQ(0, g.font.lfStrikeOut);
    EXPECT_EQ(0, g.font.lfOutPrecision);
    EXPECT_EQ(0, g.font.lfClipPrecision);
    EXPECT_EQ(0, g.font.lfQuality);
    EXPECT_EQ(0, g.font.lfPitchAndFamily);
    EXPECT_STREQ("Courier New", g.font.lfFaceName);
    EXPECT_TRUE(g.GuardIntact());
}

TEST(ProfileTextFont, FaceIsKeptWithoutTextAfterTheLastComma)
{
    GuardedFont g;
    strcpy(g.font.lfFaceName, "Arial");
    ParseFontText("-12,0,0,0,400,", &g.font);
    EXPECT_STREQ("Arial", g.font.lfFaceName);
    EXPECT_EQ(400, g.font.lfWeight);
    ParseFontText("-20", &g.font);
    EXPECT_EQ(-20, g.font.lfHeight);
    EXPECT_STREQ("Arial", g.font.lfFaceName);
}

// The face name is found after the last comma, so a face holding a comma keeps only its last part.
TEST(ProfileTextFont, FaceWithCommaKeepsItsLastPart)
{
    GuardedFont g;
    ParseFontText("-16,0,0,0,400,0,0,0,0,0,0,0,0,Face, Bold", &g.font);
    EXPECT_EQ(400, g.font.lfWeight);
    EXPECT_STREQ(" Bold", g.font.lfFaceName);
}

TEST(ProfileTextFont, CutNeverSplitsADoubleByteCharacter)
{
    GuardedFont g;
    // 30 single bytes leave room for one byte only: the next character, two bytes, must go whole.
    std::string face = std::string(30, 'A') + "表示";
    ParseFontText(("0,0,0,0,0,0,0,0,128,0,0,0,0," + face).c_str(), &g.font);
    EXPECT_EQ(std::string(30, 'A'), g.font.lfFaceName);
    face = std::string(29, 'A') + "表示";
    ParseFontText(("0," + face).c_str(), &g.font);
    EXPECT_EQ(std::string(29, 'A') + "表", g.font.lfFaceName);
    EXPECT_TRUE(g.GuardIntact());
}

TEST(ProfileTextFont, WrittenFormReadsBackToTheSameFields)
{
    LOGFONTA font = {};
    font.lfHeight = -16;
    font.lfWidth = 7;
    font.lfEscapement = 900;
    font.lfOrientation = -900;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfUnderline = 255;
    font.lfStrikeOut = 1;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 5;
    font.lfPitchAndFamily = 49;
    strcpy(font.lfFaceName, "ＭＳ Ｐゴシック");
    char text[256];
    FormatFontText(text, sizeof text, &font);
    EXPECT_STREQ("-16,7,900,-900,700,1,255,1,128,3,2,5,49,ＭＳ Ｐゴシック", text);
    LOGFONTA back;
    memset(&back, 0x55, sizeof back);
    ParseFontText(text, &back);
    EXPECT_EQ(0, memcmp(&font, &back, sizeof font));
}

TEST(ProfileTextFont, UnterminatedFaceIsWrittenWithinItsField)
{
    LOGFONTA font = {};
    memset(font.lfFaceName, 'Z', sizeof font.lfFaceName);
    char text[256];
    FormatFontText(text, sizeof text, &font);
    EXPECT_STREQ(("0,0,0,0,0,0,0,0,0,0,0,0,0," + std::string(32, 'Z')).c_str(), text);
}

TEST(ProfileTextFont, ShortBufferIsCutAndTerminated)
{
    LOGFONTA font = {};
    strcpy(font.lfFaceName, "Arial");
    char text[16];
    memset(text, 'G', sizeof text);
    EXPECT_EQ(9, FormatFontText(text, 10, &font));
    EXPECT_STREQ("0,0,0,0,0", text);
    EXPECT_EQ('G', text[10]);
}

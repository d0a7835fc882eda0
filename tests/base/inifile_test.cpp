#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "base/inifile.h"
#include "support/testenv.h"

namespace {

class IniFile : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, ini.Open(path.c_str())); }

    std::string Contents() const { return testenv::ReadFile(path); }
    bool HasLine(const std::string& line) const { return Contents().find(line + "\r\n") != std::string::npos; }

    testenv::TempDir dir;
    std::string path = dir.File("test.ini");
    INIFILE ini;
};

}  // namespace

using IniFileBinding = IniFile;

TEST_F(IniFileBinding, EmptyPathBindsNothingAndEveryOperationAnswersZero)
{
    EXPECT_EQ(0, ini.Open(""));
    unsigned char byte = 7;
    int number = 7;
    double real = 7.0;
    char text[8] = "keep";
    COLORREF color = RGB(1, 2, 3);
    RECT rect = {1, 2, 3, 4};
    LOGFONTA font = {};
    font.lfHeight = 9;
    EXPECT_EQ(0, ini.Read("S", "K", static_cast<unsigned char>(1), &byte));
    EXPECT_EQ(0, ini.Read("S", "K", 1, &number));
    EXPECT_EQ(0, ini.Read("S", "K", 1.0, &real));
    EXPECT_EQ(0, ini.Read("S", "K", "default", text, sizeof text));
    EXPECT_EQ(0, ini.Read("S", "K", &color));
    EXPECT_EQ(0, ini.Read("S", "K", &rect));
    EXPECT_EQ(0, ini.Read("S", "K", &font));
    EXPECT_EQ(7, byte);
    EXPECT_EQ(7, number);
    EXPECT_EQ(7.0, real);
    EXPECT_STREQ("keep", text);
    EXPECT_EQ(RGB(1, 2, 3), color);
    EXPECT_EQ(4, rect.bottom);
    EXPECT_EQ(9, font.lfHeight);
    EXPECT_EQ(0, ini.Write("S", "K", 1));
    EXPECT_EQ(0, ini.Write("S", "K", "text"));
    EXPECT_EQ(0, ini.Write("S", "K", &color));
    EXPECT_EQ(0, ini.Create("S"));
    EXPECT_FALSE(testenv::FileExists(path));
}

TEST_F(IniFileBinding, NullPathAndCloseUnbind)
{
    int number = 5;
    EXPECT_EQ(0, ini.Open(nullptr));
    EXPECT_EQ(0, ini.Read("S", "K", 1, &number));
    ASSERT_EQ(1, ini.Open(path.c_str()));
    ini.Close();
    EXPECT_EQ(0, ini.Write("S", "K", 1));
    EXPECT_EQ(5, number);
    EXPECT_FALSE(testenv::FileExists(path));
}

TEST_F(IniFileBinding, CopiesHoldTheirOwnPath)
{
    INIFILE copy(ini);
    INIFILE assigned;
    assigned = ini;
    ini.Close();
    EXPECT_EQ(1, copy.Write("S", "A", 1));
    EXPECT_EQ(1, assigned.Write("S", "B", 2));
    EXPECT_TRUE(HasLine("A=1"));
    EXPECT_TRUE(HasLine("B=2"));
    assigned = assigned;
    EXPECT_EQ(1, assigned.Write("S", "C", 3));
}

using IniFileIntegers = IniFile;

TEST_F(IniFileIntegers, HexadecimalFormsForByteWordAndDword)
{
    EXPECT_EQ(1, ini.Write("S", "Byte", static_cast<unsigned char>(10)));
    EXPECT_EQ(1, ini.Write("S", "Word", static_cast<unsigned short>(255)));
    EXPECT_EQ(1, ini.Write("S", "Dword", 16711935UL));
    EXPECT_EQ(1, ini.Write("S", "Top", 0xFFFFFFFFUL));
    EXPECT_TRUE(HasLine("Byte=0x0a"));
    EXPECT_TRUE(HasLine("Word=0x00ff"));
    EXPECT_TRUE(HasLine("Dword=0x00ff00ff"));
    EXPECT_TRUE(HasLine("Top=0xffffffff"));
    unsigned char byte = 0;
    unsigned short word = 0;
    unsigned long dword = 0;
    EXPECT_EQ(1, ini.Read("S", "Byte", static_cast<unsigned char>(1), &byte));
    EXPECT_EQ(1, ini.Read("S", "Word", static_cast<unsigned short>(1), &word));
    EXPECT_EQ(1, ini.Read("S", "Dword", 1UL, &dword));
    EXPECT_EQ(10, byte);
    EXPECT_EQ(255, word);
    EXPECT_EQ(16711935UL, dword);
    EXPECT_EQ(1, ini.Read("S", "Top", 1UL, &dword));
    EXPECT_EQ(0xFFFFFFFFUL, dword);
}

TEST_F(IniFileIntegers, DecimalFormsForSignedAndUnsigned)
{
    EXPECT_EQ(1, ini.Write("S", "Short", static_cast<short>(-12)));
    EXPECT_EQ(1, ini.Write("S", "Int", -1));
    EXPECT_EQ(1, ini.Write("S", "Unsigned", 4000000000u));
    EXPECT_EQ(1, ini.Write("S", "Long", -7L));
    EXPECT_TRUE(HasLine("Short=-12"));
    EXPECT_TRUE(HasLine("Int=-1"));
    EXPECT_TRUE(HasLine("Unsigned=4000000000"));
    EXPECT_TRUE(HasLine("Long=-7"));
    short shortValue = 0;
    int intValue = 0;
    unsigned int unsignedValue = 0;
    long longValue = 0;
    EXPECT_EQ(1, ini.Read("S", "Short", static_cast<short>(0), &shortValue));
    EXPECT_EQ(1, ini.Read("S", "Int", 0, &intValue));
    EXPECT_EQ(1, ini.Read("S", "Unsigned", 0u, &unsignedValue));
    EXPECT_EQ(1, ini.Read("S", "Long", 0L, &longValue));
    EXPECT_EQ(-12, shortValue);
    EXPECT_EQ(-1, intValue);
    EXPECT_EQ(4000000000u, unsignedValue);
    EXPECT_EQ(-7L, longValue);
}

TEST_F(IniFileIntegers, MissingKeysGiveTheirDefaults)
{
    unsigned char byte = 0;
    short shortValue = 0;
    unsigned short word = 0;
    int intValue = 0;
    unsigned int unsignedValue = 0;
    long longValue = 0;
    unsigned long dword = 0;
    EXPECT_EQ(1, ini.Read("S", "None", static_cast<unsigned char>(200), &byte));
    EXPECT_EQ(1, ini.Read("S", "None", static_cast<short>(-300), &shortValue));
    EXPECT_EQ(1, ini.Read("S", "None", static_cast<unsigned short>(60000), &word));
    EXPECT_EQ(1, ini.Read("S", "None", -5, &intValue));
    EXPECT_EQ(1, ini.Read("S", "None", 3000000000u, &unsignedValue));
    EXPECT_EQ(1, ini.Read("S", "None", -9L, &longValue));
    EXPECT_EQ(1, ini.Read("S", "None", 0xDEADBEEFUL, &dword));
    EXPECT_EQ(200, byte);
    EXPECT_EQ(-300, shortValue);
    EXPECT_EQ(60000, word);
    EXPECT_EQ(-5, intValue);
    EXPECT_EQ(3000000000u, unsignedValue);
    EXPECT_EQ(-9L, longValue);
    EXPECT_EQ(0xDEADBEEFUL, dword);
}

TEST_F(IniFileIntegers, NarrowReadsKeepTheLowBitsAndTextWithoutDigitsGivesZero)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[S]\r\nWide=300\r\nWord=0x12345\r\nWords=abc\r\nEmpty=\r\n"));
    unsigned char byte = 0;
    unsigned short word = 0;
    int intValue = 9;
    EXPECT_EQ(1, ini.Read("S", "Wide", static_cast<unsigned char>(0), &byte));
    EXPECT_EQ(44, byte);
    EXPECT_EQ(1, ini.Read("S", "Word", static_cast<unsigned short>(0), &word));
    EXPECT_EQ(0x2345, word);
    EXPECT_EQ(1, ini.Read("S", "Words", 9, &intValue));
    EXPECT_EQ(0, intValue);
    EXPECT_EQ(1, ini.Read("S", "Empty", 9, &intValue));
    EXPECT_EQ(9, intValue);
}

using IniFileFloats = IniFile;

TEST_F(IniFileFloats, WrittenWithSixDecimalsAndReadBack)
{
    EXPECT_EQ(1, ini.Write("S", "Float", 1.5f));
    EXPECT_EQ(1, ini.Write("S", "Double", 2.25));
    EXPECT_TRUE(HasLine("Float=1.500000"));
    EXPECT_TRUE(HasLine("Double=2.250000"));
    float single = 0;
    double wide = 0;
    EXPECT_EQ(1, ini.Read("S", "Float", 0.0f, &single));
    EXPECT_EQ(1, ini.Read("S", "Double", 0.0, &wide));
    EXPECT_EQ(1.5f, single);
    EXPECT_EQ(2.25, wide);
}

TEST_F(IniFileFloats, HugeValueKeepsEveryDigit)
{
    EXPECT_EQ(1, ini.Write("S", "Huge", -1e300));
    double wide = 0;
    EXPECT_EQ(1, ini.Read("S", "Huge", 0.0, &wide));
    EXPECT_EQ(-1e300, wide);
}

TEST_F(IniFileFloats, MissingGivesDefaultAndTextTakesItsLeadingNumber)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[S]\r\nWords=abc\r\nMixed=3.5xyz\r\nEmpty=\r\n"));
    double wide = 0;
    float single = 0;
    EXPECT_EQ(1, ini.Read("S", "None", 8.5, &wide));
    EXPECT_EQ(8.5, wide);
    EXPECT_EQ(1, ini.Read("S", "Empty", 0.25f, &single));
    EXPECT_EQ(0.25f, single);
    EXPECT_EQ(1, ini.Read("S", "Words", 8.5, &wide));
    EXPECT_EQ(0.0, wide);
    EXPECT_EQ(1, ini.Read("S", "Mixed", 8.5, &wide));
    EXPECT_EQ(3.5, wide);
}

using IniFileTexts = IniFile;

TEST_F(IniFileTexts, CallerFormatAndPlainText)
{
    EXPECT_EQ(1, ini.Write("S", "Count", "%lu items", 5UL));
    EXPECT_EQ(1, ini.Write("S", "Name", "ＭＳ ゴシック"));
    EXPECT_TRUE(HasLine("Count=5 items"));
    EXPECT_TRUE(HasLine("Name=ＭＳ ゴシック"));
    char text[64];
    EXPECT_EQ(1, ini.Read("S", "Name", "x", text, sizeof text));
    EXPECT_STREQ("ＭＳ ゴシック", text);
    EXPECT_EQ(1, ini.Read("S", "None", "fallback", text, sizeof text));
    EXPECT_STREQ("fallback", text);
    EXPECT_EQ(1, ini.Read("S", "None", nullptr, text, sizeof text));
    EXPECT_STREQ("", text);
}

TEST_F(IniFileTexts, ReadIsCutToTheBuffer)
{
    EXPECT_EQ(1, ini.Write("S", "Long", "abcdefghij"));
    char text[8];
    memset(text, 'G', sizeof text);
    EXPECT_EQ(1, ini.Read("S", "Long", "", text, 5));
    EXPECT_STREQ("abcd", text);
    EXPECT_EQ('G', text[5]);
}

TEST_F(IniFileTexts, KeysAndSectionsIgnoreLetterCaseAndNewKeysGoToTheirSection)
{
    EXPECT_EQ(1, ini.Write("First", "A", 1));
    EXPECT_EQ(1, ini.Write("Second", "B", 2));
    EXPECT_EQ(1, ini.Write("FIRST", "c", 3));
    int value = 0;
    EXPECT_EQ(1, ini.Read("first", "C", 0, &value));
    EXPECT_EQ(3, value);
    std::string contents = Contents();
    EXPECT_LT(contents.find("c=3"), contents.find("[Second]"));
}

using IniFileShapes = IniFile;

TEST_F(IniFileShapes, ColorRectAndFontRoundTrip)
{
    COLORREF color = RGB(255, 0, 128);
    RECT rect = {0, 0, 120, 40};
    LOGFONTA font = {};
    font.lfHeight = -16;
    font.lfWeight = 700;
    font.lfItalic = 1;
    strcpy(font.lfFaceName, "Arial");
    EXPECT_EQ(1, ini.Write("S", "Color", &color));
    EXPECT_EQ(1, ini.Write("S", "Rect", &rect));
    EXPECT_EQ(1, ini.Write("S", "Font", &font));
    EXPECT_TRUE(HasLine("Color=255,0,128"));
    EXPECT_TRUE(HasLine("Rect=0,0,120,40"));
    EXPECT_TRUE(HasLine("Font=-16,0,0,0,700,1,0,0,0,0,0,0,0,Arial"));
    COLORREF colorBack = 0;
    RECT rectBack = {};
    LOGFONTA fontBack = {};
    EXPECT_EQ(1, ini.Read("S", "Color", &colorBack));
    EXPECT_EQ(1, ini.Read("S", "Rect", &rectBack));
    EXPECT_EQ(1, ini.Read("S", "Font", &fontBack));
    EXPECT_EQ(color, colorBack);
    EXPECT_EQ(0, memcmp(&rect, &rectBack, sizeof rect));
    EXPECT_EQ(0, memcmp(&font, &fontBack, sizeof font));
}

TEST_F(IniFileShapes, PartialValuesChangeOnlyTheirLeadingFields)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[S]\r\nColor=10,20\r\nRect=5\r\nFont=-16,0,0,0,700\r\n"));
    COLORREF color = RGB(17, 34, 51);
    RECT rect = {1, 2, 3, 4};
    LOGFONTA font = {};
    font.lfCharSet = 128;
    strcpy(font.lfFaceName, "Arial");
    EXPECT_EQ(1, ini.Read("S", "Color", &color));
    EXPECT_EQ(1, ini.Read("S", "Rect", &rect));
    EXPECT_EQ(1, ini.Read("S", "Font", &font));
    EXPECT_EQ(RGB(10, 20, 51), color);
    EXPECT_EQ(5, rect.left);
    EXPECT_EQ(2, rect.top);
    EXPECT_EQ(4, rect.bottom);
    EXPECT_EQ(-16, font.lfHeight);
    EXPECT_EQ(700, font.lfWeight);
    EXPECT_EQ(128, font.lfCharSet);
    EXPECT_STREQ("700", font.lfFaceName);
}

TEST_F(IniFileShapes, MissingOrEmptyValuesAnswerZeroAndChangeNothing)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[S]\r\nColor=\r\n"));
    COLORREF color = RGB(17, 34, 51);
    RECT rect = {1, 2, 3, 4};
    LOGFONTA font = {};
    font.lfHeight = 12;
    EXPECT_EQ(0, ini.Read("S", "Color", &color));
    EXPECT_EQ(0, ini.Read("S", "Rect", &rect));
    EXPECT_EQ(0, ini.Read("Other", "Font", &font));
    EXPECT_EQ(RGB(17, 34, 51), color);
    EXPECT_EQ(3, rect.right);
    EXPECT_EQ(12, font.lfHeight);
}

using IniFileCreate = IniFile;

TEST_F(IniFileCreate, EmptiesTheSectionAndKeepsItsHeaderAndOtherSections)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[Keep]\r\nK=1\r\n[S]\r\nA=1\r\nB=2\r\nC=3\r\n[After]\r\nZ=9\r\n"));
    EXPECT_EQ(1, ini.Create("S"));
    std::string contents = Contents();
    EXPECT_NE(std::string::npos, contents.find("[S]"));
    EXPECT_EQ(std::string::npos, contents.find("A=1"));
    EXPECT_EQ(std::string::npos, contents.find("B=2"));
    EXPECT_EQ(std::string::npos, contents.find("C=3"));
    EXPECT_TRUE(HasLine("K=1"));
    EXPECT_TRUE(HasLine("Z=9"));
    int value = 0;
    EXPECT_EQ(1, ini.Read("S", "A", -1, &value));
    EXPECT_EQ(-1, value);
}

TEST_F(IniFileCreate, MissingSectionLeavesTheRestOfTheFileAlone)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[Other]\r\nK=1\r\n"));
    EXPECT_EQ(1, ini.Create("Fresh"));
    EXPECT_TRUE(HasLine("K=1"));
    int value = 0;
    EXPECT_EQ(1, ini.Read("Fresh", "K", -1, &value));
    EXPECT_EQ(-1, value);
}

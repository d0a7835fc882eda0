#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "base/inifile.h"
#include "support/testenv.h"

namespace {

class IniFileBadInput : public testing::Test {
protected:
    testenv::TempDir dir;
    std::string path = dir.File("bad.ini");
    INIFILE ini;
};

// A buffer with bytes after its end that no read may touch.
template <size_t Size>
struct Guarded {
    char buffer[Size];
    unsigned char guard[64];

    Guarded() { memset(guard, 0xCC, sizeof guard); }
    bool GuardIntact() const
    {
        for (unsigned char byte : guard)
            if (byte != 0xCC)
                return false;
        return true;
    }
};

struct GuardedFont {
    LOGFONTA font = {};
    unsigned char guard[64];

    GuardedFont() { memset(guard, 0xCC, sizeof guard); }
    bool GuardIntact() const
    {
        for (unsigned char byte : guard)
            if (byte != 0xCC)
                return false;
        return true;
    }
};

}  // namespace

TEST_F(IniFileBadInput, VeryLongValuesAreCutToEveryBuffer)
{
    std::string digits(10000, '7');
    std::string file = "[S]\r\nText=" + std::string(10000, 'x') + "\r\nColor=" + digits + "\r\nRect=" + digits +
                       "\r\nFloat=" + digits + "\r\nInt=" + digits + "\r\nFont=1,2,3," + std::string(10000, 'F') +
                       "\r\n";
    ASSERT_TRUE(testenv::WriteFile(path, file));
    ASSERT_EQ(1, ini.Open(path.c_str()));

    Guarded<64> text;
    EXPECT_EQ(1, ini.Read("S", "Text", "", text.buffer, sizeof text.buffer));
    EXPECT_EQ(std::string(63, 'x'), text.buffer);
    EXPECT_TRUE(text.GuardIntact());

    COLORREF color = 0;
    EXPECT_EQ(1, ini.Read("S", "Color", &color));
    EXPECT_EQ(RGB(255, 0, 0), color) << "a number beyond range keeps the low byte of the largest value";
    RECT rect = {1, 2, 3, 4};
    EXPECT_EQ(1, ini.Read("S", "Rect", &rect));
    EXPECT_EQ(2147483647L, rect.left);
    EXPECT_EQ(2, rect.top);
    double wide = 0;
    EXPECT_EQ(1, ini.Read("S", "Float", 0.0, &wide));
    EXPECT_GT(wide, 1e300);
    int number = 0;
    EXPECT_EQ(1, ini.Read("S", "Int", 0, &number));

    GuardedFont font;
    EXPECT_EQ(1, ini.Read("S", "Font", &font.font));
    EXPECT_EQ(1, font.font.lfHeight);
    EXPECT_EQ(3, font.font.lfEscapement);
    EXPECT_EQ(std::string(31, 'F'), font.font.lfFaceName);
    EXPECT_TRUE(font.GuardIntact());
}

TEST_F(IniFileBadInput, FontWithTooManyNumbersNegativeBytesAndLongFace)
{
    ASSERT_TRUE(testenv::WriteFile(
        path, "[S]\r\nFont=-16,0,0,0,700,-1,-2,300,-128,1,2,3,4,5,6,7," + std::string(40, 'N') + "\r\n"));
    ASSERT_EQ(1, ini.Open(path.c_str()));
    GuardedFont font;
    EXPECT_EQ(1, ini.Read("S", "Font", &font.font));
    EXPECT_EQ(-16, font.font.lfHeight);
    EXPECT_EQ(255, font.font.lfItalic);
    EXPECT_EQ(254, font.font.lfUnderline);
    EXPECT_EQ(44, font.font.lfStrikeOut);
    EXPECT_EQ(128, font.font.lfCharSet);
    EXPECT_EQ(4, font.font.lfPitchAndFamily);
    EXPECT_EQ(std::string(31, 'N'), font.font.lfFaceName);
    EXPECT_TRUE(font.GuardIntact());
}

TEST_F(IniFileBadInput, BinaryBytesReadWithoutHarm)
{
    std::string junk = "[S]\r\nK=";
    for (int i = 1; i < 256; ++i)
        if (i != '\r' && i != '\n')
            junk += static_cast<char>(i);
    junk += std::string("\r\n\xFF\xFE[\0\0\x01]\r\nZ", 12) + std::string(3000, '\0') + "\r\n";
    ASSERT_TRUE(testenv::WriteFile(path, junk));
    ASSERT_EQ(1, ini.Open(path.c_str()));
    Guarded<300> text;
    EXPECT_EQ(1, ini.Read("S", "K", "", text.buffer, sizeof text.buffer));
    EXPECT_TRUE(text.GuardIntact());
    COLORREF color = RGB(1, 2, 3);
    ini.Read("S", "K", &color);
    GuardedFont font;
    ini.Read("S", "K", &font.font);
    EXPECT_TRUE(font.GuardIntact());
    int number = 5;
    EXPECT_EQ(1, ini.Read("S", "K", 5, &number));
}

TEST_F(IniFileBadInput, MissingFileAndSectionGiveDefaults)
{
    ASSERT_EQ(1, ini.Open(dir.File("absent.ini").c_str()));
    int number = 0;
    char text[16];
    COLORREF color = RGB(9, 9, 9);
    EXPECT_EQ(1, ini.Read("Nowhere", "K", 42, &number));
    EXPECT_EQ(42, number);
    EXPECT_EQ(1, ini.Read("Nowhere", "K", "dflt", text, sizeof text));
    EXPECT_STREQ("dflt", text);
    EXPECT_EQ(0, ini.Read("Nowhere", "K", &color));
    EXPECT_EQ(RGB(9, 9, 9), color);
    EXPECT_FALSE(testenv::FileExists(dir.File("absent.ini")));
}

TEST_F(IniFileBadInput, DirectoryAsFileReadsDefaultsAndRefusesWrites)
{
    std::string folder = dir.File("folder.ini");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_EQ(1, ini.Open(folder.c_str()));
    int number = 0;
    EXPECT_EQ(1, ini.Read("S", "K", 42, &number));
    EXPECT_EQ(42, number);
    EXPECT_EQ(0, ini.Write("S", "K", 1));
    EXPECT_EQ(0, ini.Write("S", "K", "text"));
    EXPECT_EQ(0, ini.Create("S"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(IniFileBadInput, WriteIntoMissingDirectoryAnswersZero)
{
    ASSERT_EQ(1, ini.Open(dir.File("no-such-dir\\x.ini").c_str()));
    EXPECT_EQ(0, ini.Write("S", "K", 1));
    EXPECT_EQ(0, ini.Write("S", "K", 1.5));
    EXPECT_FALSE(testenv::FileExists(dir.File("no-such-dir")));
}

// Paths are held in 2048-byte buffers elsewhere in the program; the profile functions hold
// MAX_PATH characters, and Wine overruns its buffer on longer bare names.
TEST_F(IniFileBadInput, PathsTooLongForTheProfileFunctionsAreRefused)
{
    int number = 3;
    for (size_t length : {size_t(2047), size_t(2048), size_t(MAX_PATH)}) {
        std::string longPath = dir.Path() + "\\";
        longPath += std::string(length - longPath.size(), 'p');
        ASSERT_EQ(length, longPath.size());
        EXPECT_EQ(0, ini.Open(longPath.c_str())) << length;
        EXPECT_EQ(0, ini.Read("S", "K", 1, &number));
        EXPECT_EQ(0, ini.Write("S", "K", 1));
    }
    EXPECT_EQ(0, ini.Open(std::string(2047, 'b').c_str()));
    EXPECT_EQ(0, ini.Open(std::string(250, 'b').c_str()));
    EXPECT_EQ(3, number);
    ASSERT_EQ(1, ini.Open(path.c_str()));
    EXPECT_EQ(0, ini.Open(std::string(2048, 'b').c_str()));
    EXPECT_EQ(0, ini.Write("S", "K", 1)) << "a refused path leaves nothing bound";
}

TEST_F(IniFileBadInput, NullSectionKeyTextOrOutputTouchNothing)
{
    ASSERT_TRUE(testenv::WriteFile(path, "[S]\r\nK=1\r\n"));
    ASSERT_EQ(1, ini.Open(path.c_str()));
    EXPECT_EQ(0, ini.Write("S", "K", static_cast<const char*>(nullptr)));
    EXPECT_EQ(0, ini.Write("S", nullptr, "x"));
    EXPECT_EQ(0, ini.Write(nullptr, "K", "x"));
    EXPECT_EQ(0, ini.Write("S", "K", nullptr, 5UL));
    EXPECT_EQ(0, ini.Create(nullptr));
    EXPECT_EQ(0, ini.Read("S", "K", "", nullptr, 10));
    char text[4] = "abc";
    EXPECT_EQ(0, ini.Read("S", "K", "", text, 0));
    EXPECT_STREQ("abc", text);
    EXPECT_EQ(0, ini.Read("S", "K", 0, static_cast<int*>(nullptr)));
    EXPECT_EQ(0, ini.Read("S", "K", static_cast<COLORREF*>(nullptr)));
    EXPECT_EQ("[S]\r\nK=1\r\n", testenv::ReadFile(path));
}

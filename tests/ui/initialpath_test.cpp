#include <gtest/gtest.h>
#include <cstring>
#include <string>

#include "ui/initialpath.h"

namespace {

std::string Folder(const char* path, size_t size = PATH_CAPACITY)
{
    char folder[PATH_CAPACITY];
    memset(folder, '#', sizeof folder);
    InitialFolder(path, folder, size);
    return folder;
}

std::string FileName(const char* path, size_t size = PATH_CAPACITY)
{
    char name[PATH_CAPACITY];
    memset(name, '#', sizeof name);
    InitialFileName(path, name, size);
    return name;
}

// "ソ" and "表" end in the byte of a backslash in code page 932.
const char SO[] = "ソ";
const char HYO[] = "表";

}  // namespace

TEST(InitialPath, TheTextsHoldBackslashBytesInsideCharacters)
{
    ASSERT_EQ(0x5C, static_cast<unsigned char>(SO[1]));
    ASSERT_EQ(0x5C, static_cast<unsigned char>(HYO[1]));
}

TEST(InitialPath, PathWithoutBackslashStartsInTheDefaultFolderWithTheWholeName)
{
    EXPECT_EQ("", Folder("VARNOK.VKT"));
    EXPECT_EQ("VARNOK.VKT", FileName("VARNOK.VKT"));
    EXPECT_EQ("", Folder(""));
    EXPECT_EQ("", FileName(""));
}

TEST(InitialPath, CutsAtTheLastBackslash)
{
    EXPECT_EQ("C:\\VARNOK\\THEMES", Folder("C:\\VARNOK\\THEMES\\DARK.VKT"));
    EXPECT_EQ("DARK.VKT", FileName("C:\\VARNOK\\THEMES\\DARK.VKT"));
    EXPECT_EQ("\\\\SERVER\\SHARE", Folder("\\\\SERVER\\SHARE\\DARK.VKT"));
    EXPECT_EQ("C:\\VARNOK", Folder("C:\\VARNOK\\"));
    EXPECT_EQ("", FileName("C:\\VARNOK\\"));
}

// "C:" alone would open the drive's current folder, not its root.
TEST(InitialPath, RootKeepsItsBackslash)
{
    EXPECT_EQ("C:\\", Folder("C:\\DARK.VKT"));
    EXPECT_EQ("DARK.VKT", FileName("C:\\DARK.VKT"));
    EXPECT_EQ("\\", Folder("\\DARK.VKT"));
    EXPECT_EQ("DARK.VKT", FileName("\\DARK.VKT"));
}

TEST(InitialPath, BackslashByteInsideADoubleByteCharacterIsNoSeparator)
{
    std::string folder = std::string("C:\\") + SO + "フト";
    std::string name = std::string(HYO) + "示" + SO + ".VKT";
    std::string path = folder + "\\" + name;
    EXPECT_EQ(folder, Folder(path.c_str()));
    EXPECT_EQ(name, FileName(path.c_str()));

    EXPECT_EQ("", Folder(name.c_str()));
    EXPECT_EQ(name, FileName(name.c_str()));

    // A path ending in such a character: the folder is before the last real backslash.
    std::string endsInSo = std::string("D:\\DATA\\") + SO;
    EXPECT_EQ("D:\\DATA", Folder(endsInSo.c_str()));
    EXPECT_EQ(SO, FileName(endsInSo.c_str()));
}

TEST(InitialPath, ShortBufferKeepsWholeCharacters)
{
    std::string name = std::string(HYO) + SO + "X";
    EXPECT_EQ(HYO, FileName(name.c_str(), 4));
    EXPECT_EQ(std::string(HYO) + SO, FileName(name.c_str(), 5));
    std::string path = std::string("C:\\") + HYO + SO + "\\F";
    EXPECT_EQ("C:\\" + std::string(HYO), Folder(path.c_str(), 7));
}

TEST(InitialPath, NullPathGivesEmptyParts)
{
    EXPECT_EQ("", Folder(nullptr));
    EXPECT_EQ("", FileName(nullptr));
    EXPECT_EQ(-1, LastBackslash(nullptr));
}

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/inifile.h"
#include "child_process.h"
#include "support/testenv.h"

namespace {

void WriteBesideProgram()
{
    INIFILE ini;
    ASSERT_EQ(1, ini.OpenLocal("local.ini"));
    ASSERT_EQ(1, ini.Write("Place", "Key", "beside"));
}

const bool registered = childprocess::RegisterChildTest("IniFileLocalChild", "WriteBesideProgram", WriteBesideProgram);

}  // namespace

// The program lies in a folder and under a name whose characters end with the byte of a
// backslash (ソ is 0x83 0x5C, 表 is 0x95 0x5C); only the real separator may end the directory.
TEST(IniFileLocal, BindsTheNameInTheProgramsDirectory)
{
    testenv::TempDir dir;
    std::string folder = dir.File("ソフト");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string program = folder + "\\表示.exe";
    ASSERT_TRUE(CopyFileA(childprocess::ThisProgram().c_str(), program.c_str(), TRUE));

    EXPECT_EQ(0u, childprocess::RunChildTest(program, "IniFileLocalChild", "WriteBesideProgram"));
    std::string contents = testenv::ReadFile(folder + "\\local.ini");
    EXPECT_NE(std::string::npos, contents.find("Key=beside")) << contents;
}

TEST(IniFileLocal, RefusesMissingAndOverlongNames)
{
    testenv::TempDir dir;
    INIFILE ini;
    int number = 4;
    EXPECT_EQ(0, ini.OpenLocal(nullptr));
    EXPECT_EQ(0, ini.OpenLocal(""));
    EXPECT_EQ(0, ini.OpenLocal(std::string(1024, 'n').c_str()));
    EXPECT_EQ(0, ini.OpenLocal(std::string(2048, 'n').c_str()));
    ASSERT_EQ(1, ini.Open(dir.File("bound.ini").c_str()));
    EXPECT_EQ(0, ini.OpenLocal(std::string(1100, 'n').c_str()));
    EXPECT_EQ(0, ini.Read("S", "K", 1, &number)) << "a refused name leaves nothing bound";
    EXPECT_EQ(4, number);
}

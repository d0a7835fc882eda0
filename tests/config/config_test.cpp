#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "config/config.h"
#include "config/formats.h"
#include "records.h"
#include "support/testenv.h"

using configtest::FindValue;
using configtest::ExpectSameConfig;
using configtest::KeysInOrder;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.File("VARNOK.CFG");
        memset(&Config, 0, sizeof Config);
        ASSERT_TRUE(SetConfigPath(path.c_str()));
    }

    // Writes the file, loads it and gives the record.
    void Load(const std::string& contents)
    {
        ASSERT_TRUE(testenv::WriteFile(path, contents));
        LoadConfig();
    }

    std::string Saved()
    {
        EXPECT_TRUE(SaveConfig());
        return testenv::ReadFile(path);
    }

    testenv::TempDir dir;
    std::string path;
};

}  // namespace

TEST_F(SettingsFile, MissingFileGivesEveryDefault)
{
    LoadConfig();
    EXPECT_EQ(0, Config.Global.Debug);
    EXPECT_EQ(0, Config.Global.Dummy);
    EXPECT_EQ(0u, Config.Global.Device);
    EXPECT_EQ(0u, Config.Global.GPU);
    EXPECT_EQ(5u, Config.Global.Timer);
    EXPECT_EQ(160u, Config.Global.Limit);
    EXPECT_EQ(2u, Config.Global.MemoryRate);
    EXPECT_EQ(0, Config.Global.Async);
    EXPECT_EQ(1, Config.Global.Taskbar);
    EXPECT_EQ(0, Config.Global.Stable);
    EXPECT_EQ(1, Config.Global.Usage);
    EXPECT_EQ(-1, Config.Global.X);
    EXPECT_EQ(-1, Config.Global.Y);
    EXPECT_EQ(0, Config.Illumination.Enable);
    EXPECT_EQ(100u, Config.Illumination.Value);
    EXPECT_EQ(0, Config.Illumination.Sync);
    EXPECT_EQ(0, Config.Alert.Enable);
    EXPECT_STREQ("VARNOK.WAV", Config.Alert.File);
    EXPECT_EQ(100u, Config.Alert.Core);
    EXPECT_EQ(80u, Config.Alert.Ambient);
    EXPECT_EQ(0, Config.Log.Enable);
    EXPECT_STREQ("VARNOK.LOG", Config.Log.File);
    EXPECT_STREQ("%3d,%3d,%5.1f,%5.1f,%5.1f,%5d,%3d", Config.Log.Format);
    EXPECT_EQ(0, Config.Taskbar.Core);
    EXPECT_EQ(0, Config.Taskbar.Memory);
    EXPECT_EQ(0, Config.Taskbar.Video);
    EXPECT_EQ(0, Config.Taskbar.Used);
    EXPECT_EQ(0, Config.Taskbar.Fan);
    EXPECT_STREQ("Thermal Controller", Config.Tooltip.Title);
    EXPECT_STREQ("#%d: %s - %s", Config.Tooltip.Format);
    EXPECT_STREQ("VARNOK.VKT", Config.Theme.File);
    EXPECT_FALSE(testenv::FileExists(path)) << "loading must not create the file";
}

// A path the profile functions refuse (too long once resolved) reads nothing: a start-up then keeps
// the defaults it began with, not a record of zeros (no timer period, no taskbar, no theme file).
TEST_F(SettingsFile, UnreadablePathAtStartUpLeavesTheDefaults)
{
    memset(&Config, 0, sizeof Config);
    SetConfigStartupValues();
    const std::string tooLong = dir.Path() + "\\" + std::string(300, 'x') + ".CFG";
    ASSERT_TRUE(SetConfigPath(tooLong.c_str()));
    LoadConfig();
    EXPECT_EQ(5u, Config.Global.Timer);
    EXPECT_EQ(160u, Config.Global.Limit);
    EXPECT_EQ(1, Config.Global.Taskbar);
    EXPECT_EQ(-1, Config.Global.X);
    EXPECT_STREQ("VARNOK.VKT", Config.Theme.File);
    EXPECT_STREQ("#%d: %s - %s", Config.Tooltip.Format);
}

TEST_F(SettingsFile, TaskbarFormatDefaultIsNineCodePageBytes)
{
    LoadConfig();
    const unsigned char expected[] = {'%', 'd', 0xB0, 'C', '/', '%', 'd', 0xB0, 'C', 0};
    ASSERT_EQ(9u, strlen(Config.Taskbar.Format));
    EXPECT_EQ(0, memcmp(Config.Taskbar.Format, expected, sizeof expected));
}

TEST_F(SettingsFile, FileValuesReplaceDefaults)
{
    Load("[GLOBAL]\r\nDevice=4000000000\r\nGPU=1\r\nTimer=10\r\nX=-20\r\nY=300\r\nTaskbar=0\r\n"
         "[ALERT]\r\nFile=C:\\sounds\\hot.wav\r\nCore=90\r\n[TOOLTIP]\r\nTitle=GPU sensors\r\n"
         "[THEME]\r\nFile=C:\\themes\\dark.vkt\r\n");
    EXPECT_EQ(4000000000u, Config.Global.Device);
    EXPECT_EQ(1u, Config.Global.GPU);
    EXPECT_EQ(10u, Config.Global.Timer);
    EXPECT_EQ(-20, Config.Global.X);
    EXPECT_EQ(300, Config.Global.Y);
    EXPECT_EQ(0, Config.Global.Taskbar);
    EXPECT_STREQ("C:\\sounds\\hot.wav", Config.Alert.File);
    EXPECT_EQ(90u, Config.Alert.Core);
    EXPECT_STREQ("GPU sensors", Config.Tooltip.Title);
    EXPECT_STREQ("C:\\themes\\dark.vkt", Config.Theme.File);
    EXPECT_EQ(160u, Config.Global.Limit) << "keys missing from the file keep their defaults";
}

TEST_F(SettingsFile, OutOfRangeValuesAreClampedUnsigned)
{
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        unsigned int expected;
        const unsigned int* field;
    } cases[] = {
        {"GLOBAL", "Timer", "0", 1, &Config.Global.Timer},
        {"GLOBAL", "Timer", "500", 120, &Config.Global.Timer},
        {"GLOBAL", "Timer", "-1", 120, &Config.Global.Timer},
        {"GLOBAL", "Timer", "120", 120, &Config.Global.Timer},
        {"GLOBAL", "Timer", "1", 1, &Config.Global.Timer},
        {"GLOBAL", "Limit", "50", 100, &Config.Global.Limit},
        {"GLOBAL", "Limit", "250", 200, &Config.Global.Limit},
        {"GLOBAL", "Limit", "-5", 200, &Config.Global.Limit},
        {"GLOBAL", "Limit", "100", 100, &Config.Global.Limit},
        {"GLOBAL", "Limit", "200", 200, &Config.Global.Limit},
        {"GLOBAL", "MemoryRate", "9", 4, &Config.Global.MemoryRate},
        {"GLOBAL", "MemoryRate", "0", 1, &Config.Global.MemoryRate},
        {"GLOBAL", "MemoryRate", "-1", 4, &Config.Global.MemoryRate},
        {"GLOBAL", "MemoryRate", "3", 3, &Config.Global.MemoryRate},
        {"ILLUMINATION", "Value", "150", 100, &Config.Illumination.Value},
        {"ILLUMINATION", "Value", "-1", 100, &Config.Illumination.Value},
        {"ILLUMINATION", "Value", "0", 0, &Config.Illumination.Value},
        {"ALERT", "Core", "-1", 4294967295u, &Config.Alert.Core},
    };
    for (const Case& c : cases) {
        Load(std::string("[") + c.section + "]\r\n" + c.key + "=" + c.value + "\r\n");
        EXPECT_EQ(c.expected, *c.field) << c.section << " " << c.key << "=" << c.value;
    }
}

TEST_F(SettingsFile, ClampingAlsoRunsWithoutAPath)
{
    ConfigPath[0] = '\0';
    Config.Global.Timer = 0;
    Config.Global.Limit = 7;
    Config.Alert.Core = 42;
    LoadConfig();
    EXPECT_EQ(1u, Config.Global.Timer);
    EXPECT_EQ(100u, Config.Global.Limit);
    EXPECT_EQ(42u, Config.Alert.Core) << "without a path nothing is read";
}

TEST_F(SettingsFile, TextsAreCutToTheirBuffers)
{
    const std::string title40(40, 'T');
    const std::string format200 = "%d" + std::string(198, 'f');
    const std::string path3000(3000, 'p');
    Load("[TOOLTIP]\r\nTitle=" + title40 + "\r\n[LOG]\r\nFormat=" + format200 + "\r\n[THEME]\r\nFile=" + path3000 +
         "\r\n");
    EXPECT_EQ(title40.substr(0, 31), Config.Tooltip.Title);
    EXPECT_EQ(format200.substr(0, 127), Config.Log.Format);
    EXPECT_EQ(path3000.substr(0, 2047), Config.Theme.File);
}

TEST_F(SettingsFile, CutKeepsDoubleByteCharactersWhole)
{
    // 30 ASCII bytes and then "温度": the first character ends exactly at byte 32, one beyond
    // the room of a 32-byte title, so the title keeps the 30 bytes only.
    const std::string title = std::string(30, 'a') + "\x89\xB7\x93\x78";
    Load("[TOOLTIP]\r\nTitle=" + title + "\r\n");
    EXPECT_EQ(title.substr(0, 30), Config.Tooltip.Title);

    const std::string fits = std::string(29, 'a') + "\x89\xB7\x93\x78";
    Load("[TOOLTIP]\r\nTitle=" + fits + "\r\n");
    EXPECT_EQ(fits.substr(0, 31), Config.Tooltip.Title);
}

TEST_F(SettingsFile, QuotedValueThatFillsTheBufferKeepsItsLastCharacter)
{
    const std::string title = std::string(30, 'q') + "Z";
    Load("[TOOLTIP]\r\nTitle=\"" + title + "\"\r\n[LOG]\r\nFile=\" spaced name \"\r\n");
    EXPECT_EQ(title, Config.Tooltip.Title);
    EXPECT_STREQ(" spaced name ", Config.Log.File);
}

TEST_F(SettingsFile, DebugAndDummyAreReadButNeverWritten)
{
    Load("[GLOBAL]\r\nDebug=1\r\nDummy=1\r\n");
    EXPECT_EQ(1, Config.Global.Debug);
    EXPECT_EQ(1, Config.Global.Dummy);
    Config.Global.Debug = 0;
    Config.Global.Dummy = 0;
    std::string contents = Saved();
    std::string value;
    ASSERT_TRUE(FindValue(contents, "GLOBAL", "Debug", value));
    EXPECT_EQ("1", value);
    ASSERT_TRUE(FindValue(contents, "GLOBAL", "Dummy", value));
    EXPECT_EQ("1", value);
}

TEST_F(SettingsFile, SaveNeverAddsDebugOrDummy)
{
    LoadConfig();
    Config.Global.Debug = 1;
    Config.Global.Dummy = 1;
    std::string contents = Saved();
    EXPECT_EQ(std::string::npos, contents.find("Debug"));
    EXPECT_EQ(std::string::npos, contents.find("Dummy"));
}

TEST_F(SettingsFile, DefaultSaveWritesPlainDigitsInTableOrder)
{
    LoadConfig();
    Config.Global.X = 12;
    Config.Global.Y = -3;
    std::string contents = Saved();
    const std::pair<const char*, const char*> expected[] = {
        {"GLOBAL", "0"},      {"GLOBAL", "0"},      {"GLOBAL", "5"},       {"GLOBAL", "160"},
        {"GLOBAL", "2"},      {"GLOBAL", "0"},      {"GLOBAL", "1"},       {"GLOBAL", "0"},
        {"GLOBAL", "1"},      {"GLOBAL", "12"},     {"GLOBAL", "-3"},      {"ILLUMINATION", "0"},
        {"ILLUMINATION", "100"}, {"ILLUMINATION", "0"}, {"ALERT", "0"},     {"ALERT", "VARNOK.WAV"},
        {"ALERT", "100"},     {"ALERT", "80"},      {"LOG", "0"},          {"LOG", "VARNOK.LOG"},
        {"LOG", LOG_FORMAT_DEFAULT}, {"TASKBAR", TASKBAR_FORMAT_DEFAULT}, {"TASKBAR", "0"}, {"TASKBAR", "0"},
        {"TASKBAR", "0"},     {"TASKBAR", "0"},     {"TASKBAR", "0"},      {"TOOLTIP", "Thermal Controller"},
        {"TOOLTIP", TOOLTIP_FORMAT_DEFAULT}, {"THEME", "VARNOK.VKT"},
    };
    const char* keys[] = {"Device", "GPU",    "Timer",  "Limit",  "MemoryRate", "Async", "Taskbar", "Stable",
                          "Usage",  "X",      "Y",      "Enable", "Value",      "Sync",  "Enable",  "File",
                          "Core",   "Ambient", "Enable", "File",  "Format",     "Format", "Core",   "Memory",
                          "Video",  "Used",   "Fan",    "Title",  "Format",     "File"};
    auto order = KeysInOrder(contents);
    ASSERT_EQ(std::size(keys), order.size()) << contents;
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(expected[i].first, order[i].first) << i;
        EXPECT_EQ(keys[i], order[i].second) << i;
        std::string value;
        ASSERT_TRUE(FindValue(contents, order[i].first, order[i].second, value));
        EXPECT_EQ(expected[i].second, value) << order[i].first << " " << order[i].second;
    }
}

TEST_F(SettingsFile, ForeignKeysAndCommentsSurviveASave)
{
    Load("; my notes\r\n[GLOBAL]\r\nTimer=7\r\nMine=keep me\r\n[OTHER]\r\nSomething=else\r\n");
    std::string contents = Saved();
    EXPECT_NE(std::string::npos, contents.find("; my notes"));
    std::string value;
    ASSERT_TRUE(FindValue(contents, "GLOBAL", "Mine", value));
    EXPECT_EQ("keep me", value);
    ASSERT_TRUE(FindValue(contents, "OTHER", "Something", value));
    EXPECT_EQ("else", value);
    ASSERT_TRUE(FindValue(contents, "GLOBAL", "Timer", value));
    EXPECT_EQ("7", value);
    auto order = KeysInOrder(contents);
    EXPECT_EQ("Timer", order[0].second) << "a known key keeps its place in its section";
}

TEST_F(SettingsFile, SaveAndLoadReproduceEveryField)
{
    LoadConfig();
    Config.Global.Device = 3;
    Config.Global.GPU = 4000000000u;
    Config.Global.Timer = 17;
    Config.Global.Limit = 133;
    Config.Global.MemoryRate = 3;
    Config.Global.Async = 1;
    Config.Global.Taskbar = 0;
    Config.Global.Stable = 1;
    Config.Global.Usage = 0;
    Config.Global.X = -1200;
    Config.Global.Y = 2147483647;
    Config.Illumination.Enable = 1;
    Config.Illumination.Value = 55;
    Config.Illumination.Sync = 3;
    Config.Alert.Enable = 1;
    snprintf(Config.Alert.File, sizeof Config.Alert.File, "C:\\Sound Files\\\x89\xB7\x93\x78.wav");
    Config.Alert.Core = 91;
    Config.Alert.Ambient = 61;
    Config.Log.Enable = 1;
    snprintf(Config.Log.File, sizeof Config.Log.File, "D:\\logs\\gpu.log");
    snprintf(Config.Log.Format, sizeof Config.Log.Format, "%%d;%%d;%%.2f;%%.2f;%%.2f;%%d;%%d");
    snprintf(Config.Taskbar.Format, sizeof Config.Taskbar.Format, "%%d\xB0" "C");
    Config.Taskbar.Core = 1;
    Config.Taskbar.Memory = 2;
    Config.Taskbar.Video = 3;
    Config.Taskbar.Used = 4;
    Config.Taskbar.Fan = -5;
    snprintf(Config.Tooltip.Title, sizeof Config.Tooltip.Title, " padded title ");
    snprintf(Config.Tooltip.Format, sizeof Config.Tooltip.Format, "\"%%d\"");
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "E:\\t.vkt");
    EXPECT_TRUE(SaveConfig());

    CONFIG saved = Config;
    memset(&Config, 0xAB, sizeof Config);
    LoadConfig();
    // The title has blanks around it and the tooltip format quotation marks, both of which the
    // profile functions would strip from a value written as it stands.
    ExpectSameConfig(saved, Config);
}

TEST_F(SettingsFile, UserFormatIsKeptAsLoadedEvenWhenHostile)
{
    Load("[LOG]\r\nFormat=%s%s%s%n\r\n[TASKBAR]\r\nFormat=%d\r\n");
    EXPECT_STREQ("%s%s%s%n", Config.Log.Format);
    EXPECT_STREQ("%d", Config.Taskbar.Format);
    std::string value;
    ASSERT_TRUE(FindValue(Saved(), "LOG", "Format", value));
    EXPECT_EQ("%s%s%s%n", value);
}

TEST_F(SettingsFile, EmptyPathReadsAndWritesNothing)
{
    ConfigPath[0] = '\0';
    Config.Alert.Core = 42;
    EXPECT_FALSE(SaveConfig());
    LoadConfig();
    EXPECT_EQ(42u, Config.Alert.Core);
    EXPECT_FALSE(testenv::FileExists(path));
}

TEST_F(SettingsFile, SaveIntoAMissingFolderReportsFailure)
{
    const std::string missing = dir.File("gone\\VARNOK.CFG");
    ASSERT_TRUE(SetConfigPath(missing.c_str()));
    EXPECT_FALSE(SaveConfig());
    EXPECT_FALSE(testenv::FileExists(missing));
}

class SettingsPath : public ::testing::Test {
protected:
    void TearDown() override { SetConfigPath(""); }
};

TEST_F(SettingsPath, EmptyCommandLineNamesTheDefaultFile)
{
    ASSERT_TRUE(SetConfigPath(""));
    EXPECT_STREQ("VARNOK.CFG", ConfigPath);
    ASSERT_TRUE(SetConfigPath(nullptr));
    EXPECT_STREQ("VARNOK.CFG", ConfigPath);
}

TEST_F(SettingsPath, WholeCommandLineIsThePath)
{
    ASSERT_TRUE(SetConfigPath("C:\\gpu two\\second.cfg"));
    EXPECT_STREQ("C:\\gpu two\\second.cfg", ConfigPath);
}

TEST_F(SettingsPath, EnclosingQuotesAreDropped)
{
    ASSERT_TRUE(SetConfigPath("\"C:\\gpu two\\second.cfg\""));
    EXPECT_STREQ("C:\\gpu two\\second.cfg", ConfigPath);
    ASSERT_TRUE(SetConfigPath("\"half quoted.cfg"));
    EXPECT_STREQ("\"half quoted.cfg", ConfigPath);
}

TEST_F(SettingsPath, CommandLineThatDoesNotFitIsRefused)
{
    const std::string fits(2047, 'a');
    ASSERT_TRUE(SetConfigPath(fits.c_str()));
    EXPECT_EQ(fits, ConfigPath);
    const std::string tooLong(2048, 'b');
    EXPECT_FALSE(SetConfigPath(tooLong.c_str()));
    EXPECT_STREQ("", ConfigPath) << "neither a cut path nor the default file may be used";
}

TEST_F(SettingsPath, CommandLineFileIsUsedForLoadAndSave)
{
    testenv::TempDir dir;
    const std::string other = dir.File("second gpu.cfg");
    ASSERT_TRUE(testenv::WriteFile(other, "[GLOBAL]\r\nGPU=1\r\nTimer=9\r\n"));
    char windowsDefault[MAX_PATH];
    GetWindowsDirectoryA(windowsDefault, sizeof windowsDefault);
    strncat(windowsDefault, "\\VARNOK.CFG", sizeof windowsDefault - strlen(windowsDefault) - 1);
    const bool defaultExisted = testenv::FileExists(windowsDefault);

    ASSERT_TRUE(SetConfigPath(("\"" + other + "\"").c_str()));
    memset(&Config, 0, sizeof Config);
    LoadConfig();
    EXPECT_EQ(1u, Config.Global.GPU);
    EXPECT_EQ(9u, Config.Global.Timer);
    Config.Global.Limit = 111;
    EXPECT_TRUE(SaveConfig());
    std::string value;
    ASSERT_TRUE(FindValue(testenv::ReadFile(other), "GLOBAL", "Limit", value));
    EXPECT_EQ("111", value);
    EXPECT_EQ(defaultExisted, testenv::FileExists(windowsDefault)) << "the default file is not touched";
    EXPECT_FALSE(testenv::FileExists(dir.File("VARNOK.CFG")));
}

#include "records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace configtest {

namespace {

std::string TrimLine(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    size_t start = line.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : line.substr(start);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> KeysInOrder(const std::string& contents)
{
    std::vector<std::pair<std::string, std::string>> keys;
    std::istringstream in(contents);
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        line = TrimLine(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        size_t equals = line.find('=');
        keys.emplace_back(section, TrimLine(line.substr(0, equals)));
    }
    return keys;
}

bool FindValue(const std::string& contents, const std::string& section, const std::string& key, std::string& value)
{
    std::istringstream in(contents);
    std::string line;
    std::string current;
    while (std::getline(in, line)) {
        line = TrimLine(line);
        if (!line.empty() && line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        size_t equals = line.find('=');
        if (current == section && equals != std::string::npos && TrimLine(line.substr(0, equals)) == key) {
            value = line.substr(equals + 1);
            return true;
        }
    }
    value.clear();
    return false;
}

bool IsTerminated(const char* buffer, size_t size) { return memchr(buffer, '\0', size) != nullptr; }

bool SameFont(const LOGFONTA& a, const LOGFONTA& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           strcmp(a.lfFaceName, b.lfFaceName) == 0;
}

void ExpectSameTheme(const THEMEDATA& expected, const THEMEDATA& actual)
{
    EXPECT_TRUE(SameFont(expected.Font.Title, actual.Font.Title));
    EXPECT_TRUE(SameFont(expected.Font.Frame, actual.Font.Frame));
    EXPECT_TRUE(SameFont(expected.Font.Label, actual.Font.Label));
    EXPECT_TRUE(SameFont(expected.Font.Value, actual.Font.Value));
    EXPECT_EQ(expected.Color.Title, actual.Color.Title);
    EXPECT_EQ(expected.Color.Frame, actual.Color.Frame);
    EXPECT_EQ(expected.Color.Label, actual.Color.Label);
    EXPECT_EQ(expected.Color.Value, actual.Color.Value);
    EXPECT_EQ(expected.Shadow.Offset, actual.Shadow.Offset);
    EXPECT_EQ(expected.Shadow.EnableTitle, actual.Shadow.EnableTitle);
    EXPECT_EQ(expected.Shadow.EnableFrame, actual.Shadow.EnableFrame);
    EXPECT_EQ(expected.Shadow.EnableLabel, actual.Shadow.EnableLabel);
    EXPECT_EQ(expected.Shadow.EnableValue, actual.Shadow.EnableValue);
    EXPECT_EQ(expected.Shadow.Title, actual.Shadow.Title);
    EXPECT_EQ(expected.Shadow.Frame, actual.Shadow.Frame);
    EXPECT_EQ(expected.Shadow.Label, actual.Shadow.Label);
    EXPECT_EQ(expected.Shadow.Value, actual.Shadow.Value);
    const char(*expectedLabels)[16] = &expected.Label.Core;
    const char(*actualLabels)[16] = &actual.Label.Core;
    for (size_t i = 0; i < sizeof expected.Label / 16; ++i)
        EXPECT_STREQ(expectedLabels[i], actualLabels[i]) << "label " << i;
    EXPECT_EQ(expected.Skin.Enable, actual.Skin.Enable);
    EXPECT_STREQ(expected.Skin.File, actual.Skin.File);
    EXPECT_EQ(expected.Skin.Color, actual.Skin.Color);
    EXPECT_EQ(expected.Mask.Mode, actual.Mask.Mode);
    EXPECT_EQ(expected.Mask.Color, actual.Mask.Color);
    EXPECT_STREQ(expected.Mask.File, actual.Mask.File);
    EXPECT_EQ(expected.Frame.Enable, actual.Frame.Enable);
    EXPECT_EQ(expected.Frame.Color, actual.Frame.Color);
    EXPECT_EQ(expected.Unit.Enable, actual.Unit.Enable);
    EXPECT_EQ(expected.Unit.Color, actual.Unit.Color);
    EXPECT_EQ(expected.Unit.Shadow, actual.Unit.Shadow);
    EXPECT_TRUE(SameFont(expected.Unit.Font, actual.Unit.Font));
    EXPECT_STREQ(expected.Unit.Format, actual.Unit.Format);
    EXPECT_EQ(expected.Unit.Offset, actual.Unit.Offset);
    EXPECT_EQ(expected.Grid.Enable, actual.Grid.Enable);
    EXPECT_EQ(expected.Grid.Color, actual.Grid.Color);
    EXPECT_EQ(expected.Grid.Width, actual.Grid.Width);
    for (int i = 0; i < TRACE_COUNT; ++i) {
        EXPECT_EQ(expected.Trace[i].Enable, actual.Trace[i].Enable) << ThemeTraceSection[i];
        EXPECT_EQ(expected.Trace[i].Color, actual.Trace[i].Color) << ThemeTraceSection[i];
        EXPECT_EQ(expected.Trace[i].Width, actual.Trace[i].Width) << ThemeTraceSection[i];
    }
}

void ExpectSameConfig(const CONFIG& expected, const CONFIG& actual)
{
    EXPECT_EQ(expected.Global.Debug, actual.Global.Debug);
    EXPECT_EQ(expected.Global.Dummy, actual.Global.Dummy);
    EXPECT_EQ(expected.Global.Device, actual.Global.Device);
    EXPECT_EQ(expected.Global.GPU, actual.Global.GPU);
    EXPECT_EQ(expected.Global.Timer, actual.Global.Timer);
    EXPECT_EQ(expected.Global.Limit, actual.Global.Limit);
    EXPECT_EQ(expected.Global.MemoryRate, actual.Global.MemoryRate);
    EXPECT_EQ(expected.Global.Async, actual.Global.Async);
    EXPECT_EQ(expected.Global.Taskbar, actual.Global.Taskbar);
    EXPECT_EQ(expected.Global.Stable, actual.Global.Stable);
    EXPECT_EQ(expected.Global.Usage, actual.Global.Usage);
    EXPECT_EQ(expected.Global.X, actual.Global.X);
    EXPECT_EQ(expected.Global.Y, actual.Global.Y);
    EXPECT_EQ(expected.Illumination.Enable, actual.Illumination.Enable);
    EXPECT_EQ(expected.Illumination.Value, actual.Illumination.Value);
    EXPECT_EQ(expected.Illumination.Sync, actual.Illumination.Sync);
    EXPECT_EQ(expected.Alert.Enable, actual.Alert.Enable);
    EXPECT_STREQ(expected.Alert.File, actual.Alert.File);
    EXPECT_EQ(expected.Alert.Core, actual.Alert.Core);
    EXPECT_EQ(expected.Alert.Ambient, actual.Alert.Ambient);
    EXPECT_EQ(expected.Log.Enable, actual.Log.Enable);
    EXPECT_STREQ(expected.Log.File, actual.Log.File);
    EXPECT_STREQ(expected.Log.Format, actual.Log.Format);
    EXPECT_STREQ(expected.Taskbar.Format, actual.Taskbar.Format);
    EXPECT_EQ(expected.Taskbar.Core, actual.Taskbar.Core);
    EXPECT_EQ(expected.Taskbar.Memory, actual.Taskbar.Memory);
    EXPECT_EQ(expected.Taskbar.Video, actual.Taskbar.Video);
    EXPECT_EQ(expected.Taskbar.Used, actual.Taskbar.Used);
    EXPECT_EQ(expected.Taskbar.Fan, actual.Taskbar.Fan);
    EXPECT_STREQ(expected.Tooltip.Title, actual.Tooltip.Title);
    EXPECT_STREQ(expected.Tooltip.Format, actual.Tooltip.Format);
    EXPECT_STREQ(expected.Theme.File, actual.Theme.File);
}


}  // namespace configtest

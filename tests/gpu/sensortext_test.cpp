#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/formats.h"
#include "gpu/sensortext.h"

namespace {

NV_THERMAL_SETTINGS Sensors(std::initializer_list<std::pair<int, int>> controllerAndTarget)
{
    NV_THERMAL_SETTINGS settings = NvRecord<NV_THERMAL_SETTINGS>(NV_THERMAL_SETTINGS_VER);
    for (const auto& sensor : controllerAndTarget) {
        settings.Sensor[settings.Count].Controller = sensor.first;
        settings.Sensor[settings.Count].Target = sensor.second;
        ++settings.Count;
    }
    return settings;
}

}  // namespace

// The names are the ones users have always seen, misspellings included.
TEST(SensorNames, ControllerAndTargetTables)
{
    const char* controllers[] = {"",     "GPU INTERNAL", "ADM1032",   "MAX6649",  "MAX1617", "LM99", "LM89",
                                 "LM64", "ADT7473",      "SBMAX6649", "VBIOSEVT", "OS",      ""};
    for (int code = 0; code <= 12; ++code)
        EXPECT_STREQ(controllers[code], ThermalControllerName(code)) << code;
    EXPECT_STREQ("UNKNOWN", ThermalControllerName(-1));
    EXPECT_STREQ("", ThermalControllerName(-2));

    const char* targets[] = {"", "GPU", "MEMROY", "", "POWER SUPPLY", "", "", "", "BORAD", "VCD BOARD",
                             "VCD INLET", "VCD OUTLET", ""};
    for (int code = 0; code <= 12; ++code)
        EXPECT_STREQ(targets[code], ThermalTargetName(code)) << code;
    EXPECT_STREQ("UNKNOWN", ThermalTargetName(-1));
}

TEST(SensorText, OneLinePerSensorJoinedByLineFeeds)
{
    char text[SENSORTEXT_SIZE];
    BuildSensorText(Sensors({{1, 1}, {2, 8}, {-1, 4}}), "[%d] %s/%s", text, sizeof text);
    EXPECT_STREQ("[0] GPU/GPU INTERNAL\n[1] BORAD/ADM1032\n[2] POWER SUPPLY/UNKNOWN", text);
}

TEST(SensorText, NoSensorsGiveAnEmptyText)
{
    char text[SENSORTEXT_SIZE] = "old";
    BuildSensorText(Sensors({}), TOOLTIP_FORMAT_DEFAULT, text, sizeof text);
    EXPECT_STREQ("", text);
}

TEST(SensorText, FormatsNotTakingIndexAndTwoNamesFallBackToTheDefault)
{
    const char* hostile[] = {"%s%s%n", "%s - %s", "%d %d %d", "%s %s %s", "%d: %s - %s %s", "%*d%s%s", "%d%s%p",
                             nullptr};
    for (const char* format : hostile) {
        char text[SENSORTEXT_SIZE];
        BuildSensorText(Sensors({{1, 1}}), format, text, sizeof text);
        EXPECT_STREQ("#0: GPU - GPU INTERNAL", text) << (format ? format : "(null)");
    }
}

TEST(SensorText, LongLiteralDropsLinesWholeAndNeverExceeds383Bytes)
{
    const std::string literal(250, 'x');
    const std::string format = literal + "%d%s%s";
    char text[SENSORTEXT_SIZE + 32];
    memset(text, 0x7F, sizeof text);
    BuildSensorText(Sensors({{1, 1}, {2, 8}, {3, 2}}), format.c_str(), text, SENSORTEXT_SIZE);
    EXPECT_EQ(literal + "0GPUGPU INTERNAL", text);
    for (size_t i = SENSORTEXT_SIZE; i < sizeof text; ++i)
        ASSERT_EQ(0x7F, text[i]);
}

TEST(SensorText, LargerBufferStillStopsAt383Bytes)
{
    const std::string format = std::string(120, 'y') + "%d%s%s";
    char text[1024];
    BuildSensorText(Sensors({{1, 1}, {1, 1}, {1, 1}}), format.c_str(), text, sizeof text);
    const std::string line = std::string(120, 'y') + "0GPUGPU INTERNAL";
    // Two lines and a line feed take 273 bytes; a third would need 410.
    EXPECT_EQ(line + "\n" + std::string(120, 'y') + "1GPUGPU INTERNAL", text);
    EXPECT_LE(strlen(text), SENSORTEXT_SIZE - 1);
}

TEST(SensorText, SmallBufferTakesOnlyWholeLines)
{
    char text[30];
    BuildSensorText(Sensors({{1, 1}, {2, 8}}), TOOLTIP_FORMAT_DEFAULT, text, sizeof text);
    EXPECT_STREQ("#0: GPU - GPU INTERNAL", text);
    char tiny[5] = "abcd";
    BuildSensorText(Sensors({{1, 1}}), TOOLTIP_FORMAT_DEFAULT, tiny, sizeof tiny);
    EXPECT_STREQ("", tiny);
}

// A Japanese literal cut to the line buffer can end one byte short, before a lone lead byte;
// the line is still too long and must be left out, not shown cut.
TEST(SensorText, DoubleByteLineCutAtTheLimitIsStillLeftOut)
{
    std::string literal;
    for (int i = 0; i < 200; ++i)
        literal += "あ";
    ASSERT_EQ(400u, literal.size());
    const std::string format = "%d" + literal + "%s%s";
    char text[SENSORTEXT_SIZE];
    BuildSensorText(Sensors({{0, 0}}), format.c_str(), text, sizeof text);
    EXPECT_STREQ("", text);
}

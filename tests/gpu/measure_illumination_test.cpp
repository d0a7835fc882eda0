#include <windows.h>

#include <string>

#include "config/config.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "measure_fixture.h"

// The LED brightness, as the driver receives it.
class MeasureIllumination : public MeasureTest {
protected:
    void SetUp() override
    {
        MeasureTest::SetUp();
        Config.Illumination.Enable = 1;
        Config.Illumination.Value = 37;
        Sample.CoreTemp = 65;
        Sample.UsageCore = 23;
        Sample.FanLevel = 88;
    }

    // The brightness of the one SetIllumination call since the mark, or -1 for none.
    int SetValue()
    {
        std::vector<std::string> sets;
        for (const std::string& line : JournalSinceMark())
            if (line.compare(0, 26, "NvAPI_GPU_SetIllumination ") == 0)
                sets.push_back(line);
        MarkJournal();
        if (sets.empty())
            return -1;
        EXPECT_EQ(1u, sets.size());
        int value = -1;
        sscanf(sets[0].c_str(), "NvAPI_GPU_SetIllumination gpu=0.0 attribute=0 value=%d version=0x10018 -> 0", &value);
        return value;
    }
};

TEST_F(MeasureIllumination, SyncChoosesTheSource)
{
    Start({});
    const struct {
        int sync;
        int value;
    } cases[] = {{0, 37}, {1, 65}, {2, 23}, {3, 88}, {4, 0}, {-1, 0}, {1000, 0}};
    for (const auto& c : cases) {
        Config.Illumination.Sync = c.sync;
        UpdateIllumination();
        EXPECT_EQ(c.value, SetValue()) << "Sync " << c.sync;
    }
}

TEST_F(MeasureIllumination, BrightnessIsLimitedTo100)
{
    Start({});
    Config.Illumination.Sync = 1;
    Sample.CoreTemp = 100;
    UpdateIllumination();
    EXPECT_EQ(100, SetValue());
    Sample.CoreTemp = 120;
    UpdateIllumination();
    EXPECT_EQ(100, SetValue());
    Config.Illumination.Sync = 0;
    Config.Illumination.Value = 150;
    UpdateIllumination();
    EXPECT_EQ(100, SetValue());
}

TEST_F(MeasureIllumination, FollowsTheCoreTemperatureOfTheCycle)
{
    Config.Illumination.Sync = 1;
    Start({{"Sensor0Temp", "65,120"}});
    Cycles(1);
    EXPECT_EQ(65, SetValue());
    Cycles(1);
    EXPECT_EQ(100, SetValue());
}

TEST_F(MeasureIllumination, NotSetWithoutSupport)
{
    Start({{"Illumination", "0"}});
    UpdateIllumination();
    EXPECT_EQ(1u, JournalSinceMark("NvAPI_GPU_QueryIlluminationSupport"));
    EXPECT_EQ(-1, SetValue());
}

TEST_F(MeasureIllumination, NotSetWhenTheQueryFails)
{
    Start({}, "[fail]\nNvAPI_GPU_QueryIlluminationSupport=always\n");
    UpdateIllumination();
    EXPECT_EQ(-1, SetValue());
}

TEST_F(MeasureIllumination, DisabledMakesNoCall)
{
    Config.Illumination.Enable = 0;
    Start({});
    UpdateIllumination();
    EXPECT_TRUE(JournalSinceMark().empty());
}

#include <windows.h>
#include <set>
#include <string>

#include "base/critsect.h"
#include "config/config.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "measure_fixture.h"

// What one cycle reads, from which source, what a failed read leaves, and what it costs in calls.
class MeasureReadings : public MeasureTest {};

TEST_F(MeasureReadings, TheLastSensorOfATargetWinsAndOthersAreIgnored)
{
    Start({{"Sensors", "3"}, {"Sensor0", "1,1"}, {"Sensor0Temp", "50"}, {"Sensor0Limits", "0,105"},
           {"Sensor1", "1,2"}, {"Sensor1Temp", "90"}, {"Sensor2", "1,1"}, {"Sensor2Temp", "70"},
           {"Sensor2Limits", "0,99"}});
    Cycles(1);
    EXPECT_EQ(70u, Sample.CoreTemp);
    EXPECT_EQ(99u, Sample.CoreTempLimit);
    EXPECT_EQ(0u, Sample.AmbientTemp);
}

TEST_F(MeasureReadings, ASensorCountBeyondTheRecordReadsOnlyTheRecord)
{
    Start({{"ReportedSensors", "4000000000"}, {"Sensor0Temp", "61"}, {"Sensor1Temp", "42"}});
    Cycles(1);
    EXPECT_EQ(61u, Sample.CoreTemp);
    EXPECT_EQ(42u, Sample.AmbientTemp);
    EXPECT_EQ(1u, Sample.HistoryCount);
}

TEST_F(MeasureReadings, DynamicPstatesArePreferredAndSetOnlyPresentEntries)
{
    Start({{"PstateEntries", "0,2"}, {"UsageCore", "55"}, {"UsageVideo", "12"}});
    Sample.UsageMemory = 77;
    Cycles(1);
    EXPECT_EQ(55u, Sample.UsageCore);
    EXPECT_EQ(77u, Sample.UsageMemory);
    EXPECT_EQ(12u, Sample.UsageVideo);
    EXPECT_EQ(1u, JournalSinceMark("NvAPI_GPU_GetDynamicPstatesInfoEx"));
    EXPECT_EQ(0u, JournalSinceMark("NvAPI_GPU_GetUsages"));
    EXPECT_EQ(0u, Sample.ErrorUsage);
}

TEST_F(MeasureReadings, TheUsageTableStandsInForMissingOrFailingPstates)
{
    Start({{"UsageCore", "61"}, {"UsageMemory", "22"}, {"UsageVideo", "3"}},
          "[driver]\nHidden=NvAPI_GPU_GetDynamicPstatesInfoEx\n");
    Cycles(1);
    EXPECT_EQ(61u, Sample.UsageCore);
    EXPECT_EQ(22u, Sample.UsageMemory);
    EXPECT_EQ(3u, Sample.UsageVideo);
    EXPECT_EQ(1u, JournalSinceMark("NvAPI_GPU_GetUsages"));
    EXPECT_EQ(0u, Sample.ErrorUsage);
    Gpu.Release();

    memset(&Sample, 0, sizeof Sample);
    Start({{"UsageCore", "62"}}, "[fail]\nNvAPI_GPU_GetDynamicPstatesInfoEx=always\n");
    Cycles(1);
    EXPECT_EQ(62u, Sample.UsageCore);
    EXPECT_EQ(1u, JournalSinceMark("NvAPI_GPU_GetDynamicPstatesInfoEx"));
    EXPECT_EQ(1u, JournalSinceMark("NvAPI_GPU_GetUsages"));
    EXPECT_EQ(0u, Sample.ErrorUsage);
}

TEST_F(MeasureReadings, NoUsageSourceCountsAndKeepsTheUsages)
{
    Start({{"UsageCore", "61"}}, "[driver]\nHidden=NvAPI_GPU_GetDynamicPstatesInfoEx,NvAPI_GPU_GetUsages\n");
    Sample.UsageCore = 33;
    Cycles(2);
    EXPECT_EQ(33u, Sample.UsageCore);
    EXPECT_EQ(2u, Sample.ErrorUsage);
}

TEST_F(MeasureReadings, ABoardWithoutCoolersCountsAFanError)
{
    Start({{"Coolers", "0"}, {"Tach", "1700"}});
    Sample.FanLevel = 12;
    Cycles(1);
    EXPECT_EQ(12u, Sample.FanLevel);
    EXPECT_EQ(1700u, Sample.FanSpeed);
    EXPECT_EQ(1u, Sample.ErrorFan);
    Gpu.Release();

    // The tach and the cooler count separately.
    Start({{"FanLevel", "35"}}, "[fail]\nNvAPI_GPU_GetTachReading=always\nNvAPI_GPU_GetCoolerSettings=always\n");
    Cycles(1);
    EXPECT_EQ(3u, Sample.ErrorFan);
    EXPECT_EQ(12u, Sample.FanLevel);
}

TEST_F(MeasureReadings, FailedReadsAreCountedAndKeepTheirValues)
{
    Start({{"Sensor0Temp", "66,99"}, {"ClockCore", "1000000,1500000"}},
          "[fail]\nNvAPI_GPU_GetThermalSettings=2\nNvAPI_GPU_GetAllClockFrequencies=3,4\n"
          "NvAPI_GetDisplayDriverMemoryInfo=2\n");
    Cycles(1);
    const unsigned int total = Sample.MemoryTotal;
    const unsigned int available = Sample.MemoryFree;
    Cycles(1);
    EXPECT_EQ(66u, Sample.CoreTemp);
    EXPECT_NEAR(1000.0, Sample.ClockCore, 1e-3);
    EXPECT_EQ(total, Sample.MemoryTotal);
    EXPECT_EQ(available, Sample.MemoryFree);
    EXPECT_EQ(1u, Sample.ErrorTemp);
    EXPECT_EQ(2u, Sample.ErrorClock);
    EXPECT_EQ(1u, Sample.ErrorMemory);
    EXPECT_EQ(0u, Sample.ErrorUsage);
    EXPECT_EQ(0u, Sample.ErrorFan);
    EXPECT_EQ(2u, Sample.HistoryCount);
}

TEST_F(MeasureReadings, AbsentClockDomainsReadAsZero)
{
    Start({{"ClockDomains", "0"}});
    Sample.ClockShader = 5.0;
    Cycles(1);
    EXPECT_NEAR(1126.0, Sample.ClockCore, 1e-3);
    EXPECT_EQ(0.0, Sample.ClockMemory);
    EXPECT_EQ(0.0, Sample.ClockShader);
}

TEST_F(MeasureReadings, TheMemoryRateGoesOnlyOntoClocksReadThisCycle)
{
    Config.Global.MemoryRate = 2;
    // Both clock calls of the second cycle (current, then boost) fail.
    Start({{"ClockMemory", "3505000"}, {"BoostMemory", "3505000"}},
          "[fail]\nNvAPI_GPU_GetAllClockFrequencies=3,4\n");
    Cycles(1);
    EXPECT_NEAR(7010.0, Sample.ClockMemory, 1e-3);
    EXPECT_NEAR(7010.0, Sample.BoostClockMemory, 1e-3);
    const double clock = Sample.ClockMemory;
    Cycles(1);
    EXPECT_EQ(clock, Sample.ClockMemory);
    EXPECT_EQ(clock, Sample.BoostClockMemory);
    EXPECT_EQ(clock, Sample.MaxClockMemory);
    ASSERT_EQ(2u, Sample.HistoryCount);
    EXPECT_EQ(clock, Sample.History[1].ClockMemory);
    // A changed rate applies from the next read on; what was stored keeps the old factor.
    Config.Global.MemoryRate = 3;
    Cycles(1);
    EXPECT_NEAR(10515.0, Sample.ClockMemory, 1e-3);
    EXPECT_EQ(clock, Sample.History[1].ClockMemory);
}

TEST_F(MeasureReadings, DemonstrationModeDrawsWithinItsRangesAndCountsEveryFailedRead)
{
    Config.Global.Dummy = 1;
    Config.Global.Limit = 100;
    Config.Global.MemoryRate = 2;
    // No driver: every read fails, the drawn readings stand in.
    const int cycles = 300;
    std::set<unsigned int> temperatures;
    for (int i = 0; i < cycles; ++i) {
        MeasureCycle(nullptr);
        ASSERT_GE(Sample.CoreTemp, 1u);
        ASSERT_LE(Sample.CoreTemp, 100u);
        ASSERT_GE(Sample.AmbientTemp, 1u);
        ASSERT_LE(Sample.AmbientTemp, 100u);
        ASSERT_GE(Sample.ClockCore, 1.0);
        ASSERT_LE(Sample.ClockCore, 1500.0);
        ASSERT_GE(Sample.ClockMemory, 2.0);
        ASSERT_LE(Sample.ClockMemory, 1600.0);
        ASSERT_GE(Sample.ClockShader, 1.0);
        ASSERT_LE(Sample.ClockShader, 1500.0);
        for (unsigned int usage : {Sample.UsageCore, Sample.UsageMemory, Sample.UsageVideo, Sample.FanLevel}) {
            ASSERT_GE(usage, 1u);
            ASSERT_LE(usage, 100u);
        }
        ASSERT_GE(Sample.FanSpeed, 1u);
        ASSERT_LE(Sample.FanSpeed, 5000u);
        ASSERT_EQ(1048576u, Sample.MemoryTotal);
        ASSERT_GE(MemoryUsedMB(Sample), 992u);
        ASSERT_LE(MemoryUsedMB(Sample), 1023u);
        temperatures.insert(Sample.CoreTemp);
    }
    EXPECT_EQ(1215.5, Sample.BoostClockCore);
    EXPECT_EQ(7010.0, Sample.BoostClockMemory);
    EXPECT_EQ(0.0, Sample.BoostClockShader);
    EXPECT_GT(temperatures.size(), 50u) << "the readings hardly vary";
    EXPECT_EQ(0, Sample.Fault);
    EXPECT_EQ(256u, Sample.HistoryCount);
    EXPECT_EQ(static_cast<unsigned int>(cycles), Sample.ErrorTemp);
    EXPECT_EQ(2u * cycles, Sample.ErrorClock);
    EXPECT_EQ(static_cast<unsigned int>(cycles), Sample.ErrorUsage);
    EXPECT_EQ(2u * cycles, Sample.ErrorFan);
    EXPECT_EQ(static_cast<unsigned int>(cycles), Sample.ErrorMemory);
}

TEST_F(MeasureReadings, ASeededDemonstrationRepeats)
{
    Config.Global.Dummy = 1;
    SeedDemonstration(12345);
    Cycles(5);
    const HISTORYENTRY first = Sample.History[4];
    memset(&Sample, 0, sizeof Sample);
    SeedDemonstration(12345);
    Cycles(5);
    EXPECT_EQ(0, memcmp(&first, &Sample.History[4], sizeof first));
}

TEST_F(MeasureReadings, DemonstrationModeStillAsksAWorkingDriver)
{
    Config.Global.Dummy = 1;
    Start({{"Sensor0Temp", "250"}});
    Cycles(1);
    EXPECT_EQ(1u, JournalSinceMark("NvAPI_GPU_GetThermalSettings"));
    EXPECT_EQ(2u, JournalSinceMark("NvAPI_GPU_GetAllClockFrequencies"));
    EXPECT_LE(Sample.CoreTemp, 160u);
    EXPECT_EQ(1u, Sample.HistoryCount);
    EXPECT_EQ(0u, Sample.ErrorTemp);
}

TEST_F(MeasureReadings, ACycleReadsInItsOrderThenSetsTheLed)
{
    Config.Illumination.Enable = 1;
    Config.Illumination.Sync = 1;
    Start({{"Sensor0Temp", "65"}});
    Cycles(1);
    const std::vector<std::string> expected = {
        "NvAPI_GPU_GetThermalSettings gpu=0.0 sensor=15 version=0x10044 -> 0",
        "NvAPI_GPU_GetAllClockFrequencies gpu=0.0 type=0 version=0x20108 -> 0",
        "NvAPI_GPU_GetDynamicPstatesInfoEx gpu=0.0 version=0x10048 -> 0",
        "NvAPI_GPU_GetTachReading gpu=0.0 -> 0",
        "NvAPI_GPU_GetCoolerSettings gpu=0.0 cooler=0 version=0x203C8 -> 0",
        "NvAPI_GetDisplayDriverMemoryInfo display=0 version=0x20018 -> 0",
        "NvAPI_GPU_GetAllClockFrequencies gpu=0.0 type=2 version=0x20108 -> 0",
        "NvAPI_GPU_QueryIlluminationSupport gpu=0.0 attribute=0 version=0x10018 -> 0",
        "NvAPI_GPU_SetIllumination gpu=0.0 attribute=0 value=65 version=0x10018 -> 0",
    };
    EXPECT_EQ(expected, JournalSinceMark());
}

TEST_F(MeasureReadings, ACycleMakesAtMostEightDriverCallsAndTheLedTwo)
{
    Config.Illumination.Enable = 1;
    Config.Illumination.Sync = 1;
    // The costliest path: the pstates fail, so the usage table is asked as well.
    Start({}, "[fail]\nNvAPI_GPU_GetDynamicPstatesInfoEx=always\n");
    const int cycles = 4;
    Cycles(cycles);
    const size_t led = JournalSinceMark("NvAPI_GPU_QueryIlluminationSupport") + JournalSinceMark("NvAPI_GPU_SetIllumination");
    EXPECT_EQ(2u * cycles, led);
    EXPECT_EQ(8u * cycles, JournalSinceMark().size() - led);
    EXPECT_EQ(static_cast<size_t>(cycles), JournalSinceMark("NvAPI_GPU_GetUsages"));
}

TEST_F(MeasureReadings, ABusySectionDropsTheTickWithoutACall)
{
    Config.Illumination.Enable = 1;
    Start({});
    const LONG failures = ProbeSection.failures;
    {
        SECTIONHOLDER holder(ProbeSection);
        ASSERT_TRUE(holder.Held());
        Cycles(1);
        EXPECT_EQ(failures + 1, ProbeSection.failures);
    }
    // Nothing was read, nothing refreshed (the LED is set by the refresh).
    EXPECT_TRUE(JournalSinceMark().empty()) << Journal();
    EXPECT_EQ(0u, Sample.HistoryCount);
    EXPECT_EQ(0u, Sample.CoreTemp);

    Cycles(1);
    EXPECT_EQ(1u, Sample.HistoryCount);
    EXPECT_EQ(failures + 1, ProbeSection.failures);
}

TEST_F(MeasureReadings, NoSectionNoCycle)
{
    Start({});
    DeleteCritSect(ProbeSection);
    Cycles(1);
    EXPECT_TRUE(JournalSinceMark().empty());
    EXPECT_EQ(0, ProbeSection.failures);
    EXPECT_EQ(0u, Sample.HistoryCount);
}

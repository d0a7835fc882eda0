#include <windows.h>

#include <mmsystem.h>

#include <string>

#include "config/config.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "gpu/sound.h"
#include "measure_fixture.h"
#include "support/testenv.h"

// Validity, maxima, history and averages as a run of cycles leaves them.
class MeasureHistory : public MeasureTest {
protected:
    void EnableAlertAndLog()
    {
        Config.Alert.Enable = 1;
        Config.Alert.Core = 100;
        Config.Alert.Ambient = 80;
        snprintf(Config.Alert.File, sizeof Config.Alert.File, "%s", dir.File("alert.wav").c_str());
        logPath = dir.File("VARNOK.LOG");
        MeasureLog.FileName(logPath.c_str());
        MeasureLog.FormatType(LF_DATETIME);
        MeasureLog.Enable(true);
        Config.Log.Enable = 1;
    }
    size_t LogLines() const
    {
        std::string log = testenv::ReadFile(logPath);
        size_t lines = 0;
        for (char c : log)
            lines += c == '\n';
        return lines;
    }

    std::string logPath;
};

TEST_F(MeasureHistory, TheSampleAfterAFullHistoryMovesItByOne)
{
    // Each sample is told apart by its core clock: 1, 2, 3 ... MHz.
    Start({{"ClockCore", NumberList(1000, 1000, HISTORY_SIZE + 1)}}, "", false);
    Cycles(HISTORY_SIZE);
    ASSERT_EQ(256u, Sample.HistoryCount);
    EXPECT_NEAR(1.0, Sample.History[0].ClockCore, 1e-3);
    EXPECT_NEAR(256.0, Sample.History[255].ClockCore, 1e-3);

    Cycles(1);
    EXPECT_EQ(256u, Sample.HistoryCount);
    for (unsigned int i = 0; i < HISTORY_SIZE; ++i)
        ASSERT_NEAR(i + 2.0, Sample.History[i].ClockCore, 1e-3) << "entry " << i;
}

TEST_F(MeasureHistory, EntriesHoldTheWholeSample)
{
    Start({{"Sensor0Temp", "65"}, {"Sensor1Temp", "41"}, {"UsageCore", "51"}, {"UsageMemory", "32"},
           {"UsageVideo", "13"}, {"FanLevel", "44"}});
    Config.Global.MemoryRate = 2;
    Cycles(1);
    ASSERT_EQ(1u, Sample.HistoryCount);
    const HISTORYENTRY& entry = Sample.History[0];
    EXPECT_EQ(65u, entry.CoreTemp);
    EXPECT_EQ(41u, entry.AmbientTemp);
    EXPECT_NEAR(1126.0, entry.ClockCore, 1e-3);
    EXPECT_NEAR(7010.0, entry.ClockMemory, 1e-3);
    EXPECT_NEAR(2252.0, entry.ClockShader, 1e-3);
    EXPECT_EQ(51u, entry.UsageCore);
    EXPECT_EQ(32u, entry.UsageMemory);
    EXPECT_EQ(13u, entry.UsageVideo);
    EXPECT_EQ((4194304u - 3145728u) >> 10, entry.MemoryUsed);
    EXPECT_EQ(44u, entry.FanLevel);
}

TEST_F(MeasureHistory, AveragesAreTruncatedMeansIncludingTheNewSample)
{
    Start({{"Sensor0Temp", "60,61,62"}, {"Sensor1Temp", "40,41,43"}});
    Cycles(2);
    EXPECT_EQ(60u, Sample.AveCoreTemp);
    EXPECT_EQ(40u, Sample.AveAmbientTemp);
    Cycles(1);
    EXPECT_EQ(61u, Sample.AveCoreTemp);
    EXPECT_EQ(41u, Sample.AveAmbientTemp);
}

TEST_F(MeasureHistory, AveragesStopAtTheFirstSampleWithoutACoreTemperature)
{
    Start({{"Sensor0Temp", "50,0,90"}, {"Sensor1Temp", "40"}});
    Cycles(1);
    EXPECT_EQ(50u, Sample.AveCoreTemp);
    Cycles(2);
    EXPECT_EQ(3u, Sample.HistoryCount);
    EXPECT_EQ(50u, Sample.AveCoreTemp);
    EXPECT_EQ(40u, Sample.AveAmbientTemp);
}

TEST_F(MeasureHistory, ACoreTemperatureOf200IsGarbage)
{
    Start({{"Sensor0Temp", "200,199"}});
    EnableAlertAndLog();
    Cycles(1);
    EXPECT_EQ(200u, Sample.CoreTemp);
    EXPECT_EQ(0u, Sample.MaxCoreTemp);
    EXPECT_EQ(0u, Sample.HistoryCount);
    EXPECT_EQ(0u, Sample.AveCoreTemp);
    EXPECT_FALSE(testenv::FileExists(logPath));
    EXPECT_TRUE(Played().empty());
    // The other readings of a dropped sample still count for their maxima.
    EXPECT_EQ(40u, Sample.MaxAmbientTemp);
    EXPECT_NEAR(1126.0, Sample.MaxClockCore, 1e-3);

    Cycles(1);
    EXPECT_EQ(199u, Sample.MaxCoreTemp);
    ASSERT_EQ(1u, Sample.HistoryCount);
    EXPECT_EQ(199u, Sample.History[0].CoreTemp);
    EXPECT_EQ(1u, LogLines());
    EXPECT_EQ(1u, Played().size());
}

TEST_F(MeasureHistory, AnAmbientTemperatureOf200IsGarbage)
{
    Start({{"Sensor1Temp", "250"}});
    EnableAlertAndLog();
    Cycles(1);
    EXPECT_EQ(0u, Sample.MaxAmbientTemp);
    EXPECT_EQ(60u, Sample.MaxCoreTemp);
    EXPECT_EQ(0u, Sample.HistoryCount);
    EXPECT_FALSE(testenv::FileExists(logPath));
    EXPECT_TRUE(Played().empty());
}

TEST_F(MeasureHistory, UsageAbove100IsAFaultForGood)
{
    static const char alarm[] = "RIFF alarm";
    FaultAlarmSound = alarm;
    Start({{"UsageVideo", "101,10"}});
    Cycles(1);
    EXPECT_EQ(0u, Sample.UsageVideo);
    EXPECT_EQ(0u, Sample.MaxUsageVideo);
    EXPECT_NE(0, Sample.Fault);
    EXPECT_EQ(0u, Sample.HistoryCount);

    Cycles(2);
    EXPECT_EQ(10u, Sample.UsageVideo);
    EXPECT_NE(0, Sample.Fault);
    EXPECT_EQ(2u, Sample.HistoryCount);
    // The alarm sounds on every cycle from the fault on, from memory, without waiting.
    std::vector<PLAYEDSOUND> played = Played();
    ASSERT_EQ(3u, played.size());
    for (const PLAYEDSOUND& sound : played) {
        EXPECT_EQ(static_cast<const void*>(alarm), sound.memory);
        EXPECT_EQ(static_cast<UINT>(SND_ASYNC | SND_MEMORY), sound.flags);
    }
}

TEST_F(MeasureHistory, AFaultWithoutAnAlarmSoundIsSilent)
{
    Start({{"UsageCore", "150"}});
    Cycles(2);
    EXPECT_NE(0, Sample.Fault);
    EXPECT_EQ(0u, Sample.UsageCore);
    EXPECT_TRUE(Played().empty());
}

TEST_F(MeasureHistory, FanLevelAbove100IsHiddenButNoFault)
{
    Start({{"FanLevel", "101,40"}});
    EnableAlertAndLog();
    Config.Alert.Core = 50;
    Cycles(1);
    EXPECT_EQ(0u, Sample.FanLevel);
    EXPECT_EQ(0, Sample.Fault);
    EXPECT_EQ(0u, Sample.HistoryCount);
    EXPECT_FALSE(testenv::FileExists(logPath));
    EXPECT_TRUE(Played().empty());

    Cycles(1);
    EXPECT_EQ(40u, Sample.FanLevel);
    EXPECT_EQ(1u, Sample.HistoryCount);
    EXPECT_EQ(1u, LogLines());
}

TEST_F(MeasureHistory, OnlyTheResetLowersTemperatureMaxima)
{
    Start({{"Sensor0Temp", "70,50"}, {"Sensor1Temp", "45,41"}, {"UsageCore", "90,20"}});
    Cycles(2);
    EXPECT_EQ(70u, Sample.MaxCoreTemp);
    EXPECT_EQ(45u, Sample.MaxAmbientTemp);
    EXPECT_EQ(90u, Sample.MaxUsageCore);
    ResetMaximum(nullptr);
    EXPECT_EQ(50u, Sample.MaxCoreTemp);
    EXPECT_EQ(41u, Sample.MaxAmbientTemp);
    EXPECT_EQ(90u, Sample.MaxUsageCore);
    EXPECT_EQ(2u, Sample.HistoryCount);
    EXPECT_EQ(60u, Sample.AveCoreTemp);
}

#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <string>

#include "config/config.h"
#include "config/formats.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "measure_fixture.h"
#include "support/testenv.h"

// The temperature alert through the sound seam.
class MeasureAlert : public MeasureTest {
protected:
    void SetUp() override
    {
        MeasureTest::SetUp();
        Config.Alert.Enable = 1;
        Config.Alert.Core = 100;
        Config.Alert.Ambient = 80;
        snprintf(Config.Alert.File, sizeof Config.Alert.File, "%s", dir.File("hot.wav").c_str());
    }
};

TEST_F(MeasureAlert, PlaysFromExactlyTheCoreThreshold)
{
    Start({{"Sensor0Temp", "100,99"}, {"Sensor1Temp", "79"}});
    Cycles(1);
    std::vector<PLAYEDSOUND> played = Played();
    ASSERT_EQ(1u, played.size());
    EXPECT_EQ(dir.File("hot.wav"), played[0].file);
    EXPECT_EQ(static_cast<UINT>(SND_ASYNC), played[0].flags);
    Cycles(1);
    EXPECT_EQ(1u, Played().size());
}

TEST_F(MeasureAlert, TheAmbientThresholdAloneAlsoPlays)
{
    Start({{"Sensor0Temp", "99"}, {"Sensor1Temp", "79,80"}});
    Cycles(1);
    EXPECT_TRUE(Played().empty());
    Cycles(1);
    EXPECT_EQ(1u, Played().size());
}

TEST_F(MeasureAlert, EveryHotCyclePlaysAgainUnlessDisabled)
{
    Start({{"Sensor0Temp", "120"}});
    Cycles(3);
    EXPECT_EQ(3u, Played().size());
    Config.Alert.Enable = 0;
    Cycles(2);
    EXPECT_EQ(3u, Played().size());
}

// The log line: date, time and the seven readings, through the checked formatting.
class MeasureLogLine : public MeasureTest {
protected:
    void SetUp() override
    {
        MeasureTest::SetUp();
        logPath = dir.File("VARNOK.LOG");
        MeasureLog.FileName(logPath.c_str());
        MeasureLog.FormatType(LF_DATETIME);
        MeasureLog.Enable(true);
        Config.Log.Enable = 1;
        Config.Global.MemoryRate = 2;
    }

    void SetFormat(const char* format) { snprintf(Config.Log.Format, sizeof Config.Log.Format, "%s", format); }

    static std::string Stamp(const SYSTEMTIME& time)
    {
        char text[32];
        snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                 time.wMinute, time.wSecond);
        return text;
    }

    // Runs one cycle and checks the line it appended byte for byte: "YYYY/MM/DD hh:mm:ss",
    // two blanks, the message, CR LF (the file is written in text mode).
    void ExpectCycleLogs(const std::string& message)
    {
        const size_t before = testenv::ReadFile(logPath).size();
        SYSTEMTIME start, end;
        GetLocalTime(&start);
        Cycles(1);
        GetLocalTime(&end);
        const std::string line = testenv::ReadFile(logPath).substr(before);
        const size_t stampLength = 19;
        ASSERT_EQ(stampLength + 2 + message.size() + 2, line.size()) << line;
        const std::string stamp = line.substr(0, stampLength);
        for (size_t i = 0; i < stampLength; ++i) {
            const char expected = "0000/00/00 00:00:00"[i];
            if (expected == '0')
                EXPECT_TRUE(stamp[i] >= '0' && stamp[i] <= '9') << stamp;
            else
                EXPECT_EQ(expected, stamp[i]) << stamp;
        }
        EXPECT_LE(Stamp(start), stamp);
        EXPECT_GE(Stamp(end), stamp);
        EXPECT_EQ("  " + message + "\r\n", line.substr(stampLength));
    }

    std::string logPath;
};

const char CALM_MESSAGE[] = " 60, 40,1126.0,7010.0,2252.0, 1600, 45";

TEST_F(MeasureLogLine, DefaultFormatGivesDateTimeAndTheSevenReadings)
{
    Start({{"Sensor0Temp", "65,7"}, {"Sensor1Temp", "41,130"}, {"Tach", "1600,20000"}, {"FanLevel", "45,100"}});
    ExpectCycleLogs(" 65, 41,1126.0,7010.0,2252.0, 1600, 45");
    ExpectCycleLogs("  7,130,1126.0,7010.0,2252.0,20000,100");
}

TEST_F(MeasureLogLine, AUserFormatGetsTheReadingsInOrder)
{
    SetFormat("core %d amb %d / %.2f %.2f %.2f / %d rpm %d%%");
    Start({});
    ExpectCycleLogs("core 60 amb 40 / 1126.00 7010.00 2252.00 / 1600 rpm 45%");
}

TEST_F(MeasureLogLine, AnUnacceptedFormatLogsWithTheDefault)
{
    Start({});
    for (const char* hostile : {"%s%s%n", "%n", "%d%d%d%d%d%d%d%d", "%f,%d", "%*d", "%lld", "%d%", "%1000d", "%s"}) {
        SCOPED_TRACE(hostile);
        SetFormat(hostile);
        ExpectCycleLogs(CALM_MESSAGE);
    }
}

TEST_F(MeasureLogLine, ALineLongerThanTheBufferIsCut)
{
    SetFormat("%250d%250d|%f");
    Start({});
    char full[600];
    snprintf(full, sizeof full, "%250d%250d", 60, 40);
    ExpectCycleLogs(std::string(full, 255));
}

TEST_F(MeasureLogLine, NothingIsLoggedWhenDisabled)
{
    Config.Log.Enable = 0;
    Start({});
    Cycles(2);
    EXPECT_FALSE(testenv::FileExists(logPath));
}

TEST_F(MeasureLogLine, AnUnwritableLogDropsTheLineAndTheCycleGoesOn)
{
    MeasureLog.FileName(dir.File("no such folder\\VARNOK.LOG").c_str());
    Start({});
    Cycles(2);
    EXPECT_EQ(2u, Sample.HistoryCount);
    EXPECT_FALSE(testenv::FileExists(dir.File("no such folder\\VARNOK.LOG")));
}

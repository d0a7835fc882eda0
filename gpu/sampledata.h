#pragma once

enum { HISTORY_SIZE = 256 };

// One valid sample as the graph keeps it.
struct HISTORYENTRY {
    unsigned int CoreTemp;
    unsigned int AmbientTemp;
    double ClockCore;
    double ClockMemory;
    double ClockShader;
    unsigned int UsageCore;
    unsigned int UsageMemory;
    unsigned int UsageVideo;
    unsigned int MemoryUsed;  // MB
    unsigned int FanLevel;
};

// The measurement record: current values, maxima, averages, history, failure counts.
struct SAMPLEDATA {
    unsigned int CoreTemp;
    unsigned int AmbientTemp;
    unsigned int CoreTempLimit;
    double ClockCore;
    double ClockMemory;
    double ClockShader;
    unsigned int UsageCore;
    unsigned int UsageMemory;
    unsigned int UsageVideo;
    unsigned int FanSpeed;
    unsigned int FanLevel;
    unsigned int MemoryTotal;  // KB
    unsigned int MemoryFree;   // KB

    double BoostClockCore;
    double BoostClockMemory;
    double BoostClockShader;

    unsigned int MaxCoreTemp;
    unsigned int MaxAmbientTemp;
    double MaxClockCore;
    double MaxClockMemory;
    double MaxClockShader;
    unsigned int MaxUsageCore;
    unsigned int MaxUsageMemory;
    unsigned int MaxUsageVideo;
    unsigned int MaxMemoryUsed;  // KB

    unsigned int AveCoreTemp;
    unsigned int AveAmbientTemp;

    HISTORYENTRY History[HISTORY_SIZE];
    unsigned int HistoryCount;

    unsigned int ErrorTemp;
    unsigned int ErrorClock;
    unsigned int ErrorUsage;
    unsigned int ErrorFan;
    unsigned int ErrorMemory;

    int Fault;
};

extern SAMPLEDATA Sample;

// Memory in use in MB, in the unsigned 32-bit arithmetic the display has always used.
inline unsigned int MemoryUsedMB(const SAMPLEDATA& sample)
{
    return (sample.MemoryTotal - sample.MemoryFree) >> 10;
}

// Checks the current values and raises the maxima. Garbage readings are reset (usage and fan
// level above 100 to 0; a usage above 100 also sets Fault). Answers whether the sample may enter
// the history, the alert and the log.
bool CheckSample(SAMPLEDATA& sample);

// Appends the current values as the newest history entry (the oldest falls out when full)
// and recomputes the average temperatures.
void AppendHistory(SAMPLEDATA& sample);

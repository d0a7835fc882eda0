#include "gpu/sampledata.h"

#include <cstring>

SAMPLEDATA Sample;

namespace {

void RecomputeAverages(SAMPLEDATA& sample)
{
    // The averages run over the leading entries up to the first with a core temperature of 0:
    // a GPU that reports no core sensor therefore has no averages at all.
    unsigned long long coreSum = 0;
    unsigned long long ambientSum = 0;
    unsigned int count = 0;
    while (count < HISTORY_SIZE && sample.History[count].CoreTemp != 0) {
        coreSum += sample.History[count].CoreTemp;
        ambientSum += sample.History[count].AmbientTemp;
        ++count;
    }
    sample.AveCoreTemp = count ? static_cast<unsigned int>(coreSum / count) : 0;
    sample.AveAmbientTemp = count ? static_cast<unsigned int>(ambientSum / count) : 0;
}

}  // namespace

void AppendHistory(SAMPLEDATA& sample)
{
    if (sample.HistoryCount >= HISTORY_SIZE) {
        memmove(&sample.History[0], &sample.History[1], sizeof(HISTORYENTRY) * (HISTORY_SIZE - 1));
        sample.HistoryCount = HISTORY_SIZE - 1;
    }
    HISTORYENTRY& entry = sample.History[sample.HistoryCount];
    entry.CoreTemp = sample.CoreTemp;
    entry.AmbientTemp = sample.AmbientTemp;
    entry.ClockCore = sample.ClockCore;
    entry.ClockMemory = sample.ClockMemory;
    entry.ClockShader = sample.ClockShader;
    entry.UsageCore = sample.UsageCore;
    entry.UsageMemory = sample.UsageMemory;
    entry.UsageVideo = sample.UsageVideo;
    entry.MemoryUsed = MemoryUsedMB(sample);
    entry.FanLevel = sample.FanLevel;
    ++sample.HistoryCount;
    RecomputeAverages(sample);
}

#include "gpu/sampledata.h"

namespace {

void RaiseMaximum(unsigned int& maximum, unsigned int value)
{
    if (value > maximum)
        maximum = value;
}

void RaiseMaximum(double& maximum, double value)
{
    if (value > maximum)
        maximum = value;
}

// A usage above 100 is garbage from the driver: shown as 0 and remembered as a fault for good.
bool CheckUsage(SAMPLEDATA& sample, unsigned int& usage, unsigned int& maximum)
{
    if (usage > 100) {
        usage = 0;
        sample.Fault = 1;
        return false;
    }
    RaiseMaximum(maximum, usage);
    return true;
}

}  // namespace

bool CheckSample(SAMPLEDATA& sample)
{
    // Temperatures of 200 or more are driver garbage: they make the sample invalid but still let
    // the other readings raise their maxima, as every check below runs regardless.
    bool valid = true;
    if (sample.CoreTemp >= 200)
        valid = false;
    else
        RaiseMaximum(sample.MaxCoreTemp, sample.CoreTemp);
    if (sample.AmbientTemp >= 200)
        valid = false;
    else
        RaiseMaximum(sample.MaxAmbientTemp, sample.AmbientTemp);
    RaiseMaximum(sample.MaxClockCore, sample.ClockCore);
    RaiseMaximum(sample.MaxClockMemory, sample.ClockMemory);
    RaiseMaximum(sample.MaxClockShader, sample.ClockShader);
    valid = CheckUsage(sample, sample.UsageCore, sample.MaxUsageCore) && valid;
    valid = CheckUsage(sample, sample.UsageMemory, sample.MaxUsageMemory) && valid;
    valid = CheckUsage(sample, sample.UsageVideo, sample.MaxUsageVideo) && valid;
    RaiseMaximum(sample.MaxMemoryUsed, sample.MemoryTotal - sample.MemoryFree);
    // A fan level above 100 is only hidden: it drops the sample but is no fault.
    if (sample.FanLevel > 100) {
        sample.FanLevel = 0;
        return false;
    }
    return valid;
}

#include "gpu/measure.h"

#include <atomic>

#include "base/checkedformat.h"
#include "base/critsect.h"
#include "base/settingcopy.h"
#include "config/config.h"
#include "config/formats.h"
#include "config/keyschema.h"
#include "gpu/sampledata.h"
#include "gpu/sound.h"

CNVGF Gpu;
LOGFILE MeasureLog;

namespace {

// The driver reports kHz; the factor has always been the single-precision 0.001, widened.
const double KHZ_TO_MHZ = static_cast<double>(0.001f);

unsigned int DemoState = 1;

unsigned int DrawDemo()
{
    DemoState = DemoState * 214013u + 2531011u;
    return (DemoState >> 16) & 0x7FFF;
}

struct ClockReading {
    bool read;
    double core;
    double memory;
    double shader;
};

double DomainMHz(const NV_CLOCK_FREQUENCIES& clocks, NvU32 domain)
{
    const NV_CLOCK_DOMAIN& entry = clocks.Domain[domain];
    return (entry.Flags & NV_ENTRY_PRESENT) ? entry.FrequencyKHz * KHZ_TO_MHZ : 0.0;
}

ClockReading ReadClocks(NvU32 type)
{
    NV_CLOCK_FREQUENCIES clocks = {};
    clocks.Version = NV_CLOCK_FREQUENCIES_VER;
    clocks.ClockType = type & NV_CLOCK_TYPE_MASK;
    ClockReading reading = {};
    if (NvAPI_GPU_GetAllClockFrequencies(Gpu.Gpu(), &clocks) != NVAPI_OK)
        return reading;
    reading.read = true;
    reading.core = DomainMHz(clocks, NV_CLOCK_DOMAIN_GRAPHICS);
    reading.memory = DomainMHz(clocks, NV_CLOCK_DOMAIN_MEMORY);
    reading.shader = DomainMHz(clocks, NV_CLOCK_DOMAIN_PROCESSOR);
    return reading;
}

void ReadTemperatures(SAMPLEDATA& s)
{
    NV_THERMAL_SETTINGS thermal = {};
    thermal.Version = NV_THERMAL_SETTINGS_VER;
    if (NvAPI_GPU_GetThermalSettings(Gpu.Gpu(), NV_THERMAL_ALL_SENSORS, &thermal) != NVAPI_OK) {
        ++s.ErrorTemp;
        return;
    }
    // A count beyond the record's sensors would read past it.
    NvU32 count = thermal.Count < NVAPI_MAX_THERMAL_SENSORS ? thermal.Count : NVAPI_MAX_THERMAL_SENSORS;
    for (NvU32 i = 0; i < count; ++i) {
        const NV_THERMAL_SENSOR& sensor = thermal.Sensor[i];
        if (sensor.Target == NV_THERMAL_TARGET_GPU) {
            s.CoreTemp = sensor.CurrentTemp;
            s.CoreTempLimit = sensor.DefaultMaxTemp;
        } else if (sensor.Target == NV_THERMAL_TARGET_BOARD) {
            s.AmbientTemp = sensor.CurrentTemp;
        }
    }
}

void ReadUsage(SAMPLEDATA& s)
{
    NV_DYNAMIC_PSTATES pstates = {};
    pstates.Version = NV_DYNAMIC_PSTATES_VER;
    if (Gpu.GetDynamicPstatesInfoEx(&pstates) == NVAPI_OK) {
        if (pstates.Entry[NV_PSTATE_ENTRY_GPU].Flags & NV_ENTRY_PRESENT)
            s.UsageCore = pstates.Entry[NV_PSTATE_ENTRY_GPU].Percent;
        if (pstates.Entry[NV_PSTATE_ENTRY_FRAME_BUFFER].Flags & NV_ENTRY_PRESENT)
            s.UsageMemory = pstates.Entry[NV_PSTATE_ENTRY_FRAME_BUFFER].Percent;
        if (pstates.Entry[NV_PSTATE_ENTRY_VIDEO].Flags & NV_ENTRY_PRESENT)
            s.UsageVideo = pstates.Entry[NV_PSTATE_ENTRY_VIDEO].Percent;
        return;
    }
    NV_USAGE_TABLE table = {};
    table.Version = NV_USAGE_TABLE_VER;
    if (Gpu.GetUsages(&table) == NVAPI_OK) {
        s.UsageCore = UsageAt(table, NV_USAGE_CORE_OFFSET);
        s.UsageMemory = UsageAt(table, NV_USAGE_MEMORY_OFFSET);
        s.UsageVideo = UsageAt(table, NV_USAGE_VIDEO_OFFSET);
        return;
    }
    ++s.ErrorUsage;
}

void ReadFan(SAMPLEDATA& s)
{
    NvU32 rpm = 0;
    if (NvAPI_GPU_GetTachReading(Gpu.Gpu(), &rpm) == NVAPI_OK)
        s.FanSpeed = rpm;
    else
        ++s.ErrorFan;

    NV_COOLER_SETTINGS coolers = {};
    coolers.Version = NV_COOLER_SETTINGS_VER;
    if (Gpu.GetCoolerSettings(0, &coolers) == NVAPI_OK && coolers.Count > 0)
        s.FanLevel = coolers.Cooler[0].CurrentLevel;
    else
        ++s.ErrorFan;
}

void ReadMemory(SAMPLEDATA& s)
{
    NV_MEMORY_INFO memory = {};
    memory.Version = NV_MEMORY_INFO_VER;
    if (Gpu.GetMemoryInfo(&memory) == NVAPI_OK) {
        s.MemoryTotal = memory.DedicatedKB;
        s.MemoryFree = memory.CurrentAvailableKB;
    } else {
        ++s.ErrorMemory;
    }
}

// Demonstration readings replace whatever the driver gave, drawn in a fixed order so that a
// seeded run repeats. The memory clocks carry the factor like read ones.
void DrawDemonstrationReadings(SAMPLEDATA& s, unsigned int memoryRate)
{
    // The settings keep Limit within 100..200, but the record is all zero before the first load.
    unsigned int limit = Config.Global.Limit ? Config.Global.Limit : 1;
    s.CoreTemp = DrawDemo() % limit + 1;
    s.AmbientTemp = DrawDemo() % limit + 1;
    s.ClockCore = DrawDemo() % 1500 + 1;
    s.ClockMemory = static_cast<double>(DrawDemo() % 800 + 1) * memoryRate;
    s.ClockShader = DrawDemo() % 1500 + 1;
    s.UsageCore = DrawDemo() % 100 + 1;
    s.UsageMemory = DrawDemo() % 100 + 1;
    s.UsageVideo = DrawDemo() % 100 + 1;
    s.FanSpeed = DrawDemo() % 5000 + 1;
    s.MemoryTotal = 1048576;
    s.FanLevel = DrawDemo() % 100 + 1;
    s.MemoryFree = DrawDemo() % 1048576 + 1;
    s.BoostClockCore = 1215.5;
    s.BoostClockMemory = 3505.0 * memoryRate;
    s.BoostClockShader = 0.0;
}

void AlertIfHot(const SAMPLEDATA& s)
{
    if (!Config.Alert.Enable)
        return;
    if (s.CoreTemp >= Config.Alert.Core || s.AmbientTemp >= Config.Alert.Ambient) {
        char file[sizeof Config.Alert.File];
        CopySetting(file, Config.Alert.File);
        PlaySoundFile(file);
    }
}

void WriteLogLine(const SAMPLEDATA& s)
{
    if (!Config.Log.Enable)
        return;
    char format[sizeof Config.Log.Format];
    CopySetting(format, Config.Log.Format);
    // A user format may produce more than the line holds; FormatChecked cuts it, whole characters.
    char line[256];
    FormatChecked(line, sizeof line, format, LOG_FORMAT_DEFAULT, LOG_FORMAT_ARGUMENTS, static_cast<int>(s.CoreTemp),
                  static_cast<int>(s.AmbientTemp), s.ClockCore, s.ClockMemory, s.ClockShader,
                  static_cast<int>(s.FanSpeed), static_cast<int>(s.FanLevel));
    MeasureLog.Write(line);
}

void UpdateIlluminationOnly(HWND) { UpdateIllumination(); }

std::atomic<PANELREFRESH> PanelRefresh{UpdateIlluminationOnly};

}  // namespace

void SetPanelRefresh(PANELREFRESH refresh) { PanelRefresh = refresh ? refresh : UpdateIlluminationOnly; }

void SeedDemonstration(unsigned int seed) { DemoState = seed; }

namespace {

// One reading of every value into the sample, under the Probe section.
void ReadSample()
{
    SAMPLEDATA& s = Sample;
    // The factor goes only onto memory clocks read in this cycle (one kept from an earlier cycle
    // after a failed read carries it already), and onto them before they are stored, so the panel,
    // reading without the section, never sees a memory clock without it.
    const unsigned int memoryRate = Config.Global.MemoryRate;

    ReadTemperatures(s);
    ClockReading current = ReadClocks(NV_CLOCK_TYPE_CURRENT);
    if (current.read) {
        s.ClockCore = current.core;
        s.ClockMemory = current.memory * memoryRate;
        s.ClockShader = current.shader;
    } else {
        ++s.ErrorClock;
    }
    ReadUsage(s);
    ReadFan(s);
    ReadMemory(s);
    ClockReading boost = ReadClocks(NV_CLOCK_TYPE_BOOST);
    if (boost.read) {
        s.BoostClockCore = boost.core;
        s.BoostClockMemory = boost.memory * memoryRate;
        s.BoostClockShader = boost.shader;
    } else {
        ++s.ErrorClock;
    }

    if (Config.Global.Dummy)
        DrawDemonstrationReadings(s, memoryRate);

    if (CheckSample(s)) {
        AppendHistory(s);
        AlertIfHot(s);
        WriteLogLine(s);
    }
    if (s.Fault)
        PlayFaultAlarm();
}

}  // namespace

void MeasureCycle(HWND window)
{
    {
        SECTIONTRYGUARD probe(ProbeSection);
        if (!probe.Held())
            return;
        ReadSample();
    }
    PanelRefresh.load()(window);
}

void ResetMaximum(HWND window)
{
    // A cycle holds the section only while it reads, so this waits as long as one cycle. A section
    // that does not exist (before initialisation, after teardown) will never be free: give up.
    for (;;) {
        SECTIONTRYGUARD probe(ProbeSection);
        if (probe.Held()) {
            Sample.MaxCoreTemp = Sample.CoreTemp;
            Sample.MaxAmbientTemp = Sample.AmbientTemp;
            break;
        }
        if (ProbeSection.state == CS_NONE)
            return;
        Sleep(100);
    }
    PanelRefresh.load()(window);
}

bool IlluminationSupported()
{
    NV_ILLUMINATION query = {};
    query.Version = NV_ILLUMINATION_VER;
    query.Gpu = Gpu.Gpu();
    query.Attribute = NV_ILLUMINATION_ATTRIBUTE_LOGO;
    return NvAPI_GPU_QueryIlluminationSupport(&query) == NVAPI_OK && query.Value != 0;
}

void UpdateIllumination()
{
    if (!Config.Illumination.Enable)
        return;
    unsigned int brightness;
    switch (Config.Illumination.Sync) {
    case SYNC_NONE: brightness = Config.Illumination.Value; break;
    case SYNC_CORE_TEMP: brightness = Sample.CoreTemp; break;
    case SYNC_CORE_USAGE: brightness = Sample.UsageCore; break;
    case SYNC_FAN: brightness = Sample.FanLevel; break;
    default: brightness = 0; break;
    }
    if (brightness > 100)
        brightness = 100;

    if (!IlluminationSupported())
        return;
    NV_ILLUMINATION set = {};
    set.Version = NV_ILLUMINATION_VER;
    set.Gpu = Gpu.Gpu();
    set.Attribute = NV_ILLUMINATION_ATTRIBUTE_LOGO;
    set.Value = brightness;
    NvAPI_GPU_SetIllumination(&set);
}

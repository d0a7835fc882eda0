// Cost of one measurement cycle: whole cycles against the simulated driver, the same driver calls
// made bare, the cycle's own work (validity, maxima, history, averages) alone, and the driver
// calls one cycle makes, counted from the driver's journal.
// Usage: bench_measure_cycle [path of the simulated nvapi64.dll]; by default the DLL of the
// build tree, ..\simgpu\nvapi64.dll beside this program's folder.

#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/critsect.h"
#include "bench/benchclock.h"
#include "config/config.h"
#include "gpu/measure.h"
#include "gpu/nvapiclient.h"
#include "gpu/sampledata.h"

namespace {

const int CYCLES = 20000;
const int JOURNAL_CYCLES = 50;
const int PURE_ROUNDS = 200000;
const int RUNS = 3;
const double OWN_COST_TARGET_US = 20.0;

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string DefaultDriverPath()
{
    char exe[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (length == 0 || length >= sizeof exe)
        return std::string();
    return FolderOf(FolderOf(exe)) + "\\simgpu\\nvapi64.dll";
}

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

// A healthy GPU whose readings stay valid, so every cycle takes the whole path: history, averages.
std::string Scenario(const std::string& journal)
{
    std::string text = "[driver]\n";
    if (!journal.empty())
        text += "Journal=" + journal + "\n";
    text += "[display0.gpu0]\nSensor0Temp=60,61,62,63,64,65\nUsageCore=40,50,60\n";
    return text;
}

bool StartDriver(const std::string& scenarioPath, const std::string& journal)
{
    Gpu.Release();
    if (!WriteText(scenarioPath, Scenario(journal)))
        return false;
    return Gpu.Initialize() && Gpu.SelectGpu(0, 0);
}

// The reads of one cycle without anything around them.
void DriverCallsOnly()
{
    NV_THERMAL_SETTINGS thermal = NvRecord<NV_THERMAL_SETTINGS>(NV_THERMAL_SETTINGS_VER);
    NvAPI_GPU_GetThermalSettings(Gpu.Gpu(), NV_THERMAL_ALL_SENSORS, &thermal);
    NV_CLOCK_FREQUENCIES clocks = NvRecord<NV_CLOCK_FREQUENCIES>(NV_CLOCK_FREQUENCIES_VER);
    NvAPI_GPU_GetAllClockFrequencies(Gpu.Gpu(), &clocks);
    NV_DYNAMIC_PSTATES pstates = NvRecord<NV_DYNAMIC_PSTATES>(NV_DYNAMIC_PSTATES_VER);
    Gpu.GetDynamicPstatesInfoEx(&pstates);
    NvU32 rpm = 0;
    NvAPI_GPU_GetTachReading(Gpu.Gpu(), &rpm);
    NV_COOLER_SETTINGS coolers = NvRecord<NV_COOLER_SETTINGS>(NV_COOLER_SETTINGS_VER);
    Gpu.GetCoolerSettings(0, &coolers);
    NV_MEMORY_INFO memory = NvRecord<NV_MEMORY_INFO>(NV_MEMORY_INFO_VER);
    Gpu.GetMemoryInfo(&memory);
    NV_CLOCK_FREQUENCIES boost = NvRecord<NV_CLOCK_FREQUENCIES>(NV_CLOCK_FREQUENCIES_VER);
    boost.ClockType = NV_CLOCK_TYPE_BOOST;
    NvAPI_GPU_GetAllClockFrequencies(Gpu.Gpu(), &boost);
}

// The best of a few runs: the least disturbed by the rest of the machine.
double MicrosecondsPer(int rounds, void (*work)())
{
    double best = 0.0;
    for (int run = 0; run < RUNS; ++run) {
        double start = Seconds();
        for (int i = 0; i < rounds; ++i)
            work();
        double each = (Seconds() - start) * 1e6 / rounds;
        if (run == 0 || each < best)
            best = each;
    }
    return best;
}

void WholeCycle() { MeasureCycle(nullptr); }

// The cycle's own work on a full history, its costliest case: every entry moves and the averages
// run over all 256.
void CheckAndAppend()
{
    Sample.CoreTemp = 60 + (Sample.HistoryCount & 7);
    if (CheckSample(Sample))
        AppendHistory(Sample);
}

// Journal lines, or only those that hold `part`.
int CountLines(const std::string& path, const char* part = "")
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return -1;
    int lines = 0;
    char line[512];
    while (fgets(line, sizeof line, file))
        lines += strstr(line, part) != nullptr;
    fclose(file);
    return lines;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string driver = argc > 1 ? argv[1] : DefaultDriverPath();
    if (GetFileAttributesA(driver.c_str()) == INVALID_FILE_ATTRIBUTES) {
        printf("simulated driver not found: %s\n", driver.c_str());
        return 1;
    }
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char folder[MAX_PATH + 64];
    snprintf(folder, sizeof folder, "%svarnok-bench-measure-%lu", temp, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);
    const std::string scenarioPath = std::string(folder) + "\\scenario.ini";
    const std::string journalPath = std::string(folder) + "\\journal.txt";
    SetDllDirectoryA(FolderOf(driver).c_str());
    SetEnvironmentVariableA("VARNOK_SIMGPU", scenarioPath.c_str());

    Config.Global.Limit = 160;
    Config.Global.MemoryRate = 2;
    CreateCritSect(ProbeSection, "PROBE");
    printf("Measurement cycle against the simulated driver (%s)\n", driver.c_str());

    // Calls per cycle, from the journal, with the LED following the core temperature.
    if (!StartDriver(scenarioPath, journalPath)) {
        printf("the simulated driver did not start\n");
        return 1;
    }
    Config.Illumination.Enable = 1;
    Config.Illumination.Sync = 1;
    const int before = CountLines(journalPath);
    const int ledBefore = CountLines(journalPath, "Illumination");
    for (int i = 0; i < JOURNAL_CYCLES; ++i)
        MeasureCycle(nullptr);
    const int led = CountLines(journalPath, "Illumination") - ledBefore;
    const int reads = CountLines(journalPath) - before - led;
    printf("%-44s %8.2f (at most 8)\n", "driver calls per cycle, measurement",
           static_cast<double>(reads) / JOURNAL_CYCLES);
    printf("%-44s %8.2f (at most 2)\n", "driver calls per cycle, LED update", static_cast<double>(led) / JOURNAL_CYCLES);
    Config.Illumination.Enable = 0;

    // Speed, without the journal: its file writes would dominate.
    memset(&Sample, 0, sizeof Sample);
    if (!StartDriver(scenarioPath, std::string())) {
        printf("the simulated driver did not start\n");
        return 1;
    }
    const double cycle = MicrosecondsPer(CYCLES, WholeCycle);
    const double calls7 = MicrosecondsPer(CYCLES, DriverCallsOnly);
    printf("%-44s %8.0f cycles/s  (%.2f us per cycle)\n", "whole cycle, simulated driver", 1e6 / cycle, cycle);
    printf("%-44s %8.2f us\n", "the same 7 driver calls alone", calls7);
    printf("%-44s %8.2f us\n", "cycle minus its driver calls", cycle - calls7);
    Gpu.Release();

    // No driver at all: every call fails at once, demonstration readings fill in.
    memset(&Sample, 0, sizeof Sample);
    Config.Global.Dummy = 1;
    const double demo = MicrosecondsPer(CYCLES, WholeCycle);
    printf("%-44s %8.2f us\n", "whole cycle, no driver (demonstration)", demo);
    Config.Global.Dummy = 0;

    const double pure = MicrosecondsPer(PURE_ROUNDS, CheckAndAppend);
    printf("%-44s %8.3f us  (%s the %.0f us target)\n", "validity, maxima, history, averages (full)", pure,
           pure < OWN_COST_TARGET_US ? "within" : "OVER", OWN_COST_TARGET_US);

    DeleteCritSect(ProbeSection);
    DeleteFileA(scenarioPath.c_str());
    DeleteFileA(journalPath.c_str());
    RemoveDirectoryA(folder);
    return 0;
}

#include "simgpu/scenario.h"

#include <windows.h>

#include <cstdio>

#include "simgpu/functions.h"

namespace {

const size_t MAX_DISPLAYS = 16;

// Typed reading of the scenario file through the profile functions; with no file every key
// is absent and the built-in values stand.
class PROFILE {
public:
    explicit PROFILE(const std::string& path) : path(path) {}

    bool Read(const std::string& section, const char* key, std::string& value) const
    {
        if (path.empty())
            return false;
        static const char ABSENT[] = "\x01";
        std::vector<char> buffer(4096);
        for (;;) {
            DWORD length = GetPrivateProfileStringA(section.c_str(), key, ABSENT, buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), path.c_str());
            if (length + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
                value.assign(buffer.data(), length);
                return value != ABSENT;
            }
            buffer.resize(buffer.size() * 2);
        }
    }

    std::string Text(const std::string& section, const char* key, const std::string& fallback) const
    {
        std::string value;
        return Read(section, key, value) ? value : fallback;
    }

    long long Number(const std::string& section, const char* key, long long fallback) const
    {
        std::string text;
        long long value;
        return Read(section, key, text) && ParseNumber(text, value) ? value : fallback;
    }

    NvU32 Limited(const std::string& section, const char* key, long long fallback, long long limit) const
    {
        long long value = Number(section, key, fallback);
        return static_cast<NvU32>(value < 0 ? 0 : value > limit ? limit : value);
    }

    std::vector<long long> List(const std::string& section, const char* key, const std::vector<long long>& fallback) const
    {
        std::string text;
        return Read(section, key, text) ? ParseNumberList(text) : fallback;
    }

    void Sequence(const std::string& section, const char* key, SIMSEQUENCE& sequence) const
    {
        std::string text;
        if (Read(section, key, text))
            sequence.Script(text);
    }

private:
    std::string path;
};

std::vector<NvU32> Indices(const std::vector<long long>& numbers, NvU32 limit)
{
    std::vector<NvU32> indices;
    for (long long number : numbers)
        if (number >= 0 && number < limit)
            indices.push_back(static_cast<NvU32>(number));
    return indices;
}

SIMSENSOR DefaultSensor(size_t index)
{
    SIMSENSOR sensor;
    switch (index) {
    case 0:
        sensor.Controller = 1;
        sensor.Target = NV_THERMAL_TARGET_GPU;
        sensor.Temp = SIMSEQUENCE(58, 9, 97);
        break;
    case 1:
        sensor.Controller = 2;
        sensor.Target = NV_THERMAL_TARGET_BOARD;
        sensor.Temp = SIMSEQUENCE(42, 3, 131);
        break;
    default:
        sensor.Controller = 1;
        sensor.Target = NV_THERMAL_TARGET_MEMORY;
        sensor.Temp = SIMSEQUENCE(50, 5, 113);
        break;
    }
    return sensor;
}

SIMGPU LoadGpu(const PROFILE& profile, const std::string& section)
{
    SIMGPU gpu;
    gpu.FullName = profile.Text(section, "FullName", "GeForce GTX 980");
    gpu.Bios = profile.Text(section, "Bios", "84.04.1F.00.01");
    gpu.BusType = static_cast<NvU32>(profile.Number(section, "BusType", gpu.BusType));
    gpu.AgpRate = static_cast<NvU32>(profile.Number(section, "AgpRate", gpu.AgpRate));
    gpu.PcieWidth = static_cast<NvU32>(profile.Number(section, "PcieWidth", gpu.PcieWidth));
    gpu.AgpApertureKB = static_cast<NvU32>(profile.Number(section, "AgpAperture", gpu.AgpApertureKB));
    gpu.FrameBufferKB = static_cast<NvU32>(profile.Number(section, "FrameBuffer", gpu.FrameBufferKB));

    NvU32 sensors = profile.Limited(section, "Sensors", 2, NVAPI_MAX_THERMAL_SENSORS);
    for (NvU32 i = 0; i < sensors; ++i) {
        SIMSENSOR sensor = DefaultSensor(i);
        char key[32];
        snprintf(key, sizeof key, "Sensor%u", i);
        std::vector<long long> codes = profile.List(section, key, {sensor.Controller, sensor.Target});
        if (codes.size() >= 2) {
            sensor.Controller = static_cast<int>(codes[0]);
            sensor.Target = static_cast<int>(codes[1]);
        }
        snprintf(key, sizeof key, "Sensor%uLimits", i);
        std::vector<long long> limits = profile.List(section, key, {sensor.DefaultMinTemp, sensor.DefaultMaxTemp});
        if (limits.size() >= 2) {
            sensor.DefaultMinTemp = static_cast<NvU32>(limits[0]);
            sensor.DefaultMaxTemp = static_cast<NvU32>(limits[1]);
        }
        snprintf(key, sizeof key, "Sensor%uTemp", i);
        profile.Sequence(section, key, sensor.Temp);
        gpu.Sensors.push_back(sensor);
    }
    gpu.ReportedSensors = static_cast<NvU32>(profile.Number(section, "ReportedSensors", sensors));

    gpu.ClockDomains = Indices(profile.List(section, "ClockDomains", {0, 4, 7}), NVAPI_MAX_CLOCK_DOMAINS);
    gpu.ClockCore = SIMSEQUENCE(1126000, 90000, 53);
    gpu.ClockMemory = SIMSEQUENCE(3505000, 0, 1);
    gpu.ClockShader = SIMSEQUENCE(2252000, 180000, 53);
    gpu.BoostCore = SIMSEQUENCE(1216000, 0, 1);
    gpu.BoostMemory = SIMSEQUENCE(3505000, 0, 1);
    gpu.BoostShader = SIMSEQUENCE(2432000, 0, 1);
    profile.Sequence(section, "ClockCore", gpu.ClockCore);
    profile.Sequence(section, "ClockMemory", gpu.ClockMemory);
    profile.Sequence(section, "ClockShader", gpu.ClockShader);
    profile.Sequence(section, "BoostCore", gpu.BoostCore);
    profile.Sequence(section, "BoostMemory", gpu.BoostMemory);
    profile.Sequence(section, "BoostShader", gpu.BoostShader);

    gpu.PstateEntries = Indices(profile.List(section, "PstateEntries", {0, 1, 2}), NVAPI_MAX_PSTATE_ENTRIES);
    gpu.UsageCore = SIMSEQUENCE(45, 40, 61);
    gpu.UsageMemory = SIMSEQUENCE(28, 22, 61);
    gpu.UsageVideo = SIMSEQUENCE(12, 10, 89);
    profile.Sequence(section, "UsageCore", gpu.UsageCore);
    profile.Sequence(section, "UsageMemory", gpu.UsageMemory);
    profile.Sequence(section, "UsageVideo", gpu.UsageVideo);

    gpu.Tach = SIMSEQUENCE(1600, 500, 97);
    gpu.FanLevel = SIMSEQUENCE(45, 15, 97);
    profile.Sequence(section, "Tach", gpu.Tach);
    profile.Sequence(section, "FanLevel", gpu.FanLevel);
    gpu.Coolers = profile.Limited(section, "Coolers", gpu.Coolers, NVAPI_MAX_COOLERS);

    gpu.Illumination = profile.Number(section, "Illumination", 1) != 0;
    return gpu;
}

SIMDISPLAY LoadDisplay(const PROFILE& profile, size_t index)
{
    char section[32];
    snprintf(section, sizeof section, "display%u", static_cast<unsigned>(index));
    SIMDISPLAY display;
    NvU32 gpus = profile.Limited(section, "Gpus", 1, NVAPI_MAX_PHYSICAL_GPUS);
    for (NvU32 i = 0; i < gpus; ++i) {
        char gpuSection[64];
        snprintf(gpuSection, sizeof gpuSection, "%s.gpu%u", section, i);
        display.Gpus.push_back(LoadGpu(profile, gpuSection));
    }
    display.ReportedGpus = static_cast<NvU32>(profile.Number(section, "ReportedGpus", gpus));
    display.Adapter = profile.Text(section, "Adapter", gpus ? display.Gpus[0].FullName : std::string());

    const double dedicated = gpus ? display.Gpus[0].FrameBufferKB : 4194304.0;
    display.MemoryDedicated = SIMSEQUENCE(dedicated, 0, 1);
    profile.Sequence(section, "MemoryDedicated", display.MemoryDedicated);
    const double total = display.MemoryDedicated.Peek();
    display.MemoryAvailable = SIMSEQUENCE(total * 0.78, total * 0.07, 71);
    profile.Sequence(section, "MemoryAvailable", display.MemoryAvailable);
    return display;
}

void LoadFailures(const PROFILE& profile, SCENARIO& scenario)
{
    scenario.Failures.assign(SF_COUNT, SIMFAILURE());
    for (int i = 0; i < SF_COUNT; ++i) {
        std::string value;
        if (!profile.Read("fail", FunctionEntry(static_cast<SIMFUNCTION>(i)).Name, value))
            continue;
        SIMFAILURE& failure = scenario.Failures[i];
        if (lstrcmpiA(value.c_str(), "always") == 0) {
            failure.Always = true;
            continue;
        }
        for (long long call : ParseNumberList(value))
            if (call > 0)
                failure.Calls.push_back(static_cast<unsigned long long>(call));
    }
}

void LoadHidden(const PROFILE& profile, SCENARIO& scenario)
{
    std::string list = profile.Text("driver", "Hidden", "");
    size_t start = 0;
    while (start < list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        std::string item = list.substr(start, comma - start);
        size_t first = item.find_first_not_of(" \t");
        size_t last = item.find_last_not_of(" \t");
        if (first != std::string::npos) {
            item = item.substr(first, last - first + 1);
            long long id;
            SIMFUNCTION function = FunctionByName(item.c_str());
            if (function != SF_COUNT)
                scenario.HiddenIds.push_back(FunctionEntry(function).Id);
            else if (ParseNumber(item, id))
                scenario.HiddenIds.push_back(static_cast<NvU32>(id));
        }
        start = comma + 1;
    }
}

std::string ModuleFolder()
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ModuleFolder), &self);
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return std::string();
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string ScenarioPath()
{
    char named[2048];
    DWORD length = GetEnvironmentVariableA("VARNOK_SIMGPU", named, sizeof named);
    if (length > 0 && length < sizeof named) {
        // The profile functions look for a bare name in the Windows folder; the scenario is
        // meant relative to the current folder.
        char full[2048];
        DWORD fullLength = GetFullPathNameA(named, sizeof full, full, nullptr);
        return fullLength > 0 && fullLength < sizeof full ? std::string(full) : std::string(named);
    }
    std::string beside = ModuleFolder() + "simgpu.ini";
    return FileExists(beside) ? beside : std::string();
}

SCENARIO LoadScenario(const std::string& path)
{
    SCENARIO scenario;
    scenario.Path = path;
    scenario.Missing = !path.empty() && !FileExists(path);
    PROFILE profile(scenario.Missing ? std::string() : path);

    scenario.Journal = profile.Text("driver", "Journal", "");
    scenario.JournalTimes = profile.Number("driver", "JournalTimes", 0) != 0;
    scenario.InterfaceVersion = profile.Text("driver", "InterfaceVersion", "simgpu NVAPI 1.0");
    scenario.DriverVersion = static_cast<NvU32>(profile.Number("driver", "Version", scenario.DriverVersion));
    scenario.ChangeList = static_cast<NvU32>(profile.Number("driver", "ChangeList", scenario.ChangeList));
    scenario.Branch = profile.Text("driver", "Branch", "r347_00");
    size_t displays = profile.Limited("driver", "Displays", 1, MAX_DISPLAYS);
    for (size_t i = 0; i < displays; ++i)
        scenario.Displays.push_back(LoadDisplay(profile, i));
    LoadHidden(profile, scenario);
    LoadFailures(profile, scenario);
    return scenario;
}

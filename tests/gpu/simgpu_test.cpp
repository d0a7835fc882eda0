#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "gpu/cnvgf.h"
#include "gpu/nvapiclient.h"
#include "simdriver.h"

// The simulated driver itself: what tests of the program rely on it to do.
class SimulatedDriver : public SimDriverTest {
protected:
    // Starts the driver with the scenario and selects display 0, GPU 0.
    void Start(const std::string& scenario)
    {
        WriteScenario(scenario);
        gpu.reset(new CNVGF);
        ASSERT_TRUE(gpu->Initialize());
        ASSERT_TRUE(gpu->SelectGpu(0, 0));
    }
    void TearDown() override
    {
        gpu.reset();
        SimDriverTest::TearDown();
    }

    NvU32 CoreTemp()
    {
        NV_THERMAL_SETTINGS thermal = NvRecord<NV_THERMAL_SETTINGS>(NV_THERMAL_SETTINGS_VER);
        EXPECT_EQ(NVAPI_OK, NvAPI_GPU_GetThermalSettings(gpu->Gpu(), NV_THERMAL_ALL_SENSORS, &thermal));
        return thermal.Sensor[0].CurrentTemp;
    }

    std::unique_ptr<CNVGF> gpu;
};

TEST_F(SimulatedDriver, ScriptedReadingsComeInOrderAndTheLastRepeats)
{
    Start("[display0.gpu0]\nSensor0Temp=60,61,62\n");
    EXPECT_EQ(60u, CoreTemp());
    EXPECT_EQ(61u, CoreTemp());
    EXPECT_EQ(62u, CoreTemp());
    EXPECT_EQ(62u, CoreTemp());
}

TEST_F(SimulatedDriver, UsageAppearsInBothUsageRecords)
{
    Start("[display0.gpu0]\nUsageCore=30\nUsageMemory=40\nUsageVideo=101\nPstateEntries=0,2\n");
    NV_DYNAMIC_PSTATES pstates = NvRecord<NV_DYNAMIC_PSTATES>(NV_DYNAMIC_PSTATES_VER);
    ASSERT_EQ(NVAPI_OK, gpu->GetDynamicPstatesInfoEx(&pstates));
    EXPECT_EQ(NV_ENTRY_PRESENT, pstates.Entry[0].Flags & NV_ENTRY_PRESENT);
    EXPECT_EQ(30u, pstates.Entry[0].Percent);
    EXPECT_EQ(0u, pstates.Entry[1].Flags & NV_ENTRY_PRESENT);
    EXPECT_EQ(101u, pstates.Entry[2].Percent);

    NV_USAGE_TABLE usages = NvRecord<NV_USAGE_TABLE>(NV_USAGE_TABLE_VER);
    ASSERT_EQ(NVAPI_OK, gpu->GetUsages(&usages));
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&usages);
    NvU32 atOffset[3];
    memcpy(&atOffset[0], bytes + 12, 4);
    memcpy(&atOffset[1], bytes + 28, 4);
    memcpy(&atOffset[2], bytes + 44, 4);
    EXPECT_EQ(30u, atOffset[0]);
    EXPECT_EQ(40u, atOffset[1]);
    EXPECT_EQ(101u, atOffset[2]);
}

TEST_F(SimulatedDriver, ClocksFanAndMemoryAtTheirRecordPlaces)
{
    Start("[display0]\nMemoryDedicated=1048576\nMemoryAvailable=24576\n"
          "[display0.gpu0]\nClockDomains=0,4\nClockCore=1215500\nClockMemory=3505000\nBoostCore=1300000\n"
          "Tach=2100\nCoolers=1\nFanLevel=101\n");
    NV_CLOCK_FREQUENCIES clocks = NvRecord<NV_CLOCK_FREQUENCIES>(NV_CLOCK_FREQUENCIES_VER);
    clocks.ClockType = NV_CLOCK_TYPE_CURRENT;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_GetAllClockFrequencies(gpu->Gpu(), &clocks));
    EXPECT_EQ(1215500u, clocks.Domain[NV_CLOCK_DOMAIN_GRAPHICS].FrequencyKHz);
    EXPECT_EQ(3505000u, clocks.Domain[NV_CLOCK_DOMAIN_MEMORY].FrequencyKHz);
    EXPECT_EQ(0u, clocks.Domain[NV_CLOCK_DOMAIN_PROCESSOR].Flags & NV_ENTRY_PRESENT);
    NV_CLOCK_FREQUENCIES boost = NvRecord<NV_CLOCK_FREQUENCIES>(NV_CLOCK_FREQUENCIES_VER);
    boost.ClockType = NV_CLOCK_TYPE_BOOST;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_GetAllClockFrequencies(gpu->Gpu(), &boost));
    EXPECT_EQ(1300000u, boost.Domain[NV_CLOCK_DOMAIN_GRAPHICS].FrequencyKHz);

    NvU32 rpm = 0;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_GetTachReading(gpu->Gpu(), &rpm));
    EXPECT_EQ(2100u, rpm);

    NV_COOLER_SETTINGS coolers = NvRecord<NV_COOLER_SETTINGS>(NV_COOLER_SETTINGS_VER);
    ASSERT_EQ(NVAPI_OK, gpu->GetCoolerSettings(0, &coolers));
    NvU32 count, level;
    memcpy(&count, reinterpret_cast<const char*>(&coolers) + 4, 4);
    memcpy(&level, reinterpret_cast<const char*>(&coolers) + 32, 4);
    EXPECT_EQ(1u, count);
    EXPECT_EQ(101u, level);

    NV_MEMORY_INFO memory = NvRecord<NV_MEMORY_INFO>(NV_MEMORY_INFO_VER);
    ASSERT_EQ(NVAPI_OK, gpu->GetMemoryInfo(&memory));
    NvU32 dedicated, available;
    memcpy(&dedicated, reinterpret_cast<const char*>(&memory) + 4, 4);
    memcpy(&available, reinterpret_cast<const char*>(&memory) + 20, 4);
    EXPECT_EQ(1048576u, dedicated);
    EXPECT_EQ(24576u, available);
}

TEST_F(SimulatedDriver, FailsOnTheNamedCallsOnly)
{
    Start("[fail]\nNvAPI_GPU_GetTachReading=2,4\n");
    NvU32 rpm = 0;
    EXPECT_EQ(NVAPI_OK, NvAPI_GPU_GetTachReading(gpu->Gpu(), &rpm));
    EXPECT_NE(NVAPI_OK, NvAPI_GPU_GetTachReading(gpu->Gpu(), &rpm));
    EXPECT_EQ(NVAPI_OK, NvAPI_GPU_GetTachReading(gpu->Gpu(), &rpm));
    EXPECT_NE(NVAPI_OK, NvAPI_GPU_GetTachReading(gpu->Gpu(), &rpm));
    EXPECT_EQ(NVAPI_OK, NvAPI_GPU_GetTachReading(gpu->Gpu(), &rpm));
}

TEST_F(SimulatedDriver, JournalRecordsArgumentsAndStatus)
{
    Start("");
    NV_ILLUMINATION query = NvRecord<NV_ILLUMINATION>(NV_ILLUMINATION_VER);
    query.Gpu = gpu->Gpu();
    query.Attribute = NV_ILLUMINATION_ATTRIBUTE_LOGO;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_QueryIlluminationSupport(&query));
    EXPECT_EQ(1u, query.Value);
    NV_ILLUMINATION set = NvRecord<NV_ILLUMINATION>(NV_ILLUMINATION_VER);
    set.Gpu = gpu->Gpu();
    set.Attribute = NV_ILLUMINATION_ATTRIBUTE_LOGO;
    set.Value = 65;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_SetIllumination(&set));
    set.Value = 101;
    EXPECT_NE(NVAPI_OK, NvAPI_GPU_SetIllumination(&set));

    std::vector<std::string> lines = JournalLines("NvAPI_GPU_SetIllumination");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("NvAPI_GPU_SetIllumination gpu=0.0 attribute=0 value=65 version=0x10018 -> 0", lines[0]);
    EXPECT_EQ("NvAPI_GPU_SetIllumination gpu=0.0 attribute=0 value=101 version=0x10018 -> -5", lines[1]);
    EXPECT_EQ(0u, Journal().find("NvAPI_Initialize -> 0\n"));
}

TEST_F(SimulatedDriver, BoardWithoutIlluminationSaysSoAndRefusesTheSetting)
{
    Start("[display0.gpu0]\nIllumination=0\n");
    NV_ILLUMINATION record = NvRecord<NV_ILLUMINATION>(NV_ILLUMINATION_VER);
    record.Gpu = gpu->Gpu();
    record.Value = 1;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_QueryIlluminationSupport(&record));
    EXPECT_EQ(0u, record.Value);
    record.Value = 50;
    EXPECT_NE(NVAPI_OK, NvAPI_GPU_SetIllumination(&record));
}

TEST_F(SimulatedDriver, RefusesRecordsOfAnotherVersion)
{
    Start("");
    NV_THERMAL_SETTINGS thermal = NvRecord<NV_THERMAL_SETTINGS>(NvRecordVersion(sizeof thermal, 2));
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION,
              NvAPI_GPU_GetThermalSettings(gpu->Gpu(), NV_THERMAL_ALL_SENSORS, &thermal));
    EXPECT_EQ(0u, thermal.Count);
    NV_CLOCK_FREQUENCIES clocks = NvRecord<NV_CLOCK_FREQUENCIES>(NvRecordVersion(sizeof clocks, 1));
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, NvAPI_GPU_GetAllClockFrequencies(gpu->Gpu(), &clocks));
    NV_DYNAMIC_PSTATES pstates = NvRecord<NV_DYNAMIC_PSTATES>(NvRecordVersion(sizeof pstates - 4, 1));
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, gpu->GetDynamicPstatesInfoEx(&pstates));
    NV_USAGE_TABLE usages = NvRecord<NV_USAGE_TABLE>(0);
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, gpu->GetUsages(&usages));
    NV_MEMORY_INFO memory = NvRecord<NV_MEMORY_INFO>(NvRecordVersion(sizeof memory, 1));
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, gpu->GetMemoryInfo(&memory));
    NV_COOLER_SETTINGS coolers = NvRecord<NV_COOLER_SETTINGS>(NvRecordVersion(sizeof coolers, 1));
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, gpu->GetCoolerSettings(0, &coolers));
    NV_ILLUMINATION illumination = NvRecord<NV_ILLUMINATION>(NvRecordVersion(sizeof illumination, 2));
    illumination.Gpu = gpu->Gpu();
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, NvAPI_GPU_QueryIlluminationSupport(&illumination));
    NV_DISPLAY_DRIVER_VERSION driver = NvRecord<NV_DISPLAY_DRIVER_VERSION>(NvRecordVersion(sizeof driver, 2));
    EXPECT_EQ(NVAPI_INCOMPATIBLE_STRUCT_VERSION, NvAPI_GetDisplayDriverVersion(gpu->Display(), &driver));
}

TEST_F(SimulatedDriver, RefusesUnknownHandles)
{
    Start("");
    NvU32 value = 0;
    EXPECT_EQ(NVAPI_INVALID_HANDLE, NvAPI_GPU_GetBusType(nullptr, &value));
    EXPECT_EQ(NVAPI_INVALID_HANDLE, NvAPI_GPU_GetBusType(reinterpret_cast<NvPhysicalGpuHandle>(gpu->Display()), &value));
    NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS];
    NvU32 count = 0;
    EXPECT_EQ(NVAPI_INVALID_HANDLE, NvAPI_GetPhysicalGPUsFromDisplay(nullptr, gpus, &count));
}

TEST_F(SimulatedDriver, QueryHidesTheNamedIds)
{
    Start("[driver]\nHidden=0x5F608315,NvAPI_GPU_GetCoolerSettings\n");
    nvapi_QueryInterface_t query = gpu->QueryFunction();
    EXPECT_EQ(nullptr, query(NVAPI_ID_GPU_GET_TACH_READING));
    EXPECT_EQ(nullptr, query(NVAPI_ID_GPU_GET_COOLER_SETTINGS));
    EXPECT_EQ(nullptr, query(0x12345678));
    EXPECT_NE(nullptr, query(NVAPI_ID_GPU_GET_BUS_TYPE));
}

TEST_F(SimulatedDriver, CallsBeforeTheStartAreRefused)
{
    HMODULE module = LoadLibraryA("NVAPI64.DLL");
    ASSERT_NE(nullptr, module);
    auto query = reinterpret_cast<nvapi_QueryInterface_t>(
        reinterpret_cast<void*>(GetProcAddress(module, NVAPI_QUERY_EXPORT)));
    ASSERT_NE(nullptr, query);
    auto enumerate = reinterpret_cast<NvAPI_EnumNvidiaDisplayHandle_t>(query(NVAPI_ID_ENUM_NVIDIA_DISPLAY_HANDLE));
    NvDisplayHandle display = nullptr;
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, enumerate(0, &display));
    FreeLibrary(module);
}

TEST_F(SimulatedDriver, ScenarioIsReadAgainAtEveryStart)
{
    Start("[display0.gpu0]\nFullName=Before\n");
    EXPECT_STREQ("Before", gpu->FullName());
    WriteScenario("[display0.gpu0]\nFullName=After\n");
    ASSERT_TRUE(gpu->Initialize());
    ASSERT_TRUE(gpu->SelectGpu(0, 0));
    EXPECT_STREQ("After", gpu->FullName());
}

TEST_F(SimulatedDriver, NamedScenarioThatDoesNotExistRefusesToStart)
{
    SetEnvironmentVariableA("VARNOK_SIMGPU", dir.File("missing.ini").c_str());
    EXPECT_NE(NVAPI_OK, NvAPI_Initialize());
    EXPECT_FALSE(NvAPI_IsLoaded());
}

// A record with bytes of a known value behind it: a driver that writes past the record changes them.
template <typename RECORD>
struct GUARDED {
    GUARDED()
    {
        memset(this, 0, sizeof *this);
        memset(canary, 0xA5, sizeof canary);
    }
    explicit GUARDED(NvU32 version) : GUARDED() { record.Version = version; }
    bool Intact() const
    {
        for (unsigned char byte : canary)
            if (byte != 0xA5)
                return false;
        return true;
    }

    RECORD record;
    unsigned char canary[256];
};

// A damaged or hostile scenario file never crashes the driver: it starts or refuses to start,
// and what it answers stays within its records.
TEST_F(SimulatedDriver, MalformedScenariosAreSurvived)
{
    const std::string absurd =
        "[driver]\nDisplays=100000\nHidden=,,,0x,zz\n[display0]\nGpus=-7\nReportedGpus=99999\n"
        "[display0.gpu0]\nSensors=77\nReportedSensors=4000000000\nSensor0=a,b\nSensor0Temp=,,,\n"
        "ClockDomains=99,-1,4000000000\nPstateEntries=50\nCoolers=-1\nFanLevel=1e99\n[fail]\nNvAPI_Initialize=x\n";
    std::string garbage;
    unsigned int seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 24);
    }
    // The last one has a sound display and GPU whose records claim absurd counts: it must start and
    // answer, so that what it writes is checked at least once. A claimed count is the scenario's lie
    // and is passed on; what is written must stay inside the caller's record.
    const std::string soundGpu =
        "[driver]\nDisplays=1\n[display0]\nGpus=1\nReportedGpus=99999\n[display0.gpu0]\nSensors=77\n"
        "ReportedSensors=4000000000\nCoolers=4000000000\nClockDomains=99,-1,4000000000\nPstateEntries=50\n";
    const struct {
        std::string text;
        bool answers;
    } scenarios[] = {{absurd, false}, {garbage, false}, {"[display0.gpu0\nFullName", false}, {soundGpu, true}};
    for (const auto& scenario : scenarios) {
        SCOPED_TRACE(scenario.text.substr(0, 40));
        WriteScenario(scenario.text);
        CNVGF object;
        NvDisplayHandle display = nullptr;
        GUARDED<NvPhysicalGpuHandle[NVAPI_MAX_PHYSICAL_GPUS]> gpus;
        NvU32 count = 0;
        const bool answers = object.Initialize() && NvAPI_EnumNvidiaDisplayHandle(0, &display) == NVAPI_OK &&
                             NvAPI_GetPhysicalGPUsFromDisplay(display, gpus.record, &count) == NVAPI_OK && count > 0;
        EXPECT_TRUE(gpus.Intact());
        if (scenario.answers) {
            EXPECT_TRUE(answers);
        }
        if (!answers)
            continue;
        GUARDED<NV_THERMAL_SETTINGS> thermal(NV_THERMAL_SETTINGS_VER);
        NvAPI_GPU_GetThermalSettings(gpus.record[0], NV_THERMAL_ALL_SENSORS, &thermal.record);
        EXPECT_TRUE(thermal.Intact());
        GUARDED<NV_CLOCK_FREQUENCIES> clocks(NV_CLOCK_FREQUENCIES_VER);
        NvAPI_GPU_GetAllClockFrequencies(gpus.record[0], &clocks.record);
        EXPECT_TRUE(clocks.Intact());
        // The GPU object holds a cooler count to what its record can hold.
        GUARDED<NV_COOLER_SETTINGS> coolers(NV_COOLER_SETTINGS_VER);
        const bool cooled = object.SelectGpu(0, 0) && object.GetCoolerSettings(0, &coolers.record) == NVAPI_OK;
        EXPECT_TRUE(coolers.Intact());
        if (scenario.answers) {
            EXPECT_TRUE(cooled);
        }
        if (cooled) {
            EXPECT_LE(coolers.record.Count, static_cast<NvU32>(NVAPI_MAX_COOLERS));
        }
    }
}

// Without a scenario the demonstration GPU moves like a real one: readings stay in their
// ranges, change from call to call, and never jump.
TEST_F(SimulatedDriver, DefaultGpuMovesSmoothlyWithinPlausibleRanges)
{
    SetEnvironmentVariableA("VARNOK_SIMGPU", nullptr);
    gpu.reset(new CNVGF);
    ASSERT_TRUE(gpu->Initialize());
    ASSERT_TRUE(gpu->SelectGpu(0, 0));
    NvU32 bus = 0;
    ASSERT_EQ(NVAPI_OK, NvAPI_GPU_GetBusType(gpu->Gpu(), &bus));
    EXPECT_EQ(NV_BUS_TYPE_PCI_EXPRESS, bus);

    NvU32 previousTemp = CoreTemp(), lowest = previousTemp, highest = previousTemp;
    for (int call = 0; call < 200; ++call) {
        NvU32 temp = CoreTemp();
        EXPECT_LE(abs(static_cast<int>(temp) - static_cast<int>(previousTemp)), 2);
        lowest = temp < lowest ? temp : lowest;
        highest = temp > highest ? temp : highest;
        previousTemp = temp;

        NV_DYNAMIC_PSTATES pstates = NvRecord<NV_DYNAMIC_PSTATES>(NV_DYNAMIC_PSTATES_VER);
        ASSERT_EQ(NVAPI_OK, gpu->GetDynamicPstatesInfoEx(&pstates));
        for (int entry = 0; entry < 3; ++entry)
            EXPECT_LE(pstates.Entry[entry].Percent, 100u);
        NV_COOLER_SETTINGS coolers = NvRecord<NV_COOLER_SETTINGS>(NV_COOLER_SETTINGS_VER);
        ASSERT_EQ(NVAPI_OK, gpu->GetCoolerSettings(0, &coolers));
        EXPECT_LE(coolers.Cooler[0].CurrentLevel, 100u);
        NV_CLOCK_FREQUENCIES clocks = NvRecord<NV_CLOCK_FREQUENCIES>(NV_CLOCK_FREQUENCIES_VER);
        clocks.ClockType = NV_CLOCK_TYPE_CURRENT;
        NV_CLOCK_FREQUENCIES boost = NvRecord<NV_CLOCK_FREQUENCIES>(NV_CLOCK_FREQUENCIES_VER);
        boost.ClockType = NV_CLOCK_TYPE_BOOST;
        ASSERT_EQ(NVAPI_OK, NvAPI_GPU_GetAllClockFrequencies(gpu->Gpu(), &clocks));
        ASSERT_EQ(NVAPI_OK, NvAPI_GPU_GetAllClockFrequencies(gpu->Gpu(), &boost));
        EXPECT_LE(clocks.Domain[0].FrequencyKHz, boost.Domain[0].FrequencyKHz);
        NV_MEMORY_INFO memory = NvRecord<NV_MEMORY_INFO>(NV_MEMORY_INFO_VER);
        ASSERT_EQ(NVAPI_OK, gpu->GetMemoryInfo(&memory));
        EXPECT_LT(memory.CurrentAvailableKB, memory.DedicatedKB);
    }
    EXPECT_GE(lowest, 30u);
    EXPECT_LE(highest, 90u);
    EXPECT_GT(highest, lowest + 5);
}

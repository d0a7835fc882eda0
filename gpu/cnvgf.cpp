#include "gpu/cnvgf.h"

#include <cstdio>

#include "gpu/nvapiclient.h"

namespace {

// Drivers without a name for the adapter report this text; it is kept as the full name then,
// and the GPU is not asked for its name.
const char NOT_IMPLEMENTED_TEXT[] = "not implemented yet";

bool EqualsIgnoringCase(const char* text, const char* expected)
{
    for (;; ++text, ++expected) {
        char a = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        char b = *expected >= 'A' && *expected <= 'Z' ? static_cast<char>(*expected - 'A' + 'a') : *expected;
        if (a != b)
            return false;
        if (!a)
            return true;
    }
}

// The driver fills whole 64-byte texts; one that filled every byte would otherwise run on.
void Terminate(NvAPI_ShortString text) { text[NVAPI_SHORT_STRING_MAX - 1] = '\0'; }

template <typename FUNCTION>
FUNCTION LookUp(nvapi_QueryInterface_t query, NvU32 id)
{
    return reinterpret_cast<FUNCTION>(query(id));
}

}  // namespace

CNVGF::CNVGF()
    : interfaceVersion(),
      driverVersion(),
      biosVersion(),
      driverRecord(),
      queryInterface(nullptr),
      getDynamicPstates(nullptr),
      getUsages(nullptr),
      getMemoryInfo(nullptr),
      getCoolerSettings(nullptr),
      deviceIndex(0),
      gpuIndex(0),
      gpuCount(0),
      display(nullptr),
      gpus(),
      module(nullptr),
      started(false),
      selected(false)
{
}

CNVGF::~CNVGF() { Release(); }

void CNVGF::Release()
{
    if (module) {
        FreeLibrary(module);
        module = nullptr;
    }
    queryInterface = nullptr;
    getDynamicPstates = nullptr;
    getUsages = nullptr;
    getMemoryInfo = nullptr;
    getCoolerSettings = nullptr;
    selected = false;
    if (started) {
        NvAPI_Unload();
        started = false;
    }
}

bool CNVGF::Initialize()
{
    Release();
    if (NvAPI_Initialize() != NVAPI_OK)
        return false;
    started = true;
    if (NvAPI_GetInterfaceVersionString(interfaceVersion) != NVAPI_OK) {
        interfaceVersion[0] = '\0';
        return false;
    }
    Terminate(interfaceVersion);
    driverRecord.Version = NV_DISPLAY_DRIVER_VERSION_VER;

    module = LoadLibraryA(NVAPI_MODULE_NAME);
    if (!module)
        return false;
    queryInterface = reinterpret_cast<nvapi_QueryInterface_t>(
        reinterpret_cast<void*>(GetProcAddress(module, NVAPI_QUERY_EXPORT)));
    if (!queryInterface)
        return false;
    getUsages = LookUp<NvAPI_GPU_GetUsages_t>(queryInterface, NVAPI_ID_GPU_GET_USAGES);
    getDynamicPstates = LookUp<NvAPI_GPU_GetDynamicPstatesInfoEx_t>(queryInterface, NVAPI_ID_GPU_GET_DYNAMIC_PSTATES_INFO_EX);
    getMemoryInfo = LookUp<NvAPI_GetDisplayDriverMemoryInfo_t>(queryInterface, NVAPI_ID_GET_DISPLAY_DRIVER_MEMORY_INFO);
    getCoolerSettings = LookUp<NvAPI_GPU_GetCoolerSettings_t>(queryInterface, NVAPI_ID_GPU_GET_COOLER_SETTINGS);
    return true;
}

bool CNVGF::SelectGpu(unsigned int device, unsigned int gpu)
{
    selected = false;
    if (NvAPI_EnumNvidiaDisplayHandle(device, &display) != NVAPI_OK)
        return false;
    deviceIndex = device;

    NvU32 count = 0;
    if (NvAPI_GetPhysicalGPUsFromDisplay(display, gpus, &count) != NVAPI_OK)
        return false;
    // A count beyond the handle array would let an index read past it.
    gpuCount = count < NVAPI_MAX_PHYSICAL_GPUS ? count : static_cast<unsigned int>(NVAPI_MAX_PHYSICAL_GPUS);
    if (gpu >= gpuCount)
        return false;
    gpuIndex = gpu;

    if (NvAPI_GetDisplayDriverVersion(display, &driverRecord) != NVAPI_OK)
        return false;
    Terminate(driverRecord.BuildBranch);
    Terminate(driverRecord.Adapter);
    NvU32 version = driverRecord.DriverVersion;
    snprintf(driverVersion, sizeof driverVersion, "%u.%u", version / 100, version % 100);

    if (!EqualsIgnoringCase(driverRecord.Adapter, NOT_IMPLEMENTED_TEXT)) {
        NvAPI_Status status = NvAPI_GPU_GetFullName(gpus[gpuIndex], driverRecord.Adapter);
        Terminate(driverRecord.Adapter);
        if (status != NVAPI_OK)
            return false;
    }
    selected = true;
    return true;
}

bool CNVGF::ReadBiosVersion()
{
    NvAPI_Status status = NvAPI_GPU_GetVbiosVersionString(Gpu(), biosVersion);
    Terminate(biosVersion);
    return status == NVAPI_OK;
}

NvAPI_Status CNVGF::GetDynamicPstatesInfoEx(NV_DYNAMIC_PSTATES* record) const
{
    return getDynamicPstates ? getDynamicPstates(Gpu(), record) : NVAPI_NO_IMPLEMENTATION;
}

NvAPI_Status CNVGF::GetUsages(NV_USAGE_TABLE* record) const
{
    return getUsages ? getUsages(Gpu(), record) : NVAPI_NO_IMPLEMENTATION;
}

NvAPI_Status CNVGF::GetMemoryInfo(NV_MEMORY_INFO* record) const
{
    return getMemoryInfo ? getMemoryInfo(Display(), record) : NVAPI_NO_IMPLEMENTATION;
}

NvAPI_Status CNVGF::GetCoolerSettings(NvU32 cooler, NV_COOLER_SETTINGS* record) const
{
    return getCoolerSettings ? getCoolerSettings(Gpu(), cooler, record) : NVAPI_NO_IMPLEMENTATION;
}

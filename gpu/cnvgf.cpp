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
    : interfaceVersion_(),
      driverVersion_(),
      biosVersion_(),
      driverRecord_(),
      queryInterface_(nullptr),
      getDynamicPstates_(nullptr),
      getUsages_(nullptr),
      getMemoryInfo_(nullptr),
      getCoolerSettings_(nullptr),
      deviceIndex_(0),
      gpuIndex_(0),
      gpuCount_(0),
      display_(nullptr),
      gpus_(),
      module_(nullptr),
      started_(false),
      selected_(false)
{
}

CNVGF::~CNVGF() { Release(); }

void CNVGF::Release()
{
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    queryInterface_ = nullptr;
    getDynamicPstates_ = nullptr;
    getUsages_ = nullptr;
    getMemoryInfo_ = nullptr;
    getCoolerSettings_ = nullptr;
    selected_ = false;
    if (started_) {
        NvAPI_Unload();
        started_ = false;
    }
}

bool CNVGF::Initialize()
{
    Release();
    if (NvAPI_Initialize() != NVAPI_OK)
        return false;
    started_ = true;
    if (NvAPI_GetInterfaceVersionString(interfaceVersion_) != NVAPI_OK) {
        interfaceVersion_[0] = '\0';
        return false;
    }
    Terminate(interfaceVersion_);
    driverRecord_.Version = NV_DISPLAY_DRIVER_VERSION_VER;

    module_ = LoadLibraryA(NVAPI_MODULE_NAME);
    if (!module_)
        return false;
    queryInterface_ = reinterpret_cast<nvapi_QueryInterface_t>(
        reinterpret_cast<void*>(GetProcAddress(module_, NVAPI_QUERY_EXPORT)));
    if (!queryInterface_)
        return false;
    getUsages_ = LookUp<NvAPI_GPU_GetUsages_t>(queryInterface_, NVAPI_ID_GPU_GET_USAGES);
    getDynamicPstates_ = LookUp<NvAPI_GPU_GetDynamicPstatesInfoEx_t>(queryInterface_, NVAPI_ID_GPU_GET_DYNAMIC_PSTATES_INFO_EX);
    getMemoryInfo_ = LookUp<NvAPI_GetDisplayDriverMemoryInfo_t>(queryInterface_, NVAPI_ID_GET_DISPLAY_DRIVER_MEMORY_INFO);
    getCoolerSettings_ = LookUp<NvAPI_GPU_GetCoolerSettings_t>(queryInterface_, NVAPI_ID_GPU_GET_COOLER_SETTINGS);
    return true;
}

bool CNVGF::SelectGpu(unsigned int device, unsigned int gpu)
{
    selected_ = false;
    if (NvAPI_EnumNvidiaDisplayHandle(device, &display_) != NVAPI_OK)
        return false;
    deviceIndex_ = device;

    NvU32 count = 0;
    if (NvAPI_GetPhysicalGPUsFromDisplay(display_, gpus_, &count) != NVAPI_OK)
        return false;
    // A count beyond the handle array would let an index read past it.
    gpuCount_ = count < NVAPI_MAX_PHYSICAL_GPUS ? count : static_cast<unsigned int>(NVAPI_MAX_PHYSICAL_GPUS);
    if (gpu >= gpuCount_)
        return false;
    gpuIndex_ = gpu;

    if (NvAPI_GetDisplayDriverVersion(display_, &driverRecord_) != NVAPI_OK)
        return false;
    Terminate(driverRecord_.BuildBranch);
    Terminate(driverRecord_.Adapter);
    NvU32 version = driverRecord_.DriverVersion;
    snprintf(driverVersion_, sizeof driverVersion_, "%u.%u", version / 100, version % 100);

    if (!EqualsIgnoringCase(driverRecord_.Adapter, NOT_IMPLEMENTED_TEXT)) {
        NvAPI_Status status = NvAPI_GPU_GetFullName(gpus_[gpuIndex_], driverRecord_.Adapter);
        Terminate(driverRecord_.Adapter);
        if (status != NVAPI_OK)
            return false;
    }
    selected_ = true;
    return true;
}

bool CNVGF::ReadBiosVersion()
{
    NvAPI_Status status = NvAPI_GPU_GetVbiosVersionString(Gpu(), biosVersion_);
    Terminate(biosVersion_);
    return status == NVAPI_OK;
}

NvAPI_Status CNVGF::GetDynamicPstatesInfoEx(NV_DYNAMIC_PSTATES* record) const
{
    return getDynamicPstates_ ? getDynamicPstates_(Gpu(), record) : NVAPI_NO_IMPLEMENTATION;
}

NvAPI_Status CNVGF::GetUsages(NV_USAGE_TABLE* record) const
{
    return getUsages_ ? getUsages_(Gpu(), record) : NVAPI_NO_IMPLEMENTATION;
}

NvAPI_Status CNVGF::GetMemoryInfo(NV_MEMORY_INFO* record) const
{
    return getMemoryInfo_ ? getMemoryInfo_(Display(), record) : NVAPI_NO_IMPLEMENTATION;
}

NvAPI_Status CNVGF::GetCoolerSettings(NvU32 cooler, NV_COOLER_SETTINGS* record) const
{
    return getCoolerSettings_ ? getCoolerSettings_(Gpu(), cooler, record) : NVAPI_NO_IMPLEMENTATION;
}

#include <windows.h>

#include "simgpu/functions.h"
#include "simgpu/simstate.h"

namespace {

template <typename FUNCTION>
void* Address(FUNCTION function)
{
    return reinterpret_cast<void*>(function);
}

const SIMENTRY ENTRIES[SF_COUNT] = {
    {NVAPI_ID_INITIALIZE, "NvAPI_Initialize", Address(&SimInitialize)},
    {NVAPI_ID_GET_INTERFACE_VERSION_STRING, "NvAPI_GetInterfaceVersionString", Address(&SimGetInterfaceVersionString)},
    {NVAPI_ID_ENUM_NVIDIA_DISPLAY_HANDLE, "NvAPI_EnumNvidiaDisplayHandle", Address(&SimEnumNvidiaDisplayHandle)},
    {NVAPI_ID_GET_PHYSICAL_GPUS_FROM_DISPLAY, "NvAPI_GetPhysicalGPUsFromDisplay", Address(&SimGetPhysicalGPUsFromDisplay)},
    {NVAPI_ID_GET_DISPLAY_DRIVER_VERSION, "NvAPI_GetDisplayDriverVersion", Address(&SimGetDisplayDriverVersion)},
    {NVAPI_ID_GPU_GET_FULL_NAME, "NvAPI_GPU_GetFullName", Address(&SimGetFullName)},
    {NVAPI_ID_GPU_GET_VBIOS_VERSION_STRING, "NvAPI_GPU_GetVbiosVersionString", Address(&SimGetVbiosVersionString)},
    {NVAPI_ID_GPU_GET_BUS_TYPE, "NvAPI_GPU_GetBusType", Address(&SimGetBusType)},
    {NVAPI_ID_GPU_GET_CURRENT_AGP_RATE, "NvAPI_GPU_GetCurrentAGPRate", Address(&SimGetCurrentAGPRate)},
    {NVAPI_ID_GPU_GET_CURRENT_PCIE_DOWNSTREAM_WIDTH, "NvAPI_GPU_GetCurrentPCIEDownstreamWidth",
     Address(&SimGetCurrentPCIEDownstreamWidth)},
    {NVAPI_ID_GPU_GET_AGP_APERTURE, "NvAPI_GPU_GetAGPAperture", Address(&SimGetAGPAperture)},
    {NVAPI_ID_GPU_GET_PHYSICAL_FRAME_BUFFER_SIZE, "NvAPI_GPU_GetPhysicalFrameBufferSize",
     Address(&SimGetPhysicalFrameBufferSize)},
    {NVAPI_ID_GPU_GET_THERMAL_SETTINGS, "NvAPI_GPU_GetThermalSettings", Address(&SimGetThermalSettings)},
    {NVAPI_ID_GPU_GET_ALL_CLOCK_FREQUENCIES, "NvAPI_GPU_GetAllClockFrequencies", Address(&SimGetAllClockFrequencies)},
    {NVAPI_ID_GPU_GET_TACH_READING, "NvAPI_GPU_GetTachReading", Address(&SimGetTachReading)},
    {NVAPI_ID_GPU_QUERY_ILLUMINATION_SUPPORT, "NvAPI_GPU_QueryIlluminationSupport", Address(&SimQueryIlluminationSupport)},
    {NVAPI_ID_GPU_SET_ILLUMINATION, "NvAPI_GPU_SetIllumination", Address(&SimSetIllumination)},
    {NVAPI_ID_GPU_GET_DYNAMIC_PSTATES_INFO_EX, "NvAPI_GPU_GetDynamicPstatesInfoEx", Address(&SimGetDynamicPstatesInfoEx)},
    {NVAPI_ID_GPU_GET_USAGES, "NvAPI_GPU_GetUsages", Address(&SimGetUsages)},
    {NVAPI_ID_GET_DISPLAY_DRIVER_MEMORY_INFO, "NvAPI_GetDisplayDriverMemoryInfo", Address(&SimGetDisplayDriverMemoryInfo)},
    {NVAPI_ID_GPU_GET_COOLER_SETTINGS, "NvAPI_GPU_GetCoolerSettings", Address(&SimGetCoolerSettings)},
};

}  // namespace

const SIMENTRY& FunctionEntry(SIMFUNCTION function) { return ENTRIES[function]; }

SIMFUNCTION FunctionById(NvU32 id)
{
    for (int i = 0; i < SF_COUNT; ++i)
        if (ENTRIES[i].Id == id)
            return static_cast<SIMFUNCTION>(i);
    return SF_COUNT;
}

SIMFUNCTION FunctionByName(const char* name)
{
    for (int i = 0; i < SF_COUNT; ++i)
        if (lstrcmpiA(ENTRIES[i].Name, name) == 0)
            return static_cast<SIMFUNCTION>(i);
    return SF_COUNT;
}

// The library's one export. A function the scenario hides is not offered, as with an older
// driver that lacks it.
extern "C" void* nvapi_QueryInterface(NvU32 id)
{
    SIMFUNCTION function = FunctionById(id);
    if (function == SF_COUNT || !IsOffered(id))
        return nullptr;
    return ENTRIES[function].Address;
}

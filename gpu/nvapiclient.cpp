#include "gpu/nvapiclient.h"

#include <windows.h>

#include "base/scopeguards.h"

namespace {

// The library as the client layer holds it. Calls run under the shared lock, loading and
// freeing under the exclusive one, so that a measurement on a worker thread never jumps into
// a library that is being freed.
struct CLIENTSTATE {
    SRWLOCK lock;
    HMODULE module;
    nvapi_QueryInterface_t query;
    unsigned int holds;
};

CLIENTSTATE Client = {SRWLOCK_INIT, nullptr, nullptr, 0};

void DropModule()
{
    FreeLibrary(Client.module);
    Client.module = nullptr;
    Client.query = nullptr;
}

// Looks the function up and calls it, under the shared lock. The driver's own export is typed
// as returning void*, so the function pointer is recovered by a cast of the right shape.
template <typename FUNCTION, typename... ARGS>
NvAPI_Status Call(NvU32 id, ARGS... args)
{
    SHAREDLOCKGUARD lock(Client.lock);
    if (!Client.query)
        return NVAPI_API_NOT_INITIALIZED;
    FUNCTION function = reinterpret_cast<FUNCTION>(Client.query(id));
    if (!function)
        return NVAPI_NO_IMPLEMENTATION;
    return function(args...);
}

}  // namespace

NvAPI_Status NvAPI_Initialize()
{
    EXCLUSIVELOCKGUARD lock(Client.lock);
    if (!Client.module) {
        Client.module = LoadLibraryA(NVAPI_MODULE_NAME);
        if (!Client.module)
            return NVAPI_LIBRARY_NOT_FOUND;
        Client.query = reinterpret_cast<nvapi_QueryInterface_t>(
            reinterpret_cast<void*>(GetProcAddress(Client.module, NVAPI_QUERY_EXPORT)));
        if (!Client.query) {
            DropModule();
            return NVAPI_LIBRARY_NOT_FOUND;
        }
    }
    NvAPI_Status status = NVAPI_NO_IMPLEMENTATION;
    NvAPI_Initialize_t initialize = reinterpret_cast<NvAPI_Initialize_t>(Client.query(NVAPI_ID_INITIALIZE));
    if (initialize)
        status = initialize();
    if (status == NVAPI_OK)
        ++Client.holds;
    else if (Client.holds == 0)
        DropModule();
    return status;
}

NvAPI_Status NvAPI_Unload()
{
    EXCLUSIVELOCKGUARD lock(Client.lock);
    if (Client.holds == 0)
        return NVAPI_API_NOT_INITIALIZED;
    if (--Client.holds == 0)
        DropModule();
    return NVAPI_OK;
}

bool NvAPI_IsLoaded()
{
    SHAREDLOCKGUARD lock(Client.lock);
    return Client.holds != 0;
}

NvAPI_Status NvAPI_GetInterfaceVersionString(NvAPI_ShortString text)
{
    return Call<NvAPI_GetInterfaceVersionString_t>(NVAPI_ID_GET_INTERFACE_VERSION_STRING, text);
}

NvAPI_Status NvAPI_EnumNvidiaDisplayHandle(NvU32 index, NvDisplayHandle* display)
{
    return Call<NvAPI_EnumNvidiaDisplayHandle_t>(NVAPI_ID_ENUM_NVIDIA_DISPLAY_HANDLE, index, display);
}

NvAPI_Status NvAPI_GetPhysicalGPUsFromDisplay(NvDisplayHandle display, NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS],
                                              NvU32* count)
{
    return Call<NvAPI_GetPhysicalGPUsFromDisplay_t>(NVAPI_ID_GET_PHYSICAL_GPUS_FROM_DISPLAY, display, gpus, count);
}

NvAPI_Status NvAPI_GetDisplayDriverVersion(NvDisplayHandle display, NV_DISPLAY_DRIVER_VERSION* record)
{
    return Call<NvAPI_GetDisplayDriverVersion_t>(NVAPI_ID_GET_DISPLAY_DRIVER_VERSION, display, record);
}

NvAPI_Status NvAPI_GPU_GetFullName(NvPhysicalGpuHandle gpu, NvAPI_ShortString name)
{
    return Call<NvAPI_GPU_GetText_t>(NVAPI_ID_GPU_GET_FULL_NAME, gpu, name);
}

NvAPI_Status NvAPI_GPU_GetVbiosVersionString(NvPhysicalGpuHandle gpu, NvAPI_ShortString text)
{
    return Call<NvAPI_GPU_GetText_t>(NVAPI_ID_GPU_GET_VBIOS_VERSION_STRING, gpu, text);
}

NvAPI_Status NvAPI_GPU_GetBusType(NvPhysicalGpuHandle gpu, NvU32* busType)
{
    return Call<NvAPI_GPU_GetValue_t>(NVAPI_ID_GPU_GET_BUS_TYPE, gpu, busType);
}

NvAPI_Status NvAPI_GPU_GetCurrentAGPRate(NvPhysicalGpuHandle gpu, NvU32* rate)
{
    return Call<NvAPI_GPU_GetValue_t>(NVAPI_ID_GPU_GET_CURRENT_AGP_RATE, gpu, rate);
}

NvAPI_Status NvAPI_GPU_GetCurrentPCIEDownstreamWidth(NvPhysicalGpuHandle gpu, NvU32* lanes)
{
    return Call<NvAPI_GPU_GetValue_t>(NVAPI_ID_GPU_GET_CURRENT_PCIE_DOWNSTREAM_WIDTH, gpu, lanes);
}

NvAPI_Status NvAPI_GPU_GetAGPAperture(NvPhysicalGpuHandle gpu, NvU32* sizeKB)
{
    return Call<NvAPI_GPU_GetValue_t>(NVAPI_ID_GPU_GET_AGP_APERTURE, gpu, sizeKB);
}

NvAPI_Status NvAPI_GPU_GetPhysicalFrameBufferSize(NvPhysicalGpuHandle gpu, NvU32* sizeKB)
{
    return Call<NvAPI_GPU_GetValue_t>(NVAPI_ID_GPU_GET_PHYSICAL_FRAME_BUFFER_SIZE, gpu, sizeKB);
}

NvAPI_Status NvAPI_GPU_GetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensor, NV_THERMAL_SETTINGS* record)
{
    return Call<NvAPI_GPU_GetThermalSettings_t>(NVAPI_ID_GPU_GET_THERMAL_SETTINGS, gpu, sensor, record);
}

NvAPI_Status NvAPI_GPU_GetAllClockFrequencies(NvPhysicalGpuHandle gpu, NV_CLOCK_FREQUENCIES* record)
{
    return Call<NvAPI_GPU_GetAllClockFrequencies_t>(NVAPI_ID_GPU_GET_ALL_CLOCK_FREQUENCIES, gpu, record);
}

NvAPI_Status NvAPI_GPU_GetTachReading(NvPhysicalGpuHandle gpu, NvU32* rpm)
{
    return Call<NvAPI_GPU_GetValue_t>(NVAPI_ID_GPU_GET_TACH_READING, gpu, rpm);
}

NvAPI_Status NvAPI_GPU_QueryIlluminationSupport(NV_ILLUMINATION* record)
{
    return Call<NvAPI_GPU_Illumination_t>(NVAPI_ID_GPU_QUERY_ILLUMINATION_SUPPORT, record);
}

NvAPI_Status NvAPI_GPU_SetIllumination(NV_ILLUMINATION* record)
{
    return Call<NvAPI_GPU_Illumination_t>(NVAPI_ID_GPU_SET_ILLUMINATION, record);
}

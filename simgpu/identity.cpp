// The simulated driver's start and the calls that name the displays, GPUs and driver.
#include "simgpu/functions.h"
#include "simgpu/simstate.h"

NvAPI_Status SimInitialize()
{
    SIMCALL call(SF_INITIALIZE);
    NvAPI_Status status = call.Admit();
    if (status == NVAPI_OK && Sim.scenario.Missing)
        status = NVAPI_ERROR;
    Sim.initialized = status == NVAPI_OK;
    return call.Finish(status);
}

NvAPI_Status SimGetInterfaceVersionString(char* text)
{
    SIMCALL call(SF_GET_INTERFACE_VERSION_STRING);
    NvAPI_Status status = call.Admit();
    if (status == NVAPI_OK && !text)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK)
        CopyDriverText(text, Sim.scenario.InterfaceVersion);
    return call.Finish(status);
}

NvAPI_Status SimEnumNvidiaDisplayHandle(NvU32 index, NvDisplayHandle* display)
{
    SIMCALL call(SF_ENUM_NVIDIA_DISPLAY_HANDLE);
    call.Argument("index=%u", index);
    NvAPI_Status status = call.Admit();
    if (status == NVAPI_OK && !display)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK && index >= Sim.scenario.Displays.size())
        status = NVAPI_END_ENUMERATION;
    if (status == NVAPI_OK)
        *display = MakeDisplayHandle(index);
    return call.Finish(status);
}

NvAPI_Status SimGetPhysicalGPUsFromDisplay(NvDisplayHandle handle, NvPhysicalGpuHandle* gpus, NvU32* count)
{
    SIMCALL call(SF_GET_PHYSICAL_GPUS_FROM_DISPLAY);
    call.ArgumentDisplay(handle);
    NvAPI_Status status = call.Admit();
    SIMDISPLAY* display = status == NVAPI_OK ? call.FindDisplay(handle, status) : nullptr;
    if (status == NVAPI_OK && (!gpus || !count))
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK) {
        for (size_t i = 0; i < display->Gpus.size(); ++i)
            gpus[i] = MakeGpuHandle(display - Sim.scenario.Displays.data(), i);
        *count = display->ReportedGpus;
    }
    return call.Finish(status);
}

NvAPI_Status SimGetDisplayDriverVersion(NvDisplayHandle handle, NV_DISPLAY_DRIVER_VERSION* record)
{
    SIMCALL call(SF_GET_DISPLAY_DRIVER_VERSION);
    call.ArgumentDisplay(handle);
    call.Argument("version=0x%X", record ? record->Version : 0);
    NvAPI_Status status = call.Admit();
    SIMDISPLAY* display = status == NVAPI_OK ? call.FindDisplay(handle, status) : nullptr;
    if (status == NVAPI_OK && !record)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK && record->Version != NV_DISPLAY_DRIVER_VERSION_VER)
        status = NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    if (status == NVAPI_OK) {
        record->DriverVersion = Sim.scenario.DriverVersion;
        record->ChangeList = Sim.scenario.ChangeList;
        CopyDriverText(record->BuildBranch, Sim.scenario.Branch);
        CopyDriverText(record->Adapter, display->Adapter);
    }
    return call.Finish(status);
}

NvAPI_Status SimGetFullName(NvPhysicalGpuHandle gpu, char* name)
{
    return GpuQuery(SF_GPU_GET_FULL_NAME, gpu, name, [](SIMGPU& g, char* out) { CopyDriverText(out, g.FullName); });
}

NvAPI_Status SimGetVbiosVersionString(NvPhysicalGpuHandle gpu, char* text)
{
    return GpuQuery(SF_GPU_GET_VBIOS_VERSION_STRING, gpu, text, [](SIMGPU& g, char* out) { CopyDriverText(out, g.Bios); });
}

NvAPI_Status SimGetBusType(NvPhysicalGpuHandle gpu, NvU32* busType)
{
    return GpuQuery(SF_GPU_GET_BUS_TYPE, gpu, busType, [](SIMGPU& g, NvU32* out) { *out = g.BusType; });
}

NvAPI_Status SimGetCurrentAGPRate(NvPhysicalGpuHandle gpu, NvU32* rate)
{
    return GpuQuery(SF_GPU_GET_CURRENT_AGP_RATE, gpu, rate, [](SIMGPU& g, NvU32* out) { *out = g.AgpRate; });
}

NvAPI_Status SimGetCurrentPCIEDownstreamWidth(NvPhysicalGpuHandle gpu, NvU32* lanes)
{
    return GpuQuery(SF_GPU_GET_CURRENT_PCIE_DOWNSTREAM_WIDTH, gpu, lanes,
                    [](SIMGPU& g, NvU32* out) { *out = g.PcieWidth; });
}

NvAPI_Status SimGetAGPAperture(NvPhysicalGpuHandle gpu, NvU32* sizeKB)
{
    return GpuQuery(SF_GPU_GET_AGP_APERTURE, gpu, sizeKB, [](SIMGPU& g, NvU32* out) { *out = g.AgpApertureKB; });
}

NvAPI_Status SimGetPhysicalFrameBufferSize(NvPhysicalGpuHandle gpu, NvU32* sizeKB)
{
    return GpuQuery(SF_GPU_GET_PHYSICAL_FRAME_BUFFER_SIZE, gpu, sizeKB,
                    [](SIMGPU& g, NvU32* out) { *out = g.FrameBufferKB; });
}

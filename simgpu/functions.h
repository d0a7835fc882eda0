#pragma once

#include "gpu/nvapi.h"

// Every function the simulated driver offers, in one table: its interface ID, the name used in
// scenario files and the journal, and its address.
enum SIMFUNCTION : int {
    SF_INITIALIZE,
    SF_GET_INTERFACE_VERSION_STRING,
    SF_ENUM_NVIDIA_DISPLAY_HANDLE,
    SF_GET_PHYSICAL_GPUS_FROM_DISPLAY,
    SF_GET_DISPLAY_DRIVER_VERSION,
    SF_GPU_GET_FULL_NAME,
    SF_GPU_GET_VBIOS_VERSION_STRING,
    SF_GPU_GET_BUS_TYPE,
    SF_GPU_GET_CURRENT_AGP_RATE,
    SF_GPU_GET_CURRENT_PCIE_DOWNSTREAM_WIDTH,
    SF_GPU_GET_AGP_APERTURE,
    SF_GPU_GET_PHYSICAL_FRAME_BUFFER_SIZE,
    SF_GPU_GET_THERMAL_SETTINGS,
    SF_GPU_GET_ALL_CLOCK_FREQUENCIES,
    SF_GPU_GET_TACH_READING,
    SF_GPU_QUERY_ILLUMINATION_SUPPORT,
    SF_GPU_SET_ILLUMINATION,
    SF_GPU_GET_DYNAMIC_PSTATES_INFO_EX,
    SF_GPU_GET_USAGES,
    SF_GET_DISPLAY_DRIVER_MEMORY_INFO,
    SF_GPU_GET_COOLER_SETTINGS,
    SF_COUNT
};

struct SIMENTRY {
    NvU32 Id;
    const char* Name;
    void* Address;
};

const SIMENTRY& FunctionEntry(SIMFUNCTION function);
// The function with this ID or name (names compared without regard to case); SF_COUNT when none.
SIMFUNCTION FunctionById(NvU32 id);
SIMFUNCTION FunctionByName(const char* name);

// The implementations behind the table.
NvAPI_Status SimInitialize();
NvAPI_Status SimGetInterfaceVersionString(char* text);
NvAPI_Status SimEnumNvidiaDisplayHandle(NvU32 index, NvDisplayHandle* display);
NvAPI_Status SimGetPhysicalGPUsFromDisplay(NvDisplayHandle display, NvPhysicalGpuHandle* gpus, NvU32* count);
NvAPI_Status SimGetDisplayDriverVersion(NvDisplayHandle display, NV_DISPLAY_DRIVER_VERSION* record);
NvAPI_Status SimGetFullName(NvPhysicalGpuHandle gpu, char* name);
NvAPI_Status SimGetVbiosVersionString(NvPhysicalGpuHandle gpu, char* text);
NvAPI_Status SimGetBusType(NvPhysicalGpuHandle gpu, NvU32* busType);
NvAPI_Status SimGetCurrentAGPRate(NvPhysicalGpuHandle gpu, NvU32* rate);
NvAPI_Status SimGetCurrentPCIEDownstreamWidth(NvPhysicalGpuHandle gpu, NvU32* lanes);
NvAPI_Status SimGetAGPAperture(NvPhysicalGpuHandle gpu, NvU32* sizeKB);
NvAPI_Status SimGetPhysicalFrameBufferSize(NvPhysicalGpuHandle gpu, NvU32* sizeKB);
NvAPI_Status SimGetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensor, NV_THERMAL_SETTINGS* record);
NvAPI_Status SimGetAllClockFrequencies(NvPhysicalGpuHandle gpu, NV_CLOCK_FREQUENCIES* record);
NvAPI_Status SimGetTachReading(NvPhysicalGpuHandle gpu, NvU32* rpm);
NvAPI_Status SimQueryIlluminationSupport(NV_ILLUMINATION* record);
NvAPI_Status SimSetIllumination(NV_ILLUMINATION* record);
NvAPI_Status SimGetDynamicPstatesInfoEx(NvPhysicalGpuHandle gpu, NV_DYNAMIC_PSTATES* record);
NvAPI_Status SimGetUsages(NvPhysicalGpuHandle gpu, NV_USAGE_TABLE* record);
NvAPI_Status SimGetDisplayDriverMemoryInfo(NvDisplayHandle display, NV_MEMORY_INFO* record);
NvAPI_Status SimGetCoolerSettings(NvPhysicalGpuHandle gpu, NvU32 cooler, NV_COOLER_SETTINGS* record);

#pragma once

#include "gpu/nvapi.h"

// The program's side of NVAPI. The driver library is loaded by name, and each call below looks
// its function up through the library's query export; a function the driver does not offer
// answers NVAPI_NO_IMPLEMENTATION, and every call made while the library is not loaded answers
// NVAPI_API_NOT_INITIALIZED. No call ever goes through a null entry point.

// The name the driver library is loaded by, from the usual search path.
inline constexpr char NVAPI_MODULE_NAME[] = "NVAPI64.DLL";

// Loads the library (on the first call), then starts the driver. Every call that succeeds holds
// the library once; NvAPI_Unload gives one hold back and frees the library with the last one.
// A failed call holds nothing.
NvAPI_Status NvAPI_Initialize();
NvAPI_Status NvAPI_Unload();

// True while the library is held by a successful NvAPI_Initialize.
bool NvAPI_IsLoaded();

NvAPI_Status NvAPI_GetInterfaceVersionString(NvAPI_ShortString text);
NvAPI_Status NvAPI_EnumNvidiaDisplayHandle(NvU32 index, NvDisplayHandle* display);
NvAPI_Status NvAPI_GetPhysicalGPUsFromDisplay(NvDisplayHandle display, NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS],
                                              NvU32* count);
NvAPI_Status NvAPI_GetDisplayDriverVersion(NvDisplayHandle display, NV_DISPLAY_DRIVER_VERSION* record);
NvAPI_Status NvAPI_GPU_GetFullName(NvPhysicalGpuHandle gpu, NvAPI_ShortString name);
NvAPI_Status NvAPI_GPU_GetVbiosVersionString(NvPhysicalGpuHandle gpu, NvAPI_ShortString text);
NvAPI_Status NvAPI_GPU_GetBusType(NvPhysicalGpuHandle gpu, NvU32* busType);
NvAPI_Status NvAPI_GPU_GetCurrentAGPRate(NvPhysicalGpuHandle gpu, NvU32* rate);
NvAPI_Status NvAPI_GPU_GetCurrentPCIEDownstreamWidth(NvPhysicalGpuHandle gpu, NvU32* lanes);
NvAPI_Status NvAPI_GPU_GetAGPAperture(NvPhysicalGpuHandle gpu, NvU32* sizeKB);
NvAPI_Status NvAPI_GPU_GetPhysicalFrameBufferSize(NvPhysicalGpuHandle gpu, NvU32* sizeKB);
NvAPI_Status NvAPI_GPU_GetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensor, NV_THERMAL_SETTINGS* record);
NvAPI_Status NvAPI_GPU_GetAllClockFrequencies(NvPhysicalGpuHandle gpu, NV_CLOCK_FREQUENCIES* record);
NvAPI_Status NvAPI_GPU_GetTachReading(NvPhysicalGpuHandle gpu, NvU32* rpm);
NvAPI_Status NvAPI_GPU_QueryIlluminationSupport(NV_ILLUMINATION* record);
NvAPI_Status NvAPI_GPU_SetIllumination(NV_ILLUMINATION* record);

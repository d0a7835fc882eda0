#pragma once

#include <windows.h>

#include "gpu/nvapi.h"
#include "gpu/nvapiclient.h"

// The program's connection to NVAPI: starts the driver, resolves the functions that are looked
// up by interface ID, selects the one GPU this instance watches and keeps its handles.
class CNVGF {
public:
    CNVGF();
    virtual ~CNVGF();
    CNVGF(const CNVGF&) = delete;
    CNVGF& operator=(const CNVGF&) = delete;

    // Starts NVAPI, reads its interface version and loads the driver library a second time to
    // look up the four additional functions. Calling it again first gives back what an earlier
    // call took.
    bool Initialize();
    // Selects display `device` and the GPU at index `gpu` on it, reads the driver version and
    // the GPU's full name.
    bool SelectGpu(unsigned int device, unsigned int gpu);
    // Reads the video BIOS version of the selected GPU into the object's BIOS text.
    bool ReadBiosVersion();
    // Gives back what Initialize took (the second load of the library and the driver start);
    // the object is then as constructed, apart from the texts.
    void Release();

    const char* InterfaceVersion() const { return interfaceVersion_; }
    const char* DriverVersion() const { return driverVersion_; }
    const char* BiosVersion() const { return biosVersion_; }
    const NV_DISPLAY_DRIVER_VERSION& DriverRecord() const { return driverRecord_; }
    // The full name: the driver's adapter text, replaced by the GPU's own name when the driver
    // knows it.
    const char* FullName() const { return driverRecord_.Adapter; }
    const char* DriverBranch() const { return driverRecord_.BuildBranch; }

    unsigned int DeviceIndex() const { return deviceIndex_; }
    unsigned int GpuIndex() const { return gpuIndex_; }
    unsigned int GpuCount() const { return gpuCount_; }
    // The watched GPU and its display; null until a selection succeeded, so that a failed
    // selection in demonstration mode never drives a GPU the user did not choose.
    NvDisplayHandle Display() const { return selected_ ? display_ : nullptr; }
    NvPhysicalGpuHandle Gpu() const { return selected_ ? gpus_[gpuIndex_] : nullptr; }
    HMODULE Module() const { return module_; }

    nvapi_QueryInterface_t QueryFunction() const { return queryInterface_; }
    NvAPI_GPU_GetDynamicPstatesInfoEx_t DynamicPstatesFunction() const { return getDynamicPstates_; }
    NvAPI_GPU_GetUsages_t UsageTableFunction() const { return getUsages_; }
    NvAPI_GetDisplayDriverMemoryInfo_t MemoryInfoFunction() const { return getMemoryInfo_; }
    NvAPI_GPU_GetCoolerSettings_t CoolerFunction() const { return getCoolerSettings_; }

    // The looked-up functions on the watched GPU (the memory information on its display). A
    // function the driver did not offer answers NVAPI_NO_IMPLEMENTATION.
    NvAPI_Status GetDynamicPstatesInfoEx(NV_DYNAMIC_PSTATES* record) const;
    NvAPI_Status GetUsages(NV_USAGE_TABLE* record) const;
    NvAPI_Status GetMemoryInfo(NV_MEMORY_INFO* record) const;
    NvAPI_Status GetCoolerSettings(NvU32 cooler, NV_COOLER_SETTINGS* record) const;

private:
    NvAPI_ShortString interfaceVersion_;
    NvAPI_ShortString driverVersion_;
    NvAPI_ShortString biosVersion_;
    NV_DISPLAY_DRIVER_VERSION driverRecord_;
    nvapi_QueryInterface_t queryInterface_;
    NvAPI_GPU_GetDynamicPstatesInfoEx_t getDynamicPstates_;
    NvAPI_GPU_GetUsages_t getUsages_;
    NvAPI_GetDisplayDriverMemoryInfo_t getMemoryInfo_;
    NvAPI_GPU_GetCoolerSettings_t getCoolerSettings_;
    unsigned int deviceIndex_;
    unsigned int gpuIndex_;
    unsigned int gpuCount_;
    NvDisplayHandle display_;
    NvPhysicalGpuHandle gpus_[NVAPI_MAX_PHYSICAL_GPUS];
    HMODULE module_;
    // Whether this object holds a successful NvAPI_Initialize that it must give back.
    bool started_;
    bool selected_;
};

#include "gpu/gpuinfo.h"

#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "gpu/cnvgf.h"
#include "gpu/nvapiclient.h"
#include "gpu/sensortext.h"

GPUINFO GpuInfo = {"", "", "", "", 0, "", 0, 0, 0};

const char DUMMY_MODE_TEXT[] = "ダミーモードが有効です";

void ClearGpuInfo(GPUINFO& info)
{
    info.FullName = "";
    info.BiosVersion = "";
    info.DriverVersion = "";
    info.DriverBranch = "";
    info.BusType = 0;
    info.BusName = "";
    info.BusRate = 0;
    info.Aperture = 0;
    info.Memory = 0;
}

const char* BusName(unsigned int busType)
{
    switch (busType) {
    case NV_BUS_TYPE_NONE:
        return "?";
    case NV_BUS_TYPE_PCI:
        return "PCI";
    case NV_BUS_TYPE_AGP:
        return "AGP";
    case NV_BUS_TYPE_PCI_EXPRESS:
        return "PCI-E";
    case NV_BUS_TYPE_FPCI:
        return "FPCI";
    default:
        return "";
    }
}

namespace {

void ReadBus(NvPhysicalGpuHandle gpu, GPUINFO& info)
{
    NvU32 busType = 0;
    if (NvAPI_GPU_GetBusType(gpu, &busType) == NVAPI_OK) {
        info.BusType = busType;
        info.BusName = BusName(busType);
    }
    // A PCI Express card reports an AGP rate of 0; only then is its lane count the rate.
    NvU32 rate = 0;
    if (NvAPI_GPU_GetCurrentAGPRate(gpu, &rate) == NVAPI_OK) {
        info.BusRate = rate;
        NvU32 lanes = 0;
        if (rate == 0 && NvAPI_GPU_GetCurrentPCIEDownstreamWidth(gpu, &lanes) == NVAPI_OK)
            info.BusRate = lanes;
    }
}

void ReadMemorySizes(NvPhysicalGpuHandle gpu, GPUINFO& info)
{
    NvU32 sizeKB = 0;
    if (NvAPI_GPU_GetAGPAperture(gpu, &sizeKB) == NVAPI_OK)
        info.Aperture = sizeKB >> 10;
    if (NvAPI_GPU_GetPhysicalFrameBufferSize(gpu, &sizeKB) == NVAPI_OK)
        info.Memory = sizeKB >> 10;
}

}  // namespace

bool ProbeGpu(CNVGF& gpu, char* sensorText, size_t size)
{
    if (size)
        sensorText[0] = '\0';
    ClearGpuInfo(GpuInfo);

    if (!gpu.SelectGpu(Config.Global.Device, Config.Global.GPU)) {
        if (!Config.Global.Dummy)
            return false;
        if (size)
            snprintf(sensorText, size < SENSORTEXT_SIZE ? size : SENSORTEXT_SIZE, "%s", DUMMY_MODE_TEXT);
        return true;
    }

    GpuInfo.FullName = gpu.FullName();
    GpuInfo.DriverVersion = gpu.DriverVersion();
    GpuInfo.DriverBranch = gpu.DriverBranch();
    GpuInfo.BiosVersion = gpu.ReadBiosVersion() ? gpu.BiosVersion() : "";
    ReadBus(gpu.Gpu(), GpuInfo);
    ReadMemorySizes(gpu.Gpu(), GpuInfo);

    NV_THERMAL_SETTINGS thermal = NvRecord<NV_THERMAL_SETTINGS>(NV_THERMAL_SETTINGS_VER);
    if (NvAPI_GPU_GetThermalSettings(gpu.Gpu(), NV_THERMAL_ALL_SENSORS, &thermal) != NVAPI_OK)
        return false;

    // The settings record's text is not trusted to be terminated.
    char format[sizeof Config.Tooltip.Format + 1];
    memcpy(format, Config.Tooltip.Format, sizeof Config.Tooltip.Format);
    format[sizeof Config.Tooltip.Format] = '\0';
    BuildSensorText(thermal, format, sensorText, size);
    return true;
}

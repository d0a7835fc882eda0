// The simulated driver's readings: temperatures, clocks, usage, fan, memory and the LED.
#include <cstring>

#include "simgpu/functions.h"
#include "simgpu/simstate.h"

namespace {

// The checks every record call makes before it fills the record: started, not scripted to
// fail, a known GPU, a record, and a record version the driver knows.
template <typename RECORD>
SIMGPU* AdmitGpuRecord(SIMCALL& call, NvPhysicalGpuHandle handle, RECORD* record, NvU32 version, NvAPI_Status& status)
{
    status = call.Admit();
    SIMGPU* gpu = status == NVAPI_OK ? call.FindGpu(handle, status) : nullptr;
    if (status == NVAPI_OK && !record)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK && record->Version != version)
        status = NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    return status == NVAPI_OK ? gpu : nullptr;
}

// Clears everything after the version word, as the driver answers whole records.
template <typename RECORD>
void ClearRecord(RECORD* record)
{
    memset(reinterpret_cast<char*>(record) + sizeof(NvU32), 0, sizeof(RECORD) - sizeof(NvU32));
}

void FillSensor(SIMSENSOR& sensor, NV_THERMAL_SENSOR& out)
{
    out.Controller = sensor.Controller;
    out.DefaultMinTemp = sensor.DefaultMinTemp;
    out.DefaultMaxTemp = sensor.DefaultMaxTemp;
    out.CurrentTemp = sensor.Temp.Next();
    out.Target = sensor.Target;
}

NvU32 ClockOf(SIMGPU& gpu, NvU32 type, NvU32 domain)
{
    const bool boost = type == NV_CLOCK_TYPE_BOOST;
    switch (domain) {
    case NV_CLOCK_DOMAIN_GRAPHICS:
        return boost ? gpu.BoostCore.Next() : gpu.ClockCore.Next();
    case NV_CLOCK_DOMAIN_MEMORY:
        return boost ? gpu.BoostMemory.Next() : gpu.ClockMemory.Next();
    case NV_CLOCK_DOMAIN_PROCESSOR:
        return boost ? gpu.BoostShader.Next() : gpu.ClockShader.Next();
    default:
        return 0;
    }
}

NvU32 UsageOf(SIMGPU& gpu, NvU32 entry)
{
    switch (entry) {
    case NV_PSTATE_ENTRY_GPU:
        return gpu.UsageCore.Next();
    case NV_PSTATE_ENTRY_FRAME_BUFFER:
        return gpu.UsageMemory.Next();
    case NV_PSTATE_ENTRY_VIDEO:
        return gpu.UsageVideo.Next();
    default:
        return 0;
    }
}

}  // namespace

NvAPI_Status SimGetThermalSettings(NvPhysicalGpuHandle handle, NvU32 sensor, NV_THERMAL_SETTINGS* record)
{
    SIMCALL call(SF_GPU_GET_THERMAL_SETTINGS);
    call.ArgumentGpu(handle);
    call.Argument("sensor=%u version=0x%X", sensor, record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, handle, record, NV_THERMAL_SETTINGS_VER, status);
    if (gpu && sensor != NV_THERMAL_ALL_SENSORS && sensor >= gpu->Sensors.size())
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK) {
        ClearRecord(record);
        if (sensor == NV_THERMAL_ALL_SENSORS) {
            record->Count = gpu->ReportedSensors;
            for (size_t i = 0; i < gpu->Sensors.size(); ++i)
                FillSensor(gpu->Sensors[i], record->Sensor[i]);
        } else {
            record->Count = 1;
            FillSensor(gpu->Sensors[sensor], record->Sensor[0]);
        }
    }
    return call.Finish(status);
}

NvAPI_Status SimGetAllClockFrequencies(NvPhysicalGpuHandle handle, NV_CLOCK_FREQUENCIES* record)
{
    SIMCALL call(SF_GPU_GET_ALL_CLOCK_FREQUENCIES);
    call.ArgumentGpu(handle);
    const NvU32 type = record ? record->ClockType & NV_CLOCK_TYPE_MASK : 0;
    call.Argument("type=%u version=0x%X", type, record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, handle, record, NV_CLOCK_FREQUENCIES_VER, status);
    // Base clocks are not simulated.
    if (gpu && type != NV_CLOCK_TYPE_CURRENT && type != NV_CLOCK_TYPE_BOOST)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK) {
        ClearRecord(record);
        record->ClockType = type;
        for (NvU32 domain : gpu->ClockDomains) {
            record->Domain[domain].Flags = NV_ENTRY_PRESENT;
            record->Domain[domain].FrequencyKHz = ClockOf(*gpu, type, domain);
        }
    }
    return call.Finish(status);
}

NvAPI_Status SimGetTachReading(NvPhysicalGpuHandle gpu, NvU32* rpm)
{
    return GpuQuery(SF_GPU_GET_TACH_READING, gpu, rpm, [](SIMGPU& g, NvU32* out) { *out = g.Tach.Next(); });
}

NvAPI_Status SimGetDynamicPstatesInfoEx(NvPhysicalGpuHandle handle, NV_DYNAMIC_PSTATES* record)
{
    SIMCALL call(SF_GPU_GET_DYNAMIC_PSTATES_INFO_EX);
    call.ArgumentGpu(handle);
    call.Argument("version=0x%X", record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, handle, record, NV_DYNAMIC_PSTATES_VER, status);
    if (status == NVAPI_OK) {
        ClearRecord(record);
        record->Flags = 1;
        for (NvU32 entry : gpu->PstateEntries) {
            record->Entry[entry].Flags = NV_ENTRY_PRESENT;
            record->Entry[entry].Percent = UsageOf(*gpu, entry);
        }
    }
    return call.Finish(status);
}

NvAPI_Status SimGetUsages(NvPhysicalGpuHandle handle, NV_USAGE_TABLE* record)
{
    SIMCALL call(SF_GPU_GET_USAGES);
    call.ArgumentGpu(handle);
    call.Argument("version=0x%X", record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, handle, record, NV_USAGE_TABLE_VER, status);
    if (status == NVAPI_OK) {
        ClearRecord(record);
        const size_t offsets[] = {NV_USAGE_CORE_OFFSET, NV_USAGE_MEMORY_OFFSET, NV_USAGE_VIDEO_OFFSET};
        for (NvU32 entry = 0; entry < 3; ++entry) {
            SetUsageAt(*record, offsets[entry] - sizeof(NvU32), NV_ENTRY_PRESENT);
            SetUsageAt(*record, offsets[entry], UsageOf(*gpu, entry));
        }
    }
    return call.Finish(status);
}

NvAPI_Status SimGetDisplayDriverMemoryInfo(NvDisplayHandle handle, NV_MEMORY_INFO* record)
{
    SIMCALL call(SF_GET_DISPLAY_DRIVER_MEMORY_INFO);
    call.ArgumentDisplay(handle);
    call.Argument("version=0x%X", record ? record->Version : 0);
    NvAPI_Status status = call.Admit();
    SIMDISPLAY* display = status == NVAPI_OK ? call.FindDisplay(handle, status) : nullptr;
    if (status == NVAPI_OK && !record)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK && record->Version != NV_MEMORY_INFO_VER)
        status = NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    if (status == NVAPI_OK) {
        ClearRecord(record);
        record->DedicatedKB = display->MemoryDedicated.Next();
        record->DedicatedAvailableKB = record->DedicatedKB;
        record->CurrentAvailableKB = display->MemoryAvailable.Next();
    }
    return call.Finish(status);
}

NvAPI_Status SimGetCoolerSettings(NvPhysicalGpuHandle handle, NvU32 cooler, NV_COOLER_SETTINGS* record)
{
    SIMCALL call(SF_GPU_GET_COOLER_SETTINGS);
    call.ArgumentGpu(handle);
    call.Argument("cooler=%u version=0x%X", cooler, record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, handle, record, NV_COOLER_SETTINGS_VER, status);
    if (status == NVAPI_OK) {
        ClearRecord(record);
        record->Count = gpu->Coolers;
        // Every cooler of the board runs at the same level: a fan, on the GPU, 30 to 100 %.
        const NvU32 level = gpu->Coolers ? gpu->FanLevel.Next() : 0;
        for (NvU32 i = 0; i < gpu->Coolers; ++i) {
            NV_COOLER& out = record->Cooler[i];
            const NvU32 description[6] = {1, 1, 30, 100, 30, 100};
            const NvU32 policy[5] = {1, 1, 1, 1, 1};
            memcpy(out.Description, description, sizeof description);
            out.CurrentLevel = level;
            memcpy(out.Policy, policy, sizeof policy);
        }
    }
    return call.Finish(status);
}

NvAPI_Status SimQueryIlluminationSupport(NV_ILLUMINATION* record)
{
    SIMCALL call(SF_GPU_QUERY_ILLUMINATION_SUPPORT);
    call.ArgumentGpu(record ? record->Gpu : nullptr);
    call.Argument("attribute=%u version=0x%X", record ? record->Attribute : 0, record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, record ? record->Gpu : nullptr, record, NV_ILLUMINATION_VER, status);
    if (status == NVAPI_OK)
        record->Value = record->Attribute == NV_ILLUMINATION_ATTRIBUTE_LOGO && gpu->Illumination ? 1 : 0;
    return call.Finish(status);
}

NvAPI_Status SimSetIllumination(NV_ILLUMINATION* record)
{
    SIMCALL call(SF_GPU_SET_ILLUMINATION);
    call.ArgumentGpu(record ? record->Gpu : nullptr);
    call.Argument("attribute=%u value=%u version=0x%X", record ? record->Attribute : 0, record ? record->Value : 0,
                  record ? record->Version : 0);
    NvAPI_Status status;
    SIMGPU* gpu = AdmitGpuRecord(call, record ? record->Gpu : nullptr, record, NV_ILLUMINATION_VER, status);
    if (gpu && (record->Attribute != NV_ILLUMINATION_ATTRIBUTE_LOGO || !gpu->Illumination))
        status = NVAPI_NOT_SUPPORTED;
    else if (gpu && record->Value > 100)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK)
        gpu->IlluminationValue = record->Value;
    return call.Finish(status);
}

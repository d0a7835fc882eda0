#pragma once

// The binary interface of NVIDIA's driver library as this program uses it: interface IDs,
// status codes, record layouts and the shapes of the functions behind the IDs. Shared by the
// program's client layer and by the simulated driver, so both agree byte for byte with the
// real nvapi64.dll.

#include <cstddef>

typedef int NvAPI_Status;
typedef unsigned int NvU32;

// Handles are opaque to the caller; only the driver knows what they point at.
typedef struct NvDisplayHandle__* NvDisplayHandle;
typedef struct NvPhysicalGpuHandle__* NvPhysicalGpuHandle;

// Zero is success, every other value a failure. The negative values follow the driver's own
// numbering so that a status seen with the real driver means the same.
enum : NvAPI_Status {
    NVAPI_OK = 0,
    NVAPI_ERROR = -1,
    NVAPI_LIBRARY_NOT_FOUND = -2,
    NVAPI_NO_IMPLEMENTATION = -3,
    NVAPI_API_NOT_INITIALIZED = -4,
    NVAPI_INVALID_ARGUMENT = -5,
    NVAPI_NVIDIA_DEVICE_NOT_FOUND = -6,
    NVAPI_END_ENUMERATION = -7,
    NVAPI_INVALID_HANDLE = -8,
    NVAPI_INCOMPATIBLE_STRUCT_VERSION = -9,
    NVAPI_NOT_SUPPORTED = -104,
};

// The only export the program takes from the library; everything else is reached through it.
inline constexpr char NVAPI_QUERY_EXPORT[] = "nvapi_QueryInterface";
typedef void* (*nvapi_QueryInterface_t)(NvU32 id);

enum : NvU32 {
    NVAPI_ID_INITIALIZE = 0x0150E828,
    NVAPI_ID_GET_INTERFACE_VERSION_STRING = 0x01053FA5,
    NVAPI_ID_ENUM_NVIDIA_DISPLAY_HANDLE = 0x9ABDD40D,
    NVAPI_ID_GET_PHYSICAL_GPUS_FROM_DISPLAY = 0x34EF9506,
    NVAPI_ID_GET_DISPLAY_DRIVER_VERSION = 0xF951A4D1,
    NVAPI_ID_GPU_GET_FULL_NAME = 0xCEEE8E9F,
    NVAPI_ID_GPU_GET_VBIOS_VERSION_STRING = 0xA561FD7D,
    NVAPI_ID_GPU_GET_BUS_TYPE = 0x1BB18724,
    NVAPI_ID_GPU_GET_CURRENT_AGP_RATE = 0xC74925A0,
    NVAPI_ID_GPU_GET_CURRENT_PCIE_DOWNSTREAM_WIDTH = 0xD048C3B1,
    NVAPI_ID_GPU_GET_AGP_APERTURE = 0x6E042794,
    NVAPI_ID_GPU_GET_PHYSICAL_FRAME_BUFFER_SIZE = 0x46FBEB03,
    NVAPI_ID_GPU_GET_THERMAL_SETTINGS = 0xE3640A56,
    NVAPI_ID_GPU_GET_ALL_CLOCK_FREQUENCIES = 0xDCB616C3,
    NVAPI_ID_GPU_GET_TACH_READING = 0x5F608315,
    NVAPI_ID_GPU_QUERY_ILLUMINATION_SUPPORT = 0xA629DA31,
    NVAPI_ID_GPU_SET_ILLUMINATION = 0x0254A187,
    // Not part of the documented set; the GPU object looks them up itself and copes without them.
    NVAPI_ID_GPU_GET_DYNAMIC_PSTATES_INFO_EX = 0x60DED2ED,
    NVAPI_ID_GPU_GET_USAGES = 0x189A1FDF,
    NVAPI_ID_GET_DISPLAY_DRIVER_MEMORY_INFO = 0x774AA982,
    NVAPI_ID_GPU_GET_COOLER_SETTINGS = 0xDA141340,
};

enum : NvU32 {
    NVAPI_MAX_PHYSICAL_GPUS = 64,
    NVAPI_SHORT_STRING_MAX = 64,
    NVAPI_MAX_THERMAL_SENSORS = 3,
    NVAPI_MAX_CLOCK_DOMAINS = 32,
    NVAPI_MAX_PSTATE_ENTRIES = 8,
    NVAPI_MAX_COOLERS = 20,
};

typedef char NvAPI_ShortString[NVAPI_SHORT_STRING_MAX];

// A record's first word: its size in the low half, its layout version in the high half. The
// driver refuses a record whose word it does not know.
constexpr NvU32 NvRecordVersion(size_t size, NvU32 version) { return static_cast<NvU32>(size) | (version << 16); }

// A zeroed record with its version word, as every call expects it.
template <typename RECORD>
RECORD NvRecord(NvU32 version)
{
    RECORD record = {};
    record.Version = version;
    return record;
}

enum : NvU32 {
    NV_BUS_TYPE_NONE = 0,
    NV_BUS_TYPE_PCI = 1,
    NV_BUS_TYPE_AGP = 2,
    NV_BUS_TYPE_PCI_EXPRESS = 3,
    NV_BUS_TYPE_FPCI = 4,
};

enum : NvU32 {
    NV_THERMAL_ALL_SENSORS = 15,
};

// Targets of a thermal sensor (codes as the driver reports them; -1 is "unknown").
enum : int {
    NV_THERMAL_TARGET_GPU = 1,
    NV_THERMAL_TARGET_MEMORY = 2,
    NV_THERMAL_TARGET_POWER_SUPPLY = 4,
    NV_THERMAL_TARGET_BOARD = 8,
};

enum : NvU32 {
    NV_CLOCK_TYPE_CURRENT = 0,
    NV_CLOCK_TYPE_BASE = 1,
    NV_CLOCK_TYPE_BOOST = 2,
    NV_CLOCK_TYPE_MASK = 3,
};

enum : NvU32 {
    NV_CLOCK_DOMAIN_GRAPHICS = 0,
    NV_CLOCK_DOMAIN_MEMORY = 4,
    NV_CLOCK_DOMAIN_PROCESSOR = 7,
};

enum : NvU32 {
    NV_PSTATE_ENTRY_GPU = 0,
    NV_PSTATE_ENTRY_FRAME_BUFFER = 1,
    NV_PSTATE_ENTRY_VIDEO = 2,
};

enum : NvU32 {
    NV_ILLUMINATION_ATTRIBUTE_LOGO = 0,
};

// Bit 0 of a clock domain's or pstate entry's flags word: the entry is present.
enum : NvU32 {
    NV_ENTRY_PRESENT = 1,
};

struct NV_DISPLAY_DRIVER_VERSION {
    NvU32 Version;
    NvU32 DriverVersion;  // the version number times 100
    NvU32 ChangeList;
    NvAPI_ShortString BuildBranch;
    NvAPI_ShortString Adapter;
};
static_assert(sizeof(NV_DISPLAY_DRIVER_VERSION) == 0x8C, "driver version record");
constexpr NvU32 NV_DISPLAY_DRIVER_VERSION_VER = NvRecordVersion(sizeof(NV_DISPLAY_DRIVER_VERSION), 1);
static_assert(NV_DISPLAY_DRIVER_VERSION_VER == 0x1008C, "driver version record version");

struct NV_THERMAL_SENSOR {
    int Controller;
    NvU32 DefaultMinTemp;
    NvU32 DefaultMaxTemp;
    NvU32 CurrentTemp;
    int Target;
};

struct NV_THERMAL_SETTINGS {
    NvU32 Version;
    NvU32 Count;
    NV_THERMAL_SENSOR Sensor[NVAPI_MAX_THERMAL_SENSORS];
};
static_assert(sizeof(NV_THERMAL_SETTINGS) == 0x44, "thermal settings record");
constexpr NvU32 NV_THERMAL_SETTINGS_VER = NvRecordVersion(sizeof(NV_THERMAL_SETTINGS), 1);
static_assert(NV_THERMAL_SETTINGS_VER == 0x10044, "thermal settings record version");

struct NV_CLOCK_DOMAIN {
    NvU32 Flags;  // NV_ENTRY_PRESENT
    NvU32 FrequencyKHz;
};

struct NV_CLOCK_FREQUENCIES {
    NvU32 Version;
    NvU32 ClockType;  // low two bits: NV_CLOCK_TYPE_*; the other bits stay zero
    NV_CLOCK_DOMAIN Domain[NVAPI_MAX_CLOCK_DOMAINS];
};
static_assert(sizeof(NV_CLOCK_FREQUENCIES) == 0x108, "clock frequencies record");
constexpr NvU32 NV_CLOCK_FREQUENCIES_VER = NvRecordVersion(sizeof(NV_CLOCK_FREQUENCIES), 2);
static_assert(NV_CLOCK_FREQUENCIES_VER == 0x20108, "clock frequencies record version");

struct NV_PSTATE_USAGE {
    NvU32 Flags;  // NV_ENTRY_PRESENT
    NvU32 Percent;
};

struct NV_DYNAMIC_PSTATES {
    NvU32 Version;
    NvU32 Flags;  // bit 0: dynamic performance states are enabled
    NV_PSTATE_USAGE Entry[NVAPI_MAX_PSTATE_ENTRIES];
};
static_assert(sizeof(NV_DYNAMIC_PSTATES) == 0x48, "dynamic pstates record");
constexpr NvU32 NV_DYNAMIC_PSTATES_VER = NvRecordVersion(sizeof(NV_DYNAMIC_PSTATES), 1);
static_assert(NV_DYNAMIC_PSTATES_VER == 0x10048, "dynamic pstates record version");

// The older usage table: 33 words after the version word, of which only the three usages at
// fixed byte offsets are relied on. Each usage is preceded by its engine's present flag.
struct NV_USAGE_TABLE {
    NvU32 Version;
    NvU32 Word[33];
};
static_assert(sizeof(NV_USAGE_TABLE) == 0x88, "usage table record");
constexpr NvU32 NV_USAGE_TABLE_VER = NvRecordVersion(sizeof(NV_USAGE_TABLE), 1);
static_assert(NV_USAGE_TABLE_VER == 0x10088, "usage table record version");
enum : size_t {
    NV_USAGE_CORE_OFFSET = 12,
    NV_USAGE_MEMORY_OFFSET = 28,
    NV_USAGE_VIDEO_OFFSET = 44,
};

// Reads the usage at a byte offset of the usage table (one of the NV_USAGE_*_OFFSET values).
inline NvU32 UsageAt(const NV_USAGE_TABLE& table, size_t offset)
{
    return table.Word[(offset - offsetof(NV_USAGE_TABLE, Word)) / sizeof(NvU32)];
}
inline void SetUsageAt(NV_USAGE_TABLE& table, size_t offset, NvU32 value)
{
    table.Word[(offset - offsetof(NV_USAGE_TABLE, Word)) / sizeof(NvU32)] = value;
}

struct NV_MEMORY_INFO {
    NvU32 Version;
    NvU32 DedicatedKB;
    NvU32 DedicatedAvailableKB;  // dedicated memory not set aside by the system
    NvU32 SystemKB;
    NvU32 SharedSystemKB;
    NvU32 CurrentAvailableKB;    // dedicated memory free right now
};
static_assert(sizeof(NV_MEMORY_INFO) == 0x18, "memory information record");
static_assert(offsetof(NV_MEMORY_INFO, DedicatedKB) == 4, "dedicated memory offset");
static_assert(offsetof(NV_MEMORY_INFO, CurrentAvailableKB) == 20, "available memory offset");
constexpr NvU32 NV_MEMORY_INFO_VER = NvRecordVersion(sizeof(NV_MEMORY_INFO), 2);
static_assert(NV_MEMORY_INFO_VER == 0x20018, "memory information record version");

// One cooler: twelve words, of which only the current level is relied on; the others describe
// the cooler's kind, limits and policy and are left to the driver.
struct NV_COOLER {
    NvU32 Description[6];
    NvU32 CurrentLevel;  // percent
    NvU32 Policy[5];
};

struct NV_COOLER_SETTINGS {
    NvU32 Version;
    NvU32 Count;
    NV_COOLER Cooler[NVAPI_MAX_COOLERS];
};
static_assert(sizeof(NV_COOLER_SETTINGS) == 0x3C8, "cooler settings record");
static_assert(offsetof(NV_COOLER_SETTINGS, Cooler[0].CurrentLevel) == 32, "first cooler level offset");
constexpr NvU32 NV_COOLER_SETTINGS_VER = NvRecordVersion(sizeof(NV_COOLER_SETTINGS), 2);
static_assert(NV_COOLER_SETTINGS_VER == 0x203C8, "cooler settings record version");

// The same layout serves the support query (Value: supported flag) and the setting (Value:
// brightness in percent).
struct NV_ILLUMINATION {
    NvU32 Version;
    NvPhysicalGpuHandle Gpu;
    NvU32 Attribute;
    NvU32 Value;
};
static_assert(sizeof(NV_ILLUMINATION) == 0x18, "illumination record");
constexpr NvU32 NV_ILLUMINATION_VER = NvRecordVersion(sizeof(NV_ILLUMINATION), 1);
static_assert(NV_ILLUMINATION_VER == 0x10018, "illumination record version");

// The functions behind the IDs.
typedef NvAPI_Status (*NvAPI_Initialize_t)();
typedef NvAPI_Status (*NvAPI_GetInterfaceVersionString_t)(char* text);
typedef NvAPI_Status (*NvAPI_EnumNvidiaDisplayHandle_t)(NvU32 index, NvDisplayHandle* display);
typedef NvAPI_Status (*NvAPI_GetPhysicalGPUsFromDisplay_t)(NvDisplayHandle display, NvPhysicalGpuHandle* gpus,
                                                           NvU32* count);
typedef NvAPI_Status (*NvAPI_GetDisplayDriverVersion_t)(NvDisplayHandle display, NV_DISPLAY_DRIVER_VERSION* record);
typedef NvAPI_Status (*NvAPI_GPU_GetText_t)(NvPhysicalGpuHandle gpu, char* text);
typedef NvAPI_Status (*NvAPI_GPU_GetValue_t)(NvPhysicalGpuHandle gpu, NvU32* value);
typedef NvAPI_Status (*NvAPI_GPU_GetThermalSettings_t)(NvPhysicalGpuHandle gpu, NvU32 sensor,
                                                       NV_THERMAL_SETTINGS* record);
typedef NvAPI_Status (*NvAPI_GPU_GetAllClockFrequencies_t)(NvPhysicalGpuHandle gpu, NV_CLOCK_FREQUENCIES* record);
typedef NvAPI_Status (*NvAPI_GPU_Illumination_t)(NV_ILLUMINATION* record);
typedef NvAPI_Status (*NvAPI_GPU_GetDynamicPstatesInfoEx_t)(NvPhysicalGpuHandle gpu, NV_DYNAMIC_PSTATES* record);
typedef NvAPI_Status (*NvAPI_GPU_GetUsages_t)(NvPhysicalGpuHandle gpu, NV_USAGE_TABLE* record);
typedef NvAPI_Status (*NvAPI_GetDisplayDriverMemoryInfo_t)(NvDisplayHandle display, NV_MEMORY_INFO* record);
typedef NvAPI_Status (*NvAPI_GPU_GetCoolerSettings_t)(NvPhysicalGpuHandle gpu, NvU32 cooler,
                                                      NV_COOLER_SETTINGS* record);

#include "gpu/sensortext.h"

#include <cstring>

#include "base/checkedformat.h"
#include "config/formats.h"

namespace {

struct CODENAME {
    int code;
    const char* name;
};

const CODENAME CONTROLLER_NAMES[] = {
    {1, "GPU INTERNAL"}, {2, "ADM1032"}, {3, "MAX6649"},   {4, "MAX1617"},   {5, "LM99"}, {6, "LM89"},
    {7, "LM64"},         {8, "ADT7473"}, {9, "SBMAX6649"}, {10, "VBIOSEVT"}, {11, "OS"}, {-1, "UNKNOWN"},
};

const CODENAME TARGET_NAMES[] = {
    {1, "GPU"},        {2, "MEMROY"},     {4, "POWER SUPPLY"}, {8, "BORAD"},
    {9, "VCD BOARD"},  {10, "VCD INLET"}, {11, "VCD OUTLET"},  {-1, "UNKNOWN"},
};

template <size_t N>
const char* NameOf(const CODENAME (&table)[N], int code)
{
    for (const CODENAME& entry : table)
        if (entry.code == code)
            return entry.name;
    return "";
}

}  // namespace

const char* ThermalControllerName(int controller) { return NameOf(CONTROLLER_NAMES, controller); }

const char* ThermalTargetName(int target) { return NameOf(TARGET_NAMES, target); }

void BuildSensorText(const NV_THERMAL_SETTINGS& settings, const char* format, char* text, size_t size)
{
    if (size == 0)
        return;
    text[0] = '\0';
    const size_t capacity = (size < SENSORTEXT_SIZE ? size : SENSORTEXT_SIZE) - 1;
    // A driver reporting more sensors than the record holds must not make us read past it.
    const NvU32 count = settings.Count < NVAPI_MAX_THERMAL_SENSORS ? settings.Count
                                                                    : static_cast<NvU32>(NVAPI_MAX_THERMAL_SENSORS);
    size_t used = 0;
    for (NvU32 i = 0; i < count; ++i) {
        const NV_THERMAL_SENSOR& sensor = settings.Sensor[i];
        // Room for two bytes more than the text can take: a line cut to the buffer is still known
        // too long even when the cut steps back from a lone double-byte lead byte.
        char line[SENSORTEXT_SIZE + 2];
        FormatChecked(line, sizeof line, format ? format : TOOLTIP_FORMAT_DEFAULT, TOOLTIP_FORMAT_DEFAULT, TOOLTIP_FORMAT_ARGUMENTS,
                      static_cast<int>(i), ThermalTargetName(sensor.Target), ThermalControllerName(sensor.Controller));
        const size_t length = strlen(line);
        const size_t separator = i > 0 ? 1 : 0;
        if (used + separator + length > capacity)
            break;
        if (separator)
            text[used++] = '\n';
        memcpy(text + used, line, length);
        used += length;
        text[used] = '\0';
    }
}

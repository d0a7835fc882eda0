#include "app/captiontext.h"

#include <cstring>

#include "base/checkedformat.h"
#include "base/settingcopy.h"
#include "base/textpolicy.h"
#include "config/config.h"
#include "config/formats.h"
#include "config/theme.h"

namespace {

// Appends text to the zero-terminated buffer, as much of it as fits in whole characters.
void AppendWhole(char* buffer, size_t size, const char* text)
{
    const size_t used = strlen(buffer);
    if (used + 1 >= size)
        return;
    size_t length = strlen(text);
    if (length > size - 1 - used)
        length = WholeCharacterLength(text, size - 1 - used);
    memcpy(buffer + used, text, length);
    buffer[used + length] = '\0';
}

// One " value unit" part. The unit labels come from the theme (up to 15 bytes each), so a part
// can outgrow its 15 characters and is then cut.
void AppendPart(char* buffer, size_t size, unsigned int value, const char* unit)
{
    char part[CAPTION_PART_SIZE];
    FormatChecked(part, sizeof part, " %d%s", " %d%s", "ds", static_cast<int>(value), unit);
    AppendWhole(buffer, size, part);
}

}  // namespace

void BuildIdentityText(char* buffer, size_t size, const GPUINFO& info)
{
    FormatChecked(buffer, size, "%s %s %dMB", "%s %s %dMB", "ssd", info.FullName ? info.FullName : "",
                  info.BusName ? info.BusName : "", static_cast<int>(info.Memory));
}

void BuildReadingsText(char* buffer, size_t size, const unsigned int temperatures[2], const unsigned int usages[3],
                       unsigned int memoryUsed, unsigned int fanLevel)
{
    if (!buffer || size == 0)
        return;
    char format[sizeof Config.Taskbar.Format];
    CopySetting(format, Config.Taskbar.Format);
    FormatChecked(buffer, size, format, TASKBAR_FORMAT_DEFAULT, TASKBAR_FORMAT_ARGUMENTS,
                  static_cast<int>(temperatures[0]), static_cast<int>(temperatures[1]));
    const char* usageUnit = Theme.Label.UnitUsage;
    if (Config.Taskbar.Core)
        AppendPart(buffer, size, usages[0], usageUnit);
    if (Config.Taskbar.Memory)
        AppendPart(buffer, size, usages[1], usageUnit);
    if (Config.Taskbar.Video)
        AppendPart(buffer, size, usages[2], usageUnit);
    if (Config.Taskbar.Used)
        AppendPart(buffer, size, memoryUsed, Theme.Label.UnitUsed);
    if (Config.Taskbar.Fan)
        AppendPart(buffer, size, fanLevel, Theme.Label.UnitFan);
}

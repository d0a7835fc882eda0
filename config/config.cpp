#include "config/config.h"

#include <cstdio>
#include <cstring>

#include "base/inifile.h"
#include "config/formats.h"
#include "config/profiletext.h"

CONFIG Config;
char ConfigPath[2048];

namespace {

constexpr char DefaultConfigPath[] = "VARNOK.CFG";

enum SettingType {
    SETTING_SIGNED,
    SETTING_UNSIGNED,
    SETTING_TEXT,
    // Read like any other int but never written: the user adds these keys by hand.
    SETTING_HIDDEN,
};

struct SettingKey {
    const char* section;
    const char* key;
    SettingType type;
    void* field;
    unsigned long size;
    int defaultNumber;
    const char* defaultText;
};

// Every key in file order, which is both the load and the save order.
const SettingKey SettingKeys[] = {
    {"GLOBAL", "Debug", SETTING_HIDDEN, &Config.Global.Debug, 0, 0, nullptr},
    {"GLOBAL", "Dummy", SETTING_HIDDEN, &Config.Global.Dummy, 0, 0, nullptr},
    {"GLOBAL", "Device", SETTING_UNSIGNED, &Config.Global.Device, 0, 0, nullptr},
    {"GLOBAL", "GPU", SETTING_UNSIGNED, &Config.Global.GPU, 0, 0, nullptr},
    {"GLOBAL", "Timer", SETTING_UNSIGNED, &Config.Global.Timer, 0, 5, nullptr},
    {"GLOBAL", "Limit", SETTING_UNSIGNED, &Config.Global.Limit, 0, 160, nullptr},
    {"GLOBAL", "MemoryRate", SETTING_UNSIGNED, &Config.Global.MemoryRate, 0, 2, nullptr},
    {"GLOBAL", "Async", SETTING_SIGNED, &Config.Global.Async, 0, 0, nullptr},
    {"GLOBAL", "Taskbar", SETTING_SIGNED, &Config.Global.Taskbar, 0, 1, nullptr},
    {"GLOBAL", "Stable", SETTING_SIGNED, &Config.Global.Stable, 0, 0, nullptr},
    {"GLOBAL", "Usage", SETTING_SIGNED, &Config.Global.Usage, 0, 1, nullptr},
    {"GLOBAL", "X", SETTING_SIGNED, &Config.Global.X, 0, -1, nullptr},
    {"GLOBAL", "Y", SETTING_SIGNED, &Config.Global.Y, 0, -1, nullptr},
    {"ILLUMINATION", "Enable", SETTING_SIGNED, &Config.Illumination.Enable, 0, 0, nullptr},
    {"ILLUMINATION", "Value", SETTING_UNSIGNED, &Config.Illumination.Value, 0, 100, nullptr},
    {"ILLUMINATION", "Sync", SETTING_SIGNED, &Config.Illumination.Sync, 0, 0, nullptr},
    {"ALERT", "Enable", SETTING_SIGNED, &Config.Alert.Enable, 0, 0, nullptr},
    {"ALERT", "File", SETTING_TEXT, Config.Alert.File, sizeof Config.Alert.File, 0, "VARNOK.WAV"},
    {"ALERT", "Core", SETTING_UNSIGNED, &Config.Alert.Core, 0, 100, nullptr},
    {"ALERT", "Ambient", SETTING_UNSIGNED, &Config.Alert.Ambient, 0, 80, nullptr},
    {"LOG", "Enable", SETTING_SIGNED, &Config.Log.Enable, 0, 0, nullptr},
    {"LOG", "File", SETTING_TEXT, Config.Log.File, sizeof Config.Log.File, 0, "VARNOK.LOG"},
    {"LOG", "Format", SETTING_TEXT, Config.Log.Format, sizeof Config.Log.Format, 0, LogFormatDefault},
    {"TASKBAR", "Format", SETTING_TEXT, Config.Taskbar.Format, sizeof Config.Taskbar.Format, 0,
     TaskbarFormatDefault},
    {"TASKBAR", "Core", SETTING_SIGNED, &Config.Taskbar.Core, 0, 0, nullptr},
    {"TASKBAR", "Memory", SETTING_SIGNED, &Config.Taskbar.Memory, 0, 0, nullptr},
    {"TASKBAR", "Video", SETTING_SIGNED, &Config.Taskbar.Video, 0, 0, nullptr},
    {"TASKBAR", "Used", SETTING_SIGNED, &Config.Taskbar.Used, 0, 0, nullptr},
    {"TASKBAR", "Fan", SETTING_SIGNED, &Config.Taskbar.Fan, 0, 0, nullptr},
    {"TOOLTIP", "Title", SETTING_TEXT, Config.Tooltip.Title, sizeof Config.Tooltip.Title, 0, "Thermal Controller"},
    {"TOOLTIP", "Format", SETTING_TEXT, Config.Tooltip.Format, sizeof Config.Tooltip.Format, 0,
     TooltipFormatDefault},
    {"THEME", "File", SETTING_TEXT, Config.Theme.File, sizeof Config.Theme.File, 0, "VARNOK.VKT"},
};

// The bounds are checked unsigned on purpose: a negative number in the file is a huge unsigned
// value and so lands on the upper bound (a Timer of -1 becomes 120, not 1).
void ClampSettings()
{
    if (Config.Global.Timer == 0)
        Config.Global.Timer = 1;
    else if (Config.Global.Timer > 120)
        Config.Global.Timer = 120;

    if (Config.Global.Limit < 100)
        Config.Global.Limit = 100;
    else if (Config.Global.Limit > 200)
        Config.Global.Limit = 200;

    if (Config.Global.MemoryRate == 0)
        Config.Global.MemoryRate = 1;
    else if (Config.Global.MemoryRate > 4)
        Config.Global.MemoryRate = 4;

    if (Config.Illumination.Value > 100)
        Config.Illumination.Value = 100;
}

}  // namespace

bool SettingKeyAt(size_t index, SETTINGKEYINFO& info)
{
    if (index >= sizeof SettingKeys / sizeof SettingKeys[0])
        return false;
    const SettingKey& setting = SettingKeys[index];
    info = {setting.section, setting.key, setting.type != SETTING_HIDDEN, setting.defaultNumber, setting.defaultText};
    return true;
}

bool SetConfigPath(const char* commandLine)
{
    const char* path = DefaultConfigPath;
    size_t length = strlen(DefaultConfigPath);
    if (commandLine && *commandLine) {
        path = commandLine;
        length = strlen(commandLine);
        // A double-clicked file arrives in quotes; quotes cannot be part of a Windows file name,
        // so one enclosing pair is dropped rather than making the path unusable.
        if (length >= 2 && path[0] == '"' && path[length - 1] == '"') {
            ++path;
            length -= 2;
        }
    }
    if (length >= sizeof ConfigPath) {
        // Neither the cut text nor the default file is what the user named: no settings file.
        ConfigPath[0] = '\0';
        return false;
    }
    memcpy(ConfigPath, path, length);
    ConfigPath[length] = '\0';
    return true;
}

void LoadConfig()
{
    INIFILE file;
    if (file.Open(ConfigPath)) {
        for (const SettingKey& setting : SettingKeys) {
            switch (setting.type) {
            case SETTING_SIGNED:
            case SETTING_HIDDEN:
                file.Read(setting.section, setting.key, setting.defaultNumber, static_cast<int*>(setting.field));
                break;
            case SETTING_UNSIGNED:
                file.Read(setting.section, setting.key, static_cast<unsigned int>(setting.defaultNumber),
                          static_cast<unsigned int*>(setting.field));
                break;
            case SETTING_TEXT:
                ReadProfileText(file, setting.section, setting.key, setting.defaultText,
                                static_cast<char*>(setting.field), setting.size);
                break;
            }
        }
        file.Close();
    }
    ClampSettings();
}

bool SaveConfig()
{
    INIFILE file;
    if (!file.Open(ConfigPath))
        return false;
    bool written = true;
    for (const SettingKey& setting : SettingKeys) {
        switch (setting.type) {
        case SETTING_SIGNED:
            written = file.Write(setting.section, setting.key, *static_cast<const int*>(setting.field)) && written;
            break;
        case SETTING_UNSIGNED:
            written =
                file.Write(setting.section, setting.key, *static_cast<const unsigned int*>(setting.field)) && written;
            break;
        case SETTING_TEXT:
            written = WriteProfileText(file, setting.section, setting.key, static_cast<const char*>(setting.field),
                                       setting.size) &&
                      written;
            break;
        case SETTING_HIDDEN:
            break;
        }
    }
    file.Close();
    return written;
}

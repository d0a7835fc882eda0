#include "config/config.h"

#include <cstdio>
#include <cstring>

#include "base/inifile.h"
#include "base/textpolicy.h"
#include "config/formats.h"
#include "config/keyschema.h"

CONFIG Config;
char ConfigPath[PATH_CAPACITY];

namespace {

constexpr char DEFAULT_CONFIG_PATH[] = "VARNOK.CFG";

constexpr KEYRANGE Range(int low, int high) { return {low, high}; }

constexpr KEYSCHEMA Signed(const char* section, const char* key, int& field, int value, bool saved = true,
                           int enumCount = 0)
{
    return {section, key, KEY_SIGNED, &field, 0, value, nullptr, saved, NO_RANGE, NO_RANGE, enumCount};
}

constexpr KEYSCHEMA Unsigned(const char* section, const char* key, unsigned int& field, int value,
                             KEYRANGE loaded = NO_RANGE, KEYRANGE offered = NO_RANGE)
{
    return {section, key, KEY_UNSIGNED, &field, 0, value, nullptr, true, loaded, offered, 0};
}

template <unsigned long Size>
constexpr KEYSCHEMA Text(const char* section, const char* key, char (&field)[Size], const char* text)
{
    return {section, key, KEY_TEXT, field, Size, 0, text, true, NO_RANGE, NO_RANGE, 0};
}

constexpr KEYSCHEMA Keys[] = {
    // Read, never written: the user adds these by hand.
    Signed("GLOBAL", "Debug", Config.Global.Debug, 0, false),
    Signed("GLOBAL", "Dummy", Config.Global.Dummy, 0, false),
    Unsigned("GLOBAL", "Device", Config.Global.Device, 0, NO_RANGE, Range(0, 8)),
    Unsigned("GLOBAL", "GPU", Config.Global.GPU, 0, NO_RANGE, Range(0, 8)),
    Unsigned("GLOBAL", "Timer", Config.Global.Timer, 5, Range(1, 120), Range(1, 120)),
    Unsigned("GLOBAL", "Limit", Config.Global.Limit, 160, Range(100, 200), Range(100, 200)),
    Unsigned("GLOBAL", "MemoryRate", Config.Global.MemoryRate, 2, Range(1, 4), Range(1, 4)),
    Signed("GLOBAL", "Async", Config.Global.Async, 0),
    Signed("GLOBAL", "Taskbar", Config.Global.Taskbar, 1),
    Signed("GLOBAL", "Stable", Config.Global.Stable, 0),
    Signed("GLOBAL", "Usage", Config.Global.Usage, 1),
    Signed("GLOBAL", "X", Config.Global.X, -1),
    Signed("GLOBAL", "Y", Config.Global.Y, -1),
    Signed("ILLUMINATION", "Enable", Config.Illumination.Enable, 0),
    Unsigned("ILLUMINATION", "Value", Config.Illumination.Value, 100, Range(0, 100), Range(0, 100)),
    Signed("ILLUMINATION", "Sync", Config.Illumination.Sync, SYNC_NONE, true, SYNC_COUNT),
    Signed("ALERT", "Enable", Config.Alert.Enable, 0),
    Text("ALERT", "File", Config.Alert.File, "VARNOK.WAV"),
    Unsigned("ALERT", "Core", Config.Alert.Core, 100, NO_RANGE, Range(40, 150)),
    Unsigned("ALERT", "Ambient", Config.Alert.Ambient, 80, NO_RANGE, Range(40, 150)),
    Signed("LOG", "Enable", Config.Log.Enable, 0),
    Text("LOG", "File", Config.Log.File, "VARNOK.LOG"),
    Text("LOG", "Format", Config.Log.Format, LOG_FORMAT_DEFAULT),
    Text("TASKBAR", "Format", Config.Taskbar.Format, TASKBAR_FORMAT_DEFAULT),
    Signed("TASKBAR", "Core", Config.Taskbar.Core, 0),
    Signed("TASKBAR", "Memory", Config.Taskbar.Memory, 0),
    Signed("TASKBAR", "Video", Config.Taskbar.Video, 0),
    Signed("TASKBAR", "Used", Config.Taskbar.Used, 0),
    Signed("TASKBAR", "Fan", Config.Taskbar.Fan, 0),
    Text("TOOLTIP", "Title", Config.Tooltip.Title, "Thermal Controller"),
    Text("TOOLTIP", "Format", Config.Tooltip.Format, TOOLTIP_FORMAT_DEFAULT),
    Text("THEME", "File", Config.Theme.File, "VARNOK.VKT"),
};

}  // namespace

KEYTABLE SettingKeys() { return {Keys, sizeof Keys / sizeof Keys[0]}; }

bool SetConfigPath(const char* commandLine)
{
    const char* path = DEFAULT_CONFIG_PATH;
    size_t length = strlen(DEFAULT_CONFIG_PATH);
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

void SetConfigStartupValues()
{
    for (const KEYSCHEMA& key : SettingKeys())
        SetKeyDefault(key);
}

void LoadConfig()
{
    INIFILE file;
    if (file.Open(ConfigPath)) {
        for (const KEYSCHEMA& key : SettingKeys())
            ReadKey(file, key);
        file.Close();
    }
    for (const KEYSCHEMA& key : SettingKeys())
        HoldToLoadedRange(key);
}

bool SaveConfig() { return SaveKeys(ConfigPath, SettingKeys()); }

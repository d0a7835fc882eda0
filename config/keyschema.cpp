#include "config/keyschema.h"

#include <windows.h>
#include <cstdio>
#include <initializer_list>

#include "base/inifile.h"
#include "config/textkeys.h"

const KEYSCHEMA* FindKey(const void* field)
{
    for (const KEYTABLE& table : {SettingKeys(), ThemeKeys()}) {
        for (const KEYSCHEMA& key : table) {
            if (key.field == field)
                return &key;
        }
    }
    return nullptr;
}

void ReadKey(INIFILE& file, const KEYSCHEMA& key)
{
    switch (key.type) {
    case KEY_SIGNED:
        file.Read(key.section, key.key, key.defaultNumber, static_cast<int*>(key.field));
        break;
    case KEY_UNSIGNED:
        file.Read(key.section, key.key, static_cast<unsigned int>(key.defaultNumber),
                  static_cast<unsigned int*>(key.field));
        break;
    case KEY_TEXT:
        ReadProfileText(file, key.section, key.key, key.defaultText, static_cast<char*>(key.field), key.size);
        break;
    case KEY_COLOR:
        file.Read(key.section, key.key, static_cast<COLORREF*>(key.field));
        break;
    case KEY_FONT: {
        LOGFONTA* font = static_cast<LOGFONTA*>(key.field);
        // The face name is the last field of the value and is cut to its buffer on reading; what the
        // cut leaves at its end would not come back from the next save.
        if (file.Read(key.section, key.key, font))
            TrimValueEnd(font->lfFaceName, sizeof font->lfFaceName);
        break;
    }
    }
}

bool WriteKey(INIFILE& file, const KEYSCHEMA& key)
{
    if (!key.saved)
        return true;
    switch (key.type) {
    case KEY_SIGNED:
        return file.Write(key.section, key.key, *static_cast<const int*>(key.field)) != 0;
    case KEY_UNSIGNED:
        return file.Write(key.section, key.key, *static_cast<const unsigned int*>(key.field)) != 0;
    case KEY_TEXT:
        return WriteProfileText(file, key.section, key.key, static_cast<const char*>(key.field), key.size);
    case KEY_COLOR:
        return file.Write(key.section, key.key, static_cast<const COLORREF*>(key.field)) != 0;
    case KEY_FONT:
        return file.Write(key.section, key.key, static_cast<const LOGFONTA*>(key.field)) != 0;
    }
    return false;
}

bool SaveKeys(const char* path, KEYTABLE keys)
{
    INIFILE file;
    if (!file.Open(path))
        return false;
    bool written = true;
    for (const KEYSCHEMA& key : keys)
        written = WriteKey(file, key) && written;
    file.Close();
    return written;
}

void SetKeyDefault(const KEYSCHEMA& key)
{
    switch (key.type) {
    case KEY_SIGNED:
        *static_cast<int*>(key.field) = key.defaultNumber;
        break;
    case KEY_UNSIGNED:
        *static_cast<unsigned int*>(key.field) = static_cast<unsigned int>(key.defaultNumber);
        break;
    case KEY_TEXT:
        snprintf(static_cast<char*>(key.field), key.size, "%s", key.defaultText ? key.defaultText : "");
        break;
    case KEY_COLOR:
    case KEY_FONT:
        break;
    }
}

void HoldToLoadedRange(const KEYSCHEMA& key)
{
    if (!key.loaded.IsSet())
        return;
    if (key.type == KEY_UNSIGNED) {
        unsigned int& value = *static_cast<unsigned int*>(key.field);
        const unsigned int low = static_cast<unsigned int>(key.loaded.low);
        const unsigned int high = static_cast<unsigned int>(key.loaded.high);
        value = value < low ? low : value > high ? high : value;
    } else if (key.type == KEY_SIGNED) {
        int& value = *static_cast<int*>(key.field);
        value = value < key.loaded.low ? key.loaded.low : value > key.loaded.high ? key.loaded.high : value;
    }
}

#include "base/inifile.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/textforms.h"
#include "base/textpolicy.h"

namespace {

// Numbers are formatted into a buffer of this size before they are written.
constexpr size_t NUMBER_TEXT_SIZE = 256;
// "%lf" spells out every digit of the integer part, up to 309 of them for the largest double;
// a shorter buffer would cut a large value and store a different number.
constexpr size_t FLOAT_TEXT_SIZE = 512;
// Colour and rectangle texts are read in at most 255 characters, font texts in 127.
constexpr size_t VALUE_TEXT_SIZE = 256;
constexpr size_t FONT_TEXT_SIZE = 128;
// The longest path OpenLocal builds.
constexpr size_t LOCAL_PATH_LIMIT = 1023;

bool IsBareName(const char* path)
{
    bool driveRelative = path[0] && path[1] == ':';
    return !driveRelative && !strchr(path, '\\') && !strchr(path, '/');
}

// The profile functions resolve a path into a MAX_PATH buffer (Wine even overruns it), so a path
// that does not fit once resolved must never reach them.
bool FitsProfileFunctions(const char* path)
{
    size_t length = strnlen(path, MAX_PATH);
    if (length >= MAX_PATH)
        return false;
    if (IsBareName(path)) {
        char windows[MAX_PATH];
        UINT windowsLength = GetWindowsDirectoryA(windows, sizeof windows);
        return windowsLength > 0 && windowsLength + 1 + length < MAX_PATH;
    }
    DWORD resolved = GetFullPathNameA(path, 0, nullptr, nullptr);
    return resolved > 0 && resolved <= MAX_PATH;
}

// Length of the directory part of a path, its last backslash included. A code page 932 path can
// hold the byte of a backslash as the second byte of a character, which is no separator.
size_t DirectoryLength(const char* path)
{
    size_t length = 0;
    for (size_t i = 0; path[i]; ++i) {
        if (path[i] == '\\')
            length = i + 1;
        else if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1])
            ++i;
    }
    return length;
}

UINT ReadInteger(const char* file, const char* section, const char* key, INT defaultValue)
{
    return GetPrivateProfileIntA(section, key, defaultValue, file);
}

// The key's text, empty when it is missing; false for an empty text.
bool ReadValueText(const char* file, const char* section, const char* key, char* buffer, DWORD size)
{
    GetPrivateProfileStringA(section, key, "", buffer, size, file);
    return buffer[0] != '\0';
}

int WriteValueText(const char* file, const char* section, const char* key, const char* text)
{
    return WritePrivateProfileStringA(section, key, text, file) ? 1 : 0;
}

__attribute__((format(__MINGW_PRINTF_FORMAT, 4, 5)))
int WriteNumber(const char* file, const char* section, const char* key, const char* format, ...)
{
    char text[NUMBER_TEXT_SIZE];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return WriteValueText(file, section, key, text);
}

int WriteFloat(const char* file, const char* section, const char* key, double value)
{
    char text[FLOAT_TEXT_SIZE];
    snprintf(text, sizeof text, "%lf", value);
    return WriteValueText(file, section, key, text);
}

}  // namespace

INIFILE::INIFILE() {}

INIFILE::INIFILE(const INIFILE& other) : path_(other.path_) {}

INIFILE::~INIFILE() {}

INIFILE& INIFILE::operator=(const INIFILE& other)
{
    path_ = other.path_;
    return *this;
}

int INIFILE::Open(const char* newPath)
{
    Close();
    if (!newPath || !*newPath || !FitsProfileFunctions(newPath))
        return 0;
    path_ = newPath;
    return path_.Length() > 0 && path_ == newPath ? 1 : 0;
}

int INIFILE::OpenLocal(const char* name)
{
    Close();
    if (!name || !*name)
        return 0;
    char module[PATH_CAPACITY];
    DWORD moduleLength = GetModuleFileNameA(nullptr, module, sizeof module);
    if (moduleLength == 0 || moduleLength >= sizeof module)
        return 0;
    size_t directoryLength = DirectoryLength(module);
    size_t nameLength = strlen(name);
    if (nameLength > LOCAL_PATH_LIMIT || directoryLength + nameLength > LOCAL_PATH_LIMIT)
        return 0;
    char local[LOCAL_PATH_LIMIT + 1];
    snprintf(local, sizeof local, "%.*s%s", static_cast<int>(directoryLength), module, name);
    return Open(local);
}

void INIFILE::Close() { path_.Remove(); }

int INIFILE::Create(const char* section)
{
    if (path_.Length() == 0 || !section)
        return 0;
    return WritePrivateProfileSectionA(section, "", path_.String()) ? 1 : 0;
}

int INIFILE::Read(const char* section, const char* key, const char* defaultText, char* buffer, unsigned long size)
{
    if (path_.Length() == 0 || !section || !key || !buffer || size == 0)
        return 0;
    GetPrivateProfileStringA(section, key, defaultText ? defaultText : "", buffer, size, path_.String());
    return 1;
}

int INIFILE::Read(const char* section, const char* key, unsigned char defaultValue, unsigned char* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = static_cast<unsigned char>(ReadInteger(path_.String(), section, key, defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, short defaultValue, short* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = static_cast<short>(ReadInteger(path_.String(), section, key, defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, unsigned short defaultValue, unsigned short* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = static_cast<unsigned short>(ReadInteger(path_.String(), section, key, defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, int defaultValue, int* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = static_cast<int>(ReadInteger(path_.String(), section, key, defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, unsigned int defaultValue, unsigned int* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = ReadInteger(path_.String(), section, key, static_cast<INT>(defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, long defaultValue, long* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = static_cast<long>(ReadInteger(path_.String(), section, key, defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, unsigned long defaultValue, unsigned long* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    *value = ReadInteger(path_.String(), section, key, static_cast<INT>(defaultValue));
    return 1;
}

int INIFILE::Read(const char* section, const char* key, float defaultValue, float* value)
{
    double wide = 0.0;
    if (!value || !Read(section, key, static_cast<double>(defaultValue), &wide))
        return 0;
    *value = static_cast<float>(wide);
    return 1;
}

int INIFILE::Read(const char* section, const char* key, double defaultValue, double* value)
{
    if (path_.Length() == 0 || !section || !key || !value)
        return 0;
    char text[FLOAT_TEXT_SIZE];
    *value = ReadValueText(path_.String(), section, key, text, sizeof text) ? strtod(text, nullptr) : defaultValue;
    return 1;
}

int INIFILE::Read(const char* section, const char* key, COLORREF* color)
{
    if (path_.Length() == 0 || !section || !key || !color)
        return 0;
    char text[VALUE_TEXT_SIZE];
    if (!ReadValueText(path_.String(), section, key, text, sizeof text))
        return 0;
    ParseColorText(text, color);
    return 1;
}

int INIFILE::Read(const char* section, const char* key, RECT* rect)
{
    if (path_.Length() == 0 || !section || !key || !rect)
        return 0;
    char text[VALUE_TEXT_SIZE];
    if (!ReadValueText(path_.String(), section, key, text, sizeof text))
        return 0;
    ParseRectText(text, rect);
    return 1;
}

int INIFILE::Read(const char* section, const char* key, LOGFONTA* font)
{
    if (path_.Length() == 0 || !section || !key || !font)
        return 0;
    char text[FONT_TEXT_SIZE];
    if (!ReadValueText(path_.String(), section, key, text, sizeof text))
        return 0;
    ParseFontText(text, font);
    return 1;
}

int INIFILE::Write(const char* section, const char* key, unsigned char value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "0x%02x", static_cast<unsigned int>(value));
}

int INIFILE::Write(const char* section, const char* key, short value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "%d", static_cast<int>(value));
}

int INIFILE::Write(const char* section, const char* key, unsigned short value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "0x%04x", static_cast<unsigned int>(value));
}

int INIFILE::Write(const char* section, const char* key, int value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "%d", value);
}

int INIFILE::Write(const char* section, const char* key, unsigned int value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "%u", value);
}

int INIFILE::Write(const char* section, const char* key, long value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "%ld", value);
}

int INIFILE::Write(const char* section, const char* key, unsigned long value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteNumber(path_.String(), section, key, "0x%08lx", value);
}

int INIFILE::Write(const char* section, const char* key, float value)
{
    return Write(section, key, static_cast<double>(value));
}

int INIFILE::Write(const char* section, const char* key, double value)
{
    if (path_.Length() == 0 || !section || !key)
        return 0;
    return WriteFloat(path_.String(), section, key, value);
}

// The format is the calling program's own, never text from a file.
int INIFILE::Write(const char* section, const char* key, const char* format, unsigned long value)
{
    if (path_.Length() == 0 || !section || !key || !format)
        return 0;
    return WriteNumber(path_.String(), section, key, format, value);
}

// A null text would make the profile function delete the key, which is not a write.
int INIFILE::Write(const char* section, const char* key, const char* text)
{
    if (path_.Length() == 0 || !section || !key || !text)
        return 0;
    return WriteValueText(path_.String(), section, key, text);
}

int INIFILE::Write(const char* section, const char* key, const COLORREF* color)
{
    if (path_.Length() == 0 || !section || !key || !color)
        return 0;
    char text[NUMBER_TEXT_SIZE];
    FormatColorText(text, sizeof text, *color);
    return WriteValueText(path_.String(), section, key, text);
}

int INIFILE::Write(const char* section, const char* key, const RECT* rect)
{
    if (path_.Length() == 0 || !section || !key || !rect)
        return 0;
    char text[NUMBER_TEXT_SIZE];
    FormatRectText(text, sizeof text, rect);
    return WriteValueText(path_.String(), section, key, text);
}

int INIFILE::Write(const char* section, const char* key, const LOGFONTA* font)
{
    if (path_.Length() == 0 || !section || !key || !font)
        return 0;
    char text[NUMBER_TEXT_SIZE];
    FormatFontText(text, sizeof text, font);
    return WriteValueText(path_.String(), section, key, text);
}

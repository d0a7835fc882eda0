#pragma once

#include <windows.h>

#include "base/cstr.h"
#include "base/export.h"

// Typed access to one profile (INI) file, one key at a time, through the Windows profile
// functions. Every operation answers 1 when done and 0 when no path is bound, a section, key
// or output is missing, nothing usable was found, or the platform refused a write.
// Integers are written as BYTE "0x%02x", short "%d", WORD "0x%04x", int "%d", unsigned "%u",
// long "%ld", DWORD "0x%08x"; floating-point values as "%lf"; colours, rectangles and fonts in
// the forms of base/textforms.h.
class VARNOK_API INIFILE {
public:
    INIFILE();
    INIFILE(const INIFILE& other);
    virtual ~INIFILE();
    INIFILE& operator=(const INIFILE& other);

    // The profile functions hold a path in MAX_PATH characters: a path that would not fit once
    // resolved (a bare name resolves to the Windows directory) is refused, as are null and empty
    // ones. Opening always drops the path bound before.
    [[nodiscard]] int Open(const char* path);
    // The name in the running executable's directory.
    [[nodiscard]] int OpenLocal(const char* name);
    void Close();
    [[nodiscard]] int Create(const char* section);

    int Read(const char* section, const char* key, const char* defaultText, char* buffer, unsigned long size);
    int Read(const char* section, const char* key, unsigned char defaultValue, unsigned char* value);
    int Read(const char* section, const char* key, short defaultValue, short* value);
    int Read(const char* section, const char* key, unsigned short defaultValue, unsigned short* value);
    int Read(const char* section, const char* key, int defaultValue, int* value);
    int Read(const char* section, const char* key, unsigned int defaultValue, unsigned int* value);
    int Read(const char* section, const char* key, long defaultValue, long* value);
    int Read(const char* section, const char* key, unsigned long defaultValue, unsigned long* value);
    int Read(const char* section, const char* key, float defaultValue, float* value);
    int Read(const char* section, const char* key, double defaultValue, double* value);
    int Read(const char* section, const char* key, COLORREF* color);
    int Read(const char* section, const char* key, RECT* rect);
    int Read(const char* section, const char* key, LOGFONTA* font);

    [[nodiscard]] int Write(const char* section, const char* key, unsigned char value);
    [[nodiscard]] int Write(const char* section, const char* key, short value);
    [[nodiscard]] int Write(const char* section, const char* key, unsigned short value);
    [[nodiscard]] int Write(const char* section, const char* key, int value);
    [[nodiscard]] int Write(const char* section, const char* key, unsigned int value);
    [[nodiscard]] int Write(const char* section, const char* key, long value);
    [[nodiscard]] int Write(const char* section, const char* key, unsigned long value);
    [[nodiscard]] int Write(const char* section, const char* key, float value);
    [[nodiscard]] int Write(const char* section, const char* key, double value);
    [[nodiscard]] int Write(const char* section, const char* key, const char* format, unsigned long value);
    [[nodiscard]] int Write(const char* section, const char* key, const char* text);
    [[nodiscard]] int Write(const char* section, const char* key, const COLORREF* color);
    [[nodiscard]] int Write(const char* section, const char* key, const RECT* rect);
    [[nodiscard]] int Write(const char* section, const char* key, const LOGFONTA* font);

private:
    CSTR path_;
};

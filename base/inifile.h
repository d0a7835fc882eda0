#pragma once

#include <windows.h>

#include "base/cstr.h"
#include "base/export.h"

// Typed access to one profile (INI) file, one key at a time, through the Windows profile
// functions. Every operation answers 1 when done and 0 when no path is bound or nothing
// usable was found.
class VARNOK_API INIFILE {
public:
    INIFILE();
    INIFILE(const INIFILE& other);
    virtual ~INIFILE();
    INIFILE& operator=(const INIFILE& other);

    int Open(const char* path);
    int OpenLocal(const char* name);
    void Close();
    int Create(const char* section);

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

    int Write(const char* section, const char* key, unsigned char value);
    int Write(const char* section, const char* key, short value);
    int Write(const char* section, const char* key, unsigned short value);
    int Write(const char* section, const char* key, int value);
    int Write(const char* section, const char* key, unsigned int value);
    int Write(const char* section, const char* key, long value);
    int Write(const char* section, const char* key, unsigned long value);
    int Write(const char* section, const char* key, float value);
    int Write(const char* section, const char* key, double value);
    int Write(const char* section, const char* key, const char* format, unsigned long value);
    int Write(const char* section, const char* key, const char* text);
    int Write(const char* section, const char* key, const COLORREF* color);
    int Write(const char* section, const char* key, const RECT* rect);
    int Write(const char* section, const char* key, const LOGFONTA* font);

private:
    CSTR path;
};

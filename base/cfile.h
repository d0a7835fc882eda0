#pragma once

#include <cstdio>

#include "base/export.h"

// A text stream opened for appending with shared access, or the standard output.
// A copy writes to the same file through a descriptor of its own, so every object closes only
// its own stream; the standard output is shared and never closed.
class VARNOK_API CFILE {
public:
    CFILE();
    CFILE(const CFILE& other);
    virtual ~CFILE();
    CFILE& operator=(const CFILE& other);

    bool Open(const char* name);
    void Close();
    bool Write(const char* text);
    void Enable(bool on);
    void Disable();

protected:
    FILE* stream;
    bool enabled;
};

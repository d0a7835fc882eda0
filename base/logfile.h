#pragma once

#include "base/cfile.h"
#include "base/cstr.h"
#include "base/export.h"

// Any other value writes the message alone; the fixed underlying type makes such values legal.
enum LF_TYPE : int { LF_TEXT = 0, LF_DATE = 1, LF_TIME = 2, LF_DATETIME = 3 };

// Appends one stamped line per Write: open, append, close, so the file can be read, moved or
// deleted between two lines.
class VARNOK_API LOGFILE : public CFILE {
public:
    LOGFILE();
    LOGFILE(const LOGFILE& other);
    virtual ~LOGFILE();
    LOGFILE& operator=(const LOGFILE& other);

    void FileName(const char* name);
    void FormatType(LF_TYPE type);
    bool Write(const char* text);

protected:
    void CurrentTime();

    LF_TYPE format;
    CSTR fileName;
    CSTR date;
    CSTR time;
};

#include "base/logfile.h"

#include <windows.h>

#include <cstdio>

namespace {

const char* TextOf(const CSTR& text) { return text.Length() ? text.String() : ""; }

}  // namespace

LOGFILE::LOGFILE() : format(LF_TEXT) {}

LOGFILE::LOGFILE(const LOGFILE& other)
    : CFILE(other), format(other.format), fileName(other.fileName), date(other.date), time(other.time)
{
}

LOGFILE::~LOGFILE() {}

LOGFILE& LOGFILE::operator=(const LOGFILE& other)
{
    CFILE::operator=(other);
    format = other.format;
    fileName = other.fileName;
    date = other.date;
    time = other.time;
    return *this;
}

void LOGFILE::FileName(const char* name) { fileName = name; }

void LOGFILE::FormatType(LF_TYPE type) { format = type; }

void LOGFILE::CurrentTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    snprintf(text, sizeof text, "%04d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
    date = text;
    snprintf(text, sizeof text, "%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    time = text;
}

// Each line opens, appends and closes, so nothing waits in a buffer between lines and the file
// may be rotated or deleted between two of them; the next line creates it again. The enabled
// flag only silences the object: a disabled log has nothing to report and answers true.
bool LOGFILE::Write(const char* text)
{
    if (!enabled)
        return true;
    if (!text)
        return false;
    if (!Open(fileName.Length() ? fileName.String() : nullptr))
        return false;
    CurrentTime();
    int written;
    switch (format) {
    case LF_DATE:
        written = fprintf(stream, "%s  %s\n", TextOf(date), text);
        break;
    case LF_TIME:
        written = fprintf(stream, "%s  %s\n", TextOf(time), text);
        break;
    case LF_DATETIME:
        written = fprintf(stream, "%s %s  %s\n", TextOf(date), TextOf(time), text);
        break;
    default:
        written = fprintf(stream, "%s\n", text);
        break;
    }
    // A line that did not reach the file is reported, not passed off as written.
    bool flushed = fflush(stream) == 0;
    Close();
    return written >= 0 && flushed;
}

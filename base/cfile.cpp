#include "base/cfile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>

namespace {

// Every sharing mode, deletion included, so that other programs can read, move or delete the
// file while it is open here. Append-only access keeps each write at the end even when another
// program appends meanwhile.
FILE* OpenShared(const char* name)
{
    HANDLE file = CreateFileA(name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_APPEND | _O_TEXT);
    if (descriptor == -1) {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = _fdopen(descriptor, "a");
    if (!stream)
        _close(descriptor);
    return stream;
}

// A copy gets a descriptor of its own on the same file, so that every object closes exactly
// the stream it owns; the standard output is shared and never closed. A copy whose descriptor
// cannot be duplicated has no stream.
FILE* DuplicateStream(FILE* source)
{
    if (!source || source == stdout)
        return source;
    // Lines the source still buffers go out before any line of the copy.
    fflush(source);
    int descriptor = _dup(_fileno(source));
    if (descriptor == -1)
        return nullptr;
    FILE* copy = _fdopen(descriptor, "a");
    if (!copy)
        _close(descriptor);
    return copy;
}

}  // namespace

CFILE::CFILE() : stream(nullptr), enabled(false) {}

CFILE::CFILE(const CFILE& other) : stream(DuplicateStream(other.stream)), enabled(other.enabled) {}

CFILE::~CFILE() { Close(); }

CFILE& CFILE::operator=(const CFILE& other)
{
    if (&other != this) {
        Close();
        stream = DuplicateStream(other.stream);
        enabled = other.enabled;
    }
    return *this;
}

bool CFILE::Open(const char* name)
{
    Close();
    // A file that cannot be opened must not leave an earlier standard output selected.
    stream = name ? OpenShared(name) : stdout;
    if (!stream)
        return false;
    enabled = true;
    return true;
}

void CFILE::Close()
{
    if (stream == stdout) {
        fflush(stdout);
        return;
    }
    if (stream) {
        fclose(stream);
        stream = nullptr;
    }
}

bool CFILE::Write(const char* text)
{
    if (!stream || !enabled || !text)
        return false;
    return fputs(text, stream) != EOF;
}

void CFILE::Enable(bool on) { enabled = on; }

void CFILE::Disable() { enabled = false; }

#include "render/filebytes.h"

#include <cstring>

FILEBYTES::FILEBYTES(const char* path)
    : file(INVALID_HANDLE_VALUE), size(0), windowAt(0), windowLength(0)
{
    if (!path)
        return;
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER length;
    if (IsOpen() && GetFileSizeEx(file, &length))
        size = static_cast<uint64_t>(length.QuadPart);
}

FILEBYTES::~FILEBYTES()
{
    if (IsOpen())
        CloseHandle(file);
}

bool FILEBYTES::Read(uint64_t at, void* out, size_t count)
{
    if (!IsOpen() || count > WINDOW || at > size || count > size - at)
        return false;
    if (at < windowAt || at + count > windowAt + windowLength) {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(at);
        DWORD got = 0;
        windowLength = 0;
        if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !ReadFile(file, window, WINDOW, &got, nullptr))
            return false;
        windowAt = at;
        windowLength = got;
        if (count > windowLength)
            return false;
    }
    memcpy(out, window + (at - windowAt), count);
    return true;
}

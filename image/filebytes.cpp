#include "image/filebytes.h"

#include <cstring>

FILEBYTES::FILEBYTES(const char* path)
    : file_(INVALID_HANDLE_VALUE), size_(0), windowAt_(0), windowLength_(0)
{
    if (!path)
        return;
    file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER length;
    if (IsOpen() && GetFileSizeEx(file_, &length))
        size_ = static_cast<uint64_t>(length.QuadPart);
}

FILEBYTES::~FILEBYTES()
{
    if (IsOpen())
        CloseHandle(file_);
}

bool FILEBYTES::Read(uint64_t at, void* out, size_t count)
{
    if (!IsOpen() || count > WINDOW || at > size_ || count > size_ - at)
        return false;
    if (at < windowAt_ || at + count > windowAt_ + windowLength_) {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(at);
        DWORD got = 0;
        windowLength_ = 0;
        if (!SetFilePointerEx(file_, position, nullptr, FILE_BEGIN) || !ReadFile(file_, window_, WINDOW, &got, nullptr))
            return false;
        windowAt_ = at;
        windowLength_ = got;
        if (count > windowLength_)
            return false;
    }
    memcpy(out, window_ + (at - windowAt_), count);
    return true;
}

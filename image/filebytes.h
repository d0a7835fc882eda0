#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

// Reads a file's bytes at any offset through one small window, so that walking the headers of an
// image costs a read or two however large the file is, and no more than the window is ever held.
class FILEBYTES {
public:
    enum { WINDOW = 16384 };

    // Shared reading: a viewer or editor that has the file open must not make it unreadable.
    explicit FILEBYTES(const char* path);
    ~FILEBYTES();
    FILEBYTES(const FILEBYTES&) = delete;
    FILEBYTES& operator=(const FILEBYTES&) = delete;

    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    uint64_t Size() const { return size_; }
    // All `count` bytes (at most WINDOW) from offset `at`, or false.
    bool Read(uint64_t at, void* out, size_t count);

private:
    HANDLE file_;
    uint64_t size_;
    uint64_t windowAt_;
    size_t windowLength_;
    unsigned char window_[WINDOW];
};

// A stretch of a file that holds one image: the whole file, or what follows a prefix.
struct IMAGEVIEW {
    FILEBYTES* file;
    uint64_t start;
    uint64_t size;

    bool Read(uint64_t at, void* out, size_t count) const
    {
        return at <= size && count <= size - at && file->Read(start + at, out, count);
    }
    // The byte at `at`, or -1 past the end.
    int Byte(uint64_t at) const
    {
        unsigned char byte = 0;
        return Read(at, &byte, 1) ? byte : -1;
    }
};

inline uint32_t LittleEndian16(const unsigned char* bytes) { return bytes[0] | bytes[1] << 8; }
inline uint32_t LittleEndian32(const unsigned char* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
inline uint32_t BigEndian16(const unsigned char* bytes) { return bytes[0] << 8 | bytes[1]; }
inline uint32_t BigEndian32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

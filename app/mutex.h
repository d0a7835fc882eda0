#pragma once

#include <windows.h>

// Owns the named mutex that lets one instance watch one device and GPU pair.
class MUTEX {
public:
    MUTEX() = default;
    MUTEX(const MUTEX&) = delete;
    MUTEX& operator=(const MUTEX&) = delete;
    virtual ~MUTEX();

    // False when another instance holds the name, or when the mutex cannot be made.
    bool Acquire(unsigned int device, unsigned int gpu);
    void Release();
    const char* Name() const { return name_; }

private:
    HANDLE handle_ = nullptr;
    char name_[32] = {};
};

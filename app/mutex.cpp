#include "app/mutex.h"

#include <cstdio>

MUTEX::~MUTEX() { Release(); }

bool MUTEX::Acquire(unsigned int device, unsigned int gpu)
{
    Release();
    snprintf(name_, sizeof name_, "VARNOK_DEV#%d_GPU#%d", static_cast<int>(device), static_cast<int>(gpu));
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name_);
    if (existing) {
        CloseHandle(existing);
        return false;
    }
    HANDLE created = CreateMutexA(nullptr, FALSE, name_);
    if (!created)
        return false;
    // Two starts racing past the open above both reach the create; the later one sees that the
    // mutex already existed and must step back like any second instance.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);
        return false;
    }
    handle_ = created;
    return true;
}

void MUTEX::Release()
{
    if (!handle_)
        return;
    ReleaseMutex(handle_);
    CloseHandle(handle_);
    handle_ = nullptr;
}

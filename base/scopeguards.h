#pragma once

#include <windows.h>

// The scope guards of every layer, for what a function holds for the length of one call: each
// undoes exactly one thing, so every early return leaves nothing behind. Declare them in the order
// the objects are made; they undo in reverse (a selection is restored before its bitmap and DC go).
// What is kept beyond one call lives in an owner instead (the WIN* classes, MUTEX, CTOOLTIP).

// Frees a handle with FREE when the scope ends, unless it is null or INVALID_HANDLE_VALUE, or has
// been handed on to a new owner with Release().
template <typename HANDLETYPE, auto FREE>
class FREEGUARD {
public:
    explicit FREEGUARD(HANDLETYPE handle) : handle_(handle) {}
    virtual ~FREEGUARD()
    {
        if (handle_ && reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE)
            FREE(handle_);
    }
    FREEGUARD(const FREEGUARD&) = delete;
    FREEGUARD& operator=(const FREEGUARD&) = delete;

    void Release() { handle_ = nullptr; }

private:
    HANDLETYPE handle_;
};

inline void FreeProcessHeapBlock(void* block) { HeapFree(GetProcessHeap(), 0, block); }

using DELETEDCGUARD = FREEGUARD<HDC, DeleteDC>;
// For bitmaps, regions, pens, fonts and brushes.
using DELETEOBJECTGUARD = FREEGUARD<HGDIOBJ, DeleteObject>;
using CLOSEHANDLEGUARD = FREEGUARD<HANDLE, CloseHandle>;
// A block from the process heap.
using HEAPFREEGUARD = FREEGUARD<void*, FreeProcessHeapBlock>;

class RELEASEDCGUARD {
public:
    RELEASEDCGUARD(HWND window, HDC dc) : window_(window), dc_(dc) {}
    virtual ~RELEASEDCGUARD()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    RELEASEDCGUARD(const RELEASEDCGUARD&) = delete;
    RELEASEDCGUARD& operator=(const RELEASEDCGUARD&) = delete;

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the DC's previous object back, so that the selected one can
// be freed or read. Made with an object type instead, it selects nothing and puts back, when the
// scope ends, the object of that type that is current now: a drawing routine that selects many
// pens then leaves none of them selected.
class SELECTIONGUARD {
public:
    SELECTIONGUARD(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SELECTIONGUARD(HDC dc, UINT type) : dc_(dc), previous_(GetCurrentObject(dc, type)) {}
    virtual ~SELECTIONGUARD() { Restore(); }
    SELECTIONGUARD(const SELECTIONGUARD&) = delete;
    SELECTIONGUARD& operator=(const SELECTIONGUARD&) = delete;

    bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }
    void Restore()
    {
        if (Selected())
            SelectObject(dc_, previous_);
        previous_ = nullptr;
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Holds a lock for the scope: ACQUIRE takes it (and may refuse: a try that finds it busy, a lock
// that does not exist), RELEASE gives it back if it was taken.
template <typename LOCK, bool (*ACQUIRE)(LOCK&), void (*RELEASE)(LOCK&)>
class LOCKGUARD {
public:
    explicit LOCKGUARD(LOCK& lock) : lock_(lock), held_(ACQUIRE(lock)) {}
    virtual ~LOCKGUARD()
    {
        if (held_)
            RELEASE(lock_);
    }
    LOCKGUARD(const LOCKGUARD&) = delete;
    LOCKGUARD& operator=(const LOCKGUARD&) = delete;

    bool Held() const { return held_; }

private:
    LOCK& lock_;
    bool held_;
};

inline bool AcquireExclusive(SRWLOCK& lock)
{
    AcquireSRWLockExclusive(&lock);
    return true;
}
inline void ReleaseExclusive(SRWLOCK& lock) { ReleaseSRWLockExclusive(&lock); }
inline bool AcquireShared(SRWLOCK& lock)
{
    AcquireSRWLockShared(&lock);
    return true;
}
inline void ReleaseShared(SRWLOCK& lock) { ReleaseSRWLockShared(&lock); }

using EXCLUSIVELOCKGUARD = LOCKGUARD<SRWLOCK, AcquireExclusive, ReleaseExclusive>;
using SHAREDLOCKGUARD = LOCKGUARD<SRWLOCK, AcquireShared, ReleaseShared>;

#pragma once

#include <windows.h>

// Scope guards for the raw handles a function holds for the length of one call: each
// undoes exactly one thing, so every early return leaves nothing behind. Declare them in the
// order the objects are made; they undo in reverse (a selection is restored before its bitmap
// and DC go).

class DeleteDcOnExit {
public:
    explicit DeleteDcOnExit(HDC dc) : dc_(dc) {}
    virtual ~DeleteDcOnExit()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    DeleteDcOnExit(const DeleteDcOnExit&) = delete;
    DeleteDcOnExit& operator=(const DeleteDcOnExit&) = delete;

private:
    HDC dc_;
};

class ReleaseDcOnExit {
public:
    ReleaseDcOnExit(HWND window, HDC dc) : window_(window), dc_(dc) {}
    virtual ~ReleaseDcOnExit()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    ReleaseDcOnExit(const ReleaseDcOnExit&) = delete;
    ReleaseDcOnExit& operator=(const ReleaseDcOnExit&) = delete;

private:
    HWND window_;
    HDC dc_;
};

// For bitmaps and regions; Release() hands the object on to a new owner (the window).
class DeleteObjectOnExit {
public:
    explicit DeleteObjectOnExit(HGDIOBJ object) : object_(object) {}
    virtual ~DeleteObjectOnExit()
    {
        if (object_)
            DeleteObject(object_);
    }
    DeleteObjectOnExit(const DeleteObjectOnExit&) = delete;
    DeleteObjectOnExit& operator=(const DeleteObjectOnExit&) = delete;

    void Release() { object_ = nullptr; }

private:
    HGDIOBJ object_;
};

// Puts the DC's previous object back, so the selected one can be freed or read.
class RestoreSelectionOnExit {
public:
    RestoreSelectionOnExit(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    virtual ~RestoreSelectionOnExit() { Restore(); }
    RestoreSelectionOnExit(const RestoreSelectionOnExit&) = delete;
    RestoreSelectionOnExit& operator=(const RestoreSelectionOnExit&) = delete;

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

class CloseHandleOnExit {
public:
    explicit CloseHandleOnExit(HANDLE handle) : handle_(handle) {}
    virtual ~CloseHandleOnExit()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    CloseHandleOnExit(const CloseHandleOnExit&) = delete;
    CloseHandleOnExit& operator=(const CloseHandleOnExit&) = delete;

private:
    HANDLE handle_;
};

class HeapFreeOnExit {
public:
    explicit HeapFreeOnExit(void* block) : block_(block) {}
    virtual ~HeapFreeOnExit()
    {
        if (block_)
            HeapFree(GetProcessHeap(), 0, block_);
    }
    HeapFreeOnExit(const HeapFreeOnExit&) = delete;
    HeapFreeOnExit& operator=(const HeapFreeOnExit&) = delete;

private:
    void* block_;
};

#pragma once

#include <windows.h>

// A bitmap selected into a memory DC of its own, with the bitmap's description.
// Owns both handles; freeing deletes the DC first so that the bitmap is deselected before
// it is deleted.
class WINBMP {
public:
    WINBMP();
    virtual ~WINBMP();
    WINBMP(const WINBMP&) = delete;
    WINBMP& operator=(const WINBMP&) = delete;

    void Close();

    HDC hdc;
    HBITMAP hbm;
    BITMAP bm;
};

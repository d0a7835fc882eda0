#pragma once

#include <windows.h>

// A drawing surface in the format of a window's display: a memory DC with a compatible
// bitmap selected into it. Owns both handles.
class WINMEMDC {
public:
    WINMEMDC();
    virtual ~WINMEMDC();
    WINMEMDC(const WINMEMDC&) = delete;
    WINMEMDC& operator=(const WINMEMDC&) = delete;

    // True when both the DC and the bitmap exist. After a failure whatever was made stays
    // until the next Create or Close.
    bool Create(HWND window, int width, int height);
    void Close();

    HDC hdc;
    HBITMAP hbm;
    int width;
    int height;
};

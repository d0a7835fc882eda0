#pragma once

#include <windows.h>

// Owners of single GDI drawing objects. Each frees its object before making a new one, so
// re-creating with other parameters never leaks the old object.

class WINFONT {
public:
    WINFONT();
    virtual ~WINFONT();
    WINFONT(const WINFONT&) = delete;
    WINFONT& operator=(const WINFONT&) = delete;

    // Keeps its own copy of the description: later changes to the caller's record do not
    // reach lf until the next Create.
    bool Create(const LOGFONTA& logfont);
    // Deletes the font if there is one; lf stays.
    void Close();

    HFONT hfont;
    LOGFONTA lf;
};

class WINPEN {
public:
    WINPEN();
    virtual ~WINPEN();
    WINPEN(const WINPEN&) = delete;
    WINPEN& operator=(const WINPEN&) = delete;

    bool Create(int style, int width, COLORREF colour);
    // A one-pixel cosmetic pen that sets every other pixel, for grids. Wider, for a dense display, a
    // geometric pen `width` pixels wide whose dots and gaps are `width` pixels long: a cosmetic
    // pen is never wider than one pixel.
    bool CreateDotted(COLORREF colour, int width = 1);
    void Close();

    HPEN hpen;
};

class WINBRUSH {
public:
    WINBRUSH();
    virtual ~WINBRUSH();
    WINBRUSH(const WINBRUSH&) = delete;
    WINBRUSH& operator=(const WINBRUSH&) = delete;

    bool Create(COLORREF colour);
    void Close();

    HBRUSH hbrush;
};

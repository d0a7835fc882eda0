#include "gdi/winmemdc.h"

WINMEMDC::WINMEMDC() : hdc(nullptr), hbm(nullptr), width(0), height(0) {}

WINMEMDC::~WINMEMDC() { Close(); }

bool WINMEMDC::Create(HWND window, int width, int height)
{
    Close();
    HDC windowDC = GetDC(window);
    if (!windowDC)
        return false;
    hdc = CreateCompatibleDC(windowDC);
    hbm = CreateCompatibleBitmap(windowDC, width, height);
    bool made = hdc && hbm;
    if (made) {
        SelectObject(hdc, hbm);
        this->width = width;
        this->height = height;
    }
    ReleaseDC(window, windowDC);
    return made;
}

void WINMEMDC::Close()
{
    if (hdc) {
        DeleteDC(hdc);
        hdc = nullptr;
    }
    if (hbm) {
        DeleteObject(hbm);
        hbm = nullptr;
    }
}

#include "gdi/winbmp.h"

#include <cstring>

WINBMP::WINBMP() : hdc(nullptr), hbm(nullptr) { memset(&bm, 0, sizeof bm); }

WINBMP::~WINBMP() { Close(); }

void WINBMP::Close()
{
    if (hdc) {
        DeleteDC(hdc);
        hdc = nullptr;
    }
    if (hbm) {
        DeleteObject(hbm);
        hbm = nullptr;
    }
    memset(&bm, 0, sizeof bm);
}

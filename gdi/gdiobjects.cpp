#include "gdi/gdiobjects.h"

#include <cstring>

WINFONT::WINFONT() : hfont(nullptr)
{
    memset(&lf, 0, sizeof lf);
    lf.lfWeight = FW_NORMAL;
    lstrcpynA(lf.lfFaceName, "System", LF_FACESIZE);
}

WINFONT::~WINFONT() { Close(); }

void WINFONT::Close()
{
    if (hfont) {
        DeleteObject(hfont);
        hfont = nullptr;
    }
}

bool WINFONT::Create(const LOGFONTA& logfont)
{
    lf = logfont;
    Close();
    hfont = CreateFontIndirectA(&lf);
    return hfont != nullptr;
}

WINPEN::WINPEN() : hpen(nullptr) {}

WINPEN::~WINPEN() { Close(); }

void WINPEN::Close()
{
    if (hpen) {
        DeleteObject(hpen);
        hpen = nullptr;
    }
}

bool WINPEN::Create(int style, int width, COLORREF colour)
{
    Close();
    hpen = CreatePen(style, width, colour);
    return hpen != nullptr;
}

bool WINPEN::CreateDotted(COLORREF colour, int width)
{
    Close();
    LOGBRUSH brush = {BS_SOLID, colour, 0};
    if (width <= 1) {
        hpen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
    } else {
        const DWORD dots[2] = {static_cast<DWORD>(width), static_cast<DWORD>(width)};
        hpen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, static_cast<DWORD>(width), &brush, 2, dots);
    }
    return hpen != nullptr;
}

WINBRUSH::WINBRUSH() : hbrush(nullptr) {}

WINBRUSH::~WINBRUSH() { Close(); }

void WINBRUSH::Close()
{
    if (hbrush) {
        DeleteObject(hbrush);
        hbrush = nullptr;
    }
}

bool WINBRUSH::Create(COLORREF colour)
{
    Close();
    hbrush = CreateSolidBrush(colour);
    return hbrush != nullptr;
}

#include "render/gdiobjects.h"

#include <cstring>

WINFONT::WINFONT() : hfont(nullptr)
{
    memset(&lf, 0, sizeof lf);
    lf.lfWeight = FW_NORMAL;
    lstrcpynA(lf.lfFaceName, "System", LF_FACESIZE);
}

WINFONT::~WINFONT()
{
    if (hfont)
        DeleteObject(hfont);
}

bool WINFONT::Create(const LOGFONTA& logfont)
{
    lf = logfont;
    if (hfont) {
        DeleteObject(hfont);
        hfont = nullptr;
    }
    hfont = CreateFontIndirectA(&lf);
    return hfont != nullptr;
}

WINPEN::WINPEN() : hpen(nullptr) {}

WINPEN::~WINPEN() { Delete(); }

void WINPEN::Delete()
{
    if (hpen) {
        DeleteObject(hpen);
        hpen = nullptr;
    }
}

bool WINPEN::Create(int style, int width, COLORREF colour)
{
    Delete();
    hpen = CreatePen(style, width, colour);
    return hpen != nullptr;
}

bool WINPEN::CreateDotted(COLORREF colour)
{
    Delete();
    LOGBRUSH brush = {BS_SOLID, colour, 0};
    hpen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
    return hpen != nullptr;
}

WINBRUSH::WINBRUSH() : hbrush(nullptr) {}

WINBRUSH::~WINBRUSH()
{
    if (hbrush)
        DeleteObject(hbrush);
}

bool WINBRUSH::Create(COLORREF colour)
{
    if (hbrush) {
        DeleteObject(hbrush);
        hbrush = nullptr;
    }
    hbrush = CreateSolidBrush(colour);
    return hbrush != nullptr;
}

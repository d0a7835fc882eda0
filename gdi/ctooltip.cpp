#include "gdi/ctooltip.h"

#include <cstring>

CTOOLTIP::CTOOLTIP() : instance(nullptr), window(nullptr), icon(nullptr), active(0)
{
    memset(&tool, 0, sizeof tool);
}

CTOOLTIP::~CTOOLTIP() { Close(); }

void CTOOLTIP::Close()
{
    if (!window)
        return;
    SendMessageA(window, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    DestroyWindow(window);
    instance = nullptr;
    window = nullptr;
    icon = nullptr;
    active = 0;
}

#include "support/syscolors.h"

// The import slot through which every call of GetSysColor in this program goes.
extern "C" DWORD(WINAPI* __imp_GetSysColor)(int);

namespace testenv {

namespace {

using GETSYSCOLOR = DWORD(WINAPI*)(int);

GETSYSCOLOR Original = nullptr;

DWORD WINAPI StandIn(int index) { return DistinctSysColors::Of(index); }

bool SetSlot(GETSYSCOLOR function)
{
    DWORD protection = 0;
    if (!VirtualProtect(&__imp_GetSysColor, sizeof __imp_GetSysColor, PAGE_READWRITE, &protection))
        return false;
    __imp_GetSysColor = function;
    VirtualProtect(&__imp_GetSysColor, sizeof __imp_GetSysColor, protection, &protection);
    return true;
}

}  // namespace

DistinctSysColors::DistinctSysColors()
{
    Original = __imp_GetSysColor;
    active_ = SetSlot(StandIn) && GetSysColor(COLOR_BTNTEXT) == Of(COLOR_BTNTEXT);
}

DistinctSysColors::~DistinctSysColors() { SetSlot(Original); }

COLORREF DistinctSysColors::Of(int index) { return RGB(0x20 + index, 0xA0 - index, 0x55 ^ index); }

}  // namespace testenv

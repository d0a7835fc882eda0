#include "render/layout.h"

#include "resources/resource.h"

namespace {

// Every control of the panel's template that the painting draws at.
constexpr int LayoutIds[] = {
    IDC_TITLE,
    1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1059,
    1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109,
    1200, 1201, 1202, 1203, 1204, 1205, 1206, 1207, 1208,
    IDC_GRAPH,
};
constexpr int LAYOUT_COUNT = sizeof LayoutIds / sizeof LayoutIds[0];

struct TAKENRECT {
    bool taken;
    RECT rect;
};

HWND TakenFor;
TAKENRECT Taken[LAYOUT_COUNT];

int LayoutIndex(int id)
{
    for (int index = 0; index < LAYOUT_COUNT; ++index)
        if (LayoutIds[index] == id)
            return index;
    return -1;
}

}  // namespace

bool ControlRect(HWND window, int id, RECT& rect)
{
    HWND control = GetDlgItem(window, id);
    RECT screen;
    if (!control || !GetWindowRect(control, &screen))
        return false;
    POINT corner = {screen.left, screen.top};
    if (!ScreenToClient(window, &corner))
        return false;
    rect.left = corner.x;
    rect.top = corner.y;
    rect.right = corner.x + (screen.right - screen.left);
    rect.bottom = corner.y + (screen.bottom - screen.top);
    return true;
}

void TakeControlRects(HWND window)
{
    for (int index = 0; index < LAYOUT_COUNT; ++index)
        Taken[index].taken = ControlRect(window, LayoutIds[index], Taken[index].rect);
    TakenFor = window;
}

bool PanelControlRect(HWND window, int id, RECT& rect)
{
    const int index = LayoutIndex(id);
    if (window != TakenFor || index < 0)
        return ControlRect(window, id, rect);
    if (!Taken[index].taken)
        return false;
    rect = Taken[index].rect;
    return true;
}

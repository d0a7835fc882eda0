#include "render/layout.h"

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

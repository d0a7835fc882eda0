#include "app/panelshape.h"

#include "render/panelres.h"
#include "shape/windowshape.h"

void ReshapePanel(HWND requester, HWND window)
{
    ApplyWindowShape(requester, window, PanelRes.clientRect, PanelRes.skinSurface.hdc, PanelRes.dpi);
}

#include "render/panel.h"

#include "gpu/measure.h"

void RefreshPanel(HWND window)
{
    UpdateIllumination();
}

#include "app/paneldpi.h"

#include "app/panelshape.h"
#include "app/tooltip.h"
#include "render/hover.h"
#include "render/layout.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "ui/resourcemodule.h"

namespace {

struct PANELMOVE {
    bool shaped;    // start-up has made the first shape
    bool moving;    // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
    bool reshape;   // a shape is owed
};

PANELMOVE Move;

void Reshape(HWND window)
{
    Move.reshape = false;
    ReshapePanel(window, window);
}

}  // namespace

bool PanelSizeAtDpi(UINT dpi, SIZE& size)
{
    DIALOGLAYOUT layout;
    if (!LayOutDialogResource(ResourceModule, IDD_PANEL, dpi, layout))
        return false;
    size.cx = layout.client.right - layout.client.left;
    size.cy = layout.client.bottom - layout.client.top;
    return true;
}

void OnPanelDpiChanged(HWND window, UINT dpi, const RECT& suggested)
{
    // A panel that cannot be laid out keeps the layout it has, and its size.
    if (LayOutPanel(dpi)) {
        ClearHoverFlags();
        ForgetHoverPosition();
        FreeRenderResources();
        if (!BuildRenderResources(window)) {
            // As after any rebuild: the panel runs on with what was made, and the next one tries again.
        }
        FitTooltipToPanel();
    }
    const RECT& client = PanelRes.clientRect;
    SetWindowPos(window, nullptr, suggested.left, suggested.top, client.right - client.left,
                 client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Move.reshape = true;
    if (Move.shaped && !Move.moving)
        Reshape(window);
    RefreshPanel(window);
}

void ShapeNewPanel(HWND window)
{
    Move.shaped = true;
    Reshape(window);
}

void ForgetPanelShape() { Move = PANELMOVE{}; }

void OnPanelMoveStarted() { Move.moving = true; }

void OnPanelMoveEnded(HWND window)
{
    Move.moving = false;
    if (Move.reshape && Move.shaped)
        Reshape(window);
}

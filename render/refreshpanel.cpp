#include <atomic>

#include "base/critsect.h"
#include "gpu/measure.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"

namespace {

// The hover flags are only cleared here once the cursor has left the window altogether; within
// the window the mouse handling keeps them.
void ForgetHoverOutside(HWND window)
{
    POINT cursor;
    RECT frame;
    if (!GetCursorPos(&cursor) || !GetWindowRect(window, &frame))
        return;
    if (cursor.x < frame.left || cursor.x > frame.right || cursor.y < frame.top || cursor.y > frame.bottom)
        ClearHoverFlags();
}

std::atomic<MINIMISEDVIEW> MinimisedView{nullptr};

void ShowPanel(HWND window)
{
    ForgetHoverOutside(window);
    if (IsIconic(window)) {
        if (MINIMISEDVIEW view = MinimisedView.load())
            view(window);
        return;
    }
    // Only tried: a measurement worker never waits for a rebuild, it skips this frame.
    SECTIONTRYGUARD hold(UpdateSection);
    if (hold.Held() && PanelRes.backBuffer.hdc)
        ComposePanel(window, PanelRes.backBuffer.hdc);
}

}  // namespace

void SetMinimisedView(MINIMISEDVIEW view) { MinimisedView = view; }

void RefreshPanel(HWND window)
{
    // Without a panel (a measurement run before or after the window's life) there is nothing to
    // show, and a null window would make the invalidation repaint every window of the desktop.
    if (window)
        ShowPanel(window);
    UpdateIllumination();
}

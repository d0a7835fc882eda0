#include "app/tooltip.h"

#include <commctrl.h>

#include <cstddef>

#include "app/appstate.h"
#include "base/dpi.h"
#include "config/config.h"
#include "render/panelres.h"
#include "resources/resource.h"

namespace {

// The tool record as far as the tool's lParam: the 64 bytes every version of the control takes
// on 64-bit Windows; the full TOOLINFOA adds a field that only version 6 knows.
constexpr UINT TOOL_RECORD_SIZE = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);
static_assert(TOOL_RECORD_SIZE == 64, "tool record size");

// In 96-dpi pixels.
constexpr int TIP_MAX_WIDTH = 512;
constexpr int TIP_ICON_SIZE = 16;
constexpr int TIP_INITIAL_DELAY_MS = 200;
constexpr int TIP_AUTOPOP_DELAY_MS = 30000;

// The core temperature block; without the usage block it covers the ambient block as well.
RECT ToolRect()
{
    RECT rect = {0, 0, 0, 0};
    PanelControlRect(IDC_CORE_GROUP, rect);
    RECT middle;
    if (!Config.Global.Usage && PanelControlRect(IDC_MIDDLE_GROUP, middle)) {
        rect.right = middle.right;
        rect.bottom = middle.bottom;
    }
    return rect;
}

HINSTANCE ProgramInstance()
{
    return App.instance ? App.instance : GetModuleHandleA(nullptr);
}

// A copy of its own at the panel's DPI, so that removing the tooltip can destroy it.
HICON TitleIcon(HINSTANCE instance)
{
    const int size = ScaleToDpi(TIP_ICON_SIZE, PanelRes.dpi);
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TOOLTIP), IMAGE_ICON, size, size, 0));
}

int MaxTipWidth() { return ScaleToDpi(TIP_MAX_WIDTH, PanelRes.dpi); }

}  // namespace

bool CreateTooltip(HWND window, const char* text)
{
    const RECT toolRect = ToolRect();
    CTOOLTIP& tip = Tooltip;
    if (tip.window)
        return false;

    const HINSTANCE instance = ProgramInstance();
    tip.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    if (!tip.window)
        return false;

    ZeroMemory(&tip.tool, sizeof tip.tool);
    tip.tool.cbSize = TOOL_RECORD_SIZE;
    tip.tool.uFlags = TTF_SUBCLASS;
    tip.tool.hwnd = window;
    tip.tool.uId = 0;
    tip.tool.rect = toolRect;
    tip.tool.hinst = instance;
    tip.tool.lpszText = text ? const_cast<char*>(text) : LPSTR_TEXTCALLBACKA;
    SendMessageA(tip.window, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tip.tool));
    tip.instance = instance;

    tip.icon = TitleIcon(instance);
    SendMessageA(tip.window, TTM_SETTITLEA, reinterpret_cast<WPARAM>(tip.icon),
                 reinterpret_cast<LPARAM>(Config.Tooltip.Title));

    SendMessageA(tip.window, TTM_SETMAXTIPWIDTH, 0, MaxTipWidth());
    SendMessageA(tip.window, TTM_SETDELAYTIME, TTDT_INITIAL, TIP_INITIAL_DELAY_MS);
    SendMessageA(tip.window, TTM_SETDELAYTIME, TTDT_AUTOPOP, TIP_AUTOPOP_DELAY_MS);
    if (!tip.active) {
        SendMessageA(tip.window, TTM_ACTIVATE, TRUE, 0);
        tip.active = 1;
    }
    return true;
}

void FitTooltipToPanel()
{
    CTOOLTIP& tip = Tooltip;
    if (!tip.window)
        return;
    tip.tool.rect = ToolRect();
    SendMessageA(tip.window, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tip.tool));
    SendMessageA(tip.window, TTM_SETMAXTIPWIDTH, 0, MaxTipWidth());
    // The control draws with the old icon until it has the new one.
    const HICON old = tip.icon;
    tip.icon = TitleIcon(tip.instance);
    SendMessageA(tip.window, TTM_SETTITLEA, reinterpret_cast<WPARAM>(tip.icon),
                 reinterpret_cast<LPARAM>(Config.Tooltip.Title));
    if (old)
        DestroyIcon(old);
}

void RemoveTooltip()
{
    CTOOLTIP& tip = Tooltip;
    const HICON icon = tip.icon;
    tip.Close();
    // The control may draw its title with the icon until it is gone.
    if (icon)
        DestroyIcon(icon);
}

// The panel's tooltip: made once over the temperature blocks, with title, icon and timing.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/appstate.h"
#include "app/tooltip.h"
#include "base/dpi.h"
#include "config/config.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "support/panelwindow.h"
#include "ui/resourcemodule.h"

namespace {

const char SensorText[] = "#0: GPU - GPU INTERNAL";

// What this thread sends to tooltip windows while creating one: the title cannot be read back
// from every version of the control.
struct SENTTOTOOLTIP {
    static HHOOK hook;
    static int titles;
    static char title[64];
    static WPARAM titleIcon;
    static UINT toolSize;
    static int activations;

    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent) {
            if (sent->message == TTM_SETTITLEA) {
                ++titles;
                titleIcon = sent->wParam;
                snprintf(title, sizeof title, "%s", reinterpret_cast<const char*>(sent->lParam));
            } else if (sent->message == TTM_ADDTOOLA) {
                toolSize = reinterpret_cast<const TOOLINFOA*>(sent->lParam)->cbSize;
            } else if (sent->message == TTM_ACTIVATE && sent->wParam) {
                ++activations;
            }
        }
        return CallNextHookEx(hook, code, wParam, lParam);
    }
    static void Start()
    {
        titles = activations = 0;
        title[0] = '\0';
        titleIcon = 0;
        toolSize = 0;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, Procedure, nullptr, GetCurrentThreadId());
    }
    static void Stop()
    {
        if (hook)
            UnhookWindowsHookEx(hook);
        hook = nullptr;
    }
};
HHOOK SENTTOTOOLTIP::hook = nullptr;
int SENTTOTOOLTIP::titles = 0;
char SENTTOTOOLTIP::title[64];
WPARAM SENTTOTOOLTIP::titleIcon = 0;
UINT SENTTOTOOLTIP::toolSize = 0;
int SENTTOTOOLTIP::activations = 0;

class TooltipCreation : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        panel.reset(new testenv::PanelWindow);
        ASSERT_NE(nullptr, panel->Handle());
        App.instance = reinterpret_cast<HINSTANCE>(panel->Resources());
        ResourceModule = App.instance;
        ASSERT_TRUE(LayOutPanel(WindowDpi(Panel())));
        Config.Global.Usage = 1;
        snprintf(Config.Tooltip.Title, sizeof Config.Tooltip.Title, "Thermal Controller");
    }
    void TearDown() override
    {
        RemoveTooltip();
        panel.reset();
        App.instance = nullptr;
        ResourceModule = nullptr;
    }
    HWND Panel() const { return panel->Handle(); }
    RECT Control(int id) const
    {
        RECT rect = {0, 0, 0, 0};
        GetWindowRect(GetDlgItem(Panel(), id), &rect);
        MapWindowPoints(nullptr, Panel(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    TOOLINFOA ToolInfo(char* text) const
    {
        TOOLINFOA tool = {};
        tool.cbSize = 64;
        tool.hwnd = Panel();
        tool.uId = 0;
        tool.lpszText = text;
        SendMessageA(Tooltip.window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
        return tool;
    }
    std::unique_ptr<testenv::PanelWindow> panel;
};

TEST_F(TooltipCreation, MakesABalloonTooltipOwnedByThePanel)
{
    ASSERT_TRUE(CreateTooltip(Panel(), SensorText));
    ASSERT_NE(nullptr, Tooltip.window);
    char name[64] = "";
    GetClassNameA(Tooltip.window, name, sizeof name);
    EXPECT_EQ(0, lstrcmpiA(TOOLTIPS_CLASSA, name));
    const LONG_PTR style = GetWindowLongPtrA(Tooltip.window, GWL_STYLE);
    EXPECT_EQ(TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, style & (TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(GetWindowLongPtrA(Tooltip.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Panel(), GetWindow(Tooltip.window, GW_OWNER));
    EXPECT_EQ(App.instance, Tooltip.instance);
    EXPECT_EQ(1, Tooltip.active);
}

TEST_F(TooltipCreation, OneToolOverTheCoreBlockWithTheSensorText)
{
    ASSERT_TRUE(CreateTooltip(Panel(), SensorText));
    EXPECT_EQ(1, SendMessageA(Tooltip.window, TTM_GETTOOLCOUNT, 0, 0));
    char text[256] = "";
    const TOOLINFOA tool = ToolInfo(text);
    const RECT core = Control(IDC_CORE_GROUP);
    EXPECT_TRUE(EqualRect(&core, &tool.rect));
    EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
    EXPECT_STREQ(SensorText, text);
    EXPECT_EQ(64u, Tooltip.tool.cbSize);
}

// Without the usage block the tool covers both temperature blocks.
TEST_F(TooltipCreation, WithoutUsageTheToolCoversBothTemperatureBlocks)
{
    Config.Global.Usage = 0;
    ASSERT_TRUE(CreateTooltip(Panel(), SensorText));
    char text[256] = "";
    const TOOLINFOA tool = ToolInfo(text);
    const RECT core = Control(IDC_CORE_GROUP);
    const RECT middle = Control(IDC_MIDDLE_GROUP);
    const RECT both = {core.left, core.top, middle.right, middle.bottom};
    EXPECT_TRUE(EqualRect(&both, &tool.rect));
}

TEST_F(TooltipCreation, TitleIconWidthAndDelays)
{
    snprintf(Config.Tooltip.Title, sizeof Config.Tooltip.Title, "GPU sensors");
    SENTTOTOOLTIP::Start();
    const bool made = CreateTooltip(Panel(), SensorText);
    SENTTOTOOLTIP::Stop();
    ASSERT_TRUE(made);
    ASSERT_NE(nullptr, Tooltip.icon) << "icon 108 from the program's resources";
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(Tooltip.icon, &info));
    BITMAP colour = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
    EXPECT_EQ(16, colour.bmWidth);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    EXPECT_EQ(1, SENTTOTOOLTIP::titles);
    EXPECT_STREQ("GPU sensors", SENTTOTOOLTIP::title);
    EXPECT_EQ(reinterpret_cast<WPARAM>(Tooltip.icon), SENTTOTOOLTIP::titleIcon);
    EXPECT_EQ(64u, SENTTOTOOLTIP::toolSize);
    EXPECT_EQ(1, SENTTOTOOLTIP::activations);

    EXPECT_EQ(512, SendMessageA(Tooltip.window, TTM_GETMAXTIPWIDTH, 0, 0));
    EXPECT_EQ(200, SendMessageA(Tooltip.window, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    EXPECT_EQ(30000, SendMessageA(Tooltip.window, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
}

TEST_F(TooltipCreation, SecondCreationFailsAndKeepsTheFirst)
{
    ASSERT_TRUE(CreateTooltip(Panel(), SensorText));
    const HWND first = Tooltip.window;
    EXPECT_FALSE(CreateTooltip(Panel(), "other"));
    EXPECT_EQ(first, Tooltip.window);
    EXPECT_EQ(1, SendMessageA(Tooltip.window, TTM_GETTOOLCOUNT, 0, 0));
    char text[256] = "";
    ToolInfo(text);
    EXPECT_STREQ(SensorText, text);
}

TEST_F(TooltipCreation, WithoutTextTheWindowIsAskedForIt)
{
    ASSERT_TRUE(CreateTooltip(Panel(), nullptr));
    EXPECT_EQ(LPSTR_TEXTCALLBACKA, Tooltip.tool.lpszText);
    EXPECT_EQ(1, SendMessageA(Tooltip.window, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(TooltipCreation, RemovalDestroysWindowAndIconAndAllowsANewTooltip)
{
    ASSERT_TRUE(CreateTooltip(Panel(), SensorText));
    const HWND window = Tooltip.window;
    const HICON icon = Tooltip.icon;
    ASSERT_NE(nullptr, icon);
    RemoveTooltip();
    EXPECT_FALSE(IsWindow(window));
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the title icon is the tooltip's own and goes with it";
    EXPECT_EQ(nullptr, Tooltip.window);
    EXPECT_EQ(nullptr, Tooltip.icon);
    EXPECT_EQ(nullptr, Tooltip.instance);
    EXPECT_EQ(0, Tooltip.active);
    RemoveTooltip();

    ASSERT_TRUE(CreateTooltip(Panel(), SensorText));
    EXPECT_EQ(1, Tooltip.active);
}

}  // namespace

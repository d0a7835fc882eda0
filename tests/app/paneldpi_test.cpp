// The real panel (template 200 with the program's dialog procedure) told that its DPI changed, as
// Windows tells it when it moves to a monitor of another scale. Wine never does: these tests send
// the messages themselves.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "base/dpi.h"
#include "config/config.h"
#include "config/keyschema.h"
#include "config/theme.h"
#include "render/layout.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "support/testenv.h"
#include "ui/resourcemodule.h"

namespace {

// Without a driver beside the test program the panel runs in its demonstration mode.
class PanelDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        snprintf(ConfigPath, sizeof ConfigPath, "%s", dir_.File("panel.cfg").c_str());
        LoadConfig();
        Config.Global.Dummy = 1;
        Config.Global.Timer = 120;
        Config.Global.Usage = 1;
        snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", dir_.File("panel.vkt").c_str());
        SetThemeStartupValues();
        LoadTheme();
        Theme.Mask.Mode = MASK_ROUND;
        ResourceModule = App.instance = testenv::ProgramResources();
        ASSERT_NE(nullptr, ResourceModule) << "VARNOK_EXE";
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        HRSRC found = FindResourceA(ResourceModule, MAKEINTRESOURCEA(IDD_PANEL), RT_DIALOG);
        ASSERT_NE(nullptr, found);
        const void* panelTemplate = LockResource(LoadResource(ResourceModule, found));
        window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(panelTemplate),
                                             nullptr, MainDialogProc, 0);
        ASSERT_NE(nullptr, window_);
        ASSERT_TRUE(IsWindowVisible(window_)) << "the panel's start-up failed";
    }

    void TearDown() override
    {
        if (window_)
            DestroyWindow(window_);
        // The panel's teardown ends the message loop it expects to run in.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        ResourceModule = App.instance = nullptr;
    }

    RECT ToolRect() const
    {
        TOOLINFOA tool = {};
        tool.cbSize = 64;
        tool.hwnd = window_;
        SendMessageA(Tooltip.window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
        return tool.rect;
    }

    RECT RegionBox() const
    {
        RECT box = {};
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(window_, region) != ERROR)
            GetRgnBox(region, &box);
        DeleteObject(region);
        return box;
    }

    void ChangeDpi(UINT dpi, RECT suggested)
    {
        SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }

    testenv::TempDir dir_;
    HWND window_ = nullptr;
};

}  // namespace

// The size the panel asks for is its own layout's at the new DPI; the window then takes the suggested
// rectangle, and the layout, the mouse's fields, the tooltip's tool and the fonts follow. Back at 96
// dpi everything is as it was.
TEST_F(PanelDpi, ANewDpiResizesThePanelToTheSuggestedRectangleAndEverythingFollows)
{
    const PANELRES& res = PanelRes;
    const UINT startDpi = res.dpi;
    RECT start = {};
    GetWindowRect(window_, &start);
    const RECT startGraph = res.graphRect;
    const RECT startTool = ToolRect();

    DIALOGLAYOUT at144;
    ASSERT_TRUE(LayOutDialogResource(ResourceModule, IDD_PANEL, 144, at144));
    SIZE asked = {1, 1};
    EXPECT_TRUE(SendMessageA(window_, MSG_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&asked)));
    EXPECT_EQ(at144.client.right, asked.cx);
    EXPECT_EQ(at144.client.bottom, asked.cy);

    const RECT suggested = {40, 30, 40 + asked.cx, 30 + asked.cy};
    ChangeDpi(144, suggested);
    RECT now = {};
    GetWindowRect(window_, &now);
    EXPECT_TRUE(EqualRect(&suggested, &now));
    EXPECT_EQ(144u, res.dpi);
    EXPECT_EQ(asked.cx, res.backBuffer.width);
    EXPECT_EQ(asked.cy, res.backBuffer.height);
    RECT expected = {};
    ASSERT_TRUE(LayoutRect(at144, IDC_GRAPH, expected));
    EXPECT_TRUE(EqualRect(&expected, &res.graphRect));
    EXPECT_GT(res.graphRect.right, startGraph.right * 4 / 3);
    for (int field = 0; field < HOVER_FIELD_COUNT; ++field) {
        ASSERT_TRUE(LayoutRect(at144, HoverFieldIds[field], expected));
        EXPECT_TRUE(EqualRect(&expected, &res.hotRect[field])) << HoverFieldIds[field];
    }
    ASSERT_TRUE(LayoutRect(at144, IDC_CORE_GROUP, expected));
    const RECT tool = ToolRect();
    EXPECT_TRUE(EqualRect(&expected, &tool));
    EXPECT_EQ(MulDiv(512, 144, 96), SendMessageA(Tooltip.window, TTM_GETMAXTIPWIDTH, 0, 0));
    LOGFONTA title = {};
    ASSERT_TRUE(GetObjectA(res.fonts[FONT_TITLE].hfont, sizeof title, &title));
    EXPECT_EQ(MulDiv(Theme.Font.Title.lfHeight, 144, 96), title.lfHeight);
    // A rounded region's box leaves out its last column and row.
    const RECT rounded = {0, 0, asked.cx, asked.cy};
    const RECT box = RegionBox();
    EXPECT_TRUE(EqualRect(&rounded, &box)) << "reshaped at once outside a move";

    ChangeDpi(startDpi, start);
    GetWindowRect(window_, &now);
    EXPECT_TRUE(EqualRect(&start, &now));
    EXPECT_TRUE(EqualRect(&startGraph, &res.graphRect));
    const RECT toolAgain = ToolRect();
    EXPECT_TRUE(EqualRect(&startTool, &toolAgain));
}

// A DPI change in the middle of a drag reshapes the panel only when the drag ends.
TEST_F(PanelDpi, DuringAMoveTheShapeWaitsForItsEnd)
{
    const RECT before = RegionBox();
    ASSERT_GT(before.right, 0) << "the rounded shape";
    SIZE asked = {};
    ASSERT_TRUE(SendMessageA(window_, MSG_GETDPISCALEDSIZE, 192, reinterpret_cast<LPARAM>(&asked)));
    SendMessageA(window_, WM_ENTERSIZEMOVE, 0, 0);
    ChangeDpi(192, RECT{0, 0, asked.cx, asked.cy});
    RECT box = RegionBox();
    EXPECT_TRUE(EqualRect(&before, &box)) << "the shape of before, during the move";
    SendMessageA(window_, WM_EXITSIZEMOVE, 0, 0);
    const RECT rounded = {0, 0, asked.cx, asked.cy};
    box = RegionBox();
    EXPECT_TRUE(EqualRect(&rounded, &box));
}

// A message without its rectangle, or with DPI 0, changes nothing.
TEST_F(PanelDpi, AMessageWithoutRectangleOrDpiChangesNothing)
{
    RECT before = {};
    GetWindowRect(window_, &before);
    const UINT dpi = PanelRes.dpi;
    SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    ChangeDpi(0, RECT{0, 0, 10, 10});
    EXPECT_FALSE(SendMessageA(window_, MSG_GETDPISCALEDSIZE, 144, 0));
    RECT now = {};
    GetWindowRect(window_, &now);
    EXPECT_TRUE(EqualRect(&before, &now));
    EXPECT_EQ(dpi, PanelRes.dpi);
}

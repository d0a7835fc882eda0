// The real panel (template 200, the program's dialog procedure) told that its DPI changed, as Windows
// tells it on a move to a monitor of another scale. Wine never does: the tests send the messages.
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

// Without a driver beside the test program the panel runs in its demonstration mode; it is rounded.
class PanelDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        snprintf(ConfigPath, sizeof ConfigPath, "%s", dir_.File("panel.cfg").c_str());
        LoadConfig();
        Config.Global.Dummy = Config.Global.Usage = 1;
        Config.Global.Timer = 120;
        snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", dir_.File("panel.vkt").c_str());
        SetThemeStartupValues();
        LoadTheme();
        Theme.Mask.Mode = MASK_ROUND;
        ResourceModule = App.instance = testenv::ProgramResources();
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        HRSRC found = FindResourceA(ResourceModule, MAKEINTRESOURCEA(IDD_PANEL), RT_DIALOG);
        ASSERT_NE(nullptr, found) << "VARNOK_EXE";
        const void* panel = LockResource(LoadResource(ResourceModule, found));
        window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(panel), nullptr,
                                             MainDialogProc, 0);
        ASSERT_TRUE(window_ && IsWindowVisible(window_)) << "the panel's start-up failed";
    }

    void TearDown() override
    {
        DestroyWindow(window_);
        MSG quit;  // the panel's teardown ends the message loop it expects
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        ResourceModule = App.instance = nullptr;
    }

    SIZE AskedSize(UINT dpi) const
    {
        SIZE size = {};
        EXPECT_TRUE(SendMessageA(window_, MSG_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
        return size;
    }
    void ChangeDpi(UINT dpi, RECT suggested) const
    {
        SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    RECT Window() const
    {
        RECT rect = {};
        GetWindowRect(window_, &rect);
        return rect;
    }
    // A rounded region's box leaves out the column and row it reaches past the panel.
    SIZE ShapeSize() const
    {
        RECT box = {};
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(window_, region) != ERROR)
            GetRgnBox(region, &box);
        DeleteObject(region);
        return SIZE{box.right, box.bottom};
    }

    testenv::TempDir dir_;
    HWND window_ = nullptr;
};

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

// The panel asks for its own layout's size at the new DPI, takes the suggested rectangle and reshapes
// at once; its layout, the mouse's fields, the tooltip's tool and width and the fonts follow. Back
// at the DPI of before, all is as it was. A message without its rectangle or DPI changes nothing.
TEST_F(PanelDpi, ANewDpiResizesThePanelToTheSuggestedRectangleAndEverythingFollows)
{
    const PANELRES& res = PanelRes;
    const UINT startDpi = res.dpi;
    const RECT start = Window();
    SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    ChangeDpi(0, RECT{0, 0, 10, 10});
    EXPECT_FALSE(SendMessageA(window_, MSG_GETDPISCALEDSIZE, 144, 0));
    EXPECT_TRUE(Same(start, Window()));
    EXPECT_EQ(startDpi, res.dpi);

    DIALOGLAYOUT at144;
    ASSERT_TRUE(LayOutDialogResource(ResourceModule, IDD_PANEL, 144, at144));
    const SIZE asked = AskedSize(144);
    EXPECT_EQ(at144.client.right, asked.cx);
    EXPECT_EQ(at144.client.bottom, asked.cy);
    const RECT suggested = {40, 30, 40 + asked.cx, 30 + asked.cy};
    ChangeDpi(144, suggested);
    EXPECT_TRUE(Same(suggested, Window()));
    EXPECT_EQ(asked.cx, res.backBuffer.width);
    EXPECT_EQ(asked.cx, ShapeSize().cx);
    EXPECT_EQ(asked.cy, ShapeSize().cy);
    RECT expected = {};
    EXPECT_TRUE(LayoutRect(at144, IDC_GRAPH, expected) && Same(expected, res.graphRect));
    for (int field = 0; field < HOVER_FIELD_COUNT; ++field)
        EXPECT_TRUE(LayoutRect(at144, HoverFieldIds[field], expected) && Same(expected, res.hotRect[field]));
    TOOLINFOA tool = {};
    tool.cbSize = 64;
    tool.hwnd = window_;
    SendMessageA(Tooltip.window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
    EXPECT_TRUE(LayoutRect(at144, IDC_CORE_GROUP, expected) && Same(expected, tool.rect));
    EXPECT_EQ(768, SendMessageA(Tooltip.window, TTM_GETMAXTIPWIDTH, 0, 0));
    LOGFONTA title = {};
    ASSERT_TRUE(GetObjectA(res.fonts[FONT_TITLE].hfont, sizeof title, &title));
    EXPECT_EQ(Theme.Font.Title.lfHeight * 3 / 2, title.lfHeight);

    ChangeDpi(startDpi, start);
    EXPECT_TRUE(Same(start, Window()));
    DIALOGLAYOUT before;
    ASSERT_TRUE(LayOutDialogResource(ResourceModule, IDD_PANEL, startDpi, before));
    EXPECT_TRUE(LayoutRect(before, IDC_GRAPH, expected) && Same(expected, res.graphRect));
}

// A DPI change in the middle of a drag reshapes the panel only once the drag ends.
TEST_F(PanelDpi, DuringAMoveTheShapeWaitsForItsEnd)
{
    const SIZE before = ShapeSize();
    const SIZE asked = AskedSize(192);
    SendMessageA(window_, WM_ENTERSIZEMOVE, 0, 0);
    ChangeDpi(192, RECT{0, 0, asked.cx, asked.cy});
    EXPECT_EQ(before.cx, ShapeSize().cx) << "the shape of before, during the move";
    SendMessageA(window_, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(asked.cx, ShapeSize().cx);
    EXPECT_EQ(asked.cy, ShapeSize().cy);
}

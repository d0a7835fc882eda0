// CTOOLTIP teardown: the tool is removed from the control, then the control is destroyed.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>

#include "gdi/ctooltip.h"

namespace {

// Records what reaches the tooltip window before the control's own procedure.
struct RECORDER {
    static WNDPROC original;
    static int deletions;
    static UINT_PTR deletedId;
    static HWND deletedOwner;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == TTM_DELTOOLA && lParam) {
            const TOOLINFOA* tool = reinterpret_cast<const TOOLINFOA*>(lParam);
            ++deletions;
            deletedId = tool->uId;
            deletedOwner = tool->hwnd;
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
};
WNDPROC RECORDER::original = nullptr;
int RECORDER::deletions = 0;
UINT_PTR RECORDER::deletedId = 0;
HWND RECORDER::deletedOwner = nullptr;

class Tooltip : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        owner = CreateWindowExA(0, "STATIC", "panel", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, owner);
        RECORDER::deletions = 0;
        RECORDER::deletedId = 0;
        RECORDER::deletedOwner = nullptr;
    }
    void TearDown() override { DestroyWindow(owner); }

    // Sets the object up the way the panel does: one tool over a rectangle of the owner.
    void Make(CTOOLTIP& tip)
    {
        tip.instance = GetModuleHandleA(nullptr);
        tip.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, tip.instance, nullptr);
        ASSERT_NE(nullptr, tip.window);
        tip.tool.cbSize = sizeof tip.tool;
        tip.tool.uFlags = TTF_SUBCLASS;
        tip.tool.hwnd = owner;
        tip.tool.uId = 0;
        tip.tool.rect = {0, 0, 50, 50};
        tip.tool.hinst = tip.instance;
        tip.tool.lpszText = const_cast<char*>("#0: GPU - GPU INTERNAL");
        ASSERT_TRUE(SendMessageA(tip.window, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tip.tool)));
        ASSERT_EQ(1, SendMessageA(tip.window, TTM_GETTOOLCOUNT, 0, 0));
        tip.icon = LoadIconA(nullptr, IDI_INFORMATION);
        tip.active = 1;
        RECORDER::original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            tip.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RECORDER::Procedure)));
    }

    HWND owner = nullptr;
};

TEST_F(Tooltip, StartsEmpty)
{
    CTOOLTIP tip;
    EXPECT_EQ(nullptr, tip.instance);
    EXPECT_EQ(nullptr, tip.window);
    EXPECT_EQ(nullptr, tip.icon);
    EXPECT_EQ(0, tip.active);
    TOOLINFOA zero;
    memset(&zero, 0, sizeof zero);
    EXPECT_EQ(0, memcmp(&zero, &tip.tool, sizeof zero));
}

TEST_F(Tooltip, DestructorRemovesTheToolAndDestroysTheWindow)
{
    HWND window;
    {
        CTOOLTIP tip;
        Make(tip);
        window = tip.window;
    }
    EXPECT_EQ(1, RECORDER::deletions);
    EXPECT_EQ(owner, RECORDER::deletedOwner);
    EXPECT_EQ(0u, RECORDER::deletedId);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Tooltip, CloseClearsTheFieldsAndASecondCloseDoesNothing)
{
    CTOOLTIP tip;
    Make(tip);
    HWND window = tip.window;
    tip.Close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, tip.window);
    EXPECT_EQ(nullptr, tip.instance);
    EXPECT_EQ(nullptr, tip.icon);
    EXPECT_EQ(0, tip.active);
    tip.Close();
    EXPECT_EQ(1, RECORDER::deletions);
}

}  // namespace

// RefreshPanel: when a frame is composed, skipped, or replaced by the caption.
#include <gtest/gtest.h>
#include <cstring>

#include "app/caption.h"
#include "base/critsect.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "support/panelfixture.h"

using namespace painttest;

namespace {

constexpr COLORREF MARKER = RGB(255, 255, 255);

class Refresh : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        Sample.Fault = 1;
        Sample.CoreTemp = 65;
        Sample.AmbientTemp = 45;
        // A white back buffer shows whether a frame (black background, red cross) was composed.
        PatBlt(BackBuffer(), 0, 0, PanelRes.clientW, PanelRes.clientH, WHITENESS);
    }
    bool Composed() const { return Pixel(PanelRes.clientW / 2, PanelRes.clientH / 2) == FAULT_COLOUR; }
    bool Untouched() const { return CountColour(PanelRes.clientRect, MARKER) == PanelRes.clientW * PanelRes.clientH; }
};

TEST_F(Refresh, ComposesIntoTheBackBufferAndInvalidates)
{
    // Hidden windows collect no update region.
    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    ValidateRect(Window(), nullptr);
    RefreshPanel(Window());
    EXPECT_TRUE(Composed());
    EXPECT_EQ(CS_RELEASED, UpdateSection.state);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(Window(), &update, FALSE));
    RECT client;
    GetClientRect(Window(), &client);
    EXPECT_TRUE(EqualRect(&client, &update));
}

struct HOLDER {
    HANDLE held;
    HANDLE release;
};

DWORD WINAPI HoldUpdateSection(LPVOID parameter)
{
    HOLDER* holder = static_cast<HOLDER*>(parameter);
    EnterCritSect(UpdateSection);
    SetEvent(holder->held);
    WaitForSingleObject(holder->release, 30000);
    LeaveCritSect(UpdateSection);
    return 0;
}

// A rebuild in progress (the section held elsewhere) is never waited for: the frame is skipped
// and counted.
TEST_F(Refresh, BusySectionSkipsTheFrameAndCountsIt)
{
    HOLDER holder = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldUpdateSection, &holder, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(holder.held, 30000));
    const LONG failures = UpdateSection.failures;
    RefreshPanel(Window());
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(failures + 1, UpdateSection.failures);
    SetEvent(holder.release);
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    CloseHandle(holder.held);
    CloseHandle(holder.release);
    RefreshPanel(Window());
    EXPECT_TRUE(Composed());
}

TEST_F(Refresh, WithoutTheSectionNothingIsComposed)
{
    DeleteCritSect(UpdateSection);
    RefreshPanel(Window());
    EXPECT_TRUE(Untouched());
    CreateCritSect(UpdateSection, "UPDATE");
}

// Minimised, the panel only carries the readings in its caption; the back buffer keeps the
// last frame.
TEST_F(Refresh, MinimisedOnlySetsTheCaption)
{
    SetMinimisedView(ShowReadingsCaption);
    Config.Taskbar.Core = 0;
    Config.Taskbar.Fan = 0;
    ShowWindow(Window(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(Window()));
    RefreshPanel(Window());
    EXPECT_TRUE(Untouched());
    char text[128] = "";
    GetWindowTextA(Window(), text, sizeof text);
    EXPECT_STREQ("65\xB0" "C/45\xB0" "C", text);

    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    ASSERT_FALSE(IsIconic(Window()));
    RefreshPanel(Window());
    EXPECT_TRUE(Composed());
    SetMinimisedView(nullptr);
}

// The mouse handling keeps the flags while the cursor is over the window; once it has left the
// window they are cleared.
TEST_F(Refresh, HoverFlagsAreClearedOnceTheCursorHasLeft)
{
    RECT frame;
    GetWindowRect(Window(), &frame);
    ASSERT_TRUE(SetCursorPos(frame.left + 20, frame.top + 20));
    POINT cursor;
    GetCursorPos(&cursor);
    if (cursor.x != frame.left + 20 || cursor.y != frame.top + 20)
        GTEST_SKIP() << "the cursor cannot be moved on this display";
    HoverFlags[HOVER_FAN] = true;
    RefreshPanel(Window());
    EXPECT_TRUE(HoverFlags[HOVER_FAN]);

    ASSERT_TRUE(SetCursorPos(frame.right + 5, frame.top + 20));
    RefreshPanel(Window());
    EXPECT_FALSE(HoverFlags[HOVER_FAN]);
}

}  // namespace

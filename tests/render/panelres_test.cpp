// Building and freeing the render resource set of a panel made from template 200.
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <vector>

#include "base/critsect.h"
#include "config/config.h"
#include "config/theme.h"
#include "render/layout.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "support/panelfixture.h"

using namespace painttest;

namespace {

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

// Every handle the build makes, in member order.
std::vector<HGDIOBJ> BuiltHandles()
{
    const PANELRES& res = PanelRes;
    std::vector<HGDIOBJ> handles = {res.skin.hdc, res.skinSurface.hdc, res.skinSurface.hbm, res.backBuffer.hdc,
                                    res.backBuffer.hbm};
    if (res.skin.hbm)
        handles.push_back(res.skin.hbm);
    for (int font = 0; font < PANEL_FONTS_MADE; ++font)
        handles.push_back(res.fonts[font].hfont);
    for (const WINPEN& pen : res.pens)
        handles.push_back(pen.hpen);
    handles.push_back(res.backgroundBrush.hbrush);
    handles.push_back(res.frameBrush.hbrush);
    handles.push_back(res.faceBrush.hbrush);
    return handles;
}

class RenderResources : public PanelTest {
protected:
    void UseSkinFile()
    {
        const std::string path = dir.File("skin.bmp");
        ASSERT_TRUE(WriteBitmapFile(path, 8, 8, 24, [](int x, int y) { return RGB(x * 30, y * 30, 0); }));
        snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", path.c_str());
    }
};

TEST_F(RenderResources, BuildMakesEveryObject)
{
    UseSkinFile();
    Rebuild();
    const PANELRES& res = PanelRes;
    for (HGDIOBJ handle : BuiltHandles())
        EXPECT_TRUE(Alive(handle));
    for (int font = PANEL_FONTS_MADE; font < PANEL_FONT_COUNT; ++font)
        EXPECT_EQ(nullptr, res.fonts[font].hfont) << "font " << font << " belongs to the Version tab";
    EXPECT_EQ(res.clientW, res.backBuffer.width);
    EXPECT_EQ(res.clientH, res.backBuffer.height);
    EXPECT_EQ(res.clientW, res.skinSurface.width);
    EXPECT_EQ(res.clientH, res.skinSurface.height);
    EXPECT_EQ(8, res.skin.bm.bmWidth);
}

TEST_F(RenderResources, ObjectsFollowTheTheme)
{
    Theme.Trace[TRACE_FAN_USAGE].Width = 3;
    Theme.Trace[TRACE_FAN_USAGE].Color = RGB(1, 2, 3);
    Theme.Font.Value.lfHeight = -23;
    Theme.Unit.Font.lfHeight = -9;
    Rebuild();
    const PANELRES& res = PanelRes;

    LOGPEN pen = {};
    ASSERT_TRUE(GetObjectA(res.pens[PEN_TRACE_FIRST + TRACE_FAN_USAGE].hpen, sizeof pen, &pen));
    EXPECT_EQ(3, pen.lopnWidth.x);
    EXPECT_EQ(RGB(1, 2, 3), pen.lopnColor);
    ASSERT_TRUE(GetObjectA(res.pens[PEN_FAULT].hpen, sizeof pen, &pen));
    EXPECT_EQ(32, pen.lopnWidth.x);
    EXPECT_EQ(RGB(255, 0, 0), pen.lopnColor);

    EXTLOGPEN grid = {};
    ASSERT_TRUE(GetObjectA(res.pens[PEN_GRID].hpen, sizeof grid, &grid));
    EXPECT_EQ(static_cast<DWORD>(PS_COSMETIC | PS_ALTERNATE), grid.elpPenStyle);
    EXPECT_EQ(GRID_COLOUR, grid.elpColor);

    EXPECT_EQ(-23, res.fonts[FONT_VALUE].lf.lfHeight);
    EXPECT_EQ(-9, res.fonts[FONT_UNIT].lf.lfHeight);

    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectA(res.backgroundBrush.hbrush, sizeof brush, &brush));
    EXPECT_EQ(BACKGROUND, brush.lbColor);
    ASSERT_TRUE(GetObjectA(res.frameBrush.hbrush, sizeof brush, &brush));
    EXPECT_EQ(FRAME_COLOUR, brush.lbColor);
    ASSERT_TRUE(GetObjectA(res.faceBrush.hbrush, sizeof brush, &brush));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), brush.lbColor);
}

// Widths and font sizes that would stall GDI are held to the panel where the objects are made;
// the theme keeps what the user wrote, and sensible values pass unchanged.
TEST_F(RenderResources, AbsurdPenWidthsAndFontSizesAreHeldToThePanel)
{
    Theme.Trace[TRACE_CORE_TEMP].Width = 1000000;
    Theme.Trace[TRACE_AMBIENT_TEMP].Width = -5;
    Theme.Trace[TRACE_CORE_CLOCK].Width = 12;
    Theme.Font.Value.lfHeight = -60000;
    Theme.Font.Title.lfHeight = INT_MIN;
    Theme.Font.Label.lfWidth = 1000000;
    Theme.Unit.Font.lfHeight = 40;
    for (THEMETRACE& trace : Theme.Trace)
        trace.Enable = 1;
    Rebuild();
    const PANELRES& res = PanelRes;
    const int expected[] = {res.graphW, 0, 12};
    for (int trace = 0; trace < 3; ++trace) {
        LOGPEN pen = {};
        ASSERT_TRUE(GetObjectA(res.pens[PEN_TRACE_FIRST + trace].hpen, sizeof pen, &pen));
        EXPECT_EQ(expected[trace], pen.lopnWidth.x) << trace;
    }
    EXPECT_EQ(-res.clientH, res.fonts[FONT_VALUE].lf.lfHeight);
    EXPECT_EQ(-res.clientH, res.fonts[FONT_TITLE].lf.lfHeight);
    EXPECT_EQ(res.clientW, res.fonts[FONT_LABEL].lf.lfWidth);
    EXPECT_EQ(40, res.fonts[FONT_UNIT].lf.lfHeight);
    EXPECT_EQ(1000000, Theme.Trace[TRACE_CORE_TEMP].Width);
    EXPECT_EQ(-60000, Theme.Font.Value.lfHeight);
}

// At the DPI the system made the panel at, the program's own layout is the system's: the client area
// and every control of the template, to the pixel. The value fields are kept in the order the
// mouse-over handler tests them.
TEST_F(RenderResources, LayoutAtTheWindowsDpiIsTheSystems)
{
    const PANELRES& res = PanelRes;
    RECT client = {};
    GetClientRect(Window(), &client);
    EXPECT_TRUE(EqualRect(&client, &res.clientRect));
    ASSERT_EQ(31, res.layout.count);
    for (int i = 0; i < res.layout.count; ++i) {
        const LAYOUTCONTROL& control = res.layout.controls[i];
        RECT system = {};
        ASSERT_TRUE(GetWindowRect(GetDlgItem(Window(), control.id), &system)) << control.id;
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&system), 2);
        EXPECT_TRUE(EqualRect(&system, &control.rect)) << control.id;
    }
    const RECT graph = Control(IDC_GRAPH);
    EXPECT_TRUE(EqualRect(&graph, &res.graphRect));
    EXPECT_EQ(graph.right - graph.left, res.graphW);
    EXPECT_EQ(graph.bottom - graph.top, res.graphH);
    const int fields[HOVER_FIELD_COUNT] = {1103, 1105, 1107, 1109, 1202, 1204, 1206, 1208};
    for (int field = 0; field < HOVER_FIELD_COUNT; ++field) {
        const RECT control = Control(fields[field]);
        EXPECT_TRUE(EqualRect(&control, &res.hotRect[field])) << fields[field];
    }
    RECT none = {};
    EXPECT_FALSE(PanelControlRect(4242, none));
}

TEST_F(RenderResources, FreeReleasesEverythingAndClearsTheHandles)
{
    UseSkinFile();
    Rebuild();
    WINFONT& versionFont = PanelRes.fonts[PANEL_FONTS_MADE];
    ASSERT_TRUE(versionFont.Create(Theme.Font.Title));
    const std::vector<HGDIOBJ> handles = BuiltHandles();
    FreeRenderResources();
    for (size_t i = 0; i < handles.size(); ++i)
        EXPECT_FALSE(Alive(handles[i])) << "handle " << i;
    for (HGDIOBJ handle : BuiltHandles())
        EXPECT_EQ(nullptr, handle);
    EXPECT_TRUE(Alive(versionFont.hfont)) << "the Version tab's fonts are not the panel's to free";
    versionFont.Close();
}

// Handle values can come back for later objects, so each set is checked right after its free,
// before anything new is made.
TEST_F(RenderResources, ManyRebuildsReleaseEverySet)
{
    UseSkinFile();
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(BuildRenderResources(Window())) << round;
        const std::vector<HGDIOBJ> handles = BuiltHandles();
        FreeRenderResources();
        int alive = 0;
        for (HGDIOBJ handle : handles)
            alive += Alive(handle);
        ASSERT_EQ(0, alive) << "round " << round;
    }
}

TEST_F(RenderResources, FreeingTwiceFreesNothingMore)
{
    FreeRenderResources();
    HPEN later = CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
    FreeRenderResources();
    EXPECT_TRUE(Alive(later));
    DeleteObject(later);
}

// A skin that is missing or refused shows the panel's plain background colour, not the skin
// surface's fresh content, and a colour key taken from the surface reads that colour.
TEST_F(RenderResources, MissingOrRefusedSkinShowsThePlainBackground)
{
    const std::string refused = dir.File("refused.bmp");
    ASSERT_TRUE(WriteBitmapFile(refused, 8, 8, 24, [](int, int) { return RGB(255, 255, 255); }));
    std::string bytes = testenv::ReadFile(refused);
    bytes[18] = '\x30';  // 8 wide becomes 12336 wide: more pixels than the file holds
    bytes[19] = '\x30';
    ASSERT_TRUE(testenv::WriteFile(refused, bytes));
    const COLORREF plain = RGB(12, 34, 56);
    for (const std::string& skin : {dir.File("absent.png"), refused}) {
        SCOPED_TRACE(skin);
        snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", skin.c_str());
        Theme.Skin.Enable = 1;
        Theme.Skin.Color = plain;
        FreeRenderResources();
        EXPECT_TRUE(BuildRenderResources(Window()));
        EXPECT_EQ(nullptr, PanelRes.skin.hbm);
        const PANELRES& res = PanelRes;
        EXPECT_EQ(plain, GetPixel(res.skinSurface.hdc, 0, 0));
        EXPECT_EQ(plain, GetPixel(res.skinSurface.hdc, res.clientW - 1, res.clientH - 1));
        Compose();
        const RECT whole = {0, 0, res.clientW, res.clientH};
        EXPECT_GT(CountColour(whole, plain), res.clientW * res.clientH * 9 / 10);
    }
}

TEST_F(RenderResources, SurfaceFailureStopsTheBuild)
{
    FreeRenderResources();
    const RECT normalClient = PanelRes.clientRect;
    PanelRes.clientRect = {0, 0, 200000, 200000};
    EXPECT_FALSE(BuildRenderResources(Window()));
    EXPECT_EQ(nullptr, PanelRes.fonts[FONT_TITLE].hfont);
    EXPECT_EQ(nullptr, PanelRes.pens[PEN_GRID].hpen);
    EXPECT_EQ(nullptr, PanelRes.backgroundBrush.hbrush);
    FreeRenderResources();
    PanelRes.clientRect = normalClient;
}

TEST_F(RenderResources, UpdateSectionIsReleasedAfterBuildAndFree)
{
    Rebuild();
    EXPECT_EQ(CS_RELEASED, UpdateSection.state);
    FreeRenderResources();
    EXPECT_EQ(CS_RELEASED, UpdateSection.state);
    EXPECT_TRUE(TryEnterCritSect(UpdateSection));
    LeaveCritSect(UpdateSection);
    ASSERT_TRUE(BuildRenderResources(Window()));
}

TEST_F(RenderResources, WithoutTheSectionBuildAndFreeStillWork)
{
    FreeRenderResources();
    DeleteCritSect(UpdateSection);
    EXPECT_TRUE(BuildRenderResources(Window()));
    EXPECT_NE(nullptr, PanelRes.backBuffer.hdc);
    FreeRenderResources();
    EXPECT_EQ(nullptr, PanelRes.backBuffer.hdc);
    EXPECT_EQ(CS_NONE, UpdateSection.state);
    CreateCritSect(UpdateSection, "UPDATE");
    ASSERT_TRUE(BuildRenderResources(Window()));
}

struct BUILDER {
    HWND window;
    HANDLE done;
    bool result;
};

DWORD WINAPI BuildOnThread(LPVOID parameter)
{
    BUILDER* builder = static_cast<BUILDER*>(parameter);
    FreeRenderResources();
    builder->result = BuildRenderResources(builder->window);
    SetEvent(builder->done);
    return 0;
}

// A paint holding the section (on another thread) is waited for, not interrupted.
TEST_F(RenderResources, RebuildWaitsForAPaintInProgress)
{
    ASSERT_TRUE(EnterCritSect(UpdateSection));
    BUILDER builder = {Window(), CreateEventA(nullptr, TRUE, FALSE, nullptr), false};
    HANDLE thread = CreateThread(nullptr, 0, BuildOnThread, &builder, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    // The wait counts only once the builder has reached the section and stands at its door.
    const DWORD start = GetTickCount();
    while (UpdateSection.state != CS_ACQUIRING && GetTickCount() - start < 30000)
        Sleep(10);
    ASSERT_EQ(CS_ACQUIRING, UpdateSection.state) << "the builder never reached the section";
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(builder.done, 300));
    EXPECT_NE(nullptr, PanelRes.backBuffer.hdc) << "freed while the paint held the section";
    LeaveCritSect(UpdateSection);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(builder.done, 30000));
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    CloseHandle(builder.done);
    EXPECT_TRUE(builder.result);
}

}  // namespace

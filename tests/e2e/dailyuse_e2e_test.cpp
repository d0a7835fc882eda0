#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "e2e/panelprocess.h"
#include "image/winimg.h"
#include "resources/resource.h"
#include "support/imagefiles.h"
#include "support/mask_bitmap_file.h"
#include "support/testenv.h"

using e2e::WaitFor;
using e2e::WindowText;

namespace {

const char IDENTITY[] = "N PCI-E 4096MB";
const COLORREF SKIN_COLOUR = RGB(201, 31, 167);

// The caption of a sample in the default taskbar format; every GPU here reads an ambient 45.
std::string Readings(int core) { return std::to_string(core) + "\xB0" "C/45\xB0" "C"; }

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

double Share(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    size_t count = 0;
    for (COLORREF pixel : pixels)
        count += pixel == colour;
    return pixels.empty() ? 0.0 : static_cast<double>(count) / static_cast<double>(pixels.size());
}

// The window's region holds the panel's middle but not `cut`.
bool CutAt(HWND window, POINT cut)
{
    RECT client;
    GetClientRect(window, &client);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(window, region) == COMPLEXREGION && !PtInRegion(region, cut.x, cut.y) &&
                        PtInRegion(region, client.right / 2, client.bottom / 2);
    DeleteObject(region);
    return shaped;
}

// The colour the layered window makes transparent; CLR_INVALID when it has no colour key.
COLORREF ColourKey(HWND window)
{
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    return GetLayeredWindowAttributes(window, &key, &alpha, &flags) && (flags & LWA_COLORKEY) ? key : CLR_INVALID;
}

bool Rectangular(HWND window)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool none = GetWindowRgn(window, region) == ERROR;
    DeleteObject(region);
    return none && ColourKey(window) == CLR_INVALID;
}

// The tests of this file run their panels on display 6, each test on a GPU of its own; gpuKeys add
// the test's readings, and the settings name the panel's own theme file.
struct Panel : e2e::RunningPanel {
    std::string theme = folder.File("theme.vkt");

    bool Start(unsigned int gpu, const std::string& settings, const std::string& gpuKeys = "",
               const std::string& displayKeys = "")
    {
        const e2e::GpuPair pair{6, gpu};
        return RunningPanel::Start(
            "[GLOBAL]\n" + pair.Keys() + settings + "[THEME]\nFile=" + theme + "\n",
            pair.Scenario("FullName=N\nBusType=3\nFrameBuffer=4194304\nSensors=2\nSensor0=1,1\nSensor1=2,8\n"
                          "Sensor1Temp=45\nCoolers=1\n" + gpuKeys, "", displayKeys));
    }
    void Command(WORD command) const { Send(WM_COMMAND, command); }
    bool ToolWindow() const { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; }
    RECT Frame() const
    {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    }
    RECT Control(int id) const { return e2e::PanelControlRect(window, id); }
    POINT OnScreen(POINT client) const
    {
        ClientToScreen(window, &client);
        return client;
    }
    // What the panel shows once the paint its last message asked for is done.
    std::vector<COLORREF> Pixels(const RECT& rect) const
    {
        UpdateWindow(window);
        HDC dc = GetDC(window);
        std::vector<COLORREF> pixels = e2e::DcPixels(dc, rect);
        ReleaseDC(window, dc);
        return pixels;
    }
    std::vector<COLORREF> Pixels() const
    {
        RECT client;
        GetClientRect(window, &client);
        return Pixels(client);
    }
    std::string Setting(const char* file, const char* section, const char* key) const
    {
        return e2e::ProfileValue(folder.File(file), section, key);
    }
    void Edit(const char* file, const char* section, const char* key, const std::string& value) const
    {
        WritePrivateProfileStringA(section, key, value.c_str(), folder.File(file).c_str());
    }
    // The pointer goes there too: a refresh drops the hovered field while the pointer is off the panel.
    void Hover(POINT client) const
    {
        const POINT screen = OnScreen(client);
        SetCursorPos(screen.x, screen.y);
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
};

// Real pointer input on the test program's own display. The pointer rests in the screen's corner,
// away from the centred panels, before and after a test that moves it.
struct Pointer {
    Pointer() { SetCursorPos(0, 0); }
    ~Pointer() { SetCursorPos(0, 0); }
    static void Input(DWORD flags, LONG dx = 0, LONG dy = 0)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        input.mi.dx = dx;
        input.mi.dy = dy;
        SendInput(1, &input, sizeof input);
    }
    // In one step: under Wine each step of the pointer comes back once more, late, through the X
    // server, so a path through other points could end at one of them.
    static void To(POINT screen)
    {
        const LONG width = GetSystemMetrics(SM_CXSCREEN);
        const LONG height = GetSystemMetrics(SM_CYSCREEN);
        Input(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (screen.x * 65536 + width - 1) / width,
              (screen.y * 65536 + height - 1) / height);
    }
};

bool MovingOrSizing(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMOVESIZE);
}

// Right-clicks the panel and picks an item of its menu with the keys, `downs` items down.
bool PickFromMenu(const Panel& panel, int downs)
{
    PostMessageA(panel.window, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    HWND menu = nullptr;
    if (!WaitFor([&] {
            menu = e2e::FindProcessWindow(panel.process.Id(), "#32768", nullptr);
            return menu && IsWindowVisible(menu);
        }))
        return false;
    for (int down = 0; down < downs; ++down)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitFor([&] { return !IsWindowVisible(menu); });
}

std::string LocalStamp()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    wsprintfA(stamp, "%04u/%02u/%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    return stamp;
}

// A skin of one colour and a mask that cuts the panel's top left corner away.
void WriteSkinAndMask(const Panel& panel)
{
    ASSERT_TRUE(testenv::WriteFile(panel.folder.File("SKIN.bmp"),
                                   imagefiles::BitmapFile(64, 48, std::vector<COLORREF>(64 * 48, SKIN_COLOUR))));
    std::vector<DWORD> mask(506 * 404, 0xFFFFFF);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            mask[y * 506 + x] = 0;
    ASSERT_TRUE(WriteMaskBitmap(panel.folder.File("MASK.BMP").c_str(), mask.data(), 506, 404));
}

}  // namespace

// Every toggle of the menu acts on the running panel at once; none reaches the files until
// "セーブ", and the exit writes nothing.
TEST(ContextMenu, TogglesActAtOnceAndReachTheFilesOnlyWhenSaved)
{
    Panel panel;
    WriteSkinAndMask(panel);
    panel.folder.Write("theme.vkt", "[SKIN]\nEnable=0\nFile=" + panel.folder.File("SKIN.bmp") +
                                        "\n[MASK]\nMode=0\nColor=1,2,3\nFile=" + panel.folder.File("MASK.BMP") + "\n");
    const std::string log = panel.folder.File("log.txt");
    ASSERT_TRUE(panel.Start(0, "Timer=1\nTaskbar=1\nStable=0\n[LOG]\nEnable=0\nFile=" + log + "\n"));
    const std::string settings = panel.folder.Read("VARNOK.CFG");
    const std::string theme = panel.folder.Read("theme.vkt");
    EXPECT_FALSE(testenv::FileExists(log));

    struct TOGGLE {
        WORD command;
        int menuDowns;  // picked from the real menu when not 0: "タスクバー表示" is the fourth item
        const char* file;
        const char* section;
        const char* key;
        const char* saved;  // none where a later mask mode replaces it
        std::function<bool()> shows;  // none for the fixed position: the drag test shows it
    };
    const TOGGLE toggles[] = {
        {CMD_TASKBAR, 4, "VARNOK.CFG", "GLOBAL", "Taskbar", "0", [&] { return panel.ToolWindow(); }},
        {CMD_STABLE, 0, "VARNOK.CFG", "GLOBAL", "Stable", "1", nullptr},
        {CMD_SKIN, 0, "theme.vkt", "SKIN", "Enable", "1", [&] { return Share(panel.Pixels(), SKIN_COLOUR) > 0.5; }},
        {CMD_MASK_ROUND, 0, "theme.vkt", "MASK", "Mode", nullptr, [&] { return CutAt(panel.window, {0, 0}); }},
        {CMD_MASK_AUTO, 0, "theme.vkt", "MASK", "Mode", nullptr,
         [&] { return ColourKey(panel.window) == SKIN_COLOUR; }},
        {CMD_MASK_COLOR, 0, "theme.vkt", "MASK", "Mode", nullptr,
         [&] { return ColourKey(panel.window) == RGB(1, 2, 3); }},
        {CMD_MASK_NONE, 0, "theme.vkt", "MASK", "Mode", nullptr, [&] { return Rectangular(panel.window); }},
        {CMD_MASK_BITMAP, 0, "theme.vkt", "MASK", "Mode", "4",
         [&] { return CutAt(panel.window, {20, 20}) && testenv::FileExists(panel.folder.File("MASK.BMP.RGN")); }},
        {CMD_LOG, 0, "VARNOK.CFG", "LOG", "Enable", "1",
         [&] { return e2e::CountOccurrences(panel.folder.Read("log.txt"), "\n") >= 2; }},
    };
    for (const TOGGLE& toggle : toggles) {
        SCOPED_TRACE(toggle.command);
        if (toggle.menuDowns)
            ASSERT_TRUE(PickFromMenu(panel, toggle.menuDowns));
        else
            panel.Command(toggle.command);
        if (toggle.shows) {
            EXPECT_TRUE(WaitFor(toggle.shows));
        }
        EXPECT_EQ(settings, panel.folder.Read("VARNOK.CFG"));
        EXPECT_EQ(theme, panel.folder.Read("theme.vkt"));
    }

    panel.Command(CMD_CONFIG_SAVE);
    for (const TOGGLE& toggle : toggles) {
        if (toggle.saved) {
            EXPECT_EQ(toggle.saved, panel.Setting(toggle.file, toggle.section, toggle.key)) << toggle.command;
        }
    }
    const std::string savedSettings = panel.folder.Read("VARNOK.CFG");
    const std::string savedTheme = panel.folder.Read("theme.vkt");
    for (WORD command : {CMD_TASKBAR, CMD_STABLE, CMD_SKIN, CMD_MASK_ROUND, CMD_LOG})
        panel.Command(command);
    EXPECT_TRUE(panel.Exit());
    EXPECT_EQ(savedSettings, panel.folder.Read("VARNOK.CFG"));
    EXPECT_EQ(savedTheme, panel.folder.Read("theme.vkt"));
}

// Files edited by hand while the panel runs take effect with "ロード", not before.
TEST(ContextMenu, ReloadTakesTheFilesAsEditedByHand)
{
    Panel panel;
    WriteSkinAndMask(panel);
    panel.folder.Write("theme.vkt", "[SKIN]\nEnable=0\nFile=" + panel.folder.File("SKIN.bmp") + "\n");
    ASSERT_TRUE(panel.Start(1, "Timer=1\n[LOG]\nFile=" + panel.folder.File("log.txt") + "\n"));
    EXPECT_FALSE(panel.ToolWindow());

    panel.Edit("VARNOK.CFG", "GLOBAL", "Taskbar", "0");
    panel.Edit("VARNOK.CFG", "LOG", "Enable", "1");
    panel.Edit("theme.vkt", "SKIN", "Enable", "1");
    panel.Edit("theme.vkt", "MASK", "Mode", "1");
    EXPECT_FALSE(panel.ToolWindow());
    EXPECT_TRUE(Rectangular(panel.window));
    panel.Command(CMD_CONFIG_LOAD);
    EXPECT_TRUE(WaitFor([&] { return panel.ToolWindow(); }));
    EXPECT_TRUE(CutAt(panel.window, {0, 0}));
    EXPECT_TRUE(WaitFor([&] { return Share(panel.Pixels(), SKIN_COLOUR) > 0.5; }));
    EXPECT_TRUE(WaitFor([&] { return e2e::CountOccurrences(panel.folder.Read("log.txt"), "\n") >= 2; }));
    EXPECT_TRUE(panel.Exit());
}

// A fixed panel takes the press and the moves as plain mouse messages: the last move, over the
// graph's first sample, puts that sample in the caption, and the panel stays. Otherwise it follows.
TEST(Dragging, ThePanelFollowsALeftButtonDragUnlessItsPositionIsFixed)
{
    Panel panel;
    ASSERT_TRUE(panel.Start(2, "Timer=120\nStable=1\n", "Sensor0Temp=61\n"));
    Pointer pointer;
    const RECT graph = panel.Control(IDC_GRAPH);
    const int row = (graph.top + graph.bottom) / 2;
    auto dragFixed = [&] {
        const RECT before = panel.Frame();
        panel.Hover({graph.left + 200, row});
        EXPECT_TRUE(WaitFor([&] { return WindowText(panel.window) == IDENTITY; }));
        Pointer::Input(MOUSEEVENTF_LEFTDOWN);
        Pointer::To(panel.OnScreen({graph.left, row}));
        // With the button still down: a move begun by the press would take the pointer's moves.
        EXPECT_TRUE(WaitFor([&] { return WindowText(panel.window) == Readings(61); }));
        Pointer::Input(MOUSEEVENTF_LEFTUP);
        const RECT after = panel.Frame();
        EXPECT_TRUE(EqualRect(&before, &after));
    };
    dragFixed();

    panel.Command(CMD_STABLE);
    const RECT before = panel.Frame();
    const POINT start = panel.OnScreen(Centre(panel.Control(IDC_TITLE)));
    Pointer::To(start);
    Pointer::Input(MOUSEEVENTF_LEFTDOWN);
    // The move follows the pointer from where it stands when the move begins.
    ASSERT_TRUE(WaitFor([&] { return MovingOrSizing(panel.window); }));
    Pointer::To({start.x + 30, start.y + 40});
    Pointer::Input(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitFor([&] {
        const RECT now = panel.Frame();
        return now.left == before.left + 30 && now.top == before.top + 40 && !MovingOrSizing(panel.window);
    })) << "moved by " << panel.Frame().left - before.left << "," << panel.Frame().top - before.top;

    panel.Command(CMD_STABLE);
    dragFixed();
    // The dragged position reaches the file with the save.
    panel.Command(CMD_CONFIG_SAVE);
    EXPECT_EQ(std::to_string(before.left + 30), panel.Setting("VARNOK.CFG", "GLOBAL", "X"));
    EXPECT_EQ(std::to_string(before.top + 40), panel.Setting("VARNOK.CFG", "GLOBAL", "Y"));
    EXPECT_TRUE(panel.Exit());
}

// Three measurements with falling readings: each field shows its maximum (the first) while
// hovered, the fan its speed, made to read like the second measurement's level. The graph puts
// the hovered sample in the caption.
TEST(Mouse, HoveredFieldsShowMaximaAndFanSpeedTheGraphItsSampleResetLowersTheTemperatureMaximum)
{
    Panel panel;
    panel.folder.Write("theme.vkt", "[LABEL]\nUnitSpeed=%\n");
    ASSERT_TRUE(panel.Start(3, "Timer=120\n",
                            "Sensor0Temp=70,64,62,61\nUsageCore=80,50,20\nUsageMemory=70,40,10\nUsageVideo=60,30,5\n"
                            "ClockCore=1500000,1200000,1000000\nClockMemory=3500000,3000000,2500000\n"
                            "ClockShader=2000000,1800000,1600000\nFanLevel=50,40,30\nTach=99,99,40\n",
                            "MemoryDedicated=4194304\nMemoryAvailable=1000000,2000000,3000000\n"));
    Pointer pointer;
    struct FIELD {
        int id;
        size_t hovered;  // the measurement whose plain value the hovered field shows
    };
    const FIELD fields[] = {{IDC_USAGE_CORE_VALUE, 0},  {IDC_USAGE_MEMORY_VALUE, 0}, {IDC_USAGE_VIDEO_VALUE, 0},
                            {IDC_MEMORY_USED_VALUE, 0}, {IDC_CLOCK_CORE_VALUE, 0},   {IDC_CLOCK_MEMORY_VALUE, 0},
                            {IDC_CLOCK_SHADER_VALUE, 0}, {IDC_FAN_VALUE, 1}};
    // Wine shows a paint a moment later: a field is read until it shows text, then a new value.
    std::vector<COLORREF> shown[3][8];
    for (size_t measurement = 0; measurement < 3; ++measurement) {
        if (measurement)
            panel.Command(CMD_REFRESH);
        EXPECT_TRUE(WaitFor([&] {
            for (size_t field = 0; field < 8; ++field) {
                std::vector<COLORREF>& pixels = shown[measurement][field];
                pixels = panel.Pixels(panel.Control(fields[field].id));
                const bool drawn = !pixels.empty() && Share(pixels, pixels[0]) < 1.0;
                if (!drawn || (measurement && pixels == shown[measurement - 1][field]))
                    return false;
            }
            return true;
        })) << measurement;
    }
    const POINT title = Centre(panel.Control(IDC_TITLE));
    for (size_t field = 0; field < 8; ++field) {
        SCOPED_TRACE(fields[field].id);
        const RECT rect = panel.Control(fields[field].id);
        panel.Hover(Centre(rect));
        EXPECT_TRUE(WaitFor([&] { return panel.Pixels(rect) == shown[fields[field].hovered][field]; }));
        panel.Hover(title);
        EXPECT_TRUE(WaitFor([&] { return panel.Pixels(rect) == shown[2][field]; }));
    }

    // Each sample has a column of a 256th of the graph's width.
    const RECT graph = panel.Control(IDC_GRAPH);
    const float column = static_cast<float>(graph.right - graph.left) / 256.0f;
    const int row = (graph.top + graph.bottom) / 2;
    for (int sample : {0, 2}) {
        panel.Hover({static_cast<LONG>(std::ceil(static_cast<float>(graph.left) + sample * column)), row});
        EXPECT_TRUE(WaitFor([&] { return WindowText(panel.window) == Readings(sample ? 61 : 64); })) << sample;
    }
    panel.Hover({graph.left + 100, row});
    EXPECT_TRUE(WaitFor([&] { return WindowText(panel.window) == IDENTITY; }));

    const RECT current = panel.Control(IDC_CORE_ROW_FIRST + 3);
    const RECT maximum = panel.Control(IDC_CORE_ROW_FIRST + 5);
    EXPECT_NE(panel.Pixels(current), panel.Pixels(maximum));
    panel.Command(CMD_RESET_MAXIMUM);
    EXPECT_TRUE(WaitFor([&] { return panel.Pixels(current) == panel.Pixels(maximum); }));
    EXPECT_TRUE(panel.Exit());
}

// The second measurement reads 200 degrees, which is no valid sample and writes no line.
TEST(MeasurementLog, EachValidMeasurementAppendsADatedLineOfItsReadings)
{
    Panel panel;
    const std::string before = LocalStamp();
    ASSERT_TRUE(panel.Start(4, "Timer=120\n[LOG]\nEnable=1\nFile=" + panel.folder.File("log.txt") + "\n",
                            "Sensor0Temp=70,66,200,67\nClockCore=1126000\nClockMemory=3505000\nClockShader=2314700\n"
                            "Tach=1600\nFanLevel=45\n"));
    panel.Command(CMD_REFRESH);
    panel.Command(CMD_REFRESH);
    const std::string after = LocalStamp();
    const std::string log = panel.folder.Read("log.txt");
    size_t at = 0;
    for (const char* readings : {" 66, 45,1126.0,7010.0,2314.7, 1600, 45", " 67, 45,1126.0,7010.0,2314.7, 1600, 45"}) {
        const size_t end = log.find("\r\n", at);
        ASSERT_NE(std::string::npos, end) << log;
        const std::string line = log.substr(at, end - at);
        at = end + 2;
        std::string stamp = line.substr(0, 19);
        EXPECT_TRUE(before <= stamp && stamp <= after) << line;
        for (char& c : stamp)
            c = c >= '0' && c <= '9' ? '9' : c;
        EXPECT_EQ("9999/99/99 99:99:99", stamp) << line;
        EXPECT_EQ(std::string("  ") + readings, line.substr(19)) << line;
    }
    EXPECT_EQ(log.size(), at) << log;
    EXPECT_TRUE(panel.Exit());
}

// Minimised, the panel has a taskbar button with the readings as its text, also when
// "タスクバー表示" is off; restored, it is as it was.
TEST(Minimising, DoubleClickOrTheMenuMinimisesWithAButtonEvenWhenTheTaskbarIsOff)
{
    Panel panel;
    ASSERT_TRUE(panel.Start(5, "Timer=120\nTaskbar=1\n", "Sensor0Temp=65\n"));
    struct WAY {
        const char* name;
        bool switchTaskbar;
        bool doubleClick;
    };
    bool taskbar = true;
    const WAY ways[] = {{"double-click", false, true}, {"double-click, no button", true, true},
                        {"menu, no button", false, false}};
    for (const WAY& way : ways) {
        SCOPED_TRACE(way.name);
        if (way.switchTaskbar) {
            panel.Command(CMD_TASKBAR);
            taskbar = !taskbar;
        }
        auto minimise = [&] {
            if (way.doubleClick)
                PostMessageA(panel.window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 100));
            else
                panel.Command(CMD_MINIMIZE);
        };
        auto minimised = [&](DWORD limitMs) {
            return WaitFor([&] { return IsIconic(panel.window) && WindowText(panel.window) == Readings(65); },
                           limitMs);
        };
        minimise();
        // Wine without a window manager restores a window that is minimised before the X server's
        // answer to its start-up placement has come in; a second double-click on a minimised panel
        // changes nothing.
        bool iconic = minimised(&way == ways ? 5000 : 60000);
        if (!iconic && &way == ways) {
            minimise();
            iconic = minimised(60000);
        }
        EXPECT_TRUE(iconic) << "iconic " << IsIconic(panel.window) << ", caption " << WindowText(panel.window);
        EXPECT_FALSE(panel.ToolWindow());
        PostMessageA(panel.window, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(WaitFor([&] {
            return !IsIconic(panel.window) && panel.ToolWindow() == !taskbar && WindowText(panel.window) == IDENTITY;
        }));
    }
    EXPECT_TRUE(panel.Exit());
}

// Each sample theme, started with its images beside it as the packages hold them, shows its skin
// (or its plain colour) behind the texts and gives the panel its shape; the bitmap mask's region
// is kept in the cache file beside the mask.
TEST(SampleThemes, EachLoadsPaintsItsSkinAndShapesThePanel)
{
    struct SAMPLE {
        const char* theme;
        const char* skin;
        COLORREF plain;
        POINT cut;  // a point the shape leaves out; x -1 for the plain rectangle
        const char* cache;
    };
    const SAMPLE samples[] = {
        {"aurora.VKT", "aurora.png", 0, {-1, 0}, nullptr},
        {"capsule.VKT", "capsule.png", 0, {0, 0}, "capsule-mask.bmp.RGN"},
        {"dark.VKT", nullptr, RGB(28, 30, 36), {0, 0}, nullptr},
    };
    const std::string themes = testenv::PathFromEnvironment("VARNOK_BUILD_DIR") + "\\themes\\";
    for (const SAMPLE& sample : samples) {
        SCOPED_TRACE(sample.theme);
        Panel panel;
        for (const char* file :
             {"aurora.VKT", "aurora.png", "capsule.VKT", "capsule.png", "capsule-mask.bmp", "dark.VKT"})
            ASSERT_TRUE(CopyFileA((themes + file).c_str(), panel.folder.File(file).c_str(), FALSE)) << file;
        panel.theme = panel.folder.File(sample.theme);
        ASSERT_TRUE(panel.Start(6, "Timer=120\n"));

        RECT client;
        GetClientRect(panel.window, &client);
        std::vector<COLORREF> skin(static_cast<size_t>(client.right * client.bottom), sample.plain);
        if (sample.skin) {
            WINIMG image;
            ASSERT_EQ(1, image.Load(panel.folder.File(sample.skin).c_str()));
            // Drawn at the panel's size, so that the panel shows it pixel for pixel.
            ASSERT_EQ(client.right, image.bm.bmWidth);
            ASSERT_EQ(client.bottom, image.bm.bmHeight);
            skin = e2e::DcPixels(image.hdc, client);
        }
        EXPECT_TRUE(sample.cut.x < 0 ? Rectangular(panel.window) : CutAt(panel.window, sample.cut));
        HRGN region = CreateRectRgn(client.left, client.top, client.right, client.bottom);
        GetWindowRgn(panel.window, region);
        size_t inside = 0;
        size_t same = 0;
        EXPECT_TRUE(WaitFor([&] {
            const std::vector<COLORREF> shown = panel.Pixels();
            inside = same = 0;
            for (size_t i = 0; i < shown.size(); ++i) {
                if (PtInRegion(region, static_cast<int>(i % client.right), static_cast<int>(i / client.right))) {
                    ++inside;
                    same += shown[i] == skin[i];
                }
            }
            return same > inside * 3 / 5;
        })) << same << " of " << inside;
        DeleteObject(region);

        if (sample.cache) {
            const std::string cache = panel.folder.Read(sample.cache);
            ASSERT_GE(cache.size(), 48u);
            DWORD header[4];
            memcpy(header, cache.data(), sizeof header);
            EXPECT_EQ(32u, header[0]);
            EXPECT_EQ(1u, header[1]);
            EXPECT_EQ(cache.size(), 32 + 16 * static_cast<size_t>(header[2]));
        }
        EXPECT_TRUE(panel.Exit());
    }
}

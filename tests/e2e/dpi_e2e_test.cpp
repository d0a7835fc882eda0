// The panel at 96, 120 and 144 dpi: Wine gives every program it starts the DPI of
// HKCU\Control Panel\Desktop\LogPixels, and treats it as per-monitor aware.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/settingsdriver.h"
#include "render/layout.h"
#include "resources/resource.h"
#include "support/testenv.h"

namespace {

// Only programs started while it lives see the DPI; the prefix gets its value of before back.
class LOGPIXELS {
public:
    explicit LOGPIXELS(DWORD dpi)
    {
        DWORD size = sizeof old_;
        had_ = !RegGetValueA(HKEY_CURRENT_USER, KEY, "LogPixels", RRF_RT_REG_DWORD, nullptr, &old_, &size);
        EXPECT_FALSE(RegSetKeyValueA(HKEY_CURRENT_USER, KEY, "LogPixels", REG_DWORD, &dpi, sizeof dpi));
    }
    ~LOGPIXELS()
    {
        if (had_)
            RegSetKeyValueA(HKEY_CURRENT_USER, KEY, "LogPixels", REG_DWORD, &old_, sizeof old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, KEY, "LogPixels");
    }

private:
    static constexpr const char* KEY = "Control Panel\\Desktop";
    DWORD old_ = 0;
    bool had_ = false;
};

// The client area as the window's own device context holds it, top row first, 0x00RRGGBB.
struct FRAME {
    int width;
    int height;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

FRAME Capture(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client = {};
    GetClientRect(window, &client);
    FRAME frame = {client.right, client.bottom, std::vector<DWORD>(static_cast<size_t>(client.right) * client.bottom)};
    BITMAPINFO info = {};
    info.bmiHeader = BITMAPINFOHEADER{sizeof info.bmiHeader, frame.width, -frame.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(window);
    HBITMAP copy = CreateCompatibleBitmap(dc, frame.width, frame.height);
    HDC copyDc = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(copyDc, copy);
    BitBlt(copyDc, 0, 0, frame.width, frame.height, dc, 0, 0, SRCCOPY);
    SelectObject(copyDc, old);
    GetDIBits(copyDc, copy, 0, frame.height, frame.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(copyDc);
    DeleteObject(copy);
    ReleaseDC(window, dc);
    return frame;
}

// Readings that never change; the timer never ticks during a test: the history grows only by the
// refreshes asked for. On display 9, at (0, 0), the cursor far away.
struct DpiPanel : e2e::SettingsPanel {
    bool StartWith(unsigned int gpu, const std::string& theme, int refreshes)
    {
        folder.Write("theme.vkt", theme);
        const e2e::GpuPair pair{9, gpu};
        SetCursorPos(1279, 1023);
        if (!RunningPanel::Start("[GLOBAL]\n" + pair.Keys() + "Timer=120\nX=0\nY=0\n[THEME]\nFile=" + themeFile + "\n",
                                 pair.Scenario("FullName=GeForce DPI\nBusType=3\nFrameBuffer=4194304\nSensors=1\n"
                                               "Sensor0=1,1\nSensor0Temp=57\nClockCore=1126000\nBoostCore=1216000\n"
                                               "UsageCore=45\nUsageMemory=12\nTach=1600\nFanLevel=40\n")))
            return false;
        for (int i = 0; i < refreshes; ++i)
            Send(WM_COMMAND, CMD_REFRESH);
        return true;
    }
};

}  // namespace

// The default theme at 96 dpi: pixel for pixel the frame the program drew before it knew of DPIs
// (the hash was taken from that program, on this set-up).
TEST(PanelAtDpi, At96DpiTheFrameIsTheOneOfBefore)
{
    LOGPIXELS dpi(96);
    DpiPanel panel;
    ASSERT_TRUE(panel.StartWith(0, "", 40));
    const FRAME frame = Capture(panel.window);
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a over the size and the pixels
    for (DWORD word : {static_cast<DWORD>(frame.width), static_cast<DWORD>(frame.height)})
        hash = (hash ^ word) * 1099511628211ull;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            hash = (hash ^ frame.At(x, y)) * 1099511628211ull;
    EXPECT_EQ(0x9fddec007cbdd06full, hash) << std::hex << hash;
    EXPECT_TRUE(panel.Exit());
}

// Title text and a trace three 96-dpi pixels wide grow with the DPI, the panel's frames lie where its
// own layout at that DPI puts them, and no pixel of the blocks' texts leaves their frames.
TEST(PanelAtDpi, TextsAndLinesGrowInProportionAndStayInsideTheirBlocks)
{
    const DWORD TITLE = 0xFF0000, TEXTS[] = {0x00FF00, 0x0000FF, 0xFFFF00}, FRAMES = 0xFF00FF, TRACE = 0x00FFFF;
    const std::string theme =
        "[COLOR]\nTitle=255,0,0\nFrame=0,255,0\nLabel=0,0,255\nValue=255,255,0\n[SHADOW]\nEnableTitle=0\n"
        "EnableFrame=0\nEnableLabel=0\nEnableValue=0\n[SKIN]\nColor=0,0,0\n[FRAME]\nColor=255,0,255\n[UNIT]\n"
        "Enable=0\n[GRID]\nEnable=0\n[CORE TEMP]\nWidth=3\nColor=0,255,255\n";
    std::string disabled;
    for (const char* trace : {"CORE CLOCK", "MEMORY CLOCK", "SHADER CLOCK", "CORE USAGE", "MEMORY USAGE",
                              "VIDEO USAGE", "FAN USAGE"})
        disabled += "[" + std::string(trace) + "]\nEnable=0\n";
    const int groups[3] = {IDC_CORE_GROUP, IDC_MIDDLE_GROUP, IDC_CLOCK_GROUP};
    int titleAt96 = 0;
    unsigned int gpu = 1;
    for (UINT dpi : {96u, 120u, 144u}) {
        SCOPED_TRACE(dpi);
        LOGPIXELS pixels(dpi);
        DpiPanel panel;
        ASSERT_TRUE(panel.StartWith(gpu++, theme + disabled, 40));
        const FRAME frame = Capture(panel.window);
        DIALOGLAYOUT layout;
        ASSERT_TRUE(LayOutDialogResource(testenv::ProgramResources(), IDD_PANEL, dpi, layout));
        ASSERT_EQ(layout.client.right, frame.width);
        ASSERT_EQ(layout.client.bottom, frame.height);
        RECT blocks[3] = {};
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(LayoutRect(layout, groups[i], blocks[i]));
            EXPECT_EQ(FRAMES, frame.At(blocks[i].left, blocks[i].bottom - 2));
            EXPECT_EQ(FRAMES, frame.At(blocks[i].right - 1, blocks[i].bottom - 2));
        }
        int titleTop = frame.height, titleBottom = 0, traceLeft = frame.width, traceRight = 0, texts = 0, outside = 0;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const DWORD pixel = frame.At(x, y);
                const POINT at = {x, y};
                if (pixel == TITLE) {
                    titleTop = y < titleTop ? y : titleTop;
                    titleBottom = y > titleBottom ? y : titleBottom;
                } else if (pixel == TRACE) {
                    traceLeft = x < traceLeft ? x : traceLeft;
                    traceRight = x > traceRight ? x : traceRight;
                } else if (pixel == TEXTS[0] || pixel == TEXTS[1] || pixel == TEXTS[2]) {
                    ++texts;
                    outside += !PtInRect(&blocks[0], at) && !PtInRect(&blocks[1], at) && !PtInRect(&blocks[2], at);
                }
            }
        }
        int trace = 0;
        for (int y = 0; y < frame.height; ++y)
            trace += frame.At((traceLeft + traceRight) / 2, y) == TRACE;
        const int title = titleBottom - titleTop + 1;
        titleAt96 = dpi == 96 ? title : titleAt96;
        printf("%u dpi: panel %dx%d, title text %d px high, trace %d px wide\n", dpi, frame.width, frame.height,
               title, trace);
        EXPECT_EQ(MulDiv(3, static_cast<int>(dpi), 96), trace);
        // Exact pixels of antialiased text: a row more or less at either end.
        EXPECT_NEAR(titleAt96 * dpi / 96.0, title, 2.0);
        EXPECT_GT(texts, 1000);
        EXPECT_EQ(0, outside) << "of " << texts;
        EXPECT_TRUE(panel.Exit());
    }
}

// At 144 dpi the chooser shows the stored 16-pixel font as 12 points, and 18 points chosen there are
// stored as their 24 pixels at 96 dpi, not 36 that the panel would scale once more.
TEST(PanelAtDpi, AFontChosenAt144DpiIsStoredIn96DpiPixels)
{
    LOGPIXELS pixels(144);
    DpiPanel panel;
    // A face the chooser lists, so that it starts on the stored font.
    ASSERT_TRUE(panel.StartWith(5, "[FONT]\nTitle=-16,0,0,0,400,0,0,0,128,0,0,0,0,IPAゴシック\n", 0));
    HWND dialog = panel.OpenDialog();
    HWND page = e2e::PageWith(dialog, IDC_FONT_TITLE_BUTTON);
    ASSERT_NE(nullptr, page);
    PostMessageA(page, WM_COMMAND, IDC_FONT_TITLE_BUTTON,
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_FONT_TITLE_BUTTON)));
    const int SIZES = 0x472;  // the chooser's point sizes, each item's data its size
    HWND chooser = nullptr;
    ASSERT_TRUE(e2e::WaitFor([&] {
        for (HWND window : e2e::TopLevelWindows(panel.process.Id()))
            chooser = window != dialog && GetDlgItem(window, SIZES) ? window : chooser;
        // Visible once its set-up, which selects the stored size, has run.
        return chooser && IsWindowVisible(chooser);
    }));
    HWND sizes = GetDlgItem(chooser, SIZES);
    EXPECT_EQ(12, SendMessageA(sizes, CB_GETITEMDATA, SendMessageA(sizes, CB_GETCURSEL, 0, 0), 0));
    for (LRESULT item = SendMessageA(sizes, CB_GETCOUNT, 0, 0) - 1; item >= 0; --item)
        if (SendMessageA(sizes, CB_GETITEMDATA, item, 0) == 18)
            SendMessageA(sizes, CB_SETCURSEL, item, 0);
    SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(SIZES, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitGone(chooser));
    e2e::Press(dialog, IDOK);
    const std::string stored = e2e::ProfileValue(panel.themeFile, "FONT", "Title");
    EXPECT_EQ(-24, atoi(stored.c_str())) << stored;
    EXPECT_TRUE(panel.Exit());
}

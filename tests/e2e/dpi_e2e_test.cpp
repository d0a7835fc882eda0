// The panel at 96, 120 and 144 dpi under Wine, which gives every program it starts the DPI of
// HKCU\Control Panel\Desktop\LogPixels and treats it as per-monitor aware: texts and lines grow in
// proportion, texts stay inside their blocks, a font chosen at 144 dpi is stored at 96, and at 96
// dpi the frame is the one the program drew before it knew of DPIs.
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

using e2e::WaitFor;

namespace {

// Only programs started while it lives see the DPI; the value is put back as it was when it goes.
class LOGPIXELS {
public:
    explicit LOGPIXELS(DWORD dpi)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        set_ = RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
               ERROR_SUCCESS;
    }
    ~LOGPIXELS()
    {
        if (had_)
            RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else
            RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }
    LOGPIXELS(const LOGPIXELS&) = delete;
    LOGPIXELS& operator=(const LOGPIXELS&) = delete;

    bool Set() const { return set_; }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
    bool set_ = false;
};

// Readings that never change, so that every frame of a history of the same length is the same.
const char READINGS[] =
    "FullName=GeForce DPI\nBusType=3\nFrameBuffer=4194304\nSensors=1\nSensor0=1,1\nSensor0Temp=57\n"
    "ClockCore=1126000\nClockMemory=3505000\nBoostCore=1216000\nBoostMemory=3505000\nUsageCore=45\n"
    "UsageMemory=12\nUsageVideo=0\nTach=1600\nFanLevel=40\n";

// The client area of a window as its own device context holds it, top row first.
struct FRAME {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;

    COLORREF At(int x, int y) const
    {
        const DWORD pixel = pixels[static_cast<size_t>(y) * width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
};

FRAME Capture(HWND window)
{
    FRAME frame;
    // The last measurement's frame reaches the window before it is read.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client = {};
    GetClientRect(window, &client);
    frame.width = client.right;
    frame.height = client.bottom;
    frame.pixels.assign(static_cast<size_t>(frame.width) * frame.height, 0);
    HDC source = GetDC(window);
    HDC copy = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -frame.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(copy, bitmap);
    if (bits && BitBlt(copy, 0, 0, frame.width, frame.height, source, 0, 0, SRCCOPY))
        memcpy(frame.pixels.data(), bits, frame.pixels.size() * sizeof(DWORD));
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(window, source);
    return frame;
}

// FNV-1a over the size and every pixel's colour.
unsigned long long FrameHash(const FRAME& frame)
{
    unsigned long long hash = 14695981039346656037ull;
    auto add = [&hash](DWORD value) {
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (value >> (8 * byte)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    add(static_cast<DWORD>(frame.width));
    add(static_cast<DWORD>(frame.height));
    for (DWORD pixel : frame.pixels)
        add(pixel & 0xFFFFFF);
    return hash;
}

// A panel on display 9, each test on a GPU of its own, at (0, 0) with the cursor far from it, its
// timer too slow to tick during a test: its history grows only by the refreshes a test asks for.
struct DpiPanel : e2e::SettingsPanel {
    bool StartWith(unsigned int gpu, const std::string& theme, int refreshes)
    {
        folder.Write("theme.vkt", theme);
        const e2e::GpuPair pair{9, gpu};
        SetCursorPos(1279, 1023);
        if (!RunningPanel::Start("[GLOBAL]\n" + pair.Keys() + "Timer=120\nX=0\nY=0\n[THEME]\nFile=" + themeFile + "\n",
                                 pair.Scenario(READINGS)))
            return false;
        for (int i = 0; i < refreshes; ++i)
            Send(WM_COMMAND, CMD_REFRESH);
        return true;
    }
};

}  // namespace

// The default theme at 96 dpi, 41 samples in the history: the same frame, pixel for pixel, as
// the program drew before it was DPI aware (the hash was taken from that program, on this display).
TEST(PanelAtDpi, At96DpiTheFrameIsTheOneOfBefore)
{
    LOGPIXELS dpi(96);
    ASSERT_TRUE(dpi.Set());
    DpiPanel panel;
    ASSERT_TRUE(panel.StartWith(0, "", 40));
    const FRAME frame = Capture(panel.window);
    EXPECT_EQ(506, frame.width);
    EXPECT_EQ(404, frame.height);
    EXPECT_EQ(0x9e757783b1ae40adull, FrameHash(frame)) << std::hex << FrameHash(frame);
    EXPECT_TRUE(panel.Exit());
}

namespace {

constexpr COLORREF TITLE = RGB(255, 0, 0);
constexpr COLORREF HEADING = RGB(0, 255, 0);
constexpr COLORREF LABEL = RGB(0, 0, 255);
constexpr COLORREF VALUE = RGB(255, 255, 0);
constexpr COLORREF FRAME_LINE = RGB(255, 0, 255);
constexpr COLORREF TRACE = RGB(0, 255, 255);

// Texts without shadows, frames, one trace three 96-dpi pixels wide, each in a colour of its own on
// black; no grid, no scale.
const char MEASURED_THEME[] =
    "[COLOR]\nTitle=255,0,0\nFrame=0,255,0\nLabel=0,0,255\nValue=255,255,0\n"
    "[SHADOW]\nEnableTitle=0\nEnableFrame=0\nEnableLabel=0\nEnableValue=0\n"
    "[SKIN]\nEnable=0\nColor=0,0,0\n[FRAME]\nEnable=1\nColor=255,0,255\n[UNIT]\nEnable=0\n[GRID]\nEnable=0\n"
    "[CORE TEMP]\nEnable=1\nWidth=3\nColor=0,255,255\n[CORE CLOCK]\nEnable=0\n[MEMORY CLOCK]\nEnable=0\n"
    "[SHADER CLOCK]\nEnable=0\n[CORE USAGE]\nEnable=0\n[MEMORY USAGE]\nEnable=0\n[VIDEO USAGE]\nEnable=0\n"
    "[FAN USAGE]\nEnable=0\n";

bool Inside(const RECT& rect, int x, int y) { return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom; }

struct MEASURED {
    SIZE panel;
    int titleHeight;  // rows of the title band holding title text
    int traceWidth;   // rows of the trace in the middle of its run
};

MEASURED Measure(const FRAME& frame, const DIALOGLAYOUT& layout)
{
    MEASURED measured = {{frame.width, frame.height}, 0, 0};
    RECT title = {};
    LayoutRect(layout, IDC_TITLE, title);
    int top = frame.height;
    int bottom = -1;
    int traceLeft = frame.width;
    int traceRight = -1;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (frame.At(x, y) == TITLE && Inside(title, x, y)) {
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
            if (frame.At(x, y) == TRACE) {
                traceLeft = x < traceLeft ? x : traceLeft;
                traceRight = x > traceRight ? x : traceRight;
            }
        }
    }
    measured.titleHeight = bottom - top + 1;
    for (int y = 0; traceRight >= 0 && y < frame.height; ++y)
        measured.traceWidth += frame.At((traceLeft + traceRight) / 2, y) == TRACE;
    return measured;
}

}  // namespace

// At 96, 120 and 144 dpi the panel's size, its title text and a trace three 96-dpi pixels wide grow
// with the DPI, every text of a block stays inside the block's frame, and the frames lie where the
// panel's own layout at that DPI puts them.
TEST(PanelAtDpi, TextsAndLinesGrowInProportionAndStayInsideTheirBlocks)
{
    MEASURED at96 = {};
    unsigned int gpu = 1;
    for (UINT dpi : {96u, 120u, 144u}) {
        SCOPED_TRACE(dpi);
        LOGPIXELS pixels(dpi);
        ASSERT_TRUE(pixels.Set());
        DpiPanel panel;
        ASSERT_TRUE(panel.StartWith(gpu++, MEASURED_THEME, 40));
        const FRAME frame = Capture(panel.window);
        DIALOGLAYOUT layout;
        ASSERT_TRUE(LayOutDialogResource(testenv::ProgramResources(), IDD_PANEL, dpi, layout));
        EXPECT_EQ(layout.client.right, frame.width);
        EXPECT_EQ(layout.client.bottom, frame.height);

        const MEASURED measured = Measure(frame, layout);
        printf("%u dpi: panel %ldx%ld, title text %d px high, trace %d px wide\n", dpi, measured.panel.cx,
               measured.panel.cy, measured.titleHeight, measured.traceWidth);
        EXPECT_EQ(MulDiv(3, static_cast<int>(dpi), 96), measured.traceWidth);
        if (dpi == 96)
            at96 = measured;
        const double scale = dpi / 96.0;
        // Exact pixels of antialiased text: a row more or less at either end.
        EXPECT_NEAR(at96.titleHeight * scale, measured.titleHeight, 2.0);
        EXPECT_NEAR(scale, static_cast<double>(measured.panel.cx) / at96.panel.cx, 0.05);
        EXPECT_NEAR(scale, static_cast<double>(measured.panel.cy) / at96.panel.cy, 0.05);

        RECT blocks[3] = {};
        int block = 0;
        for (int group : {IDC_CORE_GROUP, IDC_MIDDLE_GROUP, IDC_CLOCK_GROUP}) {
            RECT& rect = blocks[block++];
            ASSERT_TRUE(LayoutRect(layout, group, rect));
            EXPECT_EQ(FRAME_LINE, frame.At(rect.left, (rect.top + rect.bottom) / 2)) << group;
            EXPECT_EQ(FRAME_LINE, frame.At(rect.right - 1, (rect.top + rect.bottom) / 2)) << group;
        }
        int texts = 0;
        int outside = 0;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const COLORREF pixel = frame.At(x, y);
                if (pixel != HEADING && pixel != LABEL && pixel != VALUE)
                    continue;
                ++texts;
                outside += !Inside(blocks[0], x, y) && !Inside(blocks[1], x, y) && !Inside(blocks[2], x, y);
            }
        }
        EXPECT_GT(texts, 1000);
        EXPECT_EQ(0, outside) << "of " << texts << " pixels of the blocks' texts";
        EXPECT_TRUE(panel.Exit());
    }
}

// The chooser, at 144 dpi, shows the stored 16-pixel font as 12 points, and 18 points chosen there
// are stored as the 24 pixels they are at 96 dpi: not 36, which the panel would scale once more.
TEST(PanelAtDpi, AFontChosenAt144DpiIsStoredIn96DpiPixels)
{
    LOGPIXELS pixels(144);
    ASSERT_TRUE(pixels.Set());
    DpiPanel panel;
    // A face the chooser lists, so that it starts on the stored font.
    ASSERT_TRUE(panel.StartWith(5, "[FONT]\nTitle=-16,0,0,0,400,0,0,0,128,0,0,0,0,IPAゴシック\n", 0));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND page = e2e::PageWith(dialog, IDC_FONT_TITLE_BUTTON);
    ASSERT_NE(nullptr, page);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_FONT_TITLE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_FONT_TITLE_BUTTON)));
    const int SIZE_LIST = 0x472;  // the chooser's point sizes (cmb3)
    HWND chooser = nullptr;
    HWND sizes = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND window : e2e::TopLevelWindows(panel.process.Id())) {
            HWND list = GetDlgItem(window, SIZE_LIST);
            if (window != dialog && window != panel.window && list) {
                chooser = window;
                sizes = list;
            }
        }
        // Visible once its set-up, which selects the size, has run.
        return chooser && IsWindowVisible(chooser) && SendMessageA(sizes, CB_GETCURSEL, 0, 0) >= 0;
    }));
    const LRESULT shown = SendMessageA(sizes, CB_GETCURSEL, 0, 0);
    EXPECT_EQ(12, SendMessageA(sizes, CB_GETITEMDATA, shown, 0));
    const LRESULT count = SendMessageA(sizes, CB_GETCOUNT, 0, 0);
    LRESULT eighteen = CB_ERR;
    for (LRESULT item = 0; item < count; ++item)
        if (SendMessageA(sizes, CB_GETITEMDATA, item, 0) == 18)
            eighteen = item;
    ASSERT_NE(CB_ERR, eighteen);
    SendMessageA(sizes, CB_SETCURSEL, eighteen, 0);
    SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(SIZE_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitGone(chooser));
    e2e::Press(dialog, IDOK);
    ASSERT_TRUE(e2e::WaitGone(dialog));
    char stored[256] = {};
    GetPrivateProfileStringA("FONT", "Title", "", stored, sizeof stored, panel.themeFile.c_str());
    EXPECT_EQ(-24, atoi(stored)) << stored;
    EXPECT_TRUE(panel.Exit());
}

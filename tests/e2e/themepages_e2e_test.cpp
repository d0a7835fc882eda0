#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/settingsdriver.h"
#include "resources/resource.h"
#include "support/testenv.h"

using e2e::EditText;
using e2e::PageWith;
using e2e::Press;
using e2e::SettingsPanel;
using e2e::WaitFor;

namespace {

// The tests of this file run their panels on display 5, each test on a GPU of its own.
e2e::GpuPair Pair(unsigned int gpu) { return e2e::GpuPair{5, gpu}; }

// Starts the panel on `theme` and opens the settings dialog.
HWND OpenOn(SettingsPanel& panel, unsigned int gpu, const std::string& theme)
{
    panel.folder.Write("theme.vkt", theme);
    if (!panel.Start(Pair(gpu)))
        return nullptr;
    return panel.OpenDialog();
}

HWND Control(HWND dialog, int id) { return GetDlgItem(PageWith(dialog, id), id); }

void SetText(HWND control, const char* text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 60000, &result);
}

std::string ThemeValue(const SettingsPanel& panel, const char* section, const char* key)
{
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, panel.themeFile.c_str());
    return value;
}

// Picks a list item as the user does: the selection, then the notification the list sends.
void ChooseMaskMode(HWND dialog, int mode)
{
    HWND list = Control(dialog, IDC_MASK_MODE);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(list, CB_SETCURSEL, mode, 0, SMTO_BLOCK, 60000, &result);
    SendMessageTimeoutA(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_MASK_MODE, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(list), SMTO_BLOCK, 60000, &result);
}

// How many pixels of `colour` the screen shows over the window. Only the part on the screen can be
// read: Wine refuses the whole copy when the rectangle reaches past the screen's edge.
size_t PixelsOnScreen(HWND window, COLORREF colour)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&rect, &rect, &screenRect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, copy);
    BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const RGBQUAD wanted = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
    size_t count = 0;
    for (int i = 0; bits && i < width * height; ++i) {
        const RGBQUAD& pixel = static_cast<const RGBQUAD*>(bits)[i];
        count += pixel.rgbRed == wanted.rgbRed && pixel.rgbGreen == wanted.rgbGreen && pixel.rgbBlue == wanted.rgbBlue;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteObject(copy);
    return count;
}

// The system's colour chooser, run by the page: another dialog of the panel's process.
HWND WaitForChooser(const SettingsPanel& panel, HWND settings)
{
    HWND chooser = nullptr;
    WaitFor([&] {
        for (HWND window : e2e::TopLevelWindows(panel.process.Id()))
            if (window != settings && window != panel.window && IsWindowVisible(window))
                chooser = window;
        return chooser != nullptr;
    });
    return chooser;
}

}  // namespace

TEST(LabelPage, CaptionsAreCutToWholeCharactersAndSamplesNameTheirFaces)
{
    SettingsPanel panel;
    HWND dialog = OpenOn(panel, 0, "[FONT]\nTitle=-20,0,0,0,400,0,0,0,128,0,0,0,0,IPAゴシック\n");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("IPAゴシック", EditText(Control(dialog, IDC_FONT_TITLE_SAMPLE)));
    EXPECT_EQ("Arial", EditText(Control(dialog, IDC_FONT_FRAME_SAMPLE)));
    EXPECT_EQ("Courier New", EditText(Control(dialog, IDC_FONT_LABEL_SAMPLE)));

    SetText(Control(dialog, IDC_LABEL_CORE), "ABCDEFGHIJKLMNOP");
    // Byte 15 would be the first half of "あ": the caption ends before it.
    SetText(Control(dialog, IDC_LABEL_AMBIENT), "ABCDEFGHIJKLMNあ");
    SetText(Control(dialog, IDC_LABEL_CLOCK_SHADER), "あいうえおかきく");
    Press(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ("ABCDEFGHIJKLMNO", ThemeValue(panel, "LABEL", "Core"));
    EXPECT_EQ("ABCDEFGHIJKLMN", ThemeValue(panel, "LABEL", "Ambient"));
    EXPECT_EQ("あいうえおかき", ThemeValue(panel, "LABEL", "ClockShader"));
    EXPECT_EQ("-20,0,0,0,400,0,0,0,128,0,0,0,0,IPAゴシック", ThemeValue(panel, "FONT", "Title"));
    EXPECT_TRUE(panel.Exit());
}

TEST(ThemePages, ValuesOutOfRangeOpenAsTheNearestValidOneAndAreStoredSo)
{
    SettingsPanel panel;
    HWND dialog = OpenOn(panel, 1, "[SHADOW]\nOffset=9\n[MASK]\nMode=7\n[CORE TEMP]\nWidth=0\n[FAN USAGE]\nWidth=6\n");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("無効", EditText(Control(dialog, IDC_MASK_MODE)));
    EXPECT_EQ("4", EditText(Control(dialog, IDC_SHADOW_OFFSET_EDIT)));
    EXPECT_EQ("1", EditText(Control(dialog, IDC_TRACE_CORE_TEMP_WIDTH_EDIT)));
    EXPECT_EQ("5", EditText(Control(dialog, IDC_TRACE_FAN_USAGE_WIDTH_EDIT)));
    Press(dialog, IDOK);
    EXPECT_EQ("0", ThemeValue(panel, "MASK", "Mode"));
    EXPECT_EQ("4", ThemeValue(panel, "SHADOW", "Offset"));
    EXPECT_EQ("1", ThemeValue(panel, "CORE TEMP", "Width"));
    EXPECT_EQ("5", ThemeValue(panel, "FAN USAGE", "Width"));
    EXPECT_TRUE(panel.Exit());
}

TEST(SkinPage, EachMaskModeEnablesTheControlsItUses)
{
    SettingsPanel panel;
    HWND dialog = OpenOn(panel, 2, "");
    ASSERT_NE(nullptr, dialog);
    const int controls[] = {IDC_MASK_COLOR_BUTTON, IDC_MASK_COLOR_SWATCH, IDC_MASK_FILE_BUTTON, IDC_MASK_FILE};
    auto enabled = [&] {
        std::vector<bool> states;
        for (int id : controls)
            states.push_back(IsWindowEnabled(Control(dialog, id)) != FALSE);
        return states;
    };
    EXPECT_EQ((std::vector<bool>{false, false, false, false}), enabled());
    ChooseMaskMode(dialog, 4);  // "ビットマップ"
    EXPECT_EQ((std::vector<bool>{false, false, true, true}), enabled());
    ChooseMaskMode(dialog, 3);  // "カラー"
    EXPECT_EQ((std::vector<bool>{true, true, false, false}), enabled());
    ChooseMaskMode(dialog, 1);  // "ラウンド"
    EXPECT_EQ((std::vector<bool>{false, false, false, false}), enabled());
    Press(dialog, IDCANCEL);
    EXPECT_EQ("", panel.folder.Read("theme.vkt"));
    EXPECT_TRUE(panel.Exit());
}

TEST(ColorPage, AChosenColourShowsInItsSwatchAtOnceAndOnThePanelOnlyOnApply)
{
    const COLORREF before = RGB(10, 200, 30);
    const COLORREF chosen = RGB(200, 10, 130);
    SettingsPanel panel;
    HWND dialog = OpenOn(panel, 3, "[FRAME]\nEnable=1\nColor=10,200,30\n");
    ASSERT_NE(nullptr, dialog);
    // Beside the dialog, which opens at the screen's corner.
    SetWindowPos(panel.window, HWND_TOP, 640, 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(e2e::TypeUntil(dialog, {VK_CONTROL, VK_TAB}, [&] { return e2e::ShownPage(dialog) == IDC_ALERT_ENABLE; }));
    ASSERT_TRUE(e2e::TypeUntil(dialog, {VK_CONTROL, VK_TAB}, [&] { return e2e::ShownPage(dialog) == IDC_LABEL_CORE; }));
    ASSERT_TRUE(e2e::TypeUntil(dialog, {VK_CONTROL, VK_TAB}, [&] { return e2e::ShownPage(dialog) == IDC_FRAME_ENABLE; }));
    HWND swatch = Control(dialog, IDC_FRAME_COLOR_SWATCH);
    EXPECT_TRUE(WaitFor([&] { return PixelsOnScreen(swatch, before) > 0; }));

    HWND button = Control(dialog, IDC_FRAME_COLOR_BUTTON);
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(IDC_FRAME_COLOR_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    HWND chooser = WaitForChooser(panel, dialog);
    ASSERT_NE(nullptr, chooser);
    // The chooser's red, green and blue fields.
    SetText(GetDlgItem(chooser, 706), "200");
    SetText(GetDlgItem(chooser, 707), "10");
    SetText(GetDlgItem(chooser, 708), "130");
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitGone(chooser));

    EXPECT_TRUE(WaitFor([&] { return PixelsOnScreen(swatch, chosen) > 0; }));
    panel.ExpectMeasuring();
    EXPECT_TRUE(WaitFor([&] { return PixelsOnScreen(panel.window, before) > 0; }));
    EXPECT_EQ(0u, PixelsOnScreen(panel.window, chosen));
    Press(dialog, IDC_APPLY);
    EXPECT_TRUE(WaitFor([&] {
        return PixelsOnScreen(panel.window, chosen) > 0 && PixelsOnScreen(panel.window, before) == 0;
    }));
    Press(dialog, IDCANCEL);
    EXPECT_TRUE(panel.Exit());
}

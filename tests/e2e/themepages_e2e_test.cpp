#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/settingsdriver.h"
#include "resources/resource.h"

using e2e::EditText;
using e2e::SettingsPanel;
using e2e::WaitFor;

namespace {

// The tests of this file run their panels on display 5, each test on a GPU of its own.
HWND OpenOn(SettingsPanel& panel, unsigned int gpu, const std::string& theme)
{
    panel.folder.Write("theme.vkt", theme);
    return panel.Start(e2e::GpuPair{5, gpu}) ? panel.OpenDialog() : nullptr;
}

HWND Control(HWND dialog, int id) { return GetDlgItem(e2e::PageWith(dialog, id), id); }

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK, 60000, &result);
    return static_cast<LRESULT>(result);
}

void SetText(HWND control, const char* text) { Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

std::string ThemeValue(const SettingsPanel& panel, const char* section, const char* key)
{
    return e2e::ProfileValue(panel.themeFile, section, key);
}

// What the screen shows at a window's left edge (x 0) or centre (x 0.5), half way down.
COLORREF ScreenPixel(HWND window, double x)
{
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    COLORREF pixel = GetPixel(screen, rect.left + static_cast<int>(x * (rect.right - rect.left)), (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return pixel;
}

}  // namespace

// Captions, samples, values out of range and the mask modes, in one run of the dialog.
TEST(ThemePages, CaptionsCutWholeSamplesNamedValuesHeldAndModesEnablingTheirControls)
{
    SettingsPanel panel;
    HWND dialog = OpenOn(panel, 0,
                         "[FONT]\nTitle=-20,0,0,0,400,0,0,0,128,0,0,0,0,IPAゴシック\n[SHADOW]\nOffset=9\n"
                         "[MASK]\nMode=7\n[CORE TEMP]\nWidth=0\n");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("IPAゴシック", EditText(Control(dialog, IDC_FONT_TITLE_SAMPLE)));
    EXPECT_EQ("Courier New", EditText(Control(dialog, IDC_FONT_LABEL_SAMPLE)));
    EXPECT_EQ("無効", EditText(Control(dialog, IDC_MASK_MODE)));
    EXPECT_EQ("4", EditText(Control(dialog, IDC_SHADOW_OFFSET_EDIT)));
    EXPECT_EQ("1", EditText(Control(dialog, IDC_TRACE_CORE_TEMP_WIDTH_EDIT)));

    SetText(Control(dialog, IDC_LABEL_CORE), "ABCDEFGHIJKLMNOP");
    // Byte 15 would be the first half of "あ": the caption ends before it.
    SetText(Control(dialog, IDC_LABEL_AMBIENT), "ABCDEFGHIJKLMNあ");
    e2e::Press(dialog, IDOK);
    EXPECT_EQ("ABCDEFGHIJKLMNO", ThemeValue(panel, "LABEL", "Core"));
    EXPECT_EQ("ABCDEFGHIJKLMN", ThemeValue(panel, "LABEL", "Ambient"));
    EXPECT_EQ("-20,0,0,0,400,0,0,0,128,0,0,0,0,IPAゴシック", ThemeValue(panel, "FONT", "Title"));
    EXPECT_EQ("0", ThemeValue(panel, "MASK", "Mode"));
    EXPECT_EQ("4", ThemeValue(panel, "SHADOW", "Offset"));
    EXPECT_EQ("1", ThemeValue(panel, "CORE TEMP", "Width"));

    // "ビットマップ", then "カラー", as the list reports a choice.
    dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND list = Control(dialog, IDC_MASK_MODE);
    std::string enabled[2];
    for (int mode : {4, 3}) {
        Send(list, CB_SETCURSEL, mode, 0);
        Send(GetParent(list), WM_COMMAND, MAKEWPARAM(IDC_MASK_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        for (int id : {IDC_MASK_COLOR_BUTTON, IDC_MASK_COLOR_SWATCH, IDC_MASK_FILE_BUTTON, IDC_MASK_FILE})
            enabled[mode - 3] += IsWindowEnabled(Control(dialog, id)) ? "1" : "0";
    }
    EXPECT_EQ("0011", enabled[1]);
    EXPECT_EQ("1100", enabled[0]);
    e2e::Press(dialog, IDCANCEL);
    EXPECT_TRUE(panel.Exit());
}

// The system's colour chooser is driven from outside: its red, green and blue fields, then OK.
TEST(ThemePages, AChosenColourShowsInItsSwatchAtOnceAndOnThePanelOnlyOnApply)
{
    const COLORREF before = RGB(10, 200, 30);
    const COLORREF chosen = RGB(200, 10, 130);
    SettingsPanel panel;
    HWND dialog = OpenOn(panel, 1, "[FRAME]\nEnable=1\nColor=10,200,30\n");
    ASSERT_NE(nullptr, dialog);
    // Beside the dialog, which opens at the screen's corner.
    SetWindowPos(panel.window, HWND_TOP, 640, 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    for (int page : {IDC_ALERT_ENABLE, IDC_LABEL_CORE, IDC_FRAME_ENABLE})
        ASSERT_TRUE(e2e::TypeUntil(dialog, {VK_CONTROL, VK_TAB}, [&] { return e2e::ShownPage(dialog) == page; }));
    HWND swatch = Control(dialog, IDC_FRAME_COLOR_SWATCH);
    HWND graph = GetDlgItem(panel.window, IDC_GRAPH);  // framed in the frame colour
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(swatch, 0.5) == before; }));

    HWND button = Control(dialog, IDC_FRAME_COLOR_BUTTON);
    PostMessageA(GetParent(button), WM_COMMAND, IDC_FRAME_COLOR_BUTTON, reinterpret_cast<LPARAM>(button));
    // The panel's own colour chooser: a dialog with the red, green and blue fields.
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND window : e2e::TopLevelWindows(panel.process.Id()))
            if (IsWindowVisible(window) && GetDlgItem(window, 706) && GetDlgItem(window, 708))
                chooser = window;
        return chooser != nullptr;
    }));
    SetText(GetDlgItem(chooser, 706), "200");
    SetText(GetDlgItem(chooser, 707), "10");
    SetText(GetDlgItem(chooser, 708), "130");
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitGone(chooser));

    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(swatch, 0.5) == chosen; }));
    panel.ExpectMeasuring();
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(graph, 0) == before; }));
    e2e::Press(dialog, IDC_APPLY);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(graph, 0) == chosen; }));
    e2e::Press(dialog, IDCANCEL);
    EXPECT_TRUE(panel.Exit());
}

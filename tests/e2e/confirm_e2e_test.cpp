// What confirms an action: Enter in the settings dialog is "設 定" (OK), and the theme save chooser
// asks before it replaces a file and gives a name typed without one the .VKT extension.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "e2e/settingsdriver.h"
#include "resources/resource.h"

using e2e::SettingsPanel;

namespace {

// The tests of this file run their panels on display 8, each test on a GPU of its own.
e2e::GpuPair Pair(unsigned int gpu) { return e2e::GpuPair{8, gpu}; }

// A window of the panel's process that holds this control, as the file chooser and a message box
// do; null while there is none.
HWND ProcessWindowWith(const SettingsPanel& panel, int control)
{
    for (HWND window : e2e::TopLevelWindows(panel.process.Id()))
        if (IsWindowVisible(window) && GetDlgItem(window, control))
            return window;
    return nullptr;
}

// The save chooser's file name field (cmb13).
const int CHOOSER_FILE_NAME = 0x47c;

// Chooses "テーマファイル → セーブ..." and types `name` into the chooser; `answer` then answers the
// question whether to replace the file (IDYES, IDNO), or 0 when none must be asked.
void SaveThemeAs(SettingsPanel& panel, const std::string& name, int answer)
{
    PostMessageA(panel.window, WM_COMMAND, CMD_THEME_SAVE, 0);
    HWND chooser = panel.process.WaitForWindowTitled("テーマのセーブ");
    ASSERT_NE(nullptr, chooser);
    SetDlgItemTextA(chooser, CHOOSER_FILE_NAME, name.c_str());
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    if (answer) {
        HWND question = nullptr;
        ASSERT_TRUE(e2e::WaitFor([&] { return (question = ProcessWindowWith(panel, IDNO)) != nullptr; }));
        PostMessageA(question, WM_COMMAND, answer, 0);
        ASSERT_TRUE(e2e::WaitGone(question));
        if (answer == IDNO) {
            // Refused, the chooser stays open for another name; it is cancelled here.
            PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        }
    }
    ASSERT_TRUE(e2e::WaitGone(chooser));
    // The panel saves once the chooser has returned; a message it answers after that comes after
    // the save, or after none.
    panel.Send(WM_NULL, 0);
}

}  // namespace

TEST(Confirm, EnterInTheSettingsDialogIsOk)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(Pair(0)));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    SetWindowPos(panel.window, nullptr, 222, 111, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // From a number field, which has no use for Enter of its own.
    HWND timer = GetDlgItem(e2e::PageWith(dialog, IDC_TIMER_EDIT), IDC_TIMER_EDIT);
    auto focusTimer = [&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(timer), TRUE, SMTO_BLOCK, 60000, &result);
    };
    EXPECT_TRUE(e2e::TypeFromUntil(dialog, {VK_RETURN}, focusTimer, [&] { return !IsWindow(dialog); }));
    // OK records the position and saves both files.
    const std::string settings = panel.folder.Read("VARNOK.CFG");
    EXPECT_NE(std::string::npos, settings.find("X=222\r\nY=111")) << settings;
    EXPECT_NE(std::string::npos, panel.folder.Read("theme.vkt").find("[FONT]"));
    EXPECT_TRUE(panel.Exit());
}

TEST(Confirm, ThemeSaveAsksBeforeReplacingAndAddsTheExtension)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(Pair(1)));
    // A name typed without an extension is saved as a theme file that can be dropped on the panel.
    SaveThemeAs(panel, panel.folder.File("mytheme"), 0);
    EXPECT_NE(std::string::npos, panel.folder.Read("mytheme.VKT").find("[FONT]"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(panel.folder.File("mytheme").c_str()));

    // A file that exists is replaced only when the user says so.
    panel.folder.Write("kept.vkt", "[LABEL]\r\nCore=Kept\r\n");
    SaveThemeAs(panel, panel.folder.File("kept.vkt"), IDNO);
    EXPECT_EQ("[LABEL]\r\nCore=Kept\r\n", panel.folder.Read("kept.vkt"));
    SaveThemeAs(panel, panel.folder.File("kept.vkt"), IDYES);
    EXPECT_NE(std::string::npos, panel.folder.Read("kept.vkt").find("[FONT]"));
    EXPECT_TRUE(panel.Exit());
}

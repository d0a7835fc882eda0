#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

#include "e2e/settingsdriver.h"
#include "resources/resource.h"
#include "support/testenv.h"

using e2e::EditText;
using e2e::FocusOf;
using e2e::Pages;
using e2e::Press;
using e2e::SettingsPanel;
using e2e::ShownPage;
using e2e::TabLabels;
using e2e::TypeTextUntil;
using e2e::TypeFromUntil;
using e2e::TypeUntil;
using e2e::WaitGone;

namespace {

const char DialogTitle[] = "設定";

// The tests of this file run their panels on display 3, each test on a GPU of its own.
e2e::GpuPair Pair(unsigned int gpu) { return e2e::GpuPair{3, gpu}; }

}  // namespace

TEST(SettingsDialog, OpensOnceWithEightTabsAndShowsOnePageAtATime)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(Pair(0)));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND again = panel.OpenDialog();
    EXPECT_EQ(dialog, again);
    size_t dialogs = 0;
    for (HWND window : e2e::TopLevelWindows(panel.process.Id()))
        dialogs += e2e::WindowText(window) == DialogTitle;
    EXPECT_EQ(1u, dialogs);
    EXPECT_EQ(panel.window, GetWindow(dialog, GW_OWNER));

    HWND tabs = GetDlgItem(dialog, IDC_SETTINGS_TABS);
    std::vector<std::string> expected = {"設定", "警告", "ラベル", "カラー", "グラフ", "スキン", "情報", "バージョン"};
    EXPECT_EQ(expected, TabLabels(panel.process.Id(), tabs));
    std::vector<HWND> pages = Pages(dialog);
    EXPECT_EQ(8u, pages.size());
    RECT tabArea;
    GetWindowRect(tabs, &tabArea);
    for (HWND page : pages) {
        RECT rect;
        GetWindowRect(page, &rect);
        EXPECT_TRUE(rect.left > tabArea.left && rect.top > tabArea.top && rect.right < tabArea.right &&
                    rect.bottom < tabArea.bottom);
    }
    EXPECT_EQ(IDC_DEVICE_EDIT, ShownPage(dialog));

    Press(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));
    HWND reopened = panel.OpenDialog();
    ASSERT_NE(nullptr, reopened);
    EXPECT_EQ(IDC_DEVICE_EDIT, ShownPage(reopened));
    // The close box is Cancel.
    PostMessageA(reopened, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitGone(reopened));
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsDialog, OkWritesBothFilesRecordsThePositionAndMeasuresOn)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(Pair(1), "[KEPT]\nMine=1\n"));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    SetWindowPos(panel.window, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Press(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));

    std::string settings = panel.folder.Read("VARNOK.CFG");
    EXPECT_NE(std::string::npos, settings.find("X=123\r\nY=77")) << settings;
    EXPECT_NE(std::string::npos, settings.find("Mine=1")) << settings;
    std::string theme = panel.folder.Read("theme.vkt");
    EXPECT_NE(std::string::npos, theme.find("[FONT]")) << theme;
    EXPECT_NE(std::string::npos, theme.find("[FAN USAGE]")) << theme;
    panel.ExpectMeasuring();
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsDialog, ApplyThenCancelRebuildsButWritesNothing)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(Pair(2)));
    panel.folder.Write("theme.vkt", "[LABEL]\nCore=Mine\n");
    const std::string settings = panel.folder.Read("VARNOK.CFG");
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    Press(dialog, IDC_APPLY);
    EXPECT_TRUE(IsWindowVisible(dialog));
    panel.ExpectMeasuring();
    Press(dialog, IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(settings, panel.folder.Read("VARNOK.CFG"));
    EXPECT_EQ("[LABEL]\nCore=Mine\n", panel.folder.Read("theme.vkt"));
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsDialog, KeyboardMovesFocusSwitchesTabsAndEscapeCancels)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(Pair(3)));
    const std::string settings = panel.folder.Read("VARNOK.CFG");
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::WaitFor([&] { return FocusOf(dialog); }));
    HWND first = FocusOf(dialog);
    EXPECT_TRUE(IsChild(dialog, first));

    // Exactly the next control in the dialog's Tab order, and back: every try starts from the
    // control before, so a Tab that arrived twice fails the check.
    HWND second = GetNextDlgTabItem(dialog, first, FALSE);
    ASSERT_TRUE(second && second != first);
    auto focusOn = [&](HWND control) {
        return [&, control] {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE, SMTO_BLOCK, 60000,
                                &result);
        };
    };
    ASSERT_TRUE(TypeFromUntil(dialog, {VK_TAB}, focusOn(first), [&] { return FocusOf(dialog) == second; }));
    EXPECT_TRUE(TypeFromUntil(dialog, {VK_SHIFT, VK_TAB}, focusOn(second), [&] { return FocusOf(dialog) == first; }));

    HWND tabs = GetDlgItem(dialog, IDC_SETTINGS_TABS);
    EXPECT_TRUE(TypeUntil(dialog, {VK_CONTROL, VK_TAB}, [&] { return ShownPage(dialog) == IDC_ALERT_ENABLE; }));
    EXPECT_EQ(1, SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    // The focus follows the page, never staying on a hidden control.
    EXPECT_TRUE(IsWindowVisible(FocusOf(dialog)));

    // Typed text reaches a caption field unchanged, half-width kana and kanji included.
    ASSERT_TRUE(TypeUntil(dialog, {VK_CONTROL, VK_TAB}, [&] { return ShownPage(dialog) == IDC_LABEL_CORE; }));
    HWND caption = GetDlgItem(e2e::PageWith(dialog, IDC_LABEL_CORE), IDC_LABEL_CORE);
    ASSERT_TRUE(TypeUntil(dialog, {VK_TAB}, [&] { return FocusOf(dialog) == caption; }));
    EXPECT_TRUE(TypeTextUntil(dialog, caption, L"A\xFF71\x6E29", "A\xB1\x89\xB7")) << EditText(caption);

    // Backwards round the first tab to the last.
    for (int id : {IDC_ALERT_ENABLE, IDC_DEVICE_EDIT, IDC_VERSION_FILE})
        EXPECT_TRUE(TypeUntil(dialog, {VK_CONTROL, VK_SHIFT, VK_TAB}, [&] { return ShownPage(dialog) == id; }));
    EXPECT_EQ(7, SendMessageA(tabs, TCM_GETCURSEL, 0, 0));

    EXPECT_TRUE(TypeUntil(dialog, {VK_ESCAPE}, [&] { return !IsWindow(dialog); }));
    EXPECT_EQ(settings, panel.folder.Read("VARNOK.CFG"));
    EXPECT_FALSE(testenv::FileExists(panel.themeFile));
    EXPECT_TRUE(panel.process.Running());
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsDialog, AFailedSaveIsNamedTheDialogStaysAndOkCanBeRetried)
{
    SettingsPanel panel;
    const std::string folder = panel.folder.File("later");
    panel.themeFile = folder + "\\theme.vkt";
    ASSERT_TRUE(panel.Start(Pair(4)));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    SetWindowPos(panel.window, nullptr, 61, 62, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND box = panel.process.WaitForWindowTitled("エラー情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ファイルのセーブでエラーが発生しました。\n" + panel.themeFile, e2e::MessageBoxText(box));
    // The settings file was written all the same, with the position.
    EXPECT_NE(std::string::npos, panel.folder.Read("VARNOK.CFG").find("X=61\r\nY=62"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_TRUE(IsWindowVisible(dialog));

    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    Press(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_NE(std::string::npos, testenv::ReadFile(panel.themeFile).find("[FONT]"));
    DeleteFileA(panel.themeFile.c_str());
    RemoveDirectoryA(folder.c_str());
    EXPECT_TRUE(panel.Exit());
}

TEST(MenuSave, FailuresNameTheFileAndThePanelRunsOn)
{
    SettingsPanel panel;
    const std::string sub = panel.folder.File("sub");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    ASSERT_TRUE(panel.Start(Pair(5), "", "sub\\VARNOK.CFG"));
    const std::string settingsPath = sub + "\\VARNOK.CFG";
    // The folder of the settings file disappears while the panel runs.
    DeleteFileA(settingsPath.c_str());
    ASSERT_TRUE(RemoveDirectoryA(sub.c_str()));

    PostMessageA(panel.window, WM_COMMAND, CMD_CONFIG_SAVE, 0);
    HWND box = panel.process.WaitForWindowTitled("エラー情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ファイルのセーブでエラーが発生しました。\n" + settingsPath, e2e::MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(box));
    // The theme was written all the same.
    EXPECT_NE(std::string::npos, testenv::ReadFile(panel.themeFile).find("[FONT]"));

    // "セーブ..." of the theme, to a folder that does not exist.
    const std::string missing = panel.folder.File("gone\\night.vkt");
    PostMessageA(panel.window, WM_COMMAND, CMD_THEME_SAVE, 0);
    HWND chooser = panel.process.WaitForWindowTitled("テーマのセーブ");
    ASSERT_NE(nullptr, chooser);
    SetDlgItemTextA(chooser, 0x47c, missing.c_str());
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    box = panel.process.WaitForWindowTitled("エラー情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ファイルのセーブでエラーが発生しました。\n" + missing, e2e::MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(box));
    panel.ExpectMeasuring();
    EXPECT_TRUE(panel.Exit());
}

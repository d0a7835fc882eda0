#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/mainwindow.h"
#include "e2e/panelprocess.h"
#include "resources/resource.h"
#include "support/testenv.h"

namespace {

const char DialogTitle[] = "設定";

// A panel on a GPU of its own (display 2, GPU `gpu`), so that no other test's instance refuses it,
// with its theme file in its folder and a journal of the driver's calls.
struct SettingsPanel : e2e::RunningPanel {
    std::string themeFile = folder.File("theme.vkt");

    bool Start(int gpu, const std::string& extra = "", const char* name = "VARNOK.CFG")
    {
        std::string scenario = "[driver]\nDisplays=3\nJournal=" + folder.File("journal.txt") + "\n";
        for (int display = 0; display < 3; ++display) {
            std::string gpus = display == 2 ? "8" : "1";
            scenario += "[display" + std::to_string(display) + "]\nGpus=" + gpus + "\n";
        }
        for (int index = 0; index < 8; ++index)
            scenario += "[display2.gpu" + std::to_string(index) + "]\nFullName=N\nBusType=3\nFrameBuffer=4194304\n";
        for (int display = 0; display < 2; ++display)
            scenario += "[display" + std::to_string(display) + ".gpu0]\nFullName=N\n";
        std::string settings = "[GLOBAL]\nDevice=2\nGPU=" + std::to_string(gpu) + "\nTimer=1\nX=40\nY=50\n" +
                               "[THEME]\nFile=" + themeFile + "\n" + extra;
        return RunningPanel::Start(settings, scenario, name);
    }

    HWND OpenDialog() const
    {
        Send(WM_COMMAND, CMD_SETTINGS);
        HWND dialog = nullptr;
        e2e::WaitFor([&] {
            dialog = e2e::FindProcessWindow(process.Id(), "#32770", DialogTitle);
            return dialog && IsWindowVisible(dialog);
        });
        return dialog;
    }

    size_t Measurements() const { return e2e::CountOccurrences(folder.Read("journal.txt"), "GetThermalSettings"); }

    void ExpectMeasuring() const
    {
        size_t before = Measurements();
        EXPECT_TRUE(e2e::WaitFor([&] { return Measurements() >= before + 2; }));
    }
};

// Sent, not posted: the call returns once the dialog has handled the button.
void Press(HWND dialog, int button)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)), SMTO_BLOCK, 60000, &result);
}

bool WaitGone(HWND window) { return e2e::WaitFor([&] { return !IsWindow(window); }); }

// The tab labels, read through a buffer in the panel's own memory: the tab control takes the
// pointer as it is.
std::vector<std::string> TabLabels(DWORD processId, HWND tabs)
{
    std::vector<std::string> labels;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return labels;
    const SIZE_T textSize = 256;
    char* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(TCITEMA) + textSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; remote && i < count; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = remote + sizeof item;
        item.cchTextMax = textSize;
        char text[textSize] = {};
        DWORD_PTR result = 0;
        if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            WriteProcessMemory(process, remote + sizeof item, text, textSize, nullptr) &&
            SendMessageTimeoutA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote), SMTO_BLOCK, 60000, &result))
            ReadProcessMemory(process, remote + sizeof item, text, textSize - 1, nullptr);
        labels.push_back(text);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return labels;
}

struct Collected {
    HWND dialog;
    std::vector<HWND> pages;
};

BOOL CALLBACK CollectPage(HWND child, LPARAM param)
{
    Collected* collected = reinterpret_cast<Collected*>(param);
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (GetParent(child) == collected->dialog && lstrcmpA(className, "#32770") == 0)
        collected->pages.push_back(child);
    return TRUE;
}

std::vector<HWND> Pages(HWND dialog)
{
    Collected collected{dialog, {}};
    EnumChildWindows(dialog, CollectPage, reinterpret_cast<LPARAM>(&collected));
    return collected.pages;
}

// The shown page, known by one control only it has; 0 when none or several are shown.
int ShownPage(HWND dialog)
{
    static const int marks[] = {IDC_DEVICE_EDIT, IDC_ALERT_ENABLE, IDC_LABEL_CORE, IDC_FRAME_ENABLE,
                                IDC_UNIT_ENABLE, IDC_SKIN_ENABLE, IDC_INFO_ADAPTER, IDC_VERSION_FILE};
    int shown = 0;
    for (HWND page : Pages(dialog)) {
        if (!IsWindowVisible(page))
            continue;
        if (shown)
            return 0;
        for (int mark : marks)
            if (GetDlgItem(page, mark))
                shown = mark;
    }
    return shown;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Real key strokes, as a user types them: the modifiers held around the key.
void Type(std::vector<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// An edit's text lives in the control, not in its window text: asked for, as the page reads it.
std::string EditText(HWND edit)
{
    char text[256] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 60000, &result);
    return text;
}

// Characters as an input method hands them over, whatever the keyboard layout.
void TypeText(const wchar_t* text)
{
    std::vector<INPUT> inputs;
    for (; *text; ++text) {
        for (DWORD flags : {KEYEVENTF_UNICODE, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = *text;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

TEST(SettingsDialog, OpensOnceWithEightTabsAndShowsOnePageAtATime)
{
    SettingsPanel panel;
    ASSERT_TRUE(panel.Start(0));
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
    ASSERT_TRUE(panel.Start(1, "[KEPT]\nMine=1\n"));
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
    ASSERT_TRUE(panel.Start(2));
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
    ASSERT_TRUE(panel.Start(3));
    const std::string settings = panel.folder.Read("VARNOK.CFG");
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    SetForegroundWindow(dialog);
    ASSERT_TRUE(e2e::WaitFor([&] { return GetForegroundWindow() == dialog && FocusOf(dialog); }));
    HWND first = FocusOf(dialog);
    EXPECT_TRUE(IsChild(dialog, first));

    Type({VK_TAB});
    ASSERT_TRUE(e2e::WaitFor([&] { return FocusOf(dialog) != first; }));
    EXPECT_TRUE(IsChild(dialog, FocusOf(dialog)));
    Type({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(e2e::WaitFor([&] { return FocusOf(dialog) == first; }));

    HWND tabs = GetDlgItem(dialog, IDC_SETTINGS_TABS);
    Type({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(e2e::WaitFor([&] { return ShownPage(dialog) == IDC_ALERT_ENABLE; }));
    EXPECT_EQ(1, SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    // The focus follows the page, never staying on a hidden control.
    EXPECT_TRUE(IsWindowVisible(FocusOf(dialog)));

    // Typed text reaches a caption field unchanged, half-width kana and kanji included.
    Type({VK_CONTROL, VK_TAB});
    ASSERT_TRUE(e2e::WaitFor([&] { return ShownPage(dialog) == IDC_LABEL_CORE; }));
    HWND caption = nullptr;
    for (HWND page : Pages(dialog))
        if (GetDlgItem(page, IDC_LABEL_CORE))
            caption = GetDlgItem(page, IDC_LABEL_CORE);
    Type({VK_TAB});
    ASSERT_TRUE(e2e::WaitFor([&] { return FocusOf(dialog) == caption; }));
    TypeText(L"A\xFF71\x6E29");
    EXPECT_TRUE(e2e::WaitFor([&] { return EditText(caption) == "A\xB1\x89\xB7"; })) << EditText(caption);

    Type({VK_CONTROL, VK_SHIFT, VK_TAB});
    Type({VK_CONTROL, VK_SHIFT, VK_TAB});
    Type({VK_CONTROL, VK_SHIFT, VK_TAB});
    EXPECT_TRUE(e2e::WaitFor([&] { return ShownPage(dialog) == IDC_VERSION_FILE; }));
    EXPECT_EQ(7, SendMessageA(tabs, TCM_GETCURSEL, 0, 0));

    Type({VK_ESCAPE});
    EXPECT_TRUE(WaitGone(dialog));
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
    ASSERT_TRUE(panel.Start(4));
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
    ASSERT_TRUE(panel.Start(5, "", "sub\\VARNOK.CFG"));
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

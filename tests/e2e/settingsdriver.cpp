#include <windows.h>
#include <gtest/gtest.h>
#include <commctrl.h>

#include "e2e/settingsdriver.h"
#include "resources/resource.h"

namespace e2e {

namespace {

const char DialogTitle[] = "設定";
const int TypingTries = 5;
const DWORD TypingWaitMs = 10000;

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

INPUT KeyInput(WORD key, DWORD flags, WCHAR character = 0)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = character;
    input.ki.dwFlags = flags;
    return input;
}

bool MakeForeground(HWND window)
{
    return WaitFor(
        [&] {
            if (GetForegroundWindow() == window)
                return true;
            SetForegroundWindow(window);
            return false;
        },
        TypingWaitMs);
}

bool SendUntil(HWND window, std::vector<INPUT> inputs, const std::function<bool()>& done,
               const std::function<void()>& beforeTry)
{
    // A stroke half delivered before the foreground changed may leave Ctrl or Shift down.
    INPUT release[] = {KeyInput(VK_CONTROL, KEYEVENTF_KEYUP), KeyInput(VK_SHIFT, KEYEVENTF_KEYUP)};
    for (int attempt = 0; attempt < TypingTries; ++attempt) {
        if (!MakeForeground(window))
            continue;
        beforeTry();
        SendInput(2, release, sizeof(INPUT));
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (WaitFor(done, TypingWaitMs))
            return true;
    }
    return false;
}

}  // namespace

bool SettingsPanel::Start(const GpuPair& pair, const std::string& extra, const char* name)
{
    std::string scenario = pair.Scenario("FullName=N\nBusType=3\nFrameBuffer=4194304\n",
                                         "Journal=" + folder.File("journal.txt") + "\n");
    std::string settings =
        "[GLOBAL]\n" + pair.Keys() + "Timer=1\nX=40\nY=50\n[THEME]\nFile=" + themeFile + "\n" + extra;
    return RunningPanel::Start(settings, scenario, name);
}

HWND SettingsPanel::OpenDialog() const
{
    Send(WM_COMMAND, CMD_SETTINGS);
    HWND dialog = nullptr;
    WaitFor([&] {
        dialog = FindProcessWindow(process.Id(), "#32770", DialogTitle);
        return dialog && IsWindowVisible(dialog);
    });
    return dialog;
}

size_t SettingsPanel::Measurements() const
{
    return CountOccurrences(folder.Read("journal.txt"), "GetThermalSettings");
}

void SettingsPanel::ExpectMeasuring() const
{
    size_t before = Measurements();
    EXPECT_TRUE(WaitFor([&] { return Measurements() >= before + 2; }));
}

void Press(HWND dialog, int button)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)), SMTO_BLOCK, 60000, &result);
}

bool WaitGone(HWND window) { return WaitFor([&] { return !IsWindow(window); }); }

// Read through a buffer in the panel's own memory: the tab control takes the pointer as it is.
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

std::vector<HWND> Pages(HWND dialog)
{
    Collected collected{dialog, {}};
    EnumChildWindows(dialog, CollectPage, reinterpret_cast<LPARAM>(&collected));
    return collected.pages;
}

HWND PageWith(HWND dialog, int id)
{
    for (HWND page : Pages(dialog))
        if (GetDlgItem(page, id))
            return page;
    return nullptr;
}

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
    if (!MakeForeground(window))
        return nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

std::string EditText(HWND edit)
{
    char text[256] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 60000, &result);
    return text;
}

bool TypeFromUntil(HWND window, std::vector<WORD> keys, const std::function<void()>& beforeTry,
                   const std::function<bool()>& done)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(KeyInput(key, 0));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        inputs.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
    return SendUntil(window, inputs, done, beforeTry);
}

bool TypeUntil(HWND window, std::vector<WORD> keys, const std::function<bool()>& done)
{
    return TypeFromUntil(window, keys, [] {}, done);
}

bool TypeTextUntil(HWND window, HWND edit, const wchar_t* text, const std::string& expected)
{
    std::vector<INPUT> inputs;
    for (; *text; ++text) {
        inputs.push_back(KeyInput(0, KEYEVENTF_UNICODE, *text));
        inputs.push_back(KeyInput(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, *text));
    }
    return SendUntil(
        window, inputs, [&] { return EditText(edit) == expected; },
        [&] {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_BLOCK, 60000, &result);
        });
}

}  // namespace e2e

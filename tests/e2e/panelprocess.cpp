#include "e2e/panelprocess.h"
#include "resources/resource.h"
#include "support/imagefiles.h"
#include "support/testenv.h"

namespace e2e {

bool WaitFor(const std::function<bool()>& condition, DWORD limitMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(50);
    }
}

std::string GpuPair::Keys() const
{
    return "Device=" + std::to_string(device) + "\nGPU=" + std::to_string(gpu) + "\n";
}

std::string GpuPair::Scenario(const std::string& gpuKeys, const std::string& driverKeys,
                              const std::string& displayKeys) const
{
    const std::string display = "display" + std::to_string(device);
    std::string text = "[driver]\nDisplays=" + std::to_string(device + 1) + "\n" + driverKeys;
    text += "[" + display + "]\nGpus=" + std::to_string(gpu + 1) + "\n" + displayKeys;
    for (unsigned int i = 0; i <= gpu; ++i)
        text += "[" + display + ".gpu" + std::to_string(i) + "]\n" + gpuKeys;
    return text;
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

size_t CountOccurrences(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

int CountWindowColour(HWND window, COLORREF colour)
{
    RECT client;
    if (!GetClientRect(window, &client))
        return 0;
    HDC dc = GetDC(window);
    if (!dc)
        return 0;
    int count = 0;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2)
            count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

std::vector<COLORREF> DcPixels(HDC dc, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<COLORREF> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    BITMAPINFO info = imagefiles::TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    if (copy && memory) {
        HGDIOBJ old = SelectObject(memory, copy);
        if (BitBlt(memory, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY)) {
            GdiFlush();
            const DWORD* rows = static_cast<const DWORD*>(bits);
            // A DIB holds 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
            for (int i = 0; i < width * height; ++i)
                pixels.push_back(RGB((rows[i] >> 16) & 0xFF, (rows[i] >> 8) & 0xFF, rows[i] & 0xFF));
        }
        SelectObject(memory, old);
    }
    if (memory)
        DeleteDC(memory);
    if (copy)
        DeleteObject(copy);
    return pixels;
}

std::string ProfileValue(const std::string& file, const char* section, const char* key, const char* missing)
{
    char value[256] = {};
    GetPrivateProfileStringA(section, key, missing, value, sizeof value, file.c_str());
    return value;
}

RECT PanelControlRect(HWND panel, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(panel, id), &rect);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {

struct Collect {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    Collect* collect = reinterpret_cast<Collect*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == collect->processId)
        collect->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        std::string text = WindowText(child);
        if (!text.empty()) {
            std::string* all = reinterpret_cast<std::string*>(param);
            *all += text;
        }
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    Collect collect{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collect));
    return collect.windows;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title)
{
    for (HWND window : TopLevelWindows(processId)) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (className && lstrcmpA(name, className) != 0)
            continue;
        if (title && WindowText(window) != title)
            continue;
        return window;
    }
    return nullptr;
}

std::string MessageBoxText(HWND box)
{
    std::string all;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&all));
    return all;
}

PanelFolder::PanelFolder()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static LONG counter = 0;
    for (;;) {
        char name[MAX_PATH + 64];
        wsprintfA(name, "%spanel-%lu-%ld-%lu", base, GetCurrentProcessId(), InterlockedIncrement(&counter),
                  GetTickCount());
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            break;
        }
    }
    CopyFileA(testenv::PathFromEnvironment("VARNOK_EXE").c_str(), File("VARNOK.exe").c_str(), FALSE);
    CopyFileA(testenv::PathFromEnvironment("VARNOK_SIMGPU_DLL").c_str(), File("nvapi64.dll").c_str(), FALSE);
}

PanelFolder::~PanelFolder()
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(File(data.cFileName).c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path_.c_str());
}

void PanelFolder::Write(const std::string& name, const std::string& contents) const
{
    testenv::WriteFile(File(name), contents);
}

std::string PanelFolder::Read(const std::string& name) const { return testenv::ReadFile(File(name)); }

void PanelFolder::RemoveDriver() const { DeleteFileA(File("nvapi64.dll").c_str()); }

PanelProcess::~PanelProcess()
{
    Kill();
}

bool PanelProcess::Start(const PanelFolder& folder, const std::string& commandLine, const std::string& scenario)
{
    SetEnvironmentVariableA("VARNOK_SIMGPU", scenario.empty() ? nullptr : scenario.c_str());
    std::string exe = folder.File("VARNOK.exe");
    std::string line = "\"" + exe + "\"" + (commandLine.empty() ? "" : " " + commandLine);
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    BOOL started = CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.Path().c_str(), &startup, &info_);
    SetEnvironmentVariableA("VARNOK_SIMGPU", nullptr);
    return started != FALSE;
}

HWND PanelProcess::WaitForPanel(DWORD limitMs)
{
    HWND panel = nullptr;
    WaitFor(
        [&] {
            panel = FindProcessWindow(info_.dwProcessId, "#32770", nullptr);
            // The panel is the dialog that lost its caption style during its set-up.
            if (panel && (GetWindowLongPtrA(panel, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
                panel = nullptr;
            return panel && IsWindowVisible(panel);
        },
        limitMs);
    // The panel takes a message from another thread only after its set-up has run to the end
    // (caption, position, timer), so an answered message means a finished panel.
    DWORD_PTR result = 0;
    if (panel && !SendMessageTimeoutA(panel, WM_NULL, 0, 0, SMTO_BLOCK, limitMs, &result))
        panel = nullptr;
    return panel;
}

HWND PanelProcess::WaitForWindowTitled(const char* title, DWORD limitMs)
{
    HWND window = nullptr;
    WaitFor([&] { return (window = FindProcessWindow(info_.dwProcessId, nullptr, title)) != nullptr; }, limitMs);
    return window;
}

bool PanelProcess::WaitForExit(DWORD limitMs)
{
    return info_.hProcess && WaitForSingleObject(info_.hProcess, limitMs) == WAIT_OBJECT_0;
}

DWORD PanelProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool PanelProcess::Running() const { return ExitCode() == STILL_ACTIVE; }

void PanelProcess::Kill()
{
    if (!info_.hProcess)
        return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = {};
}

bool RunningPanel::Start(const std::string& settings, const std::string& scenario, const char* name)
{
    folder.Write(name, settings);
    folder.Write("scenario.ini", scenario);
    if (!process.Start(folder, folder.File(name), folder.File("scenario.ini")))
        return false;
    window = process.WaitForPanel();
    return window != nullptr;
}

void RunningPanel::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK, 60000, &result);
}

bool RunningPanel::Exit()
{
    // A panel that has already ended, or is ending, did not end by "終了": whatever closed it was
    // not meant to. An answered message shows its window still there and its loop still running.
    DWORD_PTR answer = 0;
    if (!process.Running() || !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 60000, &answer))
        return false;
    PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
    return process.WaitForExit();
}

}  // namespace e2e

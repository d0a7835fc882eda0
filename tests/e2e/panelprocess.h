#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Polls a condition until it holds or the limit passes. The limits are generous: CI machines are
// small and busy, and Wine starts programs slowly.
bool WaitFor(const std::function<bool()>& condition, DWORD limitMs = 60000);

std::string WindowText(HWND window);
// How often `what` stands in `text`, for example a driver call in the simulated driver's journal.
size_t CountOccurrences(const std::string& text, const std::string& what);
std::vector<HWND> TopLevelWindows(DWORD processId);
// The first visible or hidden top-level window of the process whose text equals title (any
// title when null) and whose class is className (any class when null).
HWND FindProcessWindow(DWORD processId, const char* className, const char* title);
// The texts of a message box's static controls.
std::string MessageBoxText(HWND box);
// How many of the window's client pixels show exactly this colour, read from the window's own
// device context, not from the screen.
int CountWindowColour(HWND window, COLORREF colour);
// The colours of a rectangle of a device context (a window's, or a memory DC holding an image),
// row by row, read in one copy.
std::vector<COLORREF> DcPixels(HDC dc, const RECT& rect);
// A key's value in a settings or theme file as it stands on disk; `missing` when there is none.
std::string ProfileValue(const std::string& file, const char* section, const char* key, const char* missing = "");
// A control of the panel's layout (IDC_*) in the panel's client coordinates.
RECT PanelControlRect(HWND panel, int id);

// The Device/GPU pair a test's panel runs on. The instance mutex is named after the pair, and the
// test programs run in parallel on one Wine server, so no two tests share a pair: the display is
// the test file's (startup 1, panel 2, ...), the GPU the test's own number in that file. Display 0,
// GPU 0 stays with the demo; the mutex tests of tests/app use devices from 100 on.
struct GpuPair {
    unsigned int device;
    unsigned int gpu;

    // The [GLOBAL] keys that choose the pair.
    std::string Keys() const;
    // A simulated driver that has the pair: displays up to the pair's, and on that one GPUs up
    // to the pair's, each described by gpuKeys. driverKeys go to the [driver] section, displayKeys
    // (the video memory) to the pair's display.
    std::string Scenario(const std::string& gpuKeys, const std::string& driverKeys = "",
                         const std::string& displayKeys = "") const;
};

// A folder holding a copy of VARNOK.exe and the simulated driver, with its own scenario and
// settings files, removed when the object goes.
class PanelFolder {
public:
    PanelFolder();
    ~PanelFolder();
    PanelFolder(const PanelFolder&) = delete;
    PanelFolder& operator=(const PanelFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    void Write(const std::string& name, const std::string& contents) const;
    std::string Read(const std::string& name) const;
    // Leaves the folder without the simulated driver, as on a machine without an NVIDIA card.
    void RemoveDriver() const;

private:
    std::string path_;
};

// One running VARNOK.exe.
class PanelProcess {
public:
    PanelProcess() = default;
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    // Starts the program of the folder with the command line (the settings path) and the
    // scenario named by VARNOK_SIMGPU.
    bool Start(const PanelFolder& folder, const std::string& commandLine, const std::string& scenario);
    // Waits until the panel window exists and is visible; null when it never came.
    HWND WaitForPanel(DWORD limitMs = 60000);
    // Waits for a top-level window with this title, for example a message box.
    HWND WaitForWindowTitled(const char* title, DWORD limitMs = 60000);
    bool WaitForExit(DWORD limitMs = 60000);
    DWORD ExitCode() const;
    bool Running() const;
    DWORD Id() const { return info_.dwProcessId; }
    void Kill();

private:
    PROCESS_INFORMATION info_ = {};
};

// A started panel with its folder: settings named on the command line, a scenario beside it.
struct RunningPanel {
    PanelFolder folder;
    PanelProcess process;
    HWND window = nullptr;

    bool Start(const std::string& settings, const std::string& scenario, const char* name = "VARNOK.CFG");
    // Sent, not posted: the call returns once the panel has handled the message.
    void Send(UINT message, WPARAM wParam, LPARAM lParam = 0) const;
    // Chooses "終了" and waits for the process to end; false when the panel had already ended.
    bool Exit();
};

}  // namespace e2e

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>

#include "e2e/panelprocess.h"
#include "resources/resource.h"
#include "support/imagefiles.h"
#include "support/testenv.h"

using e2e::PanelFolder;
using e2e::PanelProcess;

namespace {

// Hands the panel a dropped file the way the shell does: a DROPFILES block in the panel's own
// memory, as a fixed global handle.
bool DropFile(const PanelProcess& process, HWND window, const std::string& path)
{
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    memcpy(&block[0], &header, sizeof header);
    block += path;
    block.append(2, '\0');
    HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process.Id());
    if (!target)
        return false;
    void* remote = VirtualAllocEx(target, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool written = remote && WriteProcessMemory(target, remote, block.data(), block.size(), nullptr);
    CloseHandle(target);
    if (!written)
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0, SMTO_BLOCK, 60000, &result) != 0;
}

// The tests of this file run their panels on display 2, each test on a GPU of its own.
struct JournalledPanel : e2e::RunningPanel {
    // global: the [GLOBAL] keys beside the pair's, then any further sections.
    bool Start(unsigned int gpu, const std::string& global)
    {
        const e2e::GpuPair pair{2, gpu};
        return RunningPanel::Start("[GLOBAL]\n" + pair.Keys() + global,
                                   pair.Scenario("FullName=N\nBusType=3\nFrameBuffer=4194304\n",
                                                 "Journal=" + folder.File("journal.txt") + "\n"));
    }
    size_t Measurements() const { return e2e::CountOccurrences(folder.Read("journal.txt"), "GetThermalSettings"); }
    void Exit() { ASSERT_TRUE(RunningPanel::Exit()); }
};

}  // namespace

// Each drop is checked before the next one: a file that is neither an image nor a theme changes
// nothing, a theme is loaded, and an image becomes the skin the panel shows.
TEST(DroppedFiles, ImagesBecomeTheSkinThemesLoadOthersChangeNothing)
{
    JournalledPanel panel;
    const std::string start = panel.folder.File("start.vkt");
    panel.folder.Write("start.vkt", "[LABEL]\nCore=Start\n");
    ASSERT_TRUE(panel.Start(0, "Timer=60\n[THEME]\nFile=" + start + "\n"));
    panel.folder.Write("night.vkt", "[LABEL]\nCore=Night\n");
    panel.folder.Write("notes.txt", "notes");
    panel.folder.Write("README", "readme");
    const COLORREF skinColour = RGB(201, 31, 167);
    std::vector<COLORREF> skin(64 * 48, skinColour);
    ASSERT_TRUE(testenv::WriteFile(panel.folder.File("SKIN.bmp"), imagefiles::BitmapFile(64, 48, skin)));
    // What the drops change reaches the files only with a save.
    auto saved = [&](const std::string& name) {
        panel.Send(WM_COMMAND, CMD_CONFIG_SAVE);
        return panel.folder.Read(name);
    };

    for (const char* other : {"notes.txt", "README"}) {
        SCOPED_TRACE(other);
        ASSERT_TRUE(DropFile(panel.process, panel.window, panel.folder.File(other)));
        EXPECT_NE(std::string::npos, saved("VARNOK.CFG").find("File=" + start));
        const std::string theme = panel.folder.Read("start.vkt");
        EXPECT_NE(std::string::npos, theme.find("[SKIN]\r\nEnable=0")) << theme;
        EXPECT_EQ(std::string::npos, theme.find(other)) << theme;
    }
    EXPECT_EQ("notes", panel.folder.Read("notes.txt"));
    EXPECT_EQ("readme", panel.folder.Read("README"));

    ASSERT_TRUE(DropFile(panel.process, panel.window, panel.folder.File("night.vkt")));
    EXPECT_NE(std::string::npos, saved("VARNOK.CFG").find("File=" + panel.folder.File("night.vkt")));
    EXPECT_NE(std::string::npos, panel.folder.Read("night.vkt").find("Core=Night"));
    EXPECT_EQ(0, e2e::CountWindowColour(panel.window, skinColour));

    ASSERT_TRUE(DropFile(panel.process, panel.window, panel.folder.File("SKIN.bmp")));
    RECT client;
    ASSERT_TRUE(GetClientRect(panel.window, &client));
    // The skin fills the panel behind its texts and frames.
    EXPECT_TRUE(e2e::WaitFor([&] {
        return e2e::CountWindowColour(panel.window, skinColour) > (client.right / 2) * (client.bottom / 2) / 2;
    }));
    const std::string theme = saved("night.vkt");
    EXPECT_NE(std::string::npos, theme.find("File=" + panel.folder.File("SKIN.bmp"))) << theme;
    EXPECT_NE(std::string::npos, theme.find("[SKIN]\r\nEnable=1")) << theme;
    panel.Exit();
}

TEST(PowerEvents, SuspendStopsTheMeasurementsResumeStartsThemAgain)
{
    JournalledPanel panel;
    ASSERT_TRUE(panel.Start(1, "Timer=1\n"));
    ASSERT_TRUE(e2e::WaitFor([&] { return panel.Measurements() >= 3; }));

    panel.Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    size_t suspended = panel.Measurements();
    // Nothing may arrive while suspended: watch for a few periods.
    EXPECT_FALSE(e2e::WaitFor([&] { return panel.Measurements() > suspended; }, 3500));

    panel.Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    panel.Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    EXPECT_TRUE(e2e::WaitFor([&] { return panel.Measurements() >= suspended + 2; }));
    panel.Exit();
}

TEST(DemonstrationMode, RunsWithoutADriverAndNamesNoGpu)
{
    PanelFolder folder;
    folder.RemoveDriver();
    folder.Write("VARNOK.CFG", "[GLOBAL]\nDummy=1\nTimer=1\n" + e2e::GpuPair{2, 2}.Keys());
    PanelProcess process;
    ASSERT_TRUE(process.Start(folder, folder.File("VARNOK.CFG"), ""));
    HWND window = process.WaitForPanel();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("  0MB", e2e::WindowText(window));
    PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
    EXPECT_TRUE(process.WaitForExit());
}

TEST(ThemeCommands, CancelledThemeLoadLeavesTheMeasurementsRunning)
{
    JournalledPanel panel;
    ASSERT_TRUE(panel.Start(3, "Timer=1\n"));
    PostMessageA(panel.window, WM_COMMAND, CMD_THEME_LOAD, 0);
    HWND chooser = panel.process.WaitForWindowTitled("テーマのロード");
    ASSERT_NE(nullptr, chooser);
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(chooser); }));
    size_t before = panel.Measurements();
    EXPECT_TRUE(e2e::WaitFor([&] { return panel.Measurements() >= before + 2; }));
    panel.Exit();
}

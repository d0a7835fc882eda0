#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "e2e/panelprocess.h"
#include "resources/resource.h"
#include "support/mask_bitmap_file.h"

using e2e::GpuPair;
using e2e::PanelFolder;
using e2e::PanelProcess;

namespace {

const char kDegreeC[] = "\xB0" "C";

// The tests of this file run their panels on display 1, each test on a GPU of its own.
GpuPair Pair(unsigned int gpu) { return GpuPair{1, gpu}; }

// A driver whose GPUs all read the same, so the pair's GPU shows these readings.
std::string Scenario(const GpuPair& pair, const std::string& driverKeys = "")
{
    return pair.Scenario("FullName=N\nBusType=3\nFrameBuffer=4194304\nSensors=2\n"
                         "Sensor0=1,1\nSensor0Temp=65\nSensor1=2,8\nSensor1Temp=45\n"
                         "UsageCore=30\nUsageMemory=20\nUsageVideo=10\nCoolers=1\nFanLevel=40\n",
                         driverKeys);
}

// A settings file named on the command line, with a measurement period long enough that the
// panel stays put while a test looks at it.
std::string Settings(const GpuPair& pair, const std::string& extra = "")
{
    return "[GLOBAL]\nTimer=1\n" + pair.Keys() + extra;
}

// The tests choose "終了" themselves, so a missed exit fails where it happens.
struct Panel : e2e::RunningPanel {
    void Exit() { ASSERT_TRUE(RunningPanel::Exit()); }
};

// Every distinct look (text, caption or none, place) of the visible top-level windows of a
// process, recorded from a thread of its own as fast as it can look, until `done` returns.
using Sighting = std::tuple<HWND, std::string, bool, int, int>;

std::set<Sighting> SightingsUntil(DWORD processId, const std::function<void()>& done)
{
    std::set<Sighting> seen;
    std::atomic<bool> stop{false};
    std::thread watcher([&] {
        while (!stop)
            for (HWND window : e2e::TopLevelWindows(processId)) {
                LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
                RECT rect;
                if ((style & WS_VISIBLE) && GetWindowRect(window, &rect))
                    seen.emplace(window, e2e::WindowText(window), (style & WS_CAPTION) == WS_CAPTION, rect.left,
                                 rect.top);
            }
    });
    done();
    stop = true;
    watcher.join();
    return seen;
}

}  // namespace

// Placed where no screen shows it (saved on a monitor that is gone), the panel comes back to the
// middle of the primary screen, and in every case it is seen only as the finished panel.
TEST(Placement, ThePanelAppearsOnceFinishedAndOnTheScreenEvenWhenSavedOffIt)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    for (const std::string& place :
         {std::string("X=-5000\nY=-5000\n"), "X=" + std::to_string(screenWidth + 10) + "\nY=10\n"}) {
        PanelFolder folder;
        folder.Write("VARNOK.CFG", Settings(Pair(10), place));
        folder.Write("scenario.ini", Scenario(Pair(10)));
        PanelProcess process;
        ASSERT_TRUE(process.Start(folder, folder.File("VARNOK.CFG"), folder.File("scenario.ini")));
        HWND window = nullptr;
        // A measurement after the set-up belongs to what is watched.
        std::set<Sighting> seen = SightingsUntil(process.Id(), [&] {
            window = process.WaitForPanel();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, WM_COMMAND, CMD_REFRESH, 0, SMTO_BLOCK, 60000, &result);
        });
        ASSERT_NE(nullptr, window);
        RECT rect;
        GetWindowRect(window, &rect);
        Sighting centred(window, "N PCI-E 4096MB", false, (screenWidth - (rect.right - rect.left)) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2);
        EXPECT_EQ(std::set<Sighting>{centred}, seen) << place;
        PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
        EXPECT_TRUE(process.WaitForExit());
    }
}

TEST(InstanceControl, SecondStartForTheSameGpuIsRefusedTheFirstRunsOn)
{
    Panel first;
    ASSERT_TRUE(first.Start(Settings(Pair(0)), Scenario(Pair(0))));

    PanelProcess second;
    ASSERT_TRUE(second.Start(first.folder, first.folder.File("VARNOK.CFG"), first.folder.File("scenario.ini")));
    HWND box = second.WaitForWindowTitled("確認情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("既に起動しています。", e2e::MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(1u, second.ExitCode());
    EXPECT_TRUE(first.process.Running());

    first.Exit();
    EXPECT_EQ(1u, first.process.ExitCode());
}

TEST(InstanceControl, AnotherGpuRunsBesideAndTheMutexNamesDeviceAndGpu)
{
    Panel first;
    ASSERT_TRUE(first.Start(Settings(Pair(1)), Scenario(Pair(2))));
    Panel other;
    ASSERT_TRUE(other.Start(Settings(Pair(2)), Scenario(Pair(2))));
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "VARNOK_DEV#1_GPU#2");
    EXPECT_NE(nullptr, mutex);
    if (mutex)
        CloseHandle(mutex);
    EXPECT_TRUE(first.process.Running());
    other.Exit();
    first.Exit();
}

TEST(InstanceControl, AfterExitANewInstanceStartsAtOnceAndNothingIsSaved)
{
    Panel first;
    std::string settings = Settings(Pair(3), "Stable=0\n");
    ASSERT_TRUE(first.Start(settings, Scenario(Pair(3))));
    first.Exit();
    EXPECT_EQ(settings, first.folder.Read("VARNOK.CFG"));

    PanelProcess again;
    ASSERT_TRUE(again.Start(first.folder, first.folder.File("VARNOK.CFG"), first.folder.File("scenario.ini")));
    HWND window = again.WaitForPanel();
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
    ASSERT_TRUE(again.WaitForExit());
}

TEST(Caption, NamesTheGpuShowsReadingsWhileMinimisedAndTheNameAgainWhenRestored)
{
    Panel panel;
    ASSERT_TRUE(panel.Start(Settings(Pair(4), "[TASKBAR]\nCore=1\nFan=1\n"), Scenario(Pair(4))));
    EXPECT_EQ("N PCI-E 4096MB", e2e::WindowText(panel.window));

    PostMessageA(panel.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    std::string readings = std::string("65") + kDegreeC + "/45" + kDegreeC + " 30% 40%";
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::WindowText(panel.window) == readings; }))
        << e2e::WindowText(panel.window);

    PostMessageA(panel.window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::WindowText(panel.window) == "N PCI-E 4096MB"; }))
        << e2e::WindowText(panel.window);
    panel.Exit();
}

TEST(Placement, XMinusOneWithAYIsAPositionOnlyBothMinusOneCentre)
{
    Panel placed;
    ASSERT_TRUE(placed.Start(Settings(Pair(5), "X=-1\nY=100\n"), Scenario(Pair(5))));
    RECT rect;
    GetWindowRect(placed.window, &rect);
    EXPECT_EQ(-1, rect.left);
    EXPECT_EQ(100, rect.top);
    placed.Exit();

    Panel centred;
    ASSERT_TRUE(centred.Start(Settings(Pair(5), "X=-1\nY=-1\n"), Scenario(Pair(5))));
    GetWindowRect(centred.window, &rect);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, rect.top);
    centred.Exit();
}

TEST(Shutdown, EscapeAndAltF4DoNothingOnlyExitEnds)
{
    Panel panel;
    const std::string journal = panel.folder.File("journal.txt");
    ASSERT_TRUE(panel.Start(Settings(Pair(6)), Scenario(Pair(6), "Journal=" + journal + "\n")));
    auto measurements = [&] { return e2e::CountOccurrences(panel.folder.Read("journal.txt"), "GetThermalSettings"); };
    // Sent, not posted: each call returns once the panel has handled the message.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(panel.window, WM_COMMAND, IDCANCEL, 0, SMTO_BLOCK, 60000, &result);
    SendMessageTimeoutA(panel.window, WM_CLOSE, 0, 0, SMTO_BLOCK, 60000, &result);
    // A panel that had ended its loop would measure no more.
    const size_t after = measurements();
    EXPECT_TRUE(e2e::WaitFor([&] { return measurements() >= after + 2; }));
    panel.Exit();
}

TEST(StartupFailure, NoDriverWithoutDemonstrationModeEndsWithAMessage)
{
    PanelFolder folder;
    folder.RemoveDriver();
    folder.Write("VARNOK.CFG", Settings(Pair(7)));
    PanelProcess process;
    ASSERT_TRUE(process.Start(folder, folder.File("VARNOK.CFG"), ""));
    HWND box = process.WaitForWindowTitled("エラー情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("nVIDIA製ビデオカードが見つかりません。", e2e::MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(process.WaitForExit());
}

TEST(StartupFailure, AFailingThermalReadEndsWithTheInitialisationMessage)
{
    PanelFolder folder;
    folder.Write("VARNOK.CFG", Settings(Pair(8)));
    folder.Write("scenario.ini", Scenario(Pair(8)) + "[fail]\nNvAPI_GPU_GetThermalSettings=always\n");
    PanelProcess process;
    ASSERT_TRUE(process.Start(folder, folder.File("VARNOK.CFG"), folder.File("scenario.ini")));
    HWND box = process.WaitForWindowTitled("エラー情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("初期化エラーが発生しました。", e2e::MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(process.WaitForExit());
}

TEST(StartupFailure, AModifiedProgramFileRefusesToStart)
{
    PanelFolder folder;
    std::string program = folder.Read("VARNOK.exe");
    size_t middle = program.size() / 2;
    program[middle] = static_cast<char>(program[middle] ^ 0x21);
    folder.Write("VARNOK.exe", program);
    folder.Write("VARNOK.CFG", Settings(Pair(9)));
    PanelProcess process;
    ASSERT_TRUE(process.Start(folder, folder.File("VARNOK.CFG"), ""));
    HWND box = process.WaitForWindowTitled("エラー情報");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("プログラムファイルが改変されています。起動できません。", e2e::MessageBoxText(box));
    // Looked at while the process still runs: the message is all it shows, no panel beside it.
    for (HWND window : e2e::TopLevelWindows(process.Id()))
        EXPECT_TRUE(window == box || !IsWindowVisible(window)) << "also shown: " << e2e::WindowText(window);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(process.WaitForExit());
    EXPECT_NE(1u, process.ExitCode());
}

// A theme whose mask is busier than any real shape: the mask error is shown twice (the build's
// report, then the shape's as it turns the mode off), the panel still appears, and no region cache
// is left behind that would fail again: the next start behaves the same.
TEST(Startup, ThemeWithABusyMaskStillShowsThePanelAtEveryStart)
{
    PanelFolder folder;
    const GpuPair pair = Pair(11);
    std::vector<DWORD> checker(506 * 404);
    for (size_t i = 0; i < checker.size(); ++i)
        checker[i] = ((i % 506) / 2 + (i / 506) / 2) % 2 ? 0xFFFFFF : 0;
    ASSERT_TRUE(WriteMaskBitmap(folder.File("BUSY.BMP").c_str(), checker.data(), 506, 404));
    folder.Write("busy.vkt", "[MASK]\nMode=4\nFile=" + folder.File("BUSY.BMP") + "\n");
    folder.Write("VARNOK.CFG", Settings(pair, "[THEME]\nFile=" + folder.File("busy.vkt") + "\n"));
    folder.Write("scenario.ini", Scenario(pair));
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        PanelProcess process;
        ASSERT_TRUE(process.Start(folder, folder.File("VARNOK.CFG"), folder.File("scenario.ini")));
        for (int report = 0; report < 2; ++report) {
            HWND box = process.WaitForWindowTitled("エラー情報");
            ASSERT_NE(nullptr, box);
            EXPECT_EQ("マスクオブジェクトの生成でエラーが発生しました。", e2e::MessageBoxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(box); }));
        }
        HWND window = process.WaitForPanel();
        ASSERT_NE(nullptr, window);
        RECT shown;
        ASSERT_TRUE(GetWindowRect(window, &shown));
        EXPECT_GT(shown.right - shown.left, 100);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(ERROR, GetWindowRgn(window, region));
        DeleteObject(region);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.File("BUSY.BMP.RGN").c_str()));
        PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
        ASSERT_TRUE(process.WaitForExit());
    }
}

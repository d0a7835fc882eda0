#include <windows.h>
#include <atomic>
#include <cmath>
#include <string>

#include "base/critsect.h"
#include "config/config.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "gpu/sound.h"
#include "measure_fixture.h"

namespace {

// Runs a function on a thread of its own and tells when it has returned.
class BACKGROUND {
public:
    explicit BACKGROUND(void (*function)()) : function(function), done(false)
    {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~BACKGROUND()
    {
        if (thread) {
            WaitForSingleObject(thread, 10000);
            CloseHandle(thread);
        }
    }
    BACKGROUND(const BACKGROUND&) = delete;
    BACKGROUND& operator=(const BACKGROUND&) = delete;

    bool Started() const { return thread != nullptr; }
    bool Done() const { return done; }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        BACKGROUND& background = *static_cast<BACKGROUND*>(self);
        background.function();
        background.done = true;
        return 0;
    }

    void (*function)();
    std::atomic<bool> done;
    HANDLE thread;
};

void ResetWithoutWindow() { ResetMaximum(nullptr); }

}  // namespace

// Cycles on worker threads, the waiting reset, and teardown with workers about.
class MeasureConcurrency : public MeasureTest {};

TEST_F(MeasureConcurrency, ResetMaximumWaitsForTheCycleHoldingTheSection)
{
    Start({{"Sensor0Temp", "70,50"}, {"Sensor1Temp", "45,41"}});
    Cycles(2);
    ASSERT_EQ(70u, Sample.MaxCoreTemp);
    const double maxClock = Sample.MaxClockCore;

    SECTIONHOLDER holder(ProbeSection);
    ASSERT_TRUE(holder.Held());
    const LONG failures = ProbeSection.failures;
    BACKGROUND reset(ResetWithoutWindow);
    ASSERT_TRUE(reset.Started());
    // Two busy attempts: the reset tried, waited and tried again, and is still waiting.
    ASSERT_TRUE(WaitFor([&] { return ProbeSection.failures >= failures + 2; }));
    EXPECT_FALSE(reset.Done());
    EXPECT_EQ(70u, Sample.MaxCoreTemp);

    holder.Release();
    ASSERT_TRUE(WaitFor([&] { return reset.Done(); }));
    EXPECT_EQ(50u, Sample.MaxCoreTemp);
    EXPECT_EQ(41u, Sample.MaxAmbientTemp);
    EXPECT_EQ(maxClock, Sample.MaxClockCore);
    EXPECT_EQ(2u, Sample.HistoryCount);
}

TEST_F(MeasureConcurrency, ResetMaximumGivesUpWithoutASection)
{
    Start({{"Sensor0Temp", "70,50"}});
    Cycles(2);
    DeleteCritSect(ProbeSection);
    BACKGROUND reset(ResetWithoutWindow);
    ASSERT_TRUE(WaitFor([&] { return reset.Done(); }));
    EXPECT_EQ(70u, Sample.MaxCoreTemp);
}

// Many ticks on workers while another thread reads the history under the section, as the
// mouse-over lookup does; then teardown. Each cycle is told apart by its core clock (1, 2, 3 ...
// MHz) and carries a shader clock of twice that, so a lost, doubled or torn entry shows.
TEST_F(MeasureConcurrency, WorkersNeverLoseOrTearAHistoryEntry)
{
    const int maxTicks = 600;
    Start({{"ClockCore", NumberList(1000, 1000, maxTicks)}, {"ClockShader", NumberList(2000, 2000, maxTicks)}}, "",
          false);

    std::atomic<bool> stop(false);
    std::atomic<long> readerBusy(0), readerChecks(0), violations(0);
    std::string firstViolation;
    struct READER {
        std::atomic<bool>& stop;
        std::atomic<long>& busy;
        std::atomic<long>& checks;
        std::atomic<long>& violations;
        std::string& first;
    } reader = {stop, readerBusy, readerChecks, violations, firstViolation};
    auto readHistory = [](LPVOID parameter) -> DWORD {
        READER& r = *static_cast<READER*>(parameter);
        while (!r.stop) {
            if (!TryEnterCritSect(ProbeSection)) {
                ++r.busy;
                continue;
            }
            const unsigned int count = Sample.HistoryCount;
            std::string problem;
            if (count > HISTORY_SIZE)
                problem = "count " + std::to_string(count);
            for (unsigned int i = 0; i < count && i < HISTORY_SIZE && problem.empty(); ++i) {
                const HISTORYENTRY& entry = Sample.History[i];
                if (std::fabs(entry.ClockShader - 2.0 * entry.ClockCore) > 1e-3)
                    problem = "torn entry " + std::to_string(i);
                else if (i > 0 && std::fabs(entry.ClockCore - Sample.History[i - 1].ClockCore - 1.0) > 1e-3)
                    problem = "gap before entry " + std::to_string(i);
            }
            LeaveCritSect(ProbeSection);
            ++r.checks;
            // The mouse-over lookup is occasional; a reader that never lets go would starve the cycles.
            SwitchToThread();
            if (!problem.empty() && r.violations++ == 0)
                r.first = problem;
        }
        return 0;
    };
    HANDLE readerThread = CreateThread(nullptr, 0, readHistory, &reader, 0, nullptr);
    ASSERT_NE(nullptr, readerThread);
    // The reader is under way before the first worker, however busy the machine.
    EXPECT_TRUE(WaitFor([&] { return readerChecks.load() > 0; }, 60000));

    // Bounded by count, not by time: a busy machine makes the run slower, never shorter. More
    // workers than the history holds, so the history also wraps while the reader looks.
    const long workers = maxTicks - 50;
    long started = 0;
    for (long i = 0; i < workers; ++i) {
        if (StartMeasureWorker(nullptr))
            ++started;
        if (i % 8 == 7)
            Sleep(1);
    }
    const bool stopped = StopMeasureWorkers(60000);
    stop = true;
    WaitForSingleObject(readerThread, 10000);
    CloseHandle(readerThread);
    ASSERT_TRUE(stopped);

    EXPECT_EQ(0, violations.load()) << firstViolation;
    // Every worker either measured once or found the section busy and counted it.
    EXPECT_EQ(workers, started) << "a worker was refused while workers were allowed";
    const long dropped = ProbeSection.failures - readerBusy.load();
    const long measured = started - dropped;
    ASSERT_GT(measured, 0);
    printf("%ld workers: %ld measured, %ld dropped; %ld history checks\n", started, measured, dropped,
           readerChecks.load());
    const unsigned int expectedCount =
        measured < static_cast<long>(HISTORY_SIZE) ? static_cast<unsigned int>(measured) : 256u;
    ASSERT_EQ(expectedCount, Sample.HistoryCount);
    EXPECT_NEAR(static_cast<double>(measured), Sample.History[expectedCount - 1].ClockCore, 1e-3);

    // Teardown: no worker may start any more, and the section can go.
    EXPECT_FALSE(StartMeasureWorker(nullptr));
    DeleteCritSect(ProbeSection);
    EXPECT_EQ(0, ProbeSection.state);
    EXPECT_STREQ("", ProbeSection.name);
    EXPECT_EQ(0, ProbeSection.failures);
    Cycles(1);
    EXPECT_EQ(expectedCount, Sample.HistoryCount);
}

namespace {

// A sound that plays until the test lets it end, so a worker stays inside its cycle.
HANDLE SoundEntered = nullptr;
HANDLE SoundRelease = nullptr;
HWND SoundNotifyWindow = nullptr;

BOOL BlockingSound(const char*, UINT)
{
    SetEvent(SoundEntered);
    if (SoundNotifyWindow)
        SendMessageA(SoundNotifyWindow, WM_NULL, 0, 0);
    WaitForSingleObject(SoundRelease, 10000);
    return TRUE;
}

}  // namespace

class MeasureTeardown : public MeasureTest {
protected:
    void SetUp() override
    {
        MeasureTest::SetUp();
        SoundEntered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        SoundRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        SetSoundPlayFunction(BlockingSound);
        Config.Alert.Enable = 1;
        Config.Alert.Core = 10;
        Config.Alert.Ambient = 10;
    }
    void TearDown() override
    {
        SetEvent(SoundRelease);
        MeasureTest::TearDown();
        CloseHandle(SoundEntered);
        CloseHandle(SoundRelease);
        SoundNotifyWindow = nullptr;
    }
};

TEST_F(MeasureTeardown, AWorkerStillMeasuringKeepsTheSectionsAlive)
{
    Start({});
    ASSERT_TRUE(StartMeasureWorker(nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(SoundEntered, 10000));

    // The bounded wait runs out while the worker is inside its cycle: teardown must keep the
    // sections, and no further worker is admitted.
    EXPECT_FALSE(StopMeasureWorkers(100));
    EXPECT_FALSE(StartMeasureWorker(nullptr));
    EXPECT_EQ(CS_HELD, ProbeSection.state);

    SetEvent(SoundRelease);
    EXPECT_TRUE(StopMeasureWorkers(10000));
    EXPECT_EQ(CS_RELEASED, ProbeSection.state);
    EXPECT_EQ(1u, Sample.HistoryCount);
}

TEST_F(MeasureTeardown, TheWaitHandlesWhatAWorkerSendsToTheWindowThread)
{
    // A window of this thread, as the main window is the waiting thread's.
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    SoundNotifyWindow = window;
    SetEvent(SoundRelease);
    Start({});
    ASSERT_TRUE(StartMeasureWorker(nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(SoundEntered, 10000));
    EXPECT_TRUE(StopMeasureWorkers(10000));
    DestroyWindow(window);
}

#include <windows.h>
#include <mmsystem.h>
#include <cstring>

#include "base/critsect.h"
#include "config/config.h"
#include "config/formats.h"
#include "gpu/measure.h"
#include "gpu/sampledata.h"
#include "gpu/sound.h"
#include "measure_fixture.h"

namespace {

SRWLOCK PlayedLock = SRWLOCK_INIT;
std::vector<PLAYEDSOUND> PlayedSounds;

BOOL RecordSound(const char* sound, UINT flags)
{
    PLAYEDSOUND played = {std::string(), nullptr, flags};
    // A sound from memory is a wave image, not a text.
    if (flags & SND_MEMORY)
        played.memory = sound;
    else
        played.file = sound ? sound : "";
    AcquireSRWLockExclusive(&PlayedLock);
    PlayedSounds.push_back(played);
    ReleaseSRWLockExclusive(&PlayedLock);
    return TRUE;
}

const SCENARIOKEYS CALM_GPU = {
    {"Sensors", "2"},          {"Sensor0", "1,1"},          {"Sensor1", "2,8"},
    {"Sensor0Temp", "60"},     {"Sensor1Temp", "40"},       {"Sensor0Limits", "0,127"},
    {"ClockCore", "1126000"},  {"ClockMemory", "3505000"},  {"ClockShader", "2252000"},
    {"BoostCore", "1216000"},  {"BoostMemory", "3505000"},  {"BoostShader", "2432000"},
    {"UsageCore", "50"},       {"UsageMemory", "30"},       {"UsageVideo", "10"},
    {"Tach", "1600"},          {"FanLevel", "45"},          {"Coolers", "1"},
    {"Illumination", "1"},
};

}  // namespace

std::string NumberList(long long first, long long step, int count)
{
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (i)
            list += ',';
        list += std::to_string(first + step * i);
    }
    return list;
}

void MeasureTest::SetUp()
{
    SimDriverTest::SetUp();
    memset(&Sample, 0, sizeof Sample);
    Config.Global.Limit = 160;
    Config.Global.MemoryRate = 1;
    snprintf(Config.Log.Format, sizeof Config.Log.Format, "%s", LOG_FORMAT_DEFAULT);
    CreateCritSect(ProbeSection, "PROBE");
    AllowMeasureWorkers();
    AcquireSRWLockExclusive(&PlayedLock);
    PlayedSounds.clear();
    ReleaseSRWLockExclusive(&PlayedLock);
    SetSoundPlayFunction(RecordSound);
    FaultAlarmSound = nullptr;
    SeedDemonstration(1);
}

void MeasureTest::TearDown()
{
    // As in the program's teardown: a section a worker may still use is not deleted.
    const bool stopped = StopMeasureWorkers(10000);
    EXPECT_TRUE(stopped) << "a measurement worker did not end";
    AllowMeasureWorkers();
    if (stopped)
        DeleteCritSect(ProbeSection);
    Gpu.Release();
    SetSoundPlayFunction(nullptr);
    FaultAlarmSound = nullptr;
    MeasureLog.Disable();
    MeasureLog.FileName("");
    SimDriverTest::TearDown();
}

void MeasureTest::Start(const SCENARIOKEYS& keys, const std::string& more, bool journal)
{
    SCENARIOKEYS gpu = CALM_GPU;
    for (const auto& key : keys)
        gpu[key.first] = key.second;
    std::string scenario = "[display0]\nMemoryDedicated=4194304\nMemoryAvailable=3145728\n[display0.gpu0]\n";
    for (const auto& key : gpu)
        scenario += key.first + "=" + key.second + "\n";
    WriteScenario(scenario + more, journal);
    ASSERT_TRUE(Gpu.Initialize());
    ASSERT_TRUE(Gpu.SelectGpu(0, 0));
    MarkJournal();
}

void MeasureTest::Cycles(int count)
{
    for (int i = 0; i < count; ++i)
        MeasureCycle(nullptr);
}

void MeasureTest::MarkJournal() { journalMark = Journal().size(); }

std::vector<std::string> MeasureTest::JournalSinceMark() const
{
    std::string journal = Journal();
    std::vector<std::string> lines;
    size_t start = journalMark;
    while (start < journal.size()) {
        size_t end = journal.find('\n', start);
        if (end == std::string::npos)
            end = journal.size();
        lines.push_back(journal.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

size_t MeasureTest::JournalSinceMark(const std::string& function) const
{
    size_t count = 0;
    for (const std::string& line : JournalSinceMark())
        if (line.compare(0, function.size() + 1, function + " ") == 0)
            ++count;
    return count;
}

std::vector<PLAYEDSOUND> MeasureTest::Played()
{
    AcquireSRWLockExclusive(&PlayedLock);
    std::vector<PLAYEDSOUND> played = PlayedSounds;
    ReleaseSRWLockExclusive(&PlayedLock);
    return played;
}

SECTIONHOLDER::SECTIONHOLDER(CRITSECT& section)
    : section(section),
      heldEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      releaseEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread(nullptr),
      held(false)
{
    thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    held = thread && WaitForSingleObject(heldEvent, 10000) == WAIT_OBJECT_0;
}

SECTIONHOLDER::~SECTIONHOLDER()
{
    Release();
    CloseHandle(heldEvent);
    CloseHandle(releaseEvent);
}

void SECTIONHOLDER::Release()
{
    SetEvent(releaseEvent);
    if (thread) {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        thread = nullptr;
    }
}

DWORD WINAPI SECTIONHOLDER::Run(LPVOID self)
{
    SECTIONHOLDER& holder = *static_cast<SECTIONHOLDER*>(self);
    if (!EnterCritSect(holder.section))
        return 1;
    SetEvent(holder.heldEvent);
    WaitForSingleObject(holder.releaseEvent, INFINITE);
    LeaveCritSect(holder.section);
    return 0;
}
